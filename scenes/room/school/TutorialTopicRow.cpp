#include "scenes/room/school/TutorialTopicRow.h"

#include "gui/Button.h"
#include "gui/UiAtlas.h"

namespace scenes {

namespace {
constexpr int kSubTopicX = 20;
constexpr int kSubTopicY = 1;
constexpr int kSubTopicWidth = 191;
constexpr std::uint32_t kTopicColour = 0xFFFFFF00u;
constexpr std::uint32_t kSubTopicColour = 0xFFFFFFFFu;
constexpr float kOpenAlpha = 0.7f;
constexpr float kClosedAlpha = 0.2f;
// Rows of one index form one radio group.
constexpr int kRowGroup = 2;
}  // namespace

bool TutorialTopicRow::Create(int x, int y, int w, int h, std::uint32_t id, std::uint32_t hotkey) {
    if (!gui::Widget::Create(x, y, w, h, id, hotkey)) return false;
    button_ = AddButton(0, 0, kWidth, kHeight, id, 0, gui::atlas::school::kTopicRow);
    // Radio mode asks for the seven-frame strip; the row strips have four (a chosen row shows the third).
    button_->SetRadioMode(kRowGroup);
    button_->SetFrameCount(gui::atlas::school::kButtonFrames);
    ShowTopic(kNoTopic, false, false);
    return true;
}

void TutorialTopicRow::ShowTopic(int index, bool open, bool chosen) {
    const auto& topics = school::Topics();
    if (index < 0 || static_cast<std::size_t>(index) >= topics.size()) {
        topic_ = kNoTopic;
        if (button_) {
            button_->SetCaption({});
            button_->SetChecked(false);
        }
        SetVisible(false);
        return;
    }
    topic_ = index;
    SetVisible(true);
    if (!button_) return;
    const school::Topic& t = topics[static_cast<std::size_t>(index)];
    const bool sub = t.subOrder != 0;
    if (sub) {
        button_->SetRect(kSubTopicX, kSubTopicY, kSubTopicWidth, kHeight);
        button_->SetImage(gui::atlas::school::kSubTopicRow);
    } else {
        button_->SetRect(0, 0, kWidth, kHeight);
        button_->SetImage(gui::atlas::school::kTopicRow);
    }
    button_->SetCaption(t.caption);
    button_->SetCaptionColour(sub ? kSubTopicColour : kTopicColour);
    button_->SetChecked(chosen);
    button_->SetEnabled(open);
    button_->SetAlpha(open ? kOpenAlpha : kClosedAlpha);
}

}  // namespace scenes
