#pragma once
// The engine's log: one global object, printf-style wide formats (see Format.h), each line
// prefixed with the local time "%02d:%02d:%02d ". Callers hand lines to a pool of records; a writer
// thread puts them into the file, in the order the calls took effect across all threads. The text
// is written as given: formats carry their own "\n".

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "engine/core/Format.h"

class LogSystem {
public:
    static constexpr int kDefaultPoolRecords = 100;

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
    // Blocks until every line written so far is in the file.
    void Flush();
    bool IsStarted() const;

    template <class... A>
    void Write(WStringView format, const A&... args) {
        WriteLine(Format(format, args...));
    }
    void WriteLine(const WString& text);

    // Path of the log file (empty before Start).
    std::string FilePath() const;

    // Tests: every line, prefix included, also goes to this observer, called on the writing
    // thread in line order. The observer must not write to the log itself.
    void SetObserver(std::function<void(const std::string& utf8Line)> observer);

    struct Impl;

private:
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
