#include "engine/core/Hex.h"

std::uint8_t HexDigitValue(char c) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c >= '0' && c <= '9') return static_cast<std::uint8_t>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<std::uint8_t>(c - 'a' + 10);
    return 0;
}

std::uint8_t HexPairToByte(char high, char low) {
    return static_cast<std::uint8_t>(HexDigitValue(high) * 16 + HexDigitValue(low));
}

std::string U8ToHex(std::uint8_t value) {
    static const char kDigits[] = "0123456789ABCDEF";
    return {kDigits[value >> 4], kDigits[value & 15]};
}

std::string U16ToHex(std::uint16_t value) {
    return U8ToHex(static_cast<std::uint8_t>(value)) + U8ToHex(static_cast<std::uint8_t>(value >> 8));
}

std::string U32ToHex(std::uint32_t value) {
    return U16ToHex(static_cast<std::uint16_t>(value)) + U16ToHex(static_cast<std::uint16_t>(value >> 16));
}
