#pragma once
// How long a test waits for what comes by itself (a child's end, a journal line, a packet, a thread's
// state) before it gives up. Such a wait is a safety net, never the thing tested, so it grows on a
// slow machine: the sanitizers' slowdown times MARVENLOT_TEST_PATIENCE (a whole number from 1 to 20,
// 1 when unset). Every wait helper of the suite (ChildProcess::Wait, WaitUntil, the recorders' and
// the test server's waits) applies it, so a test states the time a normal build needs.

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace testsupport {

#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
// A sanitized client runs up to several times slower. The factor stays small enough that a script's
// journal wait (40 s, or 90 s in the long game runs, times the patience) gives up inside ctest's 600 s
// with the test's own message, rather than the test being killed without one.
inline constexpr int kSlowdown = 3;
#else
inline constexpr int kSlowdown = 1;
#endif

inline int Patience() {
    const char* text = std::getenv("MARVENLOT_TEST_PATIENCE");
    const int factor = text ? std::atoi(text) : 1;
    return kSlowdown * std::clamp(factor, 1, 20);
}

// `limit` times the patience.
template <class Rep, class Period>
std::chrono::milliseconds Patient(std::chrono::duration<Rep, Period> limit) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(limit) * Patience();
}

// Polls `done` every `step` until it holds (true) or `limit` times the patience is over (false).
template <class Predicate>
bool WaitUntil(Predicate done, std::chrono::milliseconds limit = std::chrono::seconds(5),
               std::chrono::milliseconds step = std::chrono::milliseconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + Patient(limit);
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(step);
    }
}

}  // namespace testsupport
