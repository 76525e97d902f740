#include "scenes/room/hud/PlayerMenu.h"

#include <algorithm>

#include "engine/core/Format.h"
#include "gui/Button.h"
#include "gui/Dialog.h"
#include "gui/NumberDisplay.h"
#include "gui/PlayerInfoWindows.h"
#include "gui/TextLabel.h"
#include "net/GameRoom.h"
#include "net/GameSession.h"
#include "net/Packet.h"
#include "net/RoomInfo.h"
#include "scenes/base/SceneHost.h"
#include "scenes/front/Messenger.h"
#include "scenes/room/hud/HudImages.h"
#include "scenes/room/hud/HudMarks.h"
#include "scenes/room/hud/RoomWidgetCodes.h"

namespace scenes::hud {

namespace {

constexpr std::uint8_t kProfileOfPlayer = 255;
constexpr int kListRight = 160, kListBottom = 168, kFirstRowY = 64;
constexpr std::uint32_t kWatcherGrey = 0xFFB0B0B0;
constexpr std::uint32_t kLightRed = 0xFFFF8080;
constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kGreen = 0xFF00FF00;
constexpr int kTeamImageStep = 94;
constexpr int kPortraitRing = 47;  // just round the 37 x 37 portrait
constexpr int kSixBallHiddenFrom = 190;
constexpr int kClanGradeToInvite = 9;
// The row's lines of text, and its marks over the portrait (5, 5, 37 x 37).
constexpr int kTextLeft = 50, kNameWidth = 100, kLineHeight = 16;
constexpr int kNameTop = 0, kMoneyTop = 16, kScoreTop = 31;
constexpr int kCrownLeft = 1, kCrownTop = 1, kReadyLeft = 1, kReadyTop = 28;

namespace game_type {
constexpr int kGambleA = 2, kThreeCushion = 4, kGambleB = 5, kSixBalls = 6, kEightBall = 10, kNineBall = 12,
              kSnooker = 16;
}

enum MenuItem : int { kViewInfo, kAskFriend, kKickUser, kCutChat, kInviteClan, kReportBad };

constexpr gui::UiImage Flat(int w, int h, int x = 0, int y = 0) {
    return {images::kFlatSet, x, y, w, h};
}
constexpr gui::UiImage kRowButton = Flat(154, 47);
constexpr gui::UiImage kMenuButton = images::kButton;

// Pictures over the rows only decorate: the clicks go to the row beneath.
gui::ImageWidget* Decor(gui::ImageWidget* image) {
    image->SetHitArea(0, 0, 0, 0);
    return image;
}

bool IsGamble(int type) {
    return type == game_type::kGambleA || type == game_type::kGambleB;
}

std::uint32_t Grey(double level) {
    const auto v = static_cast<std::uint32_t>(std::clamp(level, 0.0, 255.0));
    return 0xFF000000u | (v << 16) | (v << 8) | v;
}

std::uint32_t Red(double level) {
    const auto v = static_cast<std::uint32_t>(std::clamp(level, 0.0, 255.0));
    return 0xFF000000u | (v << 16);
}

}  // namespace

PlayerMenu::PlayerMenu(SceneHost* host) : host_(host) {
    popupSteps_.fill(kPopupIdle);
    send = [this](std::uint16_t id, const std::function<void(net::Packet&)>& fill) {
        net::GameSession* session = host_ ? host_->CurrentSession() : nullptr;
        if (!session) return;
        net::PooledPacket packet = session->NewPacket(id);
        if (!packet) return;
        fill(*packet);
        packet->Finish();
        session->Send(*packet);
    };
    askQuestion = [this](const net::PlayerRecord& record, int kind) {
        if (auto* messenger = dynamic_cast<Messenger*>(host_ ? host_->GetMessenger() : nullptr))
            messenger->ShowQuestion(record, kind);
    };
}

PlayerMenu::~PlayerMenu() = default;

bool PlayerMenu::Create(int x, int y, int w, int h, std::uint32_t id, std::uint32_t hotkey) {
    gui::ImageWidget::Create(x, y, w, h, id, hotkey);
    AddImage(0, 30, 126, 36, images::kPanel);
    headerNumber_ = Make<gui::NumberDisplay>();
    headerNumber_->Create(97, 10, 14, 14, 6, gui::atlas::InSet(gui::atlas::kDigits, images::kHudSet),
                          gui::atlas::kDigitCells);
    headerNumber_->SetAlign(gui::align::kRight);
    headerNumber_->Show(true);
    headerLabel_ = AddLabel(55, 23, 64, 16, gui::kFont12);
    headerLabel_->SetColors(kRed, colour::kBlack);
    for (int i = 0; i < kRows; ++i) {
        Row& row = rows_[static_cast<std::size_t>(i)];
        row.button =
            AddButton(0, kFirstRowY + kRowHeight * i, 154, 47, room_control::kFirstRow + i, 0, kRowButton);
        row.button->SetFrameCount(2);
        row.button->SetReportHover(true);
        gui::Button& b = *row.button;
        row.portrait = Decor(b.AddImage(5, 5, 37, 37, Flat(37, 37)));
        // Three lines of text in the 47 pixels of the row, each inside it.
        row.name = b.AddLabel(kTextLeft, kNameTop, kNameWidth, kLineHeight, gui::kFont12);
        row.name->SetColors(colour::kYellow, colour::kBlack);
        row.name->SetStyle(gui::label_style::kShadow);
        row.levelIcon = Decor(b.AddImage(50, -2, 22, 22, Flat(22, 22)));
        row.levelIcon->Show(false);
        row.score = b.AddLabel(44, kScoreTop, 94, kLineHeight, gui::kFont12);
        row.status = b.AddLabel(44, kScoreTop, 60, kLineHeight, gui::kFont12);
        row.status->SetFormat(gui::align::kRight | gui::align::kVCenter, 0, 0);
        row.money = b.AddLabel(70, kMoneyTop, 80, kLineHeight - 1, gui::kFont12);
        row.spare = b.AddLabel(100, 23, 80, 20, gui::kFont12);
        row.spare->SetColors(kLightRed, colour::kBlack);
        row.spare->Show(false);
        row.sixBall = Decor(b.AddImage(164, 22, 16, 22, Flat(16, 22)));
        row.sixBallCount = row.sixBall->AddLabel(0, 0, 16, 22, gui::kFont12);
        row.sixBallCount->SetFormat(gui::align::kCenter | gui::align::kVCenter, 0, 0);
        row.sixBall->Show(false);
        row.badge1 = Decor(b.AddImage(-22, 0, 27, 21, Flat(27, 21)));
        row.badge2 = Decor(b.AddImage(-22, 22, 27, 21, Flat(27, 21)));
        row.badge1->Show(false);
        row.badge2->Show(false);
        // Over the foot of the portrait, inside the row.
        row.ready = Decor(b.Make<SignMark>(u"Ready", kGreen));
        row.ready->Create(kReadyLeft, kReadyTop, 45, 16);
        row.ready->SetImage(Flat(45, 16));
        row.ready->Show(false);
        row.mark = Decor(b.AddImage(-30, 2, 22, 29, Flat(22, 29)));
        row.mark->Show(false);
        row.scorePopup = Decor(b.AddImage(-60, 20, 95, 22, Flat(95, 22)));
        row.scorePopupLabel = row.scorePopup->AddLabel(25, 2, 60, 18, gui::kFont12Bold);
        row.scorePopupLabel->SetColors(colour::kYellow, colour::kBlack);
        row.scorePopup->Show(false);
        row.clanPopup = Decor(b.AddImage(68, 26, 114, 27, Flat(114, 27)));
        row.clanPopupLabel = row.clanPopup->AddLabel(25, 8, 80, 17, gui::kFont12);
        row.clanPopupLabel->SetColors(colour::kCyan, colour::kBlack);
        row.clanPopup->Show(false);
        row.button->Show(false);
    }
    matchLabel_ = AddLabel(20, 0, 180, 20, gui::kFont12);
    matchLabel_->SetColors(kGreen, colour::kBlack);
    matchLabel_->Show(false);
    potLabel_ = AddLabel(82, 45, 90, 20, gui::kFont12);
    potLabel_->SetColors(colour::kYellow, colour::kBlack);
    potLabel_->Show(false);
    // Over the top corner of the master's portrait, inside the row.
    crown_ = Decor(Make<SignMark>(u"\u265B", colour::kYellow, gui::kFont14Bold));
    crown_->Create(kCrownLeft, kFirstRowY + kCrownTop, 20, 18);
    crown_->SetImage(Flat(20, 18));
    crown_->Show(false);
    shooterMarker_ = Make<RingMark>(kPortraitRing, kPortraitRing);
    shooterMarker_->Create(-42, -22, 99, 99);
    shooterMarker_->SetImage(Flat(99, 99));
    Decor(shooterMarker_);
    shooterMarker_->Show(false);

    menu_ = Make<gui::Dialog>();
    menu_->Create(0, 0, 80, 120);
    menu_->SetPopupStyle(true);
    menu_->SetVisible(false);
    static constexpr const char16_t* kCaptions[kMenuItems] = {u"View Info", u"Ask Friend",  u"Kick User",
                                                              u"Cut Chat",  u"Invite Clan", u"Report bad"};
    for (int k = 0; k < kMenuItems; ++k) {
        gui::Button* item =
            menu_->AddButton(0, 20 * k, 80, 20, room_control::kFirstMenuItem + k, 0, kMenuButton);
        item->SetFrameCount(gui::atlas::kTextButtonFrames);
        item->SetCaption(kCaptions[k]);
        item->SetCaptionColour(colour::kBlack);
        menuItems_[static_cast<std::size_t>(k)] = item;
    }
    return true;
}

void PlayerMenu::Attach(const net::RoomInfo* roomInfo, net::GameRoom* gameRoom) {
    roomInfo_ = roomInfo;
    gameRoom_ = gameRoom;
    for (Row& row : rows_)
        if (row.scorePopup) row.scorePopup->Show(false);
    popupSteps_.fill(kPopupIdle);
}

void PlayerMenu::Reset() {
    rowCount_ = 0;
    master_ = nullptr;
    running_ = false;
    records_.fill(nullptr);
}

void PlayerMenu::SetRoomMaster(const net::PlayerRecord* master, bool isLocalMaster) {
    master_ = master;
    localMaster_ = isLocalMaster;
    crown_->Show(true);
}

void PlayerMenu::CloseMenu() {
    menu_->Show(false);
}

void PlayerMenu::OnGameStart() {
    CloseMenu();
    running_ = true;
    MoveBy(0, kRunningShift);
    for (Row& row : rows_) row.ready->Show(false);
    shooterMarker_->Show(true);
    matchLabel_->Show(false);
}

void PlayerMenu::OnGameEnd() {
    CloseMenu();
    running_ = false;
    MoveBy(0, -kRunningShift);
    shooterMarker_->Show(false);
    for (Row& row : rows_) row.sixBall->Show(false);
}

int PlayerMenu::ClientWidth() const {
    return host_ ? host_->ClientWidth() : gui::GetGuiState().screenWidth;
}

int PlayerMenu::ClientHeight() const {
    return host_ ? host_->ClientHeight() : gui::GetGuiState().screenHeight;
}

void PlayerMenu::HideShooterMarker() {
    shooterMarker_->Show(false);
    MoveTo(ClientWidth() - kListRight, ClientHeight() - kRowHeight * rowCount_ - kListBottom);
}

void PlayerMenu::Layout() {
    MoveTo(ClientWidth() - kListRight,
           ClientHeight() - kRowHeight * rowCount_ + (running_ ? kRunningShift : 0) - kListBottom);
}

void PlayerMenu::SetPot(std::int32_t value) {
    pot_ = value;
    potLabel_->SetPlainText(FormatNumber(value));
}

void PlayerMenu::SetHeader(std::int64_t number, std::int64_t money) {
    headerNumber_->SetValue(number);
    headerLabel_->SetPlainText(FormatNumber(money));
}

void PlayerMenu::ShowScorePopup(const net::PlayerRecord* record, int value) {
    if (!record) return;
    for (int i = 0; i < kRows; ++i) {
        if (records_[static_cast<std::size_t>(i)] != record) continue;
        Row& row = rows_[static_cast<std::size_t>(i)];
        row.scorePopup->MoveTo(-60, 20);
        row.scorePopupLabel->SetText(u"%d", value);
        popupSteps_[static_cast<std::size_t>(i)] = 0;
        row.scorePopup->Show(true);
        return;
    }
}

const net::PlayerRecord* PlayerMenu::LocalRecord() const {
    net::GameSession* session = host_ ? host_->CurrentSession() : nullptr;
    return session ? &session->own : nullptr;
}

bool PlayerMenu::IsLocal(const net::PlayerRecord* record) const {
    const net::PlayerRecord* local = LocalRecord();
    return record && local && record->playerId == local->playerId;
}

void PlayerMenu::RefreshWithOrder(net::GameRoom& gameRoom, bool reorder, std::uint32_t seed) {
    if (reorder) gameRoom.RollTurnOrder(seed);
    Refresh(gameRoom);
}

void PlayerMenu::Refresh(net::GameRoom& gameRoom) {
    records_.fill(nullptr);
    // The teams in slot order, then the players who watch (team number 0); never more than the rows.
    struct Listed {
        const net::PlayerRecord* record;
        int team;  // index into the teams, -1 watching
        int member;
    };
    std::array<Listed, kRows> listed{};
    int count = 0;
    int ownTeam = -1;
    const net::PlayerRecord* local = LocalRecord();
    for (int t = 0; t < net::kMaxTeams && count < kRows; ++t) {
        const net::RoomTeam& team = gameRoom.teams[static_cast<std::size_t>(t)];
        if (team.teamNumber == 0 || team.memberCount == 0) continue;
        const int members = std::min<int>(team.memberCount, net::kMaxSeats);
        for (int m = 0; m < members && count < kRows; ++m) {
            const net::PlayerRecord* record = team.members[static_cast<std::size_t>(m)];
            if (!record) continue;
            if (local && record->playerId == local->playerId) ownTeam = t;
            listed[static_cast<std::size_t>(count++)] = {record, t, m};
        }
    }
    for (int seat = 0; seat < net::kMaxSeats && count < kRows; ++seat) {
        const net::PlayerRecord* record = gameRoom.SeatRecord(seat);
        if (record && gameRoom.TeamIndexOfSeat(seat) < 0)
            listed[static_cast<std::size_t>(count++)] = {record, -1, 0};
    }
    rowCount_ = static_cast<std::int8_t>(count);
    Layout();
    for (int i = 0; i < kRows; ++i) rows_[static_cast<std::size_t>(i)].button->Show(i < count);
    for (int i = 0; i < count; ++i) {
        const Listed& l = listed[static_cast<std::size_t>(i)];
        const int number = l.team >= 0 ? gameRoom.teams[static_cast<std::size_t>(l.team)].teamNumber : 0;
        FillRow(i, *l.record, gameRoom, l.team, l.member, number, l.team >= 0 && l.team == ownTeam);
    }
    // A menu is never left open on a player who has gone.
    if (!FindListed(selectedId_)) CloseMenu();
    // The shooter's marker stands at his row: until the room names a listed shooter (a player who
    // joins a running game waits for its next turn) it would stand at the list's corner.
    const net::PlayerRecord* shooter = gameRoom.CurrentShooter();
    shooterMarker_->Show(running_ && shooter &&
                         std::find(records_.begin(), records_.end(), shooter) != records_.end());
    // Only the master the server named wears the crown: none while his seat is empty (he left, the
    // room closes) rather than the crown left over the row now at its place.
    const auto listedEnd = records_.begin() + rowCount_;
    crown_->Show(master_ && std::find(records_.begin(), listedEnd, master_) != listedEnd);

    // Before a game: the line-up of the teams and whether it makes a match.
    int teams = 0;
    WString lineUp;
    for (const net::RoomTeam& team : gameRoom.teams) {
        if (team.teamNumber == 0 || team.memberCount == 0) continue;
        lineUp += Format(teams == 0 ? u"%d" : u":%d", static_cast<int>(team.memberCount));
        ++teams;
    }
    if (!running_ && teams > 1) {
        matchLabel_->SetPlainText(lineUp + (gameRoom.LineUpValid() ? u" Match avail" : u" Match not avail"));
        matchLabel_->Show(true);
    } else {
        matchLabel_->Show(false);
    }
    const int type = roomInfo_ ? roomInfo_->gameType : gameRoom.gameType;
    const bool openNonGamble = roomInfo_ ? roomInfo_->IsOpenNonGamble() : true;
    const bool potShown =
        (running_ && (IsGamble(type) || type == game_type::kSixBalls)) || (!openNonGamble && pot_ > 0);
    potLabel_->SetPlainText(FormatNumber(pot_));
    potLabel_->Show(potShown);
}

void PlayerMenu::FillRow(int i, const net::PlayerRecord& r, const net::GameRoom& gameRoom, int team,
                         int member, int number, bool ownTeam) {
    Row& row = rows_[static_cast<std::size_t>(i)];
    records_[static_cast<std::size_t>(i)] = &r;
    const net::RoomTeam* t = team >= 0 ? &gameRoom.teams[static_cast<std::size_t>(team)] : nullptr;
    if (running_ && gameRoom.CurrentShooter() == &r) shooterMarker_->MoveTo(-28, kRowHeight * i + 38);
    row.button->SetSourceRect(kRowButton.x, kRowButton.y + kTeamImageStep * number, kRowButton.w,
                              kRowButton.h);

    const std::uint32_t base = number == 0 ? kWatcherGrey : colour::kWhite;
    if (r.warningPercent > 0) {
        const double f = std::min(r.warningPercent / 100.0, 1.0);
        row.name->SetColors(Grey((1.0 - f) * 255.0), Red(f * 255.0));
    } else {
        row.name->SetColors(base, colour::kBlack);
    }
    row.badge1->Show(static_cast<std::int8_t>(r.badge1) > 0);
    row.badge2->Show(r.badge2 >= 3);
    row.money->SetPlainText(FormatNumber(r.money));
    row.name->SetFittedText(Format(u"%s(%d)", r.nickname, static_cast<int>(r.level)));
    row.portrait->SetSourceRect(0, 37 * r.portrait, 37, 37);
    // Level 0 has no cell of its own: it takes the first.
    row.levelIcon->SetSourceRect(22 * std::max(0, r.level - 1), 0, 22, 22);
    if (r.clanId != 0) row.clanPopupLabel->SetPlainText(r.clanName);
    row.score->SetColors(base, colour::kBlack);
    if (r.mark == 0) {
        row.mark->Show(false);
    } else {
        row.mark->SetSourceRect(r.mark == 1 ? 0 : 22, 0, 22, 29);
        row.mark->Show(true);
    }

    const int type = roomInfo_ ? roomInfo_->gameType : gameRoom.gameType;
    const bool playing = running_ && number != 0 && t;
    const int s = playing ? static_cast<int>(t->score) : 0;
    const int g = t ? t->goal : 0;
    if ((type == game_type::kEightBall || type == game_type::kNineBall) && playing && member == 0) {
        if (type == game_type::kNineBall) {
            row.status->SetPlainText(u"Lowest");
        } else {
            // The open table shows no group; a status no group has reads as unknown.
            switch (static_cast<net::TeamStatus>(t->GetStatus())) {
                case net::TeamStatus::Open:
                    row.status->SetPlainText(u" ");
                    break;
                case net::TeamStatus::Solids:
                    row.status->SetPlainText(u"SOLID");
                    break;
                case net::TeamStatus::Stripes:
                    row.status->SetPlainText(u"STRIPE");
                    break;
                case net::TeamStatus::EightBall:
                    row.status->SetPlainText(u"8-BALL");
                    break;
                default:
                    row.status->SetPlainText(u"?");
                    break;
            }
        }
    } else {
        row.status->SetPlainText(u" ");
    }

    if (type == game_type::kThreeCushion) {
        if (playing)
            row.score->SetText(u"(%2d/%2d)", (g - s) / 10, g / 10);
        else
            row.score->SetText(u"GA:%1.2f", static_cast<double>(r.generalAverage) / 100.0);
    } else if (IsGamble(type)) {
        if (playing)
            row.score->SetText(s > 0 ? u"+%s" : u"%s", FormatNumber(s));
        else
            row.score->SetText(u"%s", FormatNumber(r.money));
    } else if (type == game_type::kSnooker) {
        if (playing)
            row.score->SetText(u"%3d pts", s);
        else
            row.score->SetPlainText(u" ");
    } else if (type == game_type::kEightBall || type == game_type::kNineBall) {
        row.score->SetPlainText(u" ");
    } else if (playing) {
        if (member > 0) {
            row.score->SetPlainText(u" ");
        } else {
            const int first = t->finishingShots[0], second = t->finishingShots[1];
            if (s == 0 && first == 0 && second > 0)
                row.score->SetText(u"(%dB/%3d)", second, g);
            else if (s == 0 && first > 0)
                row.score->SetText(u"(%dC/%3d)", first, g);
            else
                row.score->SetText(u"(%3d/%3d)", s, g);
        }
    } else {
        row.score->SetText(u"(%3d/%3d)", 0,
                           static_cast<int>(r.handicap[static_cast<std::size_t>(type) % r.handicap.size()]));
    }

    if (type == game_type::kSixBalls && playing) {
        const bool hidden = s > kSixBallHiddenFrom;
        if (ownTeam && !hidden)
            row.sixBallCount->SetText(u"%d", static_cast<int>(static_cast<std::int8_t>(t->hiddenNumber)));
        else
            row.sixBallCount->SetPlainText(u"?");
        row.sixBallCount->SetColors(hidden ? colour::kBlack : colour::kYellow,
                                    hidden ? colour::kWhite : colour::kBlack);
        row.sixBall->Show(true);
    } else {
        row.sixBall->Show(false);
    }

    if (master_ && master_ == &r) {
        row.ready->Show(false);
        crown_->MoveTo(kCrownLeft, kFirstRowY + kRowHeight * i + kCrownTop);
    } else {
        // The marks say who is ready to start; a game under way has started with them.
        row.ready->Show(!running_ && r.game.ready != 0);
    }
}

const net::PlayerRecord* PlayerMenu::FindListed(std::uint64_t playerId) const {
    for (int i = 0; i < rowCount_; ++i)
        if (const net::PlayerRecord* r = records_[static_cast<std::size_t>(i)]; r && r->playerId == playerId)
            return r;
    return nullptr;
}

void PlayerMenu::Tick(std::uint64_t nowMs) {
    gui::ImageWidget::Tick(nowMs);
    if (++tickCount_ % 4 != 0) return;
    const double t = static_cast<double>(nowMs % 1500);
    const double a = t < 500 ? (t + 1000) / 1500 : (2000 - t) / 1500;
    shooterMarker_->SetAlpha(static_cast<float>(std::max(0.3, a)));
    for (int i = 0; i < kRows; ++i) {
        int& step = popupSteps_[static_cast<std::size_t>(i)];
        if (step >= 31) continue;
        Row& row = rows_[static_cast<std::size_t>(i)];
        if (step < 10) row.scorePopup->MoveTo(-(59 + 4 * step), 20);
        ++step;
        if (step == 30) row.scorePopup->Show(false);
    }
}

bool PlayerMenu::OnCommand(const gui::CommandEvent& event) {
    const std::uint32_t firstRow = room_control::kFirstRow, firstItem = room_control::kFirstMenuItem;
    if (event.id >= firstRow && event.id < firstRow + kRows) {
        const int i = static_cast<int>(event.id - firstRow);
        const net::PlayerRecord* r = records_[static_cast<std::size_t>(i)];
        Row& row = rows_[static_cast<std::size_t>(i)];
        if (event.code == gui::CommandCode::MouseEnter) {
            if (r && r->clanId != 0) row.clanPopup->Show(true);
            return true;
        }
        if (event.code == gui::CommandCode::MouseLeave) {
            row.clanPopup->Show(false);
            return true;
        }
        if (!r) return true;
        selectedId_ = r->playerId;
        selectedName_ = r->nickname;
        menuPlayer_.playerId = selectedId_;
        menuPlayer_.nickname = selectedName_;
        const net::PlayerRecord* local = LocalRecord();
        const bool own = IsLocal(r);
        for (int k : {kAskFriend, kKickUser, kCutChat})
            menuItems_[static_cast<std::size_t>(k)]->SetEnabled(!own);
        menuItems_[kInviteClan]->SetEnabled(!own && local && local->clanId != 0 &&
                                            local->clanGrade >= kClanGradeToInvite);
        // At the click point, kept on the screen: a row near the corner would put items past its edge.
        const gui::GuiState& state = gui::GetGuiState();
        const int x = std::clamp(state.mouseX, 0, std::max(0, ClientWidth() - menu_->Width()));
        const int y = std::clamp(state.mouseY, 0, std::max(0, ClientHeight() - menu_->Height()));
        menu_->MoveTo(x - ScreenX(), y - ScreenY());
        menu_->Show(true);
        return true;
    }
    if (event.id >= firstItem && event.id < firstItem + kMenuItems) {
        if (event.code != gui::CommandCode::Event) return true;
        CloseMenu();
        if (FindListed(selectedId_)) OnMenuItem(event.id - firstItem);
        return true;
    }
    return false;
}

void PlayerMenu::OnMenuItem(std::uint32_t item) {
    const bool own = LocalRecord() && selectedId_ == LocalRecord()->playerId;
    net::GameSession* session = host_ ? host_->CurrentSession() : nullptr;
    switch (static_cast<int>(item)) {
        case kViewInfo:
            if (own) {
                gui::UserInfoWindow* info = host_ ? host_->GetUserInfoWindow() : nullptr;
                if (info && LocalRecord()) {
                    info->gameType = roomInfo_ ? roomInfo_->gameType : 0;
                    info->BeginLoad(*LocalRecord());
                    info->Show(true);
                }
            } else if (send) {
                const std::uint64_t id = selectedId_;
                const WString name = selectedName_;
                send(room_send::kProfileRequest,
                     [&](net::Packet& p) { p.WriteU8(kProfileOfPlayer).WriteU64(id).WriteString(name); });
            }
            return;
        case kAskFriend:
            if (!own && askQuestion) askQuestion(menuPlayer_, Messenger::kFriendRequest);
            return;
        case kKickUser: {
            if (own || !host_) return;
            const net::PlayerRecord* target = FindListed(selectedId_);
            if (running_ && target && target->game.playing > 0)
                host_->ShowNotice(nullptr, u"Users participating in the game cannot be kicked out.");
            else if (!localMaster_)
                host_->ShowError(nullptr, u"This feature is only allowed for room masters.");
            else if (!session || session->clubMembership < 1)
                host_->ShowNotice(nullptr, u"This feature allowed to Plus pack.");
            else if (askQuestion)
                askQuestion(menuPlayer_, Messenger::kKick);
            return;
        }
        case kCutChat:
            if (!own && askQuestion) askQuestion(menuPlayer_, Messenger::kChatCut);
            return;
        case kInviteClan:
            if (!own && askQuestion) askQuestion(menuPlayer_, Messenger::kClanInvitation);
            return;
        case kReportBad:
            if (host_) host_->ShowNotice(nullptr, kNotAllowedNow);
            return;
        default:
            return;
    }
}

}  // namespace scenes::hud
