#pragma once
// FNV-1a over 32- and 64-bit words, for golden hashes.

#include <cstdint>

struct Fnv1a {
    std::uint64_t value = 0xcbf29ce484222325ull;
    void AddByte(std::uint8_t b) {
        value ^= b;
        value *= 0x100000001b3ull;
    }
    void Add(std::uint64_t word) {
        for (int i = 0; i < 8; ++i) AddByte(static_cast<std::uint8_t>(word >> (8 * i)));
    }
};
