#pragma once
// The replay viewer: the shot record given on the command line (`replay a b HEX`) is shown on a 3D
// table and played again and again, at normal speed, at half speed and at a quarter speed close
// up, then from the first view again, until the user quits. Play, pause and stop control the
// running playback; two buttons choose the top or the side view. Each playback that comes to rest
// writes "REPLAY <playback> <speedPercent> <hash>" to the journal.

#include <atomic>
#include <cstdint>
#include <string>

#include "scenes/room/TableScene.h"
#include "table/ShotRecord.h"

namespace gui {
class Button;
class ImageWidget;
}  // namespace gui
namespace table {
struct CueObject;
}

namespace scenes {

class SceneReplay : public TableScene {
public:
    static constexpr std::uint32_t kPlayId = 100;
    static constexpr std::uint32_t kPauseId = 101;
    static constexpr std::uint32_t kStopId = 102;
    static constexpr std::uint32_t kTopViewId = 110;
    static constexpr std::uint32_t kSideViewId = 111;
    // The command line element that holds the record, and the most of it that is read.
    static constexpr std::size_t kRecordArgument = 4;
    static constexpr std::size_t kMaxRecordText = 4095;

    SceneReplay();
    ~SceneReplay() override;

    void CreateUI() override;
    void Enter() override;
    int Load3D(ResourceManager* resources, RenderDevice* renderer) override;
    void Render(RenderDevice* renderer, bool draw) override;
    // The viewer takes no keys from the keyboard state: nothing is aimed or struck here.
    bool PollKeyboard() override { return false; }
    bool OnMessage(std::uint32_t code, std::uintptr_t a, std::intptr_t b) override;
    bool Leave(ResourceManager* resources, SceneManager* engineScenes) override;
    bool OnCommand(const gui::CommandEvent& event) override;

    // Reads the record text (hex, cut at kMaxRecordText characters); false for text that is not a
    // record the world can play.
    bool ReadRecord(const WString& text);
    const table::ShotRecord& Shot() const { return record_; }
    bool ShotRunning() const { return shotRunning_; }
    bool NotPaused() const { return !Paused(); }
    int ViewMode() const { return viewMode_; }
    int Playbacks() const { return playbacks_; }
    // Speed of the running playback in percent.
    int SpeedPercent() const { return speedPercent_; }
    gui::Button* PlayButton() const { return play_; }
    gui::Button* PauseButton() const { return pause_; }

private:
    void StartPlayback();
    void ShowPlaying(bool playing);
    void TakeCue(std::uint16_t item);

    table::ShotRecord record_;
    bool shotRunning_ = false;
    int viewMode_ = 0;
    int playbacks_ = 0;
    int speedPercent_ = 100;
    table::CueObject* cueObject_ = nullptr;
    gui::Button* play_ = nullptr;
    gui::Button* pause_ = nullptr;
    gui::ImageWidget* keyGuide_ = nullptr;
};

}  // namespace scenes
