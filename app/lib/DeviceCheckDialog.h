#pragma once
// The dialog shown when the render device cannot be started: the reason in English and, for the
// codes that a graphics runtime or driver update can cure, a link to the download page that opens
// in the system browser.

#include <string>

#include "engine/core/Text.h"

namespace device_check {
constexpr char kCaption[] = "Error - Marvenlot";
constexpr char kDownloadPath[] = "/down/down_01.asp";
constexpr char kLinkRuntime[] = "Go to download DirectX 9.0c.";
constexpr char kLinkDriver[] = "Go to download the recent graphic driver.";
// End codes: OK, cancel (the close box); a click on the link ends the dialog with OK as well.
constexpr int kEndOk = 1;
constexpr int kEndCancel = 2;
}  // namespace device_check

struct DeviceCheckContent {
    WString text;            // the device's error text
    std::string linkText;    // empty: no link
    std::string linkTarget;  // the download page
};

// What the dialog shows for a render device result code.
DeviceCheckContent DescribeDeviceCheck(int code);

// Shows the dialog and returns its end code. Headless the text and the link go to stderr as the
// lines "Error - Marvenlot: <text>" and "<link text> <target>", answered with OK.
int SystemCheckDialog(int code);
