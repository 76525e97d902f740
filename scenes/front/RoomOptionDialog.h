#pragma once
// The room settings window: the lobby opens it to create a room, the game room to show (and, for
// the room master, change) the settings of the room. OK posts 1161 (2050, 0) once the settings are
// valid; the owner reads them from Room() and Password(). The game is chosen only for a new room:
// the room's settings message (2004) carries none, so a room keeps the game it was created with and
// the game room shows it fixed.

#include <cstdint>
#include <span>
#include <vector>

#include "gui/Dialog.h"
#include "net/RoomInfo.h"

namespace gui {
class Button;
class ComboBox;
class EditBox;
class TextLabel;
}  // namespace gui
namespace net {
class PlayerRecord;
}

namespace scenes {

class SceneHost;

class RoomOptionDialog : public gui::Dialog {
public:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 330;
    static constexpr int kMaxTitle = 24;
    static constexpr int kMaxPassword = 8;

    explicit RoomOptionDialog(SceneHost* host);
    void SetHost(SceneHost* host) { host_ = host; }

    // The lobby: a new room with these defaults, every setting editable.
    void OpenForCreate(const WString& title, int gameType);
    // The game room: the room's settings; only the master may change them. `seats` holds the seat
    // records (null for an empty seat), `masterSlot` the master's seat.
    void SetRoomInfo(const net::RoomInfo& room, bool ownIsMaster,
                     std::span<const net::PlayerRecord* const> seats, int masterSlot);

    const net::RoomInfo& Room() const { return room_; }
    const WString& Password() const { return password_; }
    bool Editable() const { return editable_; }
    gui::ComboBox* GameChoice() const { return gameType_; }
    gui::TextLabel* GameNote() const { return gameNote_; }
    gui::ComboBox* PlayersChoice() const { return players_; }
    gui::TextLabel* PlayersNote() const { return playersNote_; }
    static constexpr const char16_t* kGameFixedText = u"A room keeps the game it was created with.";
    static constexpr const char16_t* kPocketPlayersText = u"A pocket game is played by two players.";
    // The reason the settings cannot be used, or an empty text.
    static WString Check(const net::RoomInfo& room, const WString& password);

    bool OnCommand(const gui::CommandEvent& event) override;

private:
    void Fill();
    // A pocket game seats two: its Players list shows 2, greyed, and says why; another game shows the
    // count chosen for it.
    void ShowPlayersFor(int gameType);
    bool ReadControls();

    SceneHost* host_;
    net::RoomInfo room_;
    WString password_;
    bool editable_ = true;
    bool gameFixed_ = false;
    std::vector<int> types_;
    int playersChoice_ = 0;  // the Players list's choice for games that take one
    gui::EditBox* title_ = nullptr;
    gui::EditBox* passwordEdit_ = nullptr;
    gui::ComboBox* gameType_ = nullptr;
    gui::ComboBox* players_ = nullptr;
    gui::ComboBox* turnTime_ = nullptr;
    gui::TextLabel* seatLine_ = nullptr;
    gui::TextLabel* gameNote_ = nullptr;
    gui::TextLabel* playersNote_ = nullptr;
};

}  // namespace scenes
