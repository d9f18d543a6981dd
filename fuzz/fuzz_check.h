// A property a fuzz target holds: when it fails, says which before it traps, so a replayed
// finding names the broken rule.
#pragma once

#include <cstdio>

#define FUZZ_REQUIRE(ok)                                                      \
  do {                                                                        \
    if (!(ok)) {                                                              \
      std::fprintf(stderr, "%s:%d: fails: %s\n", __FILE__, __LINE__, #ok);    \
      __builtin_trap();                                                       \
    }                                                                         \
  } while (0)
