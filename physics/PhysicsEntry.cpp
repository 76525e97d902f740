#include "physics/PhysicsEntry.h"

#include <xmmintrin.h>

#include <cstdlib>
#include <mutex>

#include "engine/core/Log.h"
#include "physics/Numeric.h"

namespace physics {

namespace {
PHYSICS_BEHIND_ENTRY std::uint32_t SubStepBits() {
    return St(Opq(Ext(0.005f)) / Ext(15.0f)).Bits();
}
PHYSICS_BEHIND_ENTRY std::uint32_t SubStepBitsSse(F32 dt, F32 count) {
    return St(dt / count).Bits();
}
}  // namespace

bool ArithmeticSelfTestPasses() {
    PhysicsArithmeticScope scope;
    return SubStepBits() == 0x39AEC33Du && SubStepBitsSse(F32(0.005f), F32(15.0f)) == 0x39AEC33Du;
}

// The caller's MXCSR was saved by the FPU scope, which gives it back.
PhysicsArithmeticScope::PhysicsArithmeticScope() {
    _mm_setcsr(kPhysicsMxcsr);
}

PhysicsEntry::PhysicsEntry() {
    static std::once_flag checked;
    std::call_once(checked, [] {
        if (!ArithmeticSelfTestPasses()) {
            LogWrite(u"physics: arithmetic self-test failed: the rounding modes are not honoured\n");
            GetLog().Flush();
            std::abort();
        }
    });
}

}  // namespace physics
