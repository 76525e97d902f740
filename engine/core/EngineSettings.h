#pragma once
// The engine-wide settings record, created on first use and kept to the end of the process.

#include <atomic>
#include <cstdint>

struct EngineSettings {
    // Two flag bytes whose meaning belongs to the renderer that reads them.
    std::atomic<std::uint8_t> flag0{0};
    std::atomic<std::uint8_t> flag1{0};
    // "texturedetail" of the options: 0 the finest, 2 the coarsest.
    std::atomic<std::uint16_t> textureDetail{0};
};

EngineSettings& GetEngineSettings();
