#pragma once
// The engine's log: one global object, printf-style wide formats (see Format.h), each line
// prefixed with the local time "%02d:%02d:%02d ". Lines are written in the order Write was called.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "engine/core/Format.h"

class LogSystem {
public:
    LogSystem();
    ~LogSystem();
    LogSystem(const LogSystem&) = delete;
    LogSystem& operator=(const LogSystem&) = delete;

    // Starts the log `name` (file "<folder>/<name>.log"). poolRecords bounds the lines queued for
    // the writer; singleFile keeps one file instead of one per day. The file is created on the first
    // line written, so a start that writes nothing never truncates another process's log.
    bool Start(const WString& name, int poolRecords, bool singleFile);
    void SetFolder(const WString& folder);
    // Writes every queued line and closes the file.
    void Stop();
    // Blocks until every line written so far is in the file.
    void Flush();

    template <class... A>
    void Write(WStringView format, const A&... args) {
        WriteLine(Format(format, args...));
    }
    void WriteLine(const WString& text);

    // Path of the log file (empty before Start).
    std::string FilePath() const;

    // Tests: every line also goes to this observer (called on the writing thread).
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
