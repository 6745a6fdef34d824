#pragma once

#include <cstdio>
#include <cstdlib>

// A broken property of a fuzz input: say which and stop, so that libFuzzer
// keeps the input as a crasher and the corpus run fails.
#define FUZZ_CHECK(condition)                                                              \
    do {                                                                                   \
        if (!(condition)) {                                                                \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                  \
        }                                                                                  \
    } while (0)

// The game's console lines would drown the fuzzer's; called once per process.
inline void silenceConsole() {
    if (!std::freopen("/dev/null", "w", stdout)) std::abort();
}
