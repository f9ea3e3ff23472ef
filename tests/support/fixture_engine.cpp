#include "tests/support/fixture_engine.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "text/encoding.h"
#include "text/gbk_literal.h"

namespace vd::test {
namespace {

using namespace vd::literals;

constexpr const char* kHosts[] = {"www.baidu.com", "www.so.com", "www.sogou.com", "www.google.com"};
constexpr const char* kEngineNames[] = {"baidu", "360", "sogou", "google"};
constexpr const char* kCaptchaHosts[] = {"wappass.baidu.com", "qcaptcha.so.com"};
// Where each engine sends a blocked client.
constexpr const char* kVerificationAddresses[] = {
    "http://wappass.baidu.com/static/captcha/tuxing.html?ak=fixture",
    "http://qcaptcha.so.com/?ret=http%3A%2F%2Fwww.so.com%2Fs",
    "http://www.sogou.com/antispider/?from=%2Fweb",
    "http://www.google.com/sorry/index?continue=http://www.google.com/search",
};
constexpr const char* kCaptchaPage =
    "<html><head><title>captcha</title></head><body><img src=\"/c.png\"></body></html>";

bool is_captcha_request(std::string_view host, std::string_view path) {
  if (std::size_t colon = host.find(':'); colon != std::string_view::npos) host = host.substr(0, colon);
  for (const char* captcha : kCaptchaHosts) {
    if (host == captcha) return true;
  }
  return path.starts_with("/antispider") || path.starts_with("/sorry/");
}

std::string hex_of(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

int engine_of_host(std::string_view host) {
  if (std::size_t colon = host.find(':'); colon != std::string_view::npos) host = host.substr(0, colon);
  for (int i = 0; i < 4; ++i) {
    if (host == kHosts[i]) return i;
  }
  return -1;
}

// The raw title as a page shows it, GBK: the keyword in an emphasis element, then a reference.
std::string raw_title(std::string_view keyword_gbk, int page, int entry) {
  return "<em>" + std::string(keyword_gbk) + "</em>&nbsp;" + "第"_gbk + std::to_string(page) + "页"_gbk +
         "第"_gbk + std::to_string(entry) + "条"_gbk;
}

std::string baidu_token(std::string_view keyword_gbk, int page, int entry) {
  return hex_of(keyword_gbk) + "." + std::to_string(page) + "." + std::to_string(entry);
}

std::string entry_markup(int engine, std::string_view keyword_gbk, int page, int entry) {
  const std::string title = raw_title(keyword_gbk, page, entry);
  const std::string link = FixtureEngine::expected_link(engine, keyword_gbk, page, entry);
  switch (engine) {
    case kFixtureBaidu:
      return "<div class=\"result c-container\" id=\"" + std::to_string(entry) +
             "\"><h3 class=\"t\"><a href=\"http://www.baidu.com/link?url=" +
             baidu_token(keyword_gbk, page, entry) + "\" target=\"_blank\">" + title +
             "</a></h3><div class=\"c-abstract\">abstract</div></div>\n";
    case kFixture360:
      return "<li class=\"res-list\"><h3 class=\"res-title \"><a href=\"" + link +
             "\" data-res=\"1\" target=\"_blank\">" + title + "</a></h3><p>abstract</p></li>\n";
    case kFixtureSogou:
      return "<div class=\"vrwrap\"><h3 class=\"vrTitle\"><a target=\"_blank\" href=\"" + link +
             "\" id=\"uigs_" + std::to_string(entry) + "\">" + title + "</a></h3></div>\n";
    default:
      return "<li class=\"g\"><h3 class=\"r\"><a href=\"/url?q=" + link + "&amp;sa=U&amp;ei=abc\">" + title +
             "</a></h3><div class=\"s\">abstract</div></li>\n";
  }
}

const char* block_start(int engine) {
  switch (engine) {
    case kFixtureBaidu:
      return "<div id=\"content_left\">\n";
    case kFixture360:
      return "<ul id=\"m-result\" class=\"result\">\n";
    case kFixtureSogou:
      return "<div class=\"results\" >\n";
    default:
      return "<div id=\"ires\"><ol>\n";
  }
}

const char* block_end(int engine) {
  switch (engine) {
    case kFixtureBaidu:
      return "</div>\n<p id=\"page\" ><a href=\"/s?pn=10\">next</a></p>\n";
    case kFixture360:
      return "</ul>\n<div id=\"page\"><a href=\"#\">next</a></div>\n";
    case kFixtureSogou:
      return "</div>\n<table id=\"hint_container\" class=\"hint\"><tr><td></td></tr></table>\n";
    default:
      return "</ol></div>\n";
  }
}

int page_of(int engine, std::string_view target) {
  switch (engine) {
    case kFixtureBaidu:
      return std::atoi(query_value(target, "pn").c_str()) / 10 + 1;
    case kFixture360:
      return std::atoi(query_value(target, "pn").c_str());
    case kFixtureSogou:
      return std::atoi(query_value(target, "page").c_str());
    default:
      return std::atoi(query_value(target, "start").c_str()) / 10 + 1;
  }
}

std::string keyword_of(int engine, std::string_view target) {
  static constexpr const char* kKeys[] = {"wd", "q", "query", "q"};
  const std::string decoded = percent_decode(query_value(target, kKeys[engine]));
  return engine == kFixtureGoogle ? decoded : utf8_to_gbk(decoded);
}

}  // namespace

std::string percent_decode(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
      out += static_cast<char>(std::strtol(std::string(text.substr(i + 1, 2)).c_str(), nullptr, 16));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string query_value(std::string_view target, std::string_view key) {
  std::size_t q = target.find('?');
  if (q == std::string_view::npos) return {};
  std::string_view query = target.substr(q + 1);
  while (!query.empty()) {
    std::size_t amp = query.find('&');
    std::string_view pair = query.substr(0, amp);
    if (pair.size() > key.size() && pair.substr(0, key.size()) == key && pair[key.size()] == '=') {
      return std::string(pair.substr(key.size() + 1));
    }
    if (amp == std::string_view::npos) break;
    query = query.substr(amp + 1);
  }
  return {};
}

FixtureEngine::FixtureEngine(FixtureOptions options) : options_(options) {
  server_.otherwise([this](const HttpRequest& request) { return answer(request); });
}

const char* FixtureEngine::host(int engine) { return kHosts[engine]; }

std::string FixtureEngine::connect_to(std::string_view host) const {
  return std::string(host) + ":80:127.0.0.1:" + std::to_string(server_.port());
}

std::vector<std::string> FixtureEngine::connect_to_all() const {
  std::vector<std::string> all;
  for (const char* h : kHosts) all.push_back(connect_to(h));
  return all;
}

std::vector<std::string> FixtureEngine::connect_to_verification() const {
  std::vector<std::string> all;
  for (const char* h : kCaptchaHosts) all.push_back(connect_to(h));
  return all;
}

std::string FixtureEngine::expected_link(int engine, std::string_view keyword_gbk, int page, int entry) {
  return std::string("http://example.com/") + kEngineNames[engine] + "/" + hex_of(keyword_gbk) + "/" +
         std::to_string(page) + "/" + std::to_string(entry);
}

std::string FixtureEngine::expected_title(std::string_view keyword_gbk, int page, int entry) {
  return std::string(keyword_gbk) + "第"_gbk + std::to_string(page) + "页"_gbk + "第"_gbk +
         std::to_string(entry) + "条"_gbk;
}

std::string FixtureEngine::expected_file(int engine, std::string_view keyword_gbk, int first, int last,
                                         std::string_view line_template_gbk) const {
  if (last <= 0 || last > options_.pages) last = options_.pages;
  std::string file;
  for (int page = std::max(first, 1); page <= last; ++page) {
    for (int entry = 1; entry <= options_.entries; ++entry) {
      std::string line(line_template_gbk);
      const std::string link = expected_link(engine, keyword_gbk, page, entry);
      const std::string title = expected_title(keyword_gbk, page, entry);
      for (std::size_t at; (at = line.find("#网址#"_gbk)) != std::string::npos;) {
        line.replace(at, "#网址#"_gbk.size(), link);
      }
      for (std::size_t at; (at = line.find("#标题#"_gbk)) != std::string::npos;) {
        line.replace(at, "#标题#"_gbk.size(), title);
      }
      file += line + "\r\n";
    }
  }
  return file;
}

std::string FixtureEngine::result_page(int engine, const std::string& keyword_gbk, int page) const {
  page = std::clamp(page, 1, options_.pages);
  std::string body =
      options_.utf8 ? "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"
                    : "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">";
  body += "<title>fixture</title></head><body>\n";
  body += block_start(engine);
  for (int entry = 1; entry <= options_.entries; ++entry)
    body += entry_markup(engine, keyword_gbk, page, entry);
  body += block_end(engine);
  body += "</body></html>\n";
  return options_.utf8 ? gbk_to_utf8(body) : body;
}

HttpReply FixtureEngine::answer(const HttpRequest& request) const {
  const std::string host = request.header("Host").value_or("");
  const int engine = engine_of_host(host);
  HttpReply reply;
  if (options_.verification && is_captcha_request(host, request.path)) {
    reply = HttpReply::page(kCaptchaPage);
  } else if (engine < 0) {
    reply = HttpReply::not_found("unknown host");
  } else if (engine == kFixtureBaidu && request.path == "/link") {
    // The token is HEX.page.entry; the target is the entry's expected link.
    const std::string token = query_value(request.target, "url");
    std::string keyword;
    int page = 0, entry = 0;
    std::size_t dot1 = token.find('.'), dot2 = token.rfind('.');
    if (dot1 != std::string::npos && dot2 != dot1) {
      for (std::size_t i = 0; i + 1 < dot1; i += 2) {
        keyword += static_cast<char>(std::strtol(token.substr(i, 2).c_str(), nullptr, 16));
      }
      page = std::atoi(token.substr(dot1 + 1, dot2 - dot1 - 1).c_str());
      entry = std::atoi(token.substr(dot2 + 1).c_str());
    }
    reply = HttpReply::redirect(expected_link(kFixtureBaidu, keyword, page, entry));
  } else if (options_.verification) {
    reply = HttpReply::redirect(kVerificationAddresses[engine]);
  } else {
    reply = HttpReply::page(
        result_page(engine, keyword_of(engine, request.target), page_of(engine, request.target)),
        options_.utf8 ? "text/html; charset=utf-8" : "text/html");
  }
  reply.delay = options_.delay;
  return reply;
}

}  // namespace vd::test
