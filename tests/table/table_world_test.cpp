#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>
#include <thread>
#include <utility>
#include <vector>

#include "engine/core/Log.h"
#include "platform/window/WindowCodes.h"
#include "table/TableWorld.h"

using namespace table;

namespace {

struct Posted {
    WorldMessage code;
    std::uint32_t a, b;
};

// A world hosted as a scene hosts it: messages land in a list, ticks are driven by hand. Every
// host has a physics model of its own, as a second world beside another one does.
struct Host {
    TableWorld world;
    std::vector<Posted> posted;
    std::uint32_t tick = 0;

    explicit Host(int gameType, std::uint32_t seed = 7) {
        world.SetMessageSink([this](WorldMessage code, std::uint32_t a, std::uint32_t b) {
            posted.push_back({code, a, b});
        });
        EXPECT_TRUE(world.SetGameType(gameType));
        world.SetGameItems(0, 0);
        EXPECT_TRUE(world.SetPhysicsModel(0x10014, true));
        world.StartNewRack(seed);
        world.SetPlayState(PlayState::FreePractice);
    }
    int Count(WorldMessage code) const {
        int n = 0;
        for (const Posted& p : posted) n += p.code == code;
        return n;
    }
    // Ticks until the shot rests (or the limit); the ticks it took.
    int RunToRest(int limit = 200000) {
        int n = 0;
        while (world.ShotExecuting() && n < limit) {
            world.Update(++tick, 0, 0, false);
            ++n;
        }
        return n;
    }
    std::vector<std::uint8_t> Bytes(void (TableWorld::*write)(net::Packet&) const) {
        net::Packet p;
        (world.*write)(p);
        p.Finish();
        return {p.Data(), p.Data() + p.Size()};
    }
    std::vector<std::uint8_t> BallState() {
        net::Packet p;
        world.WriteBallStateMessage(p, false);
        p.Finish();
        return {p.Data(), p.Data() + p.Size()};
    }
};

// The 2052 body a server relays: the cue ball struck toward ball 1 (or 2) of the rack.
void ShotToward(net::Packet& in, Host& host, std::size_t target, float power) {
    ShotMessage shot;
    float x, y, z;
    host.world.BallPosition(target, x, y, z);
    shot.words.aimX = x;
    shot.words.aimY = y;
    shot.words.power = power;
    shot.words.maxPower = 1.0f;
    shot.words.tipOffsetSide = shot.words.offsetLimitSide = 0.2f;
    shot.shotSeed = 99;
    net::Packet out;
    WriteShotMessage(out, shot);
    out.Finish();
    in.SetFrames(out.Data(), out.Size());
}

}  // namespace

TEST(TableWorld, TwoWorldsGivenTheSameShotMessageWriteIdenticalResultAndBallState) {
    for (int gameType : {4, 10}) {
        Host a(gameType), b(gameType);
        ASSERT_NE(a.world.Rules().Model(), b.world.Rules().Model()) << "two worlds, two models";
        net::Packet toA, toB;
        ShotToward(toA, a, 1, 0.9f);
        ShotToward(toB, a, 1, 0.9f);
        ASSERT_TRUE(a.world.ReadShotMessage(toA));
        ASSERT_TRUE(b.world.ReadShotMessage(toB));
        ASSERT_TRUE(a.world.ExecuteShot(ShotMode::Server, true));
        ASSERT_TRUE(b.world.ExecuteShot(ShotMode::Server, false));
        // Interleaved, as two clients in one process would run.
        while (a.world.ShotExecuting() || b.world.ShotExecuting()) {
            a.world.Update(++a.tick, 0, 0, false);
            b.world.Update(++b.tick, 0, 0, false);
            ASSERT_LT(a.tick, 100000u);
        }
        EXPECT_EQ(a.Bytes(&TableWorld::WriteShotResultMessage), b.Bytes(&TableWorld::WriteShotResultMessage))
            << "game type " << gameType;
        EXPECT_EQ(a.BallState(), b.BallState()) << "game type " << gameType;
        EXPECT_EQ(a.world.LastShotHash(), b.world.LastShotHash());
        EXPECT_NE(a.world.LastShotCalls(), 0u);
        EXPECT_EQ(a.Count(WorldMessage::CueStruck), 1) << "the own cue";
        EXPECT_EQ(b.Count(WorldMessage::CueStruck), 0) << "another player's cue";
    }
}

TEST(TableWorld, ShotAtRestIsPostedOncePerShotAndNeverAfterAStop) {
    Host h(4);
    net::Packet shot;
    ShotToward(shot, h, 1, 0.5f);
    ASSERT_TRUE(h.world.ReadShotMessage(shot));
    ASSERT_TRUE(h.world.ExecuteShot(ShotMode::Server, true));
    EXPECT_FALSE(h.world.ExecuteShot(ShotMode::Server, true)) << "one shot at a time";
    h.RunToRest();
    for (int i = 0; i < 50; ++i) h.world.Update(++h.tick, 0, 0, false);
    EXPECT_EQ(h.Count(WorldMessage::ShotAtRest), 1);
    EXPECT_GT(h.Count(WorldMessage::ShotRunning), 0);
    EXPECT_EQ(static_cast<std::size_t>(h.Count(WorldMessage::ShotRunning)) + 1, h.world.LastShotCalls())
        << "1120 on every tick of the shot but the last";

    h.world.MakeDefaultShot();
    ASSERT_TRUE(h.world.ExecuteShot(ShotMode::Local, true));
    for (int i = 0; i < 20; ++i) h.world.Update(++h.tick, 0, 0, false);
    h.world.StopShotInProgress();
    for (int i = 0; i < 50; ++i) h.world.Update(++h.tick, 0, 0, false);
    EXPECT_EQ(h.Count(WorldMessage::ShotAtRest), 1) << "a stopped shot reports no rest";
    EXPECT_FALSE(h.world.ShotExecuting());

    h.world.SetPlayState(PlayState::MiniView);
    h.world.MakeDefaultShot();
    ASSERT_TRUE(h.world.ExecuteShot(ShotMode::Replay, false));
    h.RunToRest();
    EXPECT_EQ(h.Count(WorldMessage::ShotAtRest), 1) << "not in play state 6";
    EXPECT_EQ(h.world.ShotsAtRest(), 2u);
}

