#include "platform/video/GlContext.h"

#include <SDL.h>
#include <SDL_opengl.h>

namespace platform {

GlContext::~GlContext() {
    if (context_) SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context_));
    if (ownsWindow_ && window_) SDL_DestroyWindow(static_cast<SDL_Window*>(window_));
    if (ownsVideo_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

std::unique_ptr<GlContext> GlContext::Create(void* window, int width, int height, std::string* error) {
    std::unique_ptr<GlContext> context(new GlContext());
    auto fail = [&](const char* what) {
        if (error) *error = std::string(what) + ": " + SDL_GetError();
        return nullptr;
    };
    if (!window) {
        if (!SDL_WasInit(SDL_INIT_VIDEO)) {
            if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return fail("SDL video");
            context->ownsVideo_ = true;
        }
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        window = SDL_CreateWindow("Marvenlot", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                  width > 0 ? width : 64, height > 0 ? height : 64,
                                  SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (!window) return fail("SDL window");
        context->ownsWindow_ = true;
    }
    context->window_ = window;
    context->context_ = SDL_GL_CreateContext(static_cast<SDL_Window*>(window));
    if (!context->context_) return fail("GL context");
    return context;
}

void GlContext::MakeCurrent() {
    SDL_GL_MakeCurrent(static_cast<SDL_Window*>(window_), static_cast<SDL_GLContext>(context_));
}
void GlContext::Swap() {
    SDL_GL_SwapWindow(static_cast<SDL_Window*>(window_));
}
bool GlContext::SetSwapInterval(int interval) {
    return SDL_GL_SetSwapInterval(interval) == 0;
}

void GlContext::DrawableSize(int& width, int& height) const {
    SDL_GL_GetDrawableSize(static_cast<SDL_Window*>(window_), &width, &height);
}

std::string GlContext::Renderer() const {
    const auto* text = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    return std::string(text ? text : "?") + " / " + (version ? version : "?");
}

}  // namespace platform
