#pragma once
// Watching the last shot again in the practice room: a small panel with "Replay last shot" and a
// close button over a table world of its own, on which the stored shot state is struck again
// without touching the room's balls. Each playback that comes to rest is journalled
// ("REPLAY <playback> 100 <hash>").
//
// Threads: ReplayShot, Close and the widget commands on the main thread, Update on the update
// thread; the world and the counters are guarded by the panel's lock.

#include <atomic>
#include <cstdint>
#include <memory>

#include "gui/Dialog.h"
#include "platform/sys/CriticalSection.h"
#include "table/ShotStateBlock.h"

namespace table {
class TableWorld;
}

namespace scenes {

class PracticeReplay : public gui::Dialog {
public:
    static constexpr int kWidth = 184;
    static constexpr int kHeight = 255;

    PracticeReplay();
    ~PracticeReplay() override;

    // Strikes the stored shot again from where it started; false (nothing runs) for a block that
    // holds no shot or does not fit a table.
    bool ReplayShot(const table::ShotStateBlock& block);
    // Hides the panel and stops a playback.
    void Close();
    // One update tick of a running playback.
    void UpdatePlayback();
    // Drops the panel's world (scene exit).
    void DestroyWorld();

    bool Running() const { return running_.load(); }
    int Playbacks() const { return playbacks_.load(); }
    std::uint32_t LastHash() const { return lastHash_.load(); }

    bool OnCommand(const gui::CommandEvent& event) override;

private:
    mutable platform::CriticalSection lock_;
    std::unique_ptr<table::TableWorld> world_;
    std::uint32_t tick_ = 0;
    std::atomic<bool> running_{false};
    std::atomic<int> playbacks_{0};
    std::atomic<std::uint32_t> lastHash_{0};
};

}  // namespace scenes