TEST(TableWorld, EveryGameTypeRacksInsideItsTableAndADefaultShotRestsAtTheSameHashAtEverySpeed) {
    for (int gameType = 0; gameType < kGameTypeCount; ++gameType) {
        std::uint32_t hashes[3], calls[3];
        int ticks[3];
        const float scales[3] = {kTimeScaleNormal, kTimeScaleHalf, kTimeScaleQuarter};
        for (int s = 0; s < 3; ++s) {
            Host h(gameType, 3);
            ASSERT_EQ(h.world.BallCount(), GameTypeOf(gameType).ballCount) << "game type " << gameType;
            for (std::uint16_t i = 0; i < h.world.BallCount(); ++i)
                EXPECT_TRUE(h.world.Rules().GetBall(i).IsInsideCushions(physics::F32(0.0f)))
                    << "game type " << gameType << " ball " << i;
            h.world.SetTimeScale(scales[s]);
            h.world.MakeDefaultShot();
            ASSERT_TRUE(h.world.ExecuteShot(ShotMode::Local, true)) << "game type " << gameType;
            ticks[s] = h.RunToRest();
            ASSERT_FALSE(h.world.ShotExecuting()) << "game type " << gameType;
            hashes[s] = h.world.LastShotHash();
            calls[s] = h.world.LastShotCalls();
        }
        EXPECT_EQ(hashes[1], hashes[0]) << "game type " << gameType;
        EXPECT_EQ(hashes[2], hashes[0]) << "game type " << gameType;
        EXPECT_EQ(calls[2], calls[0]) << "game type " << gameType;
        EXPECT_GE(ticks[2], 3 * ticks[0]) << "a quarter of the speed takes about four times the ticks";
    }
}

TEST(TableWorld, AStrikeByMouseDrawBackPostsThePowerAndMovesTheBalls) {
    Host h(10);
    float x0, y0, z0;
    h.world.BallPosition(0, x0, y0, z0);
    auto send = [&](std::uint32_t message, int x, int y) {
        EXPECT_TRUE(h.world.HandleWindowMessage(message, 0, platform::MakeLParam(x, y)));
    };
    send(platform::kWmMouseMove, 400, 300);
    send(platform::kWmLButtonDown, 400, 300);
    send(platform::kWmMouseMove, 400, 300 + static_cast<int>(kPowerDrawPixels / 2));
    send(platform::kWmLButtonUp, 400, 300 + static_cast<int>(kPowerDrawPixels / 2));
    ASSERT_TRUE(h.world.ShotExecuting());
    ASSERT_EQ(h.Count(WorldMessage::CueStruck), 1);
    EXPECT_EQ(h.posted.back().a, 50u) << "power x 100";
    h.world.HandleWindowMessage(platform::kWmLButtonDown, 0, platform::MakeLParam(400, 300));
    h.world.HandleWindowMessage(platform::kWmMouseMove, 0, platform::MakeLParam(400, 450));
    h.world.HandleWindowMessage(platform::kWmLButtonUp, 0, platform::MakeLParam(400, 450));
    EXPECT_EQ(h.Count(WorldMessage::CueStruck), 1) << "no second strike while the shot runs";
    h.RunToRest();
    float x1, y1, z1;
    h.world.BallPosition(0, x1, y1, z1);
    EXPECT_NE(x0, x1);

    h.world.controlMask &= ~control_bit::kSpace;
    EXPECT_FALSE(h.world.HandleWindowMessage(platform::kWmKeyDown, platform::kVkSpace, 0));
    for (int i = 0; i < 100; ++i) h.world.Update(++h.tick, 0, 0, false);
    EXPECT_FALSE(h.world.HandleWindowMessage(platform::kWmKeyUp, platform::kVkSpace, 0));
    EXPECT_FALSE(h.world.ShotExecuting()) << "Space masked off charges and strikes nothing";
    EXPECT_FALSE(h.world.LastJournalLine().empty());
    EXPECT_EQ(h.world.LastJournalLine().rfind("SHOT 10 ", 0), 0u);
}

TEST(TableWorld, PlacementRefusesPositionsOffTheTableOrOnAnotherBall) {
    Host h(4);
    float x, y, z;
    h.world.BallPosition(1, x, y, z);
    auto bits = [](float f) {
        std::uint32_t u;
        std::memcpy(&u, &f, 4);
        return u;
    };
    EXPECT_FALSE(h.world.PlaceBall(0, bits(x), bits(y), bits(z))) << "on ball 1";
    EXPECT_FALSE(h.world.PlaceBall(0, bits(500.0f), bits(0.0f), bits(z))) << "off the table";
    EXPECT_FALSE(h.world.PlaceBall(0, 0x7FC00000, bits(0.0f), bits(z))) << "NaN";
    EXPECT_FALSE(h.world.PlaceBall(0, bits(-50.0f), bits(20.0f), bits(1e20f))) << "1e20 above the bed";
    EXPECT_FALSE(h.world.PlaceBall(30, bits(0.0f), bits(0.0f), bits(z))) << "no ball 30";
    EXPECT_TRUE(h.world.PlaceBall(0, bits(-50.0f), bits(20.0f), bits(z)));
    float px, py, pz;
    h.world.BallPosition(0, px, py, pz);
    EXPECT_EQ(px, -50.0f);
}

