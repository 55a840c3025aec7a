// The check every fuzz target states its properties with.
#ifndef VANTRY_FUZZ_FUZZ_CHECK_H_
#define VANTRY_FUZZ_FUZZ_CHECK_H_

#include <cstdio>
#include <cstdlib>

namespace vantry::fuzz {

// Aborts with the property's name when it does not hold, so libFuzzer keeps the input.
inline void Check(bool condition, const char* property) {
  if (!condition) {
    std::fprintf(stderr, "property violated: %s\n", property);
    std::abort();
  }
}

}  // namespace vantry::fuzz

#endif  // VANTRY_FUZZ_FUZZ_CHECK_H_
