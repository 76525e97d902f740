#include "platform/sys/MessageBox.h"

#include <SDL.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <string>

#include "platform/Drivers.h"
#include "platform/sys/Env.h"
#include "platform/sys/Journal.h"
#include "platform/sys/Quit.h"

extern char** environ;

namespace platform {

namespace {

constexpr unsigned kButtonMask = 0x0F;
constexpr unsigned kIconMask = 0xF0;
constexpr unsigned kDefaultMask = 0xF00;

// The system's texts use CR or CRLF for line breaks; the terminal wants LF.
std::string WithUnixLineBreaks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out.push_back('\n');
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

Uint32 SdlIconFlag(MessageBoxIcon icon) {
    switch (icon) {
        case MessageBoxIcon::Error:
            return SDL_MESSAGEBOX_ERROR;
        case MessageBoxIcon::Warning:
            return SDL_MESSAGEBOX_WARNING;
        case MessageBoxIcon::Question:
        case MessageBoxIcon::Information:
            return SDL_MESSAGEBOX_INFORMATION;
        case MessageBoxIcon::None:
            break;
    }
    return 0;
}

// False when no box could be shown (then the caller answers as if headless).
bool ShowSdlBox(const std::string& caption, const std::string& text, const MessageBoxLayout& layout,
                int& answer) {
    std::vector<SDL_MessageBoxButtonData> buttons;
    for (const auto& button : layout.buttons) {
        SDL_MessageBoxButtonData data{};
        data.buttonid = button.id;
        data.text = button.label;
        if (button.id == layout.defaultId) data.flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
        if (button.id == layout.closeId) data.flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
        buttons.push_back(data);
    }
    SDL_MessageBoxData box{};
    box.flags = SdlIconFlag(layout.icon) | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    box.title = caption.c_str();
    box.message = text.c_str();
    box.numbuttons = static_cast<int>(buttons.size());
    box.buttons = buttons.data();
    int pressed = -1;
    if (SDL_ShowMessageBox(&box, &pressed) != 0) return false;
    answer = pressed < 0 ? layout.closeId : pressed;
    return true;
}

constexpr int kQuitPollMs = 50;
constexpr std::size_t kFirstLabel = 5;

// Buttons travel to the box program by position, 1 for the first: every answer is an exit code.
int ButtonNumber(const MessageBoxLayout& layout, int id) {
    for (std::size_t i = 0; i < layout.buttons.size(); ++i)
        if (layout.buttons[i].id == id) return static_cast<int>(i) + 1;
    return 0;
}

bool ReadNumber(std::string_view text, int low, int high, int& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= low && value <= high;
}

enum class ProgramResult { Answered, Closed, NotShown, NoProgram };

// Runs the box program in a process group of its own and waits for its answer or for a quit
// request, which ends the group (the program and the box process SDL forks for it).
ProgramResult ShowInBoxProgram(std::string_view caption, std::string_view text,
                               const MessageBoxLayout& layout, int& answer) {
    const std::string dir = ExecutableDir();
    const std::string program = dir + "/" + kMessageBoxProgram;
    if (dir.empty() || access(program.c_str(), X_OK) != 0) return ProgramResult::NoProgram;
    if (layout.buttons.empty() || layout.buttons.size() >= kMessageBoxNotShown)
        return ProgramResult::NoProgram;

    std::vector<std::string> args = MessageBoxProgramArguments(caption, text, layout);
    args.insert(args.begin(), program);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    sigset_t quitSignals;
    sigemptyset(&quitSignals);
    sigaddset(&quitSignals, SIGTERM);
    sigaddset(&quitSignals, SIGINT);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &quitSignals);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = -1;
    const int error = posix_spawn(&pid, program.c_str(), nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) return ProgramResult::NoProgram;

    for (;;) {
        int status = 0;
        const pid_t ended = waitpid(pid, &status, WNOHANG);
        if (ended == pid) {
            if (!WIFEXITED(status)) return ProgramResult::Closed;
            const int number = WEXITSTATUS(status);
            if (number < 1 || static_cast<std::size_t>(number) > layout.buttons.size())
                return ProgramResult::NotShown;
            answer = layout.buttons[static_cast<std::size_t>(number) - 1].id;
            return ProgramResult::Answered;
        }
        if (ended < 0 && errno != EINTR) return ProgramResult::NotShown;
        if (BlockingWaitEnds()) {
            kill(-pid, SIGTERM);
            while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            return ProgramResult::Closed;
        }
        // The quit pipe wakes the wait at once; it is left for the message pump to drain.
        pollfd quit{QuitFd(), POLLIN, 0};
        poll(&quit, quit.fd >= 0 ? 1 : 0, kQuitPollMs);
    }
}

}  // namespace

