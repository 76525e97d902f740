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
#include "tests/common/Patience.h"
#include "tests/common/TempDir.h"
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
    const bool signedIn = testsupport::WaitUntil([&] {
        gate.SetChangingScene(true);
        for (const net::ItemEntry* item : host.session->own.Items())
            if (item->serial > net::kLastBuiltInSerial) return true;
        gate.SetChangingScene(false);
        return false;
    });
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

// The lobby's "Cue school" entry, and on the 1024 x 768 client area the school's Continue arrow, its
// "To Lobby" button (the practice room's too) and the course end's "Practice room".
constexpr const char* kSchoolButton = "763 551";
constexpr const char* kContinue = "382 263";
constexpr const char* kToLobby = "1005 21";
constexpr const char* kPracticeRoom = "807 314";

std::string Click(const char* at) {
    return std::string("move ") + at + "\ndown left\nup left\n";
}

std::string Repeat(const std::string& what, int times) {
    std::string s;
    for (int k = 0; k < times; ++k) s += what;
    return s;
}

using testsupport::Stroke;
// A goal met: its sound, then the camera back behind the cue ball and the table ready ("TURN").
const std::string kGoalMet = "wait-journal SOUND 33\nwait-journal TURN\n";
const std::string kNext = Click(kContinue);
// The camera lesson's first goal from the first page: two right-drags sideways within the window.
const std::string kFirstCameraGoal =
    Repeat(kNext, 4) + Repeat(Stroke(100, 600, 400, 0, "right") + "move 100 600\nwait 200\n", 2) + kGoalMet;

// A visit meets the first goal and leaves by "To Lobby"; the next has its table again and does the whole
// course as its pages say (a scratch and a next shot among it) to the course end's "Practice room".
TEST(SchoolRun, EveryVisitHasItsTableAndTheBasicCourseIsDoneWithTheControlsItsPagesName) {
    testserver::ServerOptions options;
    options.lobby = true;
    testserver::TestGameServer server(options);
    ASSERT_TRUE(server.Start());
    const std::string enterSchool = Click(kSchoolButton) + "wait-journal ENTERED 7\n";
    const std::string shot = "wait-journal SHOT\nwait-journal TURN\n";
    std::string script = testsupport::ScriptPrologue() +
                         "wait-journal DIALOG Create Nick\ntext Pupil\nkey Return\nwait-journal SCENE 4\n" +
                         enterSchool + kFirstCameraGoal + Click(kToLobby) + "wait-journal ENTERED 4\n";
    // The camera lesson, each goal met in the middle of a stroke.
    script += enterSchool + kFirstCameraGoal + Stroke(400, 450, 0, -40, "right") + "wait 200\n" +
              Stroke(400, 410, 0, 200, "right") + kGoalMet + "move 400 600\n" + Repeat("wheel 1\n", 8) +
              "wait 200\n" + Repeat("wheel -1\nwait 20\n", 10) + kGoalMet;
    // The shot lesson: the pointer leaves the guide's panel for the table without aiming; a scratch, a
    // next shot.
    script += kNext + kNext + "move 100 263\nmove 100 470\nwait-journal TURN\n" +
              testsupport::ScratchIntoTheCornerPocket() + shot + Stroke(640, 470, 0, 100, "left") + shot;
    // The aiming lesson (the aim swept over a solid, then a stripe), the spin lesson (the tip left and
    // right, up and down, a shot off the centre), the summary.
    script += Repeat(kNext, 4) + "wait-journal TURN\nkeydown Left\n" +
              "wait-journal SOUND 33\nwait-journal SOUND 33\nkeyup Left\n" + "wait-journal TURN\n" + kNext +
              kNext + "wait-journal TURN\n" + Repeat("key A\n", 4) + "wait 200\n" + Repeat("key D\n", 8) +
              kGoalMet + Repeat("key W\n", 4) + "wait 200\n" + Repeat("key S\n", 8) + kGoalMet +
              "move 382 470\n" + Stroke(382, 470, 0, 100, "left") + "wait-journal SHOT\n" + kGoalMet + kNext +
              kNext + "wait-journal TURN\n" + Stroke(382, 470, 0, 100, "left") + "wait-journal SHOT\n" +
              kGoalMet;
    // The course end with its gift, the practice room and back.
    script += kNext + kNext + kNext + "wait-journal DIALOG Gift\nkey Return\n" + Click(kPracticeRoom) +
              "wait-journal ENTERED 8\n" + Click(kToLobby) + "wait-journal ENTERED 4\nquit\n";
    testsupport::ScriptedClient client(testsupport::TempPath("school_e2e"), script);
    ASSERT_TRUE(client.Start({"launcher", "pupil", "secret"}, server.Port()));
    EXPECT_EQ(client.Wait(std::chrono::seconds(300)), std::optional<int>(0))
        << client.Journal() << client.Log();
    // Every journal wait of the script was met: each goal's sound and each shot's rest on each visit.
    EXPECT_EQ(client.Log().find("input script line"), std::string::npos) << client.Journal() << client.Log();
    EXPECT_EQ(server.School(u"pupil").progress, 13u);
    // The furthest page of each visit: the camera lesson, then the course end.
    EXPECT_EQ(server.Received(0, 1138), (std::vector<testserver::Bytes>{{4, 0, 0, 0, 0}, {13, 0, 0, 0, 0}}));
    server.Stop();
}

}  // namespace
