// The sdl backend: a borderless window with the OpenGL flag, SDL events turned into window messages.
#include <SDL.h>

#include <array>
#include <cstdio>

#include "platform/input/MouseDevice.h"
#include "platform/window/Window.h"

namespace platform {
std::unique_ptr<WindowSystem> CreateSdlWindowSystem();
std::unique_ptr<WindowSystem> CreateNullWindowSystem();

namespace {

std::string Utf16ToUtf8(const std::u16string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::u16string Utf8ToUtf16(const char* text) {
    std::u16string out;
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        std::uint32_t c = *p++;
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (extra) c &= (0x3F >> extra);
        for (; extra > 0 && (*p & 0xC0) == 0x80; --extra) c = (c << 6) | (*p++ & 0x3F);
        if (extra) c = 0xFFFD;
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

std::uint32_t VirtualKeyOf(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return static_cast<std::uint32_t>('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9) return static_cast<std::uint32_t>('0' + (key - SDLK_0));
    if (key >= SDLK_F1 && key <= SDLK_F12) return kVkF1 + static_cast<std::uint32_t>(key - SDLK_F1);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9)
        return kVkNumpad0 + 1 + static_cast<std::uint32_t>(key - SDLK_KP_1);
    switch (key) {
        case SDLK_BACKSPACE:
            return kVkBack;
        case SDLK_TAB:
            return kVkTab;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return kVkReturn;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT:
            return kVkShift;
        case SDLK_LCTRL:
        case SDLK_RCTRL:
            return kVkControl;
        case SDLK_LALT:
        case SDLK_RALT:
            return kVkMenu;
        case SDLK_PAUSE:
            return kVkPause;
        case SDLK_CAPSLOCK:
            return kVkCapital;
        case SDLK_ESCAPE:
            return kVkEscape;
        case SDLK_SPACE:
            return kVkSpace;
        case SDLK_PAGEUP:
            return kVkPrior;
        case SDLK_PAGEDOWN:
            return kVkNext;
        case SDLK_END:
            return kVkEnd;
        case SDLK_HOME:
            return kVkHome;
        case SDLK_LEFT:
            return kVkLeft;
        case SDLK_UP:
            return kVkUp;
        case SDLK_RIGHT:
            return kVkRight;
        case SDLK_DOWN:
            return kVkDown;
        case SDLK_INSERT:
            return kVkInsert;
        case SDLK_DELETE:
            return kVkDelete;
        case SDLK_LGUI:
            return kVkLWin;
        case SDLK_RGUI:
            return kVkRWin;
        case SDLK_KP_0:
            return kVkNumpad0;
        case SDLK_KP_MULTIPLY:
            return kVkMultiply;
        case SDLK_KP_PLUS:
            return kVkAdd;
        case SDLK_KP_MINUS:
            return kVkSubtract;
        case SDLK_KP_PERIOD:
            return kVkDecimal;
        case SDLK_KP_DIVIDE:
            return kVkDivide;
        case SDLK_SEMICOLON:
            return kVkOem1;
        case SDLK_EQUALS:
            return kVkOemPlus;
        case SDLK_COMMA:
            return kVkOemComma;
        case SDLK_MINUS:
            return kVkOemMinus;
        case SDLK_PERIOD:
            return kVkOemPeriod;
        case SDLK_SLASH:
            return kVkOem2;
        case SDLK_BACKQUOTE:
            return kVkOem3;
        case SDLK_LEFTBRACKET:
            return kVkOem4;
        case SDLK_BACKSLASH:
            return kVkOem5;
        case SDLK_RIGHTBRACKET:
            return kVkOem6;
        case SDLK_QUOTE:
            return kVkOem7;
        default:
            return 0;
    }
}

class SdlWindow final : public Window {
public:
    SdlWindow(SDL_Window* window, MessageQueue& queue) : window_(window), queue_(queue) {
        for (std::size_t i = 0; i < cursors_.size(); ++i) cursors_[i] = nullptr;
    }
    ~SdlWindow() override {
        for (SDL_Cursor* cursor : cursors_)
            if (cursor) SDL_FreeCursor(cursor);
        SDL_DestroyWindow(window_);
    }

    void SetBounds(const Rect& bounds, bool fullscreen) override {
        if (fullscreen) {
            SDL_SetWindowSize(window_, bounds.Width(), bounds.Height());
            SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
        } else {
            SDL_SetWindowFullscreen(window_, 0);
            SDL_SetWindowSize(window_, bounds.Width(), bounds.Height());
            SDL_SetWindowPosition(window_, bounds.left, bounds.top);
        }
    }
    Rect GetWindowRect() const override {
        int x = 0, y = 0, w = 0, h = 0;
        SDL_GetWindowPosition(window_, &x, &y);
        SDL_GetWindowSize(window_, &w, &h);
        return Rect{x, y, x + w, y + h};
    }
    Rect GetClientRect() const override {
        int w = 0, h = 0;
        SDL_GetWindowSize(window_, &w, &h);
        return Rect{0, 0, w, h};
    }
    bool IsFullscreen() const override {
        return (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
    }
    void Show(ShowCommand command) override {
        switch (command) {
            case ShowCommand::Hide:
                SDL_HideWindow(window_);
                break;
            case ShowCommand::Show:
                SDL_ShowWindow(window_);
                break;
            case ShowCommand::Minimize:
            case ShowCommand::MinimizeNoActivate:
                SDL_MinimizeWindow(window_);
                break;
            case ShowCommand::Restore:
                SDL_RestoreWindow(window_);
                break;
        }
    }
    void BringToFront() override { SDL_RaiseWindow(window_); }
    std::u16string Title() const override { return Utf8ToUtf16(SDL_GetWindowTitle(window_)); }

    void ShowCursor(bool show) override { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }
    void SetCursor(CursorShape shape) override {
        const auto index = static_cast<std::size_t>(shape);
        if (!cursors_[index]) {
            SDL_SystemCursor system = SDL_SYSTEM_CURSOR_ARROW;
            switch (shape) {
                case CursorShape::Hand:
                    system = SDL_SYSTEM_CURSOR_HAND;
                    break;
                case CursorShape::SizeNwse:
                    system = SDL_SYSTEM_CURSOR_SIZENWSE;
                    break;
                case CursorShape::SizeWe:
                    system = SDL_SYSTEM_CURSOR_SIZEWE;
                    break;
                case CursorShape::SizeNs:
                    system = SDL_SYSTEM_CURSOR_SIZENS;
                    break;
                case CursorShape::GameAim:
                    system = SDL_SYSTEM_CURSOR_CROSSHAIR;
                    break;
                default:
                    break;
            }
            cursors_[index] = SDL_CreateSystemCursor(system);
        }
        if (cursors_[index]) SDL_SetCursor(cursors_[index]);
    }
    void ClipCursor(const Rect* screenRect) override {
        if (!screenRect) {
            SDL_SetWindowMouseRect(window_, nullptr);
            return;
        }
        const Rect window = GetWindowRect();
        const SDL_Rect rect{screenRect->left - window.left, screenRect->top - window.top, screenRect->Width(),
                            screenRect->Height()};
        SDL_SetWindowMouseRect(window_, &rect);
    }
    void SetCapture(bool on) override { SDL_CaptureMouse(on ? SDL_TRUE : SDL_FALSE); }
    bool GetCursorPos(int& screenX, int& screenY) const override {
        SDL_GetGlobalMouseState(&screenX, &screenY);
        return true;
    }
    void SetCursorPos(int screenX, int screenY) override { SDL_WarpMouseGlobal(screenX, screenY); }
    void SetKeyboardGrab(bool on) override { SDL_SetWindowKeyboardGrab(window_, on ? SDL_TRUE : SDL_FALSE); }

    std::intptr_t DefWindowProc(const Message& message) override {
        if (message.message == kWmNcLButtonDown && message.wParam == kHtCaption && !IsFullscreen()) {
            SDL_GetGlobalMouseState(&dragMouseX_, &dragMouseY_);
            SDL_GetWindowPosition(window_, &dragWindowX_, &dragWindowY_);
            dragging_ = true;
            queue_.Post({kWmEnterSizeMove, 0, 0});
        }
        return 0;
    }
    void* NativeHandle() const override { return window_; }

    // Follows the pointer while the caption is dragged; the drag ends when the button is released.
    void UpdateDrag() {
        if (!dragging_) return;
        int x = 0, y = 0;
        const std::uint32_t buttons = SDL_GetGlobalMouseState(&x, &y);
        if (!(buttons & SDL_BUTTON(SDL_BUTTON_LEFT))) {
            dragging_ = false;
            queue_.Post({kWmExitSizeMove, 0, 0});
            return;
        }
        SDL_SetWindowPosition(window_, dragWindowX_ + x - dragMouseX_, dragWindowY_ + y - dragMouseY_);
    }
    std::uint32_t Id() const { return SDL_GetWindowID(window_); }

private:
    SDL_Window* window_;
    MessageQueue& queue_;
    std::array<SDL_Cursor*, 7> cursors_;
    bool dragging_ = false;
    int dragMouseX_ = 0, dragMouseY_ = 0, dragWindowX_ = 0, dragWindowY_ = 0;
};

class SdlWindowSystem final : public WindowSystem {
public:
    ~SdlWindowSystem() override { SDL_QuitSubSystem(SDL_INIT_VIDEO); }

    VideoBackend Backend() const override { return VideoBackend::Sdl; }

    DesktopMode GetDesktopMode() const override {
        DesktopMode mode;
        SDL_DisplayMode desktop{};
        if (SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
            mode.width = desktop.w;
            mode.height = desktop.h;
            // A 24-bit X visual is the 32-bit mode of the client's settings.
            mode.bitsPerPixel = SDL_BITSPERPIXEL(desktop.format) <= 16 ? 16 : 32;
            mode.refreshRate = desktop.refresh_rate > 0 ? desktop.refresh_rate : 60;
        }
        return mode;
    }

    std::unique_ptr<Window> CreateMainWindow(const WindowDesc& desc) override {
        std::uint32_t flags = SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN;
        if (desc.openGl) flags |= SDL_WINDOW_OPENGL;
        if (desc.fullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
        SDL_Window* window =
            SDL_CreateWindow(Utf16ToUtf8(desc.title).c_str(), desc.bounds.left, desc.bounds.top,
                             desc.bounds.Width(), desc.bounds.Height(), flags);
        if (!window) {
            std::fprintf(stderr, "SDL_CreateWindow: %s\n", SDL_GetError());
            return nullptr;
        }
        auto result = std::make_unique<SdlWindow>(window, queue_);
        main_ = result.get();
        return result;
    }

    bool Init() {
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            std::fprintf(stderr, "SDL video: %s\n", SDL_GetError());
            return false;
        }
        SDL_StartTextInput();
        return true;
    }

protected:
    void PumpEvents() override {
        SDL_Event event;
        while (SDL_PollEvent(&event)) Translate(event);
        if (main_) main_->UpdateDrag();
    }

private:
    void Translate(const SDL_Event& event) {
        switch (event.type) {
            case SDL_QUIT:
                queue_.Post({kWmClose, 0, 0});
                break;
            case SDL_WINDOWEVENT:
                TranslateWindowEvent(event.window);
                break;
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                TranslateKey(event.key);
                break;
            case SDL_TEXTEDITING:
                TranslateComposition(event.edit.text);
                break;
            case SDL_TEXTINPUT:
                if (!altHeld_) {
                    for (char16_t unit : Utf8ToUtf16(event.text.text)) queue_.Post({kWmChar, unit, 1});
                }
                break;
            case SDL_MOUSEMOTION:
                PostMouseMotion(event.motion.xrel, event.motion.yrel);
                queue_.Post({kWmMouseMove, ButtonState(event.motion.state),
                             MakeLParam(event.motion.x, event.motion.y)});
                break;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP:
                // The buffered device numbers buttons left 0, right 1, middle 2.
                PostMouseButton(event.button.button == SDL_BUTTON_LEFT    ? 0
                                : event.button.button == SDL_BUTTON_RIGHT ? 1
                                                                          : event.button.button - 1,
                                event.type == SDL_MOUSEBUTTONDOWN);
                TranslateButton(event.button);
                break;
            case SDL_MOUSEWHEEL: {
                PostMouseWheel(event.wheel.y * kWheelDelta);
                int x = 0, y = 0;
                SDL_GetGlobalMouseState(&x, &y);
                PostMouseWheel(event.wheel.y * kWheelDelta);
                const auto delta =
                    static_cast<std::uint16_t>(static_cast<std::int16_t>(event.wheel.y * kWheelDelta));
                queue_.Post({kWmMouseWheel, static_cast<std::uintptr_t>(delta) << 16, MakeLParam(x, y)});
                break;
            }
            case SDL_DROPFILE:
                SDL_free(event.drop.file);
                queue_.Post({kWmDropFiles, 0, 0});
                break;
            default:
                break;
        }
    }

    // SDL sends the whole composing text with each change; the client gets it unit by unit, the
    // first one restarting the composition, and an empty text ends it.
    void TranslateComposition(const char* text) {
        const std::u16string units = Utf8ToUtf16(text);
        if (units.empty()) {
            queue_.Post({kWmImeEndComposition, 0, 0});
            return;
        }
        queue_.Post({kWmImeStartComposition, 0, 0});
        std::intptr_t flags = kGcsCompStr | kCompositionRestart;
        for (char16_t unit : units) {
            queue_.Post({kWmImeComposition, unit, flags});
            flags = kGcsCompStr;
        }
    }

    static std::uintptr_t ButtonState(std::uint32_t sdlState) {
        std::uintptr_t state = 0;
        if (sdlState & SDL_BUTTON_LMASK) state |= kMkLButton;
        if (sdlState & SDL_BUTTON_RMASK) state |= kMkRButton;
        return state;
    }

    void TranslateWindowEvent(const SDL_WindowEvent& event) {
        switch (event.event) {
            case SDL_WINDOWEVENT_FOCUS_GAINED:
                PostMouseFocus(true);
                queue_.Post({kWmActivateApp, 1, 0});
                queue_.Post({kWmActivate, kWaActive, 0});
                break;
            case SDL_WINDOWEVENT_FOCUS_LOST:
                PostMouseFocus(false);
                altHeld_ = false;
                queue_.Post({kWmActivate, kWaInactive, 0});
                queue_.Post({kWmActivateApp, 0, 0});
                break;
            case SDL_WINDOWEVENT_MINIMIZED:
                queue_.Post({kWmSize, kSizeMinimized, 0});
                break;
            case SDL_WINDOWEVENT_MAXIMIZED:
                queue_.Post({kWmSize, kSizeMaximized, 0});
                break;
            case SDL_WINDOWEVENT_RESTORED:
                queue_.Post({kWmSize, kSizeRestored, 0});
                break;
            case SDL_WINDOWEVENT_MOVED:
                queue_.Post({kWmWindowPosChanged, 0, 0});
                break;
            case SDL_WINDOWEVENT_CLOSE:
                queue_.Post({kWmClose, 0, 0});
                break;
            default:
                break;
        }
    }

    void TranslateKey(const SDL_KeyboardEvent& event) {
        const bool down = event.type == SDL_KEYDOWN;
        const std::uint32_t vk = VirtualKeyOf(event.keysym.sym);
        if (vk == kVkMenu) altHeld_ = down;
        if (vk == 0) return;
        const bool alt = altHeld_ || (event.keysym.mod & KMOD_ALT) != 0;
        std::uint32_t lParam = 1;
        if (alt) lParam |= kKeyAltDown;
        if (!down) lParam |= kKeyReleased;
        // F10 and every key with Alt held arrive as system keys, as the client expects.
        const bool system = alt || vk == kVkF10;
        const std::uint32_t message =
            down ? (system ? kWmSysKeyDown : kWmKeyDown) : (system ? kWmSysKeyUp : kWmKeyUp);
        queue_.Post({message, vk, static_cast<std::intptr_t>(lParam)});
        if (down && alt && vk == kVkOem3) queue_.Post({kWmSysChar, 0x60, static_cast<std::intptr_t>(lParam)});
    }

    void TranslateButton(const SDL_MouseButtonEvent& event) {
        const bool down = event.type == SDL_MOUSEBUTTONDOWN;
        PostMouseButton(event.button - 1, down);
        std::uint32_t message = 0;
        switch (event.button) {
            case SDL_BUTTON_LEFT:
                message = down ? kWmLButtonDown : kWmLButtonUp;
                break;
            case SDL_BUTTON_RIGHT:
                message = down ? kWmRButtonDown : kWmRButtonUp;
                break;
            case SDL_BUTTON_MIDDLE:
                message = down ? kWmMButtonDown : kWmMButtonUp;
                break;
            default:
                return;
        }
        if (down && event.clicks == 2 && event.button == SDL_BUTTON_LEFT) message = kWmLButtonDblClk;
        queue_.Post(
            {message, ButtonState(SDL_GetMouseState(nullptr, nullptr)), MakeLParam(event.x, event.y)});
    }

    SdlWindow* main_ = nullptr;
    bool altHeld_ = false;
};

}  // namespace

std::unique_ptr<WindowSystem> CreateSdlWindowSystem() {
    auto system = std::make_unique<SdlWindowSystem>();
    if (!system->Init()) return nullptr;
    return system;
}

std::unique_ptr<WindowSystem> WindowSystem::Create(VideoBackend backend) {
    if (backend == VideoBackend::Sdl) return CreateSdlWindowSystem();
    return CreateNullWindowSystem();
}

}  // namespace platform
