#pragma once
// The mouse input of the game: the relative movement and wheel movement of each update tick,
// summed over the tick. Normally read from the buffered mouse device; in plain-cursor mode the
// cursor is measured instead and put back to an anchor point after every measurement.
//
// Threads: Poll runs on the update thread, which also reads the sums after its own poll; the
// capture flags are set from the main thread; SetCursorPos comes from the table world.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/input/MouseDevice.h"
#include "platform/sys/CriticalSection.h"

namespace platform {
class Window;
}

namespace input_device {
constexpr std::uint32_t kBufferRecords = 64;
// Re-acquisitions tried at once after a failed read while another window has the foreground.
constexpr int kMaxAcquireRetries = 3;
}  // namespace input_device

class InputDevice {
public:
    InputDevice() = default;
    ~InputDevice();
    InputDevice(const InputDevice&) = delete;
    InputDevice& operator=(const InputDevice&) = delete;

    // window gives the cursor for plain-cursor mode; mouse is the device layer (unused in
    // plain-cursor mode). Returns 0, or the first failing device result.
    std::uint32_t Init(platform::Window* window, std::unique_ptr<platform::MouseDevice> mouse);
    // Once per update tick: fills dx, dy and wheel. Returns 0.
    std::uint32_t Poll();
    // Plain-cursor mode: the anchor becomes (x, y) and the cursor moves there; the next poll still
    // measures from the last position. Ignored in device mode.
    void SetCursorPos(int x, int y);
    void Shutdown();

    void SetDirectInputMode(bool on) { directInputMode_ = on; }
    bool DirectInputMode() const { return directInputMode_; }
    void SetBuffered(bool on) { buffered_ = on; }
    void SetCaptureOn(bool on) { captureOn_ = on; }
    void SetCaptureSuspended(bool on) { captureSuspended_ = on; }

    int Dx() const { return dx_; }
    int Dy() const { return dy_; }
    int Wheel() const { return wheel_; }
    std::uint32_t RecordsRead() const { return recordsRead_; }
    platform::MouseDevice* Mouse() { return mouse_.get(); }

private:
    void ReadBuffered();
    void MeasureCursor();

    std::unique_ptr<platform::MouseDevice> mouse_;
    platform::Window* window_ = nullptr;
    bool buffered_ = true;
    std::uint32_t recordsRead_ = 0;
    std::atomic<bool> stopped_{false};
    std::atomic<bool> captureSuspended_{false};
    std::atomic<bool> captureOn_{false};
    std::atomic<bool> directInputMode_{true};
    int lastX_ = 0, lastY_ = 0;
    int anchorX_ = 0, anchorY_ = 0;
    platform::CriticalSection lock_;  // the cursor positions
    int dx_ = 0, dy_ = 0, wheel_ = 0;
    std::array<platform::MouseRecord, input_device::kBufferRecords> records_{};
};
