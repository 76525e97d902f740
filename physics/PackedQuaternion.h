#pragma once
// The fast paths of unit vectors and quaternions (MathTypes): the table of roots near 1, the
// packed quaternion product, and four stores or quotients at once. Each gives the bits of the
// scalar steps it stands in for.
//
// This header (with Numeric.h) names float and double.

#include <emmintrin.h>

#include "physics/Numeric.h"

namespace physics {

// The root and its reciprocal St(1 / root) of a stored square within 16 units of 1, where unit
// vectors and quaternions land: read from a table instead of computed (the same bits, which a
// test checks). False for any other square.
[[gnu::always_inline]] inline bool NearUnitRoot(F32 square, F32& root, F32& inverse) {
    struct RootBits {
        std::uint32_t root, inverse;
    };
    static constexpr std::uint32_t kFirst = 0x3F7FFFF0u;  // 1 - 16 units below 1
    // clang-format off
    static constexpr RootBits kRoots[33] = {
        {0x3F7FFFF7, 0x3F800004}, {0x3F7FFFF8, 0x3F800004}, {0x3F7FFFF8, 0x3F800004},
        {0x3F7FFFF9, 0x3F800003}, {0x3F7FFFF9, 0x3F800003}, {0x3F7FFFFA, 0x3F800003},
        {0x3F7FFFFA, 0x3F800003}, {0x3F7FFFFB, 0x3F800002}, {0x3F7FFFFB, 0x3F800002},
        {0x3F7FFFFC, 0x3F800002}, {0x3F7FFFFC, 0x3F800002}, {0x3F7FFFFD, 0x3F800001},
        {0x3F7FFFFD, 0x3F800001}, {0x3F7FFFFE, 0x3F800001}, {0x3F7FFFFE, 0x3F800001},
        {0x3F7FFFFF, 0x3F800000}, {0x3F800000, 0x3F800000}, {0x3F800000, 0x3F800000},
        {0x3F800000, 0x3F800000}, {0x3F800001, 0x3F7FFFFE}, {0x3F800001, 0x3F7FFFFE},
        {0x3F800002, 0x3F7FFFFC}, {0x3F800002, 0x3F7FFFFC}, {0x3F800003, 0x3F7FFFFA},
        {0x3F800003, 0x3F7FFFFA}, {0x3F800004, 0x3F7FFFF8}, {0x3F800004, 0x3F7FFFF8},
        {0x3F800005, 0x3F7FFFF6}, {0x3F800005, 0x3F7FFFF6}, {0x3F800006, 0x3F7FFFF4},
        {0x3F800006, 0x3F7FFFF4}, {0x3F800007, 0x3F7FFFF2}, {0x3F800007, 0x3F7FFFF2},
    };
    // clang-format on
    const std::uint32_t index = square.Bits() - kFirst;
    if (!kFastPaths || index >= 33u) return false;
    root = F32::FromBits(kRoots[index].root);
    inverse = F32::FromBits(kRoots[index].inverse);
    return true;
}
// The stored Hamilton product r = a x b of two quaternions (x, y, z, w), each component
// written as four products summed left to right:
//   x = ((a.y b.z + b.w a.x) - a.z b.y) + a.w b.x     y = ((b.y a.w + b.w a.y) - a.x b.z) + a.z b.x
//   z = ((b.y a.x - a.y b.x) + a.w b.z) + b.w a.z     w = b.w a.w - ((a.z b.z + b.x a.x) + b.y a.y)
// Each is the chain St() evaluates in double with its magnitude and margin; here the four run
// as two pairs of packed lanes. A packed lane rounds as the scalar operation does (same MXCSR),
// p - q is p + (-q) exactly, and sums and products commute exactly, so each lane computes the
// scalar chain's value, magnitude and chop. False when any component's chop is not certain or
// any is NaN (the caller then stores the chains one by one, with their x87 fallback).
// `a`, `b` and `r` each point to the four F32 components in that order; `r` may be `a` or `b`.
[[gnu::always_inline]] inline bool QuaternionProductOnSse(const F32* a, const F32* b, F32* r) {
    static_assert(sizeof(F32) == sizeof(float));
    if constexpr (!kFastPaths) return false;
    const __m128 af = _mm_loadu_ps(&a->v);
    const __m128 bf = _mm_loadu_ps(&b->v);
    const __m128d axy = _mm_cvtps_pd(af), azw = _mm_cvtps_pd(_mm_movehl_ps(af, af));
    const __m128d bxy = _mm_cvtps_pd(bf), bzw = _mm_cvtps_pd(_mm_movehl_ps(bf, bf));
    const __m128d bxx = _mm_unpacklo_pd(bxy, bxy), bww = _mm_unpackhi_pd(bzw, bzw);
    const __m128d bzby = _mm_shuffle_pd(bzw, bxy, 0b10), bybz = _mm_shuffle_pd(bxy, bzw, 0b01);
    const __m128d negLow = _mm_set_pd(0.0, -0.0), negBoth = _mm_set1_pd(-0.0);
    // Lanes (x, y) and (z, w); the four products of each component in the order summed, the
    // subtracted ones negated; the w chain's first product comes last (r4).
    const __m128d r1xy = _mm_mul_pd(_mm_unpackhi_pd(axy, azw), bzby);  // ay bz, aw by
    const __m128d r1zw = _mm_mul_pd(_mm_unpacklo_pd(axy, azw), bybz);  // ax by, az bz
    const __m128d r2xy = _mm_mul_pd(axy, bww);                         // ax bw, ay bw
    const __m128d r2zw =
        _mm_xor_pd(_mm_mul_pd(_mm_shuffle_pd(axy, axy, 0b01), bxx), negLow);  // -ay bx, ax bx
    const __m128d r3xy =
        _mm_xor_pd(_mm_mul_pd(_mm_shuffle_pd(azw, axy, 0b00), bybz), negBoth);  // -az by, -ax bz
    const __m128d r3zw = _mm_mul_pd(_mm_shuffle_pd(azw, axy, 0b11), bzby);      // aw bz, ay by
    const __m128d r4xy = _mm_mul_pd(_mm_shuffle_pd(azw, azw, 0b01), bxx);       // aw bx, az bx
    const __m128d r4zw = _mm_mul_pd(azw, bww);                                  // az bw, aw bw
    const __m128d absMask = _mm_castsi128_pd(_mm_set1_epi64x(0x7FFFFFFFFFFFFFFF));
    const auto abs = [&](__m128d v) { return _mm_and_pd(v, absMask); };
    __m128d sxy = _mm_add_pd(_mm_add_pd(r1xy, r2xy), r3xy);
    __m128d szw = _mm_add_pd(_mm_add_pd(r1zw, r2zw), r3zw);
    __m128d mxy = _mm_add_pd(_mm_add_pd(abs(r1xy), abs(r2xy)), abs(r3xy));
    __m128d mzw = _mm_add_pd(_mm_add_pd(abs(r1zw), abs(r2zw)), abs(r3zw));
    sxy = _mm_add_pd(sxy, r4xy);
    szw = _mm_move_sd(_mm_sub_pd(r4zw, szw), _mm_add_pd(szw, r4zw));  // z: s + r4, w: r4 - s
    mxy = _mm_add_pd(mxy, abs(r4xy));
    mzw = _mm_add_pd(mzw, abs(r4zw));
    const __m128d scale = _mm_set1_pd(0x1p-46);
    mxy = _mm_mul_pd(mxy, scale);
    mzw = _mm_mul_pd(mzw, scale);
    __m128 lo = _mm_movelh_ps(_mm_cvtpd_ps(_mm_sub_pd(sxy, mxy)), _mm_cvtpd_ps(_mm_sub_pd(szw, mzw)));
    const __m128 hi = _mm_movelh_ps(_mm_cvtpd_ps(_mm_add_pd(sxy, mxy)), _mm_cvtpd_ps(_mm_add_pd(szw, mzw)));
    const __m128i same = _mm_cmpeq_epi32(_mm_castps_si128(lo), _mm_castps_si128(hi));
    // A NaN leaves too: which operand's NaN an operation passes on depends on operand order
    // and sign flips, which the lanes do not keep.
    const int nan = _mm_movemask_pd(_mm_cmpunord_pd(sxy, szw));
    if ((_mm_movemask_ps(_mm_castsi128_ps(same)) ^ 0xF) | nan) [[unlikely]]
        return false;
    __asm__("" : "+x"(lo));  // as Stored(): the chopped values are what the caller sees
    _mm_storeu_ps(&r->v, lo);
    return true;
}

// Writes four stored values to v[0..3] with one store: a packed load right after it is forwarded
// from the store, while one that spans four narrow stores waits until they have retired.
[[gnu::always_inline]] inline void StoreFour(F32* v, F32 a, F32 b, F32 c, F32 d) {
    _mm_storeu_ps(&v->v, _mm_setr_ps(a.v, b.v, c.v, d.v));
}

// Four stored quotients v[i] / d at once: a packed lane divides and chops as DivF does.
[[gnu::always_inline]] inline void DivideFourOnSse(F32* v, F32 d) {
    if constexpr (!kFastPaths) {
        for (int i = 0; i < 4; ++i) v[i] = St(Ext(v[i]) / Ext(d));
        return;
    }
    __m128 q = _mm_div_ps(_mm_loadu_ps(&v->v), _mm_set1_ps(d.v));
    __asm__("" : "+x"(q));  // as Stored()
    _mm_storeu_ps(&v->v, q);
}

}  // namespace physics
