#include <gtest/gtest.h>

#include "app/lib/App.h"
#include "app/lib/CommandLine.h"

namespace {

std::vector<WString> Split(WStringView text) {
    std::vector<WString> out;
    SplitCommandLine(text, out);
    return out;
}

std::vector<WString> Args(std::initializer_list<const char16_t*> list) {
    std::vector<WString> out;
    for (const char16_t* a : list) out.emplace_back(a);
    return out;
}

TEST(SplitCommandLine, QuotesGroupBlanksAndAreDropped) {
    EXPECT_EQ(Split(u"path \"a b\" 'word'"), Args({u"path", u"a b", u"word"}));
}

TEST(SplitCommandLine, DoubledBlanksGiveNoEmptyArguments) {
    EXPECT_EQ(Split(u"  path   offline  "), Args({u"path", u"offline"}));
    EXPECT_TRUE(Split(u"").empty());
    EXPECT_TRUE(Split(u"   ").empty());
}

TEST(SplitCommandLine, SingleQuotesOnlyStrippedWhenTheyWrapTheWholeArgument) {
    EXPECT_EQ(Split(u"' x 'y' z'"), Args({u"'", u"x", u"y", u"z'"}));
    EXPECT_EQ(Split(u"''"), Args({u""}));
}

TEST(JoinArguments, RoundTripsThroughTheSplitter) {
    const std::vector<std::string> argv{"/opt/m arvenlot", "replay", "", "b", "ABCD"};
    EXPECT_EQ(Split(JoinArguments(argv)), Args({u"/opt/m arvenlot", u"replay", u"b", u"ABCD"}));
    // An empty argument is quoted and then dropped, as the system's splitter never yields one.
}

TEST(ChooseStartMode, ModeByCountAndExactWord) {
    struct Case {
        std::vector<WString> args;
        bool launcher;
        StartMode mode;
    } cases[] = {
        {{}, true, StartMode::Normal},
        {Args({u"p"}), true, StartMode::Normal},
        {Args({u"p", u"offline"}), false, StartMode::Offline},
        {Args({u"p", u"offline", u"x"}), false, StartMode::Normal},
        {Args({u"p", u"OFFLINE"}), false, StartMode::Normal},
        {Args({u"p", u"replay", u"a", u"b", u"HEX"}), false, StartMode::Replay},
        {Args({u"p", u"replay", u"a", u"b"}), false, StartMode::Normal},
        {Args({u"p", u"replay"}), false, StartMode::Normal},
        {Args({u"p", u"x"}), false, StartMode::Normal},
    };
    for (const Case& c : cases) {
        const StartChoice choice = ChooseStartMode(c.args);
        EXPECT_EQ(choice.startLauncher, c.launcher) << c.args.size();
        if (!c.launcher) {
            EXPECT_EQ(choice.mode, c.mode) << c.args.size();
        }
    }
}

TEST(ArgumentOrEmpty, MissingArgumentsReadAsEmpty) {
    const auto args = Args({u"p", u"x"});
    EXPECT_EQ(ArgumentOrEmpty(args, 1), u"x");
    EXPECT_EQ(ArgumentOrEmpty(args, 3), u"");
}

}  // namespace

namespace {

TEST(AppHelpers, ClientBuildNumberIsTheOneSentAtSignIn) {
    EXPECT_EQ(GetClientBuildNumber(), 2970u);
}

}  // namespace
