// The game room's screen beyond the table: the room line in the title bar (number, game kind,
// title, player count, lock, money, handicap range, half game), the corner buttons, the "Join"
// button, the start and ready prompts, the chat scroll bar and mute toggle, the centre amount, and
// the popups of game requests. Widgets change on the main thread only: the handlers leave values in
// the room copy and flags, and Render calls RefreshRoomScreen.
#include "scenes/room/RoomScreen.h"

#include <algorithm>

#include "engine/core/Format.h"
#include "engine/core/Options.h"
#include "gui/Button.h"
#include "gui/CommonDialogs.h"
#include "gui/GameTypeName.h"
#include "gui/GuiConstants.h"
#include "gui/ImageWidget.h"
#include "gui/NumberDisplay.h"
#include "gui/Padlock.h"
#include "gui/Painter.h"
#include "gui/ScrollBar.h"
#include "gui/TextInput.h"
#include "gui/TextLabel.h"
#include "gui/UiAtlas.h"
#include "net/GameSession.h"
#include "net/Packet.h"
#include "platform/sys/Clock.h"
#include "platform/sys/Journal.h"
#include "platform/window/WindowCodes.h"
#include "scenes/base/SceneHost.h"
#include "scenes/front/FrontCodes.h"
#include "scenes/front/RoomOptionDialog.h"
#include "scenes/room/EdgeAnchor.h"
#include "scenes/room/RoomLine.h"
#include "scenes/room/SceneRoomGame.h"
#include "scenes/room/TableSceneUi.h"
#include "scenes/room/hud/ChalkGauge.h"
#include "scenes/room/hud/StartReadyButton.h"

