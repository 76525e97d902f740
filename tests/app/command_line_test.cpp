#include <gtest/gtest.h>

#include <limits>

#include "app/lib/App.h"
#include "app/lib/CommandLine.h"
#include "table/ShotRecord.h"

namespace {

struct Case {
    std::vector<std::string> argv;
    StartAction action;
    StartMode mode;
    const char* error;  // part of the usage error's line
};

TEST(ChooseStartMode, EachFormStartsItsModeAndEveryOtherCommandLineIsAUsageError) {
    table::ShotRecord playable;  // four-ball: four balls apart on the cloth
    playable.ballCount = 4;
    for (std::size_t i = 0; i < 4; ++i) {
        playable.positions[i] = {-60.0f + 40.0f * static_cast<float>(i), 0.0f, 3.075f};
        playable.orientations[i] = {0.0f, 0.0f, 0.0f, 1.0f};
    }
    const std::string record = table::ShotRecordToHex(playable);
    std::string badDigit = record;
    badDigit[20] = 'G';
    table::ShotRecord strong = playable;
    strong.shotParams[1] = 100.0f;  // the power
    table::ShotRecord lost = playable;
    lost.orientations[3][1] = std::numeric_limits<float>::infinity();
    table::ShotRecord short3 = playable;
    short3.ballCount = 3;
    const Case cases[] = {
        {{}, StartAction::StartLauncher, StartMode::Normal, ""},
        {{"p"}, StartAction::StartLauncher, StartMode::Normal, ""},
        {{"p", "offline"}, StartAction::Run, StartMode::Offline, ""},
        {{"p", "x", "id", "pw"}, StartAction::Run, StartMode::Normal, ""},
        {{"p", "x", "id", "", "2"}, StartAction::Run, StartMode::Normal, ""},
        {{"p", "replay", "a", "b", record}, StartAction::Run, StartMode::Replay, ""},
        {{"p", "--help"}, StartAction::ShowHelp, StartMode::Normal, ""},
        {{"p", "-h"}, StartAction::ShowHelp, StartMode::Normal, ""},
        {{"p", "--help", "x"}, StartAction::UsageError, StartMode::Normal, "--help takes no"},
        {{"p", "OFFLINE"}, StartAction::UsageError, StartMode::Normal, "unknown mode \"OFFLINE\""},
        {{"p", "offline", "x"}, StartAction::UsageError, StartMode::Normal, "offline takes no"},
        {{"p", "offline", "id", "pw"}, StartAction::UsageError, StartMode::Normal, "offline takes no"},
        {{"p", "x", "id"}, StartAction::UsageError, StartMode::Normal, "login id and a password"},
        {{"p", "x", "id", "pw", "2", "y"}, StartAction::UsageError, StartMode::Normal, "too many"},
        {{"p", "--version", "id", "pw"}, StartAction::UsageError, StartMode::Normal, "unknown option"},
        {{"p", "replay", "a", "b"}, StartAction::UsageError, StartMode::Normal, "replay takes three"},
        {{"p", "replay", "a", "b", "ZZZZ"},
         StartAction::UsageError,
         StartMode::Normal,
         "the shot record cannot be read: its length"},
        {{"p", "replay", "a", "b", badDigit}, StartAction::UsageError, StartMode::Normal, "not a hex digit"},
        {{"p", "replay", "a", "b", table::ShotRecordToHex(strong)},
         StartAction::UsageError,
         StartMode::Normal,
         "the shot record cannot be played: power 100"},
        {{"p", "replay", "a", "b", table::ShotRecordToHex(lost)},
         StartAction::UsageError,
         StartMode::Normal,
         "cannot be played: the orientation of ball 3 is no number"},
        {{"p", "replay", "a", "b", table::ShotRecordToHex(short3)},
         StartAction::UsageError,
         StartMode::Normal,
         "cannot be played: it holds 3 balls where its game type 0 has 4"},
        {{"p", "x", "id\xff", "pw"}, StartAction::UsageError, StartMode::Normal, "argument 2 is not UTF-8"},
    };
    for (const Case& c : cases) {
        const std::string what =
            c.argv.size() > 1 ? c.argv[1] + " ... (" + std::to_string(c.argv.size()) + ")" : "-";
        const StartChoice choice = ChooseStartMode(c.argv);
        EXPECT_EQ(choice.action, c.action) << what << ": " << choice.error;
        if (c.action == StartAction::Run) {
            EXPECT_EQ(choice.mode, c.mode) << what;
        }
        EXPECT_NE(choice.error.find(c.error), std::string::npos) << what << ": " << choice.error;
    }
}

TEST(WideArguments, QuotesBlanksAndEmptyArgumentsReachTheApplicationUnsplitAndUnmerged) {
    const std::vector<std::string> argv{"/opt/my games/marvenlot", "x", "홍길동", "pa\"ss 'w", "", "'2'"};
    const std::vector<WString> expected{
        u"/opt/my games/marvenlot", u"x", u"홍길동", u"pa\"ss 'w", u"", u"'2'"};
    EXPECT_EQ(WideArguments(argv), expected);
}

TEST(ArgumentOrEmpty, MissingArgumentsReadAsEmpty) {
    const std::vector<WString> args{u"p", u"x"};
    EXPECT_EQ(ArgumentOrEmpty(args, 1), u"x");
    EXPECT_EQ(ArgumentOrEmpty(args, 3), u"");
}

TEST(AppHelpers, ClientBuildNumberIsTheOneSentAtSignInAndItsRevisionPicksTheRecordLayout) {
    EXPECT_EQ(GetClientBuildNumber(), 2970u);
    EXPECT_EQ(table::BuildRevision(GetClientBuildNumber()), 104);
}

}  // namespace
