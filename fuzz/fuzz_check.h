// Property checks inside fuzz targets: a broken property ends the process as a crash would, so that
// libFuzzer keeps the input and the corpus replay fails on it.
#pragma once

#include <cstdio>
#include <cstdlib>

#define VD_FUZZ_CHECK(condition)                                                            \
  do {                                                                                      \
    if (!(condition)) {                                                                     \
      std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                         \
    }                                                                                       \
  } while (false)
