#pragma once
// The two windows that tell the local player the outcome of ranking and levelling: the rank after a
// ranked result, and the congratulation on a new level with the ability points it earned (and a
// shortcut to spend unspent ones through the own-info window).

#include <cstdint>

#include "gui/Dialog.h"

namespace gui {
class Button;
class TextLabel;
}  // namespace gui
namespace net {
class PlayerRecord;
}

namespace scenes {

class SceneHost;

namespace hud {

// The ability points a new level earns.
int AbilityPointsForLevel(std::uint16_t level);
// The rank window's line for rank r.
WString RankText(int rank);

class RankResultWindow : public gui::Dialog {
public:
    static constexpr int kOpenSound = 32;
    static constexpr int kLowerThanRecord = 9998;
    static constexpr int kLastRanked = 100;

    bool Create(int x = 0, int y = 0, int w = 316, int h = 294, std::uint32_t id = 0,
                std::uint32_t hotkey = 0) override;
    using gui::Widget::Create;

    void SetRank(int rank) { rank_ = rank; }
    int Rank() const { return rank_; }
    void OnShow() override;
    bool OnCommand(const gui::CommandEvent& event) override;
    gui::TextLabel* Line() const { return line_; }

private:
    int rank_ = 0;
    gui::TextLabel* line_ = nullptr;
};

class LevelUpWindow : public gui::Dialog {
public:
    static constexpr std::uint32_t kSpendPoints = 10;

    LevelUpWindow(SceneHost* host, const net::PlayerRecord* record) : host_(host), record_(record) {}
    bool Create(int x = 0, int y = 0, int w = 316, int h = 294, std::uint32_t id = 0,
                std::uint32_t hotkey = 0) override;
    using gui::Widget::Create;

    void OnShow() override;
    bool OnCommand(const gui::CommandEvent& event) override;
    gui::TextLabel* Line(int i) const { return lines_[i]; }
    gui::Button* SpendButton() const { return spend_; }

private:
    SceneHost* host_;
    const net::PlayerRecord* record_;
    gui::TextLabel* lines_[3] = {};
    gui::Button* spend_ = nullptr;
};

}  // namespace hud
}  // namespace scenes
