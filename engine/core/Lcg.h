#pragma once
// Linear congruential generator shared by the rules (racking), the physics (ball orientation)
// and the application object.

#include <cstdint>

struct Lcg {
    std::uint32_t seed = 0;
    std::uint32_t state = 0;
    std::uint32_t draws = 0;

    void Seed(std::uint32_t value) {
        seed = value;
        state = value;
    }
    std::uint32_t Next() {
        state = state * 1103515245u + 12345u;
        ++draws;
        return state;
    }
};
