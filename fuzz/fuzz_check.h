// Invariant checks of the fuzz targets. A broken one aborts: libFuzzer keeps
// the input that did it as a finding.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition, what) ((condition) ? (void)0 : quarnel_fuzz::Fail(what, #condition, __FILE__, __LINE__))

namespace quarnel_fuzz {

[[noreturn]] inline void Fail(const char* what, const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: %s (%s)\n", file, line, what, condition);
    std::abort();
}

}  // namespace quarnel_fuzz
