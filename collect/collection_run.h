// The collection run behind the start/stop button: keywords, pages, pauses, the final report.
//
// Runs on the front end's main thread. on_button_clicked() either runs a whole run (returning when it
// ends) or, called again from an event handler nested inside that run, only asks it to stop. Whether a
// run is going is told by the button's caption: "开始采集" means idle.
//
// Every setting is read through RunControls at the moment it is used: the output folder when the run
// starts, the keyword box when the keyword loop starts, the first page and the extension per keyword,
// the engine per page, the pause and the page limit after each accepted page, the template per line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "collect/keyword_output.h"
#include "collect/page_outcome.h"
#include "collect/run_controls.h"
#include "collect/web_access.h"

namespace vd {

class RegexService;

// What the last run did, for front ends that report more than the message box (the command line's exit
// status). Texts are GBK.
struct RunSummary {
  std::int32_t total = 0;
  std::string final_text;  // "已采集完成！总采集数量 ..." as shown in status pane 1
  std::vector<std::string> unwritable_keywords;  // keywords whose output file could not be opened or written
  // Keywords, in run order, that met at least one page of each kind of trouble; a keyword can be in
  // more than one list.
  std::vector<std::string> verification_keywords;  // the engine asked for verification
  std::vector<std::string> failed_keywords;        // a request brought back nothing
  std::vector<std::string> timed_out_keywords;     // a request ran out of time
  bool stopped = false;

  // The list for a kind of trouble (verification, failed or timed_out).
  const std::vector<std::string>& troubled_keywords(PageOutcome kind) const;
  // Any keyword met a blocked, failed or timed-out page: its file may lack results the engine has.
  bool hit_trouble() const;
};

class CollectionRun {
 public:
  // The references must outlive the object. titles must hold the markup pattern before a run starts.
  // parallel_redirects: how many redirect queries a page may have under way at a time (PageStep); the
  // window keeps 1.
  CollectionRun(RunControls& controls, RegexService& titles, WebAccess& web = network_web_access(),
                int parallel_redirects = 1);

  void on_button_clicked();

  bool stop_requested() const { return stop_requested_; }
  const RunSummary& last_summary() const { return summary_; }

 private:
  void run();
  void keyword_loop();
  // page starts as the page before the first one requested.
  void page_loop(const std::string& keyword, KeywordOutput& output, std::int32_t page);
  void finish();
  void note_unwritable(const std::string& keyword);
  void note_trouble(const std::string& keyword, PageOutcome outcome);

  RunControls& controls_;
  RegexService& titles_;
  WebAccess& web_;
  int parallel_redirects_ = 1;
  bool stop_requested_ = false;
  std::int32_t run_start_ticks_ = 0;
  std::string output_directory_;  // ends with the path separator
  std::int32_t run_total_ = 0;
  RunSummary summary_;
};

}  // namespace vd
