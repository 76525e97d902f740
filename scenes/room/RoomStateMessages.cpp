// The room's membership and roles (room state, member list, seats, readiness, master, players
// entering, leaving, dropping and coming back, leaving the room) and its chat and notice messages.
// Handlers run on the dispatch thread; every seat index from the server is checked before use.
#include <algorithm>
#include <utility>

#include "engine/core/Format.h"
#include "engine/core/Log.h"
#include "gui/NoticeBox.h"
#include "gui/TextInput.h"
#include "net/GameSession.h"
#include "net/Packet.h"
#include "platform/sys/Clock.h"
#include "scenes/base/SceneCodes.h"
#include "scenes/base/SceneHost.h"
#include "scenes/room/RoomScreen.h"
#include "scenes/room/SceneRoomGame.h"
#include "scenes/room/TableSceneUi.h"

namespace scenes {

using namespace room;

namespace {

constexpr std::uint32_t kNotStartedSeconds = 180;
constexpr std::uint8_t kNoticeDone = 1, kNoticeHint = 2;  // 240's kinds beside an error
constexpr std::uint8_t kChatBanA = 3, kChatBanB = 4;
constexpr std::size_t kSeatColours = 8;
constexpr std::uint32_t kSeatChatColours[kSeatColours] = {0xFFFFFFFF, 0xFFFFFF80, 0xFF80FFFF, 0xFFFF80FF,
                                                          0xFF80FF80, 0xFFFFB080, 0xFFB0B0FF, 0xFFFF8080};

void LogBadSeat(int id, int seat) {
    LogWrite(u"ERROR : room message %d names seat %d\n", id, seat);
}

}  // namespace

// ---- Room state and members ----------------------------------------------------------------------

void SceneRoomGame::OnRoomState(net::Packet& p) {
    net::RoomInfo info = RoomCopy();
    const int ruleBefore = PointRuleOption(info);
    const std::uint64_t jackpot = p.U64();
    info.moneyClass = p.U8();
    if (info.moneyClass == 3) {
        info.stake1 = static_cast<std::int32_t>(p.U32());
        info.stake2 = static_cast<std::int32_t>(p.U32());
    }
    p.Skip(6);
    info.number = p.U16();
    const std::uint8_t watchOnly = p.U8();
    info.state = p.U8();
    const std::uint32_t rackSeed = p.U32();
    info.hasPassword = p.U8();
    info.password = info.hasPassword == 1 ? p.Str() : WString();
    info.pointTrackMode = p.U8();
    info.pointTrack = {};
    if (info.pointTrackMode > 0)
        for (auto& b : info.pointTrack) b = p.U8();
    const std::uint32_t ageMs = p.U32();
    const std::uint32_t roomClock = p.U32();
    const std::uint32_t turnClock = p.U32();
    const std::uint8_t turnSeat = p.U8();
    const std::uint8_t currentBall = p.U8();
    const std::uint8_t a = p.U8();
    const std::uint8_t b = p.U8();
    const std::uint8_t master = p.U8();
    const std::uint8_t own = p.U8();
    p.U8();
    info.title = p.Str();
    info.option1 = p.U8();
    info.option3 = p.U8();
    info.option2 = p.U8();
    info.seedMoney = static_cast<std::int32_t>(p.U32());
    const std::uint32_t stake = p.U32();
    table::TableWorld* world = World();
    if (p.IsBad() || !SeatValid(turnSeat) || !SeatValid(master) || !SeatValid(own) || !world ||
        currentBall >= world->BallCount()) {
        LogWrite(u"ERROR : room message 2001 dropped\n");
        return;
    }
    info.playerCount = a;
    info.maxPlayers = b;
    info.currentBall = currentBall;
    info.currentShooter = turnSeat;
    info.masterSlot = master;
    info.watchOnly = watchOnly;
    {
        platform::ScopedLock lock(seatLock_);
        platform::ScopedLock roomLock(game_.lock);
        game_.ResetTeams();
        game_.masterSeat = master;
        room_ = info;
    }
    if (net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr) {
        session->currentRoom = info.number;
        session->GetRoom().seedMoney = info.seedMoney;
    }
    ownSeat_ = own;
    masterSeat_ = master;
    watchOnly_ = watchOnly != 0;
    const bool running = info.state == static_cast<std::uint8_t>(net::RoomState::Playing);
    gameRunning_ = running;
    // The room's clocks on ours: a game under way shows the time it has run, and its turn the time
    // that turn has left.
    const std::uint64_t now = platform::NowMs();
    gameClockBaseMs_ = now > roomClock ? now - roomClock : 0;
    if (running) StartTurnClock(now > turnClock ? now - turnClock : 0);
    // The seed the running game's table was last racked with: a table the entrant gets as it was when
    // a shot cleared it is racked as the players racked it, each ball turned alike.
    if (running) rackSeed_ = rackSeed;
    bettingValue_ = stake;
    ShowPot();
    shooter_ = turnSeat;
    world->SetCurrentBall(currentBall);
    world->SetCurrentPlayer(turnSeat, true);
    ShowRoomStatus(jackpot, info, running);
    // The lobby's copy of the room carries no point rule: the room's lines wait for the room state.
    if (!roomStateRead_.load())
        WriteRoomLines(info);
    else
        TellPointRuleChange(info.gameType, ruleBefore, PointRuleOption(info));
    const bool control = !watchOnly && (own == master || (running && turnSeat == own));
    if (control) {
        world->SetPlayState(table::PlayState::Waiting);
        ApplyOwnTurn(true);
        if (world->GameType() >= table::kFirstPocketGameType) PlaySound(sound::kRack);
    } else {
        ApplyOwnTurn(false);
        if (running) {
            AddChatLine(u"The game is running now so only speculation is allowed.", colour::kYellow);
            world->SetPlayState(table::PlayState::NewRack);
        } else {
            AddChatLine(u"The game has not started yet.", colour::kYellow);
            world->SetPlayState(table::PlayState::Waiting);
        }
    }
    if (!running && ageMs / 1000 > kNotStartedSeconds)
        AddChatLine(Format(u"A game has not been started in %d minutes.", static_cast<int>(ageMs / 60000)),
                    colour::kGreen);
    // Only a running game sends its data to a player who joins it; a waiting room sends none.
    showReceiving_ = own != master && running;
    // The own chat line writes in the own seat's chat colour.
    if (chatEdit_)
        chatEdit_->SetTextColors(kSeatChatColours[own % kSeatColours], kSeatChatColours[own % kSeatColours]);
    UpdateItemKeys();
    RunOnMainThread([this] { CheckJoinGold(); });
    if (net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
        session && channelType_.load() == kTournamentChannel && session->own.tournamentFeeFlag)
        ShowBox(Format(u"If you participate in the tournament, a fee of %s will be charged.",
                       session->own.tournamentFeeText));
    roomStateRead_ = true;
}

void SceneRoomGame::OnMemberList(net::Packet& p) {
    const std::uint8_t count = p.U8();
    if (p.IsBad() || count > kSeats) {
        LogWrite(u"ERROR : room message 2011 dropped: %d members\n", static_cast<int>(count));
        return;
    }
    const std::uint8_t gameType = RoomCopy().gameType;
    std::array<RoomSeat, kSeats> read{};
    std::array<bool, kSeats> withParts{};
    std::vector<std::pair<WString, std::uint32_t>> lines;  // each with its own colour
    for (int i = 0; i < count; ++i) {
        const std::uint8_t seat = p.U8();
        RoomSeat s;
        s.occupied = true;
        net::PlayerRecord& r = s.record;
        r.playerId = p.U64();
        p.U8();
        r.nickname = p.Str();
        r.clanId = p.U32();
        if (r.clanId != 0) r.clanName = p.Str();
        r.level = p.U16();
        r.experience = p.U32();
        r.handicap[gameType % net::kGameTypeCount] = p.U16();
        r.money = static_cast<std::int64_t>(p.U64());
        r.chatState = p.U8();
        r.game.dropped = p.U8();
        p.U16();
        p.U8();
        r.seat.perTypeValues[gameType % net::kGameTypeCount] = p.U32();
        r.seat.status = p.U8();
        r.seat.cueItem = p.U16();
        const bool hasParts = p.U8() == 1;
        if (hasParts)
            for (auto& part : r.seat.cueParts) part = p.U16();
        r.game.playing = p.U8();
        r.seat.secondRole = p.U8();
        r.game.ready = p.U8();
        r.seat.withdrawalFlag = p.U8();
        r.withdrawals = p.U32();
        p.U8();
        if (gameType == 2 || gameType == 5) r.money = static_cast<std::int64_t>(p.U64());
        if (p.IsBad()) break;
        if (!SeatValid(seat) || r.game.playing > net::kMaxTeams) {
            LogBadSeat(2011, seat);
            continue;
        }
        r.game.present = 1;
        r.game.gameSlot = seat;
        if (!gameRunning_.load()) {
            if (r.seat.withdrawalFlag)
                lines.emplace_back(
                    Format(u"%s : a total of %d withdrawals", r.nickname, static_cast<int>(r.withdrawals)),
                    colour::kGreen);
            if (r.chatState == kChatBanA || r.chatState == kChatBanB)
                lines.emplace_back(Format(u"%s is banned from chatting.", r.nickname), colour::kGrey);
        }
        read[seat] = std::move(s);
        withParts[seat] = hasParts;
    }
    if (p.IsBad()) {
        LogWrite(u"ERROR : room message 2011 dropped: short\n");
        return;
    }
    // Every other seat's cue, as the table shows it on that seat's turns; the own seat has the own cue.
    const int own = ownSeat_.load();
    std::array<table::CueObject*, kSeats> cues{};
    for (int seat = 0; seat < kSeats; ++seat)
        if (read[seat].occupied && seat != own)
            cues[seat] = AcquireSeatCue(read[seat].record.seat, withParts[seat]);
    std::array<table::CueObject*, kSeats> before{};
    {
        platform::ScopedLock lock(seatLock_);
        platform::ScopedLock roomLock(game_.lock);
        before = std::exchange(seatCues_, cues);
        for (int seat = 0; seat < kSeats; ++seat) {
            game_.RemovePlayer(seat);
            seats_[seat] = std::move(read[seat]);
            if (!seats_[seat].occupied) continue;
            // Seating makes a watcher; the team slot the server names is put back after it.
            const std::uint8_t team = seats_[seat].record.game.playing;
            game_.AddPlayer(seat, &seats_[seat].record);
            seats_[seat].record.game.playing = team;
            if (team) game_.SetTeamSlot(seat, team);
        }
        game_.UpdateReadyCounts();
    }
    // The table shows the cue of the seat whose turn it is.
    table::TableWorld* world = World();
    const int turn = shooter_.load();
    if (world && SeatValid(turn) && cues[turn]) world->SetShooter(cues[turn]);
    for (const table::CueObject* cue : before)
        if (world && cue) world->ReleaseCueObject(cue);
    for (const auto& [text, argb] : lines) AddChatLine(text, argb);
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    if (!gameRunning_.load() && ownSeat_.load() == masterSeat_.load() && session && session->own.level < 4)
        AddChatLine(u"Room master can play practice game.", colour::kYellow);
    memberListRead_ = true;
}

void SceneRoomGame::OnPlaying(net::Packet& p) {
    const std::uint8_t seat = p.U8();
    const std::uint8_t playing = p.U8();
    if (p.IsBad() || !SeatValid(seat) || playing > net::kMaxTeams) return LogBadSeat(2013, seat);
    platform::ScopedLock lock(seatLock_);
    platform::ScopedLock roomLock(game_.lock);
    RoomSeat& s = seats_[seat];
    if (!s.occupied) return LogBadSeat(2013, seat);
    s.record.game.playing = playing;
    if (playing == 0) s.record.game.ready = 0;
    if (seat == masterSeat_.load()) s.record.game.ready = 1;
    if (seat == ownSeat_.load())
        if (net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr)
            session->ownPlaying = playing;
    game_.SetTeamSlot(seat, playing);
    game_.UpdateReadyCounts();
}

void SceneRoomGame::OnReadyChanged(net::Packet& p) {
    const std::uint8_t seat = p.U8();
    const std::uint8_t ready = p.U8();
    if (p.IsBad() || !SeatValid(seat)) return LogBadSeat(2027, seat);
    platform::ScopedLock lock(seatLock_);
    platform::ScopedLock roomLock(game_.lock);
    seats_[seat].record.game.ready = ready;
    const int master = masterSeat_.load();
    if (SeatValid(master)) seats_[master].record.game.ready = 1;
    game_.UpdateReadyCounts();
}

void SceneRoomGame::OnSeatStatus(net::Packet& p) {
    const std::uint8_t seat = p.U8();
    const std::uint8_t status = p.U8();
    if (p.IsBad() || !SeatValid(seat)) return LogBadSeat(2023, seat);
    platform::ScopedLock lock(seatLock_);
    seats_[seat].record.seat.status = status;
}

void SceneRoomGame::OnNewMaster(net::Packet& p) {
    const std::uint8_t master = p.U8();
    p.U16();
    p.U16();
    if (p.IsBad() || !SeatValid(master)) return LogBadSeat(2016, master);
    WString name;
    {
        platform::ScopedLock lock(seatLock_);
        platform::ScopedLock roomLock(game_.lock);
        seats_[master].record.game.ready = 1;
        game_.masterSeat = master;
        room_.masterSlot = master;
        name = seats_[master].record.nickname;
    }
    masterSeat_ = master;
    AddChatLine(Format(u"%s %s", name, WString(u"is the room master.")), colour::kGreen);
    if (!gameRunning_.load()) {
        SetShooterSeat(master);
        ApplyOwnTurn(master == ownSeat_.load() && !watchOnly_.load());
    }
    UpdateTableOwnership();
    UpdateItemKeys();
}

void SceneRoomGame::OnTeamLineup(net::Packet& p) {
    p.U16();
    const std::uint16_t turnTime = p.U16();
    if (p.IsBad()) return;
    if (ReadTeams(p, false)) turnLimit_ = turnTime > 0 ? std::min<int>(turnTime, 255) : turnLimit_.load();
}

void SceneRoomGame::OnWithdrawnLost(net::Packet& p) {
    const std::uint8_t seat = p.U8();
    if (p.IsBad() || !SeatValid(seat)) return LogBadSeat(2038, seat);
    WString name;
    bool gameGoesOn = false;
    const bool shooting = gameRunning_.load() && shooter_.load() == seat;
    int next = kNoSeat;
    {
        platform::ScopedLock lock(seatLock_);
        platform::ScopedLock roomLock(game_.lock);
        RoomSeat& s = seats_[seat];
        name = s.record.nickname;
        // The results of the game name him even once he has left the room.
        if (gameRunning_.load() && s.record.game.playing != 0)
            leftPlayers_[seat] = {name, static_cast<int>(s.record.level)};
        if (shooting) next = game_.NextTurn(&s.record);
        s.record.game.playing = 0;
        game_.SetTeamSlot(seat, 0);
        game_.CompactTeams();
        gameGoesOn = game_.teamCount >= 2;
    }
    if (shooting && gameGoesOn) PassTurnFromLeaver(next);
    if (seat == ownSeat_.load()) {
        ApplyOwnTurn(false);
        if (net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr) session->ownPlaying = 0;
        // A withdrawal on the way out of a game the others play on leaves the player watching here:
        // the end of their game later takes nobody out of the room.
        if (gameGoesOn) leaveAfterGame_ = false;
    }
    const std::uint8_t gameType = RoomCopy().gameType;
    AddChatLine(Format(u"%s %s", name,
                       WString(gameType == 2 || gameType == 5 ? u"has ended the game."
                                                              : u"has withdrawn and lost the game.")),
                colour::kRed);
}

void SceneRoomGame::OnPlayerDropped(net::Packet& p) {
    const std::uint8_t seat = p.U8();
    const std::uint8_t master = p.U8();
    if (p.IsBad() || !SeatValid(seat) || !SeatValid(master)) return LogBadSeat(2079, seat);
    WString name;
    bool shortRule = false;
    {
        platform::ScopedLock lock(seatLock_);
        platform::ScopedLock roomLock(game_.lock);
        name = seats_[seat].record.nickname;
        shortRule = game_.ruleStage == 2 && game_.mode == 1;
        seats_[seat].record.game.dropped = 1;
        // A dropped master hands the room to the seat the server names.
        if (master != masterSeat_.load()) {
            seats_[master].record.game.ready = 1;
            game_.masterSeat = master;
            room_.masterSlot = master;
            masterSeat_ = master;
        }
    }
    AddChatLine(Format(u"%s is dropped. Wainting for reconnect.", name), colour::kGreen);
    if (shortRule)
        AddChatLine(u"May lose unless reconnecting to the game within 3 inn.(3min).", colour::kGreen);
    AddChatLine(u"Will lose unless reconnecting to the game within 6 inn.(5min).", colour::kGreen);
}

void SceneRoomGame::OnPlayerBack(net::Packet& p) {
    const std::uint8_t seat = p.U8();
    p.U32();
    const std::uint8_t dropped = p.U8();
    if (p.IsBad() || !SeatValid(seat)) return LogBadSeat(274, seat);
    WString name;
    {
        platform::ScopedLock lock(seatLock_);
        seats_[seat].record.game.dropped = dropped;
        name = seats_[seat].record.nickname;
    }
    AddChatLine(Format(u"%s has logged in again and has been connected to the game.", name), colour::kGreen);
}

void SceneRoomGame::OnClanChanged(net::Packet& p) {
    const std::uint8_t seat = p.U8();
    const std::uint32_t clan = p.U32();
    const WString clanName = clan != 0 ? p.Str() : WString();
    if (p.IsBad() || !SeatValid(seat)) return LogBadSeat(239, seat);
    platform::ScopedLock lock(seatLock_);
    seats_[seat].record.clanId = clan;
    seats_[seat].record.clanName = clanName;
}

void SceneRoomGame::OnSeatMoney(net::Packet& p) {
    const std::uint8_t seat = p.U8();
    const auto money = static_cast<std::int64_t>(p.U64());
    if (p.IsBad() || !SeatValid(seat)) return LogBadSeat(2073, seat);
    {
        platform::ScopedLock lock(seatLock_);
        seats_[seat].record.money = money;
        if (seat == ownSeat_.load())
            if (net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr)
                session->own.money = money;
    }
    RefreshItemStrip();
}

void SceneRoomGame::OnLeaveAnswer(net::Packet& p) {
    const std::uint8_t result = p.U8();
    if (p.IsBad()) return;
    leaveRequested_ = false;
    // Any answer gives the button back, so a refusal never leaves the player without a way out.
    enableToLobby_ = true;
    if (result == 0)
        RequestScene(scene_id::kLobby);
    else if (result == 1)
        RunOnMainThread([this] {
            OpenSharedBox(
                *this,
                {u"error", {u"this message will not show"}, kYesNoLayout, gui::NoticeBox::kDefaultResult, 0});
        });
}

void SceneRoomGame::OnRoomClosed(net::Packet&) {
    // The notice stays over the room and its OK goes back to the lobby: changing scenes at once took
    // the notice away with the room before it showed.
    RunOnMainThread([this] {
        if (!OpenSharedBox(
                *this,
                {u"Notice", {u"The room is closed. Moving to the lobby."}, 0, app_code::kBackToLobby, 0}))
            RequestScene(scene_id::kLobby);
    });
}

void SceneRoomGame::OnRankResult(net::Packet& p) {
    const std::uint16_t rank = p.U16();
    const std::uint16_t x = p.U16();
    const std::uint16_t y = p.U16();
    if (p.IsBad()) return;
    PlaySound(sound::kGameResults);
    if (gameRunning_.load()) ResetAfterGame();
    Hud().ShowRankResult(rank, x, y);
}

void SceneRoomGame::OnExitRefused(net::Packet&) {
    enableToLobby_ = true;
    ShowBox(
        u"You are not allowed to exit during the game. Please withdraw the game from the ESC menu if you "
        u"really want to leave the room.");
}

// ---- Chat and notices ----------------------------------------------------------------------------

void SceneRoomGame::OnChatLine(net::Packet& p) {
    const std::uint8_t team = p.U8();
    std::uint8_t colourIndex = p.U8();
    const WString nickname = p.Str();
    const WString text = p.Str();
    if (p.IsBad()) return;
    if (colourIndex >= kSeatColours) colourIndex = 0;
    const WString line =
        team == 1 ? Format(u"(Team)%s : %s", nickname, text) : Format(u"%s : %s", nickname, text);
    {
        platform::ScopedLock lock(chatLock_);
        reportHistory_.push_back(line);
        if (reportHistory_.size() > kReportHistory) reportHistory_.pop_front();
    }
    AddChatLine(line, kSeatChatColours[colourIndex]);
    if (chatSound_.load()) PlaySound(sound::kChatLine);
}

void SceneRoomGame::OnNotice(net::Packet& p) {
    const WString text = p.Str();
    if (p.IsBad()) return;
    // A notice is an error unless a kind byte behind the text says it confirms a change (a room
    // event) or gives a hint.
    const std::uint8_t kind = p.AtEnd() ? 0 : p.U8();
    AddChatLine(text, kind == kNoticeDone   ? colour::kGreen
                      : kind == kNoticeHint ? colour::kYellow
                                            : colour::kRed);
}

void SceneRoomGame::OnChatBanned(net::Packet& p) {
    const std::uint8_t code = p.U8();
    if (p.IsBad()) return;
    switch (code) {
        case 0:
        case 2: {
            const WString name = p.Str();
            if (p.IsBad()) return;
            AddChatLine(
                Format(u"%s %s", name,
                       WString(code == 0 ? u"is banned from chatting." : u"blocked you from chatting.")),
                colour::kRed);
            break;
        }
        case 1:
            AddChatLine(u"Chatting is blocked for 30 minutes.", colour::kRed);
            AddChatLine(u"Enter '/unblock nickname' to cancel blocking.", colour::kRed);
            break;
        case 3:
            OnChatBannedHour(p);
            break;
        default:
            break;
    }
}

void SceneRoomGame::OnChatBlockedBy(net::Packet& p) {
    // Ends at a 0 or at the end of the message, whichever comes first.
    for (int n = 0; n < 256 && p.U8() != 0 && !p.IsBad(); ++n) {
        const WString name = p.Str();
        if (p.IsBad()) break;
        AddChatLine(Format(u"%s %s", name, WString(u"has blocked you from chatting.")), colour::kRed);
    }
}

void SceneRoomGame::OnChatBannedHour(net::Packet&) {
    AddChatLine(u"You are banned from chatting for an hour because you have been blocked by several users.",
                colour::kRed);
}

void SceneRoomGame::OnChatBannedName(net::Packet& p) {
    const WString name = p.Str();
    if (!p.IsBad()) AddChatLine(Format(u"%s %s", name, WString(u"is banned from chatting.")), colour::kRed);
}

void SceneRoomGame::OnReported(net::Packet& p) {
    const WString name = p.Str();
    if (p.IsBad()) return;
    AddChatLine(Format(u"%s Reported message.", name), colour::kYellow);
    AddChatLine(u"Punishment will be applied if your message is considered as abusive language.",
                colour::kYellow);
    AddChatLine(u"In case of a false report, the reporter will be punished.", colour::kYellow);
}

void SceneRoomGame::OnRaceTournament(net::Packet& p) {
    const std::uint8_t state = p.U8();
    if (p.IsBad()) return;
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    if (state == 2)
        AddChatLine(u"** Race tournament is taking place. (Tournament channel)", colour::kGreen);
    else if (state == 1)
        AddChatLine(Format(u"Race tournament starts at %d:%d. (Tournament channel)",
                           session ? static_cast<int>(session->raceStartHour) : 0,
                           session ? static_cast<int>(session->raceStartMinute) : 0),
                    colour::kGreen);
    else if (state == 0)
        AddChatLine(u"** Today's tournament has ended.", colour::kGreen);
}

void SceneRoomGame::OnGalleryRegistered(net::Packet&) {
    ShowBox(u"It is registered to the Shot gallery.");
}

}  // namespace scenes
