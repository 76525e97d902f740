#pragma once
// Every public physics entry runs under the physics control word, whatever the calling thread
// had set, and gives the caller's word back on return.

#include "platform/sys/Fpu.h"

namespace physics {

class PhysicsEntry {
public:
    PhysicsEntry();
    PhysicsEntry(const PhysicsEntry&) = delete;
    PhysicsEntry& operator=(const PhysicsEntry&) = delete;

private:
    platform::FpuControlScope scope_;
};

// The work behind an entry lives in a function marked PHYSICS_BEHIND_ENTRY so that no arithmetic
// of it can be moved or folded across the control-word change: the compiler does not model that
// word, so only an opaque call keeps the order.
#define PHYSICS_BEHIND_ENTRY [[gnu::noipa]]

// Checks one round-toward-zero result (0.005 / 15 must store as 0x39AEC33D) under the control
// word. Run once by the first entry; a failure is logged and ends the process, because this
// client would compute every shot differently from its peers.
bool ArithmeticSelfTestPasses();

}  // namespace physics
