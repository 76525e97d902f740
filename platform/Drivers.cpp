#include "platform/Drivers.h"

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

constexpr DriverInfo kDrivers[] = {
    {DriverKind::Video, "sdl", 10, DisplayServerSet},
    {DriverKind::Video, kNullDriver, 0, nullptr},
    {DriverKind::Audio, "openal", 10, nullptr},
    {DriverKind::Audio, kNullDriver, 0, nullptr},
};

struct KindInfo {
    DriverKind kind;
    const char* variable;
    bool forcedFallsBack;   // a named driver that does not open is followed by null
    bool unknownMeansNull;  // an unknown name turns the device off instead of choosing freely
};

constexpr KindInfo kKinds[] = {
    {DriverKind::Video, "MARVENLOT_VIDEO", false, false},
    {DriverKind::Audio, "MARVENLOT_AUDIO", true, true},
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
            std::fprintf(stderr, "%s: unknown backend \"%s\", sound is off\n", info.variable, named.c_str());
            plan.names.push_back(kNullDriver);
            return plan;
        }
    }
    for (const DriverInfo* driver : drivers)
        if (driver->name != kNullDriver && (!driver->probe || driver->probe()))
            plan.names.push_back(driver->name);
    plan.names.push_back(kNullDriver);
    return plan;
}

bool IsDisplayReachable() {
    return GetEnv("MARVENLOT_VIDEO") != kNullDriver && DisplayServerSet();
}

std::unique_ptr<WindowSystem> OpenWindowSystem() {
    const DriverPlan plan = SelectDriver(DriverKind::Video);
    for (std::size_t i = 0; i < plan.names.size(); ++i) {
        const VideoBackend backend = plan.names[i] == kNullDriver ? VideoBackend::Null : VideoBackend::Sdl;
        if (auto windows = WindowSystem::Create(backend)) return windows;
        if (i + 1 < plan.names.size())
            std::fprintf(stderr, "marvenlot: no display could be opened; running without one\n");
    }
    return nullptr;
}

std::unique_ptr<AudioDevice> OpenAudioDevice() {
    for (std::string_view name : SelectDriver(DriverKind::Audio).names) {
        if (name == "openal") {
            if (auto device = CreateOpenAlDevice()) return device;
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
