#pragma once
// The buffered system mouse: relative motion, wheel and button records in arrival order, read in
// batches by the game's update thread. The device is foreground-only: it can be acquired only
// while the game window has the input focus, and losing the focus takes it away.
//
// Two backends. `Sdl`: the window layer's input road (either window backend, scripted input too)
// pushes the events through the functions below (PostMouseMotion...) to the device registered as
// the process's mouse sink. `Null`: nothing is registered; tests inject records and focus changes
// directly.

#include <cstdint>
#include <deque>
#include <mutex>

namespace platform {

// Record offsets of the relative mouse data layout: the three axes, then one byte per button.
constexpr std::uint32_t kMouseOffsetX = 0;
constexpr std::uint32_t kMouseOffsetY = 4;
constexpr std::uint32_t kMouseOffsetZ = 8;
constexpr std::uint32_t kMouseOffsetButton0 = 12;
constexpr std::uint32_t kMouseButtonCount = 4;
// Wheel travel of one notch.
constexpr std::int32_t kMouseWheelDelta = 120;

// Result codes of the device (0 = success).
enum class MouseResult : std::uint32_t {
    Ok = 0,
    NotAcquired = 0x8007000C,
    OtherAppHasPriority = 0x8007001E,  // the window is not in the foreground
};

struct MouseRecord {
    std::uint32_t offset = 0;
    std::int32_t data = 0;  // axis movement, or 0x80 (pressed) / 0 (released) for a button
    std::uint32_t timeStamp = 0;
    std::uint32_t sequence = 0;
    std::uint32_t appData = 0;
};

enum class MouseBackend { Null, Sdl };

// What the window's event pump reports; any thread.
class MouseEventSink {
public:
    virtual ~MouseEventSink() = default;
    virtual void OnMouseMotion(int dx, int dy) = 0;
    virtual void OnMouseWheel(int delta) = 0;
    virtual void OnMouseButton(int button, bool down) = 0;
    virtual void OnMouseFocus(bool focused) = 0;
};

// Called by the window's event pump; forwarded to the registered sink, if any.
void PostMouseMotion(int dx, int dy);
void PostMouseWheel(int delta);
void PostMouseButton(int button, bool down);
void PostMouseFocus(bool focused);

class MouseDevice final : public MouseEventSink {
public:
    // The sdl backend registers itself as the process's mouse sink until destroyed. Both start with
    // the focus: the device is made after the window, which the system gives the focus first.
    explicit MouseDevice(MouseBackend backend);
    ~MouseDevice() override;
    MouseDevice(const MouseDevice&) = delete;
    MouseDevice& operator=(const MouseDevice&) = delete;

    MouseBackend Backend() const { return backend_; }
    // Records kept between reads; records beyond it are lost. 0 leaves the device unbuffered.
    void SetBufferSize(std::uint32_t records);
    MouseResult Acquire();
    void Unacquire();
    bool Acquired() const;
    // Moves up to `count` records, oldest first, into `out`; `count` becomes the number moved.
    MouseResult GetDeviceData(MouseRecord* out, std::uint32_t& count);

    // MouseEventSink: a record per axis that moved, per wheel turn and per button change.
    void OnMouseMotion(int dx, int dy) override;
    void OnMouseWheel(int delta) override;
    void OnMouseButton(int button, bool down) override;
    void OnMouseFocus(bool focused) override;

    // Null backend: a record as it stands (a zero sequence gets the next one), and refusals of the
    // next `count` Acquire calls with `result` even while focused.
    void Inject(const MouseRecord& record);
    void RefuseAcquire(std::uint32_t count, MouseResult result);
    std::uint32_t AcquireCalls() const;

private:
    void Push(std::uint32_t offset, std::int32_t data);
    void PushLocked(MouseRecord record);

    const MouseBackend backend_;
    mutable std::mutex mutex_;
    std::deque<MouseRecord> records_;
    std::uint32_t bufferSize_ = 0;
    std::uint32_t nextSequence_ = 1;
    bool focused_ = true;
    bool acquired_ = false;
    std::uint32_t refusals_ = 0;
    MouseResult refusal_ = MouseResult::Ok;
    std::uint32_t acquireCalls_ = 0;
};

}  // namespace platform
