#include "net/ChatFilter.h"

namespace net {

namespace {
char16_t Fold(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

WString FoldAll(WStringView text) {
    WString out(text);
    for (char16_t& c : out) c = Fold(c);
    return out;
}

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == 0xFEFF;
}
}  // namespace

void ChatFilter::AddWord(WStringView word) {
    while (!word.empty() && IsBlank(word.front())) word.remove_prefix(1);
    while (!word.empty() && IsBlank(word.back())) word.remove_suffix(1);
    if (word.empty()) return;
    platform::ScopedLock lock(lock_);
    words_.push_back(FoldAll(word));
}

int ChatFilter::LoadWordList(WStringView text) {
    int added = 0;
    while (!text.empty()) {
        const auto end = text.find(u'\n');
        WStringView line = text.substr(0, end);
        text = end == WStringView::npos ? WStringView() : text.substr(end + 1);
        while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
        if (line.empty() || line.front() == u'#') continue;
        const int before = WordCount();
        AddWord(line);
        added += WordCount() - before;
    }
    return added;
}

void ChatFilter::Clear() {
    platform::ScopedLock lock(lock_);
    words_.clear();
}

int ChatFilter::WordCount() const {
    platform::ScopedLock lock(lock_);
    return static_cast<int>(words_.size());
}

WString ChatFilter::Filter(WStringView line) const {
    WString out(line);
    const WString folded = FoldAll(line);
    platform::ScopedLock lock(lock_);
    for (const WString& word : words_)
        for (auto at = folded.find(word); at != WString::npos; at = folded.find(word, at + 1))
            for (std::size_t i = 0; i < word.size(); ++i) out[at + i] = u'*';
    return out;
}

bool ChatFilter::Contains(WStringView line) const {
    const WString folded = FoldAll(line);
    platform::ScopedLock lock(lock_);
    for (const WString& word : words_)
        if (folded.find(word) != WString::npos) return true;
    return false;
}

ChatFilter& GetChatFilter() {
    static ChatFilter filter;
    return filter;
}

}  // namespace net
