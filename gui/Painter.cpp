#include "gui/Painter.h"

#include <algorithm>

#include "engine/render/RenderDevice.h"
#include "gui/UiResourceSet.h"

namespace gui {

Painter::Painter(RenderDevice* device, UiResourceSet* sets) : device_(device), sets_(sets) {}

std::uint32_t Painter::Tint(std::uint32_t argb) const {
    const float a = std::clamp(alpha, 0.0f, 1.0f) * static_cast<float>(argb >> 24);
    return (static_cast<std::uint32_t>(a + 0.5f) << 24) | (argb & 0x00FFFFFF);
}

bool Painter::HasImage(const UiImage& image) const {
    return image.Valid() && sets_ && sets_->GetTexture(image.set, device_);
}

bool Painter::Image(const UiImage& image, int x, int y, int w, int h, std::uint32_t argb) {
    if (!image.Valid() || !sets_) return false;
    Texture* texture = sets_->GetTexture(image.set, device_);
    if (!texture) return false;
    ++calls_;
    if (!device_) return true;
    device_->DrawImage(texture, {image.x, image.y, image.x + image.w, image.y + image.h},
                       {x, y, x + w, y + h}, Tint(argb));
    return true;
}

void Painter::Fill(int x, int y, int w, int h, std::uint32_t argb) {
    if (w <= 0 || h <= 0) return;
    ++calls_;
    if (device_) device_->FillRect({x, y, x + w, y + h}, Tint(argb));
}

void Painter::Border(int x, int y, int w, int h, std::uint32_t argb) {
    Fill(x, y, w, 1, argb);
    Fill(x, y + h - 1, w, 1, argb);
    Fill(x, y + 1, 1, h - 2, argb);
    Fill(x + w - 1, y + 1, 1, h - 2, argb);
}

void Painter::Bevel(int x, int y, int w, int h, std::uint32_t face, bool sunken) {
    Fill(x, y, w, h, face);
    const std::uint32_t top = sunken ? skin::kDark : skin::kLight;
    const std::uint32_t bottom = sunken ? skin::kLight : skin::kDark;
    Fill(x, y, w, 1, top);
    Fill(x, y, 1, h, top);
    Fill(x, y + h - 1, w, 1, bottom);
    Fill(x + w - 1, y, 1, h, bottom);
}

void Painter::Text(const FontDesc& font, WStringView text, int x, int y, int w, int h, std::uint32_t flags,
                   std::uint32_t argb, std::uint32_t shadow) {
    if (text.empty()) return;
    ++calls_;
    if (!device_) return;
    Font* deviceFont = device_->CreateFont(font.face, font.height, font.weight, font.flag);
    if (!deviceFont) return;
    if (shadow >> 24) {
        Rect r{x + 1, y + 1, x + w + 1, y + h + 1};
        device_->DrawText(deviceFont, text, r, flags, Tint(shadow));
    }
    Rect r{x, y, x + w, y + h};
    device_->DrawText(deviceFont, text, r, flags, Tint(argb));
}

}  // namespace gui
