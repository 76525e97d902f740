#include "scenes/front/RoomPasswordDialog.h"

#include "engine/core/Format.h"
#include "gui/NoticeBox.h"
#include "gui/TextInput.h"
#include "gui/TextLabel.h"
#include "gui/UiAtlas.h"
#include "platform/window/WindowCodes.h"
#include "scenes/front/FrontCodes.h"
#include "scenes/front/FrontWidgets.h"
#include "scenes/front/RoomOptionDialog.h"

namespace scenes {

RoomPasswordDialog::RoomPasswordDialog() {
    SetUpDialog(*this, kWidth, kHeight, u"Password");
    roomLine_ = AddTextLine(*this, 20, 36, kWidth - 40, 22, {}, gui::kFont12,
                            gui::align::kCenter | gui::align::kVCenter);
    AddTextLine(*this, 20, 66, 90, 26, u"Password");
    edit_ = AddEditField(*this, 110, 66, kWidth - 130, 26, 3901, RoomOptionDialog::kMaxPassword);
    edit_->SetPassword(true);
    AddOkCancel(*this, 46);
    SetVisible(false);
}

void RoomPasswordDialog::Open(std::uint16_t roomNumber, const WString& title) {
    room_ = roomNumber;
    roomLine_->SetPlainText(Format(u"Room %d: %s", static_cast<int>(roomNumber), title));
    edit_->SetText({});
    CenterOnScreen();
    Show(true);
    edit_->SetFocus(true);
}

const WString& RoomPasswordDialog::Password() const {
    return edit_->GetText();
}

bool RoomPasswordDialog::OnCommand(const gui::CommandEvent& event) {
    if (event.code != gui::CommandCode::Event || !event.source) return false;
    if (event.source->Id() == front_button::kOk) {
        Show(false);
        gui::NoticeBox::Post(front_message::kRoomPasswordOk, room_, front_button::kOk, 0);
        return true;
    }
    if (event.source->Id() == front_button::kCancel) {
        Show(false);
        return true;
    }
    return false;
}

}  // namespace scenes
