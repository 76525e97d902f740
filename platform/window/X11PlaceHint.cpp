// The place a window's size hints give on an X server.
#include <SDL.h>
#include <SDL_syswm.h>

// Last: the X headers define macros (None, Bool, Status) that clash with names in the others.
#include <X11/Xutil.h>

namespace platform {

void HintProgramPlace(SDL_Window* window, int x, int y) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
    XSizeHints* hints = XAllocSizeHints();
    if (!hints) return;
    long supplied = 0;
    if (XGetWMNormalHints(info.info.x11.display, info.info.x11.window, hints, &supplied)) {
        hints->flags = (hints->flags & ~USPosition) | PPosition;
        hints->x = x;
        hints->y = y;
        XSetWMNormalHints(info.info.x11.display, info.info.x11.window, hints);
        XFlush(info.info.x11.display);
    }
    XFree(hints);
}

}  // namespace platform
