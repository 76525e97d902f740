// Scripted input played through the null window system on a virtual clock: the window messages,
// their timing, the mouse device and the keyboard state see what a person's input would give.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/input/InputScriptPlayer.h"
#include "platform/input/MouseDevice.h"
#include "platform/sys/Clock.h"
#include "platform/sys/Journal.h"
#include "platform/window/NullWindow.h"
#include "tests/common/TempDir.h"
#include "tests/platform/support/MouseRecords.h"

using namespace platform;

namespace {

struct Timed {
    std::uint64_t ms;
    Message message;
};

bool operator==(const Timed& a, const Timed& b) {
    return a.ms == b.ms && a.message.message == b.message.message && a.message.wParam == b.message.wParam &&
           a.message.lParam == b.message.lParam;
}

std::ostream& operator<<(std::ostream& out, const Timed& t) {
    return out << "{" << t.ms << " ms, 0x" << std::hex << t.message.message << " w=0x" << t.message.wParam
               << " l=0x" << t.message.lParam << std::dec << "}";
}

class ScriptedNullWindow : public ::testing::Test {
protected:
    void SetUp() override {
        SetClock(&clock_);
        window_ = windows_->CreateMainWindow(WindowDesc{u"test", Rect{100, 50, 1124, 818}, false, false});
    }
    void TearDown() override { SetClock(nullptr); }

    void Play(const std::string& text) {
        const InputScript script = ParseInputScript(text);
        ASSERT_TRUE(script.errors.empty()) << script.errors[0].message;
        windows_->SetInputScript(std::make_unique<InputScriptPlayer>(
            script.commands, [this](const std::string& line) { reports_.push_back(line); }));
    }
    // Pumps every `stepMs` until `untilMs` after the start, keeping each message with its time.
    void Run(std::uint64_t untilMs, std::uint64_t stepMs = 1) {
        for (;;) {
            Message message;
            while (windows_->PeekMessage(message)) got_.push_back({clock_.NowMs() - kStart, message});
            if (clock_.NowMs() - kStart >= untilMs) break;
            clock_.AdvanceMs(stepMs);
        }
    }

    static constexpr std::uint64_t kStart = 1000;
    VirtualClock clock_{kStart};
    std::unique_ptr<WindowSystem> windows_ = CreateNullWindowSystem();
    std::unique_ptr<Window> window_;
    std::vector<Timed> got_;
    std::vector<std::string> reports_;
};

}  // namespace

TEST_F(ScriptedNullWindow, ScriptGivesTheWindowMessagesInOrderAtTheirTimes) {
    Play(
        "move 10 20\n"
        "wait 100\n"
        "move 15 18\n"
        "down left\n"
        "wait 50\n"
        "up left\n"
        "down right\n"
        "wheel -2\n"
        "up right\n"
        "wait 25\n"
        "key Return\n"
        "keydown Left Alt\n"
        "key 1\n"
        "text x\n"
        "keyup Left Alt\n"
        "text a한\n"
        "quit\n");
    Run(400);
    const std::intptr_t at = MakeLParam(15, 18);
    const auto wheelWord = static_cast<std::uintptr_t>(static_cast<std::uint16_t>(-240)) << 16;
    const std::intptr_t alt = static_cast<std::intptr_t>(kKeyAltDown);
    const std::intptr_t up = static_cast<std::intptr_t>(kKeyReleased);
    const std::vector<Timed> expected = {
        {0, {kWmMouseMove, 0, MakeLParam(10, 20)}},
        {100, {kWmMouseMove, 0, at}},
        {100, {kWmLButtonDown, kMkLButton, at}},
        {150, {kWmLButtonUp, 0, at}},
        {150, {kWmRButtonDown, kMkRButton, at}},
        {150, {kWmMouseWheel, wheelWord | kMkRButton, MakeLParam(115, 68)}},  // screen position
        {150, {kWmRButtonUp, 0, at}},
        {175, {kWmKeyDown, kVkReturn, 1}},
        {175, {kWmChar, 13, 1}},
        {175, {kWmKeyUp, kVkReturn, 1 | up}},
        {175, {kWmSysKeyDown, kVkMenu, 1 | alt}},
        {175, {kWmSysKeyDown, '1', 1 | alt}},
        {175, {kWmSysKeyUp, '1', 1 | alt | up}},
        {175, {kWmKeyUp, kVkMenu, 1 | up}},  // Alt itself is no longer held at its own release
        {175, {kWmChar, 'a', 1}},
        {175, {kWmChar, u'한', 1}},
        {175, {kWmClose, 0, 0}},
    };
    EXPECT_EQ(got_, expected);
    EXPECT_TRUE(reports_.empty());
}

