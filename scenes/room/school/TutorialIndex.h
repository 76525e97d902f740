#pragma once
// The school's index of topics, in the bottom right corner: a topic opens once the stored school
// progress reached its step, and choosing it asks the school to jump there (message 1061 with the
// step). It follows the guide: the topic holding the current step stays selected and in view.
// "Hide index" hides it and posts 1062 so the school offers its "Open index" button again.
//
// Threads: main thread only (the school's step machine calls SelectStep under the scene lock).

#include <array>
#include <cstdint>

#include "gui/Dialog.h"
#include "platform/sys/CriticalSection.h"
#include "scenes/room/school/SchoolPages.h"

namespace gui {
class Button;
class ScrollBar;
class TextLabel;
}  // namespace gui

namespace scenes {

class SceneHost;

namespace school_message {
constexpr std::uint32_t kTopicChosen = 1061;  // a = the topic's step
constexpr std::uint32_t kIndexHidden = 1062;
}  // namespace school_message

class TutorialTopicRow;

class TutorialIndex : public gui::Dialog {
public:
    static constexpr int kWidth = 259;
    static constexpr int kHeight = 273;
    // Its place: this far from the parent's right and bottom edges; its category tabs stand out this
    // far left of it.
    static constexpr int kRightMargin = 10;
    static constexpr int kBottomMargin = 8;
    static constexpr int kTabsLeft = 81;
    static constexpr int kRows = 8;
    static constexpr std::uint32_t kHideId = 11;
    static constexpr std::uint32_t kScrollId = 12;
    static constexpr std::uint32_t kFirstTabId = 900;
    static constexpr std::uint32_t kFirstRowId = 1000;
    static constexpr std::uint32_t kCloseId = 2049;

    explicit TutorialIndex(SceneHost* host);

    // Tabs, title and rows from the topics and the stored progress.
    void Refresh();
    // Selects the topic holding `step` and scrolls it into view; the last page is ignored.
    void SelectStep(int step);
    // Shown in the bottom right corner, refreshed.
    void Open();
    bool OnCommand(const gui::CommandEvent& event) override;
    // The window and its rows at the window's alpha; the title at full strength over them.
    void DrawTree(gui::Painter& painter, int originX, int originY) override;

    int SelectedTopic() const { return selectedTopic_; }
    // The topic a row shows (-1 for an empty row) and the row's button.
    int RowTopic(int row) const;
    gui::Button* RowButton(int row) const;
    TutorialTopicRow* Row(int row) const { return rows_[static_cast<std::size_t>(row)]; }
    gui::ScrollBar* Scroll() const { return scroll_; }
    // A category tab and its caption (drawn beside the tab's bullet, not over it).
    gui::Button* Tab(int k) const { return tabs_[static_cast<std::size_t>(k)]; }
    const gui::TextLabel* TabCaption(int k) const { return tabCaptions_[static_cast<std::size_t>(k)]; }

private:
    std::uint32_t StoredProgress() const;
    void Hide();

    SceneHost* host_;
    platform::CriticalSection lock_;
    gui::TextLabel* title_ = nullptr;
    std::array<gui::Button*, school::kCategoryCount> tabs_{};
    std::array<gui::TextLabel*, school::kCategoryCount> tabCaptions_{};
    std::array<TutorialTopicRow*, kRows> rows_{};
    gui::ScrollBar* scroll_ = nullptr;
    int category_ = 0;
    int scrollPosition_ = 1;  // 1-based, as the scroll bar reports it
    int selectedTopic_ = -1;
};

}  // namespace scenes
