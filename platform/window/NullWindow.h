#pragma once
// The window without a display: a record of what the client asked of it. Tests inject messages
// with WindowSystem::PostMessage, or input events with InjectInput, and read the record back.

#include <functional>

#include "platform/window/Window.h"

namespace platform {

class NullWindow final : public Window {
public:
    // `onDestroy` runs when the window goes away (the window system forgets its main window).
    explicit NullWindow(const WindowDesc& desc, std::function<void()> onDestroy = {});
    ~NullWindow() override;

    void SetBounds(const Rect& bounds, bool fullscreen) override;
    Rect GetWindowRect() const override;
    Rect GetClientRect() const override;
    bool IsFullscreen() const override;
    void Show(ShowCommand command) override;
    void BringToFront() override;
    std::u16string Title() const override { return title_; }

    void ShowCursor(bool show) override;
    void SetCursor(CursorShape shape) override;
    void ClipCursor(const Rect* screenRect) override;
    void SetCapture(bool on) override;
    bool GetCursorPos(int& screenX, int& screenY) const override;
    void SetCursorPos(int screenX, int screenY) override;
    void SetKeyboardGrab(bool on) override;
    std::intptr_t DefWindowProc(const Message& message) override;
    void* NativeHandle() const override { return nullptr; }

    // Read back by tests.
    int RaiseCount() const;
    bool CursorShown() const;
    CursorShape Cursor() const;
    bool Captured() const;
    bool Clipped() const;
    bool KeyboardGrabbed() const;
    ShowCommand LastShow() const;

private:
    std::function<void()> onDestroy_;
    mutable std::mutex mutex_;
    std::u16string title_;
    Rect bounds_;
    bool fullscreen_ = false;
    int raiseCount_ = 0;
    bool cursorShown_ = true;
    CursorShape cursor_ = CursorShape::Arrow;
    bool captured_ = false;
    bool clipped_ = false;
    bool grabbed_ = false;
    ShowCommand lastShow_ = ShowCommand::Hide;
    int cursorX_ = 0, cursorY_ = 0;
};

// MARVENLOT_DESKTOP="<w>x<h>x<bpp>@<hz>" sets the null desktop; default 1024x768x32@60.
DesktopMode NullDesktopMode();

std::unique_ptr<WindowSystem> CreateNullWindowSystem();

}  // namespace platform
