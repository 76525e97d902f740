#include <gtest/gtest.h>

#include <thread>

#include "app/lib/AppCodes.h"
#include "gui/Button.h"
#include "net/Packet.h"
#include "platform/window/WindowCodes.h"
#include "support/RecordingScene.h"

namespace {

class SceneManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        manager_.SetOwner(&host_);
        manager_.CreateWindows();
    }
    RecordingScene* Add(int id, bool reloads = false) {
        auto scene = std::make_unique<RecordingScene>(id, &trail_, reloads);
        RecordingScene* raw = scene.get();
        manager_.AddScene(std::move(scene));
        return raw;
    }
    // One render step's scene part: switch, then load.
    int Step() {
        manager_.SwitchIfRequested();
        return manager_.LoadCurrentScene();
    }

    FakeSceneHost host_;
    GameSceneManager manager_;
    std::vector<std::string> trail_;
    HeldMessages held_;
};

TEST_F(SceneManagerTest, BroadcastWalksFromHighestIdDownAndSizesEachScene) {
    for (int id : {1, 12, 2, 4}) Add(id);
    RecordingScene* last = Add(7);
    manager_.Broadcast(800, 600);
    EXPECT_EQ(trail_, (std::vector<std::string>{"12 Resize 800x600", "7 Resize 800x600", "4 Resize 800x600",
                                                "2 Resize 800x600", "1 Resize 800x600"}));
    // A scene lays out what it builds at its next entry by its own size: the client's now.
    EXPECT_EQ(last->Width(), 800);
    EXPECT_EQ(last->Height(), 600);
}

TEST_F(SceneManagerTest, EverySceneReachesTheOwnerWhetherAddedBeforeOrAfterIt) {
    GameSceneManager manager;
    auto early = std::make_unique<RecordingScene>(scenes::scene_id::kIntro, nullptr, false);
    RecordingScene* before = early.get();
    manager.AddScene(std::move(early));
    EXPECT_EQ(before->Host(), nullptr);
    manager.SetOwner(&host_);
    auto late = std::make_unique<RecordingScene>(scenes::scene_id::kLogin, nullptr, false);
    RecordingScene* after = late.get();
    manager.AddScene(std::move(late));
    EXPECT_EQ(before->Host(), &host_);
    EXPECT_EQ(after->Host(), &host_);
    manager.SetOwner(nullptr);
    EXPECT_EQ(before->Host(), nullptr);
}

TEST_F(SceneManagerTest, SceneChangeRunsLeaveLoadEnterAndFade) {
    RecordingScene* intro = Add(scenes::scene_id::kIntro);
    RecordingScene* login = Add(scenes::scene_id::kLogin);
    ASSERT_TRUE(manager_.SetScene(scenes::scene_id::kIntro));
    EXPECT_EQ(Step(), 1);
    EXPECT_TRUE(intro->IsActive());
    trail_.clear();
    intro->RequestScene(scenes::scene_id::kLogin);
    EXPECT_EQ(Step(), 1);
    EXPECT_EQ(trail_, (std::vector<std::string>{"2 Leave", "1 Load3D", "1 Enter"}));
    EXPECT_EQ(manager_.CurrentId(), scenes::scene_id::kLogin);
    EXPECT_EQ(manager_.PreviousId(), scenes::scene_id::kIntro);
    EXPECT_FALSE(intro->IsVisible());
    EXPECT_TRUE(login->IsVisible());
    EXPECT_FLOAT_EQ(login->FadeAlpha(), 0.0f);
    for (int i = 0; i < 150; ++i) {
        manager_.Tick(0, 0);
        ASSERT_LE(login->FadeAlpha(), 1.0f);
    }
    EXPECT_FLOAT_EQ(login->FadeAlpha(), 1.0f);
    EXPECT_FALSE(login->Fading());
    EXPECT_EQ(host_.current, (std::vector<int>{2, 1}));
}

TEST_F(SceneManagerTest, ChangeToSceneThisModeLacksIsRefusedAndSceneStays) {
    RecordingScene* intro = Add(scenes::scene_id::kIntro);
    manager_.SetScene(scenes::scene_id::kIntro);
    Step();
    trail_.clear();
    intro->RequestScene(scenes::scene_id::kLobby);
    EXPECT_EQ(Step(), 0);
    EXPECT_TRUE(trail_.empty());
    EXPECT_EQ(manager_.Current(), intro);
    EXPECT_FALSE(intro->ChangeRequested());
    EXPECT_TRUE(intro->IsActive());
    EXPECT_FALSE(manager_.SetScene(99));
    EXPECT_EQ(manager_.Current(), intro);
}

