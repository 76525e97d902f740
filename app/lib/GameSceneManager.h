#pragma once
// Owns every game scene of the start mode, keyed by scene id, knows the current scene and holds
// the shared notice boxes. The window procedure, both message queues, the update thread and the
// render step reach the current scene through it, under its three locks.
//
// Lock order: App lock, then the scene lock, then the message lock, then the widget lock. Every
// call into a scene (messages, packets, update, tick, render, input) runs under the widget lock,
// so a scene's widgets and the own player record are never touched by two threads at once. The
// manager takes no other lock while it holds the widget lock.

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <span>

#include "scenes/base/GameScene.h"
#include "scenes/base/SceneHost.h"

namespace gui {
class Dialog;
class EditBox;
class FunctionNotUsableNotice;
class InviteDialog;
class MyInfoWindow;
class UserInfoWindow;
}  // namespace gui
#include "gui/NoticeBox.h"
#include "platform/sys/CriticalSection.h"

// The chat filter's words from the "Lang" word list: each non-empty line (ended by CR, LF or the
// end of the data) of the system code page's text, at most 260 characters. Returns the count.
namespace net {
class ChatFilter;
}
int AddChatWords(net::ChatFilter& filter, std::span<const std::uint8_t> bytes);

// Messages a drain held back because no scene was active yet; delivered in order later.
struct HeldMessages {
    struct Entry {
        std::uint32_t code, a, b;
    };
    std::deque<Entry> entries;
};

class GameSceneManager final : public net::SceneGate {
public:
    GameSceneManager();
    ~GameSceneManager() override;

    // The owner's services; every scene added (before or after) reaches the owner through it.
    void SetOwner(scenes::SceneHost* owner);
    bool AddScene(std::unique_ptr<scenes::GameScene> scene);
    bool HasScene(int id) const;
    scenes::GameScene* FindScene(int id) const;
    // Makes scene `id` current. An id without a scene is refused: false, and nothing changes.
    bool SetScene(int id);
    scenes::GameScene* Current() const { return current_.load(std::memory_order_acquire); }
    int CurrentId() const;
    int PreviousId() const { return previousId_; }
    std::size_t SceneCount() const { return scenes_.size(); }
    // Scene ids from the highest to the lowest.
    std::vector<int> SceneIds() const;

    void CreateWindows();
    gui::NoticeBox* GetNoticeBox() { return notice_.get(); }
    gui::NoticeBox* GetSecondNoticeBox() { return secondNotice_.get(); }
    // The shared popups the 3D scenes adopt as their children and show on their buttons. The
    // option dialog and the messenger are made by the front end and handed over with Adopt*.
    gui::Dialog* GetOptionDialog() { return optionDialog_.get(); }
    gui::Dialog* GetMessenger() { return messenger_.get(); }
    gui::MyInfoWindow* GetMyInfoWindow() { return myInfo_.get(); }
    gui::UserInfoWindow* GetUserInfoWindow() { return userInfo_.get(); }
    gui::InviteDialog* GetInviteDialog() { return invite_.get(); }
    gui::FunctionNotUsableNotice* GetFunctionNotUsableNotice() { return notUsable_.get(); }
    void AdoptOptionDialog(std::unique_ptr<gui::Dialog> dialog);
    void AdoptMessenger(std::unique_ptr<gui::Dialog> messenger);
    void ShowError(gui::Widget* parent, const WString& l1, const WString& l2 = {}, const WString& l3 = {});
    void ShowNotice(gui::Widget* parent, const WString& l1, const WString& l2 = {}, const WString& l3 = {},
                    const WString& l4 = {});
    void ShowSecondNotice(gui::Widget* parent, const WString& l1, const WString& l2 = {},
                          const WString& l3 = {});

    void Broadcast(int width, int height);
    void ApplyOptions();
    // 0 nothing to load, 1 loaded now, -1 failed (the error box has been shown).
    int LoadCurrentScene();
    // Render step, under the scene and message locks: performs a requested change. A change to an
    // id this mode has no scene for is refused and the current scene stays.
    void SwitchIfRequested();
    bool OnWindowMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
    // Delivers one drained app message. Until a scene is active the message waits in `held` (the
    // drain never blocks); quit is acted on at once.
    bool OnAppMessage(std::uint32_t code, std::uint32_t a, std::uint32_t b, HeldMessages& held);
    // Delivers held messages once a scene is active (called by each drain).
    void DeliverHeld(HeldMessages& held);
    void Tick(std::uint64_t nowMs, std::uint64_t time100us);
    bool RenderCurrentScene(bool draw);
    void OnIdle();
    void OnActivate(bool active);
    void OnCaptionHover(bool inStrip);
    void PostShortcut(std::uint32_t n);
    // Binds the shared windows' textures and fills the chat filter from the "Lang" word list.
    void InitSharedResources(ResourceManager* resources, RenderDevice* renderer);
    void DestroyAll();

    // Dispatch thread: the scene that may take a packet now (holding the message lock until
    // released), or nullptr while none is current, a change is requested or it is still loading.
    net::PacketSink* AcquireCurrentScene() override;
    void ReleaseCurrentScene(net::PacketSink* scene) override;

    platform::CriticalSection& SceneLock() { return sceneLock_; }
    platform::CriticalSection& MessageLock() { return messageLock_; }
    platform::CriticalSection& WidgetLock() { return widgetLock_; }
    std::uint32_t WidgetTickCount() const { return widgetTicks_; }

private:
    bool DeliverNow(std::uint32_t code, std::uint32_t a, std::uint32_t b);
    void ShowBox(gui::NoticeBox* box, gui::Widget* parent, const WString& caption,
                 std::initializer_list<const WString*> lines);

    scenes::SceneHost* owner_ = nullptr;
    std::atomic<scenes::GameScene*> current_{nullptr};
    std::map<int, std::unique_ptr<scenes::GameScene>, std::greater<int>> scenes_;
    std::unique_ptr<gui::NoticeBox> notice_;
    std::unique_ptr<gui::NoticeBox> secondNotice_;
    std::unique_ptr<gui::Dialog> optionDialog_;
    std::unique_ptr<gui::Dialog> messenger_;
    std::unique_ptr<gui::FunctionNotUsableNotice> notUsable_;
    std::unique_ptr<gui::MyInfoWindow> myInfo_;
    std::unique_ptr<gui::UserInfoWindow> userInfo_;
    std::unique_ptr<gui::InviteDialog> invite_;
    platform::CriticalSection sceneLock_;
    platform::CriticalSection messageLock_;
    platform::CriticalSection widgetLock_;
    int previousId_ = 0;
    // The edit box that had the text focus when the window was deactivated.
    gui::EditBox* savedFocus_ = nullptr;
    std::uint32_t tickCount_ = 0;
    std::uint32_t widgetTicks_ = 0;
};
