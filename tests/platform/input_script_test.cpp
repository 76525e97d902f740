// The script language of MARVENLOT_INPUT: what each line reads as, and which lines are refused.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/input/InputScript.h"
#include "platform/window/WindowCodes.h"
#include "tests/common/TempDir.h"
#include "tests/platform/support/InputScriptCheck.h"

using platform::ParseInputScript;
using platform::ScriptButton;
using platform::ScriptCommand;
using platform::ScriptOp;

namespace {

ScriptCommand Command(ScriptOp op, std::int32_t a = 0, std::int32_t b = 0) {
    ScriptCommand command;
    command.op = op;
    command.line = 1;
    command.a = a;
    command.b = b;
    return command;
}

ScriptCommand WithButton(ScriptOp op, ScriptButton button) {
    ScriptCommand command = Command(op);
    command.button = button;
    return command;
}

ScriptCommand WithKey(ScriptOp op, std::uint32_t virtualKey, std::string name) {
    ScriptCommand command = Command(op);
    command.virtualKey = virtualKey;
    command.text = std::move(name);
    return command;
}

ScriptCommand WithText(ScriptOp op, std::string text) {
    ScriptCommand command = Command(op);
    command.text = std::move(text);
    return command;
}

}  // namespace

TEST(InputScriptParser, EveryCommandReadsItsArgumentsAndKeepsTheRestOfLineTexts) {
    struct Case {
        const char* line;
        ScriptCommand expected;
    } cases[] = {
        {"wait 250", Command(ScriptOp::Wait, 250)},
        {"  wait\t0  ", Command(ScriptOp::Wait, 0)},
        {"move 512 -3", Command(ScriptOp::Move, 512, -3)},
        {"move +7 32767", Command(ScriptOp::Move, 7, 32767)},
        {"down left", WithButton(ScriptOp::ButtonDown, ScriptButton::Left)},
        {"up right", WithButton(ScriptOp::ButtonUp, ScriptButton::Right)},
        {"down middle", WithButton(ScriptOp::ButtonDown, ScriptButton::Middle)},
        {"wheel -3", Command(ScriptOp::Wheel, -3)},
        {"key Return", WithKey(ScriptOp::Key, platform::kVkReturn, "Return")},
        {"key a", WithKey(ScriptOp::Key, 'A', "A")},
        {"keydown left shift", WithKey(ScriptOp::KeyDown, platform::kVkShift, "Left Shift")},
        {"keyup Keypad 7", WithKey(ScriptOp::KeyUp, platform::kVkNumpad0 + 7, "Keypad 7")},
        {"key F10", WithKey(ScriptOp::Key, platform::kVkF10, "F10")},
        {"key `", WithKey(ScriptOp::Key, platform::kVkOem3, "`")},
        {"text hello  world ", WithText(ScriptOp::Text, "hello  world ")},
        {"text 안녕하세요", WithText(ScriptOp::Text, "안녕하세요")},
        {"wait-journal SCENE 11", WithText(ScriptOp::WaitJournal, "SCENE 11")},
        {"wait-journal   BOX Notice|a b", WithText(ScriptOp::WaitJournal, "BOX Notice|a b")},
        {"journal-limit 120000", Command(ScriptOp::JournalLimit, 120000)},
        {"wait-file run/server back", WithText(ScriptOp::WaitFile, "run/server back")},
        {"quit", Command(ScriptOp::Quit)},
    };
    for (const Case& c : cases) {
        const auto script = ParseInputScript(c.line);
        ASSERT_TRUE(script.errors.empty()) << c.line << ": " << script.errors[0].message;
        ASSERT_EQ(script.commands.size(), 1u) << c.line;
        EXPECT_EQ(script.commands[0], c.expected) << c.line;
    }
}

TEST(InputScriptParser, MalformedLinesAreReportedWithTheirNumbersAndTheOthersStillPlay) {
    const char* text =
        "# a comment\n"            // 1
        "\n"                       // 2
        "wait 10\r\n"              // 3 CRLF file
        "wait -1\n"                // 4
        "wait 3600001\n"           // 5
        "wait 5 6\n"               // 6 extra word
        "move 10\n"                // 7 one coordinate
        "move 1 40000\n"           // 8 beyond 16 bits
        "down both\n"              // 9
        "wheel 0\n"                // 10
        "wheel 101\n"              // 11
        "key NoSuchKey\n"          // 12
        "key\n"                    // 13
        "text\n"                   // 14
        "text \xff\xfe\n"          // 15 not UTF-8
        "text a\tb\n"              // 16 control character
        "wait-journal\n"           // 17
        "Wait 10\n"                // 18 commands are lower case
        "quit now\n"               // 19
        "   # indented comment\n"  // 20
        "wait 0x10\n"              // 21
        "journal-limit 0\n"        // 22 a limit of nothing
        "quit";                    // 23, no final line break
    const auto script = ParseInputScript(text);
    std::vector<int> errorLines;
    for (const auto& error : script.errors) {
        errorLines.push_back(error.line);
        EXPECT_FALSE(error.message.empty());
    }
    EXPECT_EQ(errorLines,
              (std::vector<int>{4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 21, 22}));
    ASSERT_EQ(script.commands.size(), 2u);
    EXPECT_EQ(script.commands[0].line, 3);
    EXPECT_EQ(script.commands[0].a, 10);
    EXPECT_EQ(script.commands[1].line, 23);
    EXPECT_EQ(script.commands[1].op, ScriptOp::Quit);
    EXPECT_EQ(platform::DescribeScriptError(script.errors[0]).rfind("input script line 4: ", 0), 0u);
}

TEST(InputScriptParser, FuzzSeedCorpusParsesWithinEveryRange) {
    const std::filesystem::path corpus =
        std::filesystem::path(MARVENLOT_SOURCE_DIR) / "tests/fuzz/corpus/input_script";
    int seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        EXPECT_EQ(fuzz::CheckInputScriptParse(testsupport::ReadFile(entry.path().string())), "")
            << entry.path();
        ++seeds;
    }
    EXPECT_GE(seeds, 4);
}
