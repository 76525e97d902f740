#include "app/lib/RenderSetup.h"

#include <charconv>

#include "platform/sys/Env.h"
#include "platform/video/GlBackend.h"
#include "platform/video/RecordingBackend.h"

std::unique_ptr<platform::RenderBackend> CreateRenderBackend(platform::WindowSystem& windows,
                                                             platform::Window* window) {
    if (windows.Backend() == platform::VideoBackend::Sdl && window && window->NativeHandle()) {
        return std::make_unique<platform::GlBackend>(window->NativeHandle());
    }
    auto backend = std::make_unique<platform::RecordingBackend>();
    // MARVENLOT_DEVICE_CAPS_RESULT=<code> makes the capability check fail with that result code,
    // so the device check dialog and the orderly end after it can be seen without a broken driver.
    const std::string injected = platform::GetEnv("MARVENLOT_DEVICE_CAPS_RESULT");
    int code = 0;
    if (!injected.empty() &&
        std::from_chars(injected.data(), injected.data() + injected.size(), code).ec == std::errc())
        backend->SetCapsResult(code);
    return backend;
}
