#pragma once
// The login scene (scene 1). Normal mode: connects to the game server, signs in with the
// launcher's account arguments (2 login id, 3 password; missing ones are empty and refused by the
// server), asks for a nickname on the first sign-in, applies the server's option word, chooses a
// channel and goes on to the lobby. Offline mode: on to the offline table with no connection.
//
// Threads: Enter and OnMessage on the main thread, Update on the update thread, OnPacket on the
// dispatch thread; the last two post to the main thread whatever touches widgets.

#include <atomic>
#include <cstdint>
#include <vector>

#include "net/GameSession.h"
#include "scenes/base/GameScene.h"

namespace gui {
class TextLabel;
}

namespace scenes {

class NickChangeDialog;

class SceneLogin : public GameScene {
public:
    enum class Stage : int { Idle, Connecting, SigningIn, ChoosingNick, ChoosingChannel, Done, Failed };

    SceneLogin();
    void Enter() override;
    void Update(std::uint64_t nowMs, std::uint64_t time100us) override;
    int OnPacket(std::uint16_t messageId, net::Packet* packet) override;
    bool OnMessage(std::uint32_t code, std::uintptr_t a, std::intptr_t b) override;

    // Main thread, message 1104: the option word kept on the server goes into the options, the
    // voice channel is re-applied (1056, 1057), then the channel list is asked for.
    void OnLoginResult();
    // The channel a player enters: the first open one that is not a tournament channel, else the
    // first open one; 0 when every channel is full.
    static std::uint16_t ChooseChannel(const std::vector<net::ChannelInfo>& channels);

    Stage CurrentStage() const { return stage_.load(); }
    NickChangeDialog* NickDialog() const { return nickDialog_; }

private:
    net::GameSession* Session();
    void Fail(const WString& line1, const WString& line2);
    void OnFlowAnswer(std::uint16_t id, std::uint8_t result);

    std::atomic<Stage> stage_{Stage::Idle};
    std::atomic<std::uint64_t> connectStartMs_{0};
    gui::TextLabel* status_ = nullptr;
    NickChangeDialog* nickDialog_ = nullptr;
};

}  // namespace scenes