TEST_F(ScriptedNullWindow, MouseDeviceSeesEachMotionButtonAndWheelOnceAndTheCursorFollows) {
    MouseDevice mouse(MouseBackend::Sdl);  // the device fed by the window layer
    mouse.SetBufferSize(64);
    ASSERT_EQ(mouse.Acquire(), MouseResult::Ok);
    Play("move 100 100\nmove 130 90\ndown right\nup right\ndown middle\nwheel 1\nup middle\n");
    Run(0);
    int cursorX = 0, cursorY = 0;
    ASSERT_TRUE(window_->GetCursorPos(cursorX, cursorY));
    EXPECT_EQ(std::make_pair(cursorX, cursorY), std::make_pair(230, 140))
        << "the cursor follows on the screen";
    const testsupport::MouseChanges expected = {
        {kMouseOffsetX, 30},
        {kMouseOffsetY, -10},
        {kMouseOffsetButton0 + 1, 0x80},
        {kMouseOffsetButton0 + 1, 0},
        {kMouseOffsetButton0 + 2, 0x80},
        {kMouseOffsetZ, 120},
        {kMouseOffsetButton0 + 2, 0},
    };
    EXPECT_EQ(testsupport::ReadMouseChanges(mouse), expected);
}

// A pointer that leaves the window (1024 x 768) without a held button moves nothing, nor does its way
// back in; a drag that began inside follows it out and back, as a captured mouse does.
TEST_F(ScriptedNullWindow, OutsideTheWindowOnlyADragThatBeganInsideMoves) {
    MouseDevice mouse(MouseBackend::Sdl);
    mouse.SetBufferSize(64);
    ASSERT_EQ(mouse.Acquire(), MouseResult::Ok);
    Play(
        "move 100 100\nmove 1500 100\nmove 1600 -40\nmove 120 110\nmove 130 110\n"
        "down left\nmove 2000 110\nmove 1990 120\nmove 140 120\nmove 1200 120\nup left\n"
        "move 150 130\nmove 160 130\n");
    Run(0);
    std::vector<std::intptr_t> moves;
    for (const Timed& t : got_)
        if (t.message.message == kWmMouseMove) moves.push_back(t.message.lParam);
    const std::vector<std::intptr_t> expectedMoves = {
        MakeLParam(100, 100),  MakeLParam(120, 110),  MakeLParam(130, 110),
        MakeLParam(2000, 110), MakeLParam(1990, 120), MakeLParam(140, 120),
        MakeLParam(1200, 120), MakeLParam(150, 130),  MakeLParam(160, 130)};
    EXPECT_EQ(moves, expectedMoves);
    const testsupport::MouseChanges expected = {
        {kMouseOffsetX, 10},   {kMouseOffsetButton0, 0x80}, {kMouseOffsetX, 1870},
        {kMouseOffsetX, -10},  {kMouseOffsetY, 10},         {kMouseOffsetX, -1850},
        {kMouseOffsetX, 1060}, {kMouseOffsetButton0, 0},    {kMouseOffsetX, 10},
    };
    EXPECT_EQ(testsupport::ReadMouseChanges(mouse), expected);
}

TEST_F(ScriptedNullWindow, KeyStateFollowsTheMessagesAsTheyAreTakenAndFocusLossLetsGo) {
    KeyboardState& keys = windows_->Keyboard();
    Play("keydown Space\nwait 10\nkeyup Space\nkey R\nwait 10\nkeydown Up\n");
    Message message;
    ASSERT_TRUE(windows_->PeekMessage(message));  // Space down, being handled
    EXPECT_TRUE(keys.IsDown(kVkSpace));
    Run(10);
    const KeyPoll space = keys.Poll(kVkSpace);
    EXPECT_FALSE(space.down);
    EXPECT_TRUE(space.pressed);
    EXPECT_TRUE(space.released);
    const KeyPoll again = keys.Poll(kVkSpace);
    EXPECT_FALSE(again.pressed || again.released) << "a poll clears the marks";
    EXPECT_TRUE(keys.Poll('R').pressed) << "a press between two polls is not lost";
    Run(20);
    EXPECT_TRUE(keys.IsDown(kVkUp));
    keys.Poll(kVkUp);
    windows_->PostMessage({kWmKeyDown, kVkUp, 1});  // key repeat
    Run(20);
    EXPECT_FALSE(keys.Poll(kVkUp).pressed) << "a repeat is no new press";
    windows_->PostMessage({kWmActivateApp, 0, 0});
    Run(20);
    EXPECT_FALSE(keys.IsDown(kVkUp));
    EXPECT_FALSE(keys.IsDown(0x1FF));
}