TEST(TableWorld, ARecordOfTheLastShotReplaysToTheSameRestAndUPutsTheBallsBackWithoutTheirTrails) {
    for (int gameType : {3, 12}) {
        Host h(gameType, 11);
        float x0, y0, z0;
        h.world.BallPosition(0, x0, y0, z0);
        net::Packet shot;
        ShotToward(shot, h, 1, 0.7f);
        ASSERT_TRUE(h.world.ReadShotMessage(shot));
        ASSERT_TRUE(h.world.ExecuteShot(ShotMode::Server, true));
        h.RunToRest();
        const ShotRecord record = h.world.MakeShotRecord();
        EXPECT_EQ(record.gameType, gameType);
        EXPECT_EQ(record.positions[0][0], x0);

        Host replay(gameType == 3 ? 0 : 16, 5);
        ASSERT_TRUE(replay.world.ApplyShotRecord(record));
        EXPECT_EQ(replay.world.GameType(), gameType);
        ASSERT_TRUE(replay.world.ExecuteShot(ShotMode::Replay, false));
        replay.RunToRest();
        EXPECT_EQ(replay.world.LastShotHash(), h.world.LastShotHash()) << "game type " << gameType;
        EXPECT_EQ(replay.Count(WorldMessage::CueStruck), 0) << "a replay strikes no own cue";

        // 'U' (free practice) puts the balls back and drops the trails of the shot it undoes.
        ASSERT_GT(h.world.Trail(0).size(), 1u);
        h.world.OnKeyCommand('U', false);
        float x, y, z;
        h.world.BallPosition(0, x, y, z);
        EXPECT_EQ(x, x0);
        EXPECT_EQ(y, y0);
        for (std::size_t i = 0; i < h.world.BallCount(); ++i)
            EXPECT_TRUE(h.world.Trail(i).empty()) << "game type " << gameType << " ball " << i;

        ShotRecord wrong = record;
        wrong.ballCount = 2;
        EXPECT_FALSE(replay.world.ApplyShotRecord(wrong)) << "ball count of another game";
        // Balls where no shot leaves one, and words no client sends.
        const auto refused = [&](const char* what, auto change, const std::u16string& problem) {
            ShotRecord bad = record;
            change(bad);
            EXPECT_EQ(ShotRecordProblem(bad).substr(0, problem.size()), problem) << what;
            EXPECT_FALSE(replay.world.ApplyShotRecord(bad)) << what;
        };
        refused(
            "x infinite", [](ShotRecord& r) { r.positions[0][0] = std::numeric_limits<float>::infinity(); },
            u"the position of ball 0 is no number");
        refused(
            "x 500", [](ShotRecord& r) { r.positions[1][0] = 500.0f; }, u"ball 1 at x 500, y ");
        refused(
            "z 1e20", [](ShotRecord& r) { r.positions[2][2] = 1e20f; }, u"ball 2 at x ");
        refused(
            "aim 3e38", [](ShotRecord& r) { r.shotParams[3] = 3e38f; }, u"aimX 3e+38 outside -700 to 700");
        refused(
            "offset limit apart", [](ShotRecord& r) { r.shotParams[5] = r.shotParams[7] + 0.5f; },
            u"offsetLimit side ");
    }
}

TEST(TableWorld, AimMessageGoesOutWhenTheAimChangedAtMostEveryTenthTick) {
    Host h(4);
    h.world.SetOwnTurn(true);
    auto tickAndSend = [&](std::uint64_t nowMs) {
        h.world.Update(++h.tick, 0, 0, false);
        net::Packet p;
        return h.world.WriteAimMessageIfDue(p, nowMs);
    };
    int sent = 0;
    for (int i = 0; i < 20; ++i) sent += tickAndSend(5 * i);
    EXPECT_EQ(sent, 0) << "an aim that never changed";
    h.world.Aim().TurnDegrees(5);
    EXPECT_TRUE(tickAndSend(100));
    h.world.Aim().TurnDegrees(5);
    sent = 0;
    for (int i = 0; i < 9; ++i) sent += tickAndSend(105 + 5 * i);
    EXPECT_EQ(sent, 0) << "not before the tenth tick after the last";
    EXPECT_TRUE(tickAndSend(150));
    EXPECT_FALSE(tickAndSend(2000));
    h.world.MakeDefaultShot();
    ASSERT_TRUE(h.world.ExecuteShot(ShotMode::Local, true));
    h.world.Aim().TurnDegrees(5);
    for (int i = 0; i < 20; ++i) EXPECT_FALSE(tickAndSend(3000 + i)) << "not while the shot runs";

    std::array<std::uint32_t, 5> remote{};
    const float yaw = 123.0f;
    std::memcpy(&remote[0], &yaw, 4);
    h.world.SetOwnTurn(false);
    ASSERT_TRUE(h.world.ApplyRemoteAim(remote));
    EXPECT_FLOAT_EQ(h.world.Aim().YawDegrees(), 123.0f) << "a watcher's cue shows the shooter's aim";
    remote[1] = 0x7F800000;  // infinite tip offset
    EXPECT_FALSE(h.world.ApplyRemoteAim(remote));
}

