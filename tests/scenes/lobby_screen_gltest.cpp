// What a player sees of the lobby: the room list of a channel with waiting, full, playing and locked
// rooms, the players, the chat and the menu, drawn through OpenGL and compared with a reference.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "engine/render/RenderDevice.h"
#include "engine/resource/ResourceManager.h"
#include "gui/Overlays.h"
#include "gui/TextInput.h"
#include "gui/UiResourceSet.h"
#include "net/Packet.h"
#include "platform/video/GlBackend.h"
#include "platform/video/ImageFile.h"
#include "scenes/front/FrontCodes.h"
#include "scenes/front/Messenger.h"
#include "scenes/front/SceneLobby.h"
#include "tests/common/GlTestSupport.h"
#include "tests/common/Patience.h"
#include "tests/scenes/support/FakeSceneHost.h"
#include "tests/scenes/support/LayoutBoxes.h"
#include "tests/scenes/support/ScreenReference.h"

// Mesa's drivers keep allocations for the life of the process.
extern "C" const char* __lsan_default_options() {
    return "detect_leaks=0";
}

namespace {

constexpr std::uint16_t kWidth = 1024, kHeight = 768;

std::string ReferencePath() {
    return std::string(MARVENLOT_SOURCE_DIR) + "/tests/scenes/data/lobby_reference.png";
}

net::Packet* RoomListPacket(net::GameSession& session) {
    struct Row {
        std::uint16_t number;
        std::uint8_t state, gameType, players, maxPlayers, hasPassword;
        const char16_t* title;
    } rows[] = {
        {1, 1, 4, 1, 2, 0, u"Three cushions, all welcome"},
        {2, 2, 10, 2, 2, 0, u"8-Ball league practice"},
        {3, 1, 0, 2, 4, 1, u"\ub2f9\uad6c \ud55c \ud310 (friends)"},
        {4, 1, 12, 2, 2, 0, u"9-Ball quick match"},
        {5, 1, 3, 1, 2, 0, u"Korean rules, slow turns"},
        {6, 1, 16, 1, 2, 1, u"Snooker club"},
        {7, 2, 4, 3, 4, 0, u"Handicap 20 and up"},
    };
    net::Packet* p = session.AllocPacket();
    p->Init(net::Id(net::MessageId::RoomList));
    p->WriteU16(static_cast<std::uint16_t>(std::size(rows)));
    for (const Row& r : rows) {
        net::RoomInfo room;
        room.number = r.number;
        room.state = r.state;
        room.gameType = r.gameType;
        room.playerCount = r.players;
        room.maxPlayers = r.maxPlayers;
        room.hasPassword = r.hasPassword;
        room.inningTime = 40;
        room.title = r.title;
        room.Write(*p);
    }
    p->Finish();
    p->Rewind();
    return p;
}

net::Packet* UserListPacket(net::GameSession& session) {
    const char16_t* names[] = {u"Alice", u"CueMaster", u"\ub2f9\uad6c\uc655", u"Banker", u"Rail Rider"};
    net::Packet* p = session.AllocPacket();
    p->Init(net::Id(net::MessageId::UserList));
    p->WriteU16(static_cast<std::uint16_t>(std::size(names)));
    std::uint64_t id = 1;
    for (const char16_t* name : names) {
        p->WriteU64(id).WriteU16(static_cast<std::uint16_t>(3 + id * 4)).WriteU16(0).WriteString(name);
        ++id;
    }
    p->Finish();
    p->Rewind();
    return p;
}

// A player in channel 2 with seven rooms, five players and three chat lines, the first room chosen.
void FillLobby(FakeSceneHost& host, scenes::SceneLobby& lobby) {
    net::GameSession& session = *host.session;
    session.own.playerId = 1;
    session.own.nickname = u"Alice";
    session.own.level = 7;
    session.own.money = 1250000;
    session.currentChannel = 2;
    lobby.SetHost(&host);

    // The lists arrive as they would from the server, through the dispatch thread.
    net::BasicSceneGate gate;
    gate.SetCurrent(&lobby);
    session.SetSceneGate(&gate);
    ASSERT_TRUE(session.StartDispatchThread());
    session.InjectPacket(RoomListPacket(session));
    session.InjectPacket(UserListPacket(session));
    testsupport::WaitUntil([&] { return session.PendingPackets() == 0; }, std::chrono::seconds(1),
                           std::chrono::milliseconds(2));
    session.StopDispatchThread();
    session.SetSceneGate(nullptr);
    ASSERT_EQ(session.LobbyRooms().size(), 7u);

    lobby.Show(true);
    lobby.Enter();
    lobby.OnMessage(scenes::front_message::kLobbyListsChanged, 0, 0);
    lobby.OnCommand({lobby.FindById(3800), 3800, 0});  // the first room chosen
    lobby.AddChatLine(u"CueMaster: anyone for three cushions?", 0xFFFFFFFF);
    lobby.AddChatLine(u"\ub2f9\uad6c\uc655: \uc548\ub155\ud558\uc138\uc694!", 0xFFFFFFFF);
    lobby.AddChatLine(u"Welcome to the Free 2 channel.", 0xFFFFFF00);
    ASSERT_EQ(lobby.SelectedRoom(), 0);
}

TEST(LobbyScreenGl, TheRoomListOfAChannelMatchesTheReferenceImage) {
    GlScreen screen(kWidth, kHeight);
    if (!screen.gl.device) {
        GTEST_SKIP() << "no GL context: " << screen.gl.error;
    }
    RenderDevice& device = *screen.gl.device;
    ASSERT_TRUE(screen.OpenUiSets()) << "the generated packages are missing";

    FakeSceneHost host;
    scenes::SceneLobby lobby;
    FillLobby(host, lobby);
    lobby.LayoutChildren(kWidth, kHeight);

    ExpectScreenMatchesReference(device, lobby, "scenes_lobby", ReferencePath());
}

// On a large client the felt fills it, the title band runs across it with the player's record at its
// right end, and the layout lies in the middle; its dialogs open over it, the messenger beside it.
TEST(LobbyScreenGl, OnALargeClientTheLayoutIsCentredAndWhatOpensFromItOpensOverIt) {
    constexpr int kLargeWidth = 1920, kLargeHeight = 1080;
    GlScreen screen(kLargeWidth, kLargeHeight);
    if (!screen.gl.device) {
        GTEST_SKIP() << "no GL context: " << screen.gl.error;
    }
    ASSERT_TRUE(screen.OpenUiSets()) << "the generated packages are missing";
    FakeSceneHost host;
    host.clientWidth = kLargeWidth;
    host.clientHeight = kLargeHeight;
    scenes::Messenger messenger(&host);
    host.messenger = &messenger;
    scenes::SceneLobby lobby;
    FillLobby(host, lobby);
    lobby.SetSize(kLargeWidth, kLargeHeight);  // as the scene manager gives every scene the client size
    lobby.LayoutChildren(kLargeWidth, kLargeHeight);
    lobby.OnCommand({lobby.FindById(3714), 3714, 0});  // Messenger
    ASSERT_TRUE(messenger.IsVisible());
    const gui::TextLabel* own = nullptr;  // the player's record, too small a text for the image to tell
    for (const gui::Widget* w : lobby.Children())
        if (const auto* label = dynamic_cast<const gui::TextLabel*>(w);
            label && label->Text().starts_with(u"Alice"))
            own = label;
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(layout_test::TextBox("own record", *own).right, kLargeWidth - 20);
    ExpectScreenMatchesReference(
        *screen.gl.device, lobby, "scenes_lobby_large",
        std::string(MARVENLOT_SOURCE_DIR) + "/tests/scenes/data/lobby_large_reference.png");

    messenger.Show(false);
    const layout_test::Box middle{"the lobby's layout", (kLargeWidth - 1024) / 2, (kLargeHeight - 768) / 2,
                                  (kLargeWidth + 1024) / 2, (kLargeHeight + 768) / 2};
    for (std::uint32_t button : {3701u, 3716u}) {  // Create room (modal) and Help
        lobby.OnCommand({lobby.FindById(button), button, 0});
        gui::Widget* opened = gui::GetGuiState().focus;
        ASSERT_NE(opened, nullptr) << button;
        EXPECT_TRUE(layout_test::Inside(layout_test::ScreenBox("dialog", *opened), middle)) << button;
        opened->Show(false);
    }
}

}  // namespace
