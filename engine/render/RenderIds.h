#pragma once
// Stable 32-bit identities of render objects. The render sort tree keys its levels by them, so
// the draw order of different textures or materials is the order in which they were made (never
// a truncated address, which could merge two objects into one node on a 64-bit build).

#include <atomic>
#include <cstdint>

inline std::uint32_t NextRenderId() {
    static std::atomic<std::uint32_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}
