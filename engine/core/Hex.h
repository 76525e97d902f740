#pragma once
// Hex text of binary records: two characters per byte, bytes in memory order (least significant
// first), upper-case when written; the reader is case-blind and reads a non-digit as 0.

#include <cstdint>
#include <string>

// '0'..'9', 'a'..'f' and 'A'..'F' are digits; anything else counts as 0.
std::uint8_t HexDigitValue(char c);
std::uint8_t HexPairToByte(char high, char low);
std::string U32ToHex(std::uint32_t value);
std::string U16ToHex(std::uint16_t value);
std::string U8ToHex(std::uint8_t value);
