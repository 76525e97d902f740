#pragma once
// Codes only the application shell uses: pending window changes, accelerator commands, sizing
// modes and the fixed names of the shell. Scene ids and message codes are in scenes/base.

#include <cstdint>

#include "gui/GuiConstants.h"
#include "scenes/base/SceneCodes.h"

// Bits of App's pending window changes, applied by the render step.
namespace pending {
constexpr std::uint32_t kResume = 0x1;
constexpr std::uint32_t kTextureFilter = scenes::video_change::kTextureFilter;
constexpr std::uint32_t kResized = 0x4;
constexpr std::uint32_t kDeviceSettings = scenes::video_change::kDeviceSettings;
constexpr std::uint32_t kDisplayMode = scenes::video_change::kDisplayMode;
constexpr std::uint32_t kDialogBoxMode = 0x20;
constexpr std::uint32_t kSceneEffects = scenes::video_change::kSceneEffects;
}  // namespace pending

// Accelerator commands (WM_COMMAND ids).
namespace command_id {
constexpr std::uint32_t kToggleFullscreen = 32771;
constexpr std::uint32_t kQuit = 32773;
constexpr std::uint32_t kScreenshot = 32775;
constexpr std::uint32_t kShortcut1 = 32780;
constexpr std::uint32_t kShortcut3 = 32782;
constexpr std::uint32_t kShortcut4 = 32783;
constexpr std::uint32_t kShortcut5 = 32785;
constexpr std::uint32_t kShortcut2 = 32787;
constexpr std::uint32_t kShortcut0 = 32789;
constexpr std::uint32_t kScreenshotAlt = 32791;
}  // namespace command_id

// Sizing modes of the windowed edge grips.
namespace sizing {
constexpr std::uint32_t kNone = 0;
constexpr std::uint32_t kRight = 11;
constexpr std::uint32_t kBottom = 15;
constexpr std::uint32_t kCorner = 17;
}  // namespace sizing

// Network message ids the shell sends itself.
namespace shell_message {
constexpr std::uint16_t kClanAnswer = 233;
constexpr std::uint16_t kServerOptions = 261;
constexpr std::uint16_t kMyInfoValue = 519;
}  // namespace shell_message

inline constexpr char16_t kProductName[] = u"Marvenlot";
inline constexpr char16_t kWindowClass[] = u"veskapp";
inline constexpr char16_t kInitEventName[] = u"Marvenlot Init";
inline constexpr char16_t kAppVersion[] = u"09042801";
constexpr std::uint32_t kClientBuildNumber = 2970;
constexpr std::uint32_t kWindowedWidth = 1024;
constexpr std::uint32_t kWindowedHeight = 768;
constexpr std::uint32_t kUpdateRate = 200;
constexpr std::uint32_t kQueueCapacity = 1024;
constexpr std::uint32_t kUpdateThreadWaitMs = 2000;
constexpr std::uint32_t kStatusTextMs = 5000;
// The screenshot notice's strip along the bottom edge, from the right end of the item strip that the
// table scenes keep at their lower left: no scene keeps a control or a text there (the lobby's rail,
// the floor under a table, the shop's background).
constexpr int kStatusTextLeft = 360, kStatusTextHeight = 16;
// A press in the top strip of a window's client area (left of its caption buttons) drags the window.
constexpr int kCaptionStripHeight = gui::kCaptionStripHeight;
constexpr int kCaptionButtonsWidth = 300;
