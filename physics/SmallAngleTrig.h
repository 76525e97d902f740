#pragma once
// Included by Numeric.h: the sine and cosine of angles below 1 in magnitude by polynomial, where
// the chop of the result is certain to equal that of the library's value. Include Numeric.h, not
// this header.

#include <cstdint>
#include <cstring>

namespace physics {
namespace detail {

// Angles from 2^-24 up to (not including) 1 in magnitude take the polynomial path; zero is exact.
inline constexpr std::uint32_t kTrigLowest = 0x33800000u;  // 2^-24
inline constexpr std::uint32_t kTrigLimit = 0x3F800000u;   // 1
// Distance, in units of the last place of the double, that a polynomial value must keep from
// every f32 for its chop to be certain. Below 1 the polynomial (rounding and truncation) and a
// library within 1 unit of the true value stay within 6 units of each other; 32 leaves a wide
// safety factor and refuses only about one value in 2^23, besides the angles too small for
// their sine to be told apart from the angle or their cosine from 1.
inline constexpr std::uint64_t kTrigMargin = 32;

// Taylor coefficients 1/n! with alternating signs, correctly rounded. Below 1 in magnitude the
// first omitted term is under 2^-56 of the value; below 2^-5, where the half angles of a sub-step
// usually lie, three terms of each suffice (the next is under 2^-55 of the value) and the
// polynomial's latency is what a sub-step waits for.
inline constexpr std::uint32_t kTrigShortLimit = 0x3D000000u;  // 2^-5
// clang-format off
inline constexpr double kSinTerms[8] = {-0x1.5555555555555p-3,  0x1.1111111111111p-7,  -0x1.a01a01a01a01ap-13,
                                        0x1.71de3a556c734p-19,  -0x1.ae64567f544e4p-26, 0x1.6124613a86d09p-33,
                                        -0x1.ae7f3e733b81fp-41, 0x1.952c77030ad4ap-49};
inline constexpr double kCosTerms[9] = {-0x1.0000000000000p-1,  0x1.5555555555555p-5,  -0x1.6c16c16c16c17p-10,
                                        0x1.a01a01a01a01ap-16,  -0x1.27e4fb7789f5cp-22, 0x1.1eed8eff8d898p-29,
                                        -0x1.93974a8c07c9dp-37, 0x1.ae7f3e733b81fp-45,  -0x1.6827863b97d97p-53};
// clang-format on

// The first N terms by Horner's rule.
template <int N, int M>
[[gnu::always_inline]] inline double Horner(const double (&terms)[M], double u) {
    static_assert(N <= M);
    double p = terms[N - 1];
#pragma GCC unroll 16
    for (int i = N - 2; i >= 0; --i) p = p * u + terms[i];
    return p;
}

// Sine and cosine of an angle below 1 in magnitude, in double. The square of an f32 is exact
// (48 bits); the polynomials run in whatever SSE rounding mode is set: their error bound holds
// for any of them, and no operand is subnormal above 2^-24.
[[gnu::always_inline]] inline double SinPolynomial(F32 x) {
    const double v = x.v;
    const double u = v * v;
    if ((x.Bits() & 0x7FFFFFFFu) < kTrigShortLimit) return v + (u * v) * Horner<3>(kSinTerms, u);
    return v + (u * v) * Horner<8>(kSinTerms, u);
}
[[gnu::always_inline]] inline double CosPolynomial(F32 x) {
    const double u = static_cast<double>(x.v) * static_cast<double>(x.v);
    if ((x.Bits() & 0x7FFFFFFFu) < kTrigShortLimit) return 1.0 + u * Horner<3>(kCosTerms, u);
    return 1.0 + u * Horner<9>(kCosTerms, u);
}

// The chop toward zero of a double whose magnitude lies in f32's normal range, done on the bits
// so that no rounding mode enters; false when it lies within kTrigMargin units of an f32 (a
// value whose chop the library's own error could change).
[[gnu::always_inline]] inline bool ChopIfClear(double value, F32& out) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    constexpr std::uint64_t kCell = std::uint64_t{1} << 29;  // doubles per f32 step
    if (((bits & (kCell - 1)) - kTrigMargin) >= kCell - 2 * kTrigMargin) return false;
    const std::uint64_t magnitude = bits & ~(std::uint64_t{1} << 63);
    const auto f32Bits = static_cast<std::uint32_t>((magnitude >> 29) - (std::uint64_t{1023 - 127} << 23));
    out = F32::FromBits(f32Bits | static_cast<std::uint32_t>(bits >> 63) << 31);
    return true;
}

// LibrarySinF(x) without the library where that is certain: true with the result in `out`, or
// false when the caller must ask the library.
[[gnu::always_inline]] inline bool SmallAngleSin(F32 x, F32& out) {
    const std::uint32_t magnitude = x.Bits() & 0x7FFFFFFFu;
    if (magnitude == 0) {
        out = x;  // sin(-0) is -0
        return true;
    }
    if (magnitude - kTrigLowest >= kTrigLimit - kTrigLowest) return false;
    return ChopIfClear(SinPolynomial(x), out);
}

// LibraryCosF(x) without the library where that is certain (see SmallAngleSin). Below 1 the
// cosine lies in [0.54, 1), one binade, so the margin is a fixed distance; a value that comes out
// as 1 itself is refused there too.
[[gnu::always_inline]] inline bool SmallAngleCos(F32 x, F32& out) {
    const std::uint32_t magnitude = x.Bits() & 0x7FFFFFFFu;
    if (magnitude == 0) {
        out = F32(1.0f);
        return true;
    }
    if (magnitude - kTrigLowest >= kTrigLimit - kTrigLowest) return false;
    return ChopIfClear(CosPolynomial(x), out);
}

}  // namespace detail
}  // namespace physics
