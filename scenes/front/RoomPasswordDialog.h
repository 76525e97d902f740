#pragma once
// Asks for the password of a locked room; OK posts 1162 (the room number, 2050).

#include <cstdint>

#include "gui/Dialog.h"

namespace gui {
class EditBox;
class TextLabel;
}  // namespace gui

namespace scenes {

class RoomPasswordDialog : public gui::Dialog {
public:
    static constexpr int kWidth = 320;
    static constexpr int kHeight = 170;

    RoomPasswordDialog();
    void Open(std::uint16_t roomNumber, const WString& title);
    std::uint16_t RoomNumber() const { return room_; }
    const WString& Password() const;
    bool OnCommand(const gui::CommandEvent& event) override;

private:
    std::uint16_t room_ = 0;
    gui::TextLabel* roomLine_ = nullptr;
    gui::EditBox* edit_ = nullptr;
};

}  // namespace scenes
