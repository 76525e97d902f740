#include "engine/input/InputDevice.h"

#include <algorithm>

#include "platform/window/Window.h"

using platform::MouseResult;

InputDevice::~InputDevice() {
    Shutdown();
}

std::uint32_t InputDevice::Init(platform::Window* window, std::unique_ptr<platform::MouseDevice> mouse) {
    window_ = window;
    if (!directInputMode_) return 0;
    if (!mouse) return static_cast<std::uint32_t>(MouseResult::NotAcquired);
    mouse_ = std::move(mouse);
    if (buffered_) mouse_->SetBufferSize(input_device::kBufferRecords);
    mouse_->Acquire();  // may fail while the window is in the background; the first read retries
    return 0;
}

std::uint32_t InputDevice::Poll() {
    if (stopped_) return 0;
    if (directInputMode_)
        ReadBuffered();
    else
        MeasureCursor();
    return 0;
}

void InputDevice::ReadBuffered() {
    recordsRead_ = 0;
    if (!mouse_) return;
    dx_ = dy_ = wheel_ = 0;
    std::uint32_t count = input_device::kBufferRecords;
    if (mouse_->GetDeviceData(records_.data(), count) != MouseResult::Ok) {
        // The foreground went to another window. Try again a few times at once, never for ever:
        // the update thread must keep ticking while the game is in the background.
        int tries = 0;
        while (mouse_->Acquire() == MouseResult::OtherAppHasPriority &&
               ++tries < input_device::kMaxAcquireRetries) {
        }
        return;
    }
    if (count == 0) return;
    if (!buffered_) {
        recordsRead_ = 1;
        return;
    }
    // Sequence numbers wrap: a record comes first when the signed difference is negative.
    std::sort(records_.begin(), records_.begin() + count, [](const auto& a, const auto& b) {
        return static_cast<std::int32_t>(a.sequence - b.sequence) < 0;
    });
    for (std::uint32_t i = 0; i < count; ++i) {
        const platform::MouseRecord& record = records_[i];
        ++recordsRead_;
        if (record.offset == platform::kMouseOffsetX)
            dx_ += record.data;
        else if (record.offset == platform::kMouseOffsetY)
            dy_ += record.data;
        else if (record.offset == platform::kMouseOffsetZ)
            wheel_ += record.data;
    }
}

void InputDevice::MeasureCursor() {
    if (!captureOn_ || captureSuspended_ || !window_) {
        dx_ = dy_ = 0;
        return;
    }
    platform::ScopedLock guard(lock_);
    int x = 0, y = 0;
    if (!window_->GetCursorPos(x, y)) {
        dx_ = dy_ = 0;
        return;
    }
    dx_ = x - lastX_;
    dy_ = y - lastY_;
    if (dx_ == 0 && dy_ == 0) return;
    lastX_ = anchorX_;
    lastY_ = anchorY_;
    window_->SetCursorPos(anchorX_, anchorY_);
}

void InputDevice::SetCursorPos(int x, int y) {
    if (directInputMode_) return;
    platform::ScopedLock guard(lock_);
    anchorX_ = x;
    anchorY_ = y;
    if (window_) window_->SetCursorPos(x, y);
}

void InputDevice::Shutdown() {
    if (stopped_.exchange(true)) return;
    if (mouse_) {
        mouse_->Unacquire();
        mouse_.reset();
    }
}
