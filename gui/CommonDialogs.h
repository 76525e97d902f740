#pragma once
// The small common windows: the modal wait notices and the popups the game room and the shop
// open. Each posts (result code, button id, parameter) on its confirming button.

#include "gui/MessageDialog.h"

namespace gui {

// The shared modal "In progress. Please wait a moment." box, shown after a request is sent and
// hidden by its reply.
class InProgressNotice : public MessageDialog {
public:
    InProgressNotice();
};

// Shown while a game request waits for the opponent's answer; hidden by the answer.
class WaitResponseNotice : public MessageDialog {
public:
    WaitResponseNotice();
};

// The shared notice that a function cannot be used here.
class FunctionNotUsableNotice : public MessageDialog {
public:
    FunctionNotUsableNotice();
};

// The own gold does not cover a room's requirement: the game type and the shortfall.
class NotEnoughGoldDialog : public MessageDialog {
public:
    NotEnoughGoldDialog();
    void SetShortfall(int gameType, std::int64_t shortfall);
};

// "Leave the game?": Yes posts (1040, 2052, 0).
class QuitGameDialog : public MessageDialog {
public:
    QuitGameDialog();
};

// Withdrawal from a running game with its penalty text: Yes posts (1093, 2052, flag).
class WithdrawDialog : public MessageDialog {
public:
    WithdrawDialog();
    void SetPenalty(const WString& penalty, std::uint32_t flag);
};

// Asking the opponent for an invalid game (kind 1) or a withdrawal (kind 2): Yes posts
// (1094, 2052, kind).
class GameRequestDialog : public MessageDialog {
public:
    GameRequestDialog();
    void SetKind(int kind);
    int Kind() const { return static_cast<int>(Param()); }
};

// The opponent's request: Yes posts (1106, 2052, kind), No posts (1106, 2053, kind).
class GameRequestAnswerDialog : public MessageDialog {
public:
    GameRequestAnswerDialog();
    void SetRequest(const WString& nickname, int kind);
};

// Reporting a player's chat: Yes posts (1051, 2052, player id); without a chosen player the
// confirmation is disabled.
class ReportBadDialog : public MessageDialog {
public:
    ReportBadDialog();
    void Clear();
    void SetPlayer(std::uint32_t playerId, const WString& nickname);
    std::uint32_t PlayerId() const { return Param(); }
};

// An invitation into another player's room: Yes posts (1110, 2052, room number). The game type is
// left out of the question when it is not known (-1).
class InviteDialog : public MessageDialog {
public:
    InviteDialog();
    void SetInvitation(const WString& nickname, std::uint32_t roomNumber, const WString& title, int gameType);
    std::uint32_t RoomNumber() const { return Param(); }
};

}  // namespace gui
