#include "table/ShotWords.h"

#include <algorithm>
#include <cmath>

#include "engine/core/Format.h"

namespace table {

bool ShotWords::IsFinite() const {
    const auto words = ToArray();
    return std::all_of(words.begin(), words.end(), [](float w) { return std::isfinite(w); });
}

const std::array<ShotWordLimit, 13>& ShotWordLimits() {
    static const std::array<ShotWordLimit, 13> kLimits = {{
        {&ShotWords::power, u"power", 0.0f, 1.0f},
        {&ShotWords::contactFactor, u"contactFactor", 0.0f, 1.0f},
        {&ShotWords::aimX, u"aimX", -kAimReach, kAimReach},
        {&ShotWords::aimY, u"aimY", -kAimReach, kAimReach},
        {&ShotWords::offsetLimitSide, u"offsetLimit side", -kMaxTipOffset, kMaxTipOffset},
        {&ShotWords::offsetLimitVertical, u"offsetLimit vertical", -kMaxTipOffset, kMaxTipOffset},
        {&ShotWords::tipOffsetSide, u"tipOffset side", -kMaxTipOffset, kMaxTipOffset},
        {&ShotWords::tipOffsetVertical, u"tipOffset vertical", -kMaxTipOffset, kMaxTipOffset},
        {&ShotWords::elevationDegrees, u"elevation", 0.0f, 90.0f},
        {&ShotWords::limitFactor, u"limitFactor", 0.0f, 2.0f},
        {&ShotWords::stiffnessFactor, u"stiffnessFactor", 0.0f, 1.0f},
        {&ShotWords::reductionA, u"offset reduction a", 0.0f, 4.0f},
        {&ShotWords::reductionB, u"offset reduction b", 0.0f, 4.0f},
    }};
    return kLimits;
}

namespace {

// The offset limit of each axis beside the tip offset it must equal.
struct OffsetPair {
    float ShotWords::*limit;
    float ShotWords::*tip;
    const char16_t* axis;
};
constexpr OffsetPair kOffsetPairs[] = {
    {&ShotWords::offsetLimitSide, &ShotWords::tipOffsetSide, u"side"},
    {&ShotWords::offsetLimitVertical, &ShotWords::tipOffsetVertical, u"vertical"},
};

}  // namespace

const ShotWordLimit* FirstWordOutOfLimit(const ShotWords& words) {
    for (const ShotWordLimit& limit : ShotWordLimits()) {
        const float w = words.*limit.word;
        if (!(w >= limit.lo && w <= limit.hi)) return &limit;
    }
    return nullptr;
}

int FitToLimits(ShotWords& words) {
    int changed = 0;
    // Maximum power, chalk and the aim point that are no finite number take their value in the
    // default shot (the aim point then lies at the table's centre).
    const ShotWords defaults;
    for (float ShotWords::*free :
         {&ShotWords::maxPower, &ShotWords::aimX, &ShotWords::aimY, &ShotWords::chalk}) {
        if (std::isfinite(words.*free)) continue;
        words.*free = defaults.*free;
        ++changed;
    }
    for (const ShotWordLimit& limit : ShotWordLimits()) {
        float& w = words.*limit.word;
        if (w >= limit.lo && w <= limit.hi) continue;
        // An infinity lies beyond the bound on its side; a word that is no number, whatever its bits,
        // takes the lower bound.
        w = std::isnan(w) || w < limit.lo ? limit.lo : limit.hi;
        ++changed;
    }
    for (const OffsetPair& pair : kOffsetPairs) {
        if (words.*pair.limit == words.*pair.tip) continue;
        words.*pair.limit = words.*pair.tip;
        ++changed;
    }
    return changed;
}

WString ShotWordsProblem(const ShotWords& words) {
    if (!words.IsFinite()) return u"a word that is no number";
    if (const ShotWordLimit* limit = FirstWordOutOfLimit(words))
        return Format(u"%s %g outside %g to %g", limit->name, words.*limit->word, limit->lo, limit->hi);
    for (const OffsetPair& pair : kOffsetPairs)
        if (words.*pair.limit != words.*pair.tip)
            return Format(u"offsetLimit %s %g differs from tipOffset %s %g", pair.axis, words.*pair.limit,
                          pair.axis, words.*pair.tip);
    return {};
}

}  // namespace table
