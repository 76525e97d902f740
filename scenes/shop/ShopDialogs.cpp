#include "scenes/shop/ShopDialogs.h"

#include "gui/TextLabel.h"
#include "gui/UiAtlas.h"
#include "platform/window/WindowCodes.h"
#include "scenes/base/SceneHost.h"
#include "scenes/front/FrontWidgets.h"
#include "scenes/shop/ShopCodes.h"

namespace scenes {

namespace {
constexpr int kQuestionWidth = 400, kQuestionHeight = 250;
constexpr int kGuideImageSet = 31;

void AddLines(gui::Dialog& dialog, std::initializer_list<const char16_t*> lines) {
    int y = 50;
    for (const char16_t* line : lines) {
        AddTextLine(dialog, 20, y, kQuestionWidth - 40, 20, line, gui::kFont12Bold,
                    gui::align::kCenter | gui::align::kVCenter);
        y += 24;
    }
}
}  // namespace

void CentredDialog::OnShow() {
    gui::Dialog::OnShow();
    CenterOnScreen();
}

ActivateItemDialog::ActivateItemDialog(SceneHost* host) : CentredDialog(host) {
    SetUpDialog(*this, kQuestionWidth, kQuestionHeight, u"Activate Item");
    // Opens with sound 32 and closes silently.
    SetSounds(32, 0);
    AddLines(*this, {u"Do you want to activate this item?", u"Once it activated,",
                     u"the time will begin counting down.", u""});
    AddTextButton(*this, 70, 200, 85, 32, shop_control::kYes, u"OK", platform::kVkReturn);
    AddTextButton(*this, 220, 200, 85, 32, shop_control::kCancel, u"Cancel", platform::kVkEscape);
    SetVisible(false);
}

void ActivateItemDialog::SetItem(std::uint64_t serial, std::uint32_t mode) {
    serial_ = serial;
    mode_ = mode;
    hasItem_ = true;
}

bool ActivateItemDialog::OnCommand(const gui::CommandEvent& event) {
    if (!event.source || event.code != gui::CommandCode::Event) return false;
    switch (event.source->Id()) {
        case shop_control::kCancel:
            hasItem_ = false;
            Show(false);
            return true;
        case shop_control::kYes:
            if (!hasItem_) return true;
            posted_ = serial_;
            if (host_)
                host_->PostUiMessage(shop_message::kUseItem,
                                     static_cast<std::uint32_t>(serial_ & 0xFFFFFFFFu), mode_,
                                     static_cast<std::uint32_t>(serial_ >> 32));
            hasItem_ = false;
            Show(false);
            return true;
        default:
            return false;
    }
}

DeleteItemDialog::DeleteItemDialog(SceneHost* host) : CentredDialog(host) {
    SetUpDialog(*this, kQuestionWidth, kQuestionHeight, u"Question");
    AddLines(*this, {u"Deleted items cannot be restored.", u"Please carefully select the item",
                     u"you want to delete.", u"Do you want to delete the item?"});
    AddTextButton(*this, 70, 200, 85, 32, shop_control::kYes, u"OK", platform::kVkReturn);
    AddTextButton(*this, 220, 200, 85, 32, shop_control::kNo, u"Cancel", platform::kVkEscape);
    SetVisible(false);
}

bool DeleteItemDialog::OnCommand(const gui::CommandEvent& event) {
    if (!event.source || event.code != gui::CommandCode::Event) return false;
    switch (event.source->Id()) {
        case shop_control::kYes:
            Show(false);
            if (host_) host_->PostUiMessage(shop_message::kDeleteConfirmed, 0, 0, 0);
            return true;
        case shop_control::kNo:
            Show(false);
            return true;
        default:
            return false;
    }
}

ShopPictureWindow::ShopPictureWindow(SceneHost* host) : CentredDialog(host) {
    SetUpDialog(*this, kWidth, kHeight, {});
    SetImage(gui::atlas::InSet(gui::atlas::kPanel, kGuideImageSet));
    SetSounds(31, 32);
    AddTextButton(*this, (kWidth - 82) / 2, kHeight - 30, 82, 22, shop_control::kClose, u"Close",
                  platform::kVkEscape);
    SetVisible(false);
}

bool ShopPictureWindow::OnCommand(const gui::CommandEvent& event) {
    if (!event.source || event.source->Id() != shop_control::kClose) return false;
    Show(false);
    return true;
}

}  // namespace scenes
