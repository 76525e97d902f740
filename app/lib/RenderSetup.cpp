#include "app/lib/RenderSetup.h"

#include "platform/video/RecordingBackend.h"

std::unique_ptr<platform::RenderBackend> CreateRenderBackend(platform::WindowSystem&, platform::Window*) {
    return std::make_unique<platform::RecordingBackend>();
}
