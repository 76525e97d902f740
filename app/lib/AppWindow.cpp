// The main window: creation, the window procedure, accelerators, edge sizing, screenshots and the
// system information block of the start-up log.
#include <ctime>

#include "app/lib/Accelerators.h"
#include "app/lib/App.h"
#include "engine/core/Log.h"
#include "engine/render/RenderDevice.h"
#include "platform/sys/Clock.h"
#include "platform/sys/MessageBox.h"
#include "platform/sys/Shell.h"
#include "platform/sys/SystemInfo.h"

using namespace platform;

void App::SetWindowRect(bool fullscreen, int width, int height, int x, int y) {
    fullscreen_ = fullscreen;
    clientWidth_ = width;
    clientHeight_ = height;
    // Full screen lies at the display's corner; the windowed position is kept for the way back.
    if (!fullscreen) {
        windowX_ = x;
        windowY_ = y;
    }
    windowRect_ = platform::Rect{x, y, x + width, y + height};
}

void App::MoveWindowForMode() {
    if (fullscreen_) {
        SetWindowRect(true, ClientWidth(), ClientHeight(), 0, 0);
    } else {
        SetWindowRect(false, ClientWidth(), ClientHeight(), windowX_, windowY_);
    }
    if (window_) window_->SetBounds(windowRect_, fullscreen_);
}

void App::WriteSystemInfo() {
    LogWrite(u"[App ver]\n");
    LogWrite(u"  ver : %s\n", kAppVersion);
    LogWrite(u"[Operating System]\n");
    LogWrite(u"  %s\n", FromUtf8(GetOSName()));
    LogWrite(u"[Internet Explorer]\n");
    LogWrite(u"  %s\n", FromUtf8(GetIEVersion()));
    LogWrite(u"[Processor Info]\n");
    LogWrite(u"  %s\n", FromUtf8(GetCPUInfo()));
    LogWrite(u"[Memory]\n");
    LogWrite(u"  Total Memory: %d MB\n", GetMemoryStatusMB());
    LogWrite(u"[Display Adapter]\n");
    LogWrite(u"  %s\n", FromUtf8(GetDisplayAdapterName()));
}

bool App::InitWindow() {
    MoveWindowForMode();
    WriteSystemInfo();
    LogWrite(u"InitWindow...\n");
    LogWrite(u"Class Registered...\n");
    WindowDesc desc;
    desc.title = kProductName;
    desc.bounds = windowRect_;
    desc.fullscreen = fullscreen_;
    desc.minWidth = kWindowedWidth;
    desc.minHeight = kWindowedHeight;
    window_ = windows_.CreateMainWindow(desc);
    if (!window_) {
        const WString text = Format(u"%s code:%d", u"Failed to Create window..", 0);
        LogWrite(u"%s\n", text);
        MessageBox(ToUtf8(kProductName), ToUtf8(text), MB_OK | MB_ICONERROR);
        return false;
    }
    LogWrite(u"Window Created...\n");
    LogWrite(u"Accelerators loaded...\n");
    LogWrite(u"Input set...\n");
    window_->Show(ShowCommand::Show);
    LogWrite(u"Show Window...\n");
    return true;
}

void App::SizingResult(std::uint32_t mode, int startWidth, int startHeight, int startX, int startY, int x,
                       int y, int desktopWidth, int desktopHeight, int& outWidth, int& outHeight) {
    outWidth = startWidth;
    outHeight = startHeight;
    if (mode == sizing::kCorner || mode == sizing::kRight) outWidth = startWidth - startX + x;
    if (mode == sizing::kCorner || mode == sizing::kBottom) outHeight = startHeight - startY + y;
    const int maxWidth = desktopWidth > static_cast<int>(kWindowedWidth) ? desktopWidth : kWindowedWidth;
    const int maxHeight = desktopHeight > static_cast<int>(kWindowedHeight) ? desktopHeight : kWindowedHeight;
    outWidth = outWidth < static_cast<int>(kWindowedWidth) ? kWindowedWidth
                                                           : (outWidth > maxWidth ? maxWidth : outWidth);
    outHeight = outHeight < static_cast<int>(kWindowedHeight)
                    ? kWindowedHeight
                    : (outHeight > maxHeight ? maxHeight : outHeight);
}

