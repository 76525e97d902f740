#include "scenes/room/hud/EffectPanel.h"

#include <algorithm>

#include "engine/render/RenderDevice.h"
#include "engine/resource/ResourceGroup.h"
#include "gui/Painter.h"

namespace scenes::hud {

namespace {

constexpr char16_t kFramesName[] = u"GameAni";
constexpr std::uint32_t kCaptionColour = 0xFFFFFF00;
constexpr std::uint32_t kShadow = 0xFF000000;
constexpr int kCaptionHeight = 24;

std::uint32_t WithAlpha(std::uint32_t argb, float alpha) {
    const auto a = static_cast<std::uint32_t>(static_cast<float>(argb >> 24) * std::clamp(alpha, 0.0f, 1.0f));
    return (argb & 0x00FFFFFF) | (a << 24);
}

}  // namespace

EffectPanel::EffectPanel(const ResourceGroup* effects) {
    if (!effects) return;
    const auto& animation = effects->GetSpriteAnimationManager().FindByName(kFramesName);
    if (animation->IsEmpty() || animation->data.frames.empty()) return;
    const auto& texture = effects->GetTextureManager().FindById(animation->data.textureId);
    if (texture->IsEmpty() || texture->data.format != TextureFormat::Rgba8 || texture->data.levels.empty())
        return;
    const TextureLevel& level = texture->data.levels[0];
    if (!level.width || !level.height || level.pixels.size() < std::size_t{level.width} * level.height * 4)
        return;
    textureWidth_ = level.width;
    textureHeight_ = level.height;
    pixels_ = level.pixels;
    for (const SpriteAnimationFrame& frame : animation->data.frames) {
        const TexelRect& r = frame.rect;
        // Frames outside the texture are left out rather than sampled past its edge.
        if (r.x < 0 || r.y < 0 || r.width <= 0 || r.height <= 0 ||
            static_cast<std::uint32_t>(r.x + r.width) > level.width ||
            static_cast<std::uint32_t>(r.y + r.height) > level.height)
            continue;
        frames_.push_back(frame);
        cycleMs_ += std::max<std::uint32_t>(frame.durationMs, 1);
    }
}

const char16_t* EffectPanel::Caption(GameAni ani) {
    switch (ani) {
        case GameAni::Result:
            return u"Nice shot!";
        case GameAni::TimeOut:
            return u"Time out";
        case GameAni::YourTurn:
            return u"Your turn";
        case GameAni::FreeBall:
            return u"Free ball";
        case GameAni::FinishingShot:
            return u"Finishing shot";
    }
    return u"";
}

void EffectPanel::Play(GameAni ani, std::uint64_t nowMs) {
    platform::ScopedLock lock(lock_);
    playing_ = ani;
    startMs_ = nowMs;
}

std::optional<GameAni> EffectPanel::Current(std::uint64_t nowMs) const {
    platform::ScopedLock lock(lock_);
    if (!playing_ || nowMs < startMs_ || nowMs - startMs_ >= kShowMs) return std::nullopt;
    return playing_;
}

void EffectPanel::Draw(RenderDevice* device, int width, int height, std::uint64_t nowMs) {
    if (!device) return;
    GameAni ani;
    std::uint64_t age = 0;
    {
        platform::ScopedLock lock(lock_);
        if (!playing_ || nowMs < startMs_ || nowMs - startMs_ >= kShowMs) return;
        ani = *playing_;
        age = nowMs - startMs_;
    }
    const float alpha =
        age + kFadeMs < kShowMs ? 1.0f : static_cast<float>(kShowMs - age) / static_cast<float>(kFadeMs);
    const int x = (width - kSize) / 2;
    const int y = height / 2 - kSize - kCaptionHeight;
    device->Begin2D();
    gui::Painter painter(device, nullptr);
    bool pictured = false;
    if (!frames_.empty()) {
        if (!texture_ || textureDevice_ != device) {
            texture_ = Texture::CreateRgba(device, textureWidth_, textureHeight_, pixels_);
            textureDevice_ = device;
        }
        std::uint64_t t = age % cycleMs_;
        std::size_t k = 0;
        while (k + 1 < frames_.size() && t >= std::max<std::uint32_t>(frames_[k].durationMs, 1))
            t -= std::max<std::uint32_t>(frames_[k++].durationMs, 1);
        const TexelRect& r = frames_[k].rect;
        pictured = texture_ && device->DrawImage(texture_.get(), {r.x, r.y, r.x + r.width, r.y + r.height},
                                                 {x, y, x + kSize, y + kSize}, WithAlpha(0xFFFFFFFF, alpha));
    }
    if (!pictured) {
        // Without the frames: a ring that grows over the animation's time.
        const int inset = static_cast<int>((kShowMs - std::min(age, kShowMs)) * (kSize / 3) / kShowMs);
        painter.Border(x + inset, y + inset, kSize - 2 * inset, kSize - 2 * inset,
                       WithAlpha(kCaptionColour, alpha));
    }
    painter.Text(gui::kFont16Bold, Caption(ani), x - kSize, y + kSize, 3 * kSize, kCaptionHeight,
                 gui::align::kCenter | gui::align::kVCenter, WithAlpha(kCaptionColour, alpha),
                 WithAlpha(kShadow, alpha));
}

}  // namespace scenes::hud
