#pragma once
// System texts are UTF-16 throughout; conversions happen only at the edges.

#include <string>
#include <string_view>

using WString = std::u16string;
using WStringView = std::u16string_view;

// UTF-8 <-> UTF-16. Invalid input becomes U+FFFD (decoding) or is skipped (lone surrogates).
std::string ToUtf8(WStringView text);
WString FromUtf8(std::string_view text);

// The "ANSI" code page of the system is CP949; these convert through iconv.
// Characters that cannot be converted become '?'.
std::string WideToMulti(WStringView text);
WString MultiToWide(std::string_view text);