TEST_F(ScriptedNullWindow, WaitJournalTakesLinesSinceStartOrTheLastMatchAndGivesUpAfter30s) {
    Play(
        "wait-journal SCENE 2\n"
        "key A\n"
        "wait-journal SCENE 2\n"
        "key B\n"
        "wait-journal SCENE 11\n"
        "key C\n");
    Journal::Write("SCENE 2");  // before the first wait is even current: still counts
    Run(5);
    auto keyDowns = [&] {
        std::string keys;
        for (const Timed& t : got_)
            if (t.message.message == kWmKeyDown) keys += static_cast<char>(t.message.wParam);
        return keys;
    };
    EXPECT_EQ(keyDowns(), "A") << "the line the first wait took does not serve the second";
    Journal::Write("SCENE 21");
    Run(10);
    EXPECT_EQ(keyDowns(), "AB") << "a prefix match is enough";
    Run(30'000, 10);
    Run(30'004);
    EXPECT_EQ(keyDowns(), "AB");
    Run(30'005);
    EXPECT_EQ(keyDowns(), "ABC") << "the third wait gives up 30 s after it became current";
    ASSERT_EQ(reports_.size(), 1u);
    EXPECT_NE(reports_[0].find("line 5"), std::string::npos) << reports_[0];
    EXPECT_NE(reports_[0].find("SCENE 11"), std::string::npos) << reports_[0];
}

TEST_F(ScriptedNullWindow, AJournalLimitLengthensOnlyTheWaitsAfterIt) {
    Play(
        "wait-journal SCENE 5\n"
        "key A\n"
        "journal-limit 90000\n"
        "wait-journal SCENE 5\n"
        "key B\n");
    Run(30'001, 10);
    ASSERT_EQ(reports_.size(), 1u) << "the first wait keeps 30 s";
    Run(60'000, 10);
    EXPECT_EQ(reports_.size(), 1u) << "the second wait was given 90 s";
    Journal::Write("SCENE 5");
    Run(60'020, 10);
    EXPECT_EQ(reports_.size(), 1u);
    std::string keys;
    for (const Timed& t : got_)
        if (t.message.message == kWmKeyDown) keys += static_cast<char>(t.message.wParam);
    EXPECT_EQ(keys, "AB");
}

TEST_F(ScriptedNullWindow, WaitFileGoesOnOnceARegularFileIsThereAndGivesUpAfterTheJournalLimit) {
    const std::filesystem::path folder = testsupport::TempPath("input_wait_file");
    std::filesystem::create_directories(folder / "dir");
    const std::string flag = (folder / "flag").string();
    Play("journal-limit 1000\nwait-file " + flag + "\nkey A\nwait-file " + (folder / "dir").string() +
         "\nkey B\n");
    auto keyDowns = [&] {
        std::string keys;
        for (const Timed& t : got_)
            if (t.message.message == kWmKeyDown) keys += static_cast<char>(t.message.wParam);
        return keys;
    };
    Run(500, 10);
    EXPECT_EQ(keyDowns(), "") << "no file yet";
    std::ofstream(flag) << "here\n";
    Run(510, 10);
    EXPECT_EQ(keyDowns(), "A");
    Run(1'520, 10);
    ASSERT_EQ(reports_.size(), 1u) << "a folder is no file";
    EXPECT_NE(reports_[0].find("line 4: no file"), std::string::npos) << reports_[0];
    EXPECT_EQ(keyDowns(), "AB") << "and the script goes on";
    std::filesystem::remove_all(folder);
}

TEST_F(ScriptedNullWindow, WaitJournalSeesLinesThatOtherThreadsWrite) {
    Play("wait-journal CHAT 0x000000FF done\nquit\n");
    std::thread writer([] {
        for (int i = 0; i < 200; ++i) JournalSound(i);
        JournalChat(0xFF, "done");
    });
    for (int i = 0; i < 100'000 && got_.empty(); ++i) Run(0);
    writer.join();
    Run(0);
    ASSERT_EQ(got_.size(), 1u);
    EXPECT_EQ(got_[0].message.message, kWmClose);
    EXPECT_TRUE(reports_.empty());
}
