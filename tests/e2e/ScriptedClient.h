#pragma once
// The client program in a folder of its own, driven by an input script against a test server, with
// its journal, log and config file to read back.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/common/ChildProcess.h"
#include "tests/common/TempDir.h"

namespace testsupport {

#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
// A sanitized client runs several times slower: its script's journal waits and the test's waits for
// it get longer before they give up, so a slow step is not mistaken for a missing one.
inline constexpr int kSlowdown = 3;
#else
inline constexpr int kSlowdown = 1;
#endif

// The runs wait for journal lines, never for time; what gives up is a safety net, longer on a busy
// machine: the sanitizers' slowdown times MARVENLOT_TEST_PATIENCE (a whole number from 1 to 20, 1 when
// unset), for the script's journal waits and the test's waits for a client alike.
inline int Patience() {
    const char* text = std::getenv("MARVENLOT_TEST_PATIENCE");
    const int factor = text ? std::atoi(text) : 1;
    return kSlowdown * std::clamp(factor, 1, 20);
}

// Put before every script: its journal waits give up after 40 s times the patience.
inline std::string ScriptPrologue() {
    return "journal-limit " + std::to_string(40000 * Patience()) + "\n";
}

// A firm shot into the corner pocket behind the cue ball of a new pocket rack (1024 x 768): the pointer
// rests left of the cue, turns the aim by 135 degrees (4 pixels a degree) and draws the cue back 190
// pixels.
inline std::string ScratchIntoTheCornerPocket() {
    std::string s = "move 100 470\nwait 200\n";
    for (int k = 1; k <= 10; ++k) s += "move " + std::to_string(100 + 54 * k) + " 470\n";
    s += "wait 200\ndown left\n";
    for (int k = 1; k <= 10; ++k) s += "move 640 " + std::to_string(470 + 19 * k) + "\n";
    return s + "up left\n";
}

// Ctrl and the left button carry the ball under (fromX, fromY) to (toX, toY) on a free practice table.
inline std::string CarryBall(int fromX, int fromY, int toX, int toY) {
    auto at = [](int x, int y) { return std::to_string(x) + " " + std::to_string(y); };
    return "move " + at(fromX, fromY) + "\nkeydown Left Ctrl\ndown left\nmove " +
           at((fromX + toX) / 2, (fromY + toY) / 2) + "\nmove " + at(toX, toY) +
           "\nup left\nkeyup Left Ctrl\n";
}

// Ball `ball`'s x or y (axis 0 or 1) where a shot started, from the record that ends a SHOT journal line
// (the balls start at the record's byte 35, three little-endian f32 each).
inline float RecordBallAxis(const std::string& line, int ball, int axis) {
    const std::string record = line.substr(line.rfind(' ') + 1);
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
        bits |= static_cast<std::uint32_t>(
                    std::stoul(record.substr(70 + (ball * 3 + axis) * 8 + i * 2, 2), nullptr, 16))
                << (8 * i);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// One client process in a folder of its own.
class ScriptedClient {
public:
    ScriptedClient(const std::filesystem::path& folder, const std::string& script) : folder_(folder) {
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_ / "run");
        std::filesystem::create_directory_symlink(MARVENLOT_DATA_DIR, folder_ / "data");
        std::ofstream(folder_ / "input.txt") << ScriptPrologue() << script;
    }
    ~ScriptedClient() {
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
    }
    // `environment` adds variables (NAME=value) to the client's own.
    bool Start(const std::vector<std::string>& args, std::uint16_t port,
               const std::vector<std::string>& environment = {}) {
        process_.SetStderrFile((folder_ / "stderr.txt").string());
        std::vector<std::string> env = {"MARVENLOT_VIDEO=null",
                                        "MARVENLOT_AUDIO=null",
                                        "MARVENLOT_HEADLESS=1",
                                        "MARVENLOT_HOME=" + folder_.string(),
                                        "MARVENLOT_RUNTIME_DIR=" + (folder_ / "run").string(),
                                        "MARVENLOT_JOURNAL=" + (folder_ / "journal.txt").string(),
                                        "MARVENLOT_INPUT=" + (folder_ / "input.txt").string(),
                                        "MARVENLOT_SERVER=127.0.0.1:" + std::to_string(port)};
        env.insert(env.end(), environment.begin(), environment.end());
        return process_.Start(MARVENLOT_CLIENT_PATH, args, env, folder_.string());
    }
    std::string Journal() const { return ReadFile((folder_ / "journal.txt").string()); }
    // Waits for a journal line holding `line`; `timeout` (times the patience) is the safety net.
    bool WaitFor(const std::string& line,
                 std::chrono::milliseconds timeout = std::chrono::seconds(60)) const {
        const auto deadline = std::chrono::steady_clock::now() + timeout * Patience();
        while (std::chrono::steady_clock::now() < deadline) {
            if (Journal().find(line) != std::string::npos) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }
    std::optional<int> Wait(std::chrono::milliseconds timeout) { return process_.Wait(timeout * Patience()); }
    void Terminate() { process_.Terminate(); }
    std::string Log() const { return ReadFile((folder_ / "StartLog.log").string()); }
    std::string Config() const { return ReadFile((folder_ / "config.ini").string()); }

private:
    std::filesystem::path folder_;
    ChildProcess process_;
};

}  // namespace testsupport
