// The frame's place in a full-screen window and the pointer's way back through it.
#include <gtest/gtest.h>

#include <array>

#include "platform/video/FrameFit.h"

using namespace platform;

namespace {

TEST(FrameFit, ScaledToFitCentredWithTheAspectKept) {
    struct Case {
        int frameW, frameH, windowW, windowH;
        int x, y, w, h;
    } cases[] = {
        {1024, 768, 1280, 960, 0, 0, 1280, 960},      // same aspect: the whole window
        {1024, 768, 1920, 1080, 240, 0, 1440, 1080},  // wider desktop: bars left and right
        {1024, 768, 1280, 1024, 0, 32, 1280, 960},    // taller desktop: bars above and below
        {1024, 768, 1024, 768, 0, 0, 1024, 768},      // windowed: one to one
        {1280, 1024, 1024, 768, 32, 0, 960, 768},     // a frame larger than the window shrinks
        {1024, 768, 0, 0, 0, 0, 0, 0},                // no window yet
        {0, 0, 800, 600, 0, 0, 800, 600},             // no frame: the whole window
    };
    for (const Case& c : cases) {
        const FrameFit fit = FitFrame(c.frameW, c.frameH, c.windowW, c.windowH);
        EXPECT_EQ((std::array<int, 4>{fit.x, fit.y, fit.width, fit.height}),
                  (std::array<int, 4>{c.x, c.y, c.w, c.h}))
            << c.frameW << "x" << c.frameH << " in " << c.windowW << "x" << c.windowH;
    }
}

// A click on the window pixel where a frame pixel is drawn reaches that frame pixel, for every
// pixel of the frame's edges and a grid inside it.
TEST(FrameFit, PointerMapsBackToTheFramePixelDrawnUnderIt) {
    const int sizes[][4] = {{1024, 768, 1280, 960}, {1024, 768, 1920, 1080}, {1024, 768, 1280, 1024},
                            {1024, 768, 1024, 768}, {1024, 768, 2560, 1440}, {1152, 720, 1366, 768}};
    for (const auto& s : sizes) {
        const FrameFit fit = FitFrame(s[0], s[1], s[2], s[3]);
        for (int y = 0; y < s[1]; y += (y == 0 || y >= s[1] - 2) ? 1 : 7) {
            for (int x = 0; x < s[0]; x += (x == 0 || x >= s[0] - 2) ? 1 : 5) {
                int wx = 0, wy = 0, fx = 0, fy = 0;
                FrameToWindow(fit, s[0], s[1], x, y, wx, wy);
                ASSERT_TRUE(wx >= fit.x && wx < fit.x + fit.width && wy >= fit.y && wy < fit.y + fit.height);
                WindowToFrame(fit, s[0], s[1], wx, wy, fx, fy);
                ASSERT_EQ(fx, x) << s[2] << "x" << s[3] << " at " << x << "," << y;
                ASSERT_EQ(fy, y) << s[2] << "x" << s[3] << " at " << x << "," << y;
            }
        }
    }
}

TEST(FrameFit, PointerOnTheBarsGoesToTheNearestFrameEdge) {
    const FrameFit fit = FitFrame(1024, 768, 1920, 1080);
    int x = 0, y = 0;
    WindowToFrame(fit, 1024, 768, 10, 500, x, y);
    EXPECT_EQ(x, 0);
    WindowToFrame(fit, 1024, 768, 1910, 1079, x, y);
    EXPECT_EQ(x, 1023);
    EXPECT_EQ(y, 767);
    WindowToFrame(fit, 1024, 768, -50, -50, x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
}

}  // namespace
