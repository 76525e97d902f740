#pragma once
// The chat word filter: banned words (from the "Lang" resource's word list) are masked with '*' in chat
// lines, matched without regard to ASCII case.

#include <vector>

#include "engine/core/Text.h"
#include "platform/sys/CriticalSection.h"

namespace net {

class ChatFilter {
public:
    void AddWord(WStringView word);
    // Reads a word list: one word per line, blank lines and lines starting with '#' skipped.
    // Returns the number of words added.
    int LoadWordList(WStringView text);
    void Clear();
    int WordCount() const;
    // The line with every banned word masked.
    WString Filter(WStringView line) const;
    bool Contains(WStringView line) const;

private:
    mutable platform::CriticalSection lock_;
    std::vector<WString> words_;  // folded to lower case
};

// The process-wide filter whose list is freed at exit.
ChatFilter& GetChatFilter();

}  // namespace net
