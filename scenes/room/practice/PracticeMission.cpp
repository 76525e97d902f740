// The practice room's earn-gold mission: the request, start and give-up, the judging of each shot
// at rest, the report to the server and its reward, and the membership instant charge.
#include "engine/core/Format.h"
#include "engine/core/Log.h"
#include "gui/Button.h"
#include "gui/CommonDialogs.h"
#include "net/GameSession.h"
#include "net/Packet.h"
#include "net/PlayerRecord.h"
#include "net/RoomInfo.h"
#include "scenes/base/SceneHost.h"
#include "scenes/room/hud/ChalkGauge.h"
#include "scenes/room/practice/EarnGoldDialogs.h"
#include "scenes/room/practice/PracticeCodes.h"
#include "scenes/room/practice/SceneRoomPractice.h"
#include "table/TableWorld.h"

namespace scenes {

using namespace practice;

namespace {
constexpr float kCameraSeconds = 0.5f;
}  // namespace

void SceneRoomPractice::RequestMission(bool fromLobby) {
    const net::PlayerRecord& record = Record();
    const int gameType = Room().gameType;
    // The lobby checked the limits before it asked; only the game type counts then.
    const MissionRefusal refusal =
        fromLobby ? (MissionRowFor(gameType) ? MissionRefusal::None : MissionRefusal::NoMission)
                  : CheckMissionRequest(gameType, record.money, record.dailyCounter);
    switch (refusal) {
        case MissionRefusal::TooMuchGold:
            Notice(u"Because your gold is over 3,000, you can't try this.");
            return;
        case MissionRefusal::AlreadyToday:
            Notice(u"Earn gold mission is allowed once a day.");
            return;
        case MissionRefusal::NoMission:
            Notice(u"Earning gold isn't available for this game.", u"Try other game type..",
                   fromLobby ? u"Not Available : Snooker" : u"Not available : Snooker");
            return;
        case MissionRefusal::None:
            break;
    }
    rules_->Fill(gameType);
    rules_->Show(true);
}

void SceneRoomPractice::StartMission() {
    const MissionRow* row = MissionRowFor(Room().gameType);
    table::TableWorld* world = World();
    if (!row || !world) return;
    AddChatLine(u"Earning gold mission started!!.", colour::kYellow);
    world->SetPlayState(table::PlayState::NewRack);
    earnGold_->Show(false);
    status_->SetRow(*row);
    status_->ShowCounters(0, 0, 0.0);
    ShowMissionPanel(true);
    mission_.Start(*row);

    world->ResetGame(RandomSeed());
    if (!world->GetCameraRig().InTopView()) world->ResetCamera();
    world->GetCameraRig().SetSetUpFlag(true);
    world->MoveCamera(kCameraSeconds, table::kKeepValue, table::kKeepValue);
    world->SetOwnTurn(true);
    world->OnKeyCommand('Z', false);
    world->SetTurnFlag(true);
    world->SetSceneVisible(true);
    gauge_->SetActive(true);
    JournalFreeTableReady();
    // The start call, then for pocket games the rack's sound once it has ended: both go through
    // the queue of sounds played one after another.
    QueueSound(sound::kMissionStart);
    if (row->gameType >= table::kFirstPocketGameType) {
        // A pocket game breaks with the cue ball in hand, as a game room's break does.
        if (world->GameType() >= table::kFirstPocketGameType) {
            world->BeginBallInHand(world->CurrentBall());
            AddChatLine(kFreeBallLine, colour::kWhite);
        }
        QueueSound(sound::kRack);
    }
    ShowMissionCounters();
}

void SceneRoomPractice::CancelMission() {
    earnGold_->Show(true);
    ShowMissionPanel(false);
    mission_.Stop();
    if (World()) World()->SetPlayState(table::PlayState::FreePractice);
}

void SceneRoomPractice::JudgeMissionShot() {
    table::TableWorld* world = World();
    const int result = world->GetShotResultCode();
    const int pocketed = world->Rules().FirstBallListCount();
    switch (mission_.Judge(result, pocketed)) {
        case practice::EarnGoldMission::Outcome::Scored:
        case practice::EarnGoldMission::Outcome::TargetReached:
            PlaySound(sound::kScored);
            AddChatLine(u"Success !!", colour::kGreen);
            world->SetCurrentPlayer(world->CurrentBall(), false);
            break;
        case practice::EarnGoldMission::Outcome::Missed:
            AddChatLine(u"Failed... OTL", colour::kRed);
            // Carom games hand the cue to the other cue ball; pocket games keep theirs.
            if (world->GameType() < table::kFirstPocketGameType)
                world->SetCurrentPlayer(1 - world->CurrentBall(), false);
            else
                world->SetCurrentPlayer(world->CurrentBall(), false);
            break;
        case practice::EarnGoldMission::Outcome::InningsUsedUp:
            AddChatLine(u"Finish... Wait for rewards.", colour::kYellow);
            break;
    }
    if (!mission_.Active()) FinishMission();
    ShowMissionCounters();
}

void SceneRoomPractice::FinishMission() {
    const std::uint8_t gameType = Room().gameType;
    const auto row = static_cast<std::uint8_t>(rules_->SelectedRow());
    const auto points = static_cast<std::uint16_t>(mission_.Points());
    SendMessage(MsgId(PracticeMsg::MissionResult),
                [&](net::Packet& p) { p.WriteU8(gameType).WriteU8(row).WriteU16(points); });
    earnGold_->Show(true);
    ShowMissionPanel(false);
    mission_.Stop();
    World()->SetPlayState(table::PlayState::FreePractice);
    inProgress_->Open();
    World()->SetCurrentPlayer(0, false);
}

void SceneRoomPractice::ShowMissionCounters() {
    status_->ShowCounters(mission_.Innings(), mission_.Points(), mission_.Average());
}

void SceneRoomPractice::OnMissionReward(net::Packet& p) {
    std::uint32_t reward = 0;
    std::int64_t gold = 0;
    std::uint8_t daily = 0;
    p.ReadU32(reward).ReadI64(gold).ReadU8(daily);
    if (p.IsBad()) {
        LogWrite(u"WARNING : a short mission reward was dropped\n");
        return;
    }
    Queue([this, reward, gold, daily] {
        net::PlayerRecord& record = Record();
        record.money = gold;
        record.dailyCounter = daily;
        inProgress_->Show(false);
        Notice(Format(u"You earned %s gold for rewards.", FormatNumber(reward)));
    });
}

void SceneRoomPractice::SendInstantCharge() {
    rules_->Show(false);
    inProgress_->Open();
    SendMessage(MsgId(PracticeMsg::InstantCharge), [](net::Packet& p) { p.WriteU8(0); });
}

void SceneRoomPractice::OnInstantChargeResult(net::Packet& p) {
    std::uint8_t result = 0;
    std::int64_t gold = 0;
    std::uint32_t amount = 0;
    std::uint8_t daily = 0;
    p.ReadU8(result).ReadI64(gold).ReadU32(amount).ReadU8(daily);
    const bool bad = p.IsBad();
    Queue([this, result, gold, amount, daily, bad] {
        inProgress_->Show(false);
        if (bad || result != 0) {
            Notice(u"DB error.", u"Contact admin.");
            return;
        }
        net::PlayerRecord& record = Record();
        record.money = gold;
        record.dailyCounter = daily;
        Notice(Format(u"%s gold has charged.", FormatNumber(amount)));
        PlaySound(sound::kCharged);
    });
}

}  // namespace scenes
