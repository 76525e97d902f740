#include "gui/NoticeBox.h"

#include <mutex>

#include "gui/Button.h"
#include "gui/UiAtlas.h"
#include "platform/window/WindowCodes.h"

namespace gui {

namespace {
std::mutex gHooksMutex;
NoticeBox::Poster gPoster;

struct LayoutSpec {
    int count;
    std::uint32_t ids[2];
    const char16_t* captions[2];
};
constexpr LayoutSpec kLayouts[NoticeBox::kLayoutCount] = {
    {1, {button_id::kOk, 0}, {u"OK", nullptr}},
    {2, {button_id::kConfirm, button_id::kCancelOk}, {u"OK", u"Cancel"}},
    {2, {button_id::kYes, button_id::kNo}, {u"Yes", u"No"}},
    {0, {0, 0}, {nullptr, nullptr}},
};
constexpr int kButtonWidth = 85, kButtonHeight = 28, kButtonGap = 20;
constexpr int kLineTop = 40, kLineHeight = 18;
}  // namespace

NoticeBox::NoticeBox() {
    Widget::Create(0, 0, kWidth, kHeight);
    SetImage(atlas::kNoticeBackground);
    SetModal(true);
    for (Button*& button : buttons_) {
        button = AddButton(0, 0, kButtonWidth, kButtonHeight, 0, 0, atlas::kTextButton);
        button->SetFrameCount(atlas::kTextButtonFrames);
    }
    SetVisible(false);
    SetLayout(0);
}

void NoticeBox::Reset() {
    for (WString& line : lines_) line.clear();
    result_ = kDefaultResult;
    param_ = 0;
    SetLayout(0);
}

void NoticeBox::SetLayout(int layout) {
    if (layout < 0 || layout >= kLayoutCount) return;
    layout_ = layout;
    const LayoutSpec& shape = kLayouts[layout];
    const int total = shape.count * kButtonWidth + (shape.count - 1) * kButtonGap;
    for (int i = 0; i < 2; ++i) {
        Button* button = buttons_[static_cast<std::size_t>(i)];
        const bool used = i < shape.count;
        button->SetVisible(used);
        if (!used) continue;
        button->SetId(shape.ids[i]);
        button->SetCaption(shape.captions[i]);
        // The confirming button answers Enter, the other one Esc.
        button->SetHotkey(i == 0 ? platform::kVkReturn : platform::kVkEscape);
        button->MoveTo((kWidth - total) / 2 + i * (kButtonWidth + kButtonGap), kHeight - kButtonHeight - 14);
    }
}

void NoticeBox::SetLine(int index, const WString& text) {
    if (index >= 0 && index < kLineCount) lines_[static_cast<std::size_t>(index)] = text;
}

const WString& NoticeBox::Line(int index) const {
    static const WString kEmpty;
    if (index < 0 || index >= kLineCount) return kEmpty;
    return lines_[static_cast<std::size_t>(index)];
}

Button* NoticeBox::LayoutButton(int index) const {
    if (index < 0 || index >= kLayouts[layout_].count) return nullptr;
    return buttons_[static_cast<std::size_t>(index)];
}

void NoticeBox::Press(int button) {
    const Button* pressed = LayoutButton(button);
    if (!pressed) return;
    const std::uint32_t id = pressed->Id();
    Show(false);
    Post(result_, id, param_, 0);
}

bool NoticeBox::OnCommand(const CommandEvent& event) {
    for (int i = 0; i < 2; ++i) {
        if (event.source == buttons_[static_cast<std::size_t>(i)] && event.code == CommandCode::Event) {
            Press(i);
            return true;
        }
    }
    return false;
}

void NoticeBox::Draw(Painter& painter, int x, int y) {
    Dialog::Draw(painter, x, y);
    int used = 0;
    for (const WString& line : lines_) used += line.empty() ? 0 : 1;
    // The lines sit in the middle of the space between the title and the buttons.
    const int space = kHeight - kLineTop - kButtonHeight - 24;
    int top = y + kLineTop + (space - used * kLineHeight) / 2;
    for (const WString& line : lines_) {
        if (line.empty()) continue;
        painter.Text(kFont12, line, x + 10, top, kWidth - 20, kLineHeight, align::kCenter | align::kVCenter,
                     skin::kText);
        top += kLineHeight;
    }
}

void NoticeBox::SetPoster(Poster poster) {
    std::lock_guard lock(gHooksMutex);
    gPoster = std::move(poster);
}

void NoticeBox::Post(std::uint32_t code, std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    Poster poster;
    {
        std::lock_guard lock(gHooksMutex);
        poster = gPoster;
    }
    if (poster) poster(code, a, b, c);
}

}  // namespace gui
