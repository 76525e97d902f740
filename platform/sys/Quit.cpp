#include "platform/sys/Quit.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <mutex>

#include "platform/sys/CriticalSection.h"

namespace platform {

namespace {

std::atomic<bool> gRequested{false};  // a request is waiting for the pump
std::atomic<bool> gEverRequested{false};
std::atomic<int> gReadFd{-1};
std::atomic<int> gWriteFd{-1};
std::mutex gInstallMutex;
std::mutex gCallbackMutex;
std::function<void()>& Callback() {
    static std::function<void()> callback;
    return callback;
}

struct WaitHook {
    std::mutex mutex;
    std::function<bool()> hook;
    std::uint64_t thread = CriticalSection::kNoOwner;
};
WaitHook& BlockingWait() {
    static WaitHook state;
    return state;
}

static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free,
              "signal handlers need lock-free atomics");

void OnQuitSignal(int) {
    const int savedErrno = errno;
    RequestQuit();
    errno = savedErrno;
}

void DrainPipe() {
    const int fd = gReadFd.load();
    if (fd < 0) return;
    char buffer[64];
    while (::read(fd, buffer, sizeof buffer) > 0) {
    }
}

}  // namespace

bool InstallQuitHandlers() {
    std::lock_guard lock(gInstallMutex);
    if (gReadFd.load() >= 0) return true;
    int fds[2];
    if (pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) return false;
    gReadFd.store(fds[0]);
    gWriteFd.store(fds[1]);

    struct sigaction action {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return sigaction(SIGTERM, &action, nullptr) == 0 && sigaction(SIGINT, &action, nullptr) == 0;
}

bool QuitRequested() {
    return gEverRequested.load();
}

void RequestQuit() {
    gEverRequested.store(true);
    gRequested.store(true);
    const int fd = gWriteFd.load();
    if (fd >= 0) {
        const char byte = 'q';
        // A full pipe already wakes the reader; the byte is not needed then.
        (void)!::write(fd, &byte, 1);
    }
}

int QuitFd() {
    return gReadFd.load();
}

void SetQuitCallback(std::function<void()> callback) {
    std::lock_guard lock(gCallbackMutex);
    Callback() = std::move(callback);
}

bool PollQuitRequest() {
    if (!gRequested.exchange(false)) return false;
    DrainPipe();
    std::function<void()> callback;
    {
        std::lock_guard lock(gCallbackMutex);
        callback = Callback();
    }
    if (callback) callback();
    return true;
}

void SetBlockingWaitHook(std::function<bool()> hook) {
    WaitHook& state = BlockingWait();
    std::lock_guard lock(state.mutex);
    state.hook = std::move(hook);
    state.thread = CurrentThreadId();
}

bool BlockingWaitEnds() {
    if (QuitRequested()) return true;
    WaitHook& state = BlockingWait();
    std::function<bool()> hook;
    {
        std::lock_guard lock(state.mutex);
        if (!state.hook || state.thread != CurrentThreadId()) return false;
        hook = state.hook;
    }
    return hook();
}

void ClearQuitRequest() {
    gRequested.store(false);
    gEverRequested.store(false);
    DrainPipe();
}

}  // namespace platform
