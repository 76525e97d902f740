#pragma once
// The game room's effect panel: a short animation over the table for what just happened at it (a shot
// that earned the result sound, a time-out, the own turn, a free ball, a finishing shot to play). Its
// pictures are the frames of the "GameAni" sprite animation of the UI package's "Effect" group, each
// animation with its own caption; the room draws it in its effect pass, between the table and the
// widgets. A newer animation replaces the one playing.
//
// Threads: any thread starts an animation (the packet handlers, the update tick); the main thread draws.

#include <cstdint>
#include <optional>
#include <vector>

#include "engine/core/Text.h"
#include "engine/render/Texture.h"
#include "engine/resource/SpriteData.h"
#include "platform/sys/CriticalSection.h"

class RenderDevice;
class ResourceGroup;

namespace scenes::hud {

enum class GameAni { Result, TimeOut, YourTurn, FreeBall, FinishingShot };

class EffectPanel {
public:
    static constexpr std::uint64_t kShowMs = 1500;
    static constexpr std::uint64_t kFadeMs = 500;
    static constexpr int kSize = 128;  // the frames are drawn in a square of this side

    // Takes the "GameAni" frames and their texture from the group; without them (a missing group, no
    // resources) the animations still run and draw as a flat pulse under their caption.
    explicit EffectPanel(const ResourceGroup* effects);

    void Play(GameAni ani, std::uint64_t nowMs);
    // The animation on screen at that time, if any.
    std::optional<GameAni> Current(std::uint64_t nowMs) const;
    bool HasFrames() const { return !frames_.empty(); }
    static const char16_t* Caption(GameAni ani);

    // The effect pass: the playing animation centred on a `width` x `height` screen, above its middle.
    void Draw(RenderDevice* device, int width, int height, std::uint64_t nowMs);

private:
    mutable platform::CriticalSection lock_;
    std::optional<GameAni> playing_;
    std::uint64_t startMs_ = 0;
    std::vector<SpriteAnimationFrame> frames_;
    std::uint32_t cycleMs_ = 0;
    // The texture's pixels until the first draw makes the device texture of them.
    std::uint32_t textureWidth_ = 0, textureHeight_ = 0;
    std::vector<std::uint8_t> pixels_;
    TexturePtr texture_;
    RenderDevice* textureDevice_ = nullptr;
};

}  // namespace scenes::hud
