#include "gui/NoticeBox.h"

#include <mutex>

namespace gui {

namespace {
std::mutex gHooksMutex;
NoticeBox::Poster gPoster;
std::function<void(const WString&)> gJournal;
}  // namespace

NoticeBox::NoticeBox() {
    SetSize(kWidth, kHeight);
}

void NoticeBox::Reset() {
    for (WString& line : lines_) line.clear();
    result_ = kDefaultResult;
    layout_ = 0;
}

void NoticeBox::SetLine(int index, const WString& text) {
    if (index >= 0 && index < kLineCount) lines_[static_cast<std::size_t>(index)] = text;
}

const WString& NoticeBox::Line(int index) const {
    static const WString kEmpty;
    if (index < 0 || index >= kLineCount) return kEmpty;
    return lines_[static_cast<std::size_t>(index)];
}

void NoticeBox::Show(bool visible) {
    const bool wasVisible = IsVisible();
    Panel::Show(visible);
    if (!visible || wasVisible) return;
    WString line = u"BOX " + caption_;
    for (const WString& text : lines_) {
        if (!text.empty()) line += u"|" + text;
    }
    std::function<void(const WString&)> journal;
    {
        std::lock_guard lock(gHooksMutex);
        journal = gJournal;
    }
    if (journal) journal(line);
}

void NoticeBox::Press(int button) {
    Show(false);
    Poster poster;
    {
        std::lock_guard lock(gHooksMutex);
        poster = gPoster;
    }
    if (poster) poster(result_, kFirstButtonId + static_cast<std::uint32_t>(button), 0, 0);
}

void NoticeBox::SetPoster(Poster poster) {
    std::lock_guard lock(gHooksMutex);
    gPoster = std::move(poster);
}

void NoticeBox::SetJournal(std::function<void(const WString& line)> journal) {
    std::lock_guard lock(gHooksMutex);
    gJournal = std::move(journal);
}

}  // namespace gui