platform::Rect App::StatusTextRect(int clientWidth, int clientHeight, int textWidth) {
    const int left = std::max(kStatusTextLeft, (clientWidth - textWidth) / 2);
    return {left, clientHeight - kStatusTextHeight, left + textWidth, clientHeight};
}

WString App::ScreenshotFileName(int year, int month, int day, int hour, int minute, int second) {
    return Format(u"%s-%02d%02d%02d-%02d%02d%02d.jpg", kProductName, year % 100, month, day, hour, minute,
                  second);
}

bool App::SaveScreenshot() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const WString name = ScreenshotFileName(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                            local.tm_hour, local.tm_min, local.tm_sec);
    const std::string folder = DesktopDir();
    const std::string path = folder + "/" + ToUtf8(name);
    if (!renderer_ || !renderer_->SaveScreenshot(path)) {
        LogWrite(u"ERROR : screenshot %s could not be saved\n", FromUtf8(path));
        return false;
    }
    LogWrite(u"Screenshot saved to %s\n", FromUtf8(path));
    // Without a desktop folder the file lies in the home folder, and the notice says so.
    statusText_ = Format(u"%s (%s)",
                         IsHomeFolder(folder) ? u"The screenshot has been saved to your home folder."
                                              : u"The screenshot has been saved to your desktop.",
                         name);
    statusTime_ = NowMs();
    if (statusTime_ == 0) statusTime_ = 1;
    return true;
}

void App::ShowCursor(bool show) {
    if (show == cursorShown_) return;
    cursorShown_ = show;
    if (window_) window_->ShowCursor(show);
}

void App::ClipCursorToWindow(bool on) {
    if (!window_) return;
    if (!on) {
        window_->ClipCursor(nullptr);
        return;
    }
    const platform::Rect r = window_->GetWindowRect();
    const platform::Rect clip{r.left, r.top + 30, r.right - 10, r.bottom - 10};
    window_->ClipCursor(&clip);
}

void App::SetMouseCapture(bool on) {
    if (window_) window_->SetCapture(on);
}

void App::HandleCommand(std::uint32_t id) {
    switch (id) {
        case command_id::kToggleFullscreen:
            ToggleFullscreen();
            break;
        case command_id::kQuit:
            PostQuit();
            break;
        case command_id::kScreenshot:
        case command_id::kScreenshotAlt:
            SaveScreenshot();
            break;
        case command_id::kShortcut1:
            scenes_.PostShortcut(1);
            break;
        case command_id::kShortcut2:
            scenes_.PostShortcut(2);
            break;
        case command_id::kShortcut3:
            scenes_.PostShortcut(3);
            break;
        case command_id::kShortcut4:
            scenes_.PostShortcut(4);
            break;
        case command_id::kShortcut5:
            scenes_.PostShortcut(5);
            break;
        case command_id::kShortcut0:
            scenes_.PostShortcut(0);
            break;
        default:
            break;
    }
}

