// The shared windows follow the player from scene to scene: on every visit the scene entered holds
// the option dialog, the info windows, the invite dialog and the messenger (with its question), and
// the messenger's new-message mark sits on that scene's own messenger button.

#include <gtest/gtest.h>

#include <memory>

#include "gui/Button.h"
#include "gui/CommonDialogs.h"
#include "gui/Dialog.h"
#include "gui/PlayerInfoWindows.h"
#include "gui/TextInput.h"
#include "gui/WidgetRouter.h"
#include "net/PlayerRecord.h"
#include "platform/video/RecordingBackend.h"
#include "platform/window/WindowCodes.h"
#include "scenes/base/SceneCodes.h"
#include "scenes/front/Messenger.h"
#include "scenes/front/SceneLobby.h"
#include "scenes/room/SceneRoomGame.h"
#include "scenes/room/gallery/SceneShotGallery.h"
#include "scenes/room/hud/GameMenuWidgets.h"
#include "scenes/room/practice/SceneRoomPractice.h"
#include "scenes/room/school/SceneSchool.h"
#include "scenes/shop/SceneShop.h"
#include "tests/scenes/support/TableSceneHost.h"

namespace {

// The messenger button: the lobby's menu entry, and the corner button of every other scene.
constexpr std::uint32_t kLobbyMessengerButton = 3714;
constexpr std::uint32_t kMessengerButton = 5;

// The table scenes' host with the scene manager's shared windows.
class SharedWindowsHost : public TableSceneHost {
public:
    using TableSceneHost::TableSceneHost;
    gui::Dialog* GetOptionDialog() override { return &options; }
    gui::Dialog* GetMessenger() override { return &messenger; }
    gui::MyInfoWindow* GetMyInfoWindow() override { return &myInfo; }
    gui::UserInfoWindow* GetUserInfoWindow() override { return &userInfo; }
    gui::InviteDialog* GetInviteDialog() override { return &invite; }

    gui::Dialog options;
    gui::MyInfoWindow myInfo;
    gui::UserInfoWindow userInfo;
    gui::InviteDialog invite;
    scenes::Messenger messenger{this};
};

struct SharedWindowsTest : testing::Test {
    SharedWindowsTest() {
        device->SetDisplayMode(platform::DisplayMode{});
        device->ApplyDisplayMode();
    }
    ~SharedWindowsTest() override {
        for (gui::Widget* w :
             std::initializer_list<gui::Widget*>{&host.options, &host.myInfo, &host.userInfo, &host.invite,
                                                 &host.messenger, host.messenger.QuestionBox()})
            if (w->GetParent()) w->GetParent()->RemoveChild(w);
    }
    // One visit: the scene loads and enters; the caller looks, then it is left.
    void Visit(scenes::GameScene& scene, const char* name) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(host.Enter(scene));
        for (gui::Widget* w : std::initializer_list<gui::Widget*>{&host.options, &host.myInfo, &host.userInfo,
                                                                  &host.invite, &host.messenger})
            EXPECT_TRUE(gui::WidgetRouter::IsWithin(w, &scene))
                << "a shared window left on an earlier scene is never drawn";
        auto* button = dynamic_cast<gui::Button*>(scene.FindById(
            scene.Id() == scenes::scene_id::kLobby ? kLobbyMessengerButton : kMessengerButton));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(host.messenger.AlertButton(), button) << "the mark stays on a button no longer shown";
        EXPECT_EQ(host.messenger.IsVisible(), messengerOpen) << "the messenger comes back as it was left";
        EXPECT_EQ(host.myInfo.Record(), &host.session.own) << "the own info window would show nobody";
        if (host.messenger.QuestionBox()->IsVisible()) {
            EXPECT_TRUE(gui::WidgetRouter::IsWithin(host.messenger.QuestionBox(), &scene));
        }
    }

    std::unique_ptr<RenderDevice> device =
        std::make_unique<RenderDevice>(std::make_unique<platform::RecordingBackend>());
    SharedWindowsHost host{*device, 1024, 768};
    bool messengerOpen = false;
};

TEST_F(SharedWindowsTest, EveryScreenHoldsTheSharedWindowsAndTheMessengerMarkOnEachVisit) {
    scenes::SceneLobby lobby;
    scenes::SceneRoomPractice practice;
    scenes::SceneSchool school;
    scenes::SceneShotGallery gallery;
    scenes::SceneShop shop;
    scenes::SceneRoomGame room;
    struct Step {
        scenes::GameScene* scene;
        const char* name;
    } const visits[] = {{&lobby, "lobby"},
                        {&practice, "practice"},
                        {&lobby, "lobby"},
                        {&practice, "practice again"},
                        {&school, "school"},
                        {&lobby, "lobby"},
                        {&school, "school again"},
                        {&gallery, "gallery"},
                        {&gallery, "gallery again"},
                        {&shop, "shop"},
                        {&room, "room"},
                        {&lobby, "lobby"},
                        {&shop, "shop again"}};
    int k = 0;
    for (const Step& step : visits) {
        Visit(*step.scene, step.name);
        // The player opens or closes the messenger now and then before moving on.
        if (++k % 3 == 0) {
            messengerOpen = !messengerOpen;
            host.messenger.Show(messengerOpen);
        }
        host.Leave(*step.scene);
        step.scene->Deactivate();
    }
}