TEST_F(SceneManagerTest, BaseBeginLoadLoadsOnceAndReloadingSceneLoadsAgain) {
    RecordingScene* once = Add(2);
    RecordingScene* again = Add(1, true);
    manager_.SetScene(2);
    Step();
    once->RequestScene(1);
    Step();
    again->RequestScene(2);
    Step();
    once->RequestScene(1);
    Step();
    again->RequestScene(1);  // a change to itself re-enters
    Step();
    EXPECT_EQ(std::count(trail_.begin(), trail_.end(), "2 Load3D"), 1);
    EXPECT_EQ(std::count(trail_.begin(), trail_.end(), "1 Load3D"), 3);
    EXPECT_TRUE(once->IsActive());
    EXPECT_TRUE(again->IsVisible());
}

TEST_F(SceneManagerTest, FailedLoadShowsLoadingErrorTwo) {
    RecordingScene* intro = Add(2);
    intro->loadResult = 5;
    manager_.SetScene(2);
    EXPECT_EQ(Step(), -1);
    EXPECT_EQ(host_.loadingErrors, std::vector<int>{-2});
    EXPECT_FALSE(intro->IsActive());
}

TEST_F(SceneManagerTest, WindowMessagesOnlyReachALoadedSceneWithoutChange) {
    RecordingScene* intro = Add(2);
    Add(1);
    manager_.SetScene(2);
    EXPECT_FALSE(manager_.OnWindowMessage(0x100, 65, 0));  // still loading
    Step();
    EXPECT_TRUE(manager_.OnWindowMessage(0x100, 65, 0));
    intro->RequestScene(1);
    EXPECT_FALSE(manager_.OnWindowMessage(0x100, 66, 0));
    ASSERT_EQ(intro->Messages().size(), 1u);
    EXPECT_EQ(intro->Messages()[0].a, 65u);
}

TEST_F(SceneManagerTest, AppMessagesWaitForAnActiveSceneWithoutBlocking) {
    RecordingScene* intro = Add(2);
    manager_.SetScene(2);
    EXPECT_FALSE(manager_.OnAppMessage(5000, 1, 2, held_));
    EXPECT_FALSE(manager_.OnAppMessage(5001, 3, 4, held_));
    EXPECT_TRUE(manager_.OnAppMessage(static_cast<std::uint32_t>(scenes::AppMessage::Quit), 0, 0, held_));
    EXPECT_EQ(host_.quits, 1);
    EXPECT_TRUE(intro->Messages().empty());
    Step();
    manager_.DeliverHeld(held_);
    const auto received = intro->Messages();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].code, 5000u);
    EXPECT_EQ(received[1].b, 4u);
}

TEST_F(SceneManagerTest, AppMessageDuringChangeReachesNoScene) {
    RecordingScene* intro = Add(2);
    Add(1);
    manager_.SetScene(2);
    Step();
    intro->RequestScene(1);
    EXPECT_FALSE(manager_.OnAppMessage(5000, 0, 0, held_));
    EXPECT_TRUE(intro->Messages().empty());
}

TEST_F(SceneManagerTest, ConfirmedClanAnswerSendsItsMessageAndReachesTheScene) {
    RecordingScene* intro = Add(2);
    manager_.SetScene(2);
    Step();
    EXPECT_TRUE(manager_.OnAppMessage(static_cast<std::uint32_t>(scenes::AppMessage::ClanAnswer),
                                      scenes::kConfirmButton, 0, held_));
    EXPECT_EQ(host_.sent, (std::vector<std::pair<std::uint16_t, std::uint8_t>>{{233, 1}}));
    EXPECT_EQ(intro->Messages().size(), 1u);
    manager_.OnAppMessage(static_cast<std::uint32_t>(scenes::AppMessage::ClanAnswer), 2049, 0, held_);
    EXPECT_EQ(host_.sent.size(), 1u);
}

