#include "engine/render/Texture.h"

#include "engine/render/RenderDevice.h"
#include "engine/render/RenderIds.h"

Texture::Texture(RenderDevice* device, const platform::TextureDesc& desc, std::vector<std::uint8_t> pixels)
    : device_(device), desc_(desc), pixels_(std::move(pixels)), id_(NextRenderId()) {
    if (device_) device_->TrackTexture(this);
}

Texture::~Texture() {
    Release();
    if (device_) device_->UntrackTexture(this);
}

std::shared_ptr<Texture> Texture::CreateRgba(RenderDevice* device, std::uint32_t width, std::uint32_t height,
                                             std::vector<std::uint8_t> rgba) {
    platform::TextureDesc desc{width, height, platform::TextureFormat::Rgba8, false};
    return std::make_shared<Texture>(device, desc, std::move(rgba));
}

bool Texture::Restore() {
    if (handle_) return true;
    if (!device_ || !device_->IsCreated()) return false;
    handle_ =
        device_->Backend().CreateTexture(desc_, pixels_.empty() ? nullptr : pixels_.data(), pixels_.size());
    return handle_ != 0;
}

void Texture::Release() {
    if (!handle_ || !device_) return;
    device_->Backend().DestroyTexture(handle_);
    handle_ = 0;
}

bool Texture::Bind(std::uint32_t stage) {
    if (!device_) return false;
    if (!Restore()) return device_->BindTextureHandle(stage, 0) && false;
    return device_->BindTextureHandle(stage, handle_);
}

bool Texture::Update(std::vector<std::uint8_t> pixels) {
    if (pixels.size() != pixels_.size()) return false;
    pixels_ = std::move(pixels);
    if (!handle_) return true;
    return device_->Backend().UpdateTexture(handle_, pixels_.data(), pixels_.size());
}
