// A broken property is a finding like a crash: libFuzzer keeps the input that broke it.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                     \
  ((condition)                                                                                    \
       ? void()                                                                                   \
       : (std::fprintf(stderr, "property broken: %s at %s:%d\n", #condition, __FILE__, __LINE__), \
          std::abort()))