TEST_F(SceneManagerTest, WidgetTreeTicksEveryFourthSceneTick) {
    RecordingScene* intro = Add(2);
    manager_.SetScene(2);
    for (int i = 0; i < 3; ++i) manager_.Tick(0, 0);
    EXPECT_EQ(intro->Updates(), 0);  // not loaded yet: ticks are not counted
    Step();
    for (int i = 0; i < 12; ++i) manager_.Tick(0, 0);
    EXPECT_EQ(intro->Updates(), 12);
    EXPECT_EQ(manager_.WidgetTickCount(), 3u);
}

TEST_F(SceneManagerTest, NoticeBoxesAreCentredCaptionedStayCentredAndPostTheirResult) {
    Add(2);
    manager_.SetScene(2);
    std::vector<std::pair<std::uint32_t, std::uint32_t>> posted;
    gui::NoticeBox::SetPoster([&](std::uint32_t code, std::uint32_t a, std::uint32_t, std::uint32_t) {
        posted.push_back({code, a});
    });
    manager_.ShowError(nullptr, u"one", u"", u"three");
    gui::NoticeBox* box = manager_.GetNoticeBox();
    EXPECT_EQ(box->Caption(), u"Error");
    EXPECT_EQ(box->Line(0), u"one");
    EXPECT_EQ(box->Line(1), u"three");
    EXPECT_EQ(box->X(), (1024 - box->Width()) / 2);
    EXPECT_EQ(box->GetParent(), manager_.Current());
    box->SetResultCode(1030);
    box->Press(0);
    EXPECT_FALSE(box->IsVisible());
    EXPECT_EQ(posted, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{1030, 2049}}));

    // Over a dialog away from the corner (the invite list, the nickname dialog) it is still centred.
    gui::Widget* dialog = manager_.Current()->Make<gui::Widget>();
    dialog->Create(340, 250, 340, 260);
    manager_.ShowNotice(dialog, u"Invitation message has been sent.");
    EXPECT_EQ(box->GetParent(), dialog);
    EXPECT_EQ(box->ScreenX(), (1024 - box->Width()) / 2) << "the box landed off the dialog's corner";
    EXPECT_EQ(box->ScreenY(), (768 - box->Height()) / 2);
    // The client grows and shrinks again: the box stays in the middle of it.
    manager_.Broadcast(1920, 1080);
    EXPECT_EQ(box->ScreenX(), (1920 - box->Width()) / 2);
    manager_.Broadcast(1024, 768);
    EXPECT_EQ(std::pair(box->ScreenX(), box->ScreenY()),
              std::pair((1024 - box->Width()) / 2, (768 - box->Height()) / 2));
    gui::NoticeBox::SetPoster(nullptr);
}

TEST_F(SceneManagerTest, NoticeBoxYesClickedWithTheMouseReachesTheScenesOnMessageWithItsParameter) {
    RecordingScene* room = Add(scenes::scene_id::kGameRoom);
    manager_.SetScene(scenes::scene_id::kGameRoom);
    Step();
    struct Record {
        std::uint32_t code, a, b;
    };
    std::vector<Record> queue;  // stands for the user-interface queue the application drains
    gui::NoticeBox::SetPoster([&](std::uint32_t code, std::uint32_t a, std::uint32_t b, std::uint32_t) {
        queue.push_back({code, a, b});
    });
    gui::NoticeBox* box = manager_.GetNoticeBox();
    box->Reset();
    box->SetCaption(u"Notice");
    box->SetLine(0, u"Use the item?");
    box->SetLayout(2);
    box->SetResultCode(1087);
    box->SetParam(4321);
    room->AddChild(box, false);
    box->MoveTo(100, 100);
    box->Show(true);
    const gui::Button* yes = box->LayoutButton(0);
    ASSERT_NE(yes, nullptr);
    const std::intptr_t at = platform::MakeLParam(yes->ScreenX() + 3, yes->ScreenY() + 3);
    EXPECT_TRUE(manager_.OnWindowMessage(platform::kWmLButtonDown, 0, at));
    EXPECT_TRUE(manager_.OnWindowMessage(platform::kWmLButtonUp, 0, at));
    EXPECT_TRUE(room->Messages().empty());  // widget input never reaches the scene directly
    for (const Record& r : queue) manager_.OnAppMessage(r.code, r.a, r.b, held_);
    ASSERT_EQ(room->Messages().size(), 1u);
    EXPECT_EQ(room->Messages()[0].code, 1087u);
    EXPECT_EQ(room->Messages()[0].a, 2052u);
    EXPECT_EQ(room->Messages()[0].b, 4321u);
    gui::NoticeBox::SetPoster(nullptr);
}

