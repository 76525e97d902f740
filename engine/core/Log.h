#pragma once
// The engine's log: one global object, printf-style wide formats (see Format.h), each line
// prefixed with the local time "%02d:%02d:%02d ". Callers hand lines to a pool of records; a writer
// thread puts them into the file, in the order the calls took effect across all threads. The text
// is written as given: formats carry their own "\n".
//
// Lines written with a format are limited per format, so that a flood of one kind of line (a
// malformed message per frame, a dropped post per message) cannot fill the disk: in each window of
// kLimitWindowMs (platform clock) the first kLimitBurst lines of a format are written and the rest
// only counted. The count goes into one summary line once the window is over (written before the
// next line of any format, and at Flush and Stop):
// "WARNING : <n> more lines like "<format>" were left out of the log".

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "engine/core/Format.h"

class LogSystem {
public:
    static constexpr int kDefaultPoolRecords = 100;
    static constexpr int kLimitBurst = 10;
    static constexpr std::uint64_t kLimitWindowMs = 10000;
    // Formats tracked one by one; lines of further formats share one budget.
    static constexpr std::size_t kLimitFormats = 1024;

    LogSystem();
    ~LogSystem();  // stops the log: queued lines are written first
    LogSystem(const LogSystem&) = delete;
    LogSystem& operator=(const LogSystem&) = delete;

    // Starts the log `name` and its writer thread. poolRecords bounds the lines queued for the
    // writer (a caller waits for a free record when all are queued; 0 or less means the default).
    // singleFile writes "<folder>/<name>.log", replaced by each run; otherwise one file per day,
    // "<folder>/<name>_YYYYMMDD.log", appended to. The file is created on the first line written,
    // so a start that writes nothing never truncates another process's log. A started log is
    // stopped and started again with the new settings.
    bool Start(const WString& name, int poolRecords, bool singleFile);
    // Folder of the log file ("." by default); takes effect when the file is next opened.
    void SetFolder(const WString& folder);
    // Writes every queued line, ends the writer thread and closes the file. Lines written after
    // Stop reach only the observer.
    void Stop();
    // Writes the summaries of the lines left out so far, then blocks until every line written so far
    // is in the file.
    void Flush();
    bool IsStarted() const;

    // A line of `format`, unless its format is over its budget (see above): then only counted.
    template <class... A>
    void Write(WStringView format, const A&... args) {
        if (Admit(format)) WriteLine(Format(format, args...));
    }
    // A line as given, never limited (for lines that must reach the file, such as BREAK).
    void WriteLine(const WString& text);
    // The budget of every format: `burst` lines per window of `windowMs`; a burst of 0 or less
    // writes every line.
    void SetLimit(int burst, std::uint64_t windowMs);
    // Lines of this format left out of the log since the process started (or the last ResetLimits).
    std::uint64_t LeftOut(WStringView format) const;
    // Writes the summaries of the lines left out so far, then forgets every format's budget and counts
    // and goes back to the default limit, as the log of a new process (the test suite runs many
    // cases in one process).
    void ResetLimits();

    // Path of the log file (empty before Start).
    std::string FilePath() const;

    // Tests: every line, prefix included, also goes to this observer, called on the writing
    // thread in line order. The observer must not write to the log itself.
    void SetObserver(std::function<void(const std::string& utf8Line)> observer);

    struct Impl;

private:
    // Counts a line of `format` against its budget; false when it is to be left out. Writes the
    // summaries that fell due first.
    bool Admit(WStringView format);
    void WriteSummaries();

    std::unique_ptr<Impl> impl_;
};

LogSystem& GetLog();

template <class... A>
void LogWrite(WStringView format, const A&... args) {
    GetLog().Write(format, args...);
}

// A fatal programming error: writes "BREAK : <file>  <line>\n" to the log, then flushes the log
// and aborts the process. With a break handler installed (tests) the handler is called instead
// and LogBreak returns, so callers return right after it.
void LogBreak(std::string_view sourceFile, int line);
using LogBreakHandler = std::function<void(std::string_view sourceFile, int line)>;
// Installs the handler; an empty function restores the abort.
void SetLogBreakHandler(LogBreakHandler handler);

#define LOG_BREAK() LogBreak(__FILE__, __LINE__)