std::intptr_t App::HandleWindowedMouse(const Message& message, bool& handled) {
    handled = false;
    const int w = ClientWidth();
    const int h = ClientHeight();
    const int x = LParamX(message.lParam);
    const int y = LParamY(message.lParam);
    const bool inCorner = x >= w - 10 && y >= h - 10 && x < w && y < h;
    const bool inRight = x >= w - 5 && x < w && y >= 0 && y < h;
    const bool inBottom = y >= h - 5 && y < h && x >= 0 && x < w;
    switch (message.message) {
        case kWmLButtonDown:
            if (y < kCaptionStripHeight && x < w - kCaptionButtonsWidth) {
                windows_.PostMessage({kWmNcLButtonDown, kHtCaption, message.lParam});
                handled = true;
                return 1;
            }
            if (inCorner || inRight || inBottom) {
                if (inCorner) {
                    window_->SetCursor(CursorShape::SizeNwse);
                    sizingMode_ = sizing::kCorner;
                } else if (inRight) {
                    window_->SetCursor(CursorShape::SizeWe);
                    sizingMode_ = sizing::kRight;
                } else {
                    window_->SetCursor(CursorShape::SizeNs);
                    sizingMode_ = sizing::kBottom;
                }
                sizingStartWidth_ = w;
                sizingStartHeight_ = h;
                sizingStartX_ = x;
                sizingStartY_ = y;
                sizeMoveStartKnown_ = true;
                SetMouseCapture(true);
                windows_.PostMessage({kWmEnterSizeMove, 0, 0});
                handled = true;
                return 1;
            }
            break;
        case kWmLButtonUp:
            if (sizingMode_ != sizing::kNone) {
                sizingMode_ = sizing::kNone;
                SetMouseCapture(false);
                windows_.PostMessage({kWmExitSizeMove, 0, 0});
                handled = true;
                return 0;
            }
            break;
        case kWmMouseMove:
            if (sizingMode_ != sizing::kNone) {
                int newWidth = 0, newHeight = 0;
                SizingResult(sizingMode_, sizingStartWidth_, sizingStartHeight_, sizingStartX_, sizingStartY_,
                             x, y, desktop_.width, desktop_.height, newWidth, newHeight);
                windowedWidth_ = static_cast<std::uint32_t>(newWidth);
                windowedHeight_ = static_cast<std::uint32_t>(newHeight);
                const platform::Rect r = window_->GetWindowRect();
                window_->SetBounds(platform::Rect{r.left, r.top, r.left + newWidth, r.top + newHeight},
                                   false);
                handled = true;
                return 1;
            }
            if (inCorner) {
                window_->SetCursor(CursorShape::SizeNwse);
            } else if (inRight) {
                window_->SetCursor(CursorShape::SizeWe);
            } else if (inBottom) {
                window_->SetCursor(CursorShape::SizeNs);
            } else {
                scenes_.OnCaptionHover(
                    static_cast<unsigned>(y) < static_cast<unsigned>(kCaptionStripHeight) &&
                    static_cast<unsigned>(x) < static_cast<unsigned>(w - kCaptionButtonsWidth));
                if (cursorStyle_ == 1) window_->SetCursor(CursorShape::GameAim);
            }
            break;
        default:
            break;
    }
    return 0;
}

// A window the desktop resized takes the size as the edges' drag does: it becomes the windowed size
// and the next render step resizes the client and its scenes. Each report gives its own size, as
// the window had it then: the window may be maximised by the time a resize before it is read. Sizes
// the client set itself are already the windowed size and change nothing; one reported while a
// switch waits is the size of the window being left. The windowed size is compared, not the
// client's, which lags until the render step: a resize undone before that step would leave the
// windowed size at the undone one.
void App::FollowDesktopSize(int width, int height) {
    if (fullscreen_ || !window_ || (pending_ & pending::kDisplayMode)) return;
    if (width <= 0 || height <= 0) {
        const platform::Rect client = window_->GetClientRect();
        width = client.Width();
        height = client.Height();
    }
    if (width <= 0 || height <= 0 ||
        (width == static_cast<int>(windowedWidth_) && height == static_cast<int>(windowedHeight_)))
        return;
    windowedWidth_ = static_cast<std::uint32_t>(width);
    windowedHeight_ = static_cast<std::uint32_t>(height);
    PauseRendering();
    pending_ |= pending::kResized;
}

std::intptr_t App::WndProc(const Message& message) {
    std::uint32_t command = 0;
    if (TranslateAccelerator(message, command)) {
        HandleCommand(command);
        return 1;
    }
    if (!window_) return 0;
    // The Windows keys do nothing while the full-screen game runs (the keyboard is grabbed then).
    if ((message.message == kWmKeyDown || message.message == kWmKeyUp) &&
        (message.wParam == kVkLWin || message.wParam == kVkRWin) && fullscreen_ && renderingActive_) {
        return 1;
    }
    if (!fullscreen_) {
        bool handled = false;
        const std::intptr_t result = HandleWindowedMouse(message, handled);
        if (handled) return result;
    }
    switch (message.message) {
        case kWmMouseMove:
            lastMouseX_ = LParamX(message.lParam);
            lastMouseY_ = LParamY(message.lParam);
            [[fallthrough]];
        case kWmMouseLeave:
        case kWmLButtonDown:
        case kWmLButtonUp:
        case kWmRButtonDown:
        case kWmRButtonUp:
        case kWmDropFiles:
        case kWmKeyDown:
        case kWmKeyUp:
        case kWmChar:
        case kWmSysKeyDown:
        case kWmSysKeyUp:
        case kWmImeComposition:
        case kWmImeEndComposition:
            if (running_ && scenes_.OnWindowMessage(message.message, message.wParam, message.lParam))
                return 0;
            break;
        case kWmMouseWheel: {
            const platform::Rect r = window_->GetWindowRect();
            const int sx = LParamX(message.lParam);
            const int sy = LParamY(message.lParam);
            if (!r.Contains(sx, sy)) break;
            lastMouseX_ = sx - r.left;
            lastMouseY_ = sy - r.top;
            if (running_ && scenes_.OnWindowMessage(message.message, message.wParam,
                                                    MakeLParam(lastMouseX_, lastMouseY_)))
                return 0;
            break;
        }
        default:
            break;
    }
    return DefaultHandling(message);
}

