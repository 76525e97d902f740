#include "app/lib/DeviceCheckDialog.h"

#include "engine/core/DeviceError.h"
#include "gui/WebHost.h"
#include "platform/sys/MessageBox.h"
#include "platform/sys/Shell.h"

namespace {
// The link is the dialog's second button; its id is the link control's.
constexpr int kLinkButtonId = 1006;
}  // namespace

DeviceCheckContent DescribeDeviceCheck(int code) {
    DeviceCheckContent content;
    content.text = WString(GetDeviceErrorMessage(code, static_cast<int>(TextLanguage::English)));
    switch (static_cast<DeviceResult>(code)) {
        case DeviceResult::NoDirect3D:
        case DeviceResult::InvalidDirectXVersion:
            content.linkText = device_check::kLinkRuntime;
            break;
        case DeviceResult::CapsUnavailable:
        case DeviceResult::CreateDeviceFailed:
            content.linkText = device_check::kLinkDriver;
            break;
        default:
            break;
    }
    if (!content.linkText.empty()) content.linkTarget = gui::WebPageUrl(device_check::kDownloadPath);
    return content;
}

int SystemCheckDialog(int code) {
    const DeviceCheckContent content = DescribeDeviceCheck(code);
    platform::MessageBoxLayout layout;
    layout.buttons = {{device_check::kEndOk, "OK"}};
    layout.defaultId = device_check::kEndOk;
    layout.closeId = device_check::kEndCancel;
    layout.icon = platform::MessageBoxIcon::Error;
    std::string text = ToUtf8(content.text);
    if (!content.linkText.empty()) {
        layout.buttons.push_back({kLinkButtonId, content.linkText.c_str()});
        text += "\n" + content.linkText + " " + content.linkTarget;
    }
    const int answer = platform::MessageBox(device_check::kCaption, text, layout);
    if (answer == kLinkButtonId) {
        platform::ShellOpen(content.linkTarget);
        return device_check::kEndOk;
    }
    return answer;
}
