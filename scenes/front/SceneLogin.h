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
    // The channel a player enters: the one he was in (`held`, after a lost connection) while it is
    // open, else the first open one that is not a tournament channel, else the first open one; 0
    // when every channel is full.
    static std::uint16_t ChooseChannel(const std::vector<net::ChannelInfo>& channels, std::uint16_t held = 0);

    Stage CurrentStage() const { return stage_.load(); }
    NickChangeDialog* NickDialog() const { return nickDialog_; }

    // How long the sign-in, nickname and channel answers may take before the server counts as gone.
    static constexpr std::uint64_t kAnswerTimeoutMs = 15000;

private:
    net::GameSession* Session();
    void Connect();
    // A refusal: the box's OK ends the client.
    void Fail(const WString& line1, const WString& line2);
    // The server is out of reach or went away: the connection is closed (a late answer connects
    // nothing) and the box asks whether to try again (Yes) or end the client (No).
    void FailConnection(const WString& line1, const WString& line2);
    void OnFlowAnswer(std::uint16_t id, std::uint8_t result);
    // Update thread: the stage waits for the server; true when it may go on waiting.
    bool ServerStillThere(net::GameSession& session, std::uint64_t nowMs);

    std::atomic<Stage> stage_{Stage::Idle};
    std::atomic<std::uint64_t> connectStartMs_{0};
    std::atomic<std::uint64_t> waitStartMs_{0};  // the request the stage waits on was sent
    gui::TextLabel* status_ = nullptr;
    NickChangeDialog* nickDialog_ = nullptr;
};

}  // namespace scenes