namespace scenes {

namespace room {

namespace {

struct PointRule {
    int gameType, option;
    const char16_t* text;
};
constexpr PointRule kPointRules[] = {
    {0, 0, u"Indv. : --      Team match : 3C-1pt"},
    {0, 1, u"Indv. : 3C-1pts   Team match : 3C-2pts"},
    {0, 2, u"Indv. : 3C-2pts   Team match : 3C-2pts + Bank-1pt"},
    {3, 0, u"Indv. : --      Team match : Bank-1pt"},
    {3, 1, u"Indv. : Bank-1pts Team match : Bank-2pts"},
    {4, 0, u"3Cushion 10pts"},
    {4, 1, u"3Cushion 15pts"},
    {4, 2, u"3Cushion 20pts"},
    {4, 3, u"3Cushion 25pts"},
};

constexpr const char16_t* kChannelNames[] = {u"Rookie", u"Ama-1", u"Ama-2", u"Ama-3", u"Pro", u"Master"};
constexpr int kChannelLimits[] = {5, 10, 15, 20, 25};
constexpr int kTopLevelLimit = 50;

}  // namespace

WString PointRuleText(int gameType, int option) {
    for (const PointRule& rule : kPointRules)
        if (rule.gameType == gameType && rule.option == option) return rule.text;
    return {};
}

WString HandicapRangeText(std::int16_t lowest, std::int16_t highest) {
    if (lowest != 0 && highest != 0)
        return Format(u"%d ~ %d", static_cast<int>(lowest), static_cast<int>(highest));
    if (lowest != 0) return Format(u"%d ~", static_cast<int>(lowest));
    if (highest != 0) return Format(u"~ %d", static_cast<int>(highest));
    return u"No limit";
}

int PointRuleOption(const net::RoomInfo& room) {
    return room.option1;
}

bool IsHalfGame(const net::RoomInfo& room) {
    return room.IsBit3OptionOn() && (room.gameType == 0 || room.gameType == 3 || room.gameType == 13);
}

bool ShowsHandicapRange(int gameType) {
    return gameType == 0 || gameType == 2 || gameType == 3 || gameType == 5 || gameType == 6;
}

WString MoneyLabelText(const net::RoomInfo& room, std::uint16_t channelType) {
    if (channelType == kTournamentChannel) return u"Tournament";
    if (!room.IsCushionGamble() && room.IsOpenNonGamble()) return {};
    return FormatNumber(room.seedMoney);
}

int ChannelLevelLimit(int channelType) {
    if (channelType >= 0 && channelType < static_cast<int>(std::size(kChannelLimits)))
        return kChannelLimits[channelType];
    return kTopLevelLimit;
}

WString ChannelName(int channelType) {
    if (channelType >= 0 && channelType < static_cast<int>(std::size(kChannelNames)))
        return kChannelNames[channelType];
    return kChannelNames[std::size(kChannelNames) - 1];
}

}  // namespace room

using namespace room;

namespace {

constexpr int kBarX = 10, kBarY = 4;  // the title bar the table scenes share
constexpr int kPromptW = 141, kPromptH = 127;
// The start and ready prompts stand left of the player list, over the team and start buttons they ask
// for: right edge 164 from the screen's, foot 86 above the bottom.
constexpr int kPromptRight = -164 - kPromptW, kPromptTop = -86 - kPromptH;
constexpr int kCentreW = 300, kCentreH = 30;
constexpr std::uint32_t kTitleSecondColour = 0xFF0875FF;
constexpr std::uint32_t kShadow = 0xFF000000;
// The chat area, from the bottom edge: the panel's top, its lines (text at x 24, 18 apart, 440
// wide), its scroll bar and the input line.
// Six pixels below the chalk gauge's and the item strip's foot.
constexpr int kChatPanelTop = -212;
constexpr int kChatLineX = 24, kChatLineTop = kChatPanelTop + 12, kChatLineW = 440, kChatRowStep = 18;
constexpr int kChatScrollH = 140;
constexpr int kChatRowTextX = 20, kChatRowTextY = 12;
constexpr int kChatEditX = 23, kChatEditTop = -48, kChatEditW = 340, kChatEditH = 18;

gui::TextLabel* BarLabel(gui::Widget& scene, std::uint32_t id, int x, int y, int w, std::uint32_t argb,
                         const gui::FontDesc& font = gui::kFont12Bold) {
    gui::TextLabel* label = scene.AddLabel(kBarX + x, kBarY + y, w, 20, font);
    label->SetId(id);
    label->SetColors(argb, kShadow);
    return label;
}

// A popup of the room, waiting hidden until something opens it.
template <class T, class... A>
T* Hidden(gui::Widget& scene, A&&... args) {
    T* popup = scene.Make<T>(std::forward<A>(args)...);
    popup->Show(false);
    return popup;
}

gui::ImageWidget* Prompt(gui::Widget& scene, std::uint32_t id, const char16_t* text) {
    gui::ImageWidget* prompt =
        scene.AddImage(0, 0, kPromptW, kPromptH, gui::atlas::InSet(gui::atlas::kPanel, 15));
    prompt->SetId(id);
    gui::TextLabel* label = prompt->AddLabel(20, 40, kPromptW - 30, 20, gui::kFont12Bold);
    label->SetPlainText(text);
    prompt->Show(false);
    return prompt;
}

}  // namespace

void SceneRoomGame::CreateRoomScreen() {
    // The room line over the shared title bar.
    roomNumber_ = Make<gui::NumberDisplay>();
    const gui::UiImage digits = gui::atlas::InSet(gui::atlas::kDigits, 15);
    roomNumber_->Create(kBarX + 14, kBarY + 3, 12, 18, 3, digits, gui::atlas::kDigitCells);
    roomNumber_->SetId(control::kRoomNumber);
    roomNumber_->SetAlign(gui::align::kLeft);
    roomNumber_->Show(true);
    gameKindLabel_ = BarLabel(*this, control::kGameKind, 46, 6, 50, colour::kYellow);
    titleLabel_ = BarLabel(*this, control::kRoomTitle, 96, 6, 238, colour::kWhite);
    titleLabel_->SetColors(colour::kWhite, kTitleSecondColour);
    playerCountLabel_ = BarLabel(*this, control::kPlayerCount, 334, 6, 50, colour::kWhite);
    // The lobby's padlock of a room with a password.
    lockIcon_ = Make<gui::Padlock>();
    lockIcon_->Create(kBarX + 372, kBarY + 3, 17, 16, control::kLockIcon);
    lockIcon_->Show(false);
    moneyIcon_ = Make<room::CoinMark>();
    moneyIcon_->Create(kBarX + 20, kBarY + 30, 21, 18);
    moneyLabel_ = moneyIcon_->AddLabel(24, 0, 80, 20, gui::kFont12Bold);
    moneyLabel_->SetId(control::kMoneyLabel);
    moneyLabel_->SetColors(colour::kYellow, kShadow);
    handicapLabel_ = BarLabel(*this, control::kHandicapRange, 120, 30, 100, colour::kWhite);
    halfGameLabel_ = BarLabel(*this, control::kHalfGame, 261, 30, 100, colour::kYellow);
    halfGameLabel_->SetPlainText(u"Half game");
    halfGameLabel_->Show(false);

    // The corner buttons beside the shared three (to lobby, settings, help).
    AddCornerButton(*this, control::kMyInfo, -134, platform::kVkF1 + 3, u"I", u"MyInfo(F4)");
    messengerButton_ =
        AddCornerButton(*this, control::kMessenger, -167, platform::kVkF1 + 7, u"M", u"Messanger(F8)");
    AddCornerButton(*this, control::kRoomSetting, -200, 0, u"R", u"Room setting");
    // The invite list opens from the corner too, left of the room's settings.
    AddCornerButton(*this, join_msg::kInviteControl, -233, 0, u"+", u"Invite");

    // Join, shown only while the own player may join the running game.
    const int width = Width(), height = Height();
    joinButton_ = AddButton(width - 300, height - 40, 86, 20, control::kJoin, 0,
                            gui::atlas::InSet(gui::atlas::kTextButton, 15));
    joinButton_->SetFrameCount(gui::atlas::kTextButtonFrames);
    joinButton_->SetCaption(u"Join");
    AnchorByEdges(*joinButton_, gui::AnchorH::Right, -208, gui::AnchorV::Bottom, -23);
    joinButton_->Show(false);

    startPrompt_ = Prompt(*this, control::kStartPrompt, u"Start please~");
    AnchorByEdges(*startPrompt_, gui::AnchorH::Right, kPromptRight, gui::AnchorV::Bottom, kPromptTop);
    readyPrompt_ = Prompt(*this, control::kReadyPrompt, u"Ready please~");
    AnchorByEdges(*readyPrompt_, gui::AnchorH::Right, kPromptRight, gui::AnchorV::Bottom, kPromptTop);

    // The chat area along the bottom left: the mute toggle and the scroll bar at the left of the eight
    // lines, the input under them. Placed from the bottom edge, so a taller window keeps them there.
    for (std::size_t i = 0; i < overlay_.size(); ++i) {
        gui::TextLabel* line = overlay_[i];
        gui::ImageWidget* row = overlayRows_[i];
        if (!line || !row) continue;
        const int top = kChatLineTop + static_cast<int>(i) * kChatRowStep;
        line->SetRect(kChatLineX, height + top, kChatLineW, kChatRowStep);
        AnchorByEdges(*line, gui::AnchorH::None, 0, gui::AnchorV::Bottom, top);
        // The row's strip starts 20 pixels left of the text and 12 above it.
        row->MoveTo(kChatLineX - kChatRowTextX, height + top - kChatRowTextY);
        AnchorByEdges(*row, gui::AnchorH::None, 0, gui::AnchorV::Bottom, top - kChatRowTextY);
    }
    if (chatEdit_) {
        chatEdit_->SetRect(kChatEditX, height + kChatEditTop, kChatEditW, kChatEditH);
        AnchorByEdges(*chatEdit_, gui::AnchorH::None, 0, gui::AnchorV::Bottom, kChatEditTop);
    }
    gui::Button* mute = AddButton(4, height + kChatPanelTop - 4, 18, 14, control::kMuteChat, 0,
                                  gui::atlas::InSet(gui::atlas::kRadioButton, 15));
    AnchorByEdges(*mute, gui::AnchorH::None, 0, gui::AnchorV::Bottom, kChatPanelTop - 4);
    mute->SetTooltip(u"Mute chat sound");
    chatScroll_ = Make<gui::ScrollBar>();
    chatScroll_->Create(8, height + kChatPanelTop + 10, 13, kChatScrollH, control::kChatScroll,
                        gui::Orientation::Vertical, 1);
    AnchorByEdges(*chatScroll_, gui::AnchorH::None, 0, gui::AnchorV::Bottom, kChatPanelTop + 10);
    chatScroll_->AddDecButton(gui::atlas::InSet(gui::atlas::kArrowUp, 15))->SetHotkey(platform::kVkUp);
    chatScroll_->AddIncButton(gui::atlas::InSet(gui::atlas::kArrowDown, 15))->SetHotkey(platform::kVkDown);
    chatScroll_->AddThumb(gui::atlas::InSet(gui::atlas::kThumbVertical, 15));
    chatScroll_->Show(true);

    centreLabel_ = AddLabel((width - kCentreW) / 2, (height - kCentreH) / 2, kCentreW, kCentreH,
                            gui::kFont16Bold, 0, gui::align::kCenter | gui::align::kVCenter);
    centreLabel_->SetId(control::kCentreAmount);
    centreLabel_->SetColors(colour::kYellow, kShadow);
    centreLabel_->SetAnchor(gui::AnchorH::Center, 0, gui::AnchorV::Center, 0);
    centreLabel_->Show(false);

    chalkGauge_ = Make<hud::ChalkGauge>(Host(), &Record(), Id());
    chalkGauge_->Create(0, 0);
    // At the screen's left edge, not 4 pixels past it: the bold "No Chalk" fills the gauge's width.
    AnchorByEdges(*chalkGauge_, gui::AnchorH::Left, 0, gui::AnchorV::Bottom, -300);

    keyGuide_ = AddKeyGuide(*this, false, true);
    keyGuide_->SetId(info_panel::kControl);
    keyGuide_->Show(false);
    roomOptions_ = Hidden<RoomOptionDialog>(*this, Host());
    requestDialog_ = Hidden<gui::GameRequestDialog>(*this);
    answerDialog_ = Hidden<gui::GameRequestAnswerDialog>(*this);
    waitNotice_ = Hidden<gui::WaitResponseNotice>(*this);
    withdrawDialog_ = Hidden<gui::WithdrawDialog>(*this);
    reportDialog_ = Hidden<gui::ReportBadDialog>(*this);
    goldDialog_ = Hidden<gui::NotEnoughGoldDialog>(*this);
}

void SceneRoomGame::SendRoomOptions() {
    if (!roomOptions_) return;
    const net::RoomInfo next = roomOptions_->Room();
    const net::RoomInfo current = RoomCopy();
    if (gameRunning_.load() && (next.gameType != current.gameType || next.option1 != current.option1)) {
        if (Host()) Host()->ShowError(this, u"Game option cannot be changed after the game starts.");
        return;
    }
    const WString password = roomOptions_->Password();
    SendMessage(RoomMsg::RoomOptionsOut, [&](net::Packet& p) {
        p.WriteString(next.title)
            .WriteU16(next.tableItem)
            .WriteU16(next.ballSetItem)
            .WriteU8(next.maxPlayers);
        p.WriteString(next.secondText).WriteU8(next.gameType).WriteU8(next.option1).WriteU8(next.inningTime);
        p.WriteU8(next.gameOption).WriteU8(password.empty() ? 0 : 1);
        if (!password.empty()) p.WriteString(password);
        p.WriteU16(next.requirementLow).WriteU16(next.requirementHigh);
    });
}

bool SceneRoomGame::CheckJoinGold() {
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    if (!session) return true;
    const net::RoomInfo info = RoomCopy();
    const std::int64_t shortfall = info.RequiredGold(session->own.money, channelType_.load());
    if (shortfall <= 0) return true;
    if (goldDialog_) {
        goldDialog_->SetShortfall(info.gameType, shortfall);
        goldDialog_->Open();
    }
    return false;
}

void SceneRoomGame::WriteRoomLines(const net::RoomInfo& info) {
    const WString rule = PointRuleText(info.gameType, PointRuleOption(info));
    if (!rule.empty()) AddChatLine(Format(u"◆ Game option - %s", rule), colour::kWhite);
    if (info.seedMoney > 0)
        AddChatLine(Format(u"◆ Seed money - %s", FormatNumber(info.seedMoney)), colour::kWhite);
    if (IsHalfGame(info)) AddChatLine(u"◆ Half Game. (half of all players handi.)", colour::kWhite);
}

void SceneRoomGame::TellPointRuleChange(int gameType, int before, int after) {
    if (!roomStateRead_.load() || before == after) return;
    const WString rule = PointRuleText(gameType, after);
    if (!rule.empty()) AddChatLine(Format(u"◆ Game option changed - %s", rule), colour::kWhite);
}

void SceneRoomGame::ApplyOptions() {
    TableScene::ApplyOptions();
    const gui::FontDesc& font = CurrentOptions().chatFontSize != 0 ? gui::kFont14 : gui::kFont12;
    for (gui::TextLabel* label : overlay_)
        if (label) label->SetFont(font);
}

void SceneRoomGame::RunOnMainThread(std::function<void()> work) {
    platform::ScopedLock lock(chatLock_);
    mainThreadWork_.push_back(std::move(work));
}

void SceneRoomGame::RefreshRoomScreen(std::uint64_t nowMs) {
    std::vector<std::function<void()>> work;
    {
        platform::ScopedLock lock(chatLock_);
        work.swap(mainThreadWork_);
    }
    for (auto& w : work) w();
    if (hideWaitNotice_.exchange(false) && waitNotice_) waitNotice_->Show(false);
    if (!roomNumber_) return;

    const net::RoomInfo info = RoomCopy();
    const std::uint16_t channel = channelType_.load();
    roomNumber_->SetValue(info.number);
    gameKindLabel_->SetPlainText(WString(gui::GameTypeName(info.gameType)));
    titleLabel_->SetPlainText(info.title);
    playerCountLabel_->SetText(u"(%d/%d)", static_cast<int>(info.playerCount),
                               static_cast<int>(info.maxPlayers));
    lockIcon_->Show(info.hasPassword != 0);
    FitRoomLine(*gameKindLabel_, *titleLabel_, *playerCountLabel_, *lockIcon_, kBarX + 46, kBarX + 96,
                kBarX + 334, kBarX + 372);
    const WString money = MoneyLabelText(info, channel);
    moneyIcon_->Show(!money.empty());
    moneyLabel_->SetPlainText(money);
    handicapLabel_->Show(ShowsHandicapRange(info.gameType));
    handicapLabel_->SetPlainText(HandicapRangeText(static_cast<std::int16_t>(info.requirementLow),
                                                   static_cast<std::int16_t>(info.requirementHigh)));
    halfGameLabel_->Show(info.IsBit3OptionOn());

    const bool join = JoinAllowed();
    if (join && !joinButton_->IsVisible()) platform::Journal::Write("BUTTON Join");
    joinButton_->Show(join);
    UpdateStartPrompt();
    // The chat scroll bar follows the first shown line.
    std::size_t lines = 0, firstShown = 1;
    {
        platform::ScopedLock lock(chatLock_);
        lines = chat_.size();
        firstShown = firstShown_;
    }
    const int range = std::max(1, static_cast<int>(lines) - static_cast<int>(kOverlayLines) + 1);
    chatScroll_->SetRange(range);
    chatScroll_->SetPos(static_cast<int>(firstShown), false);

    // A pending friend request blinks: full for a second, faint for the next.
    if (friendBar_ && friendBar_->IsVisible()) friendBar_->SetAlpha(nowMs % 2000 < 1000 ? 1.0f : 0.3f);

    const std::uint32_t centre = centreAmount_.load();
    const bool centreOn = centre != 0 && platform::ElapsedMs(centreShownMs_.load(), nowMs) < kCentreAmountMs;
    if (centreOn) centreLabel_->SetPlainText(FormatNumber(centre));
    centreLabel_->Show(centreOn);
}

bool SceneRoomGame::JoinAllowed() {
    if (watchOnly_.load() || !gameRunning_.load()) return false;
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    const net::RoomInfo info = RoomCopy();
    const std::uint16_t channel = channelType_.load();
    // Bet rooms (type 6) let a watcher in like the fee rooms, paying the bet again.
    if (channel == kTournamentChannel || !(info.IsCushionGamble() || info.gameType == 6)) return false;
    if (session && session->ownPlaying != 0) return false;
    {
        platform::ScopedLock lock(seatLock_);
        platform::ScopedLock roomLock(game_.lock);
        if (game_.ruleStage == 6) return false;
    }
    const std::int64_t money = session ? session->own.money : 0;
    return info.RequiredGold(money, channel) == 0;
}

bool SceneRoomGame::StartPossible() {
    if (ownSeat_.load() != masterSeat_.load() || gameRunning_.load() || watchOnly_.load() || !Online())
        return false;
    platform::ScopedLock lock(seatLock_);
    platform::ScopedLock roomLock(game_.lock);
    return game_.LineUpValid() && game_.AllReady();
}

void SceneRoomGame::UpdateStartPrompt() {
    const bool possible = StartPossible();
    if (startPrompt_) startPrompt_->Show(possible);
    if (startReady_ && startReady_->OwnMaster()) startReady_->SetStartEnabled(possible);
}

bool SceneRoomGame::CheckChannelLevel() {
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    if (!session) return true;
    const int channel = channelType_.load();
    const int level = session->own.level;
    if (level <= ChannelLevelLimit(channel)) return true;
    Host()->ShowNotice(this, Format(u"You have reached level %d,", level),
                       Format(u"and must now play in the %s Channel.", ChannelName(channel)),
                       u"You may no longer play games in this Channel.");
    return false;
}

void SceneRoomGame::BobStartPrompt(std::uint64_t nowMs) {
    if (!startPrompt_ || !startPrompt_->IsVisible() || ownSeat_.load() != masterSeat_.load()) return;
    startPrompt_->MoveBy(0, nowMs % kBobPeriodMs < kBobPeriodMs / 2 ? 1 : -1);
}

void SceneRoomGame::ShowKeyGuide(bool on) {
    keyGuideOn_ = on;
    if (keyGuide_) keyGuide_->Show(on);
}

bool SceneRoomGame::OnRoomScreenCommand(const gui::CommandEvent& event) {
    if (event.code != gui::CommandCode::Event) return false;
    switch (event.id) {
        case control::kMuteChat:
            chatSound_ = !chatSound_.load();
            return true;
        case control::kChatScroll:
            ScrollChatTo(static_cast<std::size_t>(std::max(1, event.value)));
            return true;
        default:
            return false;
    }
}

bool SceneRoomGame::HandlePopupCommand(std::uint32_t code, std::uintptr_t a, std::intptr_t b) {
    switch (code) {
        case app_code::kSendRoomOptions:
            SendRoomOptions();
            return true;
        case front_message::kRoomOptionsOk:
            if (a == front_button::kOk) SendRoomOptions();
            return true;
        case app_code::kOpponentRequestAnswer: {
            const std::uint8_t kind = static_cast<std::uint8_t>(b);
            if (kind != 1 && kind != 2) return true;
            const std::uint8_t accepted = a == gui::button_id::kYes ? 1 : 0;
            SendMessage(RoomMsg::RequestAnswerOut,
                        [&](net::Packet& p) { p.WriteU8(accepted).WriteU8(kind); });
            return true;
        }
        default:
            return false;
    }
}

}  // namespace scenes
