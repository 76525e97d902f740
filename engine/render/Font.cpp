#include "engine/render/Font.h"

#include <cstdlib>

#include "engine/render/RenderDevice.h"
#include "platform/video/FontRaster.h"

Font::~Font() = default;

std::unique_ptr<Font> Font::Create(RenderDevice* device, const WString& face, std::int32_t height,
                                   std::int32_t weight, std::uint32_t) {
    bool bold = weight >= 700;
    std::string primary = platform::FindFontFile(face, bold, false);
    std::string hangul = platform::FindFontFile(face, bold, true);
    int pixels = std::abs(height);
    auto raster =
        platform::FontRaster::Open(primary.empty() ? hangul : primary, hangul, pixels ? pixels : 12);
    if (!raster) return nullptr;
    std::unique_ptr<Font> font(new Font());
    font->device_ = device;
    font->face_ = face;
    font->raster_ = std::move(raster);
    return font;
}

void Font::Measure(WStringView view, int& width, int& height) {
    WString text(view);
    if (auto it = sizes_.find(text); it != sizes_.end()) {
        width = it->second.first;
        height = it->second.second;
        return;
    }
    raster_->Measure(text, width, height);
    if (sizes_.size() >= kCachedSizes) sizes_.clear();
    sizes_.emplace(std::move(text), std::make_pair(width, height));
}

Texture* Font::TextTexture(WStringView view) {
    WString text(view);
    auto it = lines_.find(text);
    if (it != lines_.end()) {
        recent_.splice(recent_.begin(), recent_, it->second.second);
        return it->second.first.get();
    }
    std::vector<std::uint8_t> coverage;
    int width = 0, height = 0;
    if (!raster_->Render(text, coverage, width, height)) return nullptr;
    std::vector<std::uint8_t> rgba(coverage.size() * 4, 255);
    for (std::size_t i = 0; i < coverage.size(); ++i) rgba[i * 4 + 3] = coverage[i];
    auto texture = Texture::CreateRgba(device_, static_cast<std::uint32_t>(width),
                                       static_cast<std::uint32_t>(height), std::move(rgba));
    if (lines_.size() >= kCachedLines) {
        lines_.erase(recent_.back());
        recent_.pop_back();
    }
    recent_.push_front(text);
    lines_[text] = {texture, recent_.begin()};
    return texture.get();
}
