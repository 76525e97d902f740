#pragma once
// Helpers shared by the engine core tests: a scratch folder and a clock whose sleeps return at once.

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "platform/sys/Clock.h"
#include "tests/common/TempDir.h"

// A fresh folder in the test process's temporary folder, removed with its content at the end of the
// test.
class ScratchDir {
public:
    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    testsupport::TempDir dir_;
    std::filesystem::path path_ = dir_.Path();
};

inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Counts sleeps instead of sleeping, and lets a test act on the n-th one. Installed as the process
// clock for the lifetime of the object.
class InstantSleepClock final : public platform::Clock {
public:
    InstantSleepClock() { platform::SetClock(this); }
    ~InstantSleepClock() override { platform::SetClock(nullptr); }
    std::uint64_t NowMs() override { return nowUs_.load() / 1000; }
    std::uint64_t NowUs() override { return nowUs_.load(); }
    void SleepMs(std::uint32_t ms) override {
        const std::uint64_t count = ++sleeps_;
        nowUs_ += std::uint64_t{ms} * 1000;
        if (onSleep) onSleep(count);
    }
    std::uint64_t Sleeps() const { return sleeps_.load(); }
    void SetNowUs(std::uint64_t us) { nowUs_ = us; }

    std::function<void(std::uint64_t sleepNumber)> onSleep;

private:
    std::atomic<std::uint64_t> sleeps_{0};
    std::atomic<std::uint64_t> nowUs_{5'000'000};
};
