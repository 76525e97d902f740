#pragma once
// The main window and its message pump. Two backends: `sdl` (a real window with an OpenGL flag)
// and `null` (no display; tests inject messages or input events). Messages use the codes of
// WindowCodes.h. Input of either backend takes one road (InputRouter), and the keyboard state
// follows every message the main thread takes from the queue.

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/input/InputScriptPlayer.h"
#include "platform/input/KeyboardState.h"
#include "platform/window/InputRouter.h"
#include "platform/window/WindowCodes.h"

namespace platform {

struct Message {
    std::uint32_t message = kWmNull;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

struct DesktopMode {
    int width = 1024;
    int height = 768;
    int bitsPerPixel = 32;
    int refreshRate = 60;
};

enum class VideoBackend { Null, Sdl };

// The system cursors the client uses; the two game cursors stand for its cursor images.
enum class CursorShape { Arrow, Hand, SizeNwse, SizeWe, SizeNs, GameNormal, GameAim };

// Show commands of ShowWindow.
enum class ShowCommand { Hide, Show, Minimize, MinimizeNoActivate, Restore };

struct WindowDesc {
    std::u16string title;
    Rect bounds;  // screen rectangle of the client area
    bool fullscreen = false;
    bool openGl = true;
    // The smallest client the desktop may size the window to (0: no limit). The desktop's own
    // resize and maximise are reported as kWmSize.
    int minWidth = 0, minHeight = 0;
};

// Thread-safe queue of posted messages; one consumer (the main thread).
class MessageQueue {
public:
    void Post(const Message& message);
    bool Pop(Message& out);
    std::size_t Size() const;
    // Whether a message with this code waits in the queue.
    bool Holds(std::uint32_t code) const;

private:
    mutable std::mutex mutex_;
    std::deque<Message> messages_;
};

class Window {
public:
    virtual ~Window() = default;

    // Moves and sizes the client area; `fullscreen` switches the window to the whole screen.
    virtual void SetBounds(const Rect& bounds, bool fullscreen) = 0;
    virtual Rect GetWindowRect() const = 0;
    virtual Rect GetClientRect() const = 0;
    virtual bool IsFullscreen() const = 0;
    virtual void Show(ShowCommand command) = 0;
    // Raises the window above others and gives it the input focus.
    virtual void BringToFront() = 0;
    virtual std::u16string Title() const = 0;

    virtual void ShowCursor(bool show) = 0;
    virtual void SetCursor(CursorShape shape) = 0;
    // Confines the pointer to a screen rectangle, or releases it (nullptr).
    virtual void ClipCursor(const Rect* screenRect) = 0;
    virtual void SetCapture(bool on) = 0;
    virtual bool GetCursorPos(int& screenX, int& screenY) const = 0;
    virtual void SetCursorPos(int screenX, int screenY) = 0;
    // Keeps system keys (the Windows keys) inside the client while on.
    virtual void SetKeyboardGrab(bool on) = 0;

    // Default handling of a message the client did not handle: the caption drag starts here.
    virtual std::intptr_t DefWindowProc(const Message& message) = 0;

    // Backend object for the render backend (an SDL_Window* for sdl, nullptr for null).
    virtual void* NativeHandle() const = 0;
};

// One per process: the chosen backend, its desktop and the main thread's message queue.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    static std::unique_ptr<WindowSystem> Create(VideoBackend backend);

    virtual VideoBackend Backend() const = 0;
    virtual DesktopMode GetDesktopMode() const = 0;
    virtual std::unique_ptr<Window> CreateMainWindow(const WindowDesc& desc) = 0;

    // Any thread. A post wakes the main thread from WaitMessage.
    void PostMessage(const Message& message) {
        queue_.Post(message);
        Wake();
    }
    void PostQuit() { PostMessage({kWmQuit, 0, 0}); }
    // Any thread: ends the main thread's WaitMessage now, or its next one at once (for work the
    // main thread takes from a queue of its own).
    virtual void Wake() = 0;
    // Main thread: issues the input script's due commands, turns pending device events into
    // messages, then takes the oldest one and lets the keyboard state see it.
    bool PeekMessage(Message& out);
    // Main thread: sleeps until a device event, a post or a wake arrives, or `timeoutMs` passes.
    void WaitMessage(std::uint32_t timeoutMs);
    // Main thread, while a wait that holds the pump lasts (a message box on the display): issues the
    // input script's due commands and turns pending device events into messages, which wait in the
    // queue. True when a close of the main window (the user's or the script's) or a quit waits there.
    bool PumpWhileBlocked();
    MessageQueue& Queue() { return queue_; }

    // Main thread: one input event as if a device produced it. The sdl backend pushes it as an SDL
    // event, which the next pump translates; the null backend routes it at once. Pointer
    // positions are client pixels.
    virtual void InjectInput(const InputEvent& event) = 0;
    // Plays `player` from the next pump on (nullptr stops a script).
    void SetInputScript(std::unique_ptr<InputScriptPlayer> player) { player_ = std::move(player); }
    // The held keys, for polling by virtual-key code.
    KeyboardState& Keyboard() { return keyboard_; }

protected:
    virtual void PumpEvents() = 0;
    virtual void WaitEvents(std::uint32_t timeoutMs) = 0;
    MessageQueue queue_;
    InputRouter router_{queue_};

private:
    // The script's due commands, then the device events.
    void StepAndPump();

    KeyboardState keyboard_;
    std::unique_ptr<InputScriptPlayer> player_;
};

}  // namespace platform
