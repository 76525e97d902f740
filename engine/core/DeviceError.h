#pragma once
// Result codes of the render device start-up and their texts for the player.

#include <cstdint>

#include "engine/core/Text.h"

enum class DeviceResult : int {
    Ok = 0,
    NoDirect3D = 1,              // the graphics interface is missing
    InvalidDirectXVersion = 2,   // the graphics runtime is too old
    CapsUnavailable = 3,         // the device capabilities cannot be read
    NoHardwareDevice = 4,        // no hardware-accelerated device
    NoDisplayMode = 5,           // no usable display mode
    DisplayModeUnsupported = 6,  // the chosen display mode is not offered
    MissingCapability = 7,       // a required capability flag is missing
    CreateDeviceFailed = 8,
    ResetDeviceFailed = 9,
    OutOfVideoMemory = 10,
    CreateBufferFailed = 11,
    CreateTextureFailed = 12,
    DeviceLost = 13,
};

constexpr int kDeviceResultCount = 14;

enum class TextLanguage : int { English = 0, Korean = 1 };

// The text of a result code 0..13 in language 0 (English) or 1 (Korean); any other code gives
// "Undefined error." and any other language English.
WStringView GetDeviceErrorMessage(int code, int language = 0);
