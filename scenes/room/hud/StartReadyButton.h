#pragma once
// The panel at the lower right of the game room with which a player picks a team (or watching)
// before a game and then declares ready; the room master gets a start button instead. Clicks
// become application messages to the room; a team is refused when the own gold does not meet the
// room's requirement.

#include <array>
#include <cstdint>
#include <functional>

#include "gui/ImageWidget.h"
#include "net/RoomInfo.h"

namespace gui {
class Button;
}

namespace scenes {

class SceneHost;

namespace hud {

class StartReadyButton : public gui::ImageWidget {
public:
    static constexpr int kTeamCount = 7;  // index 0 watches, 1..6 are teams
    static constexpr int kWidth = 240, kHeight = 56;

    explicit StartReadyButton(SceneHost* host);
    // Builds the buttons; the panel sits at (client width - 370, client height - 80).
    bool Create(int x, int y, int w = kWidth, int h = kHeight, std::uint32_t id = 0,
                std::uint32_t hotkey = 0) override;
    using gui::ImageWidget::Create;

    // Moves the panel for a client area of this size.
    void Resize(int width, int height);
    void SetOwnMaster(bool master) { ownMaster_ = master; }
    void Refresh(bool uncheck);
    // Enables the start button (the room master's, while the room can start) and shows its glow, or
    // greys it and hides the glow.
    void SetStartEnabled(bool enabled);
    void SetTeam(int index);
    void RefreshTeams();
    void EnterGame();
    // Back to waiting: the start button greys until the room can start again.
    void LeaveGame();
    void EnableAll();

    bool OnCommand(const gui::CommandEvent& event) override;
    void Tick(std::uint64_t nowMs) override;

    int SelectedTeam() const { return selected_; }
    bool InGame() const { return inGame_; }
    bool OwnMaster() const { return ownMaster_; }
    gui::Button* TeamButton(int index) const { return teams_[static_cast<std::size_t>(index)]; }
    gui::Button* ReadyButton() const { return ready_; }
    gui::Button* StartButton() const { return start_; }
    gui::ImageWidget* Highlight() const { return highlight_; }

    // The room whose requirement a team choice must meet; by default the session's room.
    std::function<net::RoomInfo()> roomSource;

private:
    void CheckOnly(int index);
    void ShowHighlight(bool on);

    SceneHost* host_;
    std::array<gui::Button*, kTeamCount> teams_{};
    gui::Button* start_ = nullptr;
    gui::Button* ready_ = nullptr;
    gui::ImageWidget* highlight_ = nullptr;
    int selected_ = -1;
    bool ownMaster_ = false;
    bool inGame_ = false;
};

}  // namespace hud
}  // namespace scenes
