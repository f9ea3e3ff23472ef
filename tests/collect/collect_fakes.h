// Stand-ins for the front end and the network in the collection tests: controls that record what the run
// shows, a web access that serves pages from memory, an event pump and a desktop that can act during a
// run, and small result pages in each engine's markup.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "collect/run_controls.h"
#include "collect/web_access.h"
#include "tests/support/temp_dir.h"
#include "text/desktop.h"
#include "text/encoding.h"
#include "text/event_pump.h"
#include "text/gbk_literal.h"

namespace vd::test {

using namespace vd::literals;

// The controls of the window, as plain fields; records every caption and status text set.
class FakeControls : public RunControls {
 public:
  std::string output_directory;
  std::string keywords;
  std::string first_page = "1";
  std::string extension = "htm";
  std::string pause = "0";
  std::string page_limit = "0";
  std::string line_template = "#网址#|#标题#"_gbk;
  std::array<bool, 4> engines{true, false, false, false};

  std::string caption = "开始采集"_gbk;
  std::vector<std::string> captions;
  std::vector<std::string> status[2];
  // Runs after a status text is set, for tests that act at a given moment of a run.
  std::function<void(int pane, const std::string& text)> on_status;

  std::string output_directory_text() override { return output_directory; }
  std::string keyword_text() override { return keywords; }
  std::string first_page_text() override { return first_page; }
  std::string extension_text() override { return extension; }
  std::string pause_text() override { return pause; }
  std::string page_limit_text() override { return page_limit; }
  std::string template_text() override { return line_template; }
  std::array<bool, 4> engine_buttons() override { return engines; }
  std::string button_caption() override { return caption; }
  void set_button_caption(std::string_view text) override {
    caption = text;
    captions.emplace_back(text);
  }
  void set_status(int pane, std::string_view text) override {
    status[pane].emplace_back(text);
    if (on_status) on_status(pane, status[pane].back());
  }
};

// Pages and redirect targets by address; an address it does not know gives the empty text, as a failed
// request does. Records every address asked for. The final address of a page is its own unless
// final_urls names another (a redirect that was followed); a redirect query without a Location answers
// with the body in redirect_bodies, if any.
class FakeWeb : public WebAccess {
 public:
  std::map<std::string, std::string> pages;
  std::map<std::string, std::string> final_urls;
  std::map<std::string, std::string> redirects;
  std::map<std::string, std::string> redirect_bodies;
  std::vector<std::string> fetched;
  std::vector<std::string> queried;
  // Runs while a page is "being fetched", before its text is returned.
  std::function<void(const std::string& url)> during_fetch;

  std::string fetch_page(std::string_view url, std::string* final_url) override {
    fetched.emplace_back(url);
    if (during_fetch) during_fetch(fetched.back());
    if (final_url != nullptr) {
      const auto moved = final_urls.find(std::string(url));
      *final_url = moved == final_urls.end() ? std::string(url) : moved->second;
    }
    const auto found = pages.find(std::string(url));
    return found == pages.end() ? std::string() : found->second;
  }
  std::string query_redirect_target(std::string_view url) override {
    queried.emplace_back(url);
    const auto found = redirects.find(std::string(url));
    return found == redirects.end() ? std::string() : found->second;
  }
  RedirectAnswer query_redirect(std::string_view url) override {
    RedirectAnswer answer{query_redirect_target(url), {}};
    const auto body = redirect_bodies.find(std::string(url));
    if (answer.location.empty() && body != redirect_bodies.end()) answer.body = body->second;
    return answer;
  }
};

// Counts pumps and runs an action at each; installed for the object's life.
class CountingPump : public EventPump {
 public:
  int pumps = 0;
  std::function<void(int pump)> on_pump;

  CountingPump() { install_event_pump(this); }
  ~CountingPump() override { install_event_pump(nullptr); }
  void pump_events() override {
    ++pumps;
    if (on_pump) on_pump(pumps);
  }
  bool wait_for_signal(WorkerSignal& signal, std::chrono::milliseconds timeout) override {
    return signal.wait_until(std::chrono::steady_clock::now() + timeout);
  }
};

// Records the messages shown and answers OK; installed for the object's life.
class RecordingDesktop : public Desktop {
 public:
  std::vector<std::pair<std::string, std::string>> messages;  // text, title

  RecordingDesktop() { install_desktop(this); }
  ~RecordingDesktop() override { install_desktop(nullptr); }
  int show_message(std::string_view text, int buttons, std::string_view title) override {
    messages.emplace_back(text, title);
    return kAnswerOk;
  }
  std::string clipboard_text() override { return {}; }
};

// One result of a fixture page: the raw href and the anchor text as the page holds them.
struct PageResult {
  std::string href;
  std::string title;
};

// Result pages in each engine's current markup, with the entries in page order.
inline std::string baidu_page(const std::vector<PageResult>& results) {
  std::string page = "<html><body><div id=\"content_left\">";
  for (const auto& r : results) {
    page += "<div class=\"result\"><h3 class=\"t\"><a href=\"" + r.href + "\" target=\"_blank\">" + r.title +
            "</a></h3></div>";
  }
  return page + "</div><p id=\"page\" ><a href=\"/s?pn=10\">2</a></p></body></html>";
}

inline std::string so_page(const std::vector<PageResult>& results) {
  std::string page = "<html><ul id=\"m-result\" class=\"result\">";
  for (const auto& r : results) {
    page += "<li class=\"res-list\"><h3 class=\"res-title\"><a href=\"" + r.href + "\">" + r.title +
            "</a></h3></li>";
  }
  return page + "</ul><div id=\"page\"><a href=\"/s?pn=2\">2</a></div></html>";
}

inline std::string sogou_page(const std::vector<PageResult>& results) {
  std::string page = "<html><div class=\"results\" >";
  for (const auto& r : results) {
    page += "<div class=\"vrwrap\"><h3 class=\"vrTitle\"><a target=\"_blank\" href=\"" + r.href + "\">" +
            r.title + "</a></h3></div>";
  }
  return page + "</div><table id=\"hint_container\"></table></html>";
}

inline std::string google_page(const std::vector<PageResult>& results) {
  std::string page = "<html><div id=\"ires\"><ol>";
  for (const auto& r : results) {
    page += "<li class=\"g\"><h3 class=\"r\"><a href=\"" + r.href + "\">" + r.title + "</a></h3></li>";
  }
  return page + "</ol></div></html>";
}

// The GBK names of the files in a folder, sorted.
inline std::vector<std::string> file_names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& item : std::filesystem::directory_iterator(folder)) {
    names.push_back(utf8_to_gbk(item.path().filename().string()));
  }
  std::sort(names.begin(), names.end());
  return names;
}

// The contents of the file named (GBK) in the folder.
inline std::string file_in(const std::string& folder, std::string_view gbk_name) {
  return read_file(folder + "/" + gbk_to_utf8(gbk_name));
}

}  // namespace vd::test
