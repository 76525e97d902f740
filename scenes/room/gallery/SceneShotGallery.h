#pragma once
// The shot gallery (scene 9): a table on which a shot chosen from the web shot gallery plays again
// and again (normal, half and quarter speed in turn), with the gallery's list and shot windows on
// top, the corner buttons, the shared popups and a chat area for server messages.
//
// Threads: widgets, UI messages and rendering on the main thread; Update on the update thread;
// game-server messages on the dispatch thread, which only reads them and hands what changes
// widgets to the main thread (the vote reply) or appends under the chat lock (server chat).

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>

#include "platform/sys/CriticalSection.h"
#include "scenes/room/TableScene.h"
#include "scenes/room/gallery/GalleryService.h"
#include "table/ShotRecord.h"

namespace gui {
class Button;
class ImageWidget;
class Panel;
class TextLabel;
}  // namespace gui
namespace table {
struct CueObject;
}

namespace scenes {

class ShotGalleryListWindow;
class ShotViewWindow;

class SceneShotGallery : public TableScene {
public:
    static constexpr int kChatRows = 8;
    static constexpr std::size_t kMaxChatLines = 200;
    static constexpr int kChatRowWidth = 382;
    static constexpr int kChatRowMaxWidth = 600;

    struct ChatLine {
        WString text;
        std::uint32_t argb = 0;
        std::uint64_t stamp = 0;
    };

    SceneShotGallery();
    ~SceneShotGallery() override;

    void CreateUI() override;
    // Every visit loads the table again: Leave destroys the world.
    bool BeginLoad() override { return SceneBeginLoad(); }
    int Load3D(ResourceManager* resources, RenderDevice* renderer) override;
    void Enter() override;
    void Render(RenderDevice* renderer, bool draw) override;
    bool OnMessage(std::uint32_t code, std::uintptr_t a, std::intptr_t b) override;
    bool Leave(ResourceManager* resources, SceneManager* engineScenes) override;
    bool OnCommand(const gui::CommandEvent& event) override;
    int OnPacket(std::uint16_t messageId, net::Packet* packet) override;
    void AddChatLine(const WString& text, std::uint32_t argb) override;

    // Clears the shot window, sets its shot and shows it (which fetches the shot's data).
    void OpenGalleryShot(std::int32_t shotSeq);
    // Reads the shot window's record. A record that cannot be played changes nothing on the table:
    // a notice says so and the list comes back in place of the shot window (false).
    bool PlayGalleryShot();
    // The pending table set-up of a loaded shot: its table and balls, then the first playback.
    void SetUpPendingShot(RenderDevice* renderer);
    void StartGalleryPlayback();
    void AdjustCameraAfterShot();
    // Appends a line (any thread); the rows show it from the next frame or RefreshChat.
    void PushChatLine(const WString& text, std::uint32_t argb);
    // Main thread: the last eight lines fill the rows from the bottom.
    void RefreshChat();
    void HandleEscape();

    int SpeedIndex() const { return speed_; }
    bool SetupPending() const { return setupPending_; }
    const table::ShotRecord& Shot() const { return record_; }
    const WString& SpeedText() const;
    // The plate under the speed label; shown while a shot plays.
    const gui::ImageWidget* SpeedPlate() const { return speedPlate_; }
    const gui::TextLabel* SpeedLabel() const { return speedLabel_; }
    ShotGalleryListWindow* ListWindow() const { return list_; }
    ShotViewWindow* ShotWindow() const { return shotWindow_; }
    const GalleryClient& Client() const { return client_; }
    std::size_t ChatLineCount();
    gui::Panel* ChatRow(int index) const { return chatRows_[static_cast<std::size_t>(index)].panel; }
    const WString& ChatRowText(int index) const;

private:
    struct ChatRowWidgets {
        gui::Panel* panel = nullptr;
        gui::TextLabel* label = nullptr;
    };
    void ToLobby();
    void TakeCue(std::uint16_t item, const std::array<std::int32_t, 5>& parts);
    void ShowVoteReply(int result);
    void ShowSpeed(const WString& text);

    GalleryClient client_;
    ResourceManager* resources_ = nullptr;
    ShotGalleryListWindow* list_ = nullptr;
    ShotViewWindow* shotWindow_ = nullptr;
    gui::ImageWidget* speedPlate_ = nullptr;
    gui::TextLabel* speedLabel_ = nullptr;
    gui::Button* messengerButton_ = nullptr;
    gui::Panel* chatPanel_ = nullptr;
    std::array<ChatRowWidgets, kChatRows> chatRows_{};
    table::ShotRecord record_;
    table::CueObject* cueObject_ = nullptr;
    bool setupPending_ = false;
    int speed_ = -1;
    int playbacks_ = 0;
    bool cameraAdjusted_ = false;
    platform::CriticalSection chatLock_;
    std::deque<ChatLine> chat_;
    std::atomic<bool> chatChanged_{false};
};

}  // namespace scenes
