#pragma once
// The sdl backend's key translation: an SDL key code to the project's virtual-key code (0 when the
// client knows no such key).

#include <cstdint>

namespace platform {

std::uint32_t VirtualKeyOfSdlKey(std::int32_t sdlKey);

}  // namespace platform
