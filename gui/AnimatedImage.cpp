#include "gui/AnimatedImage.h"

#include "platform/sys/Clock.h"

namespace gui {

void AnimatedImage::SetFrames(int frames, std::uint32_t frameMs) {
    frames_ = frames < 1 ? 1 : frames;
    frameMs_ = frameMs == 0 ? 1 : frameMs;
}

void AnimatedImage::Play(bool loop) {
    loop_ = loop;
    playing_ = true;
    started_ = false;
    frame_ = 0;
    Show(true);
}

void AnimatedImage::Stop() {
    playing_ = false;
}

void AnimatedImage::Tick(std::uint64_t nowMs) {
    if (!playing_) return;
    if (!started_) {
        // The first tick after Play is the animation's time zero.
        started_ = true;
        startMs_ = nowMs;
    }
    const std::uint64_t step = platform::ElapsedMs(startMs_, nowMs) / frameMs_;
    if (!loop_ && step >= static_cast<std::uint64_t>(frames_)) {
        playing_ = false;
        frame_ = frames_ - 1;
        Show(false);
        return;
    }
    frame_ = static_cast<int>(step % static_cast<std::uint64_t>(frames_));
}

void AnimatedImage::Draw(Painter& painter, int x, int y) {
    if (painter.Image(Image().Frame(frame_), x, y, Width(), Height())) return;
    if (Image().set < 0) return;
    // Flat stand-in: a panel whose brightness pulses with the frame.
    const std::uint32_t level =
        0x60 + static_cast<std::uint32_t>(frame_ * 0x90 / (frames_ > 1 ? frames_ - 1 : 1));
    painter.Fill(x, y, Width(), Height(), 0xFF000000 | (level << 16) | (level << 8) | 0x40);
    painter.Border(x, y, Width(), Height(), skin::kPanelBorder);
}

}  // namespace gui
