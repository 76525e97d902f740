#include "gui/MessageDialog.h"

#include "gui/Button.h"
#include "gui/NoticeBox.h"
#include "gui/TextLabel.h"
#include "gui/UiAtlas.h"
#include "platform/window/WindowCodes.h"

namespace gui {

namespace {
constexpr int kButtonWidth = 85, kButtonHeight = 28, kButtonGap = 20, kLineHeight = 18;
}  // namespace

MessageDialog::MessageDialog(const WString& title, int width, int height) {
    Widget::Create(0, 0, width, height);
    SetImage(atlas::kPanel);
    SetTitle(title);
    SetModal(true);
    SetSounds(31, 32);
    const int top = kTitleHeight + 12;
    for (int i = 0; i < kLineCount; ++i) {
        TextLabel* label = AddLabel(10, top + i * kLineHeight, width - 20, kLineHeight, kFont12, 0,
                                    align::kCenter | align::kVCenter);
        lines_[static_cast<std::size_t>(i)] = label;
    }
    confirm_ = AddButton(0, height - kButtonHeight - 14, kButtonWidth, kButtonHeight, 0, platform::kVkReturn,
                         atlas::kTextButton);
    other_ = AddButton(0, height - kButtonHeight - 14, kButtonWidth, kButtonHeight, 0, platform::kVkEscape,
                       atlas::kTextButton);
    confirm_->SetFrameCount(atlas::kTextButtonFrames);
    other_->SetFrameCount(atlas::kTextButtonFrames);
    SetButtons(0, {}, 0, {});
    SetVisible(false);
}

void MessageDialog::SetLine(int index, const WString& text) {
    if (index >= 0 && index < kLineCount) lines_[static_cast<std::size_t>(index)]->SetPlainText(text);
}

const WString& MessageDialog::Line(int index) const {
    static const WString kNone;
    return index >= 0 && index < kLineCount ? lines_[static_cast<std::size_t>(index)]->Text() : kNone;
}

void MessageDialog::SetButtons(std::uint32_t confirmId, const WString& confirm, std::uint32_t otherId,
                               const WString& other) {
    Button* buttons[2] = {confirm_, other_};
    const std::uint32_t ids[2] = {confirmId, otherId};
    const WString* captions[2] = {&confirm, &other};
    const int count = (confirmId ? 1 : 0) + (otherId ? 1 : 0);
    int x = (Width() - (count * kButtonWidth + (count - 1) * kButtonGap)) / 2;
    for (int i = 0; i < 2; ++i) {
        buttons[i]->SetId(ids[i]);
        buttons[i]->SetCaption(*captions[i]);
        buttons[i]->SetVisible(ids[i] != 0);
        if (!ids[i]) continue;
        buttons[i]->MoveTo(x, Height() - kButtonHeight - 14);
        x += kButtonWidth + kButtonGap;
    }
}

void MessageDialog::SetResult(std::uint32_t code, std::uint32_t param, bool postRefusal) {
    code_ = code;
    param_ = param;
    postRefusal_ = postRefusal;
}

void MessageDialog::Open() {
    CenterOnScreen();
    Show(true);
}

void MessageDialog::JournalShown() {
    std::array<WString, kLineCount> lines;
    for (int i = 0; i < kLineCount; ++i) lines[static_cast<std::size_t>(i)] = Line(i);
    NoticeBox::JournalBox(Title(), lines);
}

void MessageDialog::OnConfirm() {
    Show(false);
    if (code_) NoticeBox::Post(code_, confirm_->Id(), param_, 0);
}

bool MessageDialog::OnCommand(const CommandEvent& event) {
    if (event.code != CommandCode::Event) return false;
    if (event.source == confirm_) {
        OnConfirm();
        return true;
    }
    if (event.source == other_) {
        Show(false);
        if (postRefusal_ && code_) NoticeBox::Post(code_, other_->Id(), param_, 0);
        return true;
    }
    return false;
}

}  // namespace gui