TEST(TableWorld, BallStateOfAnotherGameIsRefusedWholeAndAFittingOneMovesTheBalls) {
    Host eight(10), three(4);
    net::Packet fromEight;
    eight.world.WriteBallStateMessage(fromEight, false);
    fromEight.Finish();
    net::Packet in;
    in.SetFrames(fromEight.Data(), fromEight.Size());
    const auto before = three.BallState();
    EXPECT_FALSE(three.world.ReadBallStateMessage(in)) << "16 balls for a 3-ball game";
    EXPECT_EQ(three.BallState(), before);

    Host other(10, 99);
    in.SetFrames(fromEight.Data(), fromEight.Size());
    ASSERT_TRUE(other.world.ReadBallStateMessage(in));
    EXPECT_EQ(other.BallState(), eight.BallState());
}

std::uint32_t BitsOf(float f) {
    std::uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return u;
}

// A table state with a ball where no shot leaves one (in play 500 cm out, 1e30 out, 1e20 up) made the
// next shot run to the rules' cap on every client, or play balls off the table: it is refused whole and
// logged, and the table it had stays, its table item too. A ball out of play may lie in a pocket, or
// beyond the frame where a jump leaves it.
TEST(TableWorld, BallStateWithABallWhereNoShotLeavesOneIsRefusedWhole) {
    std::string logged;  // the observer runs on the thread that writes the line
    GetLog().SetObserver([&](const std::string& line) { logged += line; });
    struct Case {
        const char* name;
        float x, y, z;
        std::uint8_t outOfPlay;
        bool taken;
    } const cases[] = {
        {"in play 500 cm out", 500.0f, 0.0f, 2.8575f, 0, false},
        {"in play 1e30 out", 1e30f, 0.0f, 2.8575f, 0, false},
        {"in play 1e20 up", 0.0f, 0.0f, 1e20f, 0, false},
        {"out of play 1e30 out", 0.0f, -1e30f, 2.8575f, 7, false},
        {"jumped off, 500 cm out", 500.0f, 0.0f, 2.8575f, 7, true},
        {"in a pocket", -135.0f, -72.0f, -12.1425f, 1, true},
    };
    for (const Case& c : cases) {
        Host h(10);
        BallStateBlock block;
        block.tableItem = 1033;
        block.ballCount = static_cast<std::uint8_t>(h.world.BallCount());
        for (std::size_t i = 0; i < block.ballCount; ++i) {
            float x, y, z;
            h.world.BallPosition(i, x, y, z);
            block.positions[i] = {BitsOf(x), BitsOf(y), BitsOf(z)};
            block.orientations[i] = {0, 0, 0, BitsOf(1.0f)};
        }
        block.positions[3] = {BitsOf(c.x), BitsOf(c.y), BitsOf(c.z)};
        block.ballBytes[3] = c.outOfPlay;
        net::Packet out, in;
        WriteBallStateBlock(out, block, 10, false);
        out.Finish();
        in.SetFrames(out.Data(), out.Size());
        const auto before = h.BallState();
        EXPECT_EQ(h.world.ReadBallStateMessage(in), c.taken) << c.name;
        EXPECT_EQ(h.world.TableItem(), c.taken ? 1033 : 1030) << c.name;
        if (!c.taken) {
            EXPECT_EQ(h.BallState(), before) << c.name;
        }
    }
    GetLog().SetObserver(nullptr);
    EXPECT_NE(
        logged.find("ERROR : INVALID BALL STATE: ball 3 at x 500, y 0, z 2.8575 lies where no shot leaves "
                    "a ball in play"),
        std::string::npos);
}

// The update thread runs the shot while the main thread aims and reads the table: every member
// takes the world's lock, so the sanitizer (preset tsan) sees no race.
TEST(TableWorld, TicksOnOneThreadAndInputAndMessagesOnAnotherDoNotRace) {
    Host h(10);
    h.world.MakeDefaultShot();
    ASSERT_TRUE(h.world.ExecuteShot(ShotMode::Local, true));
    std::thread update([&] {
        for (std::uint32_t t = 1; t <= 3000; ++t) h.world.Update(t, 0, 0, false);
    });
    for (int i = 0; i < 300; ++i) {
        h.world.HandleWindowMessage(platform::kWmMouseMove, 0, platform::MakeLParam(100 + i % 50, 100));
        net::Packet p;
        h.world.WriteBallStateMessage(p, false);
        float x, y, z;
        h.world.BallPosition(static_cast<std::size_t>(i % 16), x, y, z);
        h.world.ProcessViewEvents();
    }
    update.join();
    EXPECT_FALSE(h.world.ShotExecuting());
}

TEST(TableWorld, TheShotLinesRecordReadsBackAndReplaysToTheHashItReports) {
    for (int gameType : {4, 12}) {
        Host h(gameType, 21);
        net::Packet shot;
        ShotToward(shot, h, 1, 0.6f);
        ASSERT_TRUE(h.world.ReadShotMessage(shot));
        ASSERT_TRUE(h.world.ExecuteShot(ShotMode::Server, true));
        h.RunToRest();
        const std::string line = h.world.LastJournalLine();
        // SHOT <gameType> <calls> <hash> <record>
        std::istringstream fields(line);
        std::string word, hash, hex;
        int type = -1;
        std::uint32_t calls = 0;
        fields >> word >> type >> calls >> hash >> hex;
        EXPECT_EQ(word, "SHOT");
        EXPECT_EQ(type, gameType);
        EXPECT_EQ(calls, h.world.LastShotCalls());
        EXPECT_EQ(hash.size(), 8u);
        EXPECT_EQ(std::stoul(hash, nullptr, 16), h.world.LastShotHash());

        ShotRecord record;
        ASSERT_EQ(record.ParseHex(hex), ShotRecord::ParseResult::Ok) << line;
        Host replay(gameType, 1);
        ASSERT_TRUE(replay.world.ApplyShotRecord(record));
        ASSERT_TRUE(replay.world.ExecuteShot(ShotMode::Replay, false));
        replay.RunToRest();
        EXPECT_EQ(replay.world.LastShotHash(), h.world.LastShotHash()) << "game type " << gameType;
        EXPECT_EQ(replay.world.LastShotCalls(), calls);
    }
}

