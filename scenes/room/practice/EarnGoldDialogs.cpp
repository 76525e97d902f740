#include "scenes/room/practice/EarnGoldDialogs.h"

#include "engine/core/Format.h"
#include "gui/Button.h"
#include "gui/ImageWidget.h"
#include "gui/NoticeBox.h"
#include "gui/TextLabel.h"
#include "gui/UiAtlas.h"
#include "net/PlayerRecord.h"
#include "platform/window/WindowCodes.h"
#include "scenes/base/SceneHost.h"
#include "scenes/front/FrontWidgets.h"
#include "scenes/room/practice/PracticeCodes.h"

namespace scenes {

using namespace practice;

namespace {
constexpr int kDailyChargeGrade = 3;
constexpr std::int64_t kChargeGoldLimitBelowGrade3 = 20000;
constexpr std::int64_t kChargeGoldLimitFromGrade3 = 30000;
}  // namespace

EarnGoldRulesDialog::EarnGoldRulesDialog(SceneHost* host, net::PlayerRecord* record)
    : host_(host), record_(record) {
    SetUpDialog(*this, kWidth, kHeight, u"Earn Gold");
    SetSounds(sound::kRulesOpen, -1);
    AddTextLine(*this, 30, 65 - 20, 380, 20, u"Gold given for 20 innings of consecutive scoring.");
    rowButton_ = AddTextButton(*this, 20, 78, 413, 40, control::kFirstRewardRow, {});
    targetLabel_ = AddTextLine(*rowButton_, 20, 10, 140, 20, {});
    rewardLabel_ = AddTextLine(*rowButton_, 160, 10, 110, 20, {});
    levelLabel_ = AddTextLine(*rowButton_, 270, 10, 130, 20, {});
    // The rules and the warning one under another, clear of the close button.
    AddTextLine(*this, 30, 150, 390, 18, u"On failed try, half of total reward will be given.");
    AddTextLine(*this, 30, 170, 390, 18, u"Charging allowed when total gold is less than 2,000.");
    warning_ = AddTextLine(*this, 30, 196, 390, 18, {}, gui::kFont12,
                           gui::align::kLeft | gui::align::kVCenter, colour::kWarning);
    AddTextButton(*this, 340, 290 - 32 - 4, 85, 32, control::kCloseOrGiveUp, u"Close", platform::kVkEscape);
    // Membership instant charge: built and kept up to date, never shown by the room itself.
    chargeArea_ = AddImage(3, 285 - 50, 431, 50, gui::atlas::kDarkPanel);
    chargeLabel_ = AddTextLine(*chargeArea_, 8, 4, 300, 20, {});
    AddTextButton(*chargeArea_, 320, 8, 100, 30, control::kInstantCharge, u"Charge");
    chargeArea_->Show(false);
    SetVisible(false);
}

bool EarnGoldRulesDialog::Fill(int gameType) {
    const MissionRow* row = MissionRowFor(gameType);
    if (!row) return false;
    row_ = *row;
    targetLabel_->SetText(u"Target score : %d", row_.target);
    rewardLabel_->SetText(u"Rewards %s", FormatNumber(row_.reward));
    if (row_.requiredLevel > 0)
        levelLabel_->SetText(u"(Req. lv. %d)", row_.requiredLevel);
    else
        levelLabel_->SetPlainText({});
    return true;
}

void EarnGoldRulesDialog::OnShow() {
    gui::Dialog::OnShow();
    CenterOnScreen();
    const std::int64_t gold = record_ ? record_->money : 0;
    warning_->SetPlainText(gold >= kMissionGoldWarning
                               ? WString(u"Because your gold is over 2,000, you can not get rewards.")
                               : WString());
    const int grade = record_ ? record_->membershipGrade : 0;
    const std::int64_t amount = grade >= kDailyChargeGrade ? kChargeFromGrade3 : kChargeBelowGrade3;
    if (grade <= 0)
        chargeLabel_->SetText(u"Membership instant charge : %s (once a day)", FormatNumber(amount));
    else
        chargeLabel_->SetText(u"Membership instant charge : %s (%d remain)", FormatNumber(amount),
                              static_cast<int>(record_ ? record_->dailyCounter : 0));
}

bool EarnGoldRulesDialog::OnCommand(const gui::CommandEvent& event) {
    if (event.code != gui::CommandCode::Event || !event.source) return false;
    const std::uint32_t id = event.source->Id();
    if (id >= control::kFirstRewardRow && id <= control::kFirstRewardRow + 4) {
        ChooseRow(static_cast<int>(id));
        return true;
    }
    if (id == control::kCloseOrGiveUp) {
        Show(false);
        return true;
    }
    if (id == control::kInstantCharge) {
        RequestInstantCharge();
        return true;
    }
    return false;
}

void EarnGoldRulesDialog::ChooseRow(int row) {
    const int level = record_ ? record_->level : 0;
    if (level < 5 * row - 5) {
        Notice(u"Check the game level for try.");
        return;
    }
    selectedRow_ = row;
    // Advisory only: the mission still starts.
    if (record_ && record_->money >= kMissionGoldWarning)
        Notice(u"Because your gold is over 2,000,", u"you can not get rewards.");
    gui::NoticeBox::Post(static_cast<std::uint32_t>(PracticeUi::MissionStartOrCancel), 1, 0, 0);
    Show(false);
}

void EarnGoldRulesDialog::RequestInstantCharge() {
    const int grade = record_ ? record_->membershipGrade : 0;
    const std::int64_t gold = record_ ? record_->money : 0;
    if (grade <= 0) {
        Notice(u"Membership only.");
    } else if (!record_ || record_->dailyCounter < 1) {
        Notice(u"No more change. (once a day)");
    } else if ((grade >= kDailyChargeGrade && gold > kChargeGoldLimitFromGrade3) ||
               (grade < kDailyChargeGrade && gold > kChargeGoldLimitBelowGrade3)) {
        Notice(u"It is not available", u"because your owned gold is over 30000.");
    } else {
        gui::NoticeBox::Post(static_cast<std::uint32_t>(PracticeUi::InstantChargeRequest), 0, 0, 0);
    }
}

void EarnGoldRulesDialog::Notice(const WString& line1, const WString& line2) {
    if (host_) host_->ShowNotice(GetParent(), line1, line2);
}

EarnGoldStatusPanel::EarnGoldStatusPanel() {
    // Four counter lines, then the reward with "Give up" at its right; the texts start where the key
    // guide's do, the button stands 8 pixels inside the edges.
    constexpr int kMargin = 10, kLineHeight = 18, kButtonWidth = 64, kButtonHeight = 22;
    constexpr int kRewardTop = 10 + 4 * kLineHeight + 5;
    constexpr int kButtonLeft = kWidth - 8 - kButtonWidth;
    Create(0, 0, kWidth, kHeight);
    SetImage(gui::atlas::kDarkPanel);
    SetModal(false);
    for (int k = 0; k < 5; ++k) {
        const bool reward = k == 4;
        lines_[k] = AddTextLine(*this, kMargin, reward ? kRewardTop : 10 + kLineHeight * k,
                                (reward ? kButtonLeft - 4 : kWidth - kMargin) - kMargin, kLineHeight, {},
                                gui::kFont12, gui::align::kLeft | gui::align::kVCenter,
                                reward ? colour::kYellow : gui::skin::kText);
    }
    AddTextButton(*this, kButtonLeft, kRewardTop - (kButtonHeight - kLineHeight) / 2, kButtonWidth,
                  kButtonHeight, control::kCloseOrGiveUp, u"Give up", platform::kVkEscape);
    SetVisible(false);
}

void EarnGoldStatusPanel::ShowCounters(int innings, int points, double average) {
    lines_[0]->SetText(u"Inning (%d/20)", innings);
    lines_[1]->SetText(u"Current point : %d", points);
    lines_[2]->SetText(u"Target Points : %d", row_.target);
    lines_[3]->SetText(u"Average : %.1f", average);
    lines_[4]->SetText(u"Rewards %s", FormatNumber(row_.reward));
}

bool EarnGoldStatusPanel::OnCommand(const gui::CommandEvent& event) {
    if (event.code != gui::CommandCode::Event || !event.source) return false;
    if (event.source->Id() != control::kCloseOrGiveUp) return false;
    gui::NoticeBox::Post(static_cast<std::uint32_t>(PracticeUi::MissionStartOrCancel), 0, 0, 0);
    return true;
}

}  // namespace scenes
