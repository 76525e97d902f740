#include "platform/sys/MessageBox.h"

#include <SDL.h>

#include <cstdio>
#include <string>

#include "platform/Drivers.h"
#include "platform/sys/Env.h"
#include "platform/sys/Journal.h"

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
    if (!IsHeadless() && IsDisplayReachable() && ShowSdlBox(captionText, bodyText, layout, answer))
        return answer;
    std::fprintf(stderr, "%s: %s\n", captionText.c_str(), bodyText.c_str());
    std::fflush(stderr);
    return layout.defaultId;
}

}  // namespace platform
