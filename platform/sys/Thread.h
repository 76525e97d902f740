#pragma once
// Named threads. The system stops a thread with a running flag, a wake event and a join.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace platform {

class Thread {
public:
    Thread() = default;
    ~Thread();  // joins a thread that is still running
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Starts body on a new thread whose name (at most 15 characters) shows in debuggers.
    bool Start(std::string name, std::function<void()> body);
    // Waits for the thread to end; returns false when it did not end within timeoutMs
    // (the thread is then left running and joined by the destructor).
    bool Join(std::uint32_t timeoutMs = 0xFFFFFFFFu);
    bool Running() const { return thread_.joinable(); }
    const std::string& Name() const { return name_; }

private:
    std::thread thread_;
    std::string name_;
    struct State;
    std::shared_ptr<State> state_;
};

// Names the calling thread (used by the main thread).
void SetCurrentThreadName(const std::string& name);

// What an unprivileged process has of a raised thread priority: the calling thread's sleeps end
// on time (its timer slack becomes the least). Its nice value stays: lowering it needs a
// privilege the client must not ask for. False when the slack could not be set.
bool RaiseCurrentThreadPriority();

}  // namespace platform
