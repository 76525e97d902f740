#pragma once
// UTF-8 <-> UTF-16 at the platform's edges (window titles, typed text, scripts). Broken sequences
// become U+FFFD; nothing is ever dropped silently.

#include <string>
#include <string_view>

namespace platform {

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);
// True when every byte belongs to a well-formed UTF-8 sequence (no overlongs, no surrogates).
bool IsValidUtf8(std::string_view text);

}  // namespace platform
