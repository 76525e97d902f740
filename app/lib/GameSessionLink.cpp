#include "app/lib/GameSessionLink.h"

#include "app/lib/AppCodes.h"
#include "net/GameSession.h"

GameSessionLink::GameSessionLink(net::SceneGate* gate)
    : session_(std::make_unique<net::GameSession>()), gate_(gate) {
    net::SetCurrentSession(session_.get());
}

GameSessionLink::~GameSessionLink() {
    session_->StopDispatchThread();
    net::SetCurrentSession(nullptr);
}

void GameSessionLink::StartDispatchThread() {
    session_->SetSceneGate(gate_);
    session_->StartDispatchThread();
}

void GameSessionLink::StopDispatchThread() {
    session_->StopDispatchThread();
}

void GameSessionLink::KeepAlive(std::uint64_t nowMs) {
    session_->KeepAlive(nowMs);
}

bool GameSessionLink::TakeConnectionLost() {
    return session_->TakeConnectionLost();
}

void GameSessionLink::SetStartFlag(std::uint8_t flag) {
    SessionLink::SetStartFlag(flag);
    session_->startFlag = flag;
}

void GameSessionLink::SendByteMessage(std::uint16_t id, std::uint8_t value) {
    session_->SendByteMessage(id, value);
}

void GameSessionLink::SendBlockMessage(std::uint16_t id, const std::uint8_t* block, std::uint32_t size) {
    net::PooledPacket packet = session_->NewPacket(id);
    if (!packet) return;
    for (std::uint32_t i = 0; i < size; ++i) packet->WriteU8(block[i]);
    session_->Send(*packet);
}

void GameSessionLink::SendServerOptions(std::uint32_t word, std::uint8_t flags) {
    net::PooledPacket packet = session_->NewPacket(shell_message::kServerOptions);
    if (!packet) return;
    packet->WriteU32(word).WriteU8(flags);
    session_->Send(*packet);
}
