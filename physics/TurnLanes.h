#pragma once
// The increments of four turns of different balls at once, one ball per SSE lane. For each ball
// the increment is what the scalar turn computes before its product with the orientation:
//   axis = spin; axis.Normalize(&len); q.FromAxisAngle(St(len * h), axis)
// Every lane performs the scalar operations themselves: an f32 lane of a packed operation rounds
// as the scalar SSE store of that operation in the physics mode, double work runs in two packed
// halves with the same values, magnitudes and margins, and the chop tests are the scalar ones.
// A lane is reported certain only where the scalar turn would take the same fast path and so
// reach the same bits; any other ball (an uncertain square, a length below FLT_EPSILON, an angle
// outside the short polynomial's range, a sine or cosine too close to an f32, non-finite values)
// is left to the scalar turn, which computes it from the same inputs.
//
// This header (with Numeric.h) names float and double.

#include <emmintrin.h>

#include "physics/MathTypes.h"

namespace physics {
namespace lanes {

// Four doubles as two packed halves: lanes 0, 1 and lanes 2, 3.
struct Double4 {
    __m128d lo, hi;
};

[[gnu::always_inline]] inline Double4 Widen(__m128 v) {
    return {_mm_cvtps_pd(v), _mm_cvtps_pd(_mm_movehl_ps(v, v))};
}
[[gnu::always_inline]] inline Double4 Mul(Double4 a, Double4 b) {
    return {_mm_mul_pd(a.lo, b.lo), _mm_mul_pd(a.hi, b.hi)};
}
[[gnu::always_inline]] inline Double4 Add(Double4 a, Double4 b) {
    return {_mm_add_pd(a.lo, b.lo), _mm_add_pd(a.hi, b.hi)};
}
[[gnu::always_inline]] inline Double4 Add(Double4 a, double b) {
    const __m128d c = _mm_set1_pd(b);
    return {_mm_add_pd(a.lo, c), _mm_add_pd(a.hi, c)};
}
[[gnu::always_inline]] inline Double4 Mul(Double4 a, double b) {
    const __m128d c = _mm_set1_pd(b);
    return {_mm_mul_pd(a.lo, c), _mm_mul_pd(a.hi, c)};
}
[[gnu::always_inline]] inline Double4 Sub(Double4 a, Double4 b) {
    return {_mm_sub_pd(a.lo, b.lo), _mm_sub_pd(a.hi, b.hi)};
}
// Each lane chopped to f32 (the physics mode rounds toward zero).
[[gnu::always_inline]] inline __m128 Narrow(Double4 v) {
    return _mm_movelh_ps(_mm_cvtpd_ps(v.lo), _mm_cvtpd_ps(v.hi));
}
// The low 32 bits of each lane's double.
[[gnu::always_inline]] inline __m128i LowWords(Double4 v) {
    return _mm_castps_si128(
        _mm_shuffle_ps(_mm_castpd_ps(v.lo), _mm_castpd_ps(v.hi), _MM_SHUFFLE(2, 0, 2, 0)));
}

// Vector3::Normalize of four vectors whose stored square St((x x + y y) + z z) is certain: the
// chain's double value and magnitude (the same for a sum of squares) and its 2^-46 margin, as
// St(Chain) computes them. A square with two of its three terms zero is exact in double, and
// then equally on the x87 fallback, so its chop is certain as well (a spin about one axis, whose
// unit axis has a square of exactly 1, would otherwise always leave the lanes). `certain` loses
// the lanes whose square's chop is uncertain, whose square is not finite, or whose root is below
// FLT_EPSILON (the scalar code zeroes those). The root and St(1 / root) are computed, which is
// what NearUnitRoot's table holds near 1.
[[gnu::always_inline]] inline void NormalizeFour(__m128& x, __m128& y, __m128& z, __m128& len,
                                                 __m128& certain) {
    const Double4 dx = Widen(x), dy = Widen(y), dz = Widen(z);
    const Double4 sum = Add(Add(Mul(dx, dx), Mul(dy, dy)), Mul(dz, dz));
    const Double4 margin = Mul(sum, 0x1p-46);
    const __m128 lo = Narrow(Sub(sum, margin));
    const __m128 hi = Narrow(Add(sum, margin));
    // Within the margin the chop is monotonic, so where lo and hi agree this is their value.
    const __m128 square = Narrow(sum);
    const __m128 same = _mm_castsi128_ps(_mm_cmpeq_epi32(_mm_castps_si128(lo), _mm_castps_si128(hi)));
    const __m128 zeroX = _mm_cmpeq_ps(x, _mm_setzero_ps()), zeroY = _mm_cmpeq_ps(y, _mm_setzero_ps()),
                 zeroZ = _mm_cmpeq_ps(z, _mm_setzero_ps());
    const __m128 exact = _mm_or_ps(_mm_and_ps(zeroX, _mm_or_ps(zeroY, zeroZ)), _mm_and_ps(zeroY, zeroZ));
    const __m128 finite = _mm_cmplt_ps(square, _mm_set1_ps(__builtin_inff()));
    len = _mm_sqrt_ps(square);
    const __m128 large = _mm_cmpge_ps(len, _mm_set1_ps(kFltEpsilon.v));
    certain = _mm_and_ps(certain, _mm_and_ps(_mm_and_ps(_mm_or_ps(same, exact), finite), large));
    const __m128 inv = _mm_div_ps(_mm_set1_ps(1.0f), len);
    x = _mm_mul_ps(inv, x);
    y = _mm_mul_ps(inv, y);
    z = _mm_mul_ps(inv, z);
}

// The chop of each lane's polynomial is certain (detail::ChopIfClear's test): the double lies
// at least kTrigMargin units of its last place from every f32.
[[gnu::always_inline]] inline __m128 ChopIsClear(Double4 v) {
    constexpr auto kCell = static_cast<int>(std::uint32_t{1} << 29);
    constexpr auto kMargin = static_cast<int>(detail::kTrigMargin);
    const __m128i low = _mm_and_si128(LowWords(v), _mm_set1_epi32(kCell - 1));
    const __m128i clear = _mm_and_si128(_mm_cmpgt_epi32(low, _mm_set1_epi32(kMargin - 1)),
                                        _mm_cmplt_epi32(low, _mm_set1_epi32(kCell - kMargin)));
    return _mm_castsi128_ps(clear);
}

}  // namespace lanes

// The four increments of the turns by spins s[0..3] over h into out[0..3]; returns the mask of
// lanes (bit k for ball k) whose increment is certain to equal the scalar one. The other
// entries of `out` hold no meaningful value.
[[gnu::always_inline]] inline unsigned TurnIncrementsInLanes(const Vector3* const s[4], F32 h,
                                                             Quaternion* out) {
    if constexpr (!kFastPaths) return 0;
    using namespace lanes;
    __m128 x = _mm_setr_ps(s[0]->x.v, s[1]->x.v, s[2]->x.v, s[3]->x.v);
    __m128 y = _mm_setr_ps(s[0]->y.v, s[1]->y.v, s[2]->y.v, s[3]->y.v);
    __m128 z = _mm_setr_ps(s[0]->z.v, s[1]->z.v, s[2]->z.v, s[3]->z.v);
    __m128 certain = _mm_castsi128_ps(_mm_set1_epi32(-1));
    __m128 len;
    NormalizeFour(x, y, z, len, certain);

    // FromAxisAngle: the half angle, its sine and cosine (SinF, CosF on the short polynomial).
    const __m128 half = _mm_mul_ps(_mm_mul_ps(len, _mm_set1_ps(h.v)), _mm_set1_ps(0.5f));
    const __m128i magnitude = _mm_and_si128(_mm_castps_si128(half), _mm_set1_epi32(0x7FFFFFFF));
    const __m128 zero = _mm_castsi128_ps(_mm_cmpeq_epi32(magnitude, _mm_setzero_si128()));
    const __m128 inRange = _mm_castsi128_ps(
        _mm_and_si128(_mm_cmpgt_epi32(magnitude, _mm_set1_epi32(static_cast<int>(detail::kTrigLowest) - 1)),
                      _mm_cmplt_epi32(magnitude, _mm_set1_epi32(static_cast<int>(detail::kTrigShortLimit)))));
    const Double4 v = Widen(half);
    const Double4 u = Mul(v, v);
    const auto horner = [&u](double t0, double t1, double t2) {
        return Add(Mul(Add(Mul(u, t2), t1), u), t0);
    };
    const Double4 sinD =
        Add(v, Mul(Mul(u, v), horner(detail::kSinTerms[0], detail::kSinTerms[1], detail::kSinTerms[2])));
    const Double4 cosD =
        Add(Mul(u, horner(detail::kCosTerms[0], detail::kCosTerms[1], detail::kCosTerms[2])), 1.0);
    const __m128 polynomial = _mm_and_ps(inRange, _mm_and_ps(ChopIsClear(sinD), ChopIsClear(cosD)));
    certain = _mm_and_ps(certain, _mm_or_ps(zero, polynomial));
    // sin(±0) is ±0 and cos(±0) is 1; otherwise the conversion, which chops in the physics mode,
    // gives what ChopIfClear reads off the bits (the values lie in f32's normal range).
    const __m128 sine = _mm_or_ps(_mm_and_ps(zero, half), _mm_andnot_ps(zero, Narrow(sinD)));
    const __m128 cosine = _mm_or_ps(_mm_and_ps(zero, _mm_set1_ps(1.0f)), _mm_andnot_ps(zero, Narrow(cosD)));

    // The axis normalised again, then the increment's vector part.
    __m128 len2;
    NormalizeFour(x, y, z, len2, certain);
    __m128 qx = _mm_mul_ps(sine, x), qy = _mm_mul_ps(sine, y), qz = _mm_mul_ps(sine, z), qw = cosine;
    _MM_TRANSPOSE4_PS(qx, qy, qz, qw);
    // As Stored(): the chopped values are what the caller sees.
    __asm__("" : "+x"(qx), "+x"(qy), "+x"(qz), "+x"(qw));
    static_assert(sizeof(Quaternion) == 4 * sizeof(F32));
    _mm_storeu_ps(&out[0].x.v, qx);
    _mm_storeu_ps(&out[1].x.v, qy);
    _mm_storeu_ps(&out[2].x.v, qz);
    _mm_storeu_ps(&out[3].x.v, qw);
    return static_cast<unsigned>(_mm_movemask_ps(certain));
}

}  // namespace physics