std::intptr_t App::DefaultHandling(const Message& message) {
    switch (message.message) {
        case kWmSize:
            if (inSizeMove_) {
                changedDuringSizeMove_ = true;
            } else if (ready_) {
                switch (message.wParam) {
                    case kSizeRestored:
                    case kSizeMaxShow:
                        if (minimised_) {
                            minimised_ = false;
                            pending_ |= pending::kResume;
                        }
                        FollowDesktopSize(LParamX(message.lParam), LParamY(message.lParam));
                        break;
                    case kSizeMaximized:
                        // A maximise of the window is the player's Alt+Enter; one reported while a
                        // switch waits belongs to the mode being left.
                        if (!fullscreen_ && !(pending_ & pending::kDisplayMode)) {
                            minimised_ = false;
                            ToggleFullscreen();
                        }
                        break;
                    case kSizeMinimized:
                        minimised_ = true;
                        PauseRendering();
                        break;
                    case kSizeMaxHide:
                        PauseRendering();
                        break;
                    default:
                        break;
                }
            }
            return window_->DefWindowProc(message);
        case kWmActivate:
            if ((message.wParam & 0xFFFF) != kWaInactive) {
                if (fullscreen_ && !renderingActive_ && ready_) pending_ |= pending::kResume;
                scenes_.OnActivate(true);
                windowActive_ = true;
            } else {
                SetMouseCapture(false);
                ClipCursorToWindow(false);
                if (fullscreen_ && !dialogBoxModeWanted_) PauseRendering();
                scenes_.OnActivate(false);
                windowActive_ = false;
            }
            return 0;
        case kWmActivateApp:
            if (message.wParam) {
                if (fullscreen_ && !renderingActive_) ResumeRendering();
                windowActive_ = true;
            } else {
                SetMouseCapture(false);
                ClipCursorToWindow(false);
                if (fullscreen_) {
                    if (renderingActive_) pending_ |= pending::kResume;
                    PauseRendering();
                }
                windowActive_ = false;
            }
            return 0;
        case kWmClose:
            PostQuit();
            return 1;
        case kWmWindowPosChanged:
            // A move reported while a switch waits belongs to the window being left.
            if (!fullscreen_ && !(pending_ & pending::kDisplayMode)) {
                windowRect_ = window_->GetWindowRect();
                windowX_ = windowRect_.left;
                windowY_ = windowRect_.top;
            }
            return 0;
        case kWmSysKeyDown:
            if (message.wParam == kVkMenu) return 0;
            break;
        case kWmImeStartComposition:
            return 0;
        case kWmCommand:
            HandleCommand(static_cast<std::uint32_t>(message.wParam & 0xFFFF));
            return 0;
        case kWmSysCommand:
            if ((message.wParam & 0xFFF0) == kScMaximize) {
                if (minimised_) return 1;
                SetMouseCapture(false);
                ClipCursorToWindow(false);
                break;
            }
            if ((message.wParam & 0xFFF0) == kScScreenSave) return 1;
            break;
        case kWmEnterSizeMove:
            // The grips record the size before their first move; a caption drag records it here.
            if (!sizeMoveStartKnown_) {
                sizingStartWidth_ = static_cast<int>(windowedWidth_);
                sizingStartHeight_ = static_cast<int>(windowedHeight_);
            }
            PauseRendering();
            inSizeMove_ = true;
            return 0;
        case kWmExitSizeMove:
            pending_ |= changedDuringSizeMove_ || sizingStartWidth_ != static_cast<int>(windowedWidth_) ||
                                sizingStartHeight_ != static_cast<int>(windowedHeight_)
                            ? pending::kResized
                            : pending::kResume;
            inSizeMove_ = false;
            sizeMoveStartKnown_ = false;
            return 0;
        case kWmRaiseWindow:
            LogWrite(u"Brought to front by a second start\n");
            window_->Show(ShowCommand::Restore);
            window_->BringToFront();
            return 0;
        default:
            break;
    }
    return window_->DefWindowProc(message);
}
