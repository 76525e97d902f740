// One client program in a scripted room, typing as a person would: the chat guard against lines sent
// too fast, team chat and its shortest form, a chat command that goes to the server instead of the
// chat, the opponent's game request answered in its dialog, a refused request, and ban lines.
#include <gtest/gtest.h>

#include "tests/common/TempDir.h"
#include "tests/e2e/RoomScriptSupport.h"
#include "tests/e2e/ScriptedClient.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using namespace roomscript;
using testsupport::ScriptedClient;

Bytes Text(std::uint8_t team, const std::u16string& text) {
    Writer w;
    w.u8(team).str(text);
    return w.bytes();
}

TEST(RoomChatRun, TheGuardRefusesAThirdLineTeamChatNeedsTextCommandsGoToTheServerAndRequestsAreAnswered) {
    testserver::TestGameServer server(ScriptedRoomOptions());
    ASSERT_TRUE(StartScripted(server));
    const std::string script =
        OpenRoom() +
        "wait-journal CHAT 0xFFFFFF80 Rival : hello\nkey Return\n"
        // Three lines a second apart, each sent line giving the keys back to the table and Enter taking
        // the chat line again: the third is refused and stays in the chat line for the next Enter.
        "text one\nkey Return\nwait 1000\nkey Return\ntext two\nkey Return\nwait 1000\nkey Return\n"
        "text three\nkey Return\nwait-journal CHAT 0xFFFFFF00 No Spamming!\nwait 3500\nkey Return\n"
        "wait 3500\nkey Return\ntext @hi\nkey Return\nwait 3500\nkey Return\ntext @h\nkey Return\n"
        "wait 3500\nkey Return\ntext /unblock Rival\nkey Return\n"
        "wait-journal BOX Request|Rival asks to withdraw from the game.\nkey Return\n"
        "wait-journal BOX Notice|The opponent didn't accept the request.\nkey Return\n"
        "wait-journal CHAT 0xFFFF0000 Chatting ban has been removed.\nwait 300\nquit\n";
    ScriptedClient client(testsupport::TempPath("room_chat"), script);
    ASSERT_TRUE(client.Start({"launcher", "alice", "secret"}, server.Port()));
    ASSERT_TRUE(server.WaitForClients(1, kMs));
    ASSERT_TRUE(server.Expect(0, 2007, kMs)) << client.Journal() << client.Log();
    ASSERT_TRUE(server.SendFrames(0, {{2001, RoomState()}, {2011, TwoMembers()}, {2006, Chat(u"hello")}}));

    const auto one = server.Expect(0, 2005, kMs);
    const auto two = server.Expect(0, 2005, kMs);
    ASSERT_TRUE(one && two) << client.Journal();
    EXPECT_EQ(one->body, Text(0, u"one"));
    EXPECT_EQ(two->body, Text(0, u"two"));
    const auto three = server.Expect(0, 2005, kMs);
    ASSERT_TRUE(three) << client.Journal();
    EXPECT_EQ(three->body, Text(0, u"three")) << "the refused line goes with the next Enter";
    EXPECT_NE(client.Journal().find("CHAT 0xFFFFFF00 No Spamming!"), std::string::npos);
    const auto team = server.Expect(0, 2005, kMs);
    ASSERT_TRUE(team) << client.Journal();
    EXPECT_EQ(team->body, Text(1, u"hi"));
    const auto unblock = server.Expect(0, 246, kMs);
    ASSERT_TRUE(unblock) << client.Journal();
    EXPECT_EQ(unblock->body, Text(25, u"Rival"));
    EXPECT_EQ(server.CountReceived(0, 2005), 4) << "\"@h\" and the command are no chat";

    ASSERT_TRUE(server.SendFrames(0, {{2006, Chat(u"go team", 1)}, {2033, [] {
                                                                        Writer w;
                                                                        w.str(u"Rival").u8(2);
                                                                        return w.bytes();
                                                                    }()}}));
    const auto answer = server.Expect(0, 2034, kMs);
    ASSERT_TRUE(answer) << client.Journal();
    EXPECT_EQ(answer->body, (Bytes{1, 2}));
    ASSERT_TRUE(server.Send(0, 2035, {0, 2}));
    ASSERT_TRUE(client.WaitFor("BOX Notice|The opponent didn't accept the request."));
    Writer banned;
    banned.u8(0).str(u"Eve");
    Writer lifted;
    lifted.u8(25).u8(0).str(u"Rival");
    ASSERT_TRUE(server.SendFrames(0, {{2018, banned.bytes()}, {246, lifted.bytes()}}));
    EXPECT_EQ(client.Wait(60s), std::optional<int>(0)) << client.Journal() << client.Log();

    const std::string journal = client.Journal();
    EXPECT_NE(journal.find("CHAT 0xFFFFFF80 (Team)Rival : go team"), std::string::npos) << journal;
    EXPECT_NE(journal.find("CHAT 0xFFFF0000 Eve has been banned."), std::string::npos) << journal;
    EXPECT_NE(journal.find("CHAT 0xFFFF0000 Enter '/unban nickname' to cancel."), std::string::npos);
    EXPECT_EQ(Lines(journal, "CHAT 0xFFFFFF00 No Spamming!").size(), 1u) << journal;
    server.Stop();
}

}  // namespace
