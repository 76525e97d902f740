#pragma once
// The one road of input from a device to the client: an input event, whatever backend produced it
// (an SDL event, a scripted command on the null backend), becomes the window messages the client
// handles and the records of the buffered mouse device. Both window backends deliver through it,
// so scripted input and real input reach the same code.
//
// Threads: one thread delivers (the main thread's pump); the queue and the mouse sink are
// thread-safe.

#include <cstdint>
#include <string>

namespace platform {

class MessageQueue;

struct InputEvent {
    // MouseLeave: the pointer went to another window lying over this one (the backend saw it go).
    enum class Kind : std::uint8_t {
        MouseMove,
        MouseButton,
        MouseWheel,
        MouseLeave,
        Key,
        Text,
        Focus,
        Close
    };
    Kind kind = Kind::MouseMove;
    int x = 0, y = 0;              // client position of the pointer (move, button)
    int screenX = 0, screenY = 0;  // screen position of the pointer (wheel)
    int dx = 0, dy = 0;            // relative motion (move)
    bool outside = false;          // move: the pointer is outside the client area
    int button = 0;                // 0 left, 1 right, 2 middle
    bool down = false;             // button, key; focus gained
    int clicks = 1;                // button: 2 on the second press of a double click
    int notches = 0;               // wheel, positive away from the user
    std::uint32_t virtualKey = 0;
    bool altModifier = false;  // key: Alt held by the backend's own account
    std::string text;          // UTF-8
};

class InputRouter {
public:
    explicit InputRouter(MessageQueue& queue) : queue_(queue) {}
    void Deliver(const InputEvent& event);

private:
    void DeliverMove(const InputEvent& event);
    void DeliverButton(const InputEvent& event);
    void DeliverKey(const InputEvent& event);
    void DeliverFocus(bool gained);
    // The pointer is gone from the client area: kWmMouseLeave once, and the first move back in
    // carries no relative motion.
    void PointerLeft();

    MessageQueue& queue_;
    std::uintptr_t buttons_ = 0;  // kMk* bits of the buttons held
    bool altHeld_ = false;
    bool pointerOutside_ = false;  // the last motion went outside the client area
    bool leavePosted_ = false;     // kWmMouseLeave went since the last move inside
};

}  // namespace platform
