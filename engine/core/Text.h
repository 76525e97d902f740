#pragma once
// System texts are UTF-16 throughout; conversions happen only at the edges.

#include <cstddef>
#include <string>
#include <string_view>

using WString = std::u16string;
using WStringView = std::u16string_view;

// UTF-8 <-> UTF-16. Invalid input (bad or overlong sequences, lone surrogates) becomes U+FFFD.
std::string ToUtf8(WStringView text);
WString FromUtf8(std::string_view text);

// The "ANSI" code page of the system is CP949; these convert through iconv.
// Characters that cannot be converted become '?'.
std::string WideToMulti(WStringView text);
WString MultiToWide(std::string_view text);

// Fixed-size field forms: zero-fill the buffer (its size counts the terminator) and convert as
// much of the text as fits, never splitting a character; return the bytes or UTF-16 units written
// before the terminator. A text too long for its field is cut, never written past the buffer.
std::size_t WideToMulti(WStringView text, char* out, std::size_t outBytes);
std::size_t MultiToWide(std::string_view text, char16_t* out, std::size_t outUnits);

// The default text of a name that is not set.
inline constexpr WStringView kUndefinedText = u"Undefined";

// Copies from `cursor` up to the delimiter (matched as written or lower-cased) and advances the cursor
// past it. Text without the delimiter yields the rest and leaves the cursor at the end.
std::string NextToken(std::string_view& cursor, std::string_view delimiter);
