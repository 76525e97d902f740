#pragma once
// Free functions shared across the client: hex text of the shot record, number formatting, the
// mouse-to-table-plane projection, a tokenizer, a clamped step and a greatest common divisor.

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/core/Text.h"

// Each character is lower-cased; '0'..'9' and 'a'..'f' are digits, anything else counts as 0.
std::uint8_t HexPairToByte(char high, char low);
// Bytes in memory order (least significant first), two upper-case characters each.
std::string U32ToHex(std::uint32_t value);
std::string U16ToHex(std::uint16_t value);
std::string U8ToHex(std::uint8_t value);

// Thousands separators with "," (1234567 -> "1,234,567").
WString FormatGameNumber(std::int64_t value);

// The point on the horizontal plane z = planeHeight under the mouse. `inverseViewProjection` is the
// inverse of the view-projection matrix, row-vector convention, element [r][c] at r * 4 + c.
// Returns false (outputs untouched) when the plane is parallel to the view ray or the viewport empty.
bool ScreenToTablePlane(const float inverseViewProjection[16], float& outX, float& outY, float planeHeight,
                        float viewportWidth, float viewportHeight, float mouseX, float mouseY);

// Copies from `cursor` up to the delimiter (matched as written or lower-cased) and advances the cursor
// past it. Text without the delimiter yields the rest and leaves the cursor at the end.
std::string NextToken(std::string_view& cursor, std::string_view delimiter);

// current + step, but never past target.
float StepTowards(float current, float step, float target);

// Greatest common divisor of two display sizes; 0 when either is negative or both are 0.
std::int32_t Gcd(std::int32_t a, std::int32_t b);
