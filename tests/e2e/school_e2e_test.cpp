// A walk through the school's basic course against the test server's lobby mode: every new page
// reports itself (530), the course end reports the reward (528), and leaving for the practice room
// reports the furthest page (1138) and leaves the lobby a pending practice-room visit. Then the
// client program: the lobby's school entry, a page on, and back to the lobby.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "net/GameSession.h"
#include "net/NetConstants.h"
#include "scenes/base/SceneCodes.h"
#include "scenes/room/school/SceneSchool.h"
#include "tests/e2e/ScriptedClient.h"
#include "tests/e2e/server/TestGameServer.h"
#include "tests/net/support/RecordingSink.h"
#include "tests/scenes/support/FakeSceneHost.h"

namespace {

// The scenes' host with its session on the wire: byte messages go out as the application sends them.
class WiredHost : public FakeSceneHost {
public:
    void SendByteMessage(std::uint16_t id, std::uint8_t value) override {
        FakeSceneHost::SendByteMessage(id, value);
        session->SendByteMessage(id, value);
    }
};

struct Sent {
    std::uint16_t id;
    std::uint32_t step;  // 0 for the course end
    bool operator==(const Sent&) const = default;
};

TEST(SchoolWalk, TheBasicCourseReportsEveryNewPageTheCourseEndAndTheFurthestPageInOrder) {
    testserver::ServerOptions options;
    options.lobby = true;
    testserver::TestGameServer server(options);
    ASSERT_TRUE(server.Start());
    WiredHost host;
    net::BasicSceneGate gate;
    RecordingSink sink;
    gate.SetCurrent(&sink);
    host.session->SetSceneGate(&gate);
    host.session->StartDispatchThread();
    ASSERT_TRUE(host.session->Connect("127.0.0.1", server.Port()) && host.session->WaitConnected(5000));
    ASSERT_TRUE(host.session->SendSignIn(u"pupil", u"secret", 1));
    ASSERT_TRUE(server.Expect(0, net::Id(net::MessageId::SignIn), 5000));
    server.Ignore(202);
    // The scene is driven from this thread, as the shell drives it from the main thread: with the gate
    // closed, after the dispatch thread has written the account and the own items.
    bool signedIn = false;
    for (int tries = 0; tries < 500 && !signedIn; ++tries) {
        gate.SetChangingScene(true);
        for (const net::ItemEntry* item : host.session->own.Items())
            if (item->serial > net::kLastBuiltInSerial) signedIn = true;
        if (!signedIn) {
            gate.SetChangingScene(false);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    ASSERT_TRUE(signedIn) << "the own items never came";

    scenes::SceneSchool school;
    school.SetHost(&host);
    school.CreateUI();
    school.Enter();
    gui::CommandEvent next;
    next.id = scenes::SceneSchool::kContinueId;
    while (school.Step() < scenes::school::kCourseEndStep) {
        school.OnCommand(next);
        // Pages with exercises: their goals done, Continue moves on (the table is not part of this run).
        if (school.Practising()) school.SchoolStep(+1);
    }
    gui::CommandEvent practice;
    practice.id = scenes::SceneSchool::kPracticeRoomId;
    school.OnCommand(practice);

    std::vector<Sent> expected;
    for (std::uint32_t step = 1; step < 13; ++step) expected.push_back({530, step});
    expected.push_back({528, 0});
    expected.push_back({530, 13});
    expected.push_back({1138, 13});
    std::vector<Sent> sent;
    while (sent.size() < expected.size()) {
        const auto frame = server.Next(0, 5000);
        if (!frame) break;
        testserver::Reader r(frame->body);
        const std::uint32_t step = frame->id == 528 ? 0 : r.u32();
        EXPECT_EQ(r.u8(), 0);
        EXPECT_TRUE(r.ok && r.left() == 0) << frame->id;
        sent.push_back({frame->id, step});
    }
    EXPECT_EQ(sent, expected);
    const testserver::SchoolRecord record = server.School(u"pupil");
    EXPECT_EQ(record.progress, 13u);
    EXPECT_EQ(record.courseEnds, 1);
    EXPECT_EQ(host.session->lobbyAction.target, net::kLobbyTargetPractice);
    EXPECT_EQ(school.NextId(), scenes::scene_id::kLobby);

    host.session->StopDispatchThread();
    host.session->Disconnect();
}

// The lobby's "Cue school" entry, the school's Continue arrow and its "To Lobby" corner button on the
// 1024 x 768 client area.
constexpr const char* kSchoolButton = "763 551";
constexpr const char* kContinue = "382 263";
constexpr const char* kSchoolToLobby = "1005 21";

TEST(SchoolRun, TheLobbyLeadsToTheSchoolWhoseNextPageIsReportedAndItsWayBackReportsTheFurthestPage) {
    testserver::ServerOptions options;
    options.lobby = true;
    testserver::TestGameServer server(options);
    ASSERT_TRUE(server.Start());
    auto click = [](const char* at) { return std::string("move ") + at + "\ndown left\nup left\n"; };
    const std::string script =
        "wait-journal DIALOG Create Nick\ntext Pupil\nkey Return\nwait-journal SCENE 4\n" +
        click(kSchoolButton) + "wait-journal ENTERED 7\n" + click(kContinue) + "wait 800\n" +
        click(kSchoolToLobby) + "wait-journal SCENE 4\nquit\n";
    testsupport::ScriptedClient client(
        std::filesystem::temp_directory_path() / ("school_e2e_" + std::to_string(::getpid())), script);
    ASSERT_TRUE(client.Start({"launcher", "pupil", "secret"}, server.Port()));
    EXPECT_EQ(client.Wait(std::chrono::seconds(120)), std::optional<int>(0))
        << client.Journal() << client.Log();
    const std::string journal = client.Journal();
    const std::size_t school = journal.find("SCENE 7");
    ASSERT_NE(school, std::string::npos) << journal;
    EXPECT_NE(journal.find("SCENE 4", school), std::string::npos) << "back in the lobby: " << journal;
    EXPECT_EQ(server.School(u"pupil").progress, 2u) << "the first page and the next were shown";
    const auto left = server.Received(0, 1138);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0], (testserver::Bytes{2, 0, 0, 0, 0}));
    server.Stop();
}

}  // namespace
