#include "platform/Drivers.h"

#include <SDL.h>

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "platform/sys/Env.h"
#include "platform/video/GlBackend.h"
#include "platform/video/RecordingBackend.h"

namespace platform {

namespace {

bool DisplayServerSet() {
    return !GetEnv("DISPLAY").empty() || !GetEnv("WAYLAND_DISPLAY").empty();
}

struct DriverInfo {
    DriverKind kind;
    std::string_view name;
    int priority;     // higher is tried first; null is always lowest
    bool (*probe)();  // nullptr: always available
};

// sdl has no probe: SDL finds a display (X11, Wayland, the console) better than a look at DISPLAY
// would. Finding none, it starts its offscreen driver, which OpenWindowSystem refuses unless asked for.
constexpr DriverInfo kDrivers[] = {
    {DriverKind::Video, "sdl", 10, nullptr},
    {DriverKind::Video, kNullDriver, 0, nullptr},
    {DriverKind::Audio, "openal", 10, nullptr},
    {DriverKind::Audio, kNullDriver, 0, nullptr},
};

struct KindInfo {
    DriverKind kind;
    const char* variable;
    const char* device;      // for the line about an unknown name
    bool forcedFallsBack;    // a named driver that does not open is followed by null
    bool unknownMeansNull;   // an unknown name turns the device off instead of choosing freely
    bool nullWhenNamedOnly;  // null is never a fallback: no window where one was wanted is an error
};

constexpr KindInfo kKinds[] = {
    {DriverKind::Video, "MARVENLOT_VIDEO", "video", false, false, true},
    {DriverKind::Audio, "MARVENLOT_AUDIO", "sound", true, true, false},
};

const KindInfo& Kind(DriverKind kind) {
    return *std::find_if(std::begin(kKinds), std::end(kKinds),
                         [kind](const KindInfo& k) { return k.kind == kind; });
}

}  // namespace

DriverPlan SelectDriver(DriverKind kind) {
    const KindInfo& info = Kind(kind);
    std::vector<const DriverInfo*> drivers;
    for (const DriverInfo& driver : kDrivers)
        if (driver.kind == kind) drivers.push_back(&driver);
    std::stable_sort(drivers.begin(), drivers.end(),
                     [](const DriverInfo* a, const DriverInfo* b) { return a->priority > b->priority; });

    DriverPlan plan;
    const std::string named = GetEnv(info.variable);
    if (!named.empty()) {
        const auto found = std::find_if(drivers.begin(), drivers.end(),
                                        [&named](const DriverInfo* d) { return d->name == named; });
        if (found != drivers.end()) {
            plan.forced = true;
            plan.names.push_back((*found)->name);
            if (info.forcedFallsBack && (*found)->name != kNullDriver) plan.names.push_back(kNullDriver);
            return plan;
        }
        if (info.unknownMeansNull) {
            std::fprintf(stderr, "%s: unknown backend \"%s\", %s is off\n", info.variable, named.c_str(),
                         info.device);
            plan.names.push_back(kNullDriver);
            return plan;
        }
        std::fprintf(stderr, "%s: unknown backend \"%s\", choosing the %s backend as usual\n", info.variable,
                     named.c_str(), info.device);
    }
    for (const DriverInfo* driver : drivers)
        if (driver->name != kNullDriver && (!driver->probe || driver->probe()))
            plan.names.push_back(driver->name);
    if (!info.nullWhenNamedOnly) plan.names.push_back(kNullDriver);
    return plan;
}

bool SdlDriverShowsWindows(std::string_view driver, std::string_view requested) {
    if (driver != "offscreen" && driver != "dummy") return true;
    // SDL_VIDEODRIVER is a comma-separated list of the drivers SDL may use.
    while (!requested.empty()) {
        const std::size_t comma = requested.find(',');
        if (requested.substr(0, comma) == driver) return true;
        requested = comma == std::string_view::npos ? std::string_view() : requested.substr(comma + 1);
    }
    return false;
}

bool IsDisplayReachable() {
    return GetEnv("MARVENLOT_VIDEO") != kNullDriver && DisplayServerSet();
}

std::unique_ptr<WindowSystem> OpenWindowSystem() {
    for (std::string_view name : SelectDriver(DriverKind::Video).names) {
        const VideoBackend backend = name == kNullDriver ? VideoBackend::Null : VideoBackend::Sdl;
        std::unique_ptr<WindowSystem> windows = WindowSystem::Create(backend);
        if (windows && backend == VideoBackend::Sdl) {
            const char* driver = SDL_GetCurrentVideoDriver();
            if (!SdlDriverShowsWindows(driver ? driver : "", GetEnv("SDL_VIDEODRIVER"))) {
                std::fprintf(stderr, "SDL video: no display found (only the %s driver started)\n", driver);
                windows.reset();
            }
        }
        if (windows) return windows;
    }
    return nullptr;
}

std::unique_ptr<AudioDevice> OpenAudioDevice(std::string* unopened) {
    for (std::string_view name : SelectDriver(DriverKind::Audio).names) {
        if (name == "openal") {
            if (auto device = CreateOpenAlDevice()) return device;
            if (unopened) *unopened = "OpenAL found no sound output";
        }
    }
    return CreateNullAudioDevice();
}

std::unique_ptr<RenderBackend> OpenRenderBackend(WindowSystem& windows, Window* window) {
    if (windows.Backend() == VideoBackend::Sdl && window && window->NativeHandle())
        return std::make_unique<GlBackend>(window->NativeHandle());
    auto backend = std::make_unique<RecordingBackend>();
    // Nothing reads a run's recording: keeping every line grew by megabytes a second.
    backend->SetKeep(RecordingBackend::Keep::LastFrame);
    const std::string injected = GetEnv("MARVENLOT_DEVICE_CAPS_RESULT");
    int code = 0;
    if (!injected.empty() &&
        std::from_chars(injected.data(), injected.data() + injected.size(), code).ec == std::errc())
        backend->SetCapsResult(code);
    return backend;
}

}  // namespace platform
