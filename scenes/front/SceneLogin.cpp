#include "scenes/front/SceneLogin.h"

#include <string>

#include "engine/core/Format.h"
#include "engine/core/Log.h"
#include "engine/core/Options.h"
#include "gui/NoticeBox.h"
#include "gui/TextInput.h"
#include "gui/TextLabel.h"
#include "net/NetConstants.h"
#include "net/Packet.h"
#include "platform/sys/Clock.h"
#include "scenes/base/SceneCodes.h"
#include "scenes/base/SceneHost.h"
#include "scenes/front/FrontBackdrop.h"
#include "scenes/front/FrontCodes.h"
#include "scenes/front/FrontWidgets.h"
#include "scenes/front/NickChangeDialog.h"

namespace scenes {

namespace {
constexpr std::uint32_t kNickChosen = 1164;
constexpr std::uint32_t kRetryAnswer = 1165;  // a = the retry box's button
constexpr std::uint16_t kNoMessage = 0;
// Why the server is gone (the answer's result byte when no message id is named).
constexpr std::uint8_t kConnectFailed = 0xFF, kConnectionLost = 0xFE, kNoAnswer = 0xFD;
constexpr std::uint32_t kVoiceChannel = 2;
constexpr std::uint16_t kTournamentChannel = 8;

std::uint16_t MessageOf(net::MessageId id) {
    return net::Id(id);
}
}  // namespace

SceneLogin::SceneLogin() : GameScene(scene_id::kLogin) {
    Widget::Create(0, 0, 1024, 768);
    Make<FrontBackdrop>();
    status_ = AddTextLine(*this, 0, 370, 1024, 30, {}, gui::kFont14Bold,
                          gui::align::kCenter | gui::align::kVCenter);
    status_->SetAnchor(gui::AnchorH::Center, 0, gui::AnchorV::Center, 0);
    auto dialog = std::make_unique<NickChangeDialog>(nullptr);
    nickDialog_ = dialog.get();
    AdoptChild(std::move(dialog));
    nickDialog_->SetVisible(false);
    SetVisible(false);
}

net::GameSession* SceneLogin::Session() {
    return Host() ? Host()->CurrentSession() : nullptr;
}

void SceneLogin::Enter() {
    SceneHost* host = Host();
    if (host && host->OfflineMode()) {
        // Offline play needs no server: the fixed offline items stand in for the account's.
        if (net::GameSession* session = Session()) session->SetOfflineEquipment();
        stage_ = Stage::Done;
        RequestScene(scene_id::kOffline);
        return;
    }
    net::GameSession* session = Session();
    if (!session) {
        Fail(u"The game server cannot be reached.", u"The client has no connection.");
        return;
    }
    nickDialog_->SetHost(host);
    nickDialog_->SetPurpose(u"Create Nick", kNickChosen, 0);
    nickDialog_->Show(false);
    Connect();
}

void SceneLogin::Connect() {
    net::GameSession* session = Session();
    if (!session) return;
    status_->SetPlainText(u"Connecting to the game server...");
    connectStartMs_ = 0;
    waitStartMs_ = 0;
    stage_ = Stage::Connecting;
    if (session->IsConnected()) return;  // signs in at the next tick
    std::string hostName;
    std::uint16_t port = 0;
    net::GameSession::ResolveServerAddress({}, hostName, port);
    if (!session->Connect(hostName, port))
        FailConnection(u"The game server cannot be reached.", u"Please try again later.");
}

void SceneLogin::Update(std::uint64_t nowMs, std::uint64_t) {
    net::GameSession* session = Session();
    if (!session) return;
    const Stage stage = stage_.load();
    if (stage == Stage::SigningIn || stage == Stage::ChoosingChannel) {
        if (!ServerStillThere(*session, nowMs)) {
            stage_ = Stage::Failed;
            Host()->PostUiMessage(front_message::kLoginFlowAnswer, kNoMessage,
                                  session->IsConnected() ? kNoAnswer : kConnectionLost, 0);
        }
        return;
    }
    // The nickname dialog waits on the player, not the server, but not on a closed connection.
    if (stage == Stage::ChoosingNick && !session->IsConnected()) {
        stage_ = Stage::Failed;
        Host()->PostUiMessage(front_message::kLoginFlowAnswer, kNoMessage, kConnectionLost, 0);
        return;
    }
    if (stage != Stage::Connecting) return;
    if (session->IsConnected()) {
        stage_ = Stage::SigningIn;
        waitStartMs_ = nowMs ? nowMs : 1;
        SceneHost* host = Host();
        // After a lost connection the account held from the first sign-in signs in again; missing
        // account arguments read as empty, and the server refuses them like a wrong password.
        const bool held = !session->loginId.empty();
        session->SendSignIn(held ? session->loginId : host->Argument(2),
                            held ? session->password : host->Argument(3), host->ClientBuild());
        return;
    }
    if (connectStartMs_.load() == 0) connectStartMs_ = nowMs ? nowMs : 1;
    if (session->ConnectFailed() ||
        platform::ElapsedMs(connectStartMs_.load(), nowMs) > net::kConnectTimeoutMs) {
        stage_ = Stage::Failed;
        Host()->PostUiMessage(front_message::kLoginFlowAnswer, kNoMessage, kConnectFailed, 0);
    }
}

bool SceneLogin::ServerStillThere(net::GameSession& session, std::uint64_t nowMs) {
    if (!session.IsConnected()) return false;
    if (waitStartMs_.load() == 0) waitStartMs_ = nowMs ? nowMs : 1;
    return platform::ElapsedMs(waitStartMs_.load(), nowMs) <= kAnswerTimeoutMs;
}

int SceneLogin::OnPacket(std::uint16_t id, net::Packet* packet) {
    if (!packet || !Host()) return 0;
    net::GameSession* session = Session();
    std::uint8_t result = 0;
    packet->Rewind();
    packet->ReadU8(result);
    if (id == MessageOf(net::MessageId::SignInResult) || id == MessageOf(net::MessageId::CreateNickResult)) {
        // The session has read the account block already.
        if (result == 0)
            Host()->PostUiMessage(front_message::kLoginResult, 0, 0, 0);
        else
            Host()->PostUiMessage(front_message::kLoginFlowAnswer, id, result, 0);
    } else if (id == MessageOf(net::MessageId::ChannelList) && session) {
        const std::uint16_t channel = ChooseChannel(session->Channels(), session->currentChannel);
        waitStartMs_ = 0;
        if (channel != 0)
            session->SendChooseChannel(channel);
        else
            Host()->PostUiMessage(front_message::kLoginFlowAnswer, id, 1, 0);
    } else if (id == MessageOf(net::MessageId::ChooseChannelResult)) {
        if (result == 0) {
            stage_ = Stage::Done;
            RequestScene(scene_id::kLobby);
        } else {
            Host()->PostUiMessage(front_message::kLoginFlowAnswer, id, result, 0);
        }
    }
    return 0;
}

std::uint16_t SceneLogin::ChooseChannel(const std::vector<net::ChannelInfo>& channels, std::uint16_t held) {
    for (const net::ChannelInfo& c : channels)
        if (held != 0 && c.id == held && c.users < c.capacity) return held;
    std::uint16_t open = 0;
    for (const net::ChannelInfo& c : channels) {
        if (c.id == 0 || c.users >= c.capacity) continue;
        if (c.type != kTournamentChannel) return c.id;
        if (open == 0) open = c.id;
    }
    return open;
}

bool SceneLogin::OnMessage(std::uint32_t code, std::uintptr_t a, std::intptr_t b) {
    switch (code) {
        case front_message::kLoginResult:
            OnLoginResult();
            return true;
        case front_message::kLoginFlowAnswer:
            OnFlowAnswer(static_cast<std::uint16_t>(a), static_cast<std::uint8_t>(b));
            return true;
        case kNickChosen:
            if (net::GameSession* session = Session()) {
                waitStartMs_ = 0;
                stage_ = Stage::SigningIn;
                session->SendCreateNick(nickDialog_->AcceptedNickname());
            }
            return true;
        case kRetryAnswer:
            if (a == gui::button_id::kYes)
                Connect();
            else if (Host())
                Host()->PostQuit();
            return true;
        default:
            return false;
    }
}

void SceneLogin::OnLoginResult() {
    net::GameSession* session = Session();
    SceneHost* host = Host();
    if (!session || !host) return;
    if (OptionsStore* store = host->UserOptions()) {
        const std::uint32_t word = session->own.serverOptionWord;
        store->Update([&](Options& o) { o.SetFromServerWord(word); });
        const Options now = store->Get();
        host->PostUiMessage(static_cast<std::uint32_t>(AppMessage::SoundVolume), kVoiceChannel,
                            static_cast<std::uint32_t>(now.voiceVolume), 0);
        host->PostUiMessage(static_cast<std::uint32_t>(AppMessage::SoundEnable), kVoiceChannel, now.voice, 0);
    }
    waitStartMs_ = 0;
    stage_ = Stage::ChoosingChannel;
    status_->SetPlainText(Format(u"Welcome, %s. Choosing a channel...", session->own.nickname));
    session->SendEmpty(MessageOf(net::MessageId::ChannelListRequest));
}

void SceneLogin::OnFlowAnswer(std::uint16_t id, std::uint8_t result) {
    if (id == MessageOf(net::MessageId::SignInResult)) {
        if (result == 2) {
            stage_ = Stage::ChoosingNick;
            status_->SetPlainText(u"Choose the nickname other players will see.");
            // A new sign-in starts with an empty box; only a refused nickname stays to be mended.
            nickDialog_->Edit()->SetText({});
            nickDialog_->Show(true);
        } else if (result == 3) {
            Fail(u"This account is already connected.", u"Close the other client and try again.");
        } else {
            Fail(u"Sign-in failed.", u"Check your ID and password.");
        }
    } else if (id == MessageOf(net::MessageId::CreateNickResult)) {
        stage_ = Stage::ChoosingNick;
        Host()->ShowError(
            nickDialog_, result == 1 ? u"That nickname is already taken." : u"That nickname cannot be used.");
        nickDialog_->Show(true);
    } else if (id == MessageOf(net::MessageId::ChannelList)) {
        Fail(u"Every channel is full.", u"Please try again later.");
    } else if (id == MessageOf(net::MessageId::ChooseChannelResult)) {
        Fail(u"The channel could not be entered.", u"Please try again later.");
    } else if (result == kConnectionLost) {
        FailConnection(u"The connection to the game server was lost.", u"Check your network.");
    } else if (result == kNoAnswer) {
        FailConnection(u"The game server does not answer.", u"Check your network.");
    } else {
        FailConnection(u"The game server cannot be reached.", u"Check your network.");
    }
}

void SceneLogin::FailConnection(const WString& line1, const WString& line2) {
    stage_ = Stage::Failed;
    status_->SetPlainText({});
    nickDialog_->Show(false);
    LogWrite(u"Login: %s\n", line1);
    if (net::GameSession* session = Session()) session->Disconnect();
    SceneHost* host = Host();
    if (!host) return;
    host->ShowError(this, line1, line2, u"Try again?");
    if (gui::NoticeBox* box = host->GetNoticeBox()) {
        box->SetLayout(2);
        box->SetResultCode(kRetryAnswer);
    }
}

void SceneLogin::Fail(const WString& line1, const WString& line2) {
    stage_ = Stage::Failed;
    status_->SetPlainText({});
    LogWrite(u"Login: %s\n", line1);
    SceneHost* host = Host();
    if (!host) return;
    host->ShowError(this, line1, line2);
    // Nothing can be done here without a session: the box's OK ends the client.
    if (gui::NoticeBox* box = host->GetNoticeBox())
        box->SetResultCode(static_cast<std::uint32_t>(AppMessage::Quit));
}

}  // namespace scenes