TEST(TableWorld, TheCueRisesOverABallBehindTheCueBallAndOverANearCushion) {
    Host h(4);
    auto bits = [](float f) {
        std::uint32_t u;
        std::memcpy(&u, &f, 4);
        return u;
    };
    float x, y, z;
    h.world.BallPosition(0, x, y, z);
    // Balls 1 and 2 out of the way: on an open table only the far rail, under the cue's butt,
    // asks for a little elevation.
    ASSERT_TRUE(h.world.PlaceBall(1, bits(60.0f), bits(40.0f), bits(z)));
    ASSERT_TRUE(h.world.PlaceBall(2, bits(60.0f), bits(-40.0f), bits(z)));
    ASSERT_TRUE(h.world.PlaceBall(0, bits(0.0f), bits(0.0f), bits(z)));
    h.world.Aim().SetYawDegrees(0);
    h.world.UpdateAimObjects();
    const float open = h.world.Aim().MinElevationDegrees();
    EXPECT_LT(open, 2.0f);

    // Ball 1 just behind the cue ball, on the cue's line.
    ASSERT_TRUE(h.world.PlaceBall(1, bits(-7.0f), bits(0.0f), bits(z)));
    h.world.UpdateAimObjects();
    const float overBall = h.world.Aim().MinElevationDegrees();
    EXPECT_GT(overBall, 10.0f);
    h.world.Aim().SetElevationDegrees(0);
    EXPECT_FLOAT_EQ(h.world.Aim().ElevationDegrees(), overBall) << "the cue cannot go through the ball";

    // Aiming away from it, the cue is free again; frozen to a cushion, it must clear the rail.
    h.world.Aim().SetYawDegrees(180);
    h.world.UpdateAimObjects();
    EXPECT_FLOAT_EQ(h.world.Aim().MinElevationDegrees(), open);
    const float cushion = h.world.Rules().Model()->Geometry().cushion.xMax.Value();
    ASSERT_TRUE(h.world.PlaceBall(0, bits(cushion - z - 0.01f), bits(20.0f), bits(z)));
    h.world.Aim().SetYawDegrees(180);
    h.world.UpdateAimObjects();
    EXPECT_GT(h.world.Aim().MinElevationDegrees(), open + 2.0f);
}

TEST(TableWorld, OptionsScaleThePowerDrawAndTraceAllKeepsATrailOfEveryBall) {
    Host h(10);
    Options options;
    options.shotSensitive = 200;
    options.traceAll = 1;
    h.world.ApplyControlOptions(options);
    h.world.ApplyOptions(options);
    auto send = [&](std::uint32_t message, int x, int y) {
        h.world.HandleWindowMessage(message, 0, platform::MakeLParam(x, y));
    };
    send(platform::kWmLButtonDown, 300, 100);
    send(platform::kWmMouseMove, 300, 100 + static_cast<int>(kPowerDrawPixels / 4));
    EXPECT_FLOAT_EQ(h.world.Aim().Power(), 0.5f) << "twice the sensitivity, twice the power per pixel";
    send(platform::kWmLButtonUp, 300, 100 + static_cast<int>(kPowerDrawPixels / 4));
    ASSERT_TRUE(h.world.ShotExecuting());
    h.RunToRest();
    int trails = 0;
    for (std::size_t i = 0; i < h.world.BallCount(); ++i) trails += h.world.Trail(i).size() > 1;
    EXPECT_GT(trails, 1) << "the break moves more balls than the cue ball";
}

TEST(TableWorld, BallInHandFollowsTheMouseOntoTheTablePointUnderIt) {
    Host h(10);
    h.world.LayoutHud(800, 600);
    for (int i = 0; i < 5; ++i) h.world.Update(++h.tick, 0, 0, false);
    float x, y, z;
    h.world.BallPosition(0, x, y, z);
    // Where a table point shows on the screen, as a line point message gives it.
    auto screenOf = [&](float px, float py, float& sx, float& sy) {
        net::Packet out;
        out.Init(1);
        out.WriteU8(0).WriteF32(px).WriteF32(py).WriteF32(z);
        out.Finish();
        net::Packet in;
        in.SetFrames(out.Data(), out.Size());
        return h.world.ReadLinePointMessage(0, in, sx, sy);
    };
    float sx, sy;
    ASSERT_TRUE(screenOf(x - 20.0f, y + 15.0f, sx, sy));
    h.world.BeginBallInHand(0);
    const auto at =
        platform::MakeLParam(static_cast<int>(std::lround(sx)), static_cast<int>(std::lround(sy)));
    EXPECT_TRUE(h.world.HandleWindowMessage(platform::kWmLButtonDown, 0, at));
    EXPECT_TRUE(h.world.HandleWindowMessage(platform::kWmLButtonUp, 0, at));
    float px, py, pz;
    h.world.BallPosition(0, px, py, pz);
    EXPECT_NEAR(px, x - 20.0f, 1.0f);
    EXPECT_NEAR(py, y + 15.0f, 1.0f);
    EXPECT_EQ(h.world.ballInHandMode, 0) << "set down, placing ends";
    EXPECT_FALSE(h.world.ShotExecuting()) << "placing never strikes";
}

