#include "platform/video/FrameFit.h"

#include <algorithm>
#include <cstdint>

namespace platform {

namespace {

// floor(a / b) for b > 0 and any a.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// One axis, pixel centres to pixel centres: position p of `from` pixels onto `to` pixels.
int MapAxis(int p, int from, int to) {
    return static_cast<int>(FloorDiv((2 * std::int64_t{p} + 1) * to, 2 * std::int64_t{from}));
}

}  // namespace

FrameFit FitFrame(int frameWidth, int frameHeight, int windowWidth, int windowHeight) {
    FrameFit fit{0, 0, std::max(windowWidth, 0), std::max(windowHeight, 0)};
    if (frameWidth <= 0 || frameHeight <= 0 || windowWidth <= 0 || windowHeight <= 0) return fit;
    // Compared crosswise so that equal aspects give the exact window, with no rounding.
    const std::int64_t byWidth = std::int64_t{windowWidth} * frameHeight;
    const std::int64_t byHeight = std::int64_t{windowHeight} * frameWidth;
    if (byWidth <= byHeight) {
        fit.height = static_cast<int>((byWidth + frameWidth / 2) / frameWidth);
    } else {
        fit.width = static_cast<int>((byHeight + frameHeight / 2) / frameHeight);
    }
    fit.x = (windowWidth - fit.width) / 2;
    fit.y = (windowHeight - fit.height) / 2;
    return fit;
}

void WindowToFrame(const FrameFit& fit, int frameWidth, int frameHeight, int x, int y, int& outX, int& outY) {
    if (fit.width <= 0 || fit.height <= 0 || frameWidth <= 0 || frameHeight <= 0) {
        outX = x;
        outY = y;
        return;
    }
    outX = std::clamp(MapAxis(x - fit.x, fit.width, frameWidth), 0, frameWidth - 1);
    outY = std::clamp(MapAxis(y - fit.y, fit.height, frameHeight), 0, frameHeight - 1);
}

void FrameToWindow(const FrameFit& fit, int frameWidth, int frameHeight, int x, int y, int& outX, int& outY) {
    if (fit.width <= 0 || fit.height <= 0 || frameWidth <= 0 || frameHeight <= 0) {
        outX = x;
        outY = y;
        return;
    }
    outX = fit.x + MapAxis(x, frameWidth, fit.width);
    outY = fit.y + MapAxis(y, frameHeight, fit.height);
}

}  // namespace platform
