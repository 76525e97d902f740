#include "scenes/room/hud/ResultWidgets.h"

#include <algorithm>

#include "engine/core/Format.h"
#include "gui/Button.h"
#include "gui/ImageWidget.h"
#include "gui/TextLabel.h"
#include "platform/sys/Clock.h"
#include "scenes/room/hud/HudImages.h"
#include "scenes/room/hud/RoomWidgetCodes.h"

namespace scenes::hud {

namespace {
constexpr int kRowX = 30, kFirstRowY = 65, kRowStep = 21;
constexpr int kLevelIconW = 32, kLevelIconH = 19, kLevelIconRow = 883, kLevelColumns = 30;
constexpr gui::UiImage kLevelIcons{images::kFlatSet, 0, kLevelIconRow, kLevelIconW, kLevelIconH};
constexpr gui::UiImage kCloseButton = gui::atlas::InSet(gui::atlas::kCloseButton, images::kHudSet);

const char16_t* ResultText(int code) {
    switch (code) {
        case 1:
            return u"WIN";
        case 2:
            return u"Loss";
        case 3:
            return u"WbW";
        case 4:
            return u"LbW";
        case 5:
            return u"Allin";
        case 6:
            return u"End";
        case 7:
            return u"Invalid";
        default:
            return nullptr;
    }
}
}  // namespace

// Neither is a popup: each stays over the table while the player aims and clicks there, until it is
// closed or its time is up.
GameResultList::GameResultList() {
    SetImage(images::kPanel);
}

bool GameResultList::Create(int x, int y, int w, int h, std::uint32_t id, std::uint32_t hotkey) {
    gui::Dialog::Create(x, y, w, h, id, hotkey);
    for (int i = 0; i < kRows; ++i) {
        Row& row = rows_[static_cast<std::size_t>(i)];
        const int y0 = kFirstRowY + kRowStep * i;
        row.result = AddLabel(kRowX - 8, y0, 40, 20, gui::kFont12Bold);
        row.result->SetFormat(gui::align::kCenter | gui::align::kVCenter, 0, 0);
        row.name = AddLabel(kRowX + 62, y0, 120, 20, gui::kFont12Bold);
        row.points = AddLabel(kRowX + 166, y0, 60, 20, gui::kFont12Bold);
        row.money = AddLabel(kRowX + 235, y0, 60, 20, gui::kFont12Bold);
        row.level = AddImage(kRowX + 316, y0 - 5, kLevelIconW, kLevelIconH, kLevelIcons);
    }
    fee_ = AddLabel(50, 230, 300, 20, gui::kFont12);
    fee_->Show(false);
    close_ = AddButton(384, 28, 22, 22, room_control::kResultClose, room_key::kEscape, kCloseButton);
    close_->SetFrameCount(4);
    SetLayout(0, 0);
    SetVisible(false);
    return true;
}

bool GameResultList::RowShown(int index) const {
    return index >= 0 && index < kRows && rows_[static_cast<std::size_t>(index)].result->IsVisible();
}

void GameResultList::SetLayout(int teamCount, int membersPerTeam) {
    teamCount_ = std::max(0, teamCount);
    membersPerTeam_ = std::max(0, membersPerTeam);
    const int shown = std::min(kRows, teamCount_ * membersPerTeam_);
    for (int i = 0; i < kRows; ++i) {
        const Row& row = rows_[static_cast<std::size_t>(i)];
        const bool on = i < shown;
        for (gui::Widget* w : {static_cast<gui::Widget*>(row.result), static_cast<gui::Widget*>(row.name),
                               static_cast<gui::Widget*>(row.points), static_cast<gui::Widget*>(row.money),
                               static_cast<gui::Widget*>(row.level)})
            w->Show(on);
    }
}

void GameResultList::SetRow(int team, int member, const WString& name, int resultCode, int points,
                            std::int64_t money, int level) {
    // A team or member the layout does not hold would write into another player's row or past the list.
    if (team < 0 || member < 0 || team >= teamCount_ || member >= membersPerTeam_) return;
    const int index = team * membersPerTeam_ + member;
    if (index >= kRows) return;
    const Row& row = rows_[static_cast<std::size_t>(index)];
    row.name->SetPlainText(name);
    const char16_t* result = ResultText(resultCode);
    row.result->SetPlainText(result ? result : u"Playing");
    row.points->Show(result != nullptr);
    row.money->Show(result != nullptr);
    row.level->Show(result != nullptr);
    row.points->SetText(points >= 1 ? u"+%d" : u"%d", points);
    row.money->SetText(money >= 1 ? u"+%s" : u"%s", FormatNumber(money));
    // Ten levels share an icon; levels past the strip keep its first column.
    const int column = std::max(0, kLevelColumns - std::max(0, level) / 10);
    row.level->SetSourceRect(column * kLevelIconW, kLevelIconRow, kLevelIconW, kLevelIconH);
}

void GameResultList::SetFeeRate(int percent) {
    if (percent >= 1) fee_->SetText(u"%d%% of earn money is payed for game fee.", percent);
    fee_->Show(percent >= 1);
}

bool GameResultList::OnCommand(const gui::CommandEvent& event) {
    if (event.id != room_control::kResultClose || event.code != gui::CommandCode::Event) return false;
    Show(false);
    return true;
}

// ---- Group notice --------------------------------------------------------------------------------

GroupNotice::GroupNotice() {
    SetImage(images::kPanel);
}

bool GroupNotice::Create(int x, int y, int w, int h, std::uint32_t id, std::uint32_t hotkey) {
    gui::Dialog::Create(x, y, w, h, id, hotkey);
    for (int i = 0; i < 4; ++i) {
        gui::TextLabel* label = AddLabel(80 + 159 * (i / 2), 74 + 29 * (i % 2), 100, 20, gui::kFont12Bold);
        names_[static_cast<std::size_t>(i)] = label;
    }
    SetVisible(false);
    return true;
}

void GroupNotice::Clear() {
    for (gui::TextLabel* label : names_)
        if (label) label->SetPlainText({});
}

void GroupNotice::SetName(int group, int slot, const WString& text) {
    if (group < 0 || group > 1 || slot < 0 || slot > 1) return;
    if (gui::TextLabel* label = names_[static_cast<std::size_t>(group * 2 + slot)]) label->SetPlainText(text);
}

const WString& GroupNotice::Name(int group, int slot) const {
    static const WString kNone;
    if (group < 0 || group > 1 || slot < 0 || slot > 1) return kNone;
    return names_[static_cast<std::size_t>(group * 2 + slot)]->Text();
}

void GroupNotice::ShowAt(std::uint64_t nowMs) {
    Show(true);
    shownAt_ = nowMs;
    stampPending_ = false;
    SetAlpha(1.0f);
}

void GroupNotice::OnShow() {
    gui::Dialog::OnShow();
    stampPending_ = true;
    SetAlpha(1.0f);
}

bool GroupNotice::OnCommand(const gui::CommandEvent& event) {
    if (event.id == room_control::kResultClose && event.code == gui::CommandCode::Event) Show(false);
    return true;
}

void GroupNotice::Tick(std::uint64_t nowMs) {
    gui::Dialog::Tick(nowMs);
    if (stampPending_) {
        shownAt_ = nowMs;
        stampPending_ = false;
    }
    const std::uint64_t e = platform::ElapsedMs(shownAt_, nowMs);
    if (e > kSteadyMs)
        SetAlpha(static_cast<float>(static_cast<double>(kGoneMs) - static_cast<double>(e)) / 1000.0f);
    if (e > kGoneMs) Show(false);
}

}  // namespace scenes::hud
