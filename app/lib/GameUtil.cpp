#include "app/lib/GameUtil.h"

#include <cstdio>

#include "engine/core/Format.h"

namespace {
std::uint8_t HexValue(char c) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c >= '0' && c <= '9') return static_cast<std::uint8_t>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<std::uint8_t>(c - 'a' + 10);
    return 0;
}
}  // namespace

std::uint8_t HexPairToByte(char high, char low) {
    return static_cast<std::uint8_t>(HexValue(high) * 16 + HexValue(low));
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

WString FormatGameNumber(std::int64_t value) { return FormatNumber(value); }

bool ScreenToTablePlane(const float m[16], float& outX, float& outY, float h, float w, float v, float mouseX,
                        float mouseY) {
    if (!(w > 0.0f) || !(v > 0.0f)) return false;
    auto at = [m](int r, int c) { return m[r * 4 + c]; };
    const float nx = (mouseX - w / 2) / (w / 2);
    const float ny = -(mouseY - v / 2) / (v / 2);
    const float p = nx * at(0, 2) + ny * at(1, 2) + at(3, 2);
    const float q = nx * at(0, 3) + ny * at(1, 3) + at(3, 3);
    const float denominator = p * at(2, 3) - q * at(2, 2);
    // A ray parallel to the plane, or a projection without a perspective row, has no crossing.
    if (denominator == 0.0f || at(2, 3) == 0.0f) return false;
    const float t = (h * at(2, 3) - at(2, 2)) / denominator;
    const float a = t * nx;
    const float b = t * ny;
    const float c = (1 - a * at(0, 3) - b * at(1, 3) - t * at(3, 3)) / at(2, 3);
    outX = a * at(0, 0) + b * at(1, 0) + c * at(2, 0) + t * at(3, 0);
    outY = a * at(0, 1) + b * at(1, 1) + c * at(2, 1) + t * at(3, 1);
    return true;
}

std::string NextToken(std::string_view& cursor, std::string_view delimiter) {
    std::string lower(delimiter);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    const size_t n = delimiter.size();
    size_t i = 0;
    // Bounded by the text's end: a text without the delimiter ends the token there.
    while (i < cursor.size()) {
        const std::string_view rest = cursor.substr(i);
        if (n > 0 && (rest.substr(0, n) == delimiter || rest.substr(0, n) == lower)) break;
        ++i;
    }
    std::string token(cursor.substr(0, i));
    cursor.remove_prefix(i + n <= cursor.size() ? i + n : cursor.size());
    return token;
}

float StepTowards(float current, float step, float target) {
    const float s = current + step;
    const bool stepPositive = step >= 0.0f;
    const bool pastPositive = (s - target) >= 0.0f;
    return stepPositive == pastPositive ? target : s;
}

std::int32_t Gcd(std::int32_t a, std::int32_t b) {
    if (a < 0 || b < 0) return 0;
    if (a == 0) return b;
    if (b == 0) return a;
    // Euclid's remainder form gives the repeated subtraction's result in a bounded number of steps.
    while (b != 0) {
        const std::int32_t r = a % b;
        a = b;
        b = r;
    }
    return a;
}
