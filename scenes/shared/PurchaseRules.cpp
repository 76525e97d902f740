#include "scenes/shared/PurchaseRules.h"

namespace scenes {

int DiscountPercent(std::uint8_t membershipLevel, bool cashProduct) {
    if (membershipLevel < 2 || membershipLevel > 3) return 0;
    return cashProduct || membershipLevel == 3 ? 20 : 10;
}

std::int64_t DiscountedPrice(std::int64_t price, std::uint8_t membershipLevel, bool cashProduct) {
    const int percent = DiscountPercent(membershipLevel, cashProduct);
    if (percent == 0) return price;
    const float factor = percent == 20 ? 0.8f : 0.9f;
    const double discounted =
        static_cast<double>(static_cast<float>(price)) * static_cast<double>(factor) + 0.5;
    return static_cast<std::int64_t>(discounted);
}

}  // namespace scenes