// Free practice: Ctrl+left drag moves any ball onto free cloth; not in other play states or during a shot.
TEST(TableWorld, FreePracticeMovesAnyBallByCtrlDragOntoFreeClothOnly) {
    Host h(10);
    h.world.LayoutHud(800, 600);
    const float r = h.world.Rules().GetBall(1).radiusCm.Value();
    auto pixel = [&](float x, float y) {
        float sx = 0, sy = 0;
        EXPECT_TRUE(h.world.TableToScreen({x, y, r}, sx, sy));
        return platform::MakeLParam(static_cast<int>(std::lround(sx)), static_cast<int>(std::lround(sy)));
    };
    auto where = [&](std::size_t i) {
        float x, y, z;
        h.world.BallPosition(i, x, y, z);
        return std::array<float, 2>{x, y};
    };
    auto at = [&](std::size_t i) { return pixel(where(i)[0], where(i)[1]); };
    auto drag = [&](std::intptr_t from, std::intptr_t to) {
        h.world.OnKeyCommand(platform::kVkControl, true);
        h.world.HandleWindowMessage(platform::kWmLButtonDown, platform::kMkLButton, from);
        h.world.HandleWindowMessage(platform::kWmMouseMove, platform::kMkLButton, to);
        h.world.HandleWindowMessage(platform::kWmLButtonUp, 0, to);
        h.world.OnKeyCommand(platform::kVkControl, false);
    };
    const std::size_t apex = 1;
    drag(at(apex), pixel(-60.0f, 30.0f));
    const auto placed = where(apex);
    EXPECT_NEAR(placed[0], -60.0f, 1.0f);
    EXPECT_NEAR(placed[1], 30.0f, 1.0f);
    EXPECT_TRUE(h.posted.empty() && !h.world.ShotExecuting()) << "placing strikes nothing";
    // Onto the cue ball, off the cloth, or a press beside every ball: nothing moves.
    for (const auto& [from, to] : {std::pair{at(apex), at(0)}, std::pair{at(apex), pixel(-60.0f, 300.0f)},
                                   std::pair{pixel(-100.0f, -40.0f), pixel(-100.0f, 20.0f)}})
        drag(from, to);
    EXPECT_EQ(where(apex), placed);
    EXPECT_FALSE(h.world.ShotExecuting());
    // The cue ball too; the pointer's first move after it turns no aim.
    const float yaw = h.world.Aim().YawDegrees();
    drag(at(0), pixel(-80.0f, -20.0f));
    ASSERT_NEAR(where(0)[1], -20.0f, 1.0f);
    h.world.HandleWindowMessage(platform::kWmMouseMove, 0, pixel(0.0f, 0.0f));
    EXPECT_EQ(h.world.Aim().YawDegrees(), yaw);
    // Elsewhere the press is the stroke's; up the screen it draws no power and strikes nothing.
    for (PlayState state : {PlayState::NewRack, PlayState::SchoolPage, PlayState::Waiting}) {
        h.world.SetPlayState(state);
        drag(at(apex), pixel(90.0f, -30.0f));
        EXPECT_EQ(where(apex), placed) << static_cast<int>(state);
        EXPECT_FALSE(h.world.ShotExecuting());
    }
    h.world.SetPlayState(PlayState::FreePractice);
    h.world.MakeDefaultShot();
    ASSERT_TRUE(h.world.ExecuteShot(ShotMode::Local, true));
    drag(at(apex), pixel(-100.0f, 40.0f));
    EXPECT_EQ(where(apex), placed) << "moved while a shot runs";
}

// A steep cue at a firm stroke near a rail, aimed at it, makes the cue ball (ball 0) jump the rail.
void StrikeOverTheRail(Host& h, float x, float y, float elevationDegrees) {
    const float at[3] = {x, y, h.world.Rules().GetBall(0).radiusCm.Value()};
    std::uint32_t bits[3];
    std::memcpy(bits, at, sizeof bits);
    ASSERT_TRUE(h.world.PlaceBall(0, bits[0], bits[1], bits[2]));
    ShotMessage shot;
    shot.words = {.maxPower = 1.0f, .power = 0.86f, .aimX = 103.27f, .aimY = y - 48.48f};
    shot.words.elevationDegrees = elevationDegrees;
    shot.words.stiffnessFactor = 1.0f;
    net::Packet out, in;
    WriteShotMessage(out, shot);
    out.Finish();
    in.SetFrames(out.Data(), out.Size());
    ASSERT_TRUE(h.world.ReadShotMessage(in));
    ASSERT_TRUE(h.world.ExecuteShot(ShotMode::Server, true));
    h.RunToRest();
}

// Balls that jump off the table (shots seen in games) no longer rest out of sight beyond the frame.
TEST(TableWorld, ABallThatJumpsOffTheTableLeavesPlayInAPocketGameAndGoesBackToItsSpotInACaromGame) {
    Host pocket(10);
    StrikeOverTheRail(pocket, 15.8f, -40.8f, 56.3f);
    EXPECT_EQ(pocket.world.Rules().GetBall(0).outOfPlay, kOffTable);
    EXPECT_EQ(pocket.world.GetShotResultCode(), 1) << "the cue ball fell";
    EXPECT_TRUE(pocket.world.RespotCueBallIfOutOfPlay()) << "the next turn sets it back on the table";

    Host carom(4);
    const physics::Ball& cue = carom.world.Rules().GetBall(0);
    const physics::Vector3 spot = cue.position;  // where the rack put it
    StrikeOverTheRail(carom, 15.8f, carom.world.Rules().Model()->Geometry().cushion.yMin.Value() + 6.0f,
                      65.0f);
    EXPECT_TRUE(cue.IsInsideCushions(physics::F32(0.0f))) << "the cue ball stayed off the table";
    EXPECT_EQ(cue.position.x.Value(), spot.x.Value());
    EXPECT_EQ(cue.position.y.Value(), spot.y.Value());
    EXPECT_EQ(cue.outOfPlay, 0);
}

