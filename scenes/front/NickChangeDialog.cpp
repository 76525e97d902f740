#include "scenes/front/NickChangeDialog.h"

#include "gui/Button.h"
#include "gui/NoticeBox.h"
#include "gui/TextInput.h"
#include "gui/UiAtlas.h"
#include "platform/window/WindowCodes.h"
#include "scenes/base/SceneHost.h"
#include "scenes/front/FrontCodes.h"
#include "scenes/front/FrontWidgets.h"

namespace scenes {

namespace {
// The characters of the special-character buttons, in button order.
constexpr char16_t kSpecials[NickChangeDialog::kSpecialCount + 1] =
    u"★☆♥♡♠♤♣♧◆◇■□●○▲△▼▽◀◁▶▷♪♬♩♭♯☎☏"
    u"☜☞※◎◈▣◐◑♨♂♀∞†‡¶§@#&ⓐⓑⓒⓓⓔⓕⓖⓗⓘⓙ";
constexpr int kColumns = 29;
constexpr int kCell = 12;

bool IsHangulSyllable(char16_t c) {
    return c >= 0xAC00 && c <= 0xD7A3;
}
bool IsAsciiLetterOrDigit(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}
bool IsSpecial(char16_t c) {
    for (int i = 0; i < NickChangeDialog::kSpecialCount; ++i)
        if (kSpecials[i] == c) return true;
    return false;
}
}  // namespace

NickChangeDialog::NickChangeDialog(SceneHost* host) : host_(host), resultCode_(front_message::kNickChangeOk) {
    SetUpDialog(*this, kWidth, kHeight, u"Change Nick");
    AddTextLine(*this, 24, 36, kWidth - 48, 20, u"New nickname (2 to 12 characters)");
    edit_ = AddEditField(*this, 24, 60, kWidth - 48, 26, 3501, kMaxLength);
    for (int i = 0; i < kSpecialCount; ++i) {
        const int x = 24 + (i % kColumns) * kCell, y = 100 + (i / kColumns) * (kCell + 10);
        gui::Button* b =
            AddTextButton(*this, x, y, kCell, kCell + 8, kFirstSpecial + static_cast<std::uint32_t>(i),
                          WString(1, kSpecials[i]));
        b->SetCaptionFont(gui::kFont10);
    }
    AddOkCancel(*this, 50);
    SetVisible(false);
}

void NickChangeDialog::SetItemSerial(std::uint64_t serial) {
    serial_ = serial;
    resultCode_ = front_message::kNickChangeOk;
    param_ = static_cast<std::uint32_t>(serial & 0xFFFFFFFFu);
}

void NickChangeDialog::SetPurpose(const WString& title, std::uint32_t resultCode, std::uint32_t param) {
    SetTitle(title);
    resultCode_ = resultCode;
    param_ = param;
}

char16_t NickChangeDialog::SpecialCharacter(int index) {
    return index >= 0 && index < kSpecialCount ? kSpecials[index] : 0;
}

WString NickChangeDialog::Check(const WString& nickname) {
    if (nickname.empty()) return u"Enter a nickname.";
    if (nickname.size() < static_cast<std::size_t>(kMinLength) ||
        nickname.size() > static_cast<std::size_t>(kMaxLength))
        return u"A nickname has 2 to 12 characters.";
    bool plain = false;
    for (char16_t c : nickname) {
        if (c == u' ' || c == 0x3000) return u"A nickname cannot hold blanks.";
        const bool letter = IsAsciiLetterOrDigit(c) || IsHangulSyllable(c);
        if (!letter && !IsSpecial(c)) return u"The nickname holds a character that cannot be used.";
        plain = plain || letter;
    }
    if (!plain) return u"A nickname needs a letter, a digit or a Hangul syllable.";
    return {};
}

void NickChangeDialog::OnShow() {
    gui::Dialog::OnShow();
    CenterOnScreen();
    edit_->SetText(edit_->GetText());  // the caret goes to the end
    edit_->SetFocus(true);
}

bool NickChangeDialog::OnCommand(const gui::CommandEvent& event) {
    if (!event.source || event.code != gui::CommandCode::Event) return false;
    const std::uint32_t id = event.source->Id();
    if (id >= kFirstSpecial && id < kFirstSpecial + kSpecialCount) {
        // Typed as a character would be: at the caret, within the length limit.
        edit_->OnKey(platform::kWmChar, SpecialCharacter(static_cast<int>(id - kFirstSpecial)), 1);
        edit_->SetFocus(true);
        return true;
    }
    if (id == front_button::kCancel) {
        Show(false);
        return true;
    }
    if (id != front_button::kOk) return false;
    const WString failure = Check(edit_->GetText());
    if (!failure.empty()) {
        if (host_) host_->ShowError(this, failure);
        return true;
    }
    accepted_ = edit_->GetText().substr(0, kMaxLength + 1);
    Show(false);
    gui::NoticeBox::Post(resultCode_, param_, 0, 0);
    return true;
}

}  // namespace scenes
