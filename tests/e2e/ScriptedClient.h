#pragma once
// The client program in a folder of its own, driven by an input script against a test server, with
// its journal, log and config file to read back.

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "table/ShotRecord.h"
#include "tests/common/ChildProcess.h"
#include "tests/common/Patience.h"
#include "tests/common/TempDir.h"

namespace testsupport {

// Put before every script: its journal waits give up after 40 s times the patience.
inline std::string ScriptPrologue() {
    return "journal-limit " + std::to_string(40000 * Patience()) + "\n";
}

// The pointer moved from (x, y) by (dx, dy) in ten steps, `button` held if one is named.
inline std::string Stroke(int x, int y, int dx, int dy, const std::string& button = "") {
    auto at = [](int px, int py) { return "move " + std::to_string(px) + " " + std::to_string(py) + "\n"; };
    std::string s = at(x, y) + (button.empty() ? "" : "down " + button + "\n");
    for (int k = 1; k <= 10; ++k) s += at(x + dx * k / 10, y + dy * k / 10);
    return s + (button.empty() ? "" : "up " + button + "\n");
}

// A firm shot into the corner pocket behind the cue ball of a new pocket rack (1024 x 768): the aim
// turned by 135 degrees (4 pixels a degree), the cue drawn back 190 pixels.
inline std::string ScratchIntoTheCornerPocket() {
    return "move 100 470\nwait 200\n" + Stroke(100, 470, 540, 0) + "wait 200\n" +
           Stroke(640, 470, 0, 190, "left");
}

// Ctrl and the left button carry the ball under (fromX, fromY) to (toX, toY) on a free practice table.
inline std::string CarryBall(int fromX, int fromY, int toX, int toY) {
    return "keydown Left Ctrl\n" + Stroke(fromX, fromY, toX - fromX, toY - fromY, "left") +
           "keyup Left Ctrl\n";
}

// The shot record that ends a SHOT journal line (all zero when it does not parse).
inline table::ShotRecord RecordOf(const std::string& shotLine) {
    table::ShotRecord record;
    if (record.ParseHex(shotLine.substr(shotLine.rfind(' ') + 1)) != table::ShotRecord::ParseResult::Ok)
        return {};
    return record;
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
        return WaitUntil([&] { return Journal().find(line) != std::string::npos; }, timeout,
                         std::chrono::milliseconds(20));
    }
    std::optional<int> Wait(std::chrono::milliseconds timeout) { return process_.Wait(timeout); }
    void Terminate() { process_.Terminate(); }
    void Signal(int signal) { process_.Signal(signal); }
    std::string Log() const { return ReadFile((folder_ / "StartLog.log").string()); }
    std::string Config() const { return ReadFile((folder_ / "config.ini").string()); }

private:
    std::filesystem::path folder_;
    ChildProcess process_;
};

}  // namespace testsupport
