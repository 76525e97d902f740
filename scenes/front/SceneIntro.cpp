#include "scenes/front/SceneIntro.h"

#include "gui/TextLabel.h"
#include "platform/sys/Clock.h"
#include "platform/window/WindowCodes.h"
#include "scenes/base/SceneCodes.h"
#include "scenes/front/FrontBackdrop.h"
#include "scenes/front/FrontWidgets.h"

namespace scenes {

SceneIntro::SceneIntro() : GameScene(scene_id::kIntro) {
    Widget::Create(0, 0, 1024, 768);
    Make<FrontBackdrop>();
    gui::TextLabel* title = AddTextLine(*this, 0, 300, 1024, 60, u"MARVENLOT", gui::kFont16Bold,
                                        gui::align::kCenter | gui::align::kVCenter, 0xFFE0B050);
    title->SetAnchor(gui::AnchorH::Center, 0, gui::AnchorV::Center, -40);
    gui::TextLabel* subtitle = AddTextLine(*this, 0, 360, 1024, 30, u"3D billiards online", gui::kFont14,
                                           gui::align::kCenter | gui::align::kVCenter);
    subtitle->SetAnchor(gui::AnchorH::Center, 0, gui::AnchorV::Center, 10);
    SetVisible(false);
}

void SceneIntro::Enter() {
    shownAtMs_ = 0;
    leaving_ = false;
}

void SceneIntro::Update(std::uint64_t nowMs, std::uint64_t) {
    std::uint64_t shown = shownAtMs_.load();
    if (shown == 0) {
        shownAtMs_ = nowMs ? nowMs : 1;
        return;
    }
    if (platform::ElapsedMs(shown, nowMs) >= kShowMs && !leaving_.exchange(true))
        RequestScene(scene_id::kLogin);
}

bool SceneIntro::OnMessage(std::uint32_t code, std::uintptr_t, std::intptr_t) {
    const bool skip = code == platform::kWmLButtonDown || code == platform::kWmKeyDown;
    if (skip && !leaving_.exchange(true)) RequestScene(scene_id::kLogin);
    return skip;
}

}  // namespace scenes
