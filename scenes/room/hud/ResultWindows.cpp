#include "scenes/room/hud/ResultWindows.h"

#include "engine/core/Format.h"
#include "gui/Button.h"
#include "gui/TextLabel.h"
#include "net/PlayerRecord.h"
#include "platform/sys/Journal.h"
#include "scenes/base/SceneHost.h"
#include "scenes/room/hud/HudCodes.h"
#include "scenes/room/hud/HudImages.h"

namespace scenes::hud {

namespace {

constexpr std::uint32_t kOk = 2050;
constexpr std::uint32_t kEnterKey = 13;
constexpr gui::UiImage kRankTitle{images::kFlatSet, 0, 200, 231, 42};
constexpr gui::UiImage kLevelTitle{images::kFlatSet, 0, 242, 258, 42};
constexpr gui::UiImage kSpendIcon{images::kFlatSet, 0, 284, 16, 16};

// Background, sound and the OK button the two windows share.
void CreateResultFrame(gui::Dialog& window, int x, int y, int w, int h, int okY) {
    window.gui::Widget::Create(x, y, w, h);
    window.SetImage(images::kPanel);
    window.SetSounds(RankResultWindow::kOpenSound, 0);
    window.SetModal(false);
    gui::Button* ok = window.AddButton(115, okY, 85, 32, kOk, kEnterKey, images::kButton);
    ok->SetFrameCount(gui::atlas::kTextButtonFrames);
    ok->SetCaption(u"OK");
    window.SetVisible(false);
}

gui::TextLabel* WindowLine(gui::Dialog& window, int y) {
    gui::TextLabel* label = window.AddLabel(10, y, 300, 20, gui::kFont12Bold);
    label->SetFormat(gui::align::kCenter | gui::align::kVCenter, 0, 0);
    return label;
}

}  // namespace

int AbilityPointsForLevel(std::uint16_t level) {
    if (level > 45) return 15;
    if (level > 40) return 12;
    if (level <= 5) return 3;
    return 4 + (level - 6) / 5;
}

WString RankText(int rank) {
    if (rank <= RankResultWindow::kLastRanked) return Format(u"Congratulations! You're ranked at %d.", rank);
    if (rank == RankResultWindow::kLowerThanRecord) return u"Your rank is lower than the previous record.";
    return u"Unfortunately you could not be ranked in the top 100.";
}

// ---- RankResultWindow ------------------------------------------------------------------------------

bool RankResultWindow::Create(int x, int y, int w, int h, std::uint32_t, std::uint32_t) {
    CreateResultFrame(*this, x, y, w, h, 250);
    AddImage(42, -20, 231, 42, kRankTitle);
    line_ = WindowLine(*this, 70);
    return true;
}

void RankResultWindow::OnShow() {
    gui::Dialog::OnShow();
    CenterOnScreen();
    const WString text = RankText(rank_);
    if (line_) line_->SetPlainText(text);
    platform::JournalBox("Rank", {ToUtf8(text)});
}

bool RankResultWindow::OnCommand(const gui::CommandEvent& event) {
    if (event.id == kOk && event.code == gui::CommandCode::Event) Show(false);
    return true;
}

// ---- LevelUpWindow ---------------------------------------------------------------------------------

bool LevelUpWindow::Create(int x, int y, int w, int h, std::uint32_t, std::uint32_t) {
    CreateResultFrame(*this, x, y, w, h, 255);
    AddImage(29, -20, 258, 42, kLevelTitle);
    lines_[0] = WindowLine(*this, 40);
    lines_[1] = WindowLine(*this, 70);
    lines_[2] = WindowLine(*this, 90);
    spend_ = AddButton(295, 90, 16, 16, kSpendPoints, 0, kSpendIcon);
    spend_->SetTooltip(u"Abil. points");
    return true;
}

void LevelUpWindow::OnShow() {
    gui::Dialog::OnShow();
    CenterOnScreen();
    const std::uint16_t level = record_ ? record_->level : 0;
    lines_[0]->SetText(u"Your level has raised to %d.", static_cast<int>(level));
    lines_[1]->SetPlainText({});
    lines_[2]->SetText(u"You have earned %d Abil. points.", AbilityPointsForLevel(level));
    spend_->Show(record_ && record_->abilityPoints > 0);
    platform::JournalBox("Level up", {ToUtf8(lines_[0]->Text()), ToUtf8(lines_[2]->Text())});
}

bool LevelUpWindow::OnCommand(const gui::CommandEvent& event) {
    if (event.code != gui::CommandCode::Event) return true;
    if (event.id == kOk) Show(false);
    if (event.id == kSpendPoints && host_)
        host_->PostUiMessage(static_cast<std::uint32_t>(HudMessage::OpenOwnInfo), 0, 0, 0);
    return true;
}

}  // namespace scenes::hud
