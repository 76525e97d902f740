#pragma once
// Two popups of the game room: the list of each player's result when a game ends, and the notice
// that tells for a few seconds which players hold which ball group in a pocket game.

#include <array>
#include <cstdint>

#include "gui/Dialog.h"

namespace gui {
class Button;
class ImageWidget;
class TextLabel;
}  // namespace gui

namespace scenes::hud {

class GameResultList : public gui::Dialog {
public:
    static constexpr int kRows = 8;

    GameResultList();
    // Builds the rows; the list is 417 x 251 at (100, 100) and starts hidden.
    bool Create(int x = 100, int y = 100, int w = 417, int h = 251, std::uint32_t id = 0,
                std::uint32_t hotkey = 0) override;
    using gui::Dialog::Create;

    // Shows the first teams x members rows (at most eight) and hides the rest.
    void SetLayout(int teamCount, int membersPerTeam);
    // One player's result; a team or member outside the last layout changes nothing.
    void SetRow(int team, int member, const WString& name, int resultCode, int points, std::int64_t money,
                int level);
    // A rate of 1 or more names the share of the winnings taken as game fee; otherwise no fee line.
    void SetFeeRate(int percent);

    bool OnCommand(const gui::CommandEvent& event) override;

    struct Row {
        gui::TextLabel* result = nullptr;
        gui::TextLabel* name = nullptr;
        gui::TextLabel* points = nullptr;
        gui::TextLabel* money = nullptr;
        gui::ImageWidget* level = nullptr;
    };
    const Row& RowAt(int index) const { return rows_[static_cast<std::size_t>(index)]; }
    bool RowShown(int index) const;
    gui::TextLabel* FeeLabel() const { return fee_; }
    int TeamCount() const { return teamCount_; }
    int MembersPerTeam() const { return membersPerTeam_; }

private:
    std::array<Row, kRows> rows_{};
    gui::TextLabel* fee_ = nullptr;
    gui::Button* close_ = nullptr;
    int teamCount_ = 0;
    int membersPerTeam_ = 0;
};

class GroupNotice : public gui::Dialog {
public:
    static constexpr std::uint64_t kSteadyMs = 2000;
    static constexpr std::uint64_t kGoneMs = 3000;

    GroupNotice();
    // Builds the four name labels; the notice is 345 x 138 and starts hidden.
    bool Create(int x, int y, int w = 345, int h = 138, std::uint32_t id = 0,
                std::uint32_t hotkey = 0) override;
    using gui::Dialog::Create;

    void Clear();
    // Name `slot` (0 or 1) of the column of `group` (0 or 1); anything else is ignored.
    void SetName(int group, int slot, const WString& text);
    // Shows the notice from `nowMs` on: steady for two seconds, fading out in the third.
    void ShowAt(std::uint64_t nowMs);
    const WString& Name(int group, int slot) const;

    void OnShow() override;
    bool OnCommand(const gui::CommandEvent& event) override;
    void Tick(std::uint64_t nowMs) override;

private:
    std::array<gui::TextLabel*, 4> names_{};
    std::uint64_t shownAt_ = 0;
    bool stampPending_ = true;  // shown without a time: the first tick sets it
};

}  // namespace scenes::hud
