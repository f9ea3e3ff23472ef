#include "web/percent_encoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/event_pump.h"
#include "text/gbk_literal.h"

namespace vd {
namespace {

using namespace vd::literals;

struct Case {
  std::string text;
  bool keep_plain;
  std::string expected;
};

TEST(PercentEncode, EscapesTheUtf8Bytes) {
  const std::vector<Case> cases = {
      {"", false, ""},
      {"ab", false, "%61%62"},
      {" ", false, "%20"},
      {"\t", false, "%09"},
      {"中"_gbk, false, "%E4%B8%AD"},
      {"外星人"_gbk, false, "%E5%A4%96%E6%98%9F%E4%BA%BA"},
      {"\x80", false, "%E2%82%AC"},  // the euro sign
      {"09AZaz", false, "%30%39%41%5A%61%7A"},
      {"a b/c-1.2", true, "a%20b/c-1.2"},
      {",-./09AZaz", true, ",-./09AZaz"},
      // The neighbours of the plain ranges, and the usual URL characters, are escaped.
      {"+:@[`{", true, "%2B%3A%40%5B%60%7B"},
      {"_~?&=", true, "%5F%7E%3F%26%3D"},
      {"中a"_gbk, true, "%E4%B8%ADa"},
  };
  for (const Case& c : cases) EXPECT_EQ(percent_encode(c.text, c.keep_plain), c.expected) << c.text;
}

class CountingPump final : public EventPump {
 public:
  void pump_events() override { ++calls; }
  bool wait_for_signal(WorkerSignal& signal, std::chrono::milliseconds timeout) override { return false; }
  int calls = 0;
};

TEST(PercentEncode, HandlesEventsAfterEachByte) {
  CountingPump pump;
  install_event_pump(&pump);
  percent_encode("中a b"_gbk);  // 3 + 3 UTF-8 bytes
  percent_encode("ab", true);
  install_event_pump(nullptr);
  EXPECT_EQ(pump.calls, 8);
}

}  // namespace
}  // namespace vd
