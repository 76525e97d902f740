#pragma once
// The one place that chooses the backends. Each kind of device has drivers with a name and a
// priority; the environment may name one (MARVENLOT_VIDEO=sdl|null, MARVENLOT_AUDIO=openal|null),
// else the drivers whose probe passes are tried best first, and for sound the null driver, which
// always opens, comes last.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/audio/AudioDevice.h"
#include "platform/video/RenderBackend.h"
#include "platform/window/Window.h"

namespace platform {

enum class DriverKind { Video, Audio };

inline constexpr std::string_view kNullDriver = "null";

// The driver names of a kind in the order they are tried.
struct DriverPlan {
    std::vector<std::string_view> names;
    bool forced = false;  // the environment named the first driver
};

// The plan for a kind from the environment and the probes. Video is sdl unless MARVENLOT_VIDEO
// names null: null is never a fallback, so a client that wanted a window and found no display
// says so instead of running unseen. A named audio driver still falls back to null, and an
// unknown audio name means null; an unknown name writes a line on stderr.
DriverPlan SelectDriver(DriverKind kind);

// False for SDL's drivers that show nothing (offscreen, dummy), which SDL falls back to when it
// finds no display, unless `requested` (the SDL_VIDEODRIVER list) names them.
bool SdlDriverShowsWindows(std::string_view driver, std::string_view requested);

// True when a display server can be reached: DISPLAY or WAYLAND_DISPLAY is set and the video
// driver was not forced to null.
bool IsDisplayReachable();

// The window system of the first video driver of the plan that starts; null when no display can
// be opened.
std::unique_ptr<WindowSystem> OpenWindowSystem();

// The audio device of the first driver that opens. Never null. When a sound output was tried and
// none opened (the null device is used), `unopened` tells which ("OpenAL found no sound output").
std::unique_ptr<AudioDevice> OpenAudioDevice(std::string* unopened = nullptr);

// The render backend for the window: OpenGL on an sdl window, else the recording backend, whose
// capability check fails with the code MARVENLOT_DEVICE_CAPS_RESULT names, if any (to show the
// device check dialog without a broken driver).
std::unique_ptr<RenderBackend> OpenRenderBackend(WindowSystem& windows, Window* window);

}  // namespace platform
