#pragma once
// Included by Numeric.h (after F32, Ext, St(Ext) and Stored): single operations and chains of
// operations over stored values, which St() computes on SSE where that provably gives the x87
// bits. Include Numeric.h, not this header.

#include <emmintrin.h>

#include <cstdint>
#include <cstring>

namespace physics {

// One operation on two stored values (or, for the wide kind, on two values held exactly in
// double), performed where it is used. Stored at once by St(), it runs on SSE, which the physics
// entry sets to round toward zero with gradual underflow: the exact result chopped once to f32
// equals the x87 result chopped to 64 bits and then stored, because chopping to a finer grid
// and then to a coarser one that it contains is the same as chopping to the coarser one. Used
// inside a wider expression it widens through the x87 exactly as the plain operators do, so
// every expression keeps its bits; only the single-operation stores become cheaper.
enum class OpKind { Add, Sub, Mul, Div };

template <OpKind K, class T>
[[gnu::always_inline]] inline T Apply(T a, T b) {
    if constexpr (K == OpKind::Add) return a + b;
    if constexpr (K == OpKind::Sub) return a - b;
    if constexpr (K == OpKind::Mul) return a * b;
    if constexpr (K == OpKind::Div) return a / b;
}

template <OpKind K>
struct Pending {
    float a, b;
    [[gnu::always_inline]] operator Ext() const {
        return Ext(Apply<K>(static_cast<long double>(a), static_cast<long double>(b)));
    }
    // The exact value of a product of two f32 (48 significant bits fit a double).
    [[gnu::always_inline]] double ExactProduct() const requires(K == OpKind::Mul) {
        return static_cast<double>(a) * static_cast<double>(b);
    }
};
using Product = Pending<OpKind::Mul>;

// One operation on two values that double holds exactly: a product of two f32 and an f32, or
// two such products. Only the last operation rounds, so the double result chopped to f32 is
// again the x87 result stored.
template <OpKind K>
struct PendingWide {
    double a, b;
    [[gnu::always_inline]] operator Ext() const {
        return Ext(Apply<K>(static_cast<long double>(a), static_cast<long double>(b)));
    }
};

#define PHYSICS_PENDING_OPERATORS(op, kind)                                                     \
    [[gnu::always_inline]] inline Pending<OpKind::kind> operator op(F32 a, F32 b) {             \
        return {a.v, b.v};                                                                      \
    }                                                                                           \
    [[gnu::always_inline]] inline PendingWide<OpKind::kind> operator op(Product a, F32 b) {     \
        return {a.ExactProduct(), static_cast<double>(b.v)};                                    \
    }                                                                                           \
    [[gnu::always_inline]] inline PendingWide<OpKind::kind> operator op(F32 a, Product b) {     \
        return {static_cast<double>(a.v), b.ExactProduct()};                                    \
    }                                                                                           \
    [[gnu::always_inline]] inline PendingWide<OpKind::kind> operator op(Product a, Product b) { \
        return {a.ExactProduct(), b.ExactProduct()};                                            \
    }
PHYSICS_PENDING_OPERATORS(+, Add)
PHYSICS_PENDING_OPERATORS(-, Sub)
PHYSICS_PENDING_OPERATORS(*, Mul)
PHYSICS_PENDING_OPERATORS(/, Div)
#undef PHYSICS_PENDING_OPERATORS

// Negation is exact and keeps the sign of a zero product or quotient.
[[gnu::always_inline]] inline F32 operator-(F32 a) {
    return F32(-a.v);
}
[[gnu::always_inline]] inline Product operator-(Product p) {
    return {-p.a, p.b};
}

template <OpKind K>
[[gnu::always_inline]] inline F32 St(Pending<K> p) {
    if constexpr (!kFastPaths) return St(Ext(p));
    return Stored(Apply<K>(p.a, p.b));
}
template <OpKind K>
[[gnu::always_inline]] inline F32 St(PendingWide<K> p) {
    if constexpr (!kFastPaths) return St(Ext(p));
    return Stored(static_cast<float>(Apply<K>(p.a, p.b)));
}

// An expression of several roundings over stored values, kept as its tree (a Chain). Stored at
// once, it is evaluated on SSE in double together with a magnitude M that bounds every partial
// result: each double operation rounds by less than 2^-52 M and each x87 one by less than
// 2^-63 M, so with at most 32 roundings the double and the x87 results differ by less than
// 2^-47 M. When every value within 2^-46 M of the double result chops to the same f32, that f32
// is the x87 result stored. Otherwise, and wherever the chain is used in a wider expression, it
// is evaluated on the x87 as written. Divisors must be exact (a stored value or a product of
// two), so that M / |divisor| bounds the quotient's partial results.
struct WideValue {
    double value, magnitude;
};

template <OpKind K, class L, class R>
struct Chain;

// kRoundings is the number of roundings of a term, -1 for a type that is not one.
template <class T>
struct WideTerm {
    static constexpr int kRoundings = -1;
};
template <>
struct WideTerm<F32> {
    static constexpr int kRoundings = 0;
    [[gnu::always_inline]] static WideValue Wide(F32 f) {
        const double v = static_cast<double>(f.v);
        return {v, __builtin_fabs(v)};
    }
};
template <OpKind K>
struct WideTerm<Pending<K>> {
    static constexpr int kRoundings = K == OpKind::Mul ? 0 : 1;
    [[gnu::always_inline]] static WideValue Wide(Pending<K> p) {
        const double a = static_cast<double>(p.a), b = static_cast<double>(p.b);
        const double v = Apply<K>(a, b);
        if constexpr (K == OpKind::Add || K == OpKind::Sub)
            return {v, __builtin_fabs(a) + __builtin_fabs(b)};
        else
            return {v, __builtin_fabs(v)};
    }
};
template <OpKind K>
struct WideTerm<PendingWide<K>> {
    static constexpr int kRoundings = 1;
    [[gnu::always_inline]] static WideValue Wide(PendingWide<K> p) {
        const double v = Apply<K>(p.a, p.b);
        if constexpr (K == OpKind::Add || K == OpKind::Sub)
            return {v, __builtin_fabs(p.a) + __builtin_fabs(p.b)};
        else
            return {v, __builtin_fabs(v)};
    }
};
template <OpKind K, class L, class R>
struct WideTerm<Chain<K, L, R>> {
    static constexpr int kRoundings = WideTerm<L>::kRoundings + WideTerm<R>::kRoundings + 1;
    [[gnu::always_inline]] static WideValue Wide(const Chain<K, L, R>& c) {
        const WideValue l = WideTerm<L>::Wide(c.l), r = WideTerm<R>::Wide(c.r);
        const double v = Apply<K>(l.value, r.value);
        if constexpr (K == OpKind::Add || K == OpKind::Sub)
            return {v, l.magnitude + r.magnitude};
        else
            return {v, Apply<K>(l.magnitude, r.magnitude)};
    }
};

template <class T>
concept ChainTerm = WideTerm<T>::kRoundings >= 0;
template <class T>
concept ExactTerm = WideTerm<T>::kRoundings == 0;
// Two exact terms make a Pending or PendingWide (one rounding); a chain starts where a term
// that already rounds meets another term.
template <class L, class R>
concept ChainOperands = ChainTerm<L> && ChainTerm<R> && !(ExactTerm<L> && ExactTerm<R>);

template <OpKind K, class L, class R>
struct Chain {
    static_assert(WideTerm<L>::kRoundings + WideTerm<R>::kRoundings < 32, "the margin covers 32 roundings");
    static_assert(K != OpKind::Div || ExactTerm<R>, "divisors must be exact");
    L l;
    R r;
    [[gnu::always_inline]] operator Ext() const { return Apply<K>(Ext(l), Ext(r)); }
};

template <class L, class R>
requires ChainOperands<L, R>
[[gnu::always_inline]] inline Chain<OpKind::Add, L, R> operator+(L l, R r) {
    return {l, r};
}
template <class L, class R>
requires ChainOperands<L, R>
[[gnu::always_inline]] inline Chain<OpKind::Sub, L, R> operator-(L l, R r) {
    return {l, r};
}
template <class L, class R>
requires ChainOperands<L, R>
[[gnu::always_inline]] inline Chain<OpKind::Mul, L, R> operator*(L l, R r) {
    return {l, r};
}
template <class L, class R>
requires ChainOperands<L, R> && ExactTerm<R>
[[gnu::always_inline]] inline Chain<OpKind::Div, L, R> operator/(L l, R r) {
    return {l, r};
}

// Comparisons of exact terms (stored values, products of two) are exact in double.
template <class T>
requires ExactTerm<T>
[[gnu::always_inline]] inline double ExactValue(T t) {
    return WideTerm<T>::Wide(t).value;
}
#define PHYSICS_EXACT_COMPARISON(op)                           \
    template <class L, class R>                                \
    requires ExactTerm<L> && ExactTerm<R>                      \
    [[gnu::always_inline]] inline bool operator op(L l, R r) { \
        if constexpr (!kFastPaths) return Ext(l) op Ext(r);    \
        return ExactValue(l) op ExactValue(r);                 \
    }
PHYSICS_EXACT_COMPARISON(<)
PHYSICS_EXACT_COMPARISON(<=)
PHYSICS_EXACT_COMPARISON(>)
PHYSICS_EXACT_COMPARISON(>=)
PHYSICS_EXACT_COMPARISON(==)
PHYSICS_EXACT_COMPARISON(!=)
#undef PHYSICS_EXACT_COMPARISON

// The margin of a whole chain, which a chain that can be exact narrows to zero: x +- a / b with
// a zero is exact (a signed-zero quotient added to x), and the magnitude cannot show that.
template <OpKind K, class L, class R>
[[gnu::always_inline]] inline double ChainMargin(const Chain<K, L, R>&, const WideValue& w) {
    return w.magnitude * 0x1p-46;
}
template <OpKind K>
requires(K == OpKind::Add || K == OpKind::Sub)
    [[gnu::always_inline]] inline double ChainMargin(const Chain<K, F32, Pending<OpKind::Div>>& c,
                                                     const WideValue& w) {
    const __m128 numerator = _mm_set_ss(c.r.a);
    const __m128d keep =
        _mm_castps_pd(_mm_cmpneq_ps(_mm_shuffle_ps(numerator, numerator, 0), _mm_setzero_ps()));
    return _mm_cvtsd_f64(_mm_and_pd(keep, _mm_set_sd(w.magnitude * 0x1p-46)));
}
template <OpKind K>
requires(K == OpKind::Add || K == OpKind::Sub)
    [[gnu::always_inline]] inline double ChainMargin(const Chain<K, Pending<OpKind::Div>, F32>& c,
                                                     const WideValue& w) {
    return ChainMargin(Chain<K, F32, Pending<OpKind::Div>>{c.r, c.l}, w);
}

// x +- (a +- b) with a +- b zero (a and b cancel exactly: double and x87 both give zero) is x.
template <OpKind K, OpKind J>
requires(K == OpKind::Add || K == OpKind::Sub) &&
    (J == OpKind::Add || J == OpKind::Sub)
        [[gnu::always_inline]] inline double ChainMargin(const Chain<K, Pending<J>, F32>& c,
                                                         const WideValue& w) {
    const __m128d inner = _mm_set_sd(Apply<J>(static_cast<double>(c.l.a), static_cast<double>(c.l.b)));
    const __m128d keep = _mm_cmpneq_sd(inner, _mm_setzero_pd());
    return _mm_cvtsd_f64(_mm_and_pd(keep, _mm_set_sd(w.magnitude * 0x1p-46)));
}
template <OpKind K, OpKind J>
requires(K == OpKind::Add || K == OpKind::Sub) &&
    (J == OpKind::Add || J == OpKind::Sub)
        [[gnu::always_inline]] inline double ChainMargin(const Chain<K, F32, Pending<J>>& c,
                                                         const WideValue& w) {
    return ChainMargin(Chain<K, Pending<J>, F32>{c.r, c.l}, w);
}

template <OpKind K, class L, class R>
[[gnu::always_inline]] inline F32 St(const Chain<K, L, R>& c) {
    if constexpr (!kFastPaths) return St(Ext(c));
    const WideValue w = WideTerm<Chain<K, L, R>>::Wide(c);
    const double margin = ChainMargin(c, w);
    const float lo = static_cast<float>(w.value - margin);
    const float hi = static_cast<float>(w.value + margin);
    std::uint32_t loBits, hiBits;
    std::memcpy(&loBits, &lo, sizeof loBits);
    std::memcpy(&hiBits, &hi, sizeof hiBits);
    if (loBits == hiBits) [[likely]]
        return Stored(lo);
    return St(Ext(c));
}

}  // namespace physics
