#include "platform/window/NullWindow.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>

namespace platform {

NullWindow::NullWindow(const WindowDesc& desc, std::function<void()> onDestroy)
    : onDestroy_(std::move(onDestroy)),
      title_(desc.title),
      bounds_(desc.bounds),
      fullscreen_(desc.fullscreen) {}

NullWindow::~NullWindow() {
    if (onDestroy_) onDestroy_();
}

void NullWindow::SetBounds(const Rect& bounds, bool fullscreen) {
    std::lock_guard lock(mutex_);
    bounds_ = bounds;
    fullscreen_ = fullscreen;
}

Rect NullWindow::GetWindowRect() const {
    std::lock_guard lock(mutex_);
    return bounds_;
}

Rect NullWindow::GetClientRect() const {
    std::lock_guard lock(mutex_);
    return Rect{0, 0, bounds_.Width(), bounds_.Height()};
}

bool NullWindow::IsFullscreen() const {
    std::lock_guard lock(mutex_);
    return fullscreen_;
}

void NullWindow::Show(ShowCommand command) {
    std::lock_guard lock(mutex_);
    lastShow_ = command;
}

void NullWindow::BringToFront() {
    std::lock_guard lock(mutex_);
    ++raiseCount_;
}

void NullWindow::ShowCursor(bool show) {
    std::lock_guard lock(mutex_);
    cursorShown_ = show;
}

void NullWindow::SetCursor(CursorShape shape) {
    std::lock_guard lock(mutex_);
    cursor_ = shape;
}

void NullWindow::ClipCursor(const Rect* screenRect) {
    std::lock_guard lock(mutex_);
    clipped_ = screenRect != nullptr;
}

void NullWindow::SetCapture(bool on) {
    std::lock_guard lock(mutex_);
    captured_ = on;
}

bool NullWindow::GetCursorPos(int& screenX, int& screenY) const {
    std::lock_guard lock(mutex_);
    screenX = cursorX_;
    screenY = cursorY_;
    return true;
}

void NullWindow::SetCursorPos(int screenX, int screenY) {
    std::lock_guard lock(mutex_);
    cursorX_ = screenX;
    cursorY_ = screenY;
}

void NullWindow::SetKeyboardGrab(bool on) {
    std::lock_guard lock(mutex_);
    grabbed_ = on;
}

std::intptr_t NullWindow::DefWindowProc(const Message&) {
    return 0;
}

int NullWindow::RaiseCount() const {
    std::lock_guard lock(mutex_);
    return raiseCount_;
}
bool NullWindow::CursorShown() const {
    std::lock_guard lock(mutex_);
    return cursorShown_;
}
CursorShape NullWindow::Cursor() const {
    std::lock_guard lock(mutex_);
    return cursor_;
}
bool NullWindow::Captured() const {
    std::lock_guard lock(mutex_);
    return captured_;
}
bool NullWindow::Clipped() const {
    std::lock_guard lock(mutex_);
    return clipped_;
}
bool NullWindow::KeyboardGrabbed() const {
    std::lock_guard lock(mutex_);
    return grabbed_;
}
ShowCommand NullWindow::LastShow() const {
    std::lock_guard lock(mutex_);
    return lastShow_;
}

DesktopMode NullDesktopMode() {
    DesktopMode mode;
    const char* text = std::getenv("MARVENLOT_DESKTOP");
    if (!text) return mode;
    int w = 0, h = 0, bpp = 0, hz = 0;
    const int n = std::sscanf(text, "%dx%dx%d@%d", &w, &h, &bpp, &hz);
    if (n >= 2 && w >= 640 && w <= 16384 && h >= 480 && h <= 16384) {
        mode.width = w;
        mode.height = h;
    }
    if (n >= 3 && (bpp == 16 || bpp == 32)) mode.bitsPerPixel = bpp;
    if (n >= 4 && hz > 0 && hz <= 1000) mode.refreshRate = hz;
    return mode;
}

namespace {

class NullWindowSystem final : public WindowSystem {
public:
    VideoBackend Backend() const override { return VideoBackend::Null; }
    DesktopMode GetDesktopMode() const override { return NullDesktopMode(); }
    std::unique_ptr<Window> CreateMainWindow(const WindowDesc& desc) override {
        // The window may outlive the system: it forgets itself through a weak link.
        auto window = std::make_unique<NullWindow>(desc, [link = std::weak_ptr<NullWindow*>(main_)] {
            if (auto main = link.lock()) *main = nullptr;
        });
        *main_ = window.get();
        return window;
    }

    // No device to go through: the event is routed at once, the wheel at the pointer's screen
    // position over the main window.
    void InjectInput(const InputEvent& event) override {
        InputEvent routed = event;
        const Rect bounds = *main_ ? (*main_)->GetWindowRect() : Rect{};
        routed.screenX = bounds.left + event.x;
        routed.screenY = bounds.top + event.y;
        routed.outside = !Rect{0, 0, bounds.Width(), bounds.Height()}.Contains(event.x, event.y);
        // The cursor goes where the pointer goes, for the cursor-measuring input mode.
        if (event.kind == InputEvent::Kind::MouseMove && *main_)
            (*main_)->SetCursorPos(routed.screenX, routed.screenY);
        router_.Deliver(routed);
    }

    // A wake that comes before the wait ends the next wait at once, so none is lost.
    void Wake() override {
        {
            std::lock_guard lock(wakeMutex_);
            woken_ = true;
        }
        wakeChanged_.notify_one();
    }

protected:
    void PumpEvents() override {}
    void WaitEvents(std::uint32_t timeoutMs) override {
        std::unique_lock lock(wakeMutex_);
        wakeChanged_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return woken_; });
        woken_ = false;
    }

private:
    std::shared_ptr<NullWindow*> main_ = std::make_shared<NullWindow*>(nullptr);
    std::mutex wakeMutex_;
    std::condition_variable wakeChanged_;
    bool woken_ = false;
};

}  // namespace

std::unique_ptr<WindowSystem> CreateNullWindowSystem() {
    return std::make_unique<NullWindowSystem>();
}

}  // namespace platform
