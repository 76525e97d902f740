#include "platform/input/InputScriptPlayer.h"

#include <cerrno>
#include <filesystem>

#include "platform/sys/Journal.h"
#include "platform/sys/RegularFile.h"
#include "platform/window/Window.h"

namespace platform {

InputScriptPlayer::InputScriptPlayer(std::vector<ScriptCommand> commands, Report report)
    : commands_(std::move(commands)), report_(std::move(report)) {
    for (std::size_t i = 0; i < commands_.size(); ++i)
        if (commands_[i].op == ScriptOp::WaitJournal) lastJournalWait_ = i + 1;
    if (lastJournalWait_ == 0) return;
    subscription_ = Journal::Subscribe([this](std::uint64_t, std::string_view line) {
        ScopedLock guard(lock_);
        if (lines_.size() >= input_script::kMaxPendingLines) lines_.pop_front();
        lines_.emplace_back(line);
    });
}

InputScriptPlayer::~InputScriptPlayer() {
    StopWatchingJournal();
}

void InputScriptPlayer::StopWatchingJournal() {
    if (subscription_ == 0) return;
    Journal::Unsubscribe(subscription_);
    subscription_ = 0;
    ScopedLock guard(lock_);
    lines_.clear();
}

void InputScriptPlayer::Step(std::uint64_t nowMs, WindowSystem& windows) {
    while (next_ < commands_.size()) {
        const ScriptCommand& command = commands_[next_];
        if (command.op == ScriptOp::Wait) {
            if (!waiting_) {
                waiting_ = true;
                deadlineMs_ = nowMs + static_cast<std::uint32_t>(command.a);
            }
            if (nowMs < deadlineMs_) return;
            waiting_ = false;
        } else if (command.op == ScriptOp::WaitJournal || command.op == ScriptOp::WaitFile) {
            if (!waiting_) {
                waiting_ = true;
                deadlineMs_ = nowMs + journalLimitMs_;
            }
            const bool journal = command.op == ScriptOp::WaitJournal;
            std::error_code error;
            if (journal ? !TakeJournalMatch(command.text)
                        : !std::filesystem::is_regular_file(command.text, error)) {
                if (nowMs < deadlineMs_) return;
                if (report_)
                    report_("input script line " + std::to_string(command.line) +
                            (journal ? ": no journal line \"" : ": no file \"") + command.text +
                            "\" within " + std::to_string(journalLimitMs_ / 1000) + " s; going on");
            }
            waiting_ = false;
        } else if (command.op == ScriptOp::JournalLimit) {
            journalLimitMs_ = static_cast<std::uint32_t>(command.a);
        } else {
            Issue(command, windows);
        }
        ++next_;
        if (next_ == lastJournalWait_) StopWatchingJournal();
    }
}

bool InputScriptPlayer::TakeJournalMatch(std::string_view prefix) {
    ScopedLock guard(lock_);
    for (auto it = lines_.begin(); it != lines_.end(); ++it) {
        if (std::string_view(*it).substr(0, prefix.size()) != prefix) continue;
        lines_.erase(lines_.begin(), it + 1);
        return true;
    }
    return false;
}

void InputScriptPlayer::Issue(const ScriptCommand& command, WindowSystem& windows) {
    InputEvent event;
    event.x = pointerX_;
    event.y = pointerY_;
    switch (command.op) {
        case ScriptOp::Move:
            event.kind = InputEvent::Kind::MouseMove;
            event.x = command.a;
            event.y = command.b;
            // The first move places the pointer: where it came from is unknown.
            event.dx = pointerKnown_ ? command.a - pointerX_ : 0;
            event.dy = pointerKnown_ ? command.b - pointerY_ : 0;
            pointerKnown_ = true;
            pointerX_ = command.a;
            pointerY_ = command.b;
            windows.InjectInput(event);
            break;
        case ScriptOp::ButtonDown:
        case ScriptOp::ButtonUp:
            event.kind = InputEvent::Kind::MouseButton;
            event.button = static_cast<int>(command.button);
            event.down = command.op == ScriptOp::ButtonDown;
            windows.InjectInput(event);
            break;
        case ScriptOp::Wheel:
            event.kind = InputEvent::Kind::MouseWheel;
            event.notches = command.a;
            windows.InjectInput(event);
            break;
        case ScriptOp::Key:
        case ScriptOp::KeyDown:
        case ScriptOp::KeyUp:
            event.kind = InputEvent::Kind::Key;
            event.virtualKey = command.virtualKey;
            event.text = command.text;
            if (command.op != ScriptOp::KeyUp) {
                event.down = true;
                windows.InjectInput(event);
            }
            if (command.op != ScriptOp::KeyDown) {
                event.down = false;
                windows.InjectInput(event);
            }
            break;
        case ScriptOp::Text:
            event.kind = InputEvent::Kind::Text;
            event.text = command.text;
            windows.InjectInput(event);
            break;
        case ScriptOp::Quit:
            event.kind = InputEvent::Kind::Close;
            windows.InjectInput(event);
            break;
        case ScriptOp::Wait:
        case ScriptOp::WaitJournal:
        case ScriptOp::WaitFile:
        case ScriptOp::JournalLimit:
            break;
    }
}

std::unique_ptr<InputScriptPlayer> LoadInputScript(const std::string& path,
                                                   InputScriptPlayer::Report report) {
    std::string text;
    int error = 0;
    if (!ReadRegularFile(path, text, error, input_script::kMaxScriptBytes)) {
        if (report)
            report("input script " + path +
                   (error == EFBIG ? std::string(" is larger than 1 MiB")
                                   : " cannot be read (" + FileErrorText(error) + ")") +
                   "; no scripted input");
        return nullptr;
    }
    InputScript script = ParseInputScript(text);
    if (report)
        for (const ScriptError& error : script.errors) report(DescribeScriptError(error));
    return std::make_unique<InputScriptPlayer>(std::move(script.commands), std::move(report));
}

}  // namespace platform
