#include "scenes/front/RoomOptionDialog.h"

#include <algorithm>

#include "engine/core/Format.h"
#include "gui/ComboBox.h"
#include "gui/NoticeBox.h"
#include "gui/TextInput.h"
#include "gui/TextLabel.h"
#include "gui/UiAtlas.h"
#include "net/GameTypes.h"
#include "net/PlayerRecord.h"
#include "platform/window/WindowCodes.h"
#include "scenes/base/SceneHost.h"
#include "scenes/front/FrontCodes.h"
#include "scenes/front/FrontWidgets.h"

namespace scenes {

namespace {
constexpr std::uint32_t kTitleEdit = 3601, kPasswordEdit = 3602, kGameTypeChoice = 3603,
                        kPlayersChoice = 3604, kTurnTimeChoice = 3605;
const std::vector<int> kPlayerCounts = {2, 3, 4};
const std::vector<int> kTurnTimes = {0, 20, 30, 40, 60};
constexpr int kLabelX = 24, kFieldX = 130, kFieldW = 240;

bool IsPasswordCharacter(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}
}  // namespace

RoomOptionDialog::RoomOptionDialog(SceneHost* host) : host_(host) {
    SetUpDialog(*this, kWidth, kHeight, u"Room setting");
    for (int t = 0; t < net::kGameTypeCount; ++t)
        if (net::GameTypeHasRules(t)) types_.push_back(t);
    const char16_t* labels[] = {u"Title", u"Password", u"Game", u"Players", u"Turn time"};
    for (int i = 0; i < 5; ++i) AddTextLine(*this, kLabelX, 44 + i * 36, 100, 26, labels[i]);
    title_ = AddEditField(*this, kFieldX, 44, kFieldW, 26, kTitleEdit, kMaxTitle);
    passwordEdit_ = AddEditField(*this, kFieldX, 80, kFieldW, 26, kPasswordEdit, kMaxPassword);
    gameType_ = AddChoice(*this, kFieldX, 118, kFieldW, kGameTypeChoice, {}, -1);
    for (int t : types_) gameType_->AddItem(WString(net::GameTypeLongName(t)));
    players_ = AddChoice(*this, kFieldX, 154, 100, kPlayersChoice, {u"2", u"3", u"4"}, 0);
    playersNote_ = AddTextLine(*this, kFieldX + 110, 154, kWidth - kFieldX - 134, 22, u"Two in pocket games");
    turnTime_ = AddChoice(*this, kFieldX, 190, 100, kTurnTimeChoice,
                          {u"None", u"20 s", u"30 s", u"40 s", u"60 s"}, 3);
    seatLine_ = AddTextLine(*this, kLabelX, 226, kWidth - 48, 22, {});
    gameNote_ = AddTextLine(*this, kLabelX, 250, kWidth - 48, 22, kGameFixedText);
    AddOkCancel(*this, 48);
    SetVisible(false);
}

void RoomOptionDialog::OpenForCreate(const WString& title, int gameType) {
    room_ = net::RoomInfo{};
    room_.title = title;
    room_.gameType = static_cast<std::uint8_t>(net::GameTypeHasRules(gameType) ? gameType : 4);
    room_.maxPlayers = 2;
    room_.inningTime = 40;
    room_.state = static_cast<std::uint8_t>(net::RoomState::Waiting);
    password_.clear();
    editable_ = true;
    gameFixed_ = false;
    SetTitle(u"Create room");
    seatLine_->SetPlainText({});
    Fill();
    CenterOnScreen();
    Show(true);
    title_->SetFocus(true);
}

void RoomOptionDialog::SetRoomInfo(const net::RoomInfo& room, bool ownIsMaster,
                                   std::span<const net::PlayerRecord* const> seats, int masterSlot) {
    room_ = room;
    password_ = room.password;
    editable_ = ownIsMaster;
    gameFixed_ = true;
    SetTitle(u"Room setting");
    const net::PlayerRecord* master = masterSlot >= 0 && masterSlot < static_cast<int>(seats.size())
                                          ? seats[static_cast<std::size_t>(masterSlot)]
                                          : nullptr;
    int seated = 0;
    for (const net::PlayerRecord* r : seats) seated += r ? 1 : 0;
    seatLine_->SetPlainText(
        Format(u"Room master: %s   Players: %d", master ? master->nickname : WString(u"-"), seated));
    Fill();
}

void RoomOptionDialog::Fill() {
    title_->SetText(room_.title);
    passwordEdit_->SetText(password_);
    gameType_->Select(IndexOf(types_, room_.gameType, 0));
    playersChoice_ = IndexOf(kPlayerCounts, room_.maxPlayers, 0);
    turnTime_->Select(IndexOf(kTurnTimes, room_.inningTime, 3));
    for (gui::Widget* w : {static_cast<gui::Widget*>(title_), static_cast<gui::Widget*>(passwordEdit_),
                           static_cast<gui::Widget*>(gameType_), static_cast<gui::Widget*>(turnTime_)})
        w->SetEnabled(editable_);
    gameType_->SetEnabled(editable_ && !gameFixed_);
    gameType_->SetTooltip(gameFixed_ ? WString(kGameFixedText) : WString());
    gameNote_->Show(gameFixed_);
    ShowPlayersFor(room_.gameType);
}

void RoomOptionDialog::ShowPlayersFor(int gameType) {
    const bool pocket = net::IsPocketGame(gameType);
    players_->Select(pocket ? 0 : playersChoice_);
    players_->SetEnabled(editable_ && !pocket);
    players_->SetTooltip(pocket ? WString(kPocketPlayersText) : WString());
    playersNote_->SetTooltip(players_->TooltipText());
    playersNote_->Show(pocket);
}

WString RoomOptionDialog::Check(const net::RoomInfo& room, const WString& password) {
    bool titled = false;
    for (char16_t c : room.title) titled = titled || (c != u' ' && c != 0x3000);
    if (!titled) return u"Enter a title for the room.";
    if (room.title.size() > static_cast<std::size_t>(kMaxTitle)) return u"The title is too long.";
    if (!net::GameTypeHasRules(room.gameType)) return u"Choose a game.";
    if (room.maxPlayers < 2 || room.maxPlayers > 4) return u"A room has 2 to 4 players.";
    for (char16_t c : password)
        if (!IsPasswordCharacter(c)) return u"A password holds letters and digits only.";
    return {};
}

bool RoomOptionDialog::ReadControls() {
    net::RoomInfo next = room_;
    next.title = title_->GetText();
    const int type = gameType_->Selected();
    if (!gameFixed_ && type >= 0 && type < static_cast<int>(types_.size()))
        next.gameType = static_cast<std::uint8_t>(types_[type]);
    const int players = players_->Selected();
    if (players >= 0)
        next.maxPlayers = static_cast<std::uint8_t>(kPlayerCounts[static_cast<std::size_t>(players)]);
    const int turn = turnTime_->Selected();
    if (turn >= 0) next.inningTime = static_cast<std::uint8_t>(kTurnTimes[static_cast<std::size_t>(turn)]);
    // Pocket games seat two players.
    if (net::IsPocketGame(next.gameType)) next.maxPlayers = 2;
    const WString password = passwordEdit_->GetText();
    const WString failure = Check(next, password);
    if (!failure.empty()) {
        if (host_) host_->ShowError(this, failure);
        return false;
    }
    room_ = next;
    password_ = password;
    room_.hasPassword = password.empty() ? 0 : 1;
    room_.tableItem = net::DefaultTableOfGameType(room_.gameType);
    room_.ballSetItem = net::DefaultBallSetOfGameType(room_.gameType);
    return true;
}

bool RoomOptionDialog::OnCommand(const gui::CommandEvent& event) {
    if (event.code != gui::CommandCode::Event || !event.source) return false;
    switch (event.source->Id()) {
        case front_button::kOk:
            if (!editable_) {
                Show(false);
                return true;
            }
            if (!ReadControls()) return true;
            Show(false);
            gui::NoticeBox::Post(front_message::kRoomOptionsOk, front_button::kOk, 0, 0);
            return true;
        case front_button::kCancel:
            Show(false);
            return true;
        case kGameTypeChoice:
            if (const int type = gameType_->Selected();
                !gameFixed_ && type >= 0 && type < static_cast<int>(types_.size()))
                ShowPlayersFor(types_[static_cast<std::size_t>(type)]);
            return true;
        case kPlayersChoice:
            if (players_->IsEnabled()) playersChoice_ = std::max(0, players_->Selected());
            return true;
        case kTurnTimeChoice:
            return true;
        default:
            return false;
    }
}

}  // namespace scenes
