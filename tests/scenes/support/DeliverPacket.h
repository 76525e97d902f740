#pragma once
// Builds a message and hands it to a scene as the session's dispatch thread would.

#include <cstdint>
#include <functional>

#include "net/Packet.h"
#include "scenes/base/GameScene.h"

// The scene's handler result for message `id` written by `fill`.
inline int DeliverPacket(scenes::GameScene& scene, std::uint16_t id,
                         const std::function<void(net::Packet&)>& fill) {
    net::Packet p;
    p.Init(id);
    fill(p);
    p.Finish();
    p.Rewind();
    return scene.OnPacket(id, &p);
}
