#pragma once
// What the shell needs of the game session: the dispatch thread, the keep-alive, the start flag
// and two small sends. The session implements it; until it exists the shell runs with this
// inert form, which is also what offline and replay modes need of it.

#include <cstdint>

class SessionLink {
public:
    virtual ~SessionLink() = default;
    virtual void StartDispatchThread() {}
    virtual void StopDispatchThread() {}
    // Update thread, every tick.
    virtual void KeepAlive(std::uint64_t /*nowMs*/) {}
    // True once after the connection to the game server dropped by itself.
    virtual bool TakeConnectionLost() { return false; }
    virtual void SetStartFlag(std::uint8_t flag) { startFlag_ = flag; }
    std::uint8_t StartFlag() const { return startFlag_; }
    virtual void SendByteMessage(std::uint16_t /*id*/, std::uint8_t /*value*/) {}
    virtual void SendBlockMessage(std::uint16_t /*id*/, const std::uint8_t* /*block*/,
                                  std::uint32_t /*size*/) {}
    virtual void SendServerOptions(std::uint32_t /*word*/, std::uint8_t /*flags*/) {}

private:
    std::uint8_t startFlag_ = 0;
};
