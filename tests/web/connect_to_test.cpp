#include "web/connect_to.h"

#include <gtest/gtest.h>

namespace vd {
namespace {

TEST(ConnectTo, AcceptsCurlsFormAndRefusesTheRest) {
  struct Case {
    std::string entry;
    bool accepted;
  };
  const Case cases[] = {
      {"www.baidu.com:80:127.0.0.1:8080", true},
      {"www.google.com:443:127.0.0.1:8443", true},
      {"::127.0.0.1:9000", true},     // any host, any port
      {"a.com:80:[::1]:9000", true},  // a bracketed IPv6 address
      {"a.com:80::9000", true},       // the same host, another port
      {"a.com:80:127.0.0.1", false},  // no target port
      {"a.com:80", false},
      {"a.com:http:127.0.0.1:80", false},
      {"a.com:80:127.0.0.1:70000", false},
      {"a.com:0:127.0.0.1:80", false},
      {"a.com:80:127.0.0.1:80 ", false},  // blanks would change what curl reads
      {"a.com:80:[::1:80", false},
      {"", false},
  };
  for (const auto& c : cases) {
    clear_connect_to();
    EXPECT_EQ(add_connect_to(c.entry), c.accepted) << c.entry;
    EXPECT_EQ(connect_to_entries().size(), c.accepted ? 1u : 0u) << c.entry;
  }
  clear_connect_to();
}

TEST(ConnectTo, ANewerEntryForTheSameHostAndPortReplacesTheOlder) {
  clear_connect_to();
  ASSERT_TRUE(add_connect_to("a.com:80:127.0.0.1:1001"));
  ASSERT_TRUE(add_connect_to("b.com:80:127.0.0.1:1002"));
  ASSERT_TRUE(add_connect_to("a.com:80:127.0.0.1:1003"));
  ASSERT_TRUE(add_connect_to("a.com:443:127.0.0.1:1004"));
  EXPECT_EQ(connect_to_entries(),
            (std::vector<std::string>{"b.com:80:127.0.0.1:1002", "a.com:80:127.0.0.1:1003",
                                      "a.com:443:127.0.0.1:1004"}));
  clear_connect_to();
  EXPECT_TRUE(connect_to_entries().empty());
}

}  // namespace
}  // namespace vd
