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

// The lobby's "Cue school" entry, and on the 1024 x 768 client area the school's Continue arrow, its
// "To Lobby" corner button (the practice room's is in the same place), its Previous arrow and the
// course end's "Practice room".
constexpr const char* kSchoolButton = "763 551";
constexpr const char* kContinue = "382 263";
constexpr const char* kToLobby = "1005 21";
constexpr const char* kPracticeRoom = "943 314";
constexpr const char* kPrevious = "261 263";

std::string Click(const char* at) {
    return std::string("move ") + at + "\ndown left\nup left\n";
}

// Pressed at (x, y), drawn by (dx, dy) in ten steps, released.
std::string Drag(const char* button, int x, int y, int dx, int dy) {
    std::string s = "move " + std::to_string(x) + " " + std::to_string(y) + "\ndown " + button + "\n";
    for (int k = 1; k <= 10; ++k)
        s += "move " + std::to_string(x + dx * k / 10) + " " + std::to_string(y + dy * k / 10) + "\n";
    return s + "up " + button + "\n";
}

std::string Repeat(const std::string& what, int times) {
    std::string s;
    for (int k = 0; k < times; ++k) s += what;
    return s;
}

// A goal met: its sound, then the camera back behind the cue ball and the table ready ("TURN").
const std::string kGoalMet = "wait-journal SOUND 33\nwait-journal TURN\n";
const std::string kNext = Click(kContinue);

// The camera lesson's first goal from the first page: two right-drags sideways within the window,
// the pointer brought back between them.
std::string FirstCameraGoal() {
    return Repeat(kNext, 4) + Repeat(Drag("right", 100, 600, 400, 0) + "move 100 600\nwait 200\n", 2) +
           kGoalMet;
}

// A visit that meets the first goal and leaves by "To Lobby"; a second one through the whole course
// (the camera lesson in strokes within the window, a scratch into the corner pocket and a next shot,
// the aim swept over the rack, the tip moved, shots struck) to the course end's "Practice room", and
// back; a third one, opened on the course end, back to the first lesson, which has its table again.
TEST(SchoolRun, EveryVisitHasItsTableAndTheBasicCourseIsDoneWithTheControlsItsPagesName) {
    testserver::ServerOptions options;
    options.lobby = true;
    testserver::TestGameServer server(options);
    ASSERT_TRUE(server.Start());
    const std::string enterSchool = Click(kSchoolButton) + "wait-journal ENTERED 7\n";
    const std::string shot = "wait-journal SHOT\nwait-journal TURN\n";
    std::string script = testsupport::ScriptPrologue() +
                         "wait-journal DIALOG Create Nick\ntext Pupil\nkey Return\nwait-journal SCENE 4\n" +
                         enterSchool + FirstCameraGoal() + Click(kToLobby) + "wait-journal ENTERED 4\n";
    // The second visit: the camera lesson, each goal met in the middle of a stroke.
    script += enterSchool + FirstCameraGoal() + Drag("right", 400, 450, 0, -40) + "wait 200\n" +
              Drag("right", 400, 410, 0, 200) + kGoalMet + "move 400 600\n" + Repeat("wheel 1\n", 8) +
              "wait 200\n" + Repeat("wheel -1\nwait 20\n", 10) + kGoalMet;
    // The shot lesson: the pointer leaves the guide's panel for the table without aiming, then turns
    // the aim by 135 degrees onto the corner pocket behind the cue ball; a scratch, and a next shot.
    script += kNext + kNext + "move 100 263\nmove 100 470\nwait-journal TURN\n";
    for (int k = 1; k <= 10; ++k) script += "move " + std::to_string(100 + 54 * k) + " 470\n";
    script += "wait 200\n" + Drag("left", 640, 470, 0, 190) + shot + Drag("left", 640, 470, 0, 100) + shot;
    // Pages 6 and 7, the aiming lesson (the aim swept over the rack: a solid, then a stripe), the spin
    // lesson (the tip left and right, up and down, and a shot with it off the centre), the summary.
    script += Repeat(kNext, 4) + "wait-journal TURN\nkeydown Left\n" +
              "wait-journal SOUND 33\nwait-journal SOUND 33\nkeyup Left\n" + "wait-journal TURN\n" + kNext +
              kNext + "wait-journal TURN\n" + Repeat("key A\n", 4) + "wait 200\n" + Repeat("key D\n", 8) +
              kGoalMet + Repeat("key W\n", 4) + "wait 200\n" + Repeat("key S\n", 8) + kGoalMet +
              "move 382 470\n" + Drag("left", 382, 470, 0, 100) + "wait-journal SHOT\n" + kGoalMet + kNext +
              kNext + "wait-journal TURN\n" + Drag("left", 382, 470, 0, 100) + "wait-journal SHOT\n" +
              kGoalMet;
    // Pages 11 and 12, the course end with its gift, the practice room and back.
    script += kNext + kNext + kNext + "wait-journal DIALOG Gift\nkey Return\n" + Click(kPracticeRoom) +
              "wait-journal ENTERED 8\n" + Click(kToLobby) + "wait-journal ENTERED 4\n";
    script += enterSchool + Repeat(Click(kPrevious), 12) + FirstCameraGoal() + Click(kToLobby) +
              "wait-journal ENTERED 4\nquit\n";
    testsupport::ScriptedClient client(
        std::filesystem::temp_directory_path() / ("school_e2e_" + std::to_string(::getpid())), script);
    ASSERT_TRUE(client.Start({"launcher", "pupil", "secret"}, server.Port()));
    EXPECT_EQ(client.Wait(std::chrono::seconds(300)), std::optional<int>(0))
        << client.Journal() << client.Log();
    // Every journal wait of the script was met: each goal's sound and each shot's rest on each visit.
    EXPECT_EQ(client.Log().find("input script line"), std::string::npos) << client.Journal() << client.Log();
    const testserver::SchoolRecord record = server.School(u"pupil");
    EXPECT_EQ(record.progress, 13u);
    EXPECT_EQ(record.courseEnds, 2) << "the course end shown on the second visit and opening the third";
    const auto left = server.Received(0, 1138);
    ASSERT_EQ(left.size(), 3u);
    EXPECT_EQ(left[0], (testserver::Bytes{4, 0, 0, 0, 0})) << "the first visit reached the camera lesson";
    EXPECT_EQ(left[1], (testserver::Bytes{13, 0, 0, 0, 0}));
    EXPECT_EQ(left[2], (testserver::Bytes{13, 0, 0, 0, 0}));
    server.Stop();
}

}  // namespace
