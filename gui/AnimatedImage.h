#pragma once
// A picture that steps through the frames of a strip at a fixed interval. Play starts it from the
// first frame and shows it; a single run hides itself after its last frame.

#include "gui/Widget.h"

namespace gui {

class AnimatedImage : public Widget {
public:
    // The strip's first frame is the widget's image; `frames` frames of `frameMs` each.
    void SetFrames(int frames, std::uint32_t frameMs);
    // loop: repeat until stopped; otherwise one run.
    void Play(bool loop);
    void Stop();
    bool IsPlaying() const { return playing_; }
    int CurrentFrame() const { return frame_; }

    void Tick(std::uint64_t nowMs) override;
    void Draw(Painter& painter, int x, int y) override;

private:
    int frames_ = 1;
    std::uint32_t frameMs_ = 100;
    int frame_ = 0;
    bool playing_ = false;
    bool loop_ = false;
    bool started_ = false;
    std::uint64_t startMs_ = 0;
};

}  // namespace gui
