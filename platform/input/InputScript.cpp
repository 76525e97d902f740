#include "platform/input/InputScript.h"

#include <charconv>

#include "platform/input/KeyNames.h"
#include "platform/sys/Utf8.h"

namespace platform {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Cuts the next blank-separated word off the front of `rest`.
std::string_view NextWord(std::string_view& rest) {
    while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
    std::size_t end = 0;
    while (end < rest.size() && !IsBlank(rest[end])) ++end;
    const std::string_view word = rest.substr(0, end);
    rest.remove_prefix(end);
    return word;
}

bool ParseInt(std::string_view word, std::int64_t low, std::int64_t high, std::int32_t& out) {
    std::int64_t value = 0;
    if (!word.empty() && word.front() == '+') word.remove_prefix(1);
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (word.empty() || error != std::errc() || end != word.data() + word.size()) return false;
    if (value < low || value > high) return false;
    out = static_cast<std::int32_t>(value);
    return true;
}

struct Parsed {
    bool ok = false;
    std::string message;
};

Parsed Fail(std::string message) {
    return {false, std::move(message)};
}

// Reads the arguments of one command into `command`; `rest` is the line after the command word.
Parsed ParseArguments(std::string_view word, std::string_view rest, ScriptCommand& command) {
    using namespace input_script;
    const std::string_view tail = TrimBlanks(rest);
    auto noMore = [&]() -> Parsed {
        if (!TrimBlanks(rest).empty()) return Fail("unexpected \"" + std::string(TrimBlanks(rest)) + "\"");
        return {true, {}};
    };
    if (word == "wait") {
        command.op = ScriptOp::Wait;
        if (!ParseInt(NextWord(rest), 0, kMaxWaitMs, command.a))
            return Fail("wait needs milliseconds from 0 to " + std::to_string(kMaxWaitMs));
        return noMore();
    }
    if (word == "journal-limit") {
        command.op = ScriptOp::JournalLimit;
        if (!ParseInt(NextWord(rest), 1, kMaxWaitMs, command.a))
            return Fail("journal-limit needs milliseconds from 1 to " + std::to_string(kMaxWaitMs));
        return noMore();
    }
    if (word == "move") {
        command.op = ScriptOp::Move;
        if (!ParseInt(NextWord(rest), -kMaxCoordinate, kMaxCoordinate, command.a) ||
            !ParseInt(NextWord(rest), -kMaxCoordinate, kMaxCoordinate, command.b))
            return Fail("move needs two client coordinates from -32767 to 32767");
        return noMore();
    }
    if (word == "down" || word == "up") {
        command.op = word == "down" ? ScriptOp::ButtonDown : ScriptOp::ButtonUp;
        const std::string_view name = NextWord(rest);
        if (name == "left")
            command.button = ScriptButton::Left;
        else if (name == "right")
            command.button = ScriptButton::Right;
        else if (name == "middle")
            command.button = ScriptButton::Middle;
        else
            return Fail(std::string(word) + " needs left, right or middle");
        return noMore();
    }
    if (word == "wheel") {
        command.op = ScriptOp::Wheel;
        if (!ParseInt(NextWord(rest), -kMaxWheelNotches, kMaxWheelNotches, command.a) || command.a == 0)
            return Fail("wheel needs a non-zero notch count from -100 to 100");
        return noMore();
    }
    if (word == "key" || word == "keydown" || word == "keyup") {
        command.op = word == "key" ? ScriptOp::Key : word == "keydown" ? ScriptOp::KeyDown : ScriptOp::KeyUp;
        // Key names may hold blanks ("Left Shift"); the rest of the line is the name.
        const KeyName* key = FindKeyName(tail);
        if (!key) return Fail("unknown key \"" + std::string(tail.substr(0, 64)) + "\"");
        command.virtualKey = key->virtualKey;
        command.text = std::string(key->name);
        return {true, {}};
    }
    if (word == "text" || word == "wait-journal" || word == "wait-file") {
        command.op = word == "text"        ? ScriptOp::Text
                     : word == "wait-file" ? ScriptOp::WaitFile
                                           : ScriptOp::WaitJournal;
        // The argument is the rest of the line after the blanks that follow the command word.
        std::string_view argument = rest;
        while (!argument.empty() && IsBlank(argument.front())) argument.remove_prefix(1);
        if (argument.empty()) return Fail(std::string(word) + " needs an argument");
        if (argument.size() > kMaxArgumentBytes) return Fail(std::string(word) + " argument is too long");
        if (!IsValidUtf8(argument)) return Fail(std::string(word) + " argument is not UTF-8");
        for (char c : argument)
            if (static_cast<unsigned char>(c) < 0x20)
                return Fail(std::string(word) + " argument holds a control character");
        command.text = std::string(argument);
        return {true, {}};
    }
    if (word == "quit") {
        command.op = ScriptOp::Quit;
        return noMore();
    }
    return Fail("unknown command \"" + std::string(word.substr(0, 64)) + "\"");
}

}  // namespace

InputScript ParseInputScript(std::string_view text) {
    InputScript script;
    int lineNumber = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        std::string_view rest = line;
        while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
        if (rest.empty() || rest.front() == '#') continue;
        const std::string_view word = NextWord(rest);
        ScriptCommand command;
        command.line = lineNumber;
        const Parsed parsed = ParseArguments(word, rest, command);
        if (parsed.ok)
            script.commands.push_back(std::move(command));
        else
            script.errors.push_back({lineNumber, parsed.message});
    }
    return script;
}

std::string DescribeScriptError(const ScriptError& error) {
    return "input script line " + std::to_string(error.line) + ": " + error.message;
}

}  // namespace platform