TEST_F(SharedWindowsTest, AQuestionAskedOnOneSceneIsAnsweredOnTheNextAndAskedAgainWhereTheMessengerIs) {
    scenes::SceneLobby lobby;
    scenes::SceneRoomPractice practice;
    net::PlayerRecord player;
    player.nickname = u"Rail Rider";
    Visit(lobby, "lobby");
    host.messenger.ShowQuestion(player, scenes::Messenger::kFriendRequest);
    ASSERT_TRUE(host.messenger.QuestionBox()->IsVisible());
    host.Leave(lobby);
    lobby.Deactivate();
    Visit(practice, "practice");
    EXPECT_TRUE(host.messenger.QuestionBox()->IsVisible());
    host.messenger.QuestionBox()->Show(false);
    host.Leave(practice);
    practice.Deactivate();
    Visit(lobby, "lobby again");
    host.messenger.ShowQuestion(player, scenes::Messenger::kClanInvitation);
    EXPECT_EQ(host.messenger.QuestionBox()->GetParent(), host.messenger.GetParent());
    EXPECT_TRUE(gui::WidgetRouter::IsWithin(host.messenger.QuestionBox(), &lobby));
    host.Leave(lobby);
}

}  // namespace

TEST_F(SharedWindowsTest, ReturnStaysInTheShownWhisperLineAndOpensTheScenesChatOnceTheMessengerIsHidden) {
    scenes::SceneLobby lobby;
    scenes::SceneRoomGame room;
    for (scenes::GameScene* scene : std::initializer_list<scenes::GameScene*>{&lobby, &room}) {
        Visit(*scene, scene == &lobby ? "lobby" : "room");
        host.messenger.Show(true);
        host.messenger.FocusChatInput();
        ASSERT_TRUE(host.messenger.WhisperInput()->HasFocus());
        scene->OnMessage(platform::kWmKeyDown, platform::kVkReturn, 0);
        EXPECT_TRUE(host.messenger.WhisperInput()->HasFocus()) << "the scene's chat took the typing";
        // Hidden with the focus kept (as a scene change hides it), the line no longer holds Return.
        host.messenger.SetVisible(false);
        scene->OnMessage(platform::kWmKeyDown, platform::kVkReturn, 0);
        EXPECT_FALSE(host.messenger.WhisperInput()->HasFocus()) << "a hidden whisper line kept the chat shut";
        host.messenger.Show(true);
        host.messenger.FocusChatInput();
        host.messenger.Show(false);
        EXPECT_FALSE(host.messenger.WhisperInput()->HasFocus()) << "closed, the messenger kept the keys";
        // Esc presses the Close of the messenger on top, and that Esc opens nothing else.
        host.messenger.Show(true);
        for (std::uint32_t message : {platform::kWmKeyDown, platform::kWmChar})
            if (!scene->RouteMessage(message, platform::kVkEscape, 0))
                scene->OnMessage(message, platform::kVkEscape, 0);
        EXPECT_FALSE(host.messenger.IsVisible());
        EXPECT_FALSE(scene == &room && room.GameMenu()->IsVisible()) << "the Esc opened the room's menu too";
        if (gui::EditBox* edit = gui::TextInputManager::GetFocusedEdit()) edit->SetFocus(false);
        host.Leave(*scene);
        scene->Deactivate();
    }
}

TEST_F(SharedWindowsTest, TheLobbyAnswersF8AndF3AsTheTablesDo) {
    scenes::SceneLobby lobby;
    Visit(lobby, "lobby");
    gui::WidgetRouter::Route(lobby, platform::kWmKeyDown, platform::kVkF1 + 7, 0);
    EXPECT_TRUE(host.messenger.IsVisible()) << "F8 left the messenger shut in the lobby";
    gui::WidgetRouter::Route(lobby, platform::kWmKeyDown, platform::kVkF1 + 7, 0);
    EXPECT_FALSE(host.messenger.IsVisible());
    gui::WidgetRouter::Route(lobby, platform::kWmKeyDown, platform::kVkF1 + 2, 0);
    EXPECT_TRUE(host.options.IsVisible()) << "F3 left the options shut in the lobby";
    host.options.Show(false);
    host.Leave(lobby);
}
