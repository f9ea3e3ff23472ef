// Serves the fixture search engine on 127.0.0.1 until killed, for benchmarks and for trying the
// programs by hand:
//
//   verodero-fixture-engine [--pages N] [--entries N] [--delay-ms N] [--utf8]
//
// Prints the port, then one connect-to entry per engine host, one per line.
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tests/support/fixture_engine.h"

int main(int argc, char** argv) {
  vd::test::FixtureOptions options;
  for (int i = 1; i < argc; ++i) {
    auto value = [&](const char* name) {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "%s needs a value\n", name);
        std::exit(2);
      }
      return std::atoi(argv[++i]);
    };
    if (std::strcmp(argv[i], "--pages") == 0) {
      options.pages = value("--pages");
    } else if (std::strcmp(argv[i], "--entries") == 0) {
      options.entries = value("--entries");
    } else if (std::strcmp(argv[i], "--delay-ms") == 0) {
      options.delay = std::chrono::milliseconds(value("--delay-ms"));
    } else if (std::strcmp(argv[i], "--utf8") == 0) {
      options.utf8 = true;
    } else {
      std::fprintf(stderr, "usage: verodero-fixture-engine [--pages N] [--entries N] [--delay-ms N] [--utf8]\n");
      return 2;
    }
  }
  vd::test::FixtureEngine engine(options);
  std::printf("%d\n", engine.server().port());
  for (const std::string& entry : engine.connect_to_all()) std::printf("%s\n", entry.c_str());
  std::fflush(stdout);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigprocmask(SIG_BLOCK, &set, nullptr);
  int received = 0;
  sigwait(&set, &received);
  return 0;
}
