#pragma once
// Plays a parsed input script through the window system, as if a person used mouse and keyboard.
// The window system steps it before each pump of the main thread, so the events take the road of
// real device events in either backend. Time is the process clock's (a virtual clock in tests).
//
// `wait-journal` sees the journal lines written since the player was made (at client start) or
// since the line its previous match took, whichever is later; it gives up after 30 s (or the time
// of the last `journal-limit`), reports the miss and goes on.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/input/InputScript.h"
#include "platform/sys/CriticalSection.h"

namespace platform {

class WindowSystem;

namespace input_script {
// Journal lines kept for a later wait-journal; the oldest go first beyond it.
constexpr std::size_t kMaxPendingLines = 10000;
constexpr std::size_t kMaxScriptBytes = 1 << 20;
}  // namespace input_script

class InputScriptPlayer {
public:
    using Report = std::function<void(const std::string& line)>;

    // `report` receives one line per miss (never called under a lock of the player).
    InputScriptPlayer(std::vector<ScriptCommand> commands, Report report);
    ~InputScriptPlayer();
    InputScriptPlayer(const InputScriptPlayer&) = delete;
    InputScriptPlayer& operator=(const InputScriptPlayer&) = delete;

    // Main thread: issues every command that is due at `nowMs`, in order, and stops at the first
    // that must wait.
    void Step(std::uint64_t nowMs, WindowSystem& windows);
    bool Finished() const { return next_ >= commands_.size(); }

private:
    void Issue(const ScriptCommand& command, WindowSystem& windows);
    bool TakeJournalMatch(std::string_view prefix);
    void StopWatchingJournal();

    const std::vector<ScriptCommand> commands_;
    const Report report_;
    std::size_t next_ = 0;
    std::size_t lastJournalWait_ = 0;  // index after the last wait-journal command
    bool waiting_ = false;
    std::uint64_t deadlineMs_ = 0;
    std::uint32_t journalLimitMs_ = input_script::kJournalWaitMs;
    bool pointerKnown_ = false;
    int pointerX_ = 0, pointerY_ = 0;

    std::uint64_t subscription_ = 0;
    CriticalSection lock_;  // the lines below; taken under the journal's lock
    std::deque<std::string> lines_;
};

// Reads and parses the script file at `path` (MARVENLOT_INPUT) and makes its player. Every
// malformed line is reported with its number and left out; an unreadable or oversized file is
// reported and gives nullptr.
std::unique_ptr<InputScriptPlayer> LoadInputScript(const std::string& path, InputScriptPlayer::Report report);

}  // namespace platform
