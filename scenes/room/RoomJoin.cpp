// Joining a room's game and following its seats and money: the room's own buttons, the join
// question, players entering and leaving, the fees and bets charged when a player joins a game, a
// team going all-in and the room master changing the room's options.
// Handlers run on the dispatch thread, commands on the main thread; every seat and team slot from
// the server is checked before use.
#include <algorithm>

#include "engine/core/Format.h"
#include "engine/core/Log.h"
#include "gui/Button.h"
#include "gui/CommonDialogs.h"
#include "gui/Dialog.h"
#include "gui/GuiConstants.h"
#include "gui/NoticeBox.h"
#include "net/GameSession.h"
#include "net/ItemTable.h"
#include "net/Packet.h"
#include "platform/sys/Clock.h"
#include "scenes/base/SceneHost.h"
#include "scenes/front/RoomOptionDialog.h"
#include "scenes/room/RoomScreen.h"
#include "scenes/room/SceneRoomGame.h"
#include "scenes/room/TableSceneUi.h"
#include "scenes/room/hud/InviteList.h"
#include "scenes/room/hud/PlayerMenu.h"
#include "scenes/shared/PurchaseDialog.h"
#include "scenes/shared/PurchaseRules.h"

namespace scenes {

using namespace room;

namespace {

constexpr std::uint8_t kRemovedByServer = 2, kDisconnected = 3;
constexpr std::uint8_t kChatBanA = 3, kChatBanB = 4;
constexpr std::uint8_t kHalfGameBit = 0x08, kNoRecordBit = 0x10;

void LogBadSlot(int id, int value) {
    LogWrite(u"ERROR : room message %d names seat or team %d\n", id, value);
}

bool GambleFee(std::uint8_t gameType) {
    return gameType == 2 || gameType == 5;
}

}  // namespace

// ---- The room's own buttons ----------------------------------------------------------------------

void SceneRoomGame::CreateJoinWidgets() {
    purchase_ = Make<PurchaseDialog>(Host());
    purchase_->Show(false);
    CreateItemPanels();
}

void SceneRoomGame::OpenPurchase(int mode, std::uint32_t itemId) {
    const net::ItemRecord* record = net::GetItemTable().Find(itemId);
    if (!purchase_ || !record ||
        (mode != static_cast<int>(PurchaseMode::Purchase) && mode != static_cast<int>(PurchaseMode::Gift)))
        return;
    purchase_->SetMode(static_cast<PurchaseMode>(mode));
    purchase_->SetProduct(record);
    purchase_->Show(true);
    purchase_->BringToFront();
}

bool SceneRoomGame::JoinButtonShown() const {
    return joinButton_ && joinButton_->IsVisible();
}

bool SceneRoomGame::GoldDialogShown() const {
    return goldDialog_ && goldDialog_->IsVisible();
}

bool SceneRoomGame::OnJoinCommand(const gui::CommandEvent& event) {
    if (event.code != gui::CommandCode::Event) return false;
    switch (event.id) {
        case control::kHelp:
            return OnCornerButton(event);
        case control::kMyInfo:
            if (Host()) Host()->PostUiMessage(app_code::kMyInfo, 0, 0, 0);
            return true;
        case control::kMessenger:
            if (gui::Dialog* messenger = Host() ? Host()->GetMessenger() : nullptr)
                messenger->Show(!messenger->IsVisible());
            return true;
        case control::kRoomSetting: {
            if (!roomOptions_) return true;
            std::array<net::PlayerRecord, kSeats> records{};
            std::array<const net::PlayerRecord*, kSeats> seats{};
            {
                platform::ScopedLock lock(seatLock_);
                for (int i = 0; i < kSeats; ++i)
                    if (seats_[i].occupied) {
                        records[i] = seats_[i].record;
                        seats[i] = &records[i];
                    }
            }
            const int master = masterSeat_.load();
            roomOptions_->SetRoomInfo(RoomCopy(), ownSeat_.load() == master, seats, master);
            roomOptions_->CenterOnScreen();
            ShowSharedDialog(roomOptions_);
            return true;
        }
        case control::kJoin:
            AskToJoin();
            return true;
        case join_msg::kInviteControl:
            // The room's own list of players who may be invited (it asks the server when shown).
            if (inviteList_) inviteList_->Show(true);
            return true;
        default:
            return OnItemPanelCommand(event);
    }
}

void SceneRoomGame::AskToJoin() {
    int team = -1;
    {
        platform::ScopedLock lock(seatLock_);
        platform::ScopedLock roomLock(game_.lock);
        team = game_.currentTeam;
    }
    // Only the first turn of a game lets a watcher in: no team has shot yet.
    if (gameRunning_.load() && (team > 0 || shotCount_.load() > 0)) {
        if (Host()) Host()->ShowError(nullptr, u"Participation is only allowed when it is the first turn.");
        return;
    }
    if (!CheckJoinGold()) return;
    const std::uint8_t gameType = RoomCopy().gameType;
    SharedBoxText question{
        u"Question", {u"Do you want to participate in the game?"}, kYesNoLayout, app_code::kJoinAnswer, 0};
    if (GambleFee(gameType))
        question.lines.push_back(u"You should pay the fee before entering into the room.");
    if (gameType == 6) question.lines.push_back(u"You should pay the bet amount again to enter.");
    OpenSharedBox(*this, question);
}

bool SceneRoomGame::HandleJoinMessage(std::uint32_t code, std::uintptr_t a, std::intptr_t b) {
    if (code == app_code::kJoinAnswer) {
        if (a == gui::button_id::kYes) SendByte(RoomMsg::JoinAnswer, 0);
        return true;
    }
    if (code == purchase_message::kOpenPurchase) {
        OpenPurchase(static_cast<int>(a), static_cast<std::uint32_t>(b));
        return true;
    }
    if (code == purchase_message::kPurchaseConfirmed) {
        net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
        net::PooledPacket packet = session ? session->NewPacket(0) : net::PooledPacket();
        if (purchase_ && packet && purchase_->WriteRequest(*packet) && SendPacket(*packet) && inProgress_)
            inProgress_->Open();
        return true;
    }
    return HandleItemPanelMessage(code, a);
}

// ---- Players entering and leaving ----------------------------------------------------------------

table::CueObject* SceneRoomGame::AcquireSeatCue(const net::SeatFields& seat, bool hasParts) {
    table::TableWorld* world = World();
    if (!world) return nullptr;
    std::array<std::int32_t, 5> parts{-1, -1, -1, -1, -1};
    if (hasParts)
        for (std::size_t i = 0; i < parts.size(); ++i) parts[i] = seat.cueParts[i];
    return world->AcquireCueObject(seat.cueItem ? seat.cueItem : join_msg::kDefaultCueItem, parts);
}

void SceneRoomGame::OnPlayerEntered(net::Packet& p) {
    const std::uint8_t count = p.U8();
    const std::uint8_t seat = p.U8();
    const std::uint8_t gameType = RoomCopy().gameType;
    const std::size_t type = gameType % net::kGameTypeCount;
    RoomSeat s;
    s.occupied = true;
    net::PlayerRecord& r = s.record;
    r.playerId = p.U64();
    r.accountKind = p.U8();
    r.nickname = p.Str();
    r.clanId = p.U32();
    if (r.clanId != 0) r.clanName = p.Str();
    r.level = p.U16();
    r.signInCounter = p.U32();
    r.money = static_cast<std::int64_t>(p.U64());
    r.mark = p.U8();
    r.handicap[type] = p.U16();
    r.portrait = p.U8();
    r.stickerCount = p.U16();
    r.seat.perTypeValues[type] = p.U32();
    r.seat.cueItem = p.U16();
    const bool hasParts = p.U8() != 0;
    if (hasParts)
        for (auto& part : r.seat.cueParts) part = p.U16();
    r.game.playing = p.U8();
    r.seat.secondRole = p.U8();
    r.chatState = p.U8();
    r.seat.withdrawalFlag = p.U8();
    r.withdrawals = p.U32();
    r.warningPercent = p.U8();
    if (GambleFee(gameType)) r.money = static_cast<std::int64_t>(p.U64());
    if (p.IsBad() || !SeatValid(seat) || count > kSeats || r.game.playing > net::kMaxTeams)
        return LogBadSlot(2014, seat);
    r.game.present = 1;
    r.game.gameSlot = seat;
    table::TableWorld* world = World();
    table::CueObject* cue = AcquireSeatCue(r.seat, hasParts);
    std::uint8_t maxPlayers = 0;
    table::CueObject* old = nullptr;
    {
        platform::ScopedLock lock(seatLock_);
        platform::ScopedLock roomLock(game_.lock);
        const std::uint8_t team = s.record.game.playing;
        game_.RemovePlayer(seat);
        seats_[seat] = std::move(s);
        // Seated as a watcher first, then into the team the server names.
        game_.AddPlayer(seat, &seats_[seat].record);
        seats_[seat].record.game.playing = team;
        if (team) game_.SetTeamSlot(seat, team);
        game_.UpdateReadyCounts();
        room_.playerCount = count;
        maxPlayers = room_.maxPlayers;
        old = seatCues_[seat];
        seatCues_[seat] = cue;
    }
    // One who enters a running game may be the shooter the room state named before his entry came.
    if (world && cue && seat == shooter_.load() && seat != ownSeat_.load()) world->SetShooter(cue);
    if (world && old && old != cue) world->ReleaseCueObject(old);
    const RoomSeat entered = SeatCopy(seat);
    WString line = Format(u"%s %s", entered.record.nickname, WString(u"entered room."));
    if (entered.record.seat.withdrawalFlag || entered.record.withdrawals > join_msg::kWithdrawalsShown)
        line += Format(u" (a total of %d withdrawals)", static_cast<int>(entered.record.withdrawals));
    AddChatLine(line, colour::kGreen);
    if (entered.record.chatState == kChatBanA || entered.record.chatState == kChatBanB)
        AddChatLine(Format(u"%s is banned from chatting.", entered.record.nickname), colour::kGrey);
    LogWrite(u"ROOM : (%d/%d)\n", static_cast<int>(count), static_cast<int>(maxPlayers));
    PlaySound(sound::kPlayerEntered);
    // The player list, the start button and the prompt follow the new seat; the invite list drops him.
    widgetsDirty_ = true;
    if (inviteList_)
        inviteList_->RoomChanged(entered.record.playerId, entered.record.nickname,
                                 maxPlayers > 0 && count >= maxPlayers);
    // The greeting option sends the first chat macro, as the player would but not typed.
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    if (session && CurrentOptions().autoGreetings && !session->chatMacros[0].empty())
        SendChat(session->chatMacros[0], false, platform::NowMs());
}

void SceneRoomGame::OnPlayerLeft(net::Packet& p) {
    const std::uint8_t count = p.U8();
    const std::uint8_t seat = p.U8();
    const std::uint8_t reason = p.U8();
    const std::uint8_t kind = p.U8();
    if (p.IsBad() || !SeatValid(seat) || count > kSeats) return LogBadSlot(2015, seat);
    WString name;
    int nextShooter = kNoSeat;
    table::CueObject* cue = nullptr;
    {
        platform::ScopedLock lock(seatLock_);
        platform::ScopedLock roomLock(game_.lock);
        name = seats_[seat].record.nickname;
        const bool wasPlaying = seats_[seat].record.game.playing != 0;
        if (wasPlaying && gameRunning_.load())
            leftPlayers_[seat] = {name, static_cast<int>(seats_[seat].record.level)};
        // The game room moves the turn on when the leaving player was shooting.
        game_.RemovePlayer(seat);
        if (wasPlaying) game_.CompactTeams();
        nextShooter = game_.currentSeat;
        seats_[seat] = RoomSeat{};
        game_.UpdateReadyCounts();
        room_.playerCount = count;
        cue = seatCues_[seat];
        seatCues_[seat] = nullptr;
    }
    if (gameRunning_.load() && shooter_.load() == seat) PassTurnFromLeaver(nextShooter);
    // The leaving cue goes only once nobody shoots with it.
    if (table::TableWorld* world = World(); world && cue && cue != cueObject_) {
        if (world->Shooter() == cue) world->SetShooter(cueObject_);
        world->ReleaseCueObject(cue);
    }
    if (kind == kDisconnected)
        AddChatLine(Format(u"%s %s", name, WString(u"has been disconnected.")), colour::kGreen);
    else if (reason != kRemovedByServer)
        AddChatLine(Format(u"%s %s", name, WString(u"has left room.")), colour::kGreen);
    else
        AddChatLine(Format(u"%s 님은 접속종료 처리되었습니다.", name), colour::kGreen);
    widgetsDirty_ = true;
    if (inviteList_) inviteList_->RoomChanged(0, {}, false);
}

// ---- Fees, bets and all-ins ----------------------------------------------------------------------

void SceneRoomGame::OnPlayerJoinedGame(net::Packet& p) {
    const std::uint8_t seat = p.U8();
    const std::uint64_t money = p.U64();
    const std::uint8_t team = p.U8();
    const std::uint32_t amount = p.U32();
    const std::uint16_t teamResult = p.U16();
    const std::uint32_t teamValue = p.U32();
    if (p.IsBad() || !SeatValid(seat) || team > net::kMaxTeams) return LogBadSlot(2020, seat);
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    const net::RoomInfo info = RoomCopy();
    const std::int64_t seed = std::max<std::int32_t>(info.seedMoney, 0);
    WString name;
    {
        platform::ScopedLock lock(seatLock_);
        platform::ScopedLock roomLock(game_.lock);
        RoomSeat& s = seats_[seat];
        if (!s.occupied) return LogBadSlot(2020, seat);
        s.record.game.ClearCounters();
        s.record.money = static_cast<std::int64_t>(std::min<std::uint64_t>(money, INT64_MAX));
        s.record.game.playing = team;
        name = s.record.nickname;
        game_.SetTeamSlot(seat, team);
        game_.ComputeTeamHandicaps();
        if (team > 0) {
            game_.teams[team - 1].result = teamResult;
            game_.teams[team - 1].score = teamValue;
        }
        game_.UpdateReadyCounts();
    }
    if (seat == ownSeat_.load()) {
        net::PlayerRecord& own = Record();
        if (session) session->ownPlaying = team;
        if (GambleFee(info.gameType)) {
            const std::int64_t fee = 2 * seed;
            if (!session || session->clubMembership == 0) {
                own.money -= fee;
                AddChatLine(Format(u"%s gold has been removed for game fee", FormatNumber(fee)),
                            colour::kGreen);
            } else {
                AddChatLine(Format(u"멤버십 : 게임비 %s원 면제되었습니다.", FormatNumber(fee)),
                            colour::kGreen);
            }
            if (amount > 0) {
                own.money -= amount;
                AddChatLine(Format(u"Penalty %s gold have been charged.", FormatNumber(amount)),
                            colour::kGreen);
            }
        } else if (info.gameType == 6) {
            own.money -= seed;
            AddChatLine(Format(u"Betting gold %s has been removed.", FormatNumber(seed)), colour::kGreen);
        }
    } else {
        AddChatLine(Format(u"%s has joined the game.", name), colour::kGreen);
    }
    if (GambleFee(info.gameType))
        bettingValue_ += amount;
    else if (info.gameType == 6)
        bettingValue_ += static_cast<std::uint32_t>(seed);
    LogWrite(u"ROOM : betting value %d\n", static_cast<int>(bettingValue_.load()));
    ShowPot();
    widgetsDirty_ = true;
}

void SceneRoomGame::ShowPot() {
    RunOnMainThread([this] {
        if (playerMenu_) playerMenu_->SetPot(static_cast<std::int32_t>(bettingValue_.load()));
    });
}

void SceneRoomGame::CheckOwnGoldAfterBet() {
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    const int own = ownSeat_.load();
    std::uint8_t playing = 0;
    {
        platform::ScopedLock lock(seatLock_);
        if (SeatValid(own)) playing = seats_[own].record.game.playing;
    }
    if (session) session->ownPlaying = playing;
    if (playing == 0) return;
    const std::int64_t money = session ? session->own.money : Record().money;
    if (RoomCopy().RequiredGold(money, channelType_.load()) <= 0) return;
    if (session) session->ownPlaying = 0;
    SendByte(RoomMsg::PlayChoice, 0);
}

void SceneRoomGame::OnAllIn(net::Packet& p) {
    const std::uint8_t team = p.U8();
    if (p.IsBad() || team == 0 || team > net::kMaxTeams) return LogBadSlot(2048, team);
    WString name;
    int firstSeat = kNoSeat;
    int teams = 0;
    {
        platform::ScopedLock lock(seatLock_);
        platform::ScopedLock roomLock(game_.lock);
        const net::RoomTeam& t = game_.teams[team - 1];
        if (t.memberCount == 0) return LogBadSlot(2048, team);
        firstSeat = t.memberSeats[0];
        if (!SeatValid(firstSeat)) return LogBadSlot(2048, firstSeat);
        name = seats_[firstSeat].record.nickname;
        seats_[firstSeat].record.money = 0;
        teams = game_.CountTeams();
    }
    if (firstSeat == ownSeat_.load()) Record().money = 0;
    AddChatLine(Format(u"%s 님이 올인 되었습니다.", name), colour::kRed);
    QueueSound(sound::kGameEnd);
    QueueSound(join_msg::kAllInSound);
    if (teams < 3) {
        {
            platform::ScopedLock lock(seatLock_);
            platform::ScopedLock roomLock(game_.lock);
            game_.running = false;
            game_.CountTeams();
        }
        ResetAfterGame();
    } else {
        platform::ScopedLock lock(seatLock_);
        platform::ScopedLock roomLock(game_.lock);
        const net::RoomTeam t = game_.teams[team - 1];
        for (int i = 0; i < t.memberCount && i < kSeats; ++i) {
            const int seat = t.memberSeats[i];
            if (!SeatValid(seat)) continue;
            seats_[seat].record.game.playing = 0;
            game_.SetTeamSlot(seat, 0);
        }
        game_.CompactTeams();
    }
    CheckOwnGoldAfterBet();
    widgetsDirty_ = true;
}

// ---- Room options --------------------------------------------------------------------------------

void SceneRoomGame::OnRoomOptions(net::Packet& p) {
    const std::uint8_t notice = p.U8();
    const std::uint8_t master = p.U8();
    const std::uint16_t tableItem = p.U16();
    const std::uint16_t ballSet = p.U16();
    const std::uint8_t maxPlayers = p.U8();
    const WString title = p.Str();
    const std::uint8_t pointRule = p.U8();
    const std::uint8_t boardCount = p.U8();
    const std::uint8_t inning = p.U8();
    const std::uint8_t bits = p.U8();
    const std::uint8_t roomOption = p.U8();
    std::int32_t seed = static_cast<std::int32_t>(p.U32());
    const std::uint8_t locked = p.U8();
    const WString password = locked ? p.Str() : WString();
    const auto low = static_cast<std::int16_t>(p.U16());
    const auto high = static_cast<std::int16_t>(p.U16());
    if (p.IsBad() || !SeatValid(master) || maxPlayers > kSeats) return LogBadSlot(2004, master);

    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    const net::RoomInfo before = RoomCopy();
    const std::uint8_t gameType = before.gameType;
    net::RoomInfo after = before;
    after.masterSlot = master;
    after.maxPlayers = maxPlayers;
    after.title = title;
    after.option1 = pointRule;
    after.option2 = boardCount;
    after.inningTime = inning;
    after.gameOption = bits;
    after.option3 = roomOption;
    after.hasPassword = locked;
    after.password = password;
    after.requirementLow = static_cast<std::uint16_t>(low);
    after.requirementHigh = static_cast<std::uint16_t>(high);
    // An open room that is no gamble room plays for nothing, whatever amount was announced.
    const std::int32_t announced = seed;
    if (after.IsOpenNonGamble()) seed = 0;
    after.seedMoney = seed;
    const int oldMaster = masterSeat_.load();
    WString masterName;
    {
        platform::ScopedLock lock(seatLock_);
        platform::ScopedLock roomLock(game_.lock);
        room_ = after;
        game_.masterSeat = master;
        if (master != oldMaster) {
            if (SeatValid(oldMaster)) seats_[oldMaster].record.game.ready = 0;
            seats_[master].record.game.ready = 1;
        }
        masterName = seats_[master].record.nickname;
    }
    turnTableItem_ = tableItem;
    turnBallSet_ = ballSet;
    if (session) {
        net::RoomInfo& shared = session->GetRoom();
        shared.option3 = roomOption;
        shared.seedMoney = seed;
    }
    if (notice == 1) ShowBox(u"Change of table/ball is allowed once during the game.");
    if (master != oldMaster) {
        masterSeat_ = master;
        AddChatLine(Format(u"◆ The room master has changed to %s.", masterName), colour::kWhite);
        table::TableWorld* world = World();
        if (!gameRunning_.load()) {
            SetShooterSeat(master);
            const bool own = master == ownSeat_.load() && !watchOnly_.load();
            if (!own || !world || !world->ShotExecuting()) ApplyOwnTurn(own);
        }
    }
    TellPointRuleChange(gameType, PointRuleOption(before), PointRuleOption(after));
    if (announced != before.seedMoney) {
        if (announced < 1)
            AddChatLine(u"◆ It has changed to a friendly game.", colour::kWhite);
        else
            AddChatLine(Format(u"◆ Betting amount - %s", FormatNumber(announced)), colour::kWhite);
        CheckOwnGoldAfterBet();
    }
    if (inning != before.inningTime) {
        turnLimit_ = inning;
        AddChatLine(Format(u"◆ Inning time changed - %dsec", static_cast<int>(inning)), colour::kWhite);
    }
    const std::uint8_t changed = static_cast<std::uint8_t>(bits ^ before.gameOption);
    if ((changed & kNoRecordBit) && !GambleFee(gameType) && gameType != 6)
        AddChatLine(bits & kNoRecordBit ? u"◆ Record option - no record on win/loss"
                                        : u"◆ Record option - record win/loss",
                    colour::kWhite);
    if ((changed & kHalfGameBit) && (gameType == 0 || gameType == 3 || gameType == 13))
        AddChatLine(bits & kHalfGameBit ? u"◆ Changed to a half game (half of handicap score)"
                                        : u"◆ Half game has been cancelled (full handicap score)",
                    colour::kWhite);
    if (static_cast<std::uint16_t>(low) != before.requirementLow ||
        static_cast<std::uint16_t>(high) != before.requirementHigh) {
        if (low == 0 && high == 0)
            AddChatLine(u"◆ Requirement - no requirement.", colour::kWhite);
        else if (low == 0)
            AddChatLine(Format(u"◆ Requirement - below handi %d", static_cast<int>(high)), colour::kWhite);
        else if (high == 0)
            AddChatLine(Format(u"◆ Requirement - over handi %d", static_cast<int>(low)), colour::kWhite);
        else
            AddChatLine(
                Format(u"◆ Requirement - handi %d ~ %d.", static_cast<int>(low), static_cast<int>(high)),
                colour::kWhite);
    }
    {
        platform::ScopedLock lock(seatLock_);
        platform::ScopedLock roomLock(game_.lock);
        game_.SetOptions(gameType, game_.membersPerTeam);
    }
    UpdateTableOwnership();
    UpdateItemKeys();
    widgetsDirty_ = true;
}

}  // namespace scenes
