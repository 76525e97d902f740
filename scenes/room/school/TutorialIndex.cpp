#include "scenes/room/school/TutorialIndex.h"

#include <algorithm>

#include "gui/Button.h"
#include "gui/ScrollBar.h"
#include "gui/TextLabel.h"
#include "gui/UiAtlas.h"
#include "net/GameSession.h"
#include "scenes/base/SceneHost.h"
#include "scenes/front/FrontWidgets.h"
#include "scenes/room/school/TutorialTopicRow.h"

namespace scenes {

namespace {
constexpr std::uint32_t kTitleColour = 0xFF00FFFFu;
// Only the first category holds topics; the others are shown disabled.
constexpr int kTutorialCategory = 0;
constexpr int kTabX = -TutorialIndex::kTabsLeft, kTabY = 72, kTabPitch = 32, kTabWidth = 83, kTabHeight = 29;
// The tab's radio bullet ends 16 pixels into the tab; its caption takes the rest.
constexpr int kTabCaptionX = 18;

// A tab's caption, right of the tab's bullet; the pointer over it is over the tab.
class CaptionBesideBullet : public gui::TextLabel {
public:
    bool IsMouseTransparent() const override { return true; }
};
}  // namespace

TutorialIndex::TutorialIndex(SceneHost* host) : host_(host) {
    SetUpDialog(*this, kWidth, kHeight, u"", false);
    SetImage(gui::atlas::school::kIndexPanel);
    SetAlpha(0.7f);
    title_ = AddTextLine(*this, 10, 8, 80, 24, u"");
    title_->SetColors(kTitleColour, 0xFF000000u);
    gui::Button* hide = AddButton(238, 22, 18, 18, kHideId, 0,
                                  gui::atlas::InSet(gui::atlas::kCloseButton, gui::atlas::school::kSet));
    hide->SetFrameCount(4);
    hide->SetTooltip(u"Hide index");
    for (int k = 0; k < school::kCategoryCount; ++k) {
        // Radio tabs take the seven-frame radio strip (the checked frames follow the first four).
        gui::Button* tab = AddButton(kTabX, kTabY + kTabPitch * k, kTabWidth, kTabHeight,
                                     kFirstTabId + static_cast<std::uint32_t>(k), 0,
                                     gui::atlas::InSet(gui::atlas::kRadioButton, gui::atlas::school::kSet));
        tab->SetRadioMode(1);
        tab->SetEnabled(k == kTutorialCategory);
        auto* caption = tab->Make<CaptionBesideBullet>();
        caption->Create(kTabCaptionX, 0, kTabWidth - kTabCaptionX, kTabHeight);
        caption->SetFont(gui::kFont12);
        caption->SetStyle(gui::label_style::kShadow);
        caption->SetFormat(gui::align::kCenter | gui::align::kVCenter, 0, 0);
        caption->SetColors(tab->IsEnabled() ? gui::skin::kText : gui::skin::kTextDisabled, 0xC0000000u);
        caption->SetPlainText(school::kCategoryCaptions[static_cast<std::size_t>(k)]);
        tabCaptions_[static_cast<std::size_t>(k)] = caption;
        tabs_[static_cast<std::size_t>(k)] = tab;
    }
    for (int k = 0; k < kRows; ++k) {
        auto* row = Make<TutorialTopicRow>();
        row->Create(14, 47 + 26 * k, TutorialTopicRow::kWidth, TutorialTopicRow::kHeight,
                    kFirstRowId + static_cast<std::uint32_t>(k));
        rows_[static_cast<std::size_t>(k)] = row;
    }
    scroll_ = Make<gui::ScrollBar>();
    scroll_->Create(230, 48, 16, 206, kScrollId, gui::Orientation::Vertical, 1);
    SetVisible(false);
}

std::uint32_t TutorialIndex::StoredProgress() const {
    net::GameSession* session = host_ ? host_->CurrentSession() : nullptr;
    return session ? session->schoolProgress : 0;
}

void TutorialIndex::Refresh() {
    platform::ScopedLock lock(lock_);
    for (int k = 0; k < school::kCategoryCount; ++k)
        tabs_[static_cast<std::size_t>(k)]->SetChecked(k == category_);
    title_->SetPlainText(school::kCategoryCaptions[static_cast<std::size_t>(category_)]);
    const auto& topics = school::Topics();
    const int count = category_ == kTutorialCategory ? static_cast<int>(topics.size()) : 0;
    const std::uint32_t progress = StoredProgress();
    int topic = std::max(scrollPosition_ - 1, 0);
    for (int k = 0; k < kRows; ++k, ++topic) {
        TutorialTopicRow* row = rows_[static_cast<std::size_t>(k)];
        if (topic >= count) {
            row->ShowTopic(TutorialTopicRow::kNoTopic, false, false);
            continue;
        }
        const school::Topic& t = topics[static_cast<std::size_t>(topic)];
        row->ShowTopic(topic, progress >= static_cast<std::uint32_t>(t.step), topic == selectedTopic_);
    }
    scroll_->SetRange(std::max(count - (kRows - 1), 1));
}

void TutorialIndex::SelectStep(int step) {
    if (step >= school::kLastStep) return;
    platform::ScopedLock lock(lock_);
    category_ = kTutorialCategory;
    selectedTopic_ = school::TopicForStep(step);
    for (const TutorialTopicRow* row : rows_)
        if (row->Topic() >= 0 && row->Topic() == selectedTopic_) {
            Refresh();
            return;
        }
    // Bring the topic into view: to the top when it lies above the rows, else to the bottom.
    const int topics = static_cast<int>(school::Topics().size());
    const int count = selectedTopic_ + 1;
    const int range = std::max(topics - (kRows - 1), 1);
    const int firstShown = std::max(scrollPosition_ - 1, 0);
    scrollPosition_ = std::clamp(selectedTopic_ < firstShown ? count : count - (kRows - 1), 1, range);
    scroll_->SetRange(range);
    scroll_->SetPos(scrollPosition_ - 1, false);
    Refresh();
}

int TutorialIndex::RowTopic(int row) const {
    return rows_[static_cast<std::size_t>(row)]->Topic();
}

gui::Button* TutorialIndex::RowButton(int row) const {
    return rows_[static_cast<std::size_t>(row)]->GetButton();
}

void TutorialIndex::DrawTree(gui::Painter& painter, int originX, int originY) {
    if (!IsVisible()) return;
    title_->SetVisible(false);
    gui::Dialog::DrawTree(painter, originX, originY);
    title_->SetVisible(true);
    title_->DrawTree(painter, originX + X(), originY + Y());
}

void TutorialIndex::Open() {
    if (GetParent())
        MoveTo(GetParent()->Width() - kWidth - kRightMargin, GetParent()->Height() - kHeight - kBottomMargin);
    Show(true);
    Refresh();
}

void TutorialIndex::Hide() {
    Show(false);
    if (host_) host_->PostUiMessage(school_message::kIndexHidden, 0, 0, 0);
}

bool TutorialIndex::OnCommand(const gui::CommandEvent& event) {
    if (event.code != gui::CommandCode::Event) return false;
    const std::uint32_t id = event.source ? event.source->Id() : event.id;
    if (id >= kFirstTabId && id < kFirstTabId + school::kCategoryCount) {
        {
            platform::ScopedLock lock(lock_);
            category_ = static_cast<int>(id - kFirstTabId);
        }
        Refresh();
        scroll_->SetPos(scrollPosition_ - 1, false);
        return true;
    }
    if (id >= kFirstRowId && id < kFirstRowId + kRows) {
        const int topic = rows_[id - kFirstRowId]->Topic();
        if (topic < 0) return true;
        {
            platform::ScopedLock lock(lock_);
            selectedTopic_ = topic;
        }
        Refresh();
        if (host_)
            host_->PostUiMessage(
                school_message::kTopicChosen,
                static_cast<std::uint32_t>(school::Topics()[static_cast<std::size_t>(topic)].step), 0, 0);
        return true;
    }
    switch (id) {
        case kHideId:
        case kCloseId:
            // Every way of hiding tells the school, which offers "Open index" again.
            Hide();
            return true;
        case kScrollId: {
            platform::ScopedLock lock(lock_);
            scrollPosition_ = std::max(event.value, 1);
        }
            Refresh();
            return true;
        default:
            return false;
    }
}

}  // namespace scenes
