#pragma once
// The accelerator table of the main window: keys that become commands before any scene sees them.

#include <cstdint>

#include "platform/window/Window.h"

// True when the message is an accelerator key; `command` receives its command id.
bool TranslateAccelerator(const platform::Message& message, std::uint32_t& command);
