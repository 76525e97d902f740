#pragma once
// A small window of the game room and of the practice room that plays the last shot again in a
// miniature 3D view of its own: the owning scene hands it the shot-state block of the shot, and the
// panel strikes that shot again in a second table world drawn into a viewport inside the panel.
// Its buttons play, pause, close, ask the scene for the last shot, switch the camera between
// following the ball and the whole table, and double the view's width.
//
// The panel knows nothing of the scene that owns it: it reaches the application through the scene
// host (notices, application messages 1060 and 1064) and is fed through ReplayShot and Update.
//
// Threads: Update runs on the update thread, Draw and the input on the main thread. The panel's
// lock guards the block, the flags and the size change; the replay world locks itself. Models are
// rebuilt only inside Draw, so a shot of another table waits there (reload pending).

#include <atomic>
#include <cstdint>
#include <memory>

#include "gui/Dialog.h"
#include "platform/sys/CriticalSection.h"
#include "table/ShotStateBlock.h"

class RenderDevice;
class ResourceManager;
struct Options;

namespace gui {
class Button;
class ImageWidget;
}  // namespace gui
namespace net {
struct RoomInfo;
}
namespace table {
class TableWorld;
struct CueObject;
}  // namespace table

namespace scenes {

class SceneHost;

namespace hud {

class ReplayControlPanel : public gui::Dialog {
public:
    static constexpr std::uint32_t kCloseId = 1;
    static constexpr std::uint32_t kPlayId = 2;
    static constexpr std::uint32_t kPauseId = 3;
    static constexpr std::uint32_t kSaveId = 4;
    static constexpr std::uint32_t kLastShotId = 5;
    static constexpr std::uint32_t kCameraId = 10;
    static constexpr std::uint32_t kSizeId = 11;
    static constexpr int kWidth = 184;
    static constexpr int kHeight = 255;
    static constexpr int kViewInset = 3;
    static constexpr int kViewWidth = 178;
    static constexpr int kViewHeight = 249;
    static constexpr int kNormalAnchor = -190;
    static constexpr int kEnlargedAnchor = -374;

    explicit ReplayControlPanel(SceneHost* host);
    ~ReplayControlPanel() override;
    bool Create(int x = 0, int y = 100, int w = kWidth, int h = kHeight, std::uint32_t id = 0,
                std::uint32_t hotkey = 0) override;
    using gui::Widget::Create;

    // The replay world for the room's game type, table and ball set. The device and the packages
    // may be null (no models: the world plays without drawing). The options give the trail flag.
    void CreateWorld(RenderDevice* device, ResourceManager* resources, const net::RoomInfo& room,
                     const Options& options);
    void DestroyWorld();
    // Stores the block and plays it; a block of another table or ball set waits for the next Draw.
    void ReplayShot(table::ShotStateBlock block);
    // One tick of the replay world (paused while not running).
    void Update(std::uint32_t tick, int mouseDx, int mouseDy);
    // Hides or shows the panel and tells the scene (1060).
    void Close(bool show);

    void Draw(gui::Painter& painter, int x, int y) override;
    bool OnMouse(const gui::MouseEvent& event) override;
    bool OnCommand(const gui::CommandEvent& event) override;
    void OnShow() override;
    void OnHide() override;

    // ---- For the scenes and tests
    table::TableWorld* World() const { return world_.get(); }
    bool Running() const { return running_.load(); }
    bool Enlarged() const;
    bool ReloadPending() const;
    bool ViewDirty() const;
    int CameraMode() const;
    int ViewWidth() const { return Enlarged() ? 2 * kViewWidth : kViewWidth; }
    const table::CueObject* CueObject() const { return cue_; }
    gui::ImageWidget* Bottom() const { return bottom_; }
    gui::Button* SizeToggle() const { return sizeToggle_; }
    gui::Button* CameraToggle() const { return cameraToggle_; }

private:
    // Plays the stored block in the world (both paths): positions, current ball, camera, the
    // block's cue (with its tuning parts) and the strike.
    void PlayStoredBlock();
    void ApplyCameraMode();
    void ChangeSize();
    void ReloadAndPlay();

    SceneHost* host_;
    std::unique_ptr<table::TableWorld> world_;
    RenderDevice* device_ = nullptr;
    ResourceManager* resources_ = nullptr;
    mutable platform::CriticalSection lock_;
    table::ShotStateBlock block_{};
    std::atomic<bool> running_{false};
    bool shown_ = false;
    bool reloadPending_ = false;
    bool enlarged_ = false;
    bool viewDirty_ = true;
    int cameraMode_ = 1;
    table::CueObject* cue_ = nullptr;
    gui::ImageWidget* bottom_ = nullptr;
    gui::Button* cameraToggle_ = nullptr;
    gui::Button* sizeToggle_ = nullptr;
    gui::Dialog* sticker_ = nullptr;
};

}  // namespace hud
}  // namespace scenes
