#include "bench/page_generator.h"

#include <array>
#include <string_view>
#include <vector>

#include "text/encoding.h"

namespace vd::bench {
namespace {

// splitmix64: fixed arithmetic, so the pages do not depend on the standard library's distributions.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::size_t below(std::size_t n) { return static_cast<std::size_t>(next() % n); }

 private:
  std::uint64_t state_;
};

// Source words in UTF-8, turned into the page's encoding once per page.
constexpr std::array<std::string_view, 24> kChineseWords = {
    "外星人", "火星", "探测器",   "宇宙", "科学家", "发现", "新闻", "图片",
    "视频",   "百科", "官方网站", "最新", "研究",   "生命", "信号", "太阳系",
    "望远镜", "报道", "资料",     "介绍", "历史",   "电影", "中国", "世界"};
constexpr std::array<std::string_view, 16> kAsciiWords = {"alien", "mars",  "nasa", "space", "probe",  "news",
                                                          "video", "wiki",  "2013", "life",  "signal", "html",
                                                          "www",   "index", "data", "photo"};
constexpr std::array<std::string_view, 8> kCssNames = {"c-container", "t",        "c-abstract", "result",
                                                       "vrwrap",      "res-list", "s",          "foot"};
constexpr std::string_view kTokenCharacters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

class PageWriter {
 public:
  PageWriter(const PageOptions& options) : options_(options), random_(options.seed) {
    for (std::string_view word : kChineseWords) chinese_.push_back(encoded(word));
    keyword_ = chinese_[0];
  }

  std::string page() {
    const std::string head_start = head_opening();
    const std::string head_end =
        "</script></head><body>\n<div id=\"wrapper\"><div id=\"head\">search</div>\n";
    const std::string block_open = block_start();
    const std::string block_close = block_end();
    const std::string tail_start = "<div id=\"foot\">";
    const std::string tail_end = "</div>\n</body></html>\n";
    std::vector<std::string> cores;
    std::size_t fixed = head_start.size() + head_end.size() + block_open.size() + block_close.size() +
                        tail_start.size() + tail_end.size();
    for (int n = 1; n <= options_.entries; ++n) {
      cores.push_back(entry_heading(n));
      fixed += cores.back().size() + entry_frame_size();
    }
    const std::size_t filler = options_.size > fixed ? options_.size - fixed : 0;
    const std::size_t abstract_size = options_.entries > 0 ? filler * 65 / 100 / options_.entries : 0;

    std::string out;
    out.reserve(options_.size + 4096);
    out += head_start;
    append_styles_and_script(out, filler / 4);
    out += head_end;
    out += block_open;
    for (int n = 1; n <= options_.entries; ++n) append_entry(out, cores[n - 1], abstract_size);
    out += block_close;
    out += tail_start;
    // Whatever the rounding left goes to the footer, so the page ends at the asked size.
    if (out.size() + tail_end.size() < options_.size)
      append_text(out, options_.size - out.size() - tail_end.size());
    out += tail_end;
    return out;
  }

 private:
  std::string encoded(std::string_view utf8) const {
    return options_.encoding == PageEncoding::utf8 ? std::string(utf8) : utf8_to_gbk_plain(utf8);
  }

  const std::string& chinese() { return chinese_[random_.below(chinese_.size())]; }
  std::string_view ascii() { return kAsciiWords[random_.below(kAsciiWords.size())]; }

  std::string token(std::size_t length) {
    std::string out;
    for (std::size_t i = 0; i < length; ++i) out += kTokenCharacters[random_.below(kTokenCharacters.size())];
    return out;
  }

  std::string head_opening() {
    const char* charset = options_.encoding == PageEncoding::utf8 ? "utf-8" : "gbk";
    return std::string(
               "<!DOCTYPE html>\n<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
               "charset=") +
           charset + "\"><title>" + keyword_ + encoded("_搜索") + "</title>\n<style>";
  }

  // Styles, then a script whose comparisons put "<" into the head as real pages do; no tag name in
  // either can match a block marker ("<ol" included).
  void append_styles_and_script(std::string& out, std::size_t budget) {
    const std::size_t styles_end = out.size() + budget / 3;
    while (out.size() < styles_end) {
      out += '.';
      out += kCssNames[random_.below(kCssNames.size())];
      out += " ." + std::string(kCssNames[random_.below(kCssNames.size())]) +
             "{font-size:" + std::to_string(12 + random_.below(8)) + "px;color:#" + token(6) + "}\n";
    }
    out += "</style>\n<script>";
    const std::size_t script_end = styles_end + budget - budget / 3;
    while (out.size() < script_end) {
      out += "var " + std::string(ascii()) + std::to_string(random_.below(1000)) + "=function(b){if(b<" +
             std::to_string(random_.below(100)) + "&&b>2){return b*3}return '" + token(8) + "'};\n";
    }
  }

  std::string title(int n) {
    return "<em>" + keyword_ + "</em>&nbsp;" + chinese() + " " + std::string(ascii()) + " &amp; <b>" +
           chinese() + "</b>&#" + std::to_string(20000 + random_.below(10000)) + ";" + encoded("第") +
           std::to_string(n) + encoded("条");
  }

