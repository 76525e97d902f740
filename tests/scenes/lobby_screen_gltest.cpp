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
#include "scenes/front/FrontBackdrop.h"
#include "scenes/front/FrontCodes.h"
#include "scenes/front/Messenger.h"
#include "scenes/front/SceneLobby.h"
#include "tests/common/GlTestSupport.h"
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
    for (int i = 0; i < 500 && session.PendingPackets() > 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
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

// On a 1920 x 1080 client the lobby stayed 1024 x 768 in the top left corner on a black screen, while
// its dialogs opened centred on the whole area (Create room over its buttons) and the messenger at
// the far right. The felt fills the client, the title band runs across it with the player's record at
// its right end, the layout lies in the middle, and what opens from it opens over it.
TEST(LobbyScreenGl, OnALargeClientTheLayoutIsCentredAndWhatOpensFromItOpensOverIt) {
    constexpr int kLargeWidth = 1920, kLargeHeight = 1080;
    GlScreen screen(kLargeWidth, kLargeHeight);
    if (!screen.gl.device) {
        GTEST_SKIP() << "no GL context: " << screen.gl.error;
    }
    RenderDevice& device = *screen.gl.device;
    ASSERT_TRUE(screen.OpenUiSets()) << "the generated packages are missing";

    FakeSceneHost host;
    host.clientWidth = kLargeWidth;
    host.clientHeight = kLargeHeight;
    scenes::Messenger messenger(&host);
    host.messenger = &messenger;
    scenes::SceneLobby lobby;
    FillLobby(host, lobby);
    // The scene manager gives every scene the client size.
    lobby.SetSize(kLargeWidth, kLargeHeight);
    lobby.LayoutChildren(kLargeWidth, kLargeHeight);
    lobby.OnCommand({lobby.FindById(3714), 3714, 0});  // Messenger
    ASSERT_TRUE(messenger.IsVisible());

    const layout_test::Box middle{"the lobby's layout", (kLargeWidth - 1024) / 2, (kLargeHeight - 768) / 2,
                                  (kLargeWidth + 1024) / 2, (kLargeHeight + 768) / 2};
    const layout_test::Box band{"the title band", 0, 0, kLargeWidth, 46};
    layout_test::ForEachShown(lobby, [&](const gui::Widget& w) {
        const layout_test::Box box = layout_test::ScreenBox("control " + std::to_string(w.Id()), w);
        if (dynamic_cast<const scenes::FrontBackdrop*>(&w)) {
            EXPECT_EQ(box.right - box.left, kLargeWidth) << "the felt stops short of the client's side";
            EXPECT_EQ(box.bottom - box.top, kLargeHeight) << "the felt stops short of the client's bottom";
        } else {
            EXPECT_TRUE(layout_test::Inside(box, middle) || layout_test::Inside(box, band))
                << box.name << " at " << box.left << ", " << box.top << " lies outside the layout";
        }
    });
    const gui::TextLabel* own = nullptr;
    for (const gui::Widget* w : lobby.Children())
        if (const auto* label = dynamic_cast<const gui::TextLabel*>(w);
            label && label->Text().starts_with(u"Alice"))
            own = label;
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(layout_test::TextBox("own record", *own).right, kLargeWidth - 20)
        << "the player's record stays at the right end of the band";
    EXPECT_TRUE(layout_test::Inside(layout_test::ScreenBox("messenger", messenger), middle));
    EXPECT_EQ(messenger.ScreenX() + scenes::Messenger::kWidth, middle.right - scenes::Messenger::kRightMargin)
        << "the messenger opens at the lobby's right, as on a 1024 x 768 client";

    ExpectScreenMatchesReference(
        device, lobby, "scenes_lobby_large",
        std::string(MARVENLOT_SOURCE_DIR) + "/tests/scenes/data/lobby_large_reference.png");
    messenger.Show(false);
    // Create room (modal) and Help open in the middle too.
    for (std::uint32_t button : {3701u, 3716u}) {
        lobby.OnCommand({lobby.FindById(button), button, 0});
        gui::Widget* opened = gui::GetGuiState().focus;
        ASSERT_NE(opened, nullptr) << button;
        EXPECT_TRUE(layout_test::Inside(layout_test::ScreenBox("dialog", *opened), middle)) << button;
        opened->Show(false);
    }
}

}  // namespace
