// The game loop of an online room: game start, aims, shots simulated on every client, shot results
// and table states sent back, turn results, new turns, break fouls, 8-ball groups and game ends,
// and the table messages of the room. Handlers run on the dispatch thread.
#include <algorithm>

#include "engine/core/Format.h"
#include "engine/core/Log.h"
#include "net/GameSession.h"
#include "net/Packet.h"
#include "platform/sys/Clock.h"
#include "scenes/base/SceneHost.h"
#include "scenes/room/SceneRoomGame.h"
#include "scenes/room/hud/ChalkGauge.h"
#include "scenes/room/hud/EffectPanel.h"

namespace scenes {

using namespace room;

namespace {

constexpr std::int32_t kFirstPocketType = table::kFirstPocketGameType;
constexpr std::int32_t kEightBall = 10;
constexpr auto kStatusCallEight = static_cast<std::uint8_t>(net::TeamStatus::EightBall);
constexpr std::uint8_t kKindStays = 2;
constexpr const char16_t* kOwnTimeOutLine = u"Your turn has run out of time.";
constexpr int kMaxMembers = 8;
// The team's result value while it plays its finishing shot.
constexpr std::int32_t kThreeCushionFinishResult = 4, kBankShotFinishResult = 1004;
// The result window's mode: an open room that is no gamble, or one with a stake.
constexpr int kOpenResultMode = 0, kStakeResultMode = 9;

// A team block of 2029 (game start) or 2030 (line-up), checked whole before the room takes it.
struct TeamBlock {
    std::uint8_t slot = 0;
    std::uint16_t result = 0;
    std::uint32_t value = 0;
    std::uint8_t status = 0;
    std::array<std::uint16_t, 2> finishing{};
    std::vector<std::uint8_t> seats;
    std::vector<std::int64_t> money;
};

void LogDropped(const char16_t* what, int id) {
    LogWrite(u"ERROR : room message %d dropped: %s\n", id, WString(what));
}

}  // namespace

// ---- Teams ---------------------------------------------------------------------------------------

bool SceneRoomGame::ReadTeams(net::Packet& p, bool gameStart) {
    const std::uint8_t teamCount = p.U8();
    const std::uint8_t perTeam = p.U8();
    if (p.IsBad() || teamCount > net::kMaxTeams || perTeam > kMaxMembers || teamCount * perTeam > kSeats) {
        LogDropped(u"team count", gameStart ? 2029 : 2030);
        return false;
    }
    std::uint8_t gameType = 0;
    {
        platform::ScopedLock lock(seatLock_);
        gameType = room_.gameType;
    }
    const bool finishing = gameType == 0 || gameType == 3;
    std::vector<TeamBlock> teams(teamCount);
    for (TeamBlock& t : teams) {
        t.slot = p.U8();
        t.result = p.U16();
        t.value = p.U32();
        if (gameStart) {
            p.U16();
            p.U8();
            if (finishing) t.finishing = {p.U8(), p.U8()};
            if (gameType == 6) p.U8();
            t.status = p.U8();
        } else {
            p.U16();
            t.status = p.U8();
            if (finishing) t.finishing = {p.U8(), p.U8()};
            if (gameType == 6) p.U8();
            p.U8();
        }
        if (gameType == 2 || gameType == 5) t.value = 0;
        for (int m = 0; m < perTeam; ++m) {
            t.seats.push_back(p.U8());
            t.money.push_back(static_cast<std::int64_t>(p.U64()));
            p.U16();
        }
        if (p.IsBad() || t.slot < 1 || t.slot > net::kMaxTeams) {
            LogDropped(u"team slot", gameStart ? 2029 : 2030);
            return false;
        }
        for (std::uint8_t seat : t.seats)
            if (!SeatValid(seat)) {
                LogDropped(u"member seat", gameStart ? 2029 : 2030);
                return false;
            }
    }
    platform::ScopedLock lock(seatLock_);
    platform::ScopedLock roomLock(game_.lock);
    game_.ResetTeams();
    game_.SetOptions(room_.gameType, std::max<std::uint8_t>(perTeam, 1));
    for (const TeamBlock& t : teams) {
        net::RoomTeam& team = game_.teams[t.slot - 1];
        for (std::size_t m = 0; m < t.seats.size(); ++m) {
            RoomSeat& seat = seats_[t.seats[m]];
            if (!seat.occupied) {
                seat.occupied = true;
                game_.AddPlayer(t.seats[m], &seat.record);
            }
            seat.record.money = t.money[m];
            seat.record.game.playing = t.slot;
            game_.SetTeamMember(t.slot, static_cast<int>(m), t.seats[m]);
        }
        team.result = t.result;
        team.score = t.value;
        team.finishingShots = t.finishing;
        team.SetStatus(t.status);
    }
    // Each team plays to its members' handicap for the game, as a watcher's row names his own.
    game_.ComputeTeamHandicaps();
    game_.CountTeams();
    return true;
}

// ---- Own turn and shooter ------------------------------------------------------------------------

void SceneRoomGame::ApplyOwnTurn(bool own) {
    table::TableWorld* world = World();
    if (!world) return;
    world->SetOwnTurn(own);
    world->OnKeyCommand('Z', false);
    world->SetTurnFlag(own);
    world->SetSceneVisible(true);
    if (chalkGauge_) chalkGauge_->SetActive(own);
}

void SceneRoomGame::SetShooterSeat(int seat) {
    shooter_ = seat;
    table::CueObject* cue = nullptr;
    {
        platform::ScopedLock lock(seatLock_);
        room_.currentShooter = static_cast<std::uint8_t>(SeatValid(seat) ? seat : 0);
        platform::ScopedLock roomLock(game_.lock);
        if (SeatValid(seat)) {
            game_.SetTurnToPlayer(seat);
            cue = seat == ownSeat_.load() ? cueObject_ : seatCues_[seat];
        }
    }
    table::TableWorld* world = World();
    if (!world) return;
    world->SetCurrentPlayer(SeatValid(seat) ? seat : 0, true);
    // The table shows the cue of the one whose turn it is, and the own strike sends the own cue.
    if (cue) world->SetShooter(cue);
}

void SceneRoomGame::JournalTurn() {
    JournalWhenReady("TURN " + std::to_string(shooter_.load()) + (IsOwnTurn() ? " 1" : " 0"));
}

void SceneRoomGame::PassTurnFromLeaver(int next) {
    SetShooterSeat(next);
    ApplyOwnTurn(SeatValid(next) && next == ownSeat_.load());
    StartTurnClock(platform::NowMs());
    bool goesOn = false;
    {
        platform::ScopedLock lock(seatLock_);
        platform::ScopedLock roomLock(game_.lock);
        goesOn = game_.teamCount >= 2;
    }
    // A shot under way brings its own turn result and that turn's line; a game of one team ends.
    if (SeatValid(next) && goesOn && !shotRunning_.load()) JournalTurn();
}

void SceneRoomGame::StartTurnClock(std::uint64_t nowMs) {
    turnStartMs_ = nowMs;
    turnTimedOut_ = false;
    warningPlayed_ = false;
    defaultShotDone_ = false;
}

// ---- Game start ----------------------------------------------------------------------------------

void SceneRoomGame::OnGameStart(net::Packet& p) {
    table::TableWorld* world = World();
    const std::uint64_t now = platform::NowMs();
    const std::uint32_t seed = p.U32();
    const std::uint32_t elapsed = p.U32();
    const std::uint8_t shooter = p.U8();
    const std::uint8_t cueBall = p.U8();
    const std::uint8_t boardCount = p.U8();
    std::array<std::uint8_t, 4> boardValues{};
    for (auto& v : boardValues) v = p.U8();
    if (p.IsBad() || !SeatValid(shooter) || !world || cueBall >= world->BallCount()) {
        LogDropped(u"shooter or cue ball", 2029);
        return;
    }
    if (!ReadTeams(p, true)) return;
    const std::uint32_t betting = p.U32();
    // A room of money class 3 carries its two stake amounts for the player list.
    if (RoomCopy().moneyClass == 3) {
        const auto stake1 = static_cast<std::int32_t>(p.U32());
        const auto stake2 = static_cast<std::int32_t>(p.U32());
        if (!p.IsBad()) {
            {
                platform::ScopedLock lock(seatLock_);
                room_.stake1 = stake1;
                room_.stake2 = stake2;
            }
            ShowStake();
        }
    }

    StartTurnClock(now);
    gameClockBaseMs_ = now > elapsed ? now - elapsed : 0;
    gameSeed_ = seed;
    rackSeed_ = seed;
    showReceiving_ = false;  // the game's data is here: the breaker waits for nothing more
    bettingValue_ = betting;
    shotRunning_ = false;
    resultSoundHeld_ = false;
    attachTableState_ = false;
    shotCount_ = 0;
    gameRunning_ = true;
    requestKind_ = 0;
    for (auto& refused : requestsRefused_) refused = 0;
    {
        platform::ScopedLock lock(seatLock_);
        room_.state = static_cast<std::uint8_t>(net::RoomState::Playing);
        for (RoomSeat& s : seats_) s.record.game.ClearCounters();
        leftPlayers_ = {};
    }
    AddChatLine(u"The game has started.", colour::kGreen);

    // Every game starts as the room's first did: the aim along the table toward the rack, and the
    // camera behind the cue ball (a player who watches from above keeps the top view).
    world->ResetGame(seed);
    world->ResetAim();
    if (!world->GetCameraRig().InTopView()) world->ResetCamera();
    world->StartNewRack(seed);
    world->SetPlayState(table::PlayState::Waiting);
    world->SetCurrentBall(cueBall);
    SetShooterSeat(shooter);
    const bool own = IsOwnTurn();
    const std::int32_t gameType = world->GameType();
    if (own && StartsFacingHeading(gameType)) world->TurnCameraToHeading(kStartHeadingDegrees);
    world->MoveCamera(kCameraSecondsTurn, table::kKeepValue, table::kKeepValue);
    ApplyOwnTurn(own);
    if (own && gameType >= kFirstPocketType) {
        world->ballInHandMode = 1;
        world->BeginBallInHand(cueBall);
    }
    // The start sound, the rack's and the start voice one after another.
    QueueSound(sound::kGameStart);
    if (gameType >= kFirstPocketType) QueueSound(sound::kRack);
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    // A tournament game always starts with the first voice.
    const bool tournament = channelType_.load() == kTournamentChannel && session && session->tournamentFlag1;
    QueueSound(sound::kStartVoice + (tournament ? 0 : static_cast<int>(cosmetic_() % 2)));
    if (session) session->Recorder().Disable();
    Hud().SetUpScoreBoard(boardCount, boardValues, channelType_.load() == kTournamentChannel);
    UpdateTableOwnership();
    JournalTurn();
}

// A gamble game without a pot that has run an hour ends; the notice goes to the own player while the
// first team is at the table.
bool SceneRoomGame::OneHourPassed(std::uint64_t nowMs) {
    const std::uint8_t gameType = RoomCopy().gameType;
    if ((gameType != 2 && gameType != 5) || bettingValue_.load() != 0 || !IsOwnSeatPlaying()) return false;
    {
        platform::ScopedLock lock(seatLock_);
        platform::ScopedLock roomLock(game_.lock);
        if (game_.currentTeam != 0) return false;
    }
    const std::uint64_t base = gameClockBaseMs_.load();
    return nowMs > base && nowMs - base >= kOneHourMs;
}

// A shooter who stays at the table in a carom game hears how far his team is: the finishing shot a
// handicap game asks for at its targets, else the voice at 10 and 20 points.
void SceneRoomGame::AnnounceTurnResult(std::uint8_t kind, std::uint16_t tableTeamResult) {
    const std::uint8_t gameType = RoomCopy().gameType;
    if (kind != kKindStays || gameType >= 6) return;
    const int seat = shooter_.load();
    const char16_t* line = nullptr;
    int voice = 0;
    {
        platform::ScopedLock lock(seatLock_);
        platform::ScopedLock roomLock(game_.lock);
        const int index = game_.TeamIndexOfSeat(seat);
        if (index >= 0 && (gameType == 0 || gameType == 3) && game_.teams[index].score == 0) {
            net::RoomTeam& team = game_.teams[index];
            const auto [threeCushion, bankShot] = team.finishingShots;
            if (threeCushion != 0 && tableTeamResult >= threeCushion) {
                line = u"Now~ your three cushion shot.";
                voice = sound::kThreeCushionFinish;
                team.result = kThreeCushionFinishResult;
            } else if (bankShot != 0 && tableTeamResult >= bankShot) {
                line = u"Time to hit a bank shot.";
                voice = sound::kBankShotFinish;
                team.result = kBankShotFinishResult;
            }
        }
    }
    if (line) {
        AddChatLine(line, colour::kGreen);
        PlayEffect(hud::GameAni::FinishingShot);
        PlaySound(voice);
    } else if (tableTeamResult == 10) {
        PlaySound(sound::kTenPoints);
    } else if (tableTeamResult == 20) {
        PlaySound(sound::kTwentyPoints);
    }
}

// ---- Aim and shot --------------------------------------------------------------------------------

bool SceneRoomGame::SendAim(std::uint64_t nowMs) {
    table::TableWorld* world = World();
    if (!world) return false;
    const std::uint64_t last = lastAimCheckMs_.load();
    if (last != 0 && platform::ElapsedMs(last, nowMs) <= kAimIntervalMs) return false;
    lastAimCheckMs_ = nowMs;
    net::Packet packet;
    if (!world->WriteAimMessageIfDue(packet, nowMs)) return false;
    return SendPacket(packet);
}

void SceneRoomGame::OnAim(net::Packet& p) {
    std::array<std::uint32_t, 5> values{};
    for (auto& v : values) v = p.U32();
    if (p.IsBad()) return;
    showReceiving_ = false;
    if (table::TableWorld* world = World(); world && !IsOwnTurn()) world->ApplyRemoteAim(values);
}

void SceneRoomGame::OnShot(net::Packet& p) {
    table::TableWorld* world = World();
    if (!world) return;
    // A shot that comes before this client's run of the last one rested starts from the turn's table.
    bool held = false;
    {
        platform::ScopedLock lock(seatLock_);
        held = !held_.empty();
    }
    if (held) {
        world->StopShotInProgress();
        TakeHeldMessages();
    }
    if (!world->ReadShotMessage(p)) return;
    if (gameRunning_.load()) ++shotCount_;
    showReceiving_ = false;
    const bool ownCue = world->CurrentShot().shooterSeat == ownSeat_.load() && IsOwnTurn();
    shotRunning_ = true;
    world->SetTurnFlag(false);
    if (!world->ExecuteShot(table::ShotMode::Server, ownCue))
        LogWrite(u"ERROR : the received shot did not start\n");
}

void SceneRoomGame::SendTableState(bool append, net::Packet* packet) {
    table::TableWorld* world = World();
    if (!world) return;
    const std::uint16_t table = turnTableItem_.load(), balls = turnBallSet_.load();
    auto fill = [&](net::Packet& p) {
        world->WriteBallStateMessage(p, append);
        p.WriteU16(table).WriteU16(balls);
    };
    if (packet)
        fill(*packet);
    else
        SendMessage(RoomMsg::TableState, fill);
}

void SceneRoomGame::SendShotResult() {
    table::TableWorld* world = World();
    if (!world) return;
    SendMessage(RoomMsg::ShotResult, [&](net::Packet& p) {
        world->WriteShotResultMessage(p);
        if (attachTableState_.exchange(false)) SendTableState(true, &p);
    });
}

// ---- Turns ---------------------------------------------------------------------------------------

void SceneRoomGame::OnTurnResult(net::Packet& p) {
    table::TableWorld* world = World();
    if (!world) return;
    const std::uint64_t now = platform::NowMs();
    const std::uint16_t ballSet = p.U16();
    const std::uint16_t tableItem = p.U16();
    const std::uint8_t kind = p.U8();
    const std::uint8_t next = p.U8();
    const std::uint8_t cueBall = p.U8();
    const std::uint32_t seed = p.U32();  // racks a cleared pocket table; each shot carries its own
    if (p.IsBad() || !SeatValid(next) || cueBall >= world->BallCount()) {
        LogDropped(u"next shooter or cue ball", 2056);
        return;
    }
    const bool running = gameRunning_.load();
    std::int16_t code = 0;
    std::uint16_t highRun = 0, firstScore = 0, secondScore = 0;
    std::uint32_t centre = 0;
    std::uint8_t freeBall = 0;
    RoomScoreUpdate scores;
    std::vector<std::pair<std::uint8_t, std::int64_t>> money;
    if (running) {
        p.U16();
        code = static_cast<std::int16_t>(p.U16());
        scores.turnMarker = p.U8();
        firstScore = p.U16();
        highRun = p.U16();
        secondScore = p.U16();
        scores.shooterTeamResult = p.U16();
        scores.tableTeamResult = p.U16();
        p.U8();
        centre = p.U32();
        freeBall = p.U8();
        // The list ends with 0xFF; a message that ends first ends the list too.
        for (int n = 0; n < kSeats + 1 && !p.IsBad() && !p.AtEnd(); ++n) {
            const std::uint8_t seat = p.U8();
            if (seat == kListEnd || p.IsBad()) break;
            const auto amount = static_cast<std::int64_t>(p.U64());
            if (!p.IsBad() && SeatValid(seat)) money.emplace_back(seat, amount);
        }
        if (p.IsBad()) {
            LogDropped(u"short turn result", 2056);
            return;
        }
    }
    StartTurnClock(now);
    showReceiving_ = false;
    // A table state asked for during the shot and not yet sent goes before the turn changes.
    if (attachTableState_.exchange(false)) SendTableState(false, nullptr);
    turnTableItem_ = tableItem;
    turnBallSet_ = ballSet;
    const int before = shooter_.load();
    if (running) {
        {
            platform::ScopedLock lock(seatLock_);
            seats_[next].record.game.score1 = firstScore;
            seats_[next].record.game.score2 = secondScore;
            net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
            for (const auto& [seat, amount] : money) {
                seats_[seat].record.money = amount;
                if (session && seat == ownSeat_.load()) session->own.money = amount;
            }
        }
        if (centre != 0) {
            PlaySound(sound::kCentreAmount);
            centreShownMs_ = now;
            centreAmount_ = centre;
        }
        if (world->GameType() == 6 && code < 0)
            AddChatLine(u"Foul. The points will be reset.", colour::kYellow);
        if (code == kTimeOutCode) {
            // The rules keep the time-out as the shooter's result; the world counts it for the game.
            PlayEffect(hud::GameAni::TimeOut);
            world->Rules().SetShotResultCode(kTimeOutCode, false);
            ++world->timeOutCount;
            // The own turn ended for lack of time, by this client's clock or another's (the master's, the
            // server's while this one hung): the player reads it whenever his client takes the message.
            if (before == ownSeat_.load()) AddChatLine(kOwnTimeOutLine, colour::kYellow);
        }
        if (kind != kKindStays && world->GameType() == kEightBall) world->ClearPocketCall();
    }
    if (running) {
        platform::ScopedLock lock(seatLock_);
        platform::ScopedLock roomLock(game_.lock);
        if (const int team = game_.TeamIndexOfSeat(before); team >= 0)
            game_.teams[team].result = scores.shooterTeamResult;
        if (const int team = game_.TeamIndexOfSeat(next); team >= 0)
            game_.teams[team].result = scores.tableTeamResult;
    }
    SetShooterSeat(next);
    if (running) {
        scores.shooterSeat = next;
        scores.shooterStays = kind == kKindStays;
        scores.firstScore = firstScore;
        scores.secondScore = secondScore;
        Hud().UpdateScores(scores);
        // An 8-ball shot that had its own voice holds the result sound back.
        if (!resultSoundHeld_.load()) PlayResultSound(highRun, kind, code);
        AnnounceTurnResult(kind, scores.tableTeamResult);
    }
    const bool own = next == ownSeat_.load();
    if (running && freeBall != 0 && world->GameType() >= kFirstPocketType) {
        PlayEffect(hud::GameAni::FreeBall);
        world->RespotCueBall();
        // Every client respots alike; only the shooter places a ball, so only his spot goes out.
        if (own) {
            SendPlacement();
            world->BeginBallInHand(0);
            AddChatLine(freeBall == 1 ? kFreeBallLine : u"Break foul! You can freely place the cue ball.",
                        colour::kWhite);
        }
    }
    if (own && before != next && channelType_.load() != kTournamentChannel && running) {
        PlayEffect(hud::GameAni::YourTurn);
        PlaySound(sound::kOwnTurn);
    }
    ApplyOwnTurn(own);
    if (running && world->GameType() == kEightBall) {
        std::uint8_t status = 0;
        {
            platform::ScopedLock lock(seatLock_);
            platform::ScopedLock roomLock(game_.lock);
            const int team = game_.TeamIndexOfSeat(next);
            if (team >= 0) status = game_.teams[team].GetStatus();
        }
        if (status == kStatusCallEight) {
            world->SetPocketCallPending(true);
            world->SetTurnFlag(false);
            if (own)
                AddChatLine(u"Call the pocket where you will pocket the 8 ball.(Left click)", colour::kGreen);
        }
    }
    if (highRun > 2) AddChatLine(Format(u"%d Pts", static_cast<int>(highRun)), colour::kPoints);
    if (running && kind != kKindStays && OneHourPassed(now)) Hud().ShowOneHourNotice();
    rackSeed_ = seed;
    if (world->GameType() >= kFirstPocketType) world->Rerack(seed, false);
    shotRunning_ = false;
    resultSoundHeld_ = false;
    world->SetCurrentBall(cueBall);
    world->RespotCueBallIfOutOfPlay();
    world->UpdateAimObjects();
    // Every turn of a game starts with the camera behind the cue ball along the aim, out of the shot's
    // overview: the next shooter aims where the last one did, which his camera, watching, never followed.
    if (running) world->ReturnCameraBehindCue(kCameraSecondsTurn);
    world->SetSceneVisible(true);
    UpdateTableOwnership();
}

bool SceneRoomGame::HoldBehindShot(std::uint16_t id, net::Packet& p) {
    table::TableWorld* world = World();
    if (!world || id == room::Id(RoomMsg::Shot)) return false;
    static constexpr RoomMsg kAfterShot[] = {
        RoomMsg::TurnResult,    RoomMsg::NewTurn,     RoomMsg::BreakFoul,   RoomMsg::Groups,
        RoomMsg::EightBallShot, RoomMsg::GameEnd,     RoomMsg::GameResults, RoomMsg::RankResult,
        RoomMsg::PlacedBall,    RoomMsg::CalledPocket};
    const bool afterShot = std::any_of(std::begin(kAfterShot), std::end(kAfterShot),
                                       [id](RoomMsg held) { return room::Id(held) == id; });
    bool first = false;
    {
        platform::ScopedLock lock(seatLock_);
        if (held_.empty() && !(afterShot && world->ShotExecuting())) return false;
        first = held_.empty();
        HeldMessage message{id, std::vector<std::uint8_t>(p.Remaining())};
        p.ReadBytes(message.body.data(), message.body.size());
        held_.push_back(std::move(message));
    }
    // The balls may have come to rest meanwhile, before the message was held for them.
    if (!world->ShotExecuting())
        TakeHeldMessages();
    else if (first)
        LogWrite(
            u"ROOM : room message %d and those after it are taken once this client's run of the last shot "
            u"rests\n",
            static_cast<int>(id));
    return true;
}

void SceneRoomGame::TakeHeldMessages() {
    for (;;) {
        HeldMessage message;
        {
            platform::ScopedLock lock(seatLock_);
            if (held_.empty()) return;
            message = std::move(held_.front());
            held_.pop_front();
        }
        net::Packet p;
        p.Init(message.id);
        p.WriteBytes(message.body.data(), message.body.size());
        p.Finish();
        p.Rewind();
        Dispatch(message.id, p);
    }
}

void SceneRoomGame::OnNewTurn(net::Packet& p) {
    table::TableWorld* world = World();
    if (!world) return;
    const std::uint8_t shooter = p.U8();
    const std::uint8_t cueBall = p.U8();
    if (p.IsBad() || !SeatValid(shooter) || cueBall >= world->BallCount()) {
        LogDropped(u"shooter or cue ball", 2051);
        return;
    }
    const auto cueSpot = [world] {
        std::array<float, 3> at{};
        world->BallPosition(static_cast<std::size_t>(world->CurrentBall()), at[0], at[1], at[2]);
        return at;
    };
    const std::int32_t ballBefore = world->CurrentBall();
    const std::array<float, 3> spotBefore = cueSpot();
    // The block starts with the turn's table and ball set, as the table state does. A state this client
    // refuses (the world says why) costs only the state: the shooter and the cue ball came first, and the
    // turn goes on on the table every client of the room simulated alike.
    const bool stateTaken = world->ReadBallStateMessage(p);
    if (!stateTaken) {
        LogWrite(
            u"WARNING : room message 2051: its table state is refused; the turn of seat %d goes on "
            u"on this table\n",
            static_cast<int>(shooter));
    } else if (world->GameType() >= kFirstPocketType) {
        // The state may be the one the last shot ended with, before its turn result racked the table
        // again (14-1 down to its last ball): rack it the same way, without a second rack sound.
        world->Rerack(rackSeed_, false, false);
    }
    showReceiving_ = false;
    if (gameRunning_.load()) SetShooterSeat(shooter);
    world->SetCurrentBall(cueBall);
    // The turn's table state may hold the cue ball in its pocket: after a scratch (the free ball's
    // respot is sent as 2063, the same spot as this), or after a ball-in-hand turn that ran out of time.
    world->RespotCueBallIfOutOfPlay();
    // A cue ball the turn put elsewhere (a rack of the server's, a respot) takes the camera behind it.
    if (world->CurrentBall() != ballBefore || cueSpot() != spotBefore)
        world->ReturnCameraBehindCue(kCameraSecondsTurn);
    UpdateTableOwnership();
    if (stateTaken) {
        const std::uint16_t tableItem = p.U16();
        const std::uint16_t ballSet = p.U16();
        if (!p.IsBad() && world->BallsFitTable(tableItem)) {
            turnTableItem_ = tableItem;
            turnBallSet_ = ballSet;
        }
    }
    if (gameRunning_.load()) JournalTurn();
}

void SceneRoomGame::OnBreakFoul(net::Packet& p) {
    table::TableWorld* world = World();
    const std::uint32_t seed = p.U32();
    const std::uint8_t kind = p.U8();
    if (p.IsBad() || !world) return;
    if (kind == 2 || kind == 3) {
        world->Rerack(seed, true);
        if (world->GameType() >= kFirstPocketType) QueueSound(sound::kRack);
    } else if (kind == 1) {
        AddChatLine(u"Break foul! Try the first break again!", colour::kYellow);
        world->Rerack(seed, true);
        world->breakFoul = 1;
    }
}

// Reads `count` team statuses into the game room; false when the count breaks a bound.
static bool ReadStatuses(net::Packet& p, net::GameRoom& game, platform::CriticalSection& seatLock) {
    const std::uint8_t count = p.U8();
    if (p.IsBad() || count > net::kMaxTeams) return false;
    std::array<std::uint8_t, net::kMaxTeams> statuses{};
    for (int i = 0; i < count; ++i) statuses[i] = p.U8();
    if (p.IsBad()) return false;
    platform::ScopedLock lock(seatLock);
    platform::ScopedLock roomLock(game.lock);
    for (int i = 0; i < count; ++i) game.teams[i].SetStatus(statuses[i]);
    return true;
}

void SceneRoomGame::OnGroups(net::Packet& p) {
    if (!ReadStatuses(p, game_, seatLock_)) return LogDropped(u"team count", 2087);
    AddChatLine(u"The group has been determined.", colour::kGreen);
}

void SceneRoomGame::OnEightBallShot(net::Packet& p) {
    const std::uint8_t soundFlag = p.U8();
    if (!ReadStatuses(p, game_, seatLock_)) return LogDropped(u"team count", 2088);
    AddChatLine(u"8 ball shot!", colour::kGreen);
    if (soundFlag) {
        resultSoundHeld_ = true;
        QueueSound(sound::kEightBallShot);
    }
}

// ---- Game end ------------------------------------------------------------------------------------

void SceneRoomGame::ResetAfterGame() {
    table::TableWorld* world = World();
    gameRunning_ = false;
    // A turn line still waiting for the table is no turn any more: the game is over.
    JournalWhenReady({});
    showReceiving_ = false;
    shotRunning_ = false;
    const int master = masterSeat_.load();
    {
        platform::ScopedLock lock(seatLock_);
        room_.state = static_cast<std::uint8_t>(net::RoomState::Waiting);
    }
    if (!world) return;
    world->ClearPocketCall();
    world->SetPlayState(table::PlayState::Waiting);
    SetShooterSeat(master);
    const bool own = master == ownSeat_.load() && !watchOnly_.load();
    ApplyOwnTurn(own);
    if (own) world->MoveCamera(kCameraSecondsEnd, kEndDistance, kEndPitch);
}

void SceneRoomGame::OnGameEnd(net::Packet& p) {
    const WString name = p.Str();
    const std::uint8_t endKind = p.U8();
    const auto points = static_cast<std::int16_t>(p.U16());
    p.U16();
    const std::uint8_t teamCount = p.U8();
    const std::uint8_t perTeam = p.U8();
    if (p.IsBad() || teamCount > net::kMaxTeams || perTeam > kMaxMembers || teamCount * perTeam > kSeats) {
        LogDropped(u"team count", 2031);
        return;
    }
    std::uint8_t lastResult = 0;
    std::vector<RoomResultRow> rows;
    for (int t = 0; t < teamCount; ++t) {
        const std::uint8_t slot = p.U8();
        lastResult = p.U8();
        for (int m = 0; m < perTeam; ++m) {
            RoomResultRow row;
            row.teamSlot = slot;
            row.teamResult = lastResult;
            row.seat = p.U8();
            row.first = p.U32();
            row.second = p.U32();
            row.third = p.U8();
            if (SeatValid(row.seat)) rows.push_back(row);
        }
    }
    if (p.IsBad()) {
        LogDropped(u"short team rows", 2031);
        return;
    }
    const std::uint8_t gameType = RoomCopy().gameType;
    const WString how =
        endKind == 2 ? u"has withdrawn, so the game has ended." : u"has disconnected, so the game has ended.";
    if (gameType == 2 || gameType == 5)
        AddChatLine(u"Game is over.", colour::kRed);
    else if (lastResult == 7)
        AddChatLine(u"The game became invalid.", colour::kRed);
    else if (gameType == 6)
        AddChatLine(Format(u"%s %s", name, how), colour::kRed);
    else
        AddChatLine(Format(u"%s %s (%s %d)", name, how, WString(u"WP"), static_cast<int>(points)),
                    colour::kRed);
    Hud().ShowGameResult(ResultMode(), rows);
    KeepOwnSeatAfterGame();
    PlaySound(sound::kGameEnd);
    ResetAfterGame();
    // The recording of the game ends with its end marker.
    if (net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr) session->Recorder().Finish();
    // The player withdrew on his way out of the room: out he goes.
    if (leaveAfterGame_.exchange(false)) RunOnMainThread([this] { LeaveRoom(); });
}

int SceneRoomGame::ResultMode() {
    return RoomCopy().IsOpenNonGamble() ? kOpenResultMode : kStakeResultMode;
}

// The session remembers whether the own player played; one who can no longer pay for the room
// watches from now on and tells the server so.
void SceneRoomGame::KeepOwnSeatAfterGame() {
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    if (!session) return;
    std::uint8_t playing = 0;
    {
        platform::ScopedLock lock(seatLock_);
        const int own = ownSeat_.load();
        if (SeatValid(own)) playing = seats_[own].record.game.playing;
    }
    session->ownPlaying = playing;
    if (playing == 0 || watchOnly_.load()) return;
    if (RoomCopy().RequiredGold(session->own.money, channelType_.load()) > 0) {
        session->ownPlaying = 0;
        SendByte(RoomMsg::PlayChoice, 0);
    }
}

void SceneRoomGame::OnGameResults(net::Packet& p) {
    const std::uint8_t teamCount = p.U8();
    const std::uint8_t perTeam = p.U8();
    if (p.IsBad() || teamCount > net::kMaxTeams || perTeam > kMaxMembers || teamCount * perTeam > kSeats) {
        LogDropped(u"team count", 2046);
        return;
    }
    struct Row {
        std::uint8_t slot, result;
        std::vector<RoomResultRow> members;  // in the team's order; the seats are the room's
    };
    std::vector<Row> rows;
    for (int t = 0; t < teamCount; ++t) {
        Row row{p.U8(), p.U8(), {}};
        if (row.result != 0 && row.result != 7)
            for (int m = 0; m < perTeam; ++m) {
                RoomResultRow member;
                member.teamSlot = row.slot;
                member.teamResult = row.result;
                member.first = p.U32();
                member.second = p.U32();
                member.money = static_cast<std::int64_t>(std::min<std::uint64_t>(p.U64(), INT64_MAX));
                member.third = p.U8();
                member.fourth = p.U8();
                row.members.push_back(member);
            }
        if (row.slot < 1 || row.slot > net::kMaxTeams) {
            LogDropped(u"team slot", 2046);
            return;
        }
        rows.push_back(std::move(row));
    }
    if (p.IsBad()) {
        LogDropped(u"short team rows", 2046);
        return;
    }
    std::vector<RoomResultRow> shown;
    int playOn = 0;  // teams left without a result: two of them go on playing
    int next = kNoSeat;
    {
        platform::ScopedLock lock(seatLock_);
        platform::ScopedLock roomLock(game_.lock);
        net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
        for (Row& row : rows) {
            net::RoomTeam& team = game_.teams[row.slot - 1];
            team.result = row.result;
            for (std::size_t m = 0; m < row.members.size() && m < team.memberCount; ++m) {
                const int seat = team.memberSeats[m];
                if (!SeatValid(seat)) continue;
                RoomResultRow& member = row.members[m];
                member.seat = seat;
                // The message carries the gold after the game; the row shows what the game changed.
                const std::int64_t gold = member.money;
                member.money = gold - std::max<std::int64_t>(seats_[seat].record.money, 0);
                seats_[seat].record.money = gold;
                if (session && seat == ownSeat_.load()) session->own.money = gold;
                shown.push_back(member);
            }
        }
        for (const net::RoomTeam& team : game_.teams)
            playOn += team.memberCount > 0 && team.result == 0 ? 1 : 0;
        if (playOn >= 2) {
            // The teams with a result watch from now on; the others close up and play on.
            for (const net::RoomTeam& team : std::array<net::RoomTeam, net::kMaxTeams>(game_.teams))
                if (team.memberCount > 0 && team.result != 0)
                    for (int m = 0; m < team.memberCount; ++m) game_.SetTeamSlot(team.memberSeats[m], 0);
            game_.ReseatTeamMembers();
            game_.CompactTeams();
            next = game_.NextTurn(SeatValid(shooter_.load()) ? &seats_[shooter_.load()].record : nullptr);
            game_.UpdateReadyCounts();
        } else {
            // Every seat watches after the game, out of its team too: the next line-up starts empty
            // (a Start offered the last game's teams while every seat showed watching).
            for (int seat = 0; seat < kSeats; ++seat) {
                seats_[seat].record.game.playing = 0;
                game_.SetTeamSlot(seat, 0);
            }
            game_.CountTeams();
            game_.UpdateReadyCounts();
        }
    }
    Hud().ShowGameResult(ResultMode(), shown);
    // Queued, so the sound after the results waits for it.
    QueueSound(sound::kGameResults);
    if (playOn >= 2) {
        int ownPlaying = 0;
        {
            platform::ScopedLock lock(seatLock_);
            if (SeatValid(ownSeat_.load())) ownPlaying = seats_[ownSeat_.load()].record.game.playing;
        }
        if (net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr)
            session->ownPlaying = ownPlaying;
        if (SeatValid(next)) SetShooterSeat(next);
        ApplyOwnTurn(SeatValid(next) && next == ownSeat_.load());
        return;
    }
    ResetAfterGame();
    QueueSound(sound::kAfterResults);
}

// ---- Table messages ------------------------------------------------------------------------------

void SceneRoomGame::OnTableStateRequest(net::Packet&) {
    table::TableWorld* world = World();
    if (!world) return;
    if (shotRunning_.load() || world->ShotExecuting())
        attachTableState_ = true;
    else
        SendTableState(false, nullptr);
}

void SceneRoomGame::OnPlacedBall(net::Packet& p) {
    const std::uint8_t ball = p.U8();
    const std::uint32_t x = p.U32(), y = p.U32(), z = p.U32();
    table::TableWorld* world = World();
    if (p.IsBad() || !world) return;
    if (!world->PlaceBall(ball, x, y, z)) LogDropped(u"ball placement", 2064);
}

void SceneRoomGame::OnCalledPocket(net::Packet& p) {
    std::uint8_t pocket = p.U8();
    if (p.IsBad()) return;
    if (pocket < 1 || pocket > 6) pocket = table::kNoPocket;
    if (table::TableWorld* world = World()) world->SetCalledPocket(pocket);
    PlaySound(sound::kPocketCall);
}

void SceneRoomGame::OnMarkedNumbers(net::Packet& p) {
    if (table::TableWorld* world = World(); world && !world->ReadMarkedNumbersMessage(p))
        LogDropped(u"marked numbers", 2075);
}

void SceneRoomGame::OnGuideRefresh(net::Packet& p) {
    p.U16();
    PlaySound(sound::kChalk);
    if (table::TableWorld* world = World()) world->UpdateGuideObject();
}

void SceneRoomGame::OnLinePoint(net::Packet& p) {
    const std::uint8_t seat = p.U8();
    table::TableWorld* world = World();
    if (p.IsBad() || !SeatValid(seat) || !world) return;
    float x = 0, y = 0;
    if (!world->ReadLinePointMessage(seat, p, x, y))
        LogDropped(u"line point", 2083);
    else
        QueueTurnLabel(seat, x, y);
}

}  // namespace scenes
