#pragma once
// The offline table: one player plays shots on a 3D table with the fixed offline item set, picks
// the game type in "Room setting" and leaves with "Exit Marvenlot". Every shot runs on the local
// table world; when the balls rest the cue comes back to the player (and a cleared pocket table
// is racked again). No opponent, no server, no chat.

#include <atomic>
#include <cstdint>

#include "scenes/room/TableScene.h"

namespace gui {
class Button;
class ImageWidget;
}  // namespace gui
namespace net {
struct ItemEntry;
}
namespace table {
struct CueObject;
}

namespace scenes {

class PracticeSetupDialog;
namespace hud {
class ChalkGauge;
class PlayerPanel;
}  // namespace hud

class SceneAlone : public TableScene {
public:
    // Control ids of the scene's buttons.
    static constexpr std::uint32_t kRoomSettingId = 6;

    SceneAlone();
    ~SceneAlone() override;

    void CreateUI() override;
    void Enter() override;
    int Load3D(ResourceManager* resources, RenderDevice* renderer) override;
    void Render(RenderDevice* renderer, bool draw) override;
    bool OnMessage(std::uint32_t code, std::uintptr_t a, std::intptr_t b) override;
    bool Leave(ResourceManager* resources, SceneManager* engineScenes) override;
    bool OnCommand(const gui::CommandEvent& event) override;

    hud::ChalkGauge* Gauge() const { return gauge_; }
    hud::PlayerPanel* ItemStrip() const { return strip_; }
    gui::ImageWidget* KeyGuide() const { return keyGuide_; }
    PracticeSetupDialog* RoomSetting() const { return roomSetting_; }
    const net::ItemEntry* CurrentCue() const { return currentCue_; }
    bool GuideShown() const { return guideShown_; }
    bool GameTypeChangePending() const { return gameTypeChanged_.load(); }

private:
    void TakeCue(const net::ItemEntry* entry, std::uint16_t item);
    void UseItem(std::uint32_t kind);
    void EndOfShot();
    void RebuildForGameType(RenderDevice* renderer);
    void ShowGuide(bool on);

    ResourceManager* resources_ = nullptr;
    bool guideShown_ = true;
    std::atomic<bool> gameTypeChanged_{false};
    const net::ItemEntry* currentCue_ = nullptr;
    table::CueObject* cueObject_ = nullptr;
    gui::ImageWidget* keyGuide_ = nullptr;
    hud::PlayerPanel* strip_ = nullptr;
    hud::ChalkGauge* gauge_ = nullptr;
    PracticeSetupDialog* roomSetting_ = nullptr;
};

}  // namespace scenes
