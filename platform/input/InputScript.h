#pragma once
// Scripted input: a text of timed commands, one a line, that drive the client as a person would
// (MARVENLOT_INPUT). The parser is a pure function over the text; what it cannot read becomes an
// error with its line number and the line is skipped.
//
//   wait MS                      pause MS milliseconds after the previous command
//   move X Y                     pointer to client pixel (X, Y)
//   down B / up B                mouse button B: left, right or middle
//   wheel N                      N wheel notches, positive away from the user
//   key NAME                     press and release a key (SDL key names, any case)
//   keydown NAME / keyup NAME    press or release a key
//   text UTF8                    type the rest of the line as characters
//   wait-journal PREFIX          wait for a journal line starting with the rest of the line
//   journal-limit MS             give later wait-journal commands MS milliseconds (30000 at start)
//   wait-file PATH               wait, as long as a wait-journal, for a regular file at PATH
//   quit                         close the main window
// Blank lines and lines whose first non-blank character is '#' are comments.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class ScriptOp : std::uint8_t {
    Wait,
    Move,
    ButtonDown,
    ButtonUp,
    Wheel,
    Key,
    KeyDown,
    KeyUp,
    Text,
    WaitJournal,
    JournalLimit,
    Quit,
    WaitFile
};

enum class ScriptButton : std::uint8_t { Left, Right, Middle };

namespace input_script {
constexpr std::uint32_t kMaxWaitMs = 3'600'000;
constexpr int kMaxCoordinate = 32767;  // window messages carry 16-bit signed coordinates
constexpr int kMaxWheelNotches = 100;
constexpr std::size_t kMaxArgumentBytes = 4096;
constexpr std::uint32_t kJournalWaitMs = 30'000;
}  // namespace input_script

struct ScriptCommand {
    ScriptOp op = ScriptOp::Wait;
    int line = 0;               // 1-based line of the script
    std::int32_t a = 0, b = 0;  // wait ms; move x, y; wheel notches; journal limit ms
    ScriptButton button = ScriptButton::Left;
    std::uint32_t virtualKey = 0;  // key commands
    std::string text;              // key commands: SDL's key name; text; wait-journal prefix; wait-file path

    bool operator==(const ScriptCommand&) const = default;
};

struct ScriptError {
    int line = 0;
    std::string message;
};

struct InputScript {
    std::vector<ScriptCommand> commands;
    std::vector<ScriptError> errors;
};

InputScript ParseInputScript(std::string_view text);

// "input script line N: <message>", as the client logs it.
std::string DescribeScriptError(const ScriptError& error);

}  // namespace platform