  std::string link(int n) {
    switch (options_.engine) {
      case SearchEngine::Baidu:
        return "http://www.baidu.com/link?url=" + token(64);
      case SearchEngine::Google:
        return "/url?q=http://www." + std::string(ascii()) + ".org/" + std::to_string(n) + "/" + token(12) +
               ".html&amp;sa=U&amp;ved=" + token(16) + "&amp;usg=" + token(20);
      default:
        return "http://www." + std::string(ascii()) + ".com/" + std::string(ascii()) + "/" +
               std::to_string(n) + "_" + token(10) + ".html";
    }
  }

  // The result heading with its anchor, in the markup of each engine.
  std::string entry_heading(int n) {
    const std::string href = link(n);
    const std::string text = title(n);
    switch (options_.engine) {
      case SearchEngine::Baidu:
        return "<h3 class=\"t\"><a href=\"" + href + "\" target=\"_blank\">" + text + "</a></h3>";
      case SearchEngine::Search360:
        return "<h3 class=\"res-title \"><a href=\"" + href + "\" data-res=\"1\" target=\"_blank\">" + text +
               "</a></h3>";
      case SearchEngine::Sogou:
        return "<h3 class=\"vrTitle\"><a target=\"_blank\" href=\"" + href + "\" id=\"uigs_" +
               std::to_string(n) + "\">" + text + "</a></h3>";
      case SearchEngine::Google:
        return "<h3 class=\"r\"><a href=\"" + href + "\">" + text + "</a></h3>";
    }
    return {};
  }

  std::string_view entry_open() const {
    switch (options_.engine) {
      case SearchEngine::Baidu:
        return "<div class=\"result c-container\">";
      case SearchEngine::Search360:
        return "<li class=\"res-list\">";
      case SearchEngine::Sogou:
        return "<div class=\"vrwrap\">";
      case SearchEngine::Google:
        return "<li class=\"g\">";
    }
    return {};
  }
  std::string_view abstract_open() const { return "<div class=\"c-abstract\">"; }
  std::string_view entry_close() const {
    return options_.engine == SearchEngine::Search360 || options_.engine == SearchEngine::Google
               ? "</div></li>\n"
               : "</div></div>\n";
  }
  std::size_t entry_frame_size() const {
    return entry_open().size() + abstract_open().size() + entry_close().size();
  }

  void append_entry(std::string& out, const std::string& heading, std::size_t abstract_size) {
    out += entry_open();
    out += heading;
    out += abstract_open();
    append_text(out, abstract_size);
    out += entry_close();
  }

  // Running text with highlights, spans, references and links, about `size` bytes.
  void append_text(std::string& out, std::size_t size) {
    const std::size_t end = out.size() + size;
    while (out.size() < end) {
      switch (random_.below(12)) {
        case 0:
          out += "<em>" + keyword_ + "</em>";
          break;
        case 1:
          out += "<span class=\"c-gray\">" + chinese() + "</span>";
          break;
        case 2:
          out += "&nbsp;";
          break;
        case 3:
          out += "<a href=\"http://www." + std::string(ascii()) + ".com/\">" + chinese() + "</a>";
          break;
        case 4:
          out += "<br>";
          break;
        case 5:
        case 6:
          out += std::string(ascii()) + " ";
          break;
        default:
          out += chinese();
          break;
      }
    }
  }

  std::string block_start() const {
    switch (options_.engine) {
      case SearchEngine::Baidu:
        return "<div id=\"content_left\">\n";
      case SearchEngine::Search360:
        return "<ul id=\"m-result\" class=\"result\">\n";
      case SearchEngine::Sogou:
        return "<div class=\"results\" >\n";
      case SearchEngine::Google:
        return "<div id=\"ires\"><ol>\n";
    }
    return {};
  }

  std::string block_end() const {
    switch (options_.engine) {
      case SearchEngine::Baidu:
        return "</div>\n<p id=\"page\" ><a href=\"/s?wd=x&pn=10\">next</a></p></div>\n";
      case SearchEngine::Search360:
        return "</ul>\n<div id=\"page\"><a href=\"/s?q=x&pn=2\">next</a></div></div>\n";
      case SearchEngine::Sogou:
        return "</div>\n<table id=\"hint_container\" class=\"hint\"><tr><td></td></tr></table></div>\n";
      case SearchEngine::Google:
        return "</ol></div></div>\n";
    }
    return {};
  }

  PageOptions options_;
  Random random_;
  std::vector<std::string> chinese_;
  std::string keyword_;
};

}  // namespace

std::string generate_page(const PageOptions& options) { return PageWriter(options).page(); }

const char* engine_label(SearchEngine engine) {
  static constexpr const char* kLabels[] = {"baidu", "360", "sogou", "google"};
  return kLabels[static_cast<int>(engine)];
}

const char* encoding_label(PageEncoding encoding) { return encoding == PageEncoding::utf8 ? "utf8" : "gbk"; }

std::string generate_keyword_text(int lines, std::uint64_t seed) {
  Random random(seed);
  std::vector<std::string> words;
  for (std::string_view word : kChineseWords) words.push_back(utf8_to_gbk_plain(word));
  std::string out;
  for (int i = 0; i < lines; ++i) {
    const std::size_t parts = 1 + random.below(3);
    for (std::size_t p = 0; p < parts; ++p) {
      if (p > 0 && random.below(2) == 0) out += ' ';
      out += random.below(4) == 0 ? std::string(kAsciiWords[random.below(kAsciiWords.size())])
                                  : words[random.below(words.size())];
    }
    out += "\r\n";
  }
  return out;
}

}  // namespace vd::bench
