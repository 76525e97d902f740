#pragma once
// The game room's list of the players in the room at the lower right: one row per player (at most
// eight) grouped by team, with name, level, money, clan, the score or status of the game, the
// master's crown, ready marks, the shooter's marker and floating score pop-ups. A click on a row
// opens a small menu of actions on that player.
//
// Main thread: Refresh, commands and layout; the update thread ticks it under the widget lock.

#include <array>
#include <cstdint>
#include <functional>

#include "gui/ImageWidget.h"
#include "net/PlayerRecord.h"
#include "scenes/room/hud/RoomWidgetCodes.h"

namespace gui {
class Button;
class Dialog;
class NumberDisplay;
class TextLabel;
}  // namespace gui
namespace net {
class GameRoom;
class Packet;
struct RoomInfo;
}  // namespace net

namespace scenes {

class SceneHost;

namespace hud {

class PlayerMenu : public gui::ImageWidget {
public:
    static constexpr int kRows = 8;
    static constexpr int kRowHeight = 47;
    static constexpr int kRunningShift = 80;
    static constexpr int kMenuItems = 6;
    static constexpr int kPopupIdle = 1000;

    struct Row {
        gui::Button* button = nullptr;
        gui::ImageWidget* portrait = nullptr;
        gui::TextLabel* name = nullptr;
        gui::ImageWidget* levelIcon = nullptr;
        gui::TextLabel* score = nullptr;
        gui::TextLabel* status = nullptr;
        gui::TextLabel* money = nullptr;
        gui::TextLabel* spare = nullptr;
        gui::ImageWidget* sixBall = nullptr;
        gui::TextLabel* sixBallCount = nullptr;
        gui::ImageWidget* badge1 = nullptr;
        gui::ImageWidget* badge2 = nullptr;
        gui::ImageWidget* ready = nullptr;
        gui::ImageWidget* mark = nullptr;
        gui::ImageWidget* scorePopup = nullptr;
        gui::TextLabel* scorePopupLabel = nullptr;
        gui::ImageWidget* clanPopup = nullptr;
        gui::TextLabel* clanPopupLabel = nullptr;
    };

    explicit PlayerMenu(SceneHost* host);
    ~PlayerMenu() override;
    bool Create(int x, int y, int w = 160, int h = 440, std::uint32_t id = 0,
                std::uint32_t hotkey = 0) override;
    using gui::ImageWidget::Create;

    void Attach(const net::RoomInfo* roomInfo, net::GameRoom* gameRoom);
    void Reset();
    void SetRoomMaster(const net::PlayerRecord* master, bool isLocalMaster);
    // Hides the menu of actions (a game starting or ending, the room left, its player gone).
    void CloseMenu();
    void OnGameStart();
    void OnGameEnd();
    void HideShooterMarker();
    void Layout();
    void SetPot(std::int32_t value);
    void SetHeader(std::int64_t number, std::int64_t money);
    void ShowScorePopup(const net::PlayerRecord* record, int value);
    // Rebuilds the rows from the room's teams (the caller holds the room's lock).
    void Refresh(net::GameRoom& gameRoom);
    // With `reorder`, the turn order is first rolled again from the server's seed.
    void RefreshWithOrder(net::GameRoom& gameRoom, bool reorder, std::uint32_t seed = 0);

    void Tick(std::uint64_t nowMs) override;
    bool OnCommand(const gui::CommandEvent& event) override;

    int RowCount() const { return rowCount_; }
    bool Running() const { return running_; }
    const Row& RowAt(int index) const { return rows_[static_cast<std::size_t>(index)]; }
    const net::PlayerRecord* RowRecord(int index) const { return records_[static_cast<std::size_t>(index)]; }
    gui::Dialog* Menu() const { return menu_; }
    gui::Button* MenuItem(int index) const { return menuItems_[static_cast<std::size_t>(index)]; }
    gui::TextLabel* MatchLabel() const { return matchLabel_; }
    gui::TextLabel* PotLabel() const { return potLabel_; }
    gui::TextLabel* HeaderLabel() const { return headerLabel_; }
    gui::ImageWidget* Crown() const { return crown_; }
    gui::ImageWidget* ShooterMarker() const { return shooterMarker_; }
    const net::PlayerRecord& MenuPlayer() const { return menuPlayer_; }
    int PopupCounter(int row) const { return popupSteps_[static_cast<std::size_t>(row)]; }

    // Sends a room message built by `fill`; by default through the session.
    RoomSender send;
    // The messenger's question popup about a player (kinds of the messenger's questions).
    std::function<void(const net::PlayerRecord& record, int kind)> askQuestion;

private:
    int ClientWidth() const;
    int ClientHeight() const;
    const net::PlayerRecord* LocalRecord() const;
    bool IsLocal(const net::PlayerRecord* record) const;
    void FillRow(int row, const net::PlayerRecord& record, const net::GameRoom& gameRoom, int team,
                 int member, int teamNumber, bool ownTeam);
    void OnMenuItem(std::uint32_t id);
    const net::PlayerRecord* FindListed(std::uint64_t playerId) const;

    SceneHost* host_;
    const net::RoomInfo* roomInfo_ = nullptr;
    net::GameRoom* gameRoom_ = nullptr;
    std::int8_t rowCount_ = 0;
    bool running_ = false;
    bool localMaster_ = false;
    std::uint64_t selectedId_ = 0;
    WString selectedName_;
    net::PlayerRecord menuPlayer_;
    const net::PlayerRecord* master_ = nullptr;
    std::array<const net::PlayerRecord*, kRows> records_{};
    std::int32_t pot_ = 0;
    std::array<int, kRows> popupSteps_{};
    std::uint32_t tickCount_ = 0;

    std::array<Row, kRows> rows_{};
    gui::NumberDisplay* headerNumber_ = nullptr;
    gui::TextLabel* headerLabel_ = nullptr;
    gui::TextLabel* matchLabel_ = nullptr;
    gui::TextLabel* potLabel_ = nullptr;
    gui::ImageWidget* crown_ = nullptr;
    gui::ImageWidget* shooterMarker_ = nullptr;
    gui::Dialog* menu_ = nullptr;
    std::array<gui::Button*, kMenuItems> menuItems_{};
};

}  // namespace hud
}  // namespace scenes