TEST(TableWorld, AReplayedRecordKeepsItsAimPointWhenTheAimObjectsRefreshBeforeTheStrike) {
    Host h(10, 3);
    net::Packet shot;
    ShotToward(shot, h, 1, 0.5f);
    ASSERT_TRUE(h.world.ReadShotMessage(shot));
    ASSERT_TRUE(h.world.ExecuteShot(ShotMode::Server, true));
    h.RunToRest();
    const ShotRecord record = h.world.MakeShotRecord();

    Host replay(10, 9);
    replay.world.SetPlayState(PlayState::Replay);
    ASSERT_TRUE(replay.world.ApplyShotRecord(record));
    replay.world.SnapshotBalls();
    replay.world.UpdateAimObjects();  // the viewer refreshes the cue and guide before each playback
    EXPECT_EQ(replay.world.CurrentShot().words.aimX, record.shotParams[3]);
    ASSERT_TRUE(replay.world.ExecuteShot(ShotMode::Replay, false));
    replay.RunToRest();
    EXPECT_EQ(replay.world.LastShotHash(), h.world.LastShotHash());
}

TEST(TableWorld, TheCountedItemInPlayNeverGoesBelowZeroAndAnUnloadedOneIsNotUsed) {
    TableWorld world;
    EXPECT_EQ(world.ConsumableLeft(), -1);
    EXPECT_FALSE(world.UseConsumable()) << "nothing loaded";
    world.LoadConsumable(30, 2);
    EXPECT_EQ(world.ConsumableSerial(), 30u);
    EXPECT_TRUE(world.UseConsumable());
    EXPECT_TRUE(world.UseConsumable());
    EXPECT_FALSE(world.UseConsumable());
    EXPECT_EQ(world.ConsumableLeft(), 0);
    world.LoadConsumable(30, -1);
    EXPECT_EQ(world.ConsumableSerial(), 0u);
    EXPECT_EQ(world.ConsumableLeft(), -1);
}

namespace {

// Where the four corners of the table's rails show on the screen (min and max of x and y).
struct ScreenBox {
    float left = 1e9f, right = -1e9f, top = 1e9f, bottom = -1e9f;
};
ScreenBox RailsOnScreen(Host& h) {
    const physics::TableGeometry& g = h.world.Rules().Model()->Geometry();
    ScreenBox box;
    for (float x : {g.frame.xMin.Value(), g.frame.xMax.Value()})
        for (float y : {g.frame.yMin.Value(), g.frame.yMax.Value()}) {
            float sx = 0, sy = 0;
            EXPECT_TRUE(h.world.TableToScreen({x, y, g.railTop.Value()}, sx, sy));
            box = {std::min(box.left, sx), std::max(box.right, sx), std::min(box.top, sy),
                   std::max(box.bottom, sy)};
        }
    return box;
}

void Settle(Host& h, int ticks = 300) {
    for (int i = 0; i < ticks; ++i) h.world.Update(++h.tick, 0, 0, false);
}

void Wheel(Host& h, int notches) {
    const auto delta = static_cast<std::uint16_t>(static_cast<std::int16_t>(notches * platform::kWheelDelta));
    h.world.HandleWindowMessage(platform::kWmMouseWheel, std::uintptr_t{delta} << 16, 0);
}

}  // namespace

TEST(TableWorld, TheTopViewShowsTheWholeTableLongSideAcrossOnEveryScreenShapeAndZooms) {
    const struct {
        int width, height;
    } screens[] = {{1024, 768}, {1280, 720}, {1280, 1024}, {1920, 1080}, {800, 1000}};
    for (int gameType : {4, 10, 16}) {
        for (const auto& s : screens) {
            Host h(gameType);
            h.world.LayoutHud(s.width, s.height);
            h.world.SetTopView(true);
            Settle(h);
            const ScreenBox box = RailsOnScreen(h);
            const auto w = static_cast<float>(s.width), ht = static_cast<float>(s.height);
            EXPECT_GE(box.left, 0.0f) << gameType << " " << s.width << "x" << s.height;
            EXPECT_LE(box.right, w);
            EXPECT_GE(box.top, 0.0f);
            EXPECT_LE(box.bottom, ht);
            // Framed, not lost in the middle: the tighter side is nearly filled.
            EXPECT_GT(std::max((box.right - box.left) / w, (box.bottom - box.top) / ht), 0.8f);
            EXPECT_GT(box.right - box.left, box.bottom - box.top) << "the long side runs across";
            float x0, y0, x1, y1;
            ASSERT_TRUE(h.world.TableToScreen({-100, 0, 0}, x0, y0));
            ASSERT_TRUE(h.world.TableToScreen({100, 0, 0}, x1, y1));
            EXPECT_NEAR(y0, y1, 0.5f) << "the table is not turned";
        }
    }

    Host h(10);
    h.world.LayoutHud(1024, 768);
    h.world.SetTopView(true);
    Settle(h);
    const float framed = h.world.GetCameraRig().View().distance;
    Wheel(h, 3);
    EXPECT_LT(h.world.GetCameraRig().View().distance, framed) << "the wheel zooms the top view in";
    EXPECT_TRUE(h.world.GetCameraRig().InTopView());
    // A window made wider frames the table again.
    h.world.LayoutHud(1920, 768);
    const ScreenBox wide = RailsOnScreen(h);
    EXPECT_GE(wide.top, 0.0f);
    EXPECT_LE(wide.bottom, 768.0f);
}

