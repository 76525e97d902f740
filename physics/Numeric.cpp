#include "physics/Numeric.h"

#include "engine/core/Log.h"

namespace physics {
namespace detail {

// Out of line so that no caller can fold them with a different rounding.
double LibSin(double x) { return std::sin(x); }
double LibCos(double x) { return std::cos(x); }
double LibAtan(double x) { return std::atan(x); }
double LibExp(double x) { return std::exp(x); }
double LibLog(double x) { return std::log(x); }
double LibLog10(double x) { return std::log10(x); }
double LibPow(double x, double y) { return std::pow(x, y); }

}  // namespace detail
}  // namespace physics
