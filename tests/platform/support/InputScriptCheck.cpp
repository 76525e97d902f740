#include "tests/platform/support/InputScriptCheck.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/input/InputScript.h"
#include "platform/input/KeyNames.h"
#include "platform/sys/Utf8.h"

namespace fuzz {

std::string CheckInputScriptParse(std::string_view text) {
    using namespace platform;
    const InputScript script = ParseInputScript(text);
    const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
    // Each line gives at most one command or one error, in line order.
    std::vector<int> used;
    for (const ScriptCommand& command : script.commands) used.push_back(command.line);
    for (const ScriptError& error : script.errors) {
        if (error.message.empty()) return "an error without a message";
        used.push_back(error.line);
    }
    std::sort(used.begin(), used.end());
    if (std::adjacent_find(used.begin(), used.end()) != used.end()) return "two results for one line";
    if (!used.empty() && (used.front() < 1 || used.back() > lines)) return "a line number outside the text";
    int last = 0;
    for (const ScriptCommand& command : script.commands) {
        if (command.line <= last) return "commands out of line order";
        last = command.line;
        switch (command.op) {
            case ScriptOp::Wait:
                if (command.a < 0 || static_cast<std::uint32_t>(command.a) > input_script::kMaxWaitMs)
                    return "a wait out of range";
                break;
            case ScriptOp::JournalLimit:
                if (command.a < 1 || static_cast<std::uint32_t>(command.a) > input_script::kMaxWaitMs)
                    return "a journal limit out of range";
                break;
            case ScriptOp::Move:
                if (std::abs(command.a) > input_script::kMaxCoordinate ||
                    std::abs(command.b) > input_script::kMaxCoordinate)
                    return "a position out of range";
                break;
            case ScriptOp::Wheel:
                if (command.a == 0 || std::abs(command.a) > input_script::kMaxWheelNotches)
                    return "a wheel count out of range";
                break;
            case ScriptOp::Key:
            case ScriptOp::KeyDown:
            case ScriptOp::KeyUp: {
                const KeyName* key = FindKeyName(command.text);
                if (!key || key->virtualKey != command.virtualKey || command.virtualKey == 0)
                    return "a key that is not in the table";
                break;
            }
            case ScriptOp::Text:
            case ScriptOp::WaitJournal:
                if (command.text.empty() || command.text.size() > input_script::kMaxArgumentBytes ||
                    !IsValidUtf8(command.text) || command.text.find('\n') != std::string::npos)
                    return "a text argument that is empty, too long, broken or multi-line";
                break;
            default:
                break;
        }
    }
    return {};
}

}  // namespace fuzz
