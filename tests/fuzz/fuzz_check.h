// What every fuzz target shares: a failed property stops the run with the input saved.
#pragma once
#include <cstdio>
#include <cstdlib>

// Reports a property the input broke and aborts, so libFuzzer keeps the input as a crash.
[[noreturn]] inline void fuzzFailure(const char* what, const char* detail = "") {
  std::fprintf(stderr, "fuzz property broken: %s %s\n", what, detail);
  std::abort();
}

#define FUZZ_CHECK(cond, detail) \
  do {                           \
    if (!(cond)) fuzzFailure(#cond, detail); \
  } while (0)
