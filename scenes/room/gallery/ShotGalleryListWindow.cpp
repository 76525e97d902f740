#include "scenes/room/gallery/ShotGalleryListWindow.h"

#include <algorithm>
#include <ctime>

#include "engine/core/Format.h"
#include "gui/ComboBox.h"
#include "gui/GameTypeName.h"
#include "gui/ImageWidget.h"
#include "gui/NoticeBox.h"
#include "gui/TextLabel.h"
#include "scenes/front/FrontWidgets.h"
#include "scenes/room/gallery/GalleryCodes.h"

namespace scenes {

namespace {

constexpr std::uint32_t kYellow = 0xFFFFFF00;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kCentre = gui::align::kCenter | gui::align::kVCenter;
constexpr std::uint32_t kRight = gui::align::kRight | gui::align::kVCenter;
constexpr int kPageButtons = 10;

gui::TextLabel* RowLabel(gui::Widget& row, int x, int w, std::uint32_t argb,
                         std::uint32_t flags = gui::align::kLeft | gui::align::kVCenter) {
    return AddTextLine(row, x, 6, w, 14, {}, gui::kFont12Bold, flags, argb);
}

// Splits "Y-M-D" into its numbers; false unless it names a month 1..12 and a day 1..31.
bool ReadRowDate(const WString& text, int& year, int& month, int& day) {
    int parts[3] = {0, 0, 0};
    int index = 0;
    bool digits = false;
    for (char16_t c : text) {
        if (c >= u'0' && c <= u'9') {
            if (parts[index] < 100000) parts[index] = parts[index] * 10 + (c - u'0');
            digits = true;
        } else if (c == u'-' && digits && index < 2) {
            ++index;
            digits = false;
        } else {
            break;
        }
    }
    if (index != 2 || !digits) return false;
    if (parts[1] < 1 || parts[1] > 12 || parts[2] < 1 || parts[2] > 31) return false;
    year = parts[0], month = parts[1], day = parts[2];
    return true;
}

}  // namespace

ShotListRow::ShotListRow() = default;

bool ShotListRow::Create(int x, int y, int w, int h, std::uint32_t id, std::uint32_t hotkey) {
    if (!gui::Button::Create(x, y, w, h, id, hotkey)) return false;
    // Side by side inside the row, the prize at its right end: the row spans the window but for
    // its margins, so nothing reaches over the window's edge.
    number_ = RowLabel(*this, 2, 40, kYellow, kRight);
    gameType_ = RowLabel(*this, 48, 90, kYellow);
    title_ = RowLabel(*this, 142, 116, kWhite);
    nickname_ = RowLabel(*this, 262, 70, kWhite, kCentre);
    date_ = RowLabel(*this, 334, 68, kWhite, kCentre);
    points_ = RowLabel(*this, 404, 30, kWhite, kRight);
    prizeIcon_ = AddImage(440, 2, 18, 18, gui::UiImage{});
    prize_ = AddTextLine(*this, 460, 6, kWidth - 462, 14, {}, gui::kFont12Bold, kRight, kYellow);
    prizeIcon_->SetVisible(false);
    prize_->SetVisible(false);
    return true;
}

void ShotListRow::SetData(const ShotListRowData& data) {
    data_ = data;
    // Texts wider than their column end in "...".
    number_->SetFittedText(Format(u"%d", data.number));
    gameType_->SetFittedText(Format(u"[%s]", WString(gui::GameTypeName(data.gameType))));
    title_->SetFittedText(data.title);
    nickname_->SetFittedText(data.nickname);
    date_->SetFittedText(data.date);
    points_->SetFittedText(Format(u"%d", data.points));
    prizeIcon_->SetVisible(false);
    prize_->SetVisible(false);
}

void ShotListRow::ShowPrize(std::int32_t amount) {
    if (amount <= 0) return;
    prize_->SetFittedText(FormatNumber(amount));
    prize_->SetVisible(true);
    prizeIcon_->SetVisible(true);
}

PageBlock ComputePageBlock(std::int32_t totalPages, std::int32_t reportedPage, std::int32_t requestedPage) {
    PageBlock block;
    if (totalPages <= kPageButtons) {
        for (int i = 0; i < kPageButtons; ++i) {
            block.captions[static_cast<std::size_t>(i)] = i + 1;
            block.shown[static_cast<std::size_t>(i)] = i < totalPages;
            if (i + 1 == requestedPage) block.selected = i;
        }
        return block;
    }
    // 64-bit so that a hostile reported page cannot overflow; the block stays inside 1..total.
    std::int64_t start = ((std::int64_t{reportedPage} - 1) / kPageButtons) * kPageButtons + 1;
    start = std::clamp<std::int64_t>(start, 1, totalPages);
    block.first = static_cast<std::int32_t>(start);
    for (int i = 0; i < kPageButtons; ++i) {
        const std::int64_t page = start + i;
        block.captions[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(page);
        block.shown[static_cast<std::size_t>(i)] = page <= totalPages;
        if (page == requestedPage) block.selected = i;
    }
    block.backEnabled = start > 1;
    block.forwardEnabled = start + kPageButtons < totalPages;
    return block;
}

ShotGalleryListWindow::ShotGalleryListWindow(const GalleryClient& client) : client_(client) {
    SetUpDialog(*this, kWidth, kHeight, u"Shot Gallery", false);
    for (int i = 0; i < gallery::kListRows; ++i) {
        ShotListRow* row = Make<ShotListRow>();
        row->Create(10, 83 + 26 * i, ShotListRow::kWidth, ShotListRow::kHeight,
                    gallery::kFirstRow + static_cast<std::uint32_t>(i));
        row->SetVisible(false);
        rows_[static_cast<std::size_t>(i)] = row;
    }
    reading_ = AddTextLine(*this, 200, 190, 200, 20, u"List is being read.", gui::kFont12Bold);
    noBest_ = AddTextLine(*this, 170, 190, 250, 20, u"There is no daily best shot.", gui::kFont12Bold);
    noBest_->SetVisible(false);
    unreachable_ =
        AddTextLine(*this, 0, 190, kWidth, 20, gallery::kUnreachableText, gui::kFont12Bold, kCentre);
    unreachable_->SetVisible(false);
    todaysBest_ = AddTextLine(*this, 360, 10, 140, 20, u"Today's Best", gui::kFont14Bold);
    todaysBest_->SetVisible(false);
    pageLine_ = AddTextLine(*this, 380, 10, 140, 20, {}, gui::kFont12Bold);
    pageLine_->SetVisible(false);
    for (int i = 0; i < kPageButtons; ++i) {
        gui::Button* b =
            AddTextButton(*this, 200 + 24 * i, 361, 19, 19,
                          gallery::kFirstPageButton + static_cast<std::uint32_t>(i), Format(u"%d", i + 1));
        b->SetRadioMode(0);
        pageButtons_[static_cast<std::size_t>(i)] = b;
    }
    gui::Button* best = AddTextButton(*this, 20, 360, 98, 22, gallery::kBestShotsId, u"Best");
    best->SetTooltip(u"Today's Best shot");
    const struct {
        std::uint32_t id;
        int x;
        const char16_t* caption;
    } blocks[] = {{gallery::kBlockForward100, 478, u">>"},
                  {gallery::kBlockForward10, 453, u">"},
                  {gallery::kBlockBack10, 170, u"<"},
                  {gallery::kBlockBack100, 145, u"<<"}};
    for (std::size_t i = 0; i < 4; ++i)
        blockButtons_[i] = AddTextButton(*this, blocks[i].x, 359, 21, 21, blocks[i].id, blocks[i].caption);

    // Each list wide enough for its longest item beside its arrow.
    datePanel_ = AddPanel(10, 390, 320, 30);
    AddTextLine(*datePanel_, 10, 5, 40, 20, u"Year:", gui::kFont12Bold);
    AddTextLine(*datePanel_, 122, 5, 48, 20, u"Month:", gui::kFont12Bold);
    AddTextLine(*datePanel_, 222, 5, 34, 20, u"Day:", gui::kFont12Bold);
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    dateLists_[0] = AddChoice(*datePanel_, 50, 5, 62, gallery::kYearList, {u"2007", u"2008", u"2009"}, 2);
    dateLists_[1] = datePanel_->AddComboBox(172, 5, 44, 20, gallery::kMonthList);
    dateLists_[2] = datePanel_->AddComboBox(258, 5, 44, 20, gallery::kDayList);
    for (int which = 1; which <= 2; ++which) {
        const int count = which == 1 ? 12 : 31;
        gui::ComboBox* list = dateLists_[static_cast<std::size_t>(which)];
        list->CreateItems(count);
        for (int n = 1; n <= count; ++n) list->AddItem(Format(u"%d", n));
    }
    SelectDate(local.tm_mon + 1, local.tm_mday);
}

gui::Widget* ShotGalleryListWindow::BlockButton(std::uint32_t id) const {
    if (id < gallery::kBlockForward100 || id > gallery::kBlockBack100) return nullptr;
    return blockButtons_[id - gallery::kBlockForward100];
}

gui::Widget* ShotGalleryListWindow::DatePanel() const {
    return datePanel_;
}

void ShotGalleryListWindow::SelectDate(int month, int day) {
    if (month >= 1 && month <= 12) dateLists_[1]->Select(month - 1);
    if (day >= 1 && day <= 31) dateLists_[2]->Select(day - 1);
}

void ShotGalleryListWindow::Reset() {
    page_ = 0;
    first_ = 1;
    year_ = month_ = day_ = 0;
    selectedRow_ = -1;
}

void ShotGalleryListWindow::OnShow() {
    gui::Dialog::OnShow();
    CenterOnScreen();
    Refresh();
}

bool ShotGalleryListWindow::FetchShotList() {
    ShotList list;
    if (!client_.FetchShotList(page_, year_, month_, day_, list)) return false;
    totalPages_ = list.totalPages;
    currentPage_ = list.currentPage;
    rowCount_ = list.rowCount;
    if (rowCount_ < 1) return true;
    const int filled = static_cast<int>(list.rows.size());
    for (int i = 0; i < filled; ++i) {
        ShotListRow* row = rows_[static_cast<std::size_t>(i)];
        row->SetData(list.rows[static_cast<std::size_t>(i)]);
        if (page_ == 0 && i < 3) row->ShowPrize(gallery::kPrizes[i]);
        row->SetVisible(true);
    }
    // The best-shots page tells the date it shows through its last row; a date the lists cannot
    // show leaves the filter as it was.
    if (page_ == 0 && filled > 0) {
        int year = 0, month = 0, day = 0;
        if (ReadRowDate(list.rows[static_cast<std::size_t>(filled - 1)].date, year, month, day)) {
            year_ = year, month_ = month, day_ = day;
            SelectDate(month, day);
        }
    }
    ClearRowSelection();
    for (int i = filled; i < gallery::kListRows; ++i) rows_[static_cast<std::size_t>(i)]->SetVisible(false);
    return true;
}

void ShotGalleryListWindow::Refresh() {
    blockButtons_[gallery::kBlockBack10 - gallery::kBlockForward100]->SetEnabled(false);
    blockButtons_[gallery::kBlockForward10 - gallery::kBlockForward100]->SetEnabled(false);
    datePanel_->SetVisible(page_ == 0);
    reading_->SetVisible(true);
    rowCount_ = 0;
    for (ShotListRow* row : rows_) row->SetVisible(false);
    const bool fetched = FetchShotList();
    reading_->SetVisible(false);
    unreachable_->SetVisible(!fetched);
    if (page_ == 0) {
        todaysBest_->SetVisible(true);
        pageLine_->SetVisible(false);
        noBest_->SetVisible(fetched && rowCount_ == 0);
    } else {
        todaysBest_->SetVisible(false);
        noBest_->SetVisible(false);
        pageLine_->SetText(u"Page : %d", currentPage_);
        pageLine_->SetVisible(true);
    }
    const PageBlock block = ComputePageBlock(totalPages_, currentPage_, page_);
    first_ = block.first;
    for (int i = 0; i < kPageButtons; ++i) {
        gui::Button* b = pageButtons_[static_cast<std::size_t>(i)];
        b->SetCaption(Format(u"%d", block.captions[static_cast<std::size_t>(i)]));
        b->SetVisible(block.shown[static_cast<std::size_t>(i)]);
        b->SetChecked(i == block.selected);
    }
    blockButtons_[gallery::kBlockBack10 - gallery::kBlockForward100]->SetEnabled(block.backEnabled);
    blockButtons_[gallery::kBlockForward10 - gallery::kBlockForward100]->SetEnabled(block.forwardEnabled);
}

void ShotGalleryListWindow::SelectPageButton(int index) {
    for (int i = 0; i < kPageButtons; ++i) pageButtons_[static_cast<std::size_t>(i)]->SetChecked(i == index);
}

void ShotGalleryListWindow::ClearRowSelection() {
    for (ShotListRow* row : rows_) row->SetChecked(false);
}

void ShotGalleryListWindow::MoveBlock(std::int32_t page, bool allowed) {
    if (!allowed) return;
    page_ = page;
    SelectPageButton(0);
    Refresh();
}

bool ShotGalleryListWindow::OnCommand(const gui::CommandEvent& event) {
    if (event.code != gui::CommandCode::Event) return true;
    const std::uint32_t id = event.source ? event.source->Id() : event.id;
    const std::int64_t first = first_, total = totalPages_;
    switch (id) {
        case gallery::kBlockForward100:
            MoveBlock(static_cast<std::int32_t>(first + 100), first + 100 <= total);
            return true;
        case gallery::kBlockForward10:
            MoveBlock(static_cast<std::int32_t>(first + 10), first + 10 <= total);
            return true;
        case gallery::kBlockBack10:
            MoveBlock(static_cast<std::int32_t>(first - 10), first - 10 >= 1);
            return true;
        case gallery::kBlockBack100:
            MoveBlock(static_cast<std::int32_t>(first - 100), first - 100 >= 1);
            return true;
        case gallery::kBestShotsId:
            page_ = 0;
            year_ = 0;
            SelectPageButton(-1);
            Refresh();
            return true;
        case gallery::kYearList:
        case gallery::kMonthList:
        case gallery::kDayList:
            ApplyDateFilter();
            return true;
        default:
            break;
    }
    if (id >= gallery::kFirstPageButton && id < gallery::kFirstPageButton + kPageButtons) {
        const int index = static_cast<int>(id - gallery::kFirstPageButton);
        const std::int32_t page = static_cast<std::int32_t>(
            std::min<std::int64_t>(std::max<std::int64_t>(first + index, 1), total));
        if (page != page_) ClearRowSelection();
        page_ = page;
        SelectPageButton(index);
        Refresh();
        return true;
    }
    if (id >= gallery::kFirstRow && id < gallery::kFirstRow + gallery::kListRows) {
        const int index = static_cast<int>(id - gallery::kFirstRow);
        for (int i = 0; i < gallery::kListRows; ++i)
            if (i != index) rows_[static_cast<std::size_t>(i)]->SetChecked(false);
        Show(false);
        selectedRow_ = index;
        gui::NoticeBox::Post(
            gallery::kOpenShotMessage,
            static_cast<std::uint32_t>(rows_[static_cast<std::size_t>(index)]->Data().shotSeq), 0, 0);
    }
    return true;
}

void ShotGalleryListWindow::ApplyDateFilter() {
    year_ = ReadGalleryNumber(ToUtf8(dateLists_[0]->SelectedText()));
    month_ = ReadGalleryNumber(ToUtf8(dateLists_[1]->SelectedText()));
    day_ = ReadGalleryNumber(ToUtf8(dateLists_[2]->SelectedText()));
    page_ = 0;
    SelectPageButton(-1);
    Refresh();
}

}  // namespace scenes
