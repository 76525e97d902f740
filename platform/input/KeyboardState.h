#pragma once
// Which keys are held, by virtual-key code, for the scenes' and the table world's key polling.
// The window system feeds it every key message as the main thread takes it from the queue, so a
// key reads as held while its key-down is being handled, whatever backend delivered it. Losing
// the focus lets go of every key: a key released in another window never sends its key-up here.
//
// Threads: fed on the main thread; read from any thread.

#include <array>
#include <cstdint>

#include "platform/sys/CriticalSection.h"

namespace platform {

struct Message;

// What happened to one key since it was last polled.
struct KeyPoll {
    bool down = false;      // held now
    bool pressed = false;   // went down since the last poll (also when already released again)
    bool released = false;  // went up since the last poll
};

class KeyboardState {
public:
    // Key-down and key-up messages (also the system-key ones) change the keys; deactivation
    // (kWmActivateApp off, kWmActivate inactive) clears them. Other messages are ignored.
    void OnMessage(const Message& message);
    // Every key up and nothing pending, as after the focus was lost.
    void Clear();

    bool IsDown(std::uint32_t virtualKey) const;
    // The key's state and what happened to it since the previous poll of the same key; clears the
    // pressed and released marks of that key. A key repeat is not a new press.
    KeyPoll Poll(std::uint32_t virtualKey);

private:
    void Set(std::uint32_t virtualKey, bool down);

    mutable CriticalSection lock_;
    std::array<std::uint8_t, 256> keys_{};  // bit flags per virtual key
};

}  // namespace platform
