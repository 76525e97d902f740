#pragma once
// The single-instance lock. The first client holds an exclusive lock on "<name>.lock" in the
// runtime folder for its whole run; the kernel drops the lock when the process ends, also after a
// crash. A second client learns that the lock is held and asks the first, through a datagram
// socket "<name>.sock" beside the lock, to bring its window to the front.

#include <functional>
#include <string>

namespace platform {

class InstanceLock {
public:
    enum class Result {
        Acquired,        // this process is the only client
        AlreadyRunning,  // another process holds the lock
        Failed,          // no runtime folder, or the lock file cannot be opened (see FailureReason)
    };

    explicit InstanceLock(std::string name = "Marvenlot");
    ~InstanceLock();  // releases the lock
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Takes the lock without waiting. When acquired, the raise channel is opened as well.
    Result Acquire();
    void Release();
    bool Held() const { return lockFd_ >= 0; }

    // Second instance: asks the holder to bring its window to the front. False when no holder
    // listens (the first client may not have its channel yet); never blocks.
    bool RequestRaise() const;

    // Holder: called for every raise request found by PollRaiseRequests.
    void SetRaiseCallback(std::function<void()> callback) { onRaise_ = std::move(callback); }
    // Holder: handles the requests that arrived since the last poll (called from the message pump);
    // returns how many there were. Several requests that arrived together raise once.
    int PollRaiseRequests();
    // Holder: a descriptor that becomes readable when a request arrives (-1 without the channel).
    int RaiseFd() const { return channelFd_; }

    const std::string& LockPath() const { return lockPath_; }
    // Why the last Acquire failed, in words.
    const std::string& FailureReason() const { return failure_; }

private:
    bool OpenChannel();

    std::string name_;
    std::string lockPath_;
    std::string channelPath_;
    std::string failure_;
    int lockFd_ = -1;
    int channelFd_ = -1;
    std::function<void()> onRaise_;
};

}  // namespace platform