MessageBoxLayout DescribeMessageBox(unsigned style) {
    MessageBoxLayout layout;
    switch (style & kButtonMask) {
        case MB_OKCANCEL:
            layout.buttons = {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
            break;
        case MB_ABORTRETRYIGNORE:
            layout.buttons = {{IDABORT, "Abort"}, {IDRETRY, "Retry"}, {IDIGNORE, "Ignore"}};
            break;
        case MB_YESNOCANCEL:
            layout.buttons = {{IDYES, "Yes"}, {IDNO, "No"}, {IDCANCEL, "Cancel"}};
            break;
        case MB_YESNO:
            layout.buttons = {{IDYES, "Yes"}, {IDNO, "No"}};
            break;
        case MB_RETRYCANCEL:
            layout.buttons = {{IDRETRY, "Retry"}, {IDCANCEL, "Cancel"}};
            break;
        default:
            layout.buttons = {{IDOK, "OK"}};
            break;
    }
    std::size_t index = 0;
    if ((style & kDefaultMask) == MB_DEFBUTTON2) index = 1;
    if ((style & kDefaultMask) == MB_DEFBUTTON3) index = 2;
    if (index >= layout.buttons.size()) index = 0;
    layout.defaultId = layout.buttons[index].id;

    // A box without Cancel is closed by its only answer; Yes/No and Abort/Retry/Ignore cannot be
    // closed without choosing, so closing them picks the default.
    layout.closeId = layout.defaultId;
    for (const auto& button : layout.buttons)
        if (button.id == IDCANCEL) layout.closeId = IDCANCEL;
    if (layout.buttons.size() == 1) layout.closeId = layout.buttons[0].id;

    switch (style & kIconMask) {
        case MB_ICONERROR:
            layout.icon = MessageBoxIcon::Error;
            break;
        case MB_ICONQUESTION:
            layout.icon = MessageBoxIcon::Question;
            break;
        case MB_ICONWARNING:
            layout.icon = MessageBoxIcon::Warning;
            break;
        case MB_ICONINFORMATION:
            layout.icon = MessageBoxIcon::Information;
            break;
        default:
            layout.icon = MessageBoxIcon::None;
            break;
    }
    return layout;
}

int MessageBox(std::string_view caption, std::string_view text, unsigned style) {
    return MessageBox(caption, text, DescribeMessageBox(style));
}

int MessageBox(std::string_view caption, std::string_view text, const MessageBoxLayout& layout) {
    JournalBoxText(caption, text);
    const std::string captionText(caption);
    const std::string bodyText = WithUnixLineBreaks(text);
    int answer = layout.defaultId;
    // A client that is quitting shows no more boxes: nobody would wait for their answer.
    if (!IsHeadless() && IsDisplayReachable() && !QuitRequested()) {
        switch (ShowInBoxProgram(captionText, bodyText, layout, answer)) {
            case ProgramResult::Answered:
                return answer;
            case ProgramResult::Closed:
                return layout.closeId;
            case ProgramResult::NoProgram:
                if (ShowSdlBox(captionText, bodyText, layout, answer)) return answer;
                break;
            case ProgramResult::NotShown:
                break;
        }
    }
    std::fprintf(stderr, "%s: %s\n", captionText.c_str(), bodyText.c_str());
    std::fflush(stderr);
    return layout.defaultId;
}

std::vector<std::string> MessageBoxProgramArguments(std::string_view caption, std::string_view text,
                                                    const MessageBoxLayout& layout) {
    std::vector<std::string> args{
        std::to_string(static_cast<int>(layout.icon)), std::to_string(ButtonNumber(layout, layout.defaultId)),
        std::to_string(ButtonNumber(layout, layout.closeId)), std::string(caption), std::string(text)};
    for (const MessageBoxButton& button : layout.buttons) args.emplace_back(button.label);
    return args;
}

bool ParseMessageBoxProgramArguments(const std::vector<std::string>& args, std::string_view& caption,
                                     std::string_view& text, MessageBoxLayout& layout) {
    const int buttons = static_cast<int>(args.size()) - static_cast<int>(kFirstLabel);
    int icon = 0;
    if (buttons < 1 || buttons >= kMessageBoxNotShown ||
        !ReadNumber(args[0], 0, static_cast<int>(MessageBoxIcon::Information), icon) ||
        !ReadNumber(args[1], 1, buttons, layout.defaultId) ||
        !ReadNumber(args[2], 1, buttons, layout.closeId))
        return false;
    layout.icon = static_cast<MessageBoxIcon>(icon);
    caption = args[3];
    text = args[4];
    layout.buttons.clear();
    for (std::size_t i = kFirstLabel; i < args.size(); ++i)
        layout.buttons.push_back({static_cast<int>(i - kFirstLabel) + 1, args[i].c_str()});
    return true;
}

int RunMessageBoxProgram(const std::vector<std::string>& args) {
    std::string_view caption, text;
    MessageBoxLayout layout;
    if (!ParseMessageBoxProgramArguments(args, caption, text, layout)) {
        std::fprintf(stderr, "%s: the arguments describe no box\n", kMessageBoxProgram);
        return kMessageBoxNotShown;
    }
    // A client that dies without closing the box takes it along.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    int answer = layout.defaultId;
    return ShowSdlBox(std::string(caption), std::string(text), layout, answer) ? answer : kMessageBoxNotShown;
}

}  // namespace platform
