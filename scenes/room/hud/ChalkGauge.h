#pragma once
// How much chalk is on the cue tip: a round button that chalks up (click or the 'C' key), a cover
// that hides the used part of the gauge, the turning model of the selected chalk with its level and
// remaining uses. Each chalking adds 75 points up to 100; each shot takes the table world's use.
// The owning scene copies the level into its world when the gauge posts ChalkApplied.
//
// Main thread: commands and display; update thread: Tick under the scene manager's widget lock. The
// level, the active flag and the chalk are read by Tick while the scene's messages change them.

#include <atomic>
#include <cstdint>
#include <functional>

#include "gui/Widget.h"

namespace gui {
class Button;
class ImageWidget;
class ItemPreview;
class TextLabel;
}  // namespace gui
namespace net {
class PlayerRecord;
struct ItemEntry;
}  // namespace net

namespace scenes {

class SceneHost;

namespace hud {

class ChalkGauge : public gui::Widget {
public:
    static constexpr int kFullLevel = 100;
    static constexpr int kChalkingAmount = 75;
    static constexpr int kGaugeSize = 66;

    // The record whose selected item is the chalk; `sceneId` decides whether a missing chalk is
    // worth a notice (game room and practice room only).
    ChalkGauge(SceneHost* host, net::PlayerRecord* record, int sceneId);

    // Builds the children; the gauge is 70 x 84.
    bool Create(int x, int y, int w = 70, int h = 84, std::uint32_t id = 0,
                std::uint32_t hotkey = 0) override;
    using gui::Widget::Create;

    // Takes the record's selected item as the chalk.
    void Refresh();
    // Level 0, not active, then Refresh.
    void Reset();
    // One shot's use of chalk, 0..100.
    void Consume(int amount);
    void UpdateDisplay();
    void BuildPreview(RenderDevice* device);
    void ReleasePreview();

    bool OnCommand(const gui::CommandEvent& event) override;
    void Tick(std::uint64_t nowMs) override;

    int Level() const { return level_; }
    void SetLevel(int level) { level_ = level < 0 ? 0 : level; }
    bool IsActive() const { return active_; }
    void SetActive(bool on) { active_ = on; }
    const net::ItemEntry* SelectedChalk() const { return chalk_.load(); }
    gui::ImageWidget* LevelImage() const { return levelImage_; }
    gui::TextLabel* LevelLabel() const { return levelLabel_; }
    gui::TextLabel* UsesLabel() const { return usesLabel_; }
    gui::ItemPreview* Preview() const { return preview_; }

    // Plays a sound by id; by default through the host's sound manager.
    std::function<void(int)> playSound;

private:
    SceneHost* host_;
    net::PlayerRecord* record_;
    int sceneId_;
    std::atomic<int> level_{0};
    std::atomic<const net::ItemEntry*> chalk_{nullptr};
    std::atomic<bool> active_{false};
    std::uint32_t tickCount_ = 0;
    gui::Button* button_ = nullptr;
    gui::ImageWidget* levelImage_ = nullptr;
    gui::ItemPreview* preview_ = nullptr;
    gui::TextLabel* levelLabel_ = nullptr;
    gui::TextLabel* usesLabel_ = nullptr;
};

}  // namespace hud
}  // namespace scenes
