#include "scenes/front/FrontWidgets.h"

#include <algorithm>

#include "gui/Button.h"
#include "gui/ComboBox.h"
#include "gui/Dialog.h"
#include "gui/TextInput.h"
#include "gui/TextLabel.h"
#include "gui/UiAtlas.h"
#include "platform/window/WindowCodes.h"
#include "scenes/front/FrontCodes.h"

namespace scenes {

namespace {
// The UI sounds of a window opening and closing.
constexpr int kDialogOpenSound = 31, kDialogCloseSound = 32;
}  // namespace

CentredLayout::CentredLayout(Lower lower) : lower_(lower) {
    Create(0, 0, kWidth, kHeight);
    SetAnchor(gui::AnchorH::Center, 0, gui::AnchorV::Center, 0);
}

void CentredLayout::Fit(int clientWidth, int clientHeight) {
    const int height = lower_ == Lower::Fit ? std::min(kHeight, clientHeight) : kHeight;
    SetRect((clientWidth - kWidth) / 2, (clientHeight - height) / 2, kWidth, height);
    LayoutChildren(kWidth, height);
}

void CentredLayout::OnResize(int width, int height) {
    // The parent's layout has centred it by its anchor; a fitted one takes its height from the parent.
    const gui::Widget* parent = GetParent();
    if (lower_ == Lower::Fit && parent)
        Fit(parent->Width(), parent->Height());
    else
        LayoutChildren(width, height);
}

void SetUpDialog(gui::Dialog& dialog, int width, int height, const WString& title, bool modal) {
    dialog.Create(0, 0, width, height);
    dialog.SetImage(gui::atlas::kPanel);
    dialog.SetTitle(title);
    dialog.SetModal(modal);
    dialog.SetSounds(kDialogOpenSound, kDialogCloseSound);
}

void AddOkCancel(gui::Dialog& dialog, int bottom, const WString& cancel) {
    const int y = dialog.Height() - bottom;
    AddTextButton(dialog, dialog.Width() / 2 - 100, y, 90, 30, front_button::kOk, u"OK", platform::kVkReturn);
    AddTextButton(dialog, dialog.Width() / 2 + 10, y, 90, 30, front_button::kCancel, cancel,
                  platform::kVkEscape);
}

gui::Button* AddTextButton(gui::Widget& parent, int x, int y, int w, int h, std::uint32_t id,
                           const WString& caption, std::uint32_t hotkey) {
    gui::Button* button = parent.AddButton(x, y, w, h, id, hotkey, gui::atlas::kTextButton);
    button->SetFrameCount(gui::atlas::kTextButtonFrames);
    button->SetCaption(caption);
    return button;
}

gui::Button* AddCheckBox(gui::Widget& parent, int x, int y, int w, std::uint32_t id, const WString& caption,
                         bool checked) {
    gui::Button* box = parent.AddButton(x, y, w, 22, id, 0, gui::UiImage{});
    box->SetToggleMode(true);
    box->SetChecked(checked);
    box->SetCaption(caption);
    box->SetCaptionFont(gui::kFont12);
    return box;
}

gui::Button* AddCheckMarkBox(gui::Widget& parent, int x, int y, int w, std::uint32_t id,
                             const WString& caption, bool checked) {
    gui::Button* box = AddCheckBox(parent, x, y, w, id, caption, checked);
    box->SetCheckMarkStyle(true);
    return box;
}

gui::EditBox* AddEditField(gui::Widget& parent, int x, int y, int w, int h, std::uint32_t id, int maxLength) {
    gui::EditBox* edit = parent.Make<gui::EditBox>();
    edit->Create(x, y, w, h, id);
    edit->SetSkin(gui::atlas::kEditField);
    edit->Setup(gui::kFont12, maxLength, gui::skin::kText);
    edit->Show(true);
    return edit;
}

gui::TextLabel* AddTextLine(gui::Widget& parent, int x, int y, int w, int h, const WString& text,
                            const gui::FontDesc& font, std::uint32_t flags, std::uint32_t argb) {
    gui::TextLabel* label = parent.AddLabel(x, y, w, h, font, 0, flags);
    label->SetPlainText(text);
    label->SetColors(argb, 0xFF000000);
    return label;
}

gui::ComboBox* AddChoice(gui::Widget& parent, int x, int y, int w, std::uint32_t id,
                         std::initializer_list<const char16_t*> items, int selected) {
    gui::ComboBox* combo = parent.AddComboBox(x, y, w, 22, id);
    combo->CreateItems(static_cast<int>(items.size()));
    for (const char16_t* item : items) combo->AddItem(item);
    combo->Select(selected);
    return combo;
}

int IndexOf(const std::vector<int>& values, int value, int fallback) {
    int index = 0;
    for (int v : values) {
        if (v == value) return index;
        ++index;
    }
    return fallback;
}

}  // namespace scenes
