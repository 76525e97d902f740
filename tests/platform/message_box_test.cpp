#include <gtest/gtest.h>

#include "platform/sys/Journal.h"
#include "platform/sys/MessageBox.h"
#include "tests/common/TempDir.h"

using namespace platform;
using testsupport::ScopedEnv;

TEST(MessageBox, StylesGiveTheSystemsButtonsDefaultsAndCloseAnswers) {
    struct Case {
        unsigned style;
        std::vector<int> buttons;
        int defaultId;
        int closeId;
        MessageBoxIcon icon;
    } cases[] = {
        {MB_OK, {IDOK}, IDOK, IDOK, MessageBoxIcon::None},
        {MB_OKCANCEL, {IDOK, IDCANCEL}, IDOK, IDCANCEL, MessageBoxIcon::None},
        {MB_YESNO, {IDYES, IDNO}, IDYES, IDYES, MessageBoxIcon::None},
        {MB_YESNO | MB_DEFBUTTON2, {IDYES, IDNO}, IDNO, IDNO, MessageBoxIcon::None},
        {MB_YESNOCANCEL | MB_DEFBUTTON3, {IDYES, IDNO, IDCANCEL}, IDCANCEL, IDCANCEL, MessageBoxIcon::None},
        {MB_OK | MB_DEFBUTTON3, {IDOK}, IDOK, IDOK, MessageBoxIcon::None},
        {MB_RETRYCANCEL | MB_ICONWARNING, {IDRETRY, IDCANCEL}, IDRETRY, IDCANCEL, MessageBoxIcon::Warning},
        {MB_ABORTRETRYIGNORE, {IDABORT, IDRETRY, IDIGNORE}, IDABORT, IDABORT, MessageBoxIcon::None},
        {MB_TASKMODAL | MB_ICONERROR, {IDOK}, IDOK, IDOK, MessageBoxIcon::Error},  // 0x2010
        {0x0F, {IDOK}, IDOK, IDOK, MessageBoxIcon::None},
    };
    for (const auto& c : cases) {
        const MessageBoxLayout layout = DescribeMessageBox(c.style);
        std::vector<int> ids;
        for (const auto& button : layout.buttons) ids.push_back(button.id);
        EXPECT_EQ(ids, c.buttons) << std::hex << c.style;
        EXPECT_EQ(layout.defaultId, c.defaultId) << std::hex << c.style;
        EXPECT_EQ(layout.closeId, c.closeId) << std::hex << c.style;
        EXPECT_EQ(layout.icon, c.icon) << std::hex << c.style;
    }
}

TEST(MessageBox, HeadlessBoxWritesCaptionAndTextAndAnswersWithTheDefaultAtOnce) {
    testsupport::TempDir dir;
    ScopedEnv headless("MARVENLOT_HEADLESS", "1");
    ASSERT_TRUE(Journal::Open(dir.File("journal")));

    testing::internal::CaptureStderr();
    EXPECT_EQ(
        MessageBox("Marvenlot", "Loading error-1 (file:a pack:b type:3)\r\rReinstall Marvenlot after Remove",
                   0x2010),
        IDOK);
    EXPECT_EQ(MessageBox("Question", "Quit?\r\nReally?", MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(MessageBox("Question", "Quit?", MB_YESNO), IDYES);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Marvenlot: Loading error-1 (file:a pack:b type:3)\n\nReinstall Marvenlot after Remove\n"
              "Question: Quit?\nReally?\n"
              "Question: Quit?\n");
    Journal::Open("");
    EXPECT_EQ(testsupport::ReadFile(dir.File("journal")),
              "BOX Marvenlot|Loading error-1 (file:a pack:b type:3)|Reinstall Marvenlot after Remove\n"
              "BOX Question|Quit?|Really?\n"
              "BOX Question|Quit?\n");
}

TEST(MessageBox, WithoutAReachableDisplayTheBoxNeverBlocks) {
    ScopedEnv headless("MARVENLOT_HEADLESS", nullptr);
    ScopedEnv display("DISPLAY", nullptr);
    ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBox("Error", "no display", MB_OKCANCEL), IDOK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: no display\n");

    // A display that is named but cannot be opened: the box falls back to the stderr line.
    ScopedEnv unreachable("DISPLAY", "127.0.0.1:987");
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBox("Error", "dead display", MB_YESNO), IDYES);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: dead display\n");

    ScopedEnv nullVideo("MARVENLOT_VIDEO", "null");
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBox("Error", "null video", MB_OK), IDOK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: null video\n");
}

TEST(MessageBox, BoxProgramArgumentsCarryEveryButtonByPositionAndRefuseMalformedOnes) {
    MessageBoxLayout layout;
    layout.buttons = {{1, "OK"}, {1006, "Go to download: 100%"}};
    layout.defaultId = 1006;
    layout.closeId = 1;
    layout.icon = MessageBoxIcon::Warning;
    const std::vector<std::string> args =
        MessageBoxProgramArguments("Error - Marvenlot", "line 1\nline 2 \"quoted\"", layout);

    std::string_view caption, text;
    MessageBoxLayout back;
    ASSERT_TRUE(ParseMessageBoxProgramArguments(args, caption, text, back));
    EXPECT_EQ(caption, "Error - Marvenlot");
    EXPECT_EQ(text, "line 1\nline 2 \"quoted\"");
    ASSERT_EQ(back.buttons.size(), 2u);
    EXPECT_EQ(back.buttons[0].id, 1);
    EXPECT_STREQ(back.buttons[0].label, "OK");
    EXPECT_EQ(back.buttons[1].id, 2);  // by position: the program's exit code
    EXPECT_STREQ(back.buttons[1].label, "Go to download: 100%");
    EXPECT_EQ(back.defaultId, 2);
    EXPECT_EQ(back.closeId, 1);
    EXPECT_EQ(back.icon, MessageBoxIcon::Warning);

    const std::vector<std::vector<std::string>> malformed = {
        {"0", "1", "1", "caption", "text"},        // no button
        {"0", "2", "1", "caption", "text", "OK"},  // default past the buttons
        {"0", "1x", "1", "caption", "text", "OK"},
    };
    for (const auto& bad : malformed) {
        EXPECT_FALSE(ParseMessageBoxProgramArguments(bad, caption, text, back)) << bad.size();
        EXPECT_EQ(RunMessageBoxProgram(bad), kMessageBoxNotShown);
    }
}
