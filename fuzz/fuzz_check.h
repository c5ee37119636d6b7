#pragma once

#include <cstdio>
#include <cstdlib>

// Stops the run with a message when an invariant does not hold, in every build
// type (the fuzzers are built with NDEBUG, so assert() would say nothing).
#define FUZZ_CHECK(condition)                                                                \
  do {                                                                                       \
    if (!(condition)) {                                                                      \
      std::fprintf(stderr, "%s:%d: invariant failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                          \
    }                                                                                        \
  } while (false)
