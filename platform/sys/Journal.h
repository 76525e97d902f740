#pragma once
// The journal: one UTF-8 line per observable event of the user interface, appended to the file
// named by MARVENLOT_JOURNAL, so that a run can be checked from outside. Lines are written whole
// with one append each (no line is ever split or interleaved) and are on disk when Write returns.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

namespace platform {

class Journal {
public:
    // Appends one line. Line breaks inside it become blanks, so one event stays one line.
    // Does nothing when no journal file is configured.
    static void Write(std::string_view line);
    static bool Enabled();
    // Switches to another file (empty: off). Start-up reads MARVENLOT_JOURNAL on the first Write;
    // tests call this to point the journal at a file of their own.
    static bool Open(const std::string& path);

    // In-process observers see every line (with or without a file), in the order written, with
    // its number: the count of lines written in this process so far. They are called under the
    // journal's lock, so they must be quick and must neither write to the journal nor unsubscribe.
    using Observer = std::function<void(std::uint64_t sequence, std::string_view line)>;
    static std::uint64_t Subscribe(Observer observer);  // returns the id to unsubscribe with
    static void Unsubscribe(std::uint64_t id);
    // Number of the last line written (0 before the first).
    static std::uint64_t Sequence();
};

// "SCENE <id>" when a scene becomes current.
void JournalScene(int id);
// "BOX <caption>|<line 1>|<line 2>..." when a notice or error box shows.
void JournalBox(std::string_view caption, std::initializer_list<std::string_view> lines);
// The same for a box text whose lines are separated by CR, LF or CRLF; empty lines are left out.
void JournalBoxText(std::string_view caption, std::string_view text);
// "CHAT 0x<AARRGGBB> <text>" for a chat or event line.
void JournalChat(std::uint32_t argb, std::string_view text);
// "SOUND <id>" when a sound plays.
void JournalSound(int id);

}  // namespace platform
