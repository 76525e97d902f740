#pragma once
// Key names as the SDL keyboard names them ("Return", "Left Shift", "Keypad 7", "A"), mapped to the
// project's virtual-key codes. Scripts name keys this way in both window backends.

#include <cstdint>
#include <span>
#include <string_view>

namespace platform {

struct KeyName {
    std::string_view name;  // SDL's spelling
    std::uint32_t virtualKey;
};

// The key of a name, compared without regard to case as SDL does; nullptr for an unknown name.
const KeyName* FindKeyName(std::string_view name);

// Every named key, for tests that hold the table against the SDL backend's own mapping.
std::span<const KeyName> AllKeyNames();

}  // namespace platform
