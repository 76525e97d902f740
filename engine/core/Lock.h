#pragma once
// The lock embedded in shared engine objects: the platform's re-entrant critical section (use
// counter, owner word), always taken through the scope guard.

#include "platform/sys/CriticalSection.h"

using Lock = platform::CriticalSection;
using LockGuard = platform::ScopedLock;
