#include "physics/PhysicsEntry.h"

#include <cstdlib>
#include <mutex>

#include "engine/core/Log.h"
#include "physics/Numeric.h"

namespace physics {

namespace {
PHYSICS_BEHIND_ENTRY std::uint32_t SubStepBits() { return St(Opq(Ext(0.005f)) / Ext(15.0f)).Bits(); }
}  // namespace

bool ArithmeticSelfTestPasses() {
    platform::FpuControlScope scope;
    return SubStepBits() == 0x39AEC33Du;
}

PhysicsEntry::PhysicsEntry() {
    static std::once_flag checked;
    std::call_once(checked, [] {
        if (!ArithmeticSelfTestPasses()) {
            LogWrite(u"physics: arithmetic self-test failed: the x87 control word is not honoured\n");
            GetLog().Flush();
            std::abort();
        }
    });
}

}  // namespace physics
