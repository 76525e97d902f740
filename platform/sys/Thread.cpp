#include "platform/sys/Thread.h"

#include <pthread.h>
#include <sys/prctl.h>

#include <memory>

#include "platform/crash/CrashHook.h"
#include "platform/sys/Event.h"

namespace platform {

struct Thread::State {
    Event finished{Event::Reset::Manual};
};

void SetCurrentThreadName(const std::string& name) {
    pthread_setname_np(pthread_self(), name.substr(0, 15).c_str());
}

bool RaiseCurrentThreadPriority() {
    // 1 ns: the least slack the kernel takes (0 would restore the default of 50 us).
    return prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL) == 0;
}

Thread::~Thread() {
    if (thread_.joinable()) thread_.join();
}

bool Thread::Start(std::string name, std::function<void()> body) {
    if (thread_.joinable()) return false;
    name_ = std::move(name);
    state_ = std::make_shared<State>();
    auto state = state_;
    thread_ = std::thread([state, threadName = name_, body = std::move(body)] {
        SetCurrentThreadName(threadName);
        InstallCrashAltStack();
        body();
        RemoveCrashAltStack();
        state->finished.Set();
    });
    return true;
}

bool Thread::Join(std::uint32_t timeoutMs) {
    if (!thread_.joinable()) return true;
    if (timeoutMs != Event::kInfinite && !state_->finished.WaitFor(timeoutMs)) return false;
    thread_.join();
    return true;
}

}  // namespace platform
