#pragma once
// The lobby (scene 4): the rooms of the channel, creating and entering a room (with its password),
// the players of the channel, the channel chat, and the ways to the practice room, the shop, the
// shot gallery and the cue school. On entry it carries out the session's pending lobby action.
//
// Threads: widgets on the main thread; OnPacket (dispatch) and Update (update thread) post to the
// main thread whatever changes widgets.

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "net/GameSession.h"
#include "platform/sys/CriticalSection.h"
#include "scenes/base/GameScene.h"

namespace gui {
class Button;
class EditBox;
class ScrollBar;
class TextLabel;
class MessageDialog;
class WebPageDialog;
}  // namespace gui

namespace scenes {

class HelpWindow;
class PracticeSetupDialog;
class RoomListRow;
class RoomOptionDialog;
class RoomPasswordDialog;

class SceneLobby : public GameScene {
public:
    static constexpr int kVisibleRooms = 12;
    static constexpr int kVisiblePlayers = 12;
    static constexpr int kChatLines = 7;
    static constexpr int kRecordLines = 4;
    static constexpr std::uint64_t kRoomListRefreshMs = 5000;
    // The first parameter of kLobbyListsChanged when it follows a room list.
    static constexpr std::uint32_t kRoomListArrived = 1;
    // The result the lobby is handed for a room entry the server granted into a room this client cannot
    // show (net::GameSession::JoinedRoomUnshowable): no byte of the server's.
    static constexpr std::uint32_t kJoinUnshowable = 0x100;
    // Chat lines that may wait for the main thread; a flood beyond keeps the newest.
    static constexpr std::size_t kMaxIncomingChat = 512;
    static constexpr int kChannelRows = 8;

    SceneLobby();
    ~SceneLobby() override;

    void Enter() override;
    bool Leave(ResourceManager* resources, SceneManager* engineScenes) override;
    void Update(std::uint64_t nowMs, std::uint64_t time100us) override;
    int OnPacket(std::uint16_t messageId, net::Packet* packet) override;
    bool OnMessage(std::uint32_t code, std::uintptr_t a, std::intptr_t b) override;
    bool OnCommand(const gui::CommandEvent& event) override;
    void AddChatLine(const WString& text, std::uint32_t argb) override;
    // The messenger opens clear of the lobby's buttons where the client area has room.
    const gui::Widget* ControlsToKeepClear() const override { return layout_; }

    // Carries out the session's pending lobby action unless the lobby is busy; true when it did.
    bool RunPendingAction(net::GameSession& session);
    // Asks to enter a room (its password first when the list shows one). A room the list does not show
    // yet (an invitation's, the list being refreshed every few seconds) is asked for as it is: the
    // server's answer says why it cannot be entered.
    void JoinRoom(std::uint16_t number);
    // Asks the player about the newest invitation the session received (the shared invite dialog);
    // the older ones are dropped. Nothing is asked while the lobby waits for a room. An invitation to a
    // room the list does not show yet is held and the list asked for, so that the question names the
    // room's game and Join asks its password; it is asked about when a room list arrives
    // (`roomListArrived`), with or without the room.
    void ShowInvitation(bool roomListArrived = false);
    // The rooms shown, in list order.
    const std::vector<net::RoomInfo>& Rooms() const { return rooms_; }
    int FirstRoomRow() const { return firstRow_; }
    int SelectedRoom() const { return selected_; }
    const WString& ChatLine(int index) const;
    // A request to the server is on its way (join or create); the lobby takes no other.
    bool Busy() const { return busy_.load(); }
    // The text of the error box a room answer shows (empty for 0, entered; kJoinUnshowable too).
    static WString JoinErrorText(std::uint32_t result);
    // "Practice" asks for the game first: the practice setup opens on the game last chosen there (the
    // last room's game before any), and its OK takes the player to the practice room on that game.
    PracticeSetupDialog* PracticeSetup() const { return practiceSetup_; }
    int PracticeGameType();
    // The channel choice: opened by the button beside the channel's name, one row per channel with
    // its players; a row asks the server to move the player there.
    void OpenChannelChoice(bool open);
    bool ChannelChoiceOpen() const { return channelPanel_ && channelPanel_->IsVisible(); }
    const WString& ChannelRowText(int index) const;
    void ChooseChannel(std::uint16_t channel);

private:
    net::GameSession* Session();
    void Build();
    void RebuildRooms();
    void ShowRoomRows();
    void RebuildPlayers();
    void RebuildChannelRows();
    static bool IsFull(const net::ChannelInfo& channel);
    // "The channel is full." / "Please choose another channel.": a full row chosen, or the server's refusal.
    void ShowChannelFull();
    void OnChannelAnswer(std::uint8_t result);
    void OnJoinAnswer(std::uint32_t result);
    void StartPractice(int gameType);
    void UpdateOwnInfo();
    // Adds a line to the chat history and the journal; ShowChat puts the newest lines on the rows.
    void AppendChat(const WString& text, std::uint32_t argb);
    void ShowChat();
    void SendChat();
    void RequestRoomList();
    void GoTo(int scene, std::uint16_t leavingMessage);
    // A page of the web site in the web page dialog, signed in with the account.
    void OpenWebPage(const std::string& path);

    std::vector<net::RoomInfo> rooms_;
    std::optional<net::RoomInvitation> heldInvitation_;
    bool heldListAsked_ = false;
    int firstRow_ = 0;
    int selected_ = -1;
    std::array<RoomListRow*, kVisibleRooms> roomRows_{};
    std::array<gui::TextLabel*, kVisiblePlayers> playerRows_{};
    std::array<gui::TextLabel*, kChatLines> chatRows_{};
    std::array<gui::TextLabel*, kRecordLines> recordRows_{};
    gui::Widget* layout_ = nullptr;
    gui::ScrollBar* roomScroll_ = nullptr;
    gui::TextLabel* ownInfo_ = nullptr;
    gui::TextLabel* channelInfo_ = nullptr;
    gui::Button* channelButton_ = nullptr;
    gui::Widget* channelPanel_ = nullptr;
    gui::Widget* channelClose_ = nullptr;
    std::array<gui::Button*, kChannelRows> channelRows_{};
    std::vector<net::ChannelInfo> shownChannels_;
    gui::TextLabel* roomCount_ = nullptr;
    gui::EditBox* chatEdit_ = nullptr;
    gui::Button* messengerButton_ = nullptr;
    HelpWindow* help_ = nullptr;
    RoomOptionDialog* createDialog_ = nullptr;
    RoomPasswordDialog* passwordDialog_ = nullptr;
    PracticeSetupDialog* practiceSetup_ = nullptr;
    std::unique_ptr<gui::WebPageDialog> webPage_;
    std::deque<std::pair<WString, std::uint32_t>> chat_;
    WString journaledRooms_;
    WString journaledPlayers_;
    WString journaledChannels_;

    // Chat lines that arrived on the dispatch thread, waiting for the main thread.
    platform::CriticalSection incomingLock_;
    std::deque<WString> incoming_;
    std::atomic<bool> busy_{false};
    std::atomic<std::uint64_t> lastListRequestMs_{0};
    std::atomic<std::uint32_t> seenListVersion_{0};
};

}  // namespace scenes
