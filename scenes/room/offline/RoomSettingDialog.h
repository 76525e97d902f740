#pragma once
// "Room setting" of the offline table: the game type of the next rack, chosen from the types the
// offline item set has a table for. OK posts RoomSettingChosen; the scene reads GameType().

#include <array>
#include <cstdint>

#include "gui/Dialog.h"

namespace gui {
class Button;
}

namespace scenes {

class SceneHost;

class RoomSettingDialog : public gui::Dialog {
public:
    static constexpr std::uint32_t kChosenMessage = 1038;
    static constexpr std::uint32_t kOkId = 2050;
    static constexpr std::uint32_t kCancelId = 2053;
    static constexpr std::uint32_t kFirstChoiceId = 300;
    static constexpr std::array<int, 9> kGameTypes{0, 3, 4, 5, 6, 10, 12, 13, 16};

    explicit RoomSettingDialog(SceneHost* host) : host_(host) {}
    bool Create(int x, int y, int w = 240, int h = 300, std::uint32_t id = 0,
                std::uint32_t hotkey = 0) override;
    using gui::Widget::Create;

    // The type ticked; SetGameType ticks a type (one the list lacks ticks none).
    int GameType() const { return gameType_; }
    void SetGameType(int gameType);
    bool OnCommand(const gui::CommandEvent& event) override;

private:
    SceneHost* host_;
    int gameType_ = 10;
    std::array<gui::Button*, kGameTypes.size()> choices_{};
};

}  // namespace scenes
