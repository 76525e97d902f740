// The lobby's pending action on entry, its answers to refused room entries, and the login scene's
// channel choice.
#include <gtest/gtest.h>

#include "scenes/base/SceneCodes.h"
#include "scenes/front/FrontCodes.h"
#include "scenes/front/SceneLobby.h"
#include "scenes/front/SceneLogin.h"
#include "tests/scenes/support/FakeSceneHost.h"

namespace {

using scenes::SceneLobby;

class LobbyTest : public ::testing::Test {
protected:
    void SetUp() override { lobby.SetHost(&host); }
    FakeSceneHost host;
    SceneLobby lobby;
};

TEST_F(LobbyTest, PendingPracticeActionAppliesTheOverrideSends1139AndGoesToThePracticeRoom) {
    net::GameSession& session = *host.session;
    session.GetRoom().gameType = 4;
    session.lobbyAction = {1, 0, net::kLobbyTargetPractice, 0, 1, 10};
    EXPECT_TRUE(lobby.RunPendingAction(session));
    EXPECT_EQ(session.GetRoom().gameType, 10);
    ASSERT_EQ(host.sentBytes.size(), 1u);
    EXPECT_EQ(host.sentBytes[0], (std::pair<std::uint16_t, std::uint8_t>{1139, 0}));
    EXPECT_EQ(lobby.NextId(), scenes::scene_id::kPractice);
    EXPECT_EQ(session.lobbyAction.active, 0) << "the action is carried out once";
    EXPECT_FALSE(lobby.RunPendingAction(session));
}

TEST_F(LobbyTest, PendingShopActionSends1145AndOverrideOffKeepsTheGameType) {
    net::GameSession& session = *host.session;
    session.GetRoom().gameType = 4;
    session.lobbyAction = {1, 0, net::kLobbyTargetShop, 0, 0, 12};
    EXPECT_TRUE(lobby.RunPendingAction(session));
    EXPECT_EQ(session.GetRoom().gameType, 4);
    ASSERT_EQ(host.sentBytes.size(), 1u);
    EXPECT_EQ(host.sentBytes[0].first, 1145);
    EXPECT_EQ(lobby.NextId(), scenes::scene_id::kShop);

    session.lobbyAction = {1, 0, net::kLobbyTargetPractice, 0, 1, 99};
    EXPECT_TRUE(lobby.RunPendingAction(session));
    EXPECT_EQ(session.GetRoom().gameType, 4) << "an override outside the game types is not applied";
}

TEST_F(LobbyTest, RefusedEntryShowsTheServersReasonAndFreesTheLobby) {
    const std::uint32_t answer = scenes::front_message::kLoginFlowAnswer;
    struct Case {
        std::uint8_t result;
        const char16_t* text;
    } cases[] = {{1, u"The room no longer exists."},
                 {2, u"The password is wrong."},
                 {3, u"The room is full."},
                 {4, u"The room settings are not valid."},
                 {200, u"The room cannot be entered now."}};
    for (const Case& c : cases) {
        host.errors.clear();
        lobby.OnMessage(answer, net::Id(net::MessageId::JoinRoomResult), c.result);
        ASSERT_EQ(host.errors.size(), 1u);
        EXPECT_EQ(host.errors[0], c.text);
        EXPECT_FALSE(lobby.Busy());
    }
    EXPECT_TRUE(SceneLobby::JoinErrorText(0).empty());
}

TEST(LoginChannelChoice, FirstOpenOrdinaryChannelElseAnOpenTournamentChannel) {
    auto channel = [](std::uint16_t id, std::uint16_t type, std::uint16_t users) {
        net::ChannelInfo c;
        c.id = id;
        c.type = type;
        c.users = users;
        c.capacity = 200;
        return c;
    };
    using scenes::SceneLogin;
    EXPECT_EQ(SceneLogin::ChooseChannel({channel(3, 8, 0), channel(1, 0, 10), channel(2, 0, 0)}), 1);
    EXPECT_EQ(SceneLogin::ChooseChannel({channel(1, 0, 200), channel(2, 0, 5)}), 2)
        << "a full channel is skipped";
    EXPECT_EQ(SceneLogin::ChooseChannel({channel(1, 0, 200), channel(3, 8, 5)}), 3);
    EXPECT_EQ(SceneLogin::ChooseChannel({channel(1, 0, 200)}), 0);
    EXPECT_EQ(SceneLogin::ChooseChannel({}), 0);
}

}  // namespace
