#pragma once
// The invite list of a game room: on opening it asks the server for the players who can be invited
// (2042), shows its reply (2043) seven rows at a time with a check box each, and sends one
// invitation message (2044) for the players ticked, at most 8. The player's own list requests
// (opening the list, "Refresh") are 5 seconds apart; the list's own requests after a change of the
// room's players do not hold him up. An invited player stays greyed out for a little over 10
// seconds, also across reopenings.
//
// Threads: the reply arrives on the network dispatch thread while the rows are drawn and clicked on
// the main thread; the candidates and the invited list are only touched under the dialog's lock.

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "gui/Dialog.h"
#include "gui/ImageWidget.h"
#include "platform/sys/CriticalSection.h"

namespace gui {
class Button;
class ScrollBar;
class TextLabel;
}  // namespace gui
namespace net {
class Packet;
}

namespace scenes {

class SceneHost;

namespace hud {

struct InviteCandidate {
    static constexpr std::size_t kNicknameChars = 13;

    bool selected = false;
    bool available = true;  // not invited in the last seconds
    std::uint32_t key = 0;
    std::uint64_t playerId = 0;
    std::uint16_t level = 0;
    std::uint16_t count = 0;
    WString nickname;  // at most kNicknameChars
};

class InviteRow : public gui::ImageWidget {
public:
    static constexpr float kGreyedAlpha = 0.3f;

    // The check box takes the clicks on the whole row; it draws a tick while checked.
    bool Create(int x, int y, int w = 300, int h = 20, std::uint32_t id = 0,
                std::uint32_t hotkey = 0) override;
    using gui::Widget::Create;
    void SetEntry(const InviteCandidate& candidate);

    gui::Button* Check() const { return check_; }
    gui::ImageWidget* LevelIcon() const { return icon_; }
    gui::TextLabel* Name() const { return name_; }
    gui::TextLabel* Count() const { return count_; }

private:
    gui::Button* check_ = nullptr;
    gui::ImageWidget* icon_ = nullptr;
    gui::TextLabel* name_ = nullptr;
    gui::TextLabel* count_ = nullptr;
};

class InviteListDialog : public gui::Dialog {
public:
    static constexpr int kRows = 7;
    static constexpr std::uint32_t kFirstRowId = 100;
    static constexpr std::uint32_t kScrollId = 10;
    static constexpr std::uint32_t kCloseId = 2049;
    static constexpr std::uint32_t kInviteId = 2050;
    static constexpr std::uint32_t kRefreshId = 2053;
    static constexpr std::uint16_t kListRequest = 2042;
    static constexpr std::uint16_t kListReply = 2043;
    static constexpr std::uint16_t kInvitation = 2044;
    static constexpr std::size_t kMaxInvitees = 8;
    static constexpr std::uint64_t kRequestGapMs = 5000;
    static constexpr std::uint64_t kGreyedSeconds = 10;
    static constexpr std::uint32_t kRefreshEveryTicks = 20;

    // Sends a finished message to the server.
    using Sender = std::function<void(net::Packet& packet)>;

    explicit InviteListDialog(SceneHost* host) : host_(host) {}
    bool Create(int x = 0, int y = 0, int w = 343, int h = 259, std::uint32_t id = 0,
                std::uint32_t hotkey = 0) override;
    using gui::Widget::Create;
    void SetSender(Sender sender) { send_ = std::move(sender); }

    void OnShow() override;
    // The server's list (2043), from the dispatch thread; the rows and labels follow at the next
    // tick (the widget thread). A reply that breaks off keeps the entries read before the break.
    void FillFromPacket(net::Packet& packet);
    bool OnCommand(const gui::CommandEvent& event) override;
    // The wheel over the rows scrolls them a row at a time.
    bool OnMouse(const gui::MouseEvent& event) override;
    // Every 20th call: the players invited more than 10 seconds ago become available again. After a
    // change of the room's players the shown list asks the server again, or closes when the room is
    // full.
    void Tick(std::uint64_t nowMs) override;
    // The room's players changed (from the dispatch thread): the player who entered (id and nickname;
    // 0 and empty when one left) leaves the list at once; `roomFull` says nobody more can come in.
    void RoomChanged(std::uint64_t enteredId, const WString& enteredName, bool roomFull);

    // ---- For the room and for tests
    std::vector<InviteCandidate> Candidates() const;
    int FirstPosition() const;
    InviteRow* Row(int k) const { return rows_[k]; }
    gui::TextLabel* EmptyLabel() const { return emptyLabel_; }
    gui::TextLabel* PendingLabel() const { return pendingLabel_; }
    gui::ScrollBar* Scroll() const { return scroll_; }
    void RefreshCooldown(std::uint64_t nowMs);

private:
    void Layout();  // under lock_
    bool RefreshCooldownLocked(std::uint64_t nowMs);
    void SendInvitations();
    // Asks the server for the list. The player's own request (`own`) starts the wait of his next
    // "Refresh"; the list's own requests leave it alone.
    void RequestList(std::uint64_t nowMs, bool own);
    void SetPending(bool pending);
    void Notice(const WString& text);

    SceneHost* host_;
    Sender send_;
    mutable platform::CriticalSection lock_;
    std::vector<InviteCandidate> candidates_;
    std::vector<std::pair<std::uint32_t, std::uint64_t>> invited_;  // key, time of invitation
    int first_ = 1;
    std::uint64_t lastRequestMs_ = 0;
    bool requested_ = false;
    bool layoutDirty_ = false;   // a reply arrived: the rows follow at the next tick
    bool replyArrived_ = false;  // the labels follow at the next tick
    bool roomChanged_ = false;   // the next tick asks for the list again
    bool roomFull_ = false;      // the next tick closes the list
    std::uint32_t ticks_ = 0;
    std::array<InviteRow*, kRows> rows_{};
    gui::TextLabel* emptyLabel_ = nullptr;
    gui::TextLabel* pendingLabel_ = nullptr;
    gui::ScrollBar* scroll_ = nullptr;
};

}  // namespace hud
}  // namespace scenes