TEST(TableWorld, LeavingTheTopViewReturnsBehindTheCueBallAlongTheAimTakenMeanwhile) {
    Host h(10);
    h.world.LayoutHud(1024, 768);
    Settle(h);
    const CameraView aimView = h.world.GetCameraRig().View();
    h.world.HandleWindowMessage(platform::kWmKeyDown, platform::kVkTab, 0);
    Settle(h);
    ASSERT_TRUE(h.world.GetCameraRig().InTopView());
    // Aimed from above: the aim turns, the top view stays.
    h.world.HandleWindowMessage(platform::kWmMouseMove, 0, platform::MakeLParam(500, 300));
    h.world.HandleWindowMessage(platform::kWmMouseMove, 0, platform::MakeLParam(620, 300));
    Settle(h);
    const float aim = h.world.Aim().YawDegrees();
    ASSERT_NEAR(aim, 30.0f, 1e-3f);
    EXPECT_EQ(h.world.GetCameraRig().View().pitch, 90.0f);
    // A scene's camera move (a game's end on the master's table) leaves the top view as it is.
    const CameraView above = h.world.GetCameraRig().View();
    h.world.MoveCamera(2.0f, 350.0f, 30.0f);
    Settle(h);
    EXPECT_EQ(h.world.GetCameraRig().View().pitch, 90.0f);
    EXPECT_EQ(h.world.GetCameraRig().View().distance, above.distance);
    h.world.HandleWindowMessage(platform::kWmKeyDown, platform::kVkTab, 0);
    Settle(h);
    const CameraRig& rig = h.world.GetCameraRig();
    EXPECT_TRUE(rig.InAimView());
    EXPECT_NEAR(rig.View().yaw, aim, 1e-3f) << "behind the cue, not where the camera stood before";
    EXPECT_EQ(rig.View().distance, aimView.distance);
    EXPECT_EQ(rig.View().pitch, aimView.pitch);
    float x, y, z;
    h.world.BallPosition(0, x, y, z);
    EXPECT_EQ(rig.Focus(), (Vector3f{x, y, z}));
}

TEST(TableWorld, AFullScreenSwitchUnderAStillPointerDoesNotTurnTheAim) {
    Host h(10);
    h.world.LayoutHud(1024, 768);
    Settle(h);
    h.world.HandleWindowMessage(platform::kWmMouseMove, 0, platform::MakeLParam(500, 300));
    Settle(h);
    const float aimed = h.world.Aim().YawDegrees();
    // The picture is laid out again (the shell does so after every mode switch) and the pointer,
    // which never moved, now lies elsewhere in client pixels.
    h.world.LayoutHud(1024, 768);
    h.world.HandleWindowMessage(platform::kWmMouseMove, 0, platform::MakeLParam(900, 500));
    Settle(h);
    EXPECT_FLOAT_EQ(h.world.Aim().YawDegrees(), aimed);
    h.world.HandleWindowMessage(platform::kWmMouseMove, 0, platform::MakeLParam(904, 500));
    Settle(h);
    EXPECT_FLOAT_EQ(h.world.Aim().YawDegrees(), aimed + 4 * kAimDegreesPerPixel) << "the hand aims again";
}

TEST(TableWorld, TheCameraEndsBehindTheCueWhenTheAimTurnsDuringAMove) {
    Host h(10);
    h.world.LayoutHud(1024, 768);
    Settle(h);
    // Turned while the camera still moves (a scene's 0.5 s move): it ends behind the cue all the same.
    h.world.MoveCamera(0.5f, 250.0f, 40.0f);
    h.world.HandleWindowMessage(platform::kWmMouseMove, 0, platform::MakeLParam(500, 300));
    h.world.HandleWindowMessage(platform::kWmMouseMove, 0, platform::MakeLParam(540, 300));
    Settle(h);
    EXPECT_NEAR(h.world.GetCameraRig().View().yaw, h.world.Aim().YawDegrees(), 1e-3f);
}

TEST(TableWorld, EscapeIsLeftToTheSceneAndAStoredShotTakesNoAimOrStrikeButTheCameraControls) {
    Host h(10);
    EXPECT_FALSE(h.world.HandleWindowMessage(platform::kWmKeyDown, platform::kVkEscape, 0));
    EXPECT_FALSE(h.world.HandleWindowMessage(platform::kWmKeyUp, platform::kVkEscape, 0));
    EXPECT_TRUE(h.posted.empty()) << "Esc posts nothing (a posted code may mean something else to the host)";

    h.world.SetPlayState(PlayState::Replay);
    EXPECT_FALSE(h.world.OwnAimInPlay());
    const float yaw = h.world.Aim().YawDegrees();
    h.world.HandleWindowMessage(platform::kWmMouseMove, 0, platform::MakeLParam(500, 300));
    h.world.HandleWindowMessage(platform::kWmMouseMove, 0, platform::MakeLParam(400, 300));
    h.world.HandleWindowMessage(platform::kWmLButtonDown, 0, platform::MakeLParam(400, 300));
    h.world.HandleWindowMessage(platform::kWmMouseMove, 0, platform::MakeLParam(400, 500));
    h.world.HandleWindowMessage(platform::kWmLButtonUp, 0, platform::MakeLParam(400, 500));
    EXPECT_EQ(h.world.Aim().YawDegrees(), yaw);
    EXPECT_FALSE(h.world.ShotExecuting()) << "no own shot replaces the stored one";
    const float distance = h.world.GetCameraRig().View().distance;
    Wheel(h, 2);
    EXPECT_LT(h.world.GetCameraRig().View().distance, distance);
}
