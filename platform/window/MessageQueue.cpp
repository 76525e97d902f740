#include "platform/sys/Clock.h"
#include "platform/window/Window.h"

namespace platform {

void MessageQueue::Post(const Message& message) {
    std::lock_guard lock(mutex_);
    messages_.push_back(message);
}

bool MessageQueue::Pop(Message& out) {
    std::lock_guard lock(mutex_);
    if (messages_.empty()) return false;
    out = messages_.front();
    messages_.pop_front();
    return true;
}

std::size_t MessageQueue::Size() const {
    std::lock_guard lock(mutex_);
    return messages_.size();
}

bool MessageQueue::Holds(std::uint32_t code) const {
    std::lock_guard lock(mutex_);
    for (const Message& message : messages_)
        if (message.message == code) return true;
    return false;
}

void WindowSystem::StepAndPump() {
    if (player_) player_->Step(GetClock().NowMs(), *this);
    PumpEvents();
}

bool WindowSystem::PeekMessage(Message& out) {
    StepAndPump();
    if (!queue_.Pop(out)) return false;
    keyboard_.OnMessage(out);
    return true;
}

void WindowSystem::WaitMessage(std::uint32_t timeoutMs) {
    if (queue_.Size() == 0 && timeoutMs > 0) WaitEvents(timeoutMs);
}

bool WindowSystem::PumpWhileBlocked() {
    StepAndPump();
    return queue_.Holds(kWmClose) || queue_.Holds(kWmQuit);
}

}  // namespace platform
