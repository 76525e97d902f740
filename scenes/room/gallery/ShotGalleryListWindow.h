#pragma once
// The shot gallery's list window: the saved shots page by page, or the best shots of one day with
// their ranks and prizes. Picking a row hides the window and posts 1095 with the shot's sequence
// number; the scene then opens it in the shot window. A failed fetch says that the gallery could
// not be reached, never that the list is empty. Main thread only; a fetch blocks it, bounded by the
// gallery client's timeouts.

#include <array>
#include <cstdint>

#include "gui/Button.h"
#include "gui/Dialog.h"
#include "scenes/room/gallery/GalleryService.h"

namespace gui {
class ComboBox;
class ImageWidget;
class TextLabel;
class Panel;
}  // namespace gui

namespace scenes {

class ShotListRow : public gui::Button {
public:
    static constexpr int kWidth = 522;
    static constexpr int kHeight = 23;

    ShotListRow();
    bool Create(int x, int y, int w, int h, std::uint32_t id = 0, std::uint32_t hotkey = 0) override;
    // Shows the values and hides the prize. Game types the client does not know show "[]".
    void SetData(const ShotListRowData& data);
    // Shows the amount thousands-separated with the prize icon when above 0.
    void ShowPrize(std::int32_t amount);

    const ShotListRowData& Data() const { return data_; }
    const gui::TextLabel* NumberLabel() const { return number_; }
    const gui::TextLabel* GameTypeLabel() const { return gameType_; }
    const gui::TextLabel* PrizeLabel() const { return prize_; }

private:
    ShotListRowData data_;
    gui::TextLabel* number_ = nullptr;
    gui::TextLabel* gameType_ = nullptr;
    gui::TextLabel* title_ = nullptr;
    gui::TextLabel* nickname_ = nullptr;
    gui::TextLabel* date_ = nullptr;
    gui::TextLabel* points_ = nullptr;
    gui::ImageWidget* prizeIcon_ = nullptr;
    gui::TextLabel* prize_ = nullptr;
};

// The ten page buttons for a list of `totalPages` of which the server reported `reportedPage`, with
// `requestedPage` asked for.
struct PageBlock {
    std::int32_t first = 1;  // page number of the first button
    std::array<std::int32_t, 10> captions{};
    std::array<bool, 10> shown{};
    std::int32_t selected = -1;   // button index, or -1 for none
    bool backEnabled = false;     // 297
    bool forwardEnabled = false;  // 296
};
PageBlock ComputePageBlock(std::int32_t totalPages, std::int32_t reportedPage, std::int32_t requestedPage);

class ShotGalleryListWindow : public gui::Dialog {
public:
    static constexpr int kWidth = 542;
    static constexpr int kHeight = 429;
    static constexpr int kFirstYear = 2007;
    static constexpr int kYearCount = 3;

    // `client` outlives the window.
    explicit ShotGalleryListWindow(const GalleryClient& client);

    // Page 0 (best shots), first page 1, no date, no selected row.
    void Reset();
    void OnShow() override;
    void Refresh();
    bool OnCommand(const gui::CommandEvent& event) override;
    // Reads the list for the page and date; true when a reply was read and parsed.
    bool FetchShotList();
    void ApplyDateFilter();
    // Sets the date lists' selection (month and day 1-based; the year list keeps its own).
    void SelectDate(int month, int day);

    std::int32_t Page() const { return page_; }
    std::int32_t FirstPage() const { return first_; }
    std::int32_t TotalPages() const { return totalPages_; }
    std::int32_t CurrentPage() const { return currentPage_; }
    std::int32_t RowCount() const { return rowCount_; }
    int SelectedRow() const { return selectedRow_; }
    int Year() const { return year_; }
    int Month() const { return month_; }
    int Day() const { return day_; }
    ShotListRow* Row(int index) const { return rows_[static_cast<std::size_t>(index)]; }
    gui::Button* PageButton(int index) const { return pageButtons_[static_cast<std::size_t>(index)]; }
    gui::Widget* BlockButton(std::uint32_t id) const;
    const gui::TextLabel* PageLine() const { return pageLine_; }
    const gui::TextLabel* NoBestLine() const { return noBest_; }
    const gui::TextLabel* UnreachableLine() const { return unreachable_; }
    const gui::TextLabel* TodaysBest() const { return todaysBest_; }
    gui::Widget* DatePanel() const;
    gui::ComboBox* DateList(int which) const { return dateLists_[static_cast<std::size_t>(which)]; }

private:
    void SelectPageButton(int index);
    void ClearRowSelection();
    void MoveBlock(std::int32_t page, bool allowed);

    const GalleryClient& client_;
    std::int32_t page_ = 0;
    std::int32_t first_ = 1;
    std::int32_t totalPages_ = 0;
    std::int32_t currentPage_ = 0;
    std::int32_t rowCount_ = 0;
    int selectedRow_ = -1;
    int year_ = 0, month_ = 0, day_ = 0;
    std::array<ShotListRow*, 10> rows_{};
    std::array<gui::Button*, 10> pageButtons_{};
    std::array<gui::Button*, 4> blockButtons_{};  // 295..298
    std::array<gui::ComboBox*, 3> dateLists_{};   // year, month, day
    gui::Panel* datePanel_ = nullptr;
    gui::TextLabel* reading_ = nullptr;
    gui::TextLabel* noBest_ = nullptr;
    gui::TextLabel* unreachable_ = nullptr;
    gui::TextLabel* todaysBest_ = nullptr;
    gui::TextLabel* pageLine_ = nullptr;
};

}  // namespace scenes