TEST_F(SceneManagerTest, SceneGateHoldsPacketsUntilTheSceneRuns) {
    RecordingScene* intro = Add(2);
    Add(1);
    EXPECT_EQ(manager_.AcquireCurrentScene(), nullptr);
    manager_.SetScene(2);
    EXPECT_EQ(manager_.AcquireCurrentScene(), nullptr);
    Step();
    net::PacketSink* sink = manager_.AcquireCurrentScene();
    EXPECT_EQ(sink, static_cast<net::PacketSink*>(intro));
    manager_.ReleaseCurrentScene(sink);
    intro->RequestScene(1);
    EXPECT_EQ(manager_.AcquireCurrentScene(), nullptr);
}

TEST_F(SceneManagerTest, TicksFromAnotherThreadDuringSceneChanges) {
    RecordingScene* a = Add(2, true);
    RecordingScene* b = Add(1, true);
    manager_.SetScene(2);
    Step();
    std::atomic<bool> stop{false};
    std::thread ticker([&] {
        while (!stop) manager_.Tick(0, 0);
    });
    for (int i = 0; i < 200; ++i) {
        (i % 2 ? b : a)->RequestScene(i % 2 ? 2 : 1);
        platform::ScopedLock scene(manager_.SceneLock());
        platform::ScopedLock message(manager_.MessageLock());
        Step();
    }
    stop = true;
    ticker.join();
    EXPECT_EQ(manager_.CurrentId(), 2);
}

// Widgets and the own record are shared by the main, update and dispatch threads: every call into a
// scene must come under the widget lock, or a tick walks a child list a message handler is growing.
TEST_F(SceneManagerTest, EveryCallIntoASceneComesUnderTheWidgetLock) {
    class LockCheckingScene : public RecordingScene {
    public:
        LockCheckingScene(int id, GameSceneManager& manager) : RecordingScene(id), manager_(manager) {}
        using RecordingScene::OnPacket;
        bool OnMessage(std::uint32_t code, std::uintptr_t a, std::intptr_t b) override {
            Check("OnMessage");
            return RecordingScene::OnMessage(code, a, b);
        }
        void Update(std::uint64_t now, std::uint64_t time) override {
            Check("Update");
            RecordingScene::Update(now, time);
        }
        int OnPacket(std::uint16_t, net::Packet*) override { return Check("OnPacket"), 0; }
        int Load3D(ResourceManager*, RenderDevice*) override { return Check("Load3D"), 0; }
        void Render(RenderDevice*, bool) override { Check("Render"); }
        bool PollKeyboard() override { return Check("PollKeyboard"), false; }
        void OnActivate(bool) override { Check("OnActivate"); }
        void Resize(int, int) override { Check("Resize"); }
        bool Leave(ResourceManager* r, SceneManager* s) override {
            Check("Leave");
            return RecordingScene::Leave(r, s);
        }
        std::vector<std::string> unlocked;

    private:
        void Check(const char* call) {
            if (!manager_.WidgetLock().HeldByCurrentThread()) unlocked.push_back(call);
        }
        GameSceneManager& manager_;
    };
    auto owned = std::make_unique<LockCheckingScene>(2, manager_);
    LockCheckingScene* scene = owned.get();
    manager_.AddScene(std::move(owned));
    Add(1);
    manager_.SetScene(2);
    Step();
    manager_.Broadcast(640, 480);
    manager_.OnAppMessage(1100, 0, 0, held_);
    manager_.OnWindowMessage(platform::kWmKeyDown, 'A', 0);
    std::thread update([&] { manager_.Tick(0, 0); });
    update.join();
    manager_.RenderCurrentScene(false);
    manager_.OnIdle();
    manager_.OnActivate(false);
    std::thread dispatch([&] {
        net::PacketSink* sink = manager_.AcquireCurrentScene();
        ASSERT_NE(sink, nullptr);
        net::Packet packet;
        sink->OnPacket(packet);
        manager_.ReleaseCurrentScene(sink);
    });
    dispatch.join();
    scene->RequestScene(1);
    Step();
    EXPECT_EQ(scene->unlocked, std::vector<std::string>{});
    EXPECT_EQ(manager_.WidgetLock().UseCount(), 0) << "every lock taken is given back";
}

}  // namespace
