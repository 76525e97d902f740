#include "app/lib/Accelerators.h"

#include "app/lib/AppCodes.h"

using namespace platform;

bool TranslateAccelerator(const Message& message, std::uint32_t& command) {
    if (message.message == kWmSysChar) {
        if (message.wParam == 0x60) {
            command = command_id::kShortcut0;
            return true;
        }
        return false;
    }
    if (message.message != kWmKeyDown && message.message != kWmSysKeyDown) return false;
    const bool alt = (static_cast<std::uint32_t>(message.lParam) & kKeyAltDown) != 0;
    const std::uint32_t key = static_cast<std::uint32_t>(message.wParam);
    if (alt) {
        switch (key) {
            case kVkReturn:
                command = command_id::kToggleFullscreen;
                return true;
            case kVkF4:
                command = command_id::kQuit;
                return true;
            case '1':
                command = command_id::kShortcut1;
                return true;
            case '2':
                command = command_id::kShortcut2;
                return true;
            case '3':
                command = command_id::kShortcut3;
                return true;
            case '4':
                command = command_id::kShortcut4;
                return true;
            case '5':
                command = command_id::kShortcut5;
                return true;
            default:
                return false;
        }
    }
    if (key == kVkF10) {
        command = command_id::kScreenshot;
        return true;
    }
    if (key == kVkF12) {
        command = command_id::kScreenshotAlt;
        return true;
    }
    return false;
}
