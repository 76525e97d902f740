// The sdl backend: a borderless window with the OpenGL flag, SDL events turned into window messages.
#include <SDL.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <functional>
#include <utility>

#include "platform/sys/Utf8.h"
#include "platform/video/FrameFit.h"
#include "platform/window/SdlKeyMap.h"
#include "platform/window/Window.h"

namespace platform {
std::unique_ptr<WindowSystem> CreateSdlWindowSystem();
std::unique_ptr<WindowSystem> CreateNullWindowSystem();
// SDL's X11 driver gives every window size hints that call its place the user's own (USPosition),
// which is so only where the user gave it. The client chooses the place itself (the middle of the
// desktop, no place being stored), so the hints call (x, y) the program's (PPosition). Other video
// drivers have no such hints.
void HintProgramPlace(SDL_Window* window, int x, int y);

std::uint32_t VirtualKeyOfSdlKey(std::int32_t key) {
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

namespace {

class SdlWindow final : public Window {
public:
    SdlWindow(SDL_Window* window, const Rect& client, bool fullscreen, MessageQueue& queue,
              std::function<void()> onDestroy)
        : window_(window),
          queue_(queue),
          onDestroy_(std::move(onDestroy)),
          frameWidth_(client.Width()),
          frameHeight_(client.Height()),
          fullscreen_(fullscreen) {
        for (std::size_t i = 0; i < cursors_.size(); ++i) cursors_[i] = nullptr;
    }
    ~SdlWindow() override {
        if (onDestroy_) onDestroy_();
        for (SDL_Cursor* cursor : cursors_)
            if (cursor) SDL_FreeCursor(cursor);
        SDL_DestroyWindow(window_);
    }

    // Full screen is a borderless window over the whole display, whatever the client's size: the
    // client's frame is scaled into it (FrameFit). The window is moved and sized to the display
    // before it asks for full screen, because without a window manager nobody else resizes it,
    // while SDL then takes it for display-sized all the same. A window that the window manager keeps
    // maximised under full screen is unmaximised before it leaves it: it would come back at the
    // desktop's size, and its next maximise would change nothing.
    void SetBounds(const Rect& bounds, bool fullscreen) override {
        frameWidth_ = bounds.Width();
        frameHeight_ = bounds.Height();
        if (fullscreen) {
            if (!fullscreen_) CoverDisplay(window_);
        } else {
            // The hints name the new place before the window goes there: whoever sees it there reads them.
            HintProgramPlace(window_, bounds.left, bounds.top);
            if (SDL_GetWindowFlags(window_) & SDL_WINDOW_MAXIMIZED) SDL_RestoreWindow(window_);
            SDL_SetWindowFullscreen(window_, 0);
            SDL_SetWindowSize(window_, bounds.Width(), bounds.Height());
            SDL_SetWindowPosition(window_, bounds.left, bounds.top);
        }
        fullscreen_ = fullscreen;
        LetFocusClickThrough(!fullscreen);
    }
    // SDL's X11 driver drops a button press that comes within 10 ms of the window gaining the focus,
    // and a click-to-focus window manager gives the focus right before it replays that press: the
    // click that focuses a window would only focus it. In a window it acts as well, as the player
    // expects; a full-screen client keeps dropping it, since it drew nothing while in the background
    // and the press was aimed at a picture that may be gone. The hint is read at each press.
    static void LetFocusClickThrough(bool on) {
        SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, on ? "1" : "0");
    }
    static void CoverDisplay(SDL_Window* window) {
        SDL_Rect display{};
        if (SDL_GetDisplayBounds(std::max(SDL_GetWindowDisplayIndex(window), 0), &display) == 0) {
            SDL_SetWindowPosition(window, display.x, display.y);
            SDL_SetWindowSize(window, display.w, display.h);
        }
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    }
    // In full screen the client sees the display as if it had switched to the client's size: the
    // window is that size at the display's corner and every position is in frame pixels.
    Rect GetWindowRect() const override {
        int x = 0, y = 0, w = 0, h = 0;
        SDL_GetWindowPosition(window_, &x, &y);
        if (fullscreen_) return Rect{x, y, x + frameWidth_, y + frameHeight_};
        SDL_GetWindowSize(window_, &w, &h);
        return Rect{x, y, x + w, y + h};
    }
    Rect GetClientRect() const override {
        if (fullscreen_) return Rect{0, 0, frameWidth_, frameHeight_};
        int w = 0, h = 0;
        SDL_GetWindowSize(window_, &w, &h);
        return Rect{0, 0, w, h};
    }
    bool IsFullscreen() const override {
        return (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
    }

    // Window pixels to client pixels and back: the frame's fit in full screen, else the same.
    void ToClient(int x, int y, int& outX, int& outY) const {
        if (!fullscreen_) {
            outX = x;
            outY = y;
            return;
        }
        WindowToFrame(Fit(), frameWidth_, frameHeight_, x, y, outX, outY);
    }
    void ToWindow(int x, int y, int& outX, int& outY) const {
        if (!fullscreen_) {
            outX = x;
            outY = y;
            return;
        }
        FrameToWindow(Fit(), frameWidth_, frameHeight_, x, y, outX, outY);
    }
    FrameFit Fit() const {
        int w = 0, h = 0;
        SDL_GL_GetDrawableSize(window_, &w, &h);
        return FitFrame(frameWidth_, frameHeight_, w, h);
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
    std::u16string Title() const override {
        return Utf8ToUtf16(SDL_GetWindowTitle(window_) ? SDL_GetWindowTitle(window_) : "");
    }

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
        int left = 0, top = 0, right = 0, bottom = 0;
        ToWindow(screenRect->left - window.left, screenRect->top - window.top, left, top);
        ToWindow(screenRect->right - window.left, screenRect->bottom - window.top, right, bottom);
        const SDL_Rect rect{left, top, right - left, bottom - top};
        SDL_SetWindowMouseRect(window_, &rect);
    }
    void SetCapture(bool on) override { SDL_CaptureMouse(on ? SDL_TRUE : SDL_FALSE); }
    bool GetCursorPos(int& screenX, int& screenY) const override {
        int x = 0, y = 0, left = 0, top = 0;
        SDL_GetGlobalMouseState(&x, &y);
        SDL_GetWindowPosition(window_, &left, &top);
        ToClient(x - left, y - top, screenX, screenY);
        screenX += left;
        screenY += top;
        return true;
    }
    void SetCursorPos(int screenX, int screenY) override {
        int x = 0, y = 0, left = 0, top = 0;
        SDL_GetWindowPosition(window_, &left, &top);
        ToWindow(screenX - left, screenY - top, x, y);
        SDL_WarpMouseGlobal(left + x, top + y);
    }
    void SetKeyboardGrab(bool on) override { SDL_SetWindowKeyboardGrab(window_, on ? SDL_TRUE : SDL_FALSE); }

    std::intptr_t DefWindowProc(const Message& message) override {
        if (message.message == kWmNcLButtonDown && message.wParam == kHtCaption && !IsFullscreen()) {
            SDL_GetGlobalMouseState(&dragMouseX_, &dragMouseY_);
            SDL_GetWindowPosition(window_, &dragWindowX_, &dragWindowY_);
            dragging_ = true;
            queue_.Post({kWmEnterSizeMove, 0, 0});
        }
        // The maximise command asks the window manager, whose maximise comes back as kWmSize.
        if (message.message == kWmSysCommand && (message.wParam & 0xFFF0) == kScMaximize && !IsFullscreen())
            SDL_MaximizeWindow(window_);
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
    std::function<void()> onDestroy_;
    std::array<SDL_Cursor*, 7> cursors_;
    bool dragging_ = false;
    int dragMouseX_ = 0, dragMouseY_ = 0, dragWindowX_ = 0, dragWindowY_ = 0;
    int frameWidth_, frameHeight_;  // the client's size, which the render backend draws at
    bool fullscreen_;
};

class SdlWindowSystem final : public WindowSystem {
public:
    ~SdlWindowSystem() override {
        SDL_DelEventWatch(&SdlWindowSystem::WatchEvent, this);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

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
        // Resizable, so that SDL gives the window manager a minimum size and no maximum: a window
        // that is not sets both to its size on X11 whenever it is windowed, and the desktop could
        // then neither resize nor maximise it.
        std::uint32_t flags = SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE;
        if (desc.openGl) flags |= SDL_WINDOW_OPENGL;
        // Made at the client's rectangle and then switched the way Alt+Enter switches: created
        // with the full-screen flag at another size, the window kept that size on an X server
        // without a window manager while SDL drew for the whole display.
        SDL_Window* window =
            SDL_CreateWindow(Utf16ToUtf8(desc.title).c_str(), desc.bounds.left, desc.bounds.top,
                             desc.bounds.Width(), desc.bounds.Height(), flags);
        if (!window) {
            std::fprintf(stderr, "SDL_CreateWindow: %s\n", SDL_GetError());
            return nullptr;
        }
        if (desc.minWidth > 0 && desc.minHeight > 0)
            SDL_SetWindowMinimumSize(window, desc.minWidth, desc.minHeight);
        HintProgramPlace(window, desc.bounds.left, desc.bounds.top);
        if (desc.fullscreen) SdlWindow::CoverDisplay(window);
        SdlWindow::LetFocusClickThrough(!desc.fullscreen);
        // The window may outlive the system: it forgets itself through a weak link.
        auto result = std::make_unique<SdlWindow>(window, desc.bounds, desc.fullscreen, queue_,
                                                  [link = std::weak_ptr<SdlWindow*>(main_)] {
                                                      if (auto main = link.lock()) *main = nullptr;
                                                  });
        *main_ = result.get();
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
        SDL_AddEventWatch(&SdlWindowSystem::WatchEvent, this);
        wakeEvent_ = SDL_RegisterEvents(1);
        if (wakeEvent_ == static_cast<std::uint32_t>(-1)) wakeEvent_ = SDL_USEREVENT;
        return true;
    }

    void InjectInput(const InputEvent& event) override { PushEvent(event); }

    // One wake event at a time stays in SDL's queue until the pump takes it, so a wake that comes
    // before the wait still ends it.
    void Wake() override {
        if (wakePending_.exchange(true)) return;
        SDL_Event event{};
        event.type = wakeEvent_;
        if (SDL_PushEvent(&event) < 0) wakePending_ = false;
    }

protected:
    void PumpEvents() override {
        SDL_Event event;
        while (SDL_PollEvent(&event)) Translate(event);
        if (*main_) (*main_)->UpdateDrag();
    }
    // SDL waits on the display connection where the driver can, else it polls every millisecond.
    void WaitEvents(std::uint32_t timeoutMs) override {
        SDL_WaitEventTimeout(nullptr, static_cast<int>(timeoutMs));
    }

private:
    // Device events become input events on the road every backend shares.
    void Translate(const SDL_Event& event) {
        if (event.type == wakeEvent_) {
            wakePending_ = false;
            return;
        }
        InputEvent input;
        switch (event.type) {
            case SDL_QUIT:
                input.kind = InputEvent::Kind::Close;
                break;
            case SDL_WINDOWEVENT:
                TranslateWindowEvent(event.window);
                return;
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                input.kind = InputEvent::Kind::Key;
                input.down = event.type == SDL_KEYDOWN;
                input.virtualKey = VirtualKeyOfSdlKey(event.key.keysym.sym);
                input.altModifier = (event.key.keysym.mod & KMOD_ALT) != 0;
                break;
            case SDL_TEXTEDITING:
                TranslateComposition(event.edit.text);
                return;
            case SDL_TEXTINPUT:
                input.kind = InputEvent::Kind::Text;
                input.text = event.text.text;
                break;
            case SDL_MOUSEMOTION:
                input.kind = InputEvent::Kind::MouseMove;
                ToClient(event.motion.x, event.motion.y, input.x, input.y);
                input.dx = event.motion.xrel;
                input.dy = event.motion.yrel;
                input.outside = PointerOutside(event.motion);
                break;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP:
                // The buffered device numbers buttons left 0, right 1, middle 2, then the extra ones.
                input.kind = InputEvent::Kind::MouseButton;
                input.button = event.button.button == SDL_BUTTON_LEFT     ? 0
                               : event.button.button == SDL_BUTTON_RIGHT  ? 1
                               : event.button.button == SDL_BUTTON_MIDDLE ? 2
                                                                          : event.button.button - 1;
                input.down = event.type == SDL_MOUSEBUTTONDOWN;
                input.clicks = event.button.clicks;
                ToClient(event.button.x, event.button.y, input.x, input.y);
                break;
            case SDL_MOUSEWHEEL: {
                input.kind = InputEvent::Kind::MouseWheel;
                input.notches =
                    event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
                const Rect window = *main_ ? (*main_)->GetWindowRect() : Rect{};
                ToClient(event.wheel.mouseX, event.wheel.mouseY, input.screenX, input.screenY);
                input.screenX += window.left;
                input.screenY += window.top;
                break;
            }
            case SDL_DROPFILE:
                SDL_free(event.drop.file);
                queue_.Post({kWmDropFiles, 0, 0});
                return;
            default:
                return;
        }
        router_.Deliver(input);
    }

    // SDL keeps a motion's position inside the window unless the mouse is captured (a button is
    // held), while its relative motion goes where the pointer went: the motion that leaves the window
    // reports the edge with the whole way out. Where a coordinate lies on an edge and the last
    // position plus the motion lies beyond it, the pointer is there. Scripted motion comes unclamped.
    bool PointerOutside(const SDL_MouseMotionEvent& motion) {
        SDL_Window* window = SDL_GetWindowFromID(motion.windowID);
        int width = 0, height = 0;
        if (window) SDL_GetWindowSize(window, &width, &height);
        const auto unclamped = [&](int at, int last, int moved, int size) {
            const int there = last + moved;
            return (at == 0 && there < 0) || (at == size - 1 && there > at) ? there : at;
        };
        const int x = unclamped(motion.x, lastMotionX_, motion.xrel, width);
        const int y = unclamped(motion.y, lastMotionY_, motion.yrel, height);
        lastMotionX_ = x;
        lastMotionY_ = y;
        return window && !Rect{0, 0, width, height}.Contains(x, y);
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

    // Scripted input goes into SDL's own queue, so it comes back through Translate as device
    // events do.
    void PushEvent(const InputEvent& input) {
        SDL_Event event{};
        const std::uint32_t windowId = *main_ ? (*main_)->Id() : 0;
        switch (input.kind) {
            case InputEvent::Kind::MouseMove:
                event.type = SDL_MOUSEMOTION;
                event.motion.windowID = windowId;
                event.motion.state = pushedButtons_;
                ToWindow(input.x, input.y, event.motion.x, event.motion.y);
                event.motion.xrel = input.dx;
                event.motion.yrel = input.dy;
                break;
            case InputEvent::Kind::MouseButton: {
                static constexpr std::uint8_t kButtons[] = {SDL_BUTTON_LEFT, SDL_BUTTON_RIGHT,
                                                            SDL_BUTTON_MIDDLE};
                if (input.button < 0 || input.button > 2) return;
                const std::uint8_t button = kButtons[input.button];
                event.type = input.down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
                event.button.windowID = windowId;
                event.button.button = button;
                event.button.state = input.down ? SDL_PRESSED : SDL_RELEASED;
                event.button.clicks = static_cast<std::uint8_t>(input.clicks);
                ToWindow(input.x, input.y, event.button.x, event.button.y);
                if (input.down)
                    pushedButtons_ |= SDL_BUTTON(button);
                else
                    pushedButtons_ &= ~SDL_BUTTON(button);
                break;
            }
            case InputEvent::Kind::MouseWheel:
                event.type = SDL_MOUSEWHEEL;
                event.wheel.windowID = windowId;
                event.wheel.y = input.notches;
                event.wheel.preciseY = static_cast<float>(input.notches);
                event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
                ToWindow(input.x, input.y, event.wheel.mouseX, event.wheel.mouseY);
                break;
            case InputEvent::Kind::Key: {
                const SDL_Keycode key = SDL_GetKeyFromName(input.text.c_str());
                if (key == SDLK_UNKNOWN) return;
                event.type = input.down ? SDL_KEYDOWN : SDL_KEYUP;
                event.key.windowID = windowId;
                event.key.state = input.down ? SDL_PRESSED : SDL_RELEASED;
                event.key.keysym.sym = key;
                event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
                break;
            }
            case InputEvent::Kind::Text:
                PushText(input.text, windowId);
                return;
            case InputEvent::Kind::Focus:
                event.type = SDL_WINDOWEVENT;
                event.window.windowID = windowId;
                event.window.event = input.down ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST;
                break;
            case InputEvent::Kind::MouseLeave:
                event.type = SDL_WINDOWEVENT;
                event.window.windowID = windowId;
                event.window.event = SDL_WINDOWEVENT_LEAVE;
                break;
            case InputEvent::Kind::Close:
                event.type = SDL_QUIT;
                break;
        }
        if (SDL_PushEvent(&event) < 0) std::fprintf(stderr, "SDL_PushEvent: %s\n", SDL_GetError());
    }

    // A text event holds at most 31 bytes: longer text goes in pieces cut between characters.
    static void PushText(const std::string& text, std::uint32_t windowId) {
        constexpr std::size_t kPiece = SDL_TEXTINPUTEVENT_TEXT_SIZE - 1;
        std::size_t at = 0;
        while (at < text.size()) {
            std::size_t end = std::min(text.size(), at + kPiece);
            while (end < text.size() && end > at && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
                --end;
            SDL_Event event{};
            event.type = SDL_TEXTINPUT;
            event.text.windowID = windowId;
            text.copy(event.text.text, end - at, at);
            if (SDL_PushEvent(&event) < 0) std::fprintf(stderr, "SDL_PushEvent: %s\n", SDL_GetError());
            at = end;
        }
    }

    void TranslateWindowEvent(const SDL_WindowEvent& event) {
        switch (event.event) {
            case SDL_WINDOWEVENT_FOCUS_GAINED:
            case SDL_WINDOWEVENT_FOCUS_LOST: {
                InputEvent focus;
                focus.kind = InputEvent::Kind::Focus;
                focus.down = event.event == SDL_WINDOWEVENT_FOCUS_GAINED;
                router_.Deliver(focus);
                break;
            }
            case SDL_WINDOWEVENT_LEAVE: {
                // The pointer went over another window that lies over this one (a program switched
                // to, a window raised) without a motion out of the client area.
                InputEvent leave;
                leave.kind = InputEvent::Kind::MouseLeave;
                router_.Deliver(leave);
                break;
            }
            case SDL_WINDOWEVENT_MINIMIZED:
                queue_.Post({kWmSize, kSizeMinimized, 0});
                break;
            case SDL_WINDOWEVENT_MAXIMIZED:
                PostWindowedSize(event.windowID);
                queue_.Post({kWmSize, kSizeMaximized, 0});
                break;
            case SDL_WINDOWEVENT_RESTORED:
                queue_.Post({kWmSize, kSizeRestored, 0});
                break;
            case SDL_WINDOWEVENT_SIZE_CHANGED: {
                // Ours or the desktop's (a resize, a maximise and its undoing): the size as the
                // system's size message carries it, with the window's state.
                const std::uint32_t state = SDL_GetWindowFlags(SDL_GetWindowFromID(event.windowID));
                const std::uintptr_t kind = (state & SDL_WINDOW_MINIMIZED)   ? kSizeMinimized
                                            : (state & SDL_WINDOW_MAXIMIZED) ? kSizeMaximized
                                                                             : kSizeRestored;
                if (kind == kSizeMaximized) PostWindowedSize(event.windowID);
                queue_.Post({kWmSize, kind, MakeLParam(event.data1, event.data2)});
                if (kind == kSizeRestored) postedSize_ = {event.data1, event.data2};
                break;
            }
            case SDL_WINDOWEVENT_MOVED:
                // A maximised window lies where the desktop put it, not at the client's windowed
                // position.
                if (!(SDL_GetWindowFlags(SDL_GetWindowFromID(event.windowID)) & SDL_WINDOW_MAXIMIZED))
                    queue_.Post({kWmWindowPosChanged, 0, 0});
                break;
            case SDL_WINDOWEVENT_CLOSE:
                queue_.Post({kWmClose, 0, 0});
                break;
            default:
                break;
        }
    }

    // SDL keeps only the newest size change of a window in its queue, and the state is read when
    // the event is taken: a desktop resize right before a maximise would be lost, or taken for the
    // maximise. The watch sees every size as SDL makes it, in the display's order, and keeps the last
    // one the window had while neither maximised, minimised nor full screen. SDL makes window events
    // on the thread that pumps them, the main thread.
    static int WatchEvent(void* self, SDL_Event* event) {
        if (event->type != SDL_WINDOWEVENT || event->window.event != SDL_WINDOWEVENT_SIZE_CHANGED) return 0;
        constexpr std::uint32_t kNotWindowed =
            SDL_WINDOW_MAXIMIZED | SDL_WINDOW_MINIMIZED | SDL_WINDOW_FULLSCREEN;
        if (!(SDL_GetWindowFlags(SDL_GetWindowFromID(event->window.windowID)) & kNotWindowed))
            static_cast<SdlWindowSystem*>(self)->windowedSize_ = {event->window.data1, event->window.data2};
        return 0;
    }
    // Before a maximise is reported: the windowed size the client has not been told yet, unless
    // it is the maximised window's own (a window manager that sizes before it tells the state).
    void PostWindowedSize(std::uint32_t windowId) {
        int width = 0, height = 0;
        if (SDL_Window* window = SDL_GetWindowFromID(windowId)) SDL_GetWindowSize(window, &width, &height);
        if (windowedSize_.first <= 0 || windowedSize_ == postedSize_ ||
            windowedSize_ == std::pair{width, height})
            return;
        queue_.Post({kWmSize, kSizeRestored, MakeLParam(windowedSize_.first, windowedSize_.second)});
        postedSize_ = windowedSize_;
    }

    // Pointer positions of the main window to client pixels and back (scripted input is given in
    // client pixels and pushed as the device would report it).
    void ToClient(int x, int y, int& outX, int& outY) const {
        outX = x;
        outY = y;
        if (*main_) (*main_)->ToClient(x, y, outX, outY);
    }
    void ToWindow(int x, int y, int& outX, int& outY) const {
        outX = x;
        outY = y;
        if (*main_) (*main_)->ToWindow(x, y, outX, outY);
    }

    std::shared_ptr<SdlWindow*> main_ = std::make_shared<SdlWindow*>(nullptr);
    std::uint32_t pushedButtons_ = 0;        // SDL button mask of the scripted presses
    int lastMotionX_ = 0, lastMotionY_ = 0;  // the pointer's window position at the last motion
    std::uint32_t wakeEvent_ = SDL_USEREVENT;
    std::atomic<bool> wakePending_{false};
    std::pair<int, int> windowedSize_{0, 0};  // the watch's last windowed size
    std::pair<int, int> postedSize_{0, 0};    // the last windowed size posted
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
