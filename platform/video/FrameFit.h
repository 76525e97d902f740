#pragma once
// Where a frame of the client's size shows in a window of another size (a full-screen window on a
// larger desktop): scaled by one factor to the largest size that fits, centred, the rest black, as
// a monitor shows a lower display mode. Pointer positions go back through the same rectangle, so a
// click hits what is drawn under it.

namespace platform {

struct FrameFit {
    int x = 0, y = 0;           // top-left corner of the frame in the window, in window pixels
    int width = 0, height = 0;  // size of the scaled frame in the window
};

// A frame or window without area fits as the whole window.
FrameFit FitFrame(int frameWidth, int frameHeight, int windowWidth, int windowHeight);

// A window pixel to the frame pixel shown there; outside the frame the nearest edge pixel.
void WindowToFrame(const FrameFit& fit, int frameWidth, int frameHeight, int x, int y, int& outX, int& outY);
// A frame pixel to the window pixel at its centre; WindowToFrame of it gives the frame pixel back
// whenever the frame is not shrunk.
void FrameToWindow(const FrameFit& fit, int frameWidth, int frameHeight, int x, int y, int& outX, int& outY);

}  // namespace platform
