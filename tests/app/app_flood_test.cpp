// A server floods the lobby with chat lines while the client runs: the dispatch thread delivers each
// line under the scene manager's locks and posts to the main thread, which must keep drawing.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>

#include "engine/core/Format.h"
#include "net/GameSession.h"
#include "net/Packet.h"
#include "platform/sys/Journal.h"
#include "scenes/front/FrontCodes.h"
#include "scenes/front/SceneLobby.h"
#include "support/AppHarness.h"
#include "support/RecordingScene.h"

namespace {

// The lobby, counting the frames it is drawn in.
class CountingLobby : public scenes::SceneLobby {
public:
    void Render(RenderDevice* renderer, bool draw) override {
        ++renders;
        SceneLobby::Render(renderer, draw);
    }
    std::atomic<int> renders{0};
};

// A chat line as the receive thread hands it to the session: a pooled packet holding the frame.
bool InjectChatLine(net::GameSession& session, int n) {
    net::Packet frame;
    frame.Init(scenes::front_net::kLobbyChatLine);
    frame.WriteString(u"Flood").WriteString(Format(u"line %d", n));
    frame.Finish();
    net::Packet* packet = session.AllocPacket();
    if (!packet) return false;
    packet->SetFrames(frame.Data(), frame.Size());
    session.InjectPacket(packet);
    return true;
}

TEST(AppFlood, FiftyThousandLobbyChatLinesAreAllHandledWhileTheFramesGoOn) {
    constexpr int kLines = 50'000;
    AppHarness harness(StartMode::Normal, {u"m", u"x", u"id", u"pw"});
    std::map<int, scenes::GameScene*> scenes;
    CountingLobby* lobby = nullptr;
    harness.app().SetSceneFactory([&](int id) -> std::unique_ptr<scenes::GameScene> {
        std::unique_ptr<scenes::GameScene> scene;
        if (id == scenes::scene_id::kLobby) {
            auto counting = std::make_unique<CountingLobby>();
            lobby = counting.get();
            scene = std::move(counting);
        } else {
            scene = std::make_unique<RecordingScene>(id);
        }
        scenes[id] = scene.get();
        return scene;
    });

    std::atomic<int> chatLines{0};
    std::atomic<bool> lastLineShown{false};
    const std::string lastLine = "CHAT 0xFFFFFFFF Flood: line " + std::to_string(kLines - 1);
    const std::uint64_t observer = platform::Journal::Subscribe([&](std::uint64_t, std::string_view line) {
        if (!line.starts_with("CHAT")) return;
        ++chatLines;
        if (line == lastLine) lastLineShown = true;
    });
    int framesDuringFlood = 0;
    harness.Run([&](App& app) {
        auto running = [&](int id) {
            scenes::GameScene* scene = app.Scenes().Current();
            return scene && scene->Id() == id && scene->IsActive();
        };
        // Start-up under a sanitizer on a loaded machine takes seconds.
        ASSERT_TRUE(AppHarness::WaitFor([&] { return running(scenes::scene_id::kIntro); }, 30000));
        scenes.at(scenes::scene_id::kIntro)->RequestScene(scenes::scene_id::kLobby);
        ASSERT_TRUE(AppHarness::WaitFor([&] { return running(scenes::scene_id::kLobby); }, 30000));
        net::GameSession* session = app.CurrentSession();
        ASSERT_NE(session, nullptr);

        const int framesBefore = lobby->renders.load();
        for (int n = 0; n < kLines; ++n) {
            // As the receive thread does, leave the senders their share of the pool.
            while (session->PendingPackets() > 800) std::this_thread::yield();
            while (!InjectChatLine(*session, n)) std::this_thread::yield();
        }
        EXPECT_TRUE(AppHarness::WaitFor([&] { return lastLineShown.load(); }, 60000))
            << chatLines.load() << " chat lines shown";
        framesDuringFlood = lobby->renders.load() - framesBefore;
    });
    platform::Journal::Unsubscribe(observer);
    EXPECT_EQ(harness.runResult, 1);
    EXPECT_TRUE(harness.app().UpdateThreadJoined());
    EXPECT_GT(framesDuringFlood, 10);
    // Lines the main thread had not shown yet when newer ones came are left out, never more.
    EXPECT_GE(chatLines.load(), static_cast<int>(scenes::SceneLobby::kMaxIncomingChat));
    EXPECT_LE(chatLines.load(), kLines);
}

}  // namespace
