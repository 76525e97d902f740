#pragma once
// An OpenGL compatibility context: in a window handed in by platform/window (an SDL_Window, passed
// as an opaque pointer) or in a hidden window of its own (tests, tools). SDL's offscreen driver
// (SDL_VIDEODRIVER=offscreen) gives one without an X server.

#include <memory>
#include <string>

namespace platform {

class GlContext {
public:
    ~GlContext();
    GlContext(const GlContext&) = delete;
    GlContext& operator=(const GlContext&) = delete;

    // window: an SDL_Window* created with SDL_WINDOW_OPENGL, or null for a hidden window of the
    // given size. Null result with error() set when no context can be made.
    static std::unique_ptr<GlContext> Create(void* window, int width, int height,
                                             std::string* error = nullptr);

    void MakeCurrent();
    void Swap();
    // False when the driver cannot wait for the vertical blank (Mesa's llvmpipe under GLX).
    bool SetSwapInterval(int interval);
    // Drawable size of the window in pixels.
    void DrawableSize(int& width, int& height) const;
    void* Window() const { return window_; }
    std::string Renderer() const;

private:
    GlContext() = default;
    void* window_ = nullptr;
    void* context_ = nullptr;
    bool ownsWindow_ = false;
    bool ownsVideo_ = false;
};

}  // namespace platform
