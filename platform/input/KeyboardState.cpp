#include "platform/input/KeyboardState.h"

#include "platform/window/Window.h"

namespace platform {

namespace {
constexpr std::uint8_t kHeld = 1;
constexpr std::uint8_t kPressed = 2;
constexpr std::uint8_t kReleased = 4;
}  // namespace

void KeyboardState::OnMessage(const Message& message) {
    switch (message.message) {
        case kWmKeyDown:
        case kWmSysKeyDown:
            Set(static_cast<std::uint32_t>(message.wParam), true);
            break;
        case kWmKeyUp:
        case kWmSysKeyUp:
            Set(static_cast<std::uint32_t>(message.wParam), false);
            break;
        case kWmActivateApp:
            if (message.wParam == 0) Clear();
            break;
        case kWmActivate:
            if ((message.wParam & 0xFFFF) == kWaInactive) Clear();
            break;
        default:
            break;
    }
}

void KeyboardState::Clear() {
    ScopedLock guard(lock_);
    keys_.fill(0);
}

bool KeyboardState::IsDown(std::uint32_t virtualKey) const {
    if (virtualKey >= keys_.size()) return false;
    ScopedLock guard(lock_);
    return (keys_[virtualKey] & kHeld) != 0;
}

KeyPoll KeyboardState::Poll(std::uint32_t virtualKey) {
    if (virtualKey >= keys_.size()) return {};
    ScopedLock guard(lock_);
    std::uint8_t& key = keys_[virtualKey];
    const KeyPoll result{(key & kHeld) != 0, (key & kPressed) != 0, (key & kReleased) != 0};
    key &= kHeld;
    return result;
}

void KeyboardState::Set(std::uint32_t virtualKey, bool down) {
    if (virtualKey >= keys_.size()) return;
    ScopedLock guard(lock_);
    std::uint8_t& key = keys_[virtualKey];
    const bool wasDown = (key & kHeld) != 0;
    if (down && !wasDown) key |= kHeld | kPressed;
    if (!down && wasDown) key = static_cast<std::uint8_t>((key & ~kHeld) | kReleased);
}

}  // namespace platform
