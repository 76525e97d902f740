#pragma once
// The render backend for the chosen video backend: OpenGL on the sdl window, the recording
// backend without a display.

#include <memory>

#include "platform/video/RenderBackend.h"
#include "platform/window/Window.h"

std::unique_ptr<platform::RenderBackend> CreateRenderBackend(platform::WindowSystem& windows,
                                                             platform::Window* window);
