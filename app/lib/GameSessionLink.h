#pragma once
// The shell's link to the game session of the network layer.

#include <memory>

#include "app/lib/SessionLink.h"

namespace net {
class GameSession;
class SceneGate;
}  // namespace net

class GameSessionLink final : public SessionLink {
public:
    explicit GameSessionLink(net::SceneGate* gate);
    ~GameSessionLink() override;

    void StartDispatchThread() override;
    void StopDispatchThread() override;
    void KeepAlive(std::uint64_t nowMs) override;
    bool TakeConnectionLost() override;
    void SetStartFlag(std::uint8_t flag) override;
    void SendByteMessage(std::uint16_t id, std::uint8_t value) override;
    void SendBlockMessage(std::uint16_t id, const std::uint8_t* block, std::uint32_t size) override;
    void SendServerOptions(std::uint32_t word, std::uint8_t flags) override;

    net::GameSession& Session() { return *session_; }

private:
    std::unique_ptr<net::GameSession> session_;
    net::SceneGate* gate_;
};
