#include "tests/e2e/gallery/RecordedShots.h"

#include "net/Packet.h"
#include "table/TableMessages.h"
#include "table/TableWorld.h"

namespace gallery_test {

namespace {

struct Stroke {
    int gameType;
    std::uint32_t seed;
    std::size_t target;
    float power;
    float side;
};
// Three-cushion, four-ball and two pocket games, soft and firm.
constexpr Stroke kStrokes[] = {
    {0, 7, 1, 0.8f, 0.2f},
    {4, 11, 1, 0.6f, -0.1f},
    {10, 21, 1, 0.9f, 0.0f},
    {12, 5, 2, 0.7f, 0.15f},
};
constexpr int kTickLimit = 200000;

}  // namespace

std::string RecordShotLines() {
    std::string lines;
    for (const Stroke& stroke : kStrokes) {
        table::TableWorld world;
        world.SetMessageSink([](table::WorldMessage, std::uint32_t, std::uint32_t) {});
        if (!world.SetGameType(stroke.gameType)) continue;
        world.SetGameItems(0, 0);
        if (!world.SetPhysicsModel(0x10014, true)) continue;
        world.StartNewRack(stroke.seed);
        world.SetPlayState(table::PlayState::FreePractice);
        table::ShotMessage shot;
        float x, y, z;
        world.BallPosition(stroke.target, x, y, z);
        shot.words.aimX = x;
        shot.words.aimY = y;
        shot.words.power = stroke.power;
        shot.words.maxPower = 1.0f;
        shot.words.tipOffsetSide = stroke.side;
        shot.words.offsetLimitSide = 0.2f;
        shot.shotSeed = 99;
        net::Packet out;
        table::WriteShotMessage(out, shot);
        out.Finish();
        net::Packet in;
        in.SetFrames(out.Data(), out.Size());
        if (!world.ReadShotMessage(in) || !world.ExecuteShot(table::ShotMode::Server, true)) continue;
        for (std::uint32_t tick = 1; world.ShotExecuting() && tick < kTickLimit; ++tick)
            world.Update(tick, 0, 0, false);
        if (!world.LastJournalLine().empty()) lines += world.LastJournalLine() + "\n";
    }
    return lines;
}

}  // namespace gallery_test
