#include "platform/window/InputRouter.h"

#include "platform/input/MouseDevice.h"
#include "platform/sys/Utf8.h"
#include "platform/window/Window.h"

namespace platform {

void InputRouter::Deliver(const InputEvent& event) {
    switch (event.kind) {
        case InputEvent::Kind::MouseMove:
            DeliverMove(event);
            break;
        case InputEvent::Kind::MouseButton:
            DeliverButton(event);
            break;
        case InputEvent::Kind::MouseWheel: {
            const int delta = event.notches * kWheelDelta;
            PostMouseWheel(delta);
            const auto word = static_cast<std::uint16_t>(static_cast<std::int16_t>(delta));
            queue_.Post({kWmMouseWheel, (static_cast<std::uintptr_t>(word) << 16) | buttons_,
                         MakeLParam(event.screenX, event.screenY)});
            break;
        }
        case InputEvent::Kind::MouseLeave:
            if (buttons_ == 0) PointerLeft();
            break;
        case InputEvent::Kind::Key:
            DeliverKey(event);
            break;
        case InputEvent::Kind::Text:
            // Alt with a key is a command (Alt+Enter, Alt+1...), never typed text.
            if (!altHeld_)
                for (char16_t unit : Utf8ToUtf16(event.text)) queue_.Post({kWmChar, unit, 1});
            break;
        case InputEvent::Kind::Focus:
            DeliverFocus(event.down);
            break;
        case InputEvent::Kind::Close:
            queue_.Post({kWmClose, 0, 0});
            break;
    }
}

// A focused window follows the pointer outside it only while a drag that began inside holds a
// button: without one, the motion out of the client area, and the jump back in to where the pointer
// returns, move nothing (neither the aim nor the camera), as the system sends a window no mouse
// messages while the pointer is elsewhere. The client hears that the pointer left (kWmMouseLeave), so
// that it takes the position of the move back in as a new start, not as a move from the last one.
void InputRouter::DeliverMove(const InputEvent& event) {
    const bool dragging = buttons_ != 0;
    if (event.outside && !dragging) {
        PointerLeft();
        return;
    }
    const bool returning = pointerOutside_;
    pointerOutside_ = event.outside;
    if (!event.outside) leavePosted_ = false;
    if (!returning || dragging) PostMouseMotion(event.dx, event.dy);
    queue_.Post({kWmMouseMove, buttons_, MakeLParam(event.x, event.y)});
}

void InputRouter::PointerLeft() {
    pointerOutside_ = true;
    if (leavePosted_) return;
    leavePosted_ = true;
    queue_.Post({kWmMouseLeave, 0, 0});
}

void InputRouter::DeliverButton(const InputEvent& event) {
    static constexpr std::uint32_t kDown[] = {kWmLButtonDown, kWmRButtonDown, kWmMButtonDown};
    static constexpr std::uint32_t kUp[] = {kWmLButtonUp, kWmRButtonUp, kWmMButtonUp};
    static constexpr std::uint32_t kBits[] = {kMkLButton, kMkRButton, kMkMButton};
    if (event.button < 0 || event.button > 2) return;
    const auto index = static_cast<std::size_t>(event.button);
    PostMouseButton(event.button, event.down);
    if (event.down)
        buttons_ |= kBits[index];
    else
        buttons_ &= ~static_cast<std::uintptr_t>(kBits[index]);
    std::uint32_t message = event.down ? kDown[index] : kUp[index];
    if (event.down && event.clicks == 2 && event.button == 0) message = kWmLButtonDblClk;
    queue_.Post({message, buttons_, MakeLParam(event.x, event.y)});
    // A drag that ended outside leaves the pointer there.
    if (!event.down && buttons_ == 0 && pointerOutside_) PointerLeft();
}

void InputRouter::DeliverKey(const InputEvent& event) {
    const bool down = event.down;
    const std::uint32_t vk = event.virtualKey;
    if (vk == kVkMenu) altHeld_ = down;
    if (vk == 0) return;
    const bool alt = altHeld_ || event.altModifier;
    std::uint32_t lParam = 1;
    if (alt) lParam |= kKeyAltDown;
    if (!down) lParam |= kKeyReleased;
    // F10 and every key with Alt held arrive as system keys, as the client expects.
    const bool system = alt || vk == kVkF10;
    const std::uint32_t message =
        down ? (system ? kWmSysKeyDown : kWmKeyDown) : (system ? kWmSysKeyUp : kWmKeyUp);
    queue_.Post({message, vk, static_cast<std::intptr_t>(lParam)});
    if (!down) return;
    if (alt && vk == kVkOem3) queue_.Post({kWmSysChar, 0x60, static_cast<std::intptr_t>(lParam)});
    // The keys whose characters are control codes type them, as the system's key translation does;
    // the text events of the backends carry printable characters only.
    if (!system && (vk == kVkReturn || vk == kVkEscape || vk == kVkBack || vk == kVkTab))
        queue_.Post({kWmChar, vk, static_cast<std::intptr_t>(lParam)});
}

void InputRouter::DeliverFocus(bool gained) {
    PostMouseFocus(gained);
    if (gained) {
        queue_.Post({kWmActivateApp, 1, 0});
        queue_.Post({kWmActivate, kWaActive, 0});
        return;
    }
    altHeld_ = false;
    buttons_ = 0;
    queue_.Post({kWmActivate, kWaInactive, 0});
    queue_.Post({kWmActivateApp, 0, 0});
}

}  // namespace platform
