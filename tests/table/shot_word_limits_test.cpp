// The limits of the strike words: what a client sends lies within them, and a peer's shot (2052)
// outside them is brought to the nearer bound on every client and comes to rest.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "table/TableWorld.h"

using namespace table;

namespace {

// One word set outside its limit.
struct BadWord {
    const char* name;
    float ShotWords::*word;
    float value;
    float fitted;
};

const BadWord kBadWords[] = {
    {"power 100", &ShotWords::power, 100.0f, 1.0f},
    {"power below 0", &ShotWords::power, -3.0f, 0.0f},
    {"contact factor -2.5", &ShotWords::contactFactor, -2.5f, 0.0f},
    {"contact factor 1e6", &ShotWords::contactFactor, 1e6f, 1.0f},
    {"offset limit side 50", &ShotWords::offsetLimitSide, 50.0f, 1.0f},
    {"offset limit vertical -50", &ShotWords::offsetLimitVertical, -50.0f, -1.0f},
    {"tip offset side 1e30", &ShotWords::tipOffsetSide, 1e30f, 1.0f},
    {"tip offset vertical -7", &ShotWords::tipOffsetVertical, -7.0f, -1.0f},
    {"elevation -90", &ShotWords::elevationDegrees, -90.0f, 0.0f},
    {"elevation 1000", &ShotWords::elevationDegrees, 1000.0f, 90.0f},
    {"limit factor 1e9", &ShotWords::limitFactor, 1e9f, 2.0f},
    {"stiffness factor -1e9", &ShotWords::stiffnessFactor, -1e9f, 0.0f},
    {"offset reduction a 1e9", &ShotWords::reductionA, 1e9f, 4.0f},
    {"offset reduction b -3", &ShotWords::reductionB, -3.0f, 0.0f},
    {"power NaN", &ShotWords::power, std::numeric_limits<float>::quiet_NaN(), 0.0f},
    {"contact factor infinity", &ShotWords::contactFactor, std::numeric_limits<float>::infinity(), 1.0f},
    {"elevation -infinity", &ShotWords::elevationDegrees, -std::numeric_limits<float>::infinity(), 0.0f},
    {"tip offset side NaN", &ShotWords::tipOffsetSide, -std::numeric_limits<float>::quiet_NaN(), -1.0f},
};

// The words without a limit, when they are no finite number, take the default shot's value.
const BadWord kBadFreeWords[] = {
    {"aim x NaN", &ShotWords::aimX, std::numeric_limits<float>::quiet_NaN(), 0.0f},
    {"aim y -infinity", &ShotWords::aimY, -std::numeric_limits<float>::infinity(), 0.0f},
    {"maximum power infinity", &ShotWords::maxPower, std::numeric_limits<float>::infinity(), kDefaultPower},
    {"chalk NaN", &ShotWords::chalk, std::numeric_limits<float>::quiet_NaN(), 0.0f},
};

float FloatOf(std::uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

TEST(ShotWordLimits, EachWordOutsideItsLimitIsNamedAndTakenToTheNearerBoundAlone) {
    EXPECT_TRUE(ShotWordsProblem(ShotWords{}).empty()) << "the default shot";
    for (const BadWord& bad : kBadWords) {
        SCOPED_TRACE(bad.name);
        ShotWords words;
        words.aimX = 1e6f;  // aim point, maximum power and chalk only need to be finite
        words.maxPower = 7.0f;
        words.*bad.word = bad.value;
        ASSERT_NE(FirstWordOutOfLimit(words), nullptr);
        EXPECT_EQ(FirstWordOutOfLimit(words)->word, bad.word);
        EXPECT_FALSE(ShotWordsProblem(words).empty());
        EXPECT_EQ(FitToLimits(words), 1);
        EXPECT_EQ(words.*bad.word, bad.fitted);
        EXPECT_EQ(words.aimX, 1e6f);
        EXPECT_EQ(words.maxPower, 7.0f);
        EXPECT_TRUE(ShotWordsProblem(words).empty());
    }
    for (const BadWord& bad : kBadFreeWords) {
        SCOPED_TRACE(bad.name);
        ShotWords words;
        words.*bad.word = bad.value;
        EXPECT_EQ(ShotWordsProblem(words), u"a word that is no number");
        EXPECT_EQ(FitToLimits(words), 1);
        EXPECT_EQ(words.*bad.word, bad.fitted);
        EXPECT_TRUE(ShotWordsProblem(words).empty());
    }
    // Every client reads every NaN, quiet or signalling, of either sign, as the same word.
    const float zero = 0.0f;
    for (std::uint32_t bits : {0x7FC00000u, 0xFFC00000u, 0x7F800001u, 0xFFFFFFFFu}) {
        ShotWords words;
        words.power = FloatOf(bits);
        words.aimX = FloatOf(bits);
        EXPECT_EQ(FitToLimits(words), 2) << std::hex << bits;
        EXPECT_EQ(std::memcmp(&words.power, &zero, sizeof zero), 0) << "power +0";
        EXPECT_EQ(std::memcmp(&words.aimX, &zero, sizeof zero), 0) << "aim x +0";
    }
}

// A world as a client in a room holds it: the game's table, messages ignored, ticks by hand.
struct RoomWorld {
    TableWorld world;
    std::uint32_t tick = 0;
    explicit RoomWorld(std::uint32_t model) {
        world.SetMessageSink([](WorldMessage, std::uint32_t, std::uint32_t) {});
        EXPECT_TRUE(world.SetGameType(4));
        world.SetGameItems(0, 0);
        EXPECT_TRUE(world.SetPhysicsModel(model, true));
        world.StartNewRack(7);
        world.SetPlayState(PlayState::FreePractice);
    }
    // The 2052 body of a strike toward ball 1 with one word replaced.
    bool Receive(const BadWord& bad) {
        ShotMessage shot;
        float z;
        world.BallPosition(1, shot.words.aimX, shot.words.aimY, z);
        shot.words.power = 0.9f;
        shot.words.*bad.word = bad.value;
        net::Packet out, in;
        WriteShotMessage(out, shot);
        out.Finish();
        in.SetFrames(out.Data(), out.Size());
        return world.ReadShotMessage(in);
    }
};

TEST(ShotWordLimits, EveryShotTheOwnAimMakesIsWithinTheLimits) {
    RoomWorld h(0x10014);
    AimState& aim = h.world.Aim();
    for (float tip : {-1.0f, -0.7f, 0.0f, 0.7f, 1.0f})
        for (float elevation : {0.0f, 89.0f}) {
            aim.SetTipOffset(tip, tip);
            aim.SetElevationDegrees(elevation);
            aim.SetPower(1.0f);
            const ShotWords words = h.world.ShotFromAim();
            EXPECT_TRUE(ShotWordsProblem(words).empty()) << "tip " << tip << " elevation " << elevation;
        }
}

// 0x10007 never rested at power 100 and 0x10014 never at a contact factor of -2.5: the shot ran to
// the rules' cap of 24,000 calls (two minutes) on every client of the room. A word that was no finite
// number had the shot dropped, so the turn was never played and the room waited for ever.
TEST(ShotWordLimits, APeersShotOutsideTheLimitsPlaysWithinThemAndComesToRest) {
    std::vector<BadWord> all(std::begin(kBadWords), std::end(kBadWords));
    all.insert(all.end(), std::begin(kBadFreeWords), std::end(kBadFreeWords));
    for (std::uint32_t model : {0x10007u, 0x10014u})
        for (const BadWord& bad : all) {
            SCOPED_TRACE(std::string(bad.name) + (model == 0x10007u ? " on 0x10007" : " on 0x10014"));
            RoomWorld h(model);
            ASSERT_TRUE(h.Receive(bad));
            EXPECT_EQ(h.world.CurrentShot().words.*bad.word, bad.fitted);
            ASSERT_TRUE(h.world.ExecuteShot(ShotMode::Server, false));
            while (h.world.ShotExecuting() && h.tick < 6000) h.world.Update(++h.tick, 0, 0, false);
            EXPECT_FALSE(h.world.ShotExecuting()) << "still running after 30 s of play";
        }
}

}  // namespace
