#pragma once
// The earn-gold mission's two windows: the rules dialog that offers the mission of the game type
// (its target, reward and level) and starts it, and the status panel that shows the running
// mission's innings, points and average with a give-up button.

#include <cstdint>

#include "gui/Dialog.h"
#include "scenes/room/TableSceneUi.h"
#include "scenes/room/practice/EarnGoldMission.h"

namespace gui {
class Button;
class ImageWidget;
class TextLabel;
class Widget;
}  // namespace gui
namespace net {
class PlayerRecord;
}

namespace scenes {

class SceneHost;

class EarnGoldRulesDialog : public gui::Dialog {
public:
    static constexpr int kWidth = 437;
    static constexpr int kHeight = 295;
    // The membership instant charge: its amounts by grade.
    static constexpr std::int64_t kChargeBelowGrade3 = 20000;
    static constexpr std::int64_t kChargeFromGrade3 = 50000;

    EarnGoldRulesDialog(SceneHost* host, net::PlayerRecord* record);

    // Fills the row for the game type; false (nothing shown) when it has no mission.
    bool Fill(int gameType);
    // Centres the dialog and refreshes the gold warning and the instant-charge label.
    void OnShow() override;
    bool OnCommand(const gui::CommandEvent& event) override;

    // The row chosen last (1-based; 0 none).
    int SelectedRow() const { return selectedRow_; }
    const practice::MissionRow& Row() const { return row_; }
    gui::Button* RowButton() const { return rowButton_; }
    gui::TextLabel* Warning() const { return warning_; }
    gui::ImageWidget* ChargeArea() const { return chargeArea_; }
    gui::TextLabel* ChargeLabel() const { return chargeLabel_; }

private:
    void ChooseRow(int row);
    void RequestInstantCharge();
    void Notice(const WString& line1, const WString& line2 = {});

    SceneHost* host_;
    net::PlayerRecord* record_;
    practice::MissionRow row_{};
    int selectedRow_ = 0;
    gui::Button* rowButton_ = nullptr;
    gui::TextLabel* targetLabel_ = nullptr;
    gui::TextLabel* rewardLabel_ = nullptr;
    gui::TextLabel* levelLabel_ = nullptr;
    gui::TextLabel* warning_ = nullptr;
    gui::ImageWidget* chargeArea_ = nullptr;
    gui::TextLabel* chargeLabel_ = nullptr;
};

// It stands in the key guide's column and as wide, over the guide (which moves down under it).
class EarnGoldStatusPanel : public gui::Dialog {
public:
    static constexpr int kWidth = kKeyGuideWidth;
    static constexpr int kHeight = 115;

    EarnGoldStatusPanel();

    // The chosen row's target and reward.
    void SetRow(const practice::MissionRow& row) { row_ = row; }
    // Shows the counters of a mission.
    void ShowCounters(int innings, int points, double average);
    bool OnCommand(const gui::CommandEvent& event) override;

    const gui::TextLabel* Line(int k) const { return lines_[k]; }

private:
    practice::MissionRow row_{};
    gui::TextLabel* lines_[5] = {};
};

}  // namespace scenes
