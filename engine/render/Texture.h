#pragma once
// A texture: its pixels are kept in memory so that the device object can be released (scene
// switch, lost device) and restored later. The identity is stable and never 0 (0 = no texture).

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/video/RenderTypes.h"

class RenderDevice;

class Texture {
public:
    // device may be null (geometry-only use); Restore then fails.
    Texture(RenderDevice* device, const platform::TextureDesc& desc, std::vector<std::uint8_t> pixels);
    ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    static std::shared_ptr<Texture> CreateRgba(RenderDevice* device, std::uint32_t width,
                                               std::uint32_t height, std::vector<std::uint8_t> rgba);

    std::uint32_t Id() const { return id_; }
    std::uint32_t Width() const { return desc_.width; }
    std::uint32_t Height() const { return desc_.height; }
    const platform::TextureDesc& Desc() const { return desc_; }
    const std::vector<std::uint8_t>& Pixels() const { return pixels_; }

    // Creates the device object when it is missing; true when it exists afterwards.
    bool Restore();
    void Release();
    bool IsRestored() const { return handle_ != 0; }
    platform::TextureHandle Handle() const { return handle_; }
    // Restores when needed and binds to a device stage.
    bool Bind(std::uint32_t stage);
    // Replaces the pixels (same size and format) and updates the device object.
    bool Update(std::vector<std::uint8_t> pixels);
    // Texture detail 0..2: how many top mip levels to skip. Kept for the options; the backends
    // upload one level.
    void SetDetail(std::uint16_t level) { detail_ = level; }
    std::uint16_t Detail() const { return detail_; }

    // Called by the device when it goes away first.
    void DetachDevice() { device_ = nullptr, handle_ = 0; }

private:
    RenderDevice* device_;
    platform::TextureDesc desc_;
    std::vector<std::uint8_t> pixels_;
    std::uint32_t id_;
    platform::TextureHandle handle_ = 0;
    std::uint16_t detail_ = 0;
};

using TexturePtr = std::shared_ptr<Texture>;
