#pragma once
// The intro screen (scene 2): the title, shown for a moment or until a click or key, then the
// login scene.

#include <atomic>
#include <cstdint>

#include "scenes/base/GameScene.h"

namespace scenes {

class SceneIntro : public GameScene {
public:
    static constexpr std::uint64_t kShowMs = 1500;

    SceneIntro();
    void Enter() override;
    void Update(std::uint64_t nowMs, std::uint64_t time100us) override;
    bool OnMessage(std::uint32_t code, std::uintptr_t a, std::intptr_t b) override;

private:
    std::atomic<std::uint64_t> shownAtMs_{0};
    std::atomic<bool> leaving_{false};
};

}  // namespace scenes
