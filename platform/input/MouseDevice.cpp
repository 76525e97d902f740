#include "platform/input/MouseDevice.h"

#include "platform/sys/Clock.h"

namespace platform {

namespace {

std::mutex gSinkMutex;
MouseEventSink* gSink = nullptr;

// Calls the sink under the registry lock, so a device never goes away in the middle of a call.
template <class F>
void Forward(F call) {
    std::lock_guard<std::mutex> lock(gSinkMutex);
    if (gSink) call(*gSink);
}

}  // namespace

void PostMouseMotion(int dx, int dy) {
    Forward([&](MouseEventSink& sink) { sink.OnMouseMotion(dx, dy); });
}
void PostMouseWheel(int delta) {
    Forward([&](MouseEventSink& sink) { sink.OnMouseWheel(delta); });
}
void PostMouseButton(int button, bool down) {
    Forward([&](MouseEventSink& sink) { sink.OnMouseButton(button, down); });
}
void PostMouseFocus(bool focused) {
    Forward([&](MouseEventSink& sink) { sink.OnMouseFocus(focused); });
}

MouseDevice::MouseDevice(MouseBackend backend) : backend_(backend) {
    if (backend_ != MouseBackend::Sdl) return;
    std::lock_guard<std::mutex> lock(gSinkMutex);
    gSink = this;
}

MouseDevice::~MouseDevice() {
    std::lock_guard<std::mutex> lock(gSinkMutex);
    if (gSink == this) gSink = nullptr;
}

void MouseDevice::SetBufferSize(std::uint32_t records) {
    std::lock_guard<std::mutex> lock(mutex_);
    bufferSize_ = records;
    while (records_.size() > bufferSize_) records_.pop_back();
}

MouseResult MouseDevice::Acquire() {
    std::lock_guard<std::mutex> lock(mutex_);
    ++acquireCalls_;
    if (refusals_ > 0) {
        --refusals_;
        return refusal_;
    }
    if (!focused_) return MouseResult::OtherAppHasPriority;
    acquired_ = true;
    return MouseResult::Ok;
}

void MouseDevice::Unacquire() {
    std::lock_guard<std::mutex> lock(mutex_);
    acquired_ = false;
    records_.clear();
}

bool MouseDevice::Acquired() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return acquired_;
}

MouseResult MouseDevice::GetDeviceData(MouseRecord* out, std::uint32_t& count) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!acquired_) {
        count = 0;
        return MouseResult::NotAcquired;
    }
    std::uint32_t moved = 0;
    while (moved < count && !records_.empty()) {
        out[moved++] = records_.front();
        records_.pop_front();
    }
    count = moved;
    return MouseResult::Ok;
}

void MouseDevice::OnMouseMotion(int dx, int dy) {
    if (dx != 0) Push(kMouseOffsetX, dx);
    if (dy != 0) Push(kMouseOffsetY, dy);
}

void MouseDevice::OnMouseWheel(int delta) {
    if (delta != 0) Push(kMouseOffsetZ, delta);
}

void MouseDevice::OnMouseButton(int button, bool down) {
    if (button < 0 || static_cast<std::uint32_t>(button) >= kMouseButtonCount) return;
    Push(kMouseOffsetButton0 + static_cast<std::uint32_t>(button), down ? 0x80 : 0);
}

void MouseDevice::OnMouseFocus(bool focused) {
    std::lock_guard<std::mutex> lock(mutex_);
    focused_ = focused;
    if (!focused) {
        acquired_ = false;
        records_.clear();
    }
}

void MouseDevice::Inject(const MouseRecord& record) {
    std::lock_guard<std::mutex> lock(mutex_);
    PushLocked(record);
}

void MouseDevice::RefuseAcquire(std::uint32_t count, MouseResult result) {
    std::lock_guard<std::mutex> lock(mutex_);
    refusals_ = count;
    refusal_ = result;
}

std::uint32_t MouseDevice::AcquireCalls() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return acquireCalls_;
}

void MouseDevice::Push(std::uint32_t offset, std::int32_t data) {
    MouseRecord record;
    record.offset = offset;
    record.data = data;
    record.timeStamp = static_cast<std::uint32_t>(GetClock().NowMs());
    std::lock_guard<std::mutex> lock(mutex_);
    record.sequence = nextSequence_++;
    PushLocked(record);
}

// Only an acquired device collects records; a full buffer drops the newest, as the system's does.
void MouseDevice::PushLocked(MouseRecord record) {
    if (!acquired_ || records_.size() >= bufferSize_) return;
    if (record.sequence == 0) record.sequence = nextSequence_++;
    records_.push_back(record);
}

}  // namespace platform
