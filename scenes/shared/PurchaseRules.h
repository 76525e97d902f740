#pragma once
// What the shop and the game room share about buying an item: the club discount, the items priced
// apart, and the application message of a confirmed purchase.

#include <cstdint>

namespace scenes {

namespace purchase_item {
constexpr std::uint32_t kPracticeTime = 4111;  // counted in minutes, shown in hours
constexpr std::uint32_t kFirstCustomCue = 3100;
constexpr std::uint32_t kLastCustomCue = 3110;
}  // namespace purchase_item

namespace purchase_message {
constexpr std::uint32_t kOpenPurchase = 1098;  // a = 1 purchase, 2 gift, 3 clan gift
constexpr std::uint32_t kPurchaseConfirmed = 1103;
}  // namespace purchase_message

// The price after the club membership discount of a purchase for oneself. Cash products and plus
// members get 20 %, standard members on gold products 10 %, none and basic members nothing. The
// factor is the single-precision value (0.9f lies slightly below 0.9) applied in double precision
// and rounded half up, so 1,005 at 10 % gives 904.
std::int64_t DiscountedPrice(std::int64_t price, std::uint8_t membershipLevel, bool cashProduct);
// The percentage DiscountedPrice takes off (0, 10 or 20).
int DiscountPercent(std::uint8_t membershipLevel, bool cashProduct);

}  // namespace scenes
