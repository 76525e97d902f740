// The world hosted as a scene hosts it on the null window backend, played by an input script:
// the same road MARVENLOT_INPUT takes in the client.
#include <gtest/gtest.h>

#include "platform/input/InputScript.h"
#include "platform/input/InputScriptPlayer.h"
#include "platform/sys/Clock.h"
#include "platform/sys/Journal.h"
#include "platform/window/NullWindow.h"
#include "table/TableWorld.h"
#include "tests/common/TempDir.h"

using namespace table;

TEST(TableWorldScript, AScriptedAimAndStrikeMovesTheBallsAndWaitsForTheShotLine) {
    testsupport::TempDir dir;
    ASSERT_TRUE(platform::Journal::Open(dir.File("journal.txt")));
    platform::VirtualClock clock{1000};
    platform::SetClock(&clock);
    auto windows = platform::CreateNullWindowSystem();
    auto window = windows->CreateMainWindow(platform::WindowDesc{u"test", {0, 0, 800, 600}, false, false});

    TableWorld world;
    std::vector<std::pair<WorldMessage, std::uint32_t>> posted;
    world.SetMessageSink([&](WorldMessage code, std::uint32_t a, std::uint32_t) {
        posted.push_back({code, a});
    });
    world.SetGameType(10);
    world.SetGameItems(0, 0);
    world.SetPhysicsModel(0x10014, true);
    world.StartNewRack(4);
    world.SetPlayState(PlayState::FreePractice);
    world.LayoutHud(800, 600);
    float x0, y0, z0;
    world.BallPosition(0, x0, y0, z0);

    const platform::InputScript script = platform::ParseInputScript(
        "move 400 300\n"
        "wait 20\n"
        "move 399 300\n"
        "down left\n"
        "wait 30\n"
        "# drawn back 120 pixels\n"
        "move 399 420\n"
        "wait 30\n"
        "up left\n"
        "wait-journal SHOT 10 \n"
        "key Tab\n"
        "quit\n");
    ASSERT_TRUE(script.errors.empty()) << script.errors.front().message;
    std::vector<std::string> misses;
    windows->SetInputScript(std::make_unique<platform::InputScriptPlayer>(
        script.commands, [&](const std::string& line) { misses.push_back(line); }));

    bool closed = false;
    std::uint32_t tick = 0;
    for (int ms = 0; ms < 120000 && !closed; ms += 5) {
        platform::Message message;
        while (windows->PeekMessage(message)) {
            if (message.message == platform::kWmClose) closed = true;
            world.HandleWindowMessage(message.message, message.wParam, message.lParam);
        }
        world.Update(++tick, 0, 0, false);
        clock.AdvanceMs(5);
    }
    platform::SetClock(nullptr);
    platform::Journal::Open("");

    EXPECT_TRUE(closed) << "the script ran to its end";
    EXPECT_TRUE(misses.empty()) << misses.front();
    ASSERT_FALSE(posted.empty());
    EXPECT_EQ(posted.front().first, WorldMessage::CueStruck);
    EXPECT_EQ(posted.front().second, 60u) << "120 of 200 pixels: power 0.6";
    float x1, y1, z1;
    world.BallPosition(0, x1, y1, z1);
    EXPECT_NE(x1, x0);
    EXPECT_TRUE(world.GetCameraRig().InTopView()) << "Tab after the shot line";
    EXPECT_NE(testsupport::ReadFile(dir.File("journal.txt")).find("SHOT 10 "), std::string::npos);
}
