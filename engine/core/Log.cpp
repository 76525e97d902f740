#include "engine/core/Log.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/sys/Clock.h"
#include "platform/sys/RegularFile.h"
#include "platform/sys/Thread.h"

namespace {

// Wall-clock time of day for the prefix; the platform clock measures intervals only.
std::tm LocalNow() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

constexpr std::uint64_t kNever = std::numeric_limits<std::uint64_t>::max();

struct FormatHash {
    using is_transparent = void;
    std::size_t operator()(WStringView text) const { return std::hash<WStringView>{}(text); }
};

// One format's share of the log in the current window.
struct Budget {
    std::uint64_t windowStartMs = 0;
    int written = 0;
    std::uint64_t leftOut = 0;  // in this window, not yet summarised
    std::uint64_t leftOutTotal = 0;
};

WString SummaryLine(WStringView format, std::uint64_t leftOut) {
    while (!format.empty() && (format.back() == u'\n' || format.back() == u'\r')) format.remove_suffix(1);
    return Format(u"WARNING : %I64u more lines like \"%s\" were left out of the log\n", leftOut, format);
}

}  // namespace

struct LogSystem::Impl {
    std::mutex mutex;
    std::condition_variable queued;   // the writer waits for lines
    std::condition_variable freed;    // callers wait for a free record
    std::condition_variable written;  // Flush waits for the writer

    std::string folder = ".";
    std::string name;
    bool singleFile = true;
    std::string openedPath;
    FILE* file = nullptr;
    bool openFailed = false;

    bool started = false;
    bool stopping = false;
    platform::Thread writer;

    // The pool: fixed records, free ones listed in freeList, queued ones in a ring of indices.
    std::vector<std::string> records;
    std::vector<std::size_t> freeList;
    std::vector<std::size_t> ring;
    std::size_t head = 0;
    std::size_t count = 0;

    std::uint64_t enqueued = 0;
    std::uint64_t flushed = 0;

    std::function<void(const std::string&)> observer;

    // The budgets of the formats, under their own lock: a refused line takes nothing else.
    mutable std::mutex limitMutex;
    std::unordered_map<WString, Budget, FormatHash, std::equal_to<>> budgets;
    Budget otherFormats;
    std::uint64_t nextSummaryMs = kNever;
    int burst = kLimitBurst;
    std::uint64_t windowMs = kLimitWindowMs;

    Budget& BudgetFor(WStringView format, std::uint64_t nowMs) {
        if (auto it = budgets.find(format); it != budgets.end()) return it->second;
        if (budgets.size() >= kLimitFormats) return otherFormats;
        Budget& budget = budgets.emplace(WString(format), Budget{}).first->second;
        budget.windowStartMs = nowMs;
        return budget;
    }

    // Summary lines of the budgets whose window is over (every budget when `all`); their counts start
    // again from zero.
    void CollectSummaries(std::uint64_t nowMs, bool all, std::vector<WString>& out) {
        nextSummaryMs = kNever;
        auto visit = [&](WStringView format, Budget& budget) {
            if (budget.leftOut == 0) return;
            const std::uint64_t end = budget.windowStartMs + windowMs;
            if (all || nowMs >= end || nowMs < budget.windowStartMs) {
                out.push_back(SummaryLine(format, budget.leftOut));
                budget.leftOut = 0;
            } else {
                nextSummaryMs = std::min(nextSummaryMs, end);
            }
        };
        for (auto& [format, budget] : budgets) visit(format, budget);
        visit(u"(other formats)", otherFormats);
    }

    std::string PathFor(const std::tm& day) const {
        if (name.empty()) return {};
        if (singleFile) return folder + "/" + name + ".log";
        char date[48];
        std::snprintf(date, sizeof date, "_%04d%02d%02d", day.tm_year + 1900, day.tm_mon + 1, day.tm_mday);
        return folder + "/" + name + date + ".log";
    }

    // Runs on the writer thread, outside the lock; only the writer touches `file` while it runs.
    // pathToOpen is set when the file is not open yet.
    bool WriteBatch(const std::vector<std::size_t>& batch, const std::string& pathToOpen) {
        if (!file && !pathToOpen.empty()) {
            int error = 0;
            file = platform::OpenRegularFileStream(pathToOpen, singleFile ? "wb" : "ab", error);
            if (!file)
                std::fprintf(stderr, "log: cannot open %s (%s)\n", pathToOpen.c_str(),
                             platform::FileErrorText(error).c_str());
        }
        if (!file) return false;
        for (std::size_t index : batch) std::fwrite(records[index].data(), 1, records[index].size(), file);
        std::fflush(file);
        return true;
    }

    void WriterLoop() {
        std::vector<std::size_t> batch;
        std::unique_lock lock(mutex);
        for (;;) {
            queued.wait(lock, [&] { return count > 0 || stopping; });
            if (count == 0) break;
            batch.clear();
            for (; count > 0; --count) {
                batch.push_back(ring[head]);
                head = (head + 1) % ring.size();
            }
            const bool opening = !file && !openFailed;
            const std::string pathToOpen = opening ? PathFor(LocalNow()) : std::string();
            // The records in the batch belong to the writer until they return to the free list.
            lock.unlock();
            const bool ok = WriteBatch(batch, pathToOpen);
            lock.lock();
            if (opening) {
                // A file that cannot be opened is reported once; its lines are then dropped.
                openFailed = !ok;
                if (ok) openedPath = pathToOpen;
            }
            for (std::size_t index : batch) freeList.push_back(index);
            flushed += batch.size();
            freed.notify_all();
            written.notify_all();
        }
    }
};

LogSystem::LogSystem() : impl_(std::make_unique<Impl>()) {}

LogSystem::~LogSystem() {
    Stop();
}

bool LogSystem::Start(const WString& name, int poolRecords, bool singleFile) {
    Stop();
    Impl& d = *impl_;
    std::lock_guard lock(d.mutex);
    const std::size_t size = poolRecords > 0 ? static_cast<std::size_t>(poolRecords) : kDefaultPoolRecords;
    d.name = ToUtf8(name);
    d.singleFile = singleFile;
    d.records.assign(size, std::string());
    d.freeList.clear();
    for (std::size_t i = size; i > 0; --i) d.freeList.push_back(i - 1);
    d.ring.assign(size, 0);
    d.head = d.count = 0;
    d.enqueued = d.flushed = 0;
    d.openFailed = false;
    d.openedPath.clear();
    d.stopping = false;
    if (!d.writer.Start("log writer", [&d] { d.WriterLoop(); })) return false;
    d.started = true;
    return true;
}

void LogSystem::SetFolder(const WString& folder) {
    std::lock_guard lock(impl_->mutex);
    impl_->folder = folder.empty() ? "." : ToUtf8(folder);
}

void LogSystem::Stop() {
    Impl& d = *impl_;
    WriteSummaries();
    {
        std::lock_guard lock(d.mutex);
        if (!d.started) return;
        d.started = false;
        d.stopping = true;
    }
    d.queued.notify_all();
    d.freed.notify_all();
    d.writer.Join();
    std::lock_guard lock(d.mutex);
    if (d.file) std::fclose(d.file);
    d.file = nullptr;
    d.stopping = false;
    d.written.notify_all();
}

void LogSystem::Flush() {
    Impl& d = *impl_;
    WriteSummaries();
    std::unique_lock lock(d.mutex);
    const std::uint64_t target = d.enqueued;
    d.written.wait(lock, [&] { return d.flushed >= target || !d.started; });
}

bool LogSystem::IsStarted() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->started;
}

void LogSystem::WriteLine(const WString& text) {
    Impl& d = *impl_;
    const std::string body = ToUtf8(text);
    std::unique_lock lock(d.mutex);
    // With every record queued, wait for the writer to return some.
    d.freed.wait(lock, [&] { return !d.started || !d.freeList.empty(); });
    // The prefix is taken once the line's place is certain, so times never run backwards down
    // the file and the observer sees the file's order.
    const std::tm now = LocalNow();
    char prefix[48];
    std::snprintf(prefix, sizeof prefix, "%02d:%02d:%02d ", now.tm_hour, now.tm_min, now.tm_sec);
    if (d.observer) d.observer(prefix + body);
    if (!d.started) return;

    const std::size_t index = d.freeList.back();
    d.freeList.pop_back();
    std::string& record = d.records[index];
    record.assign(prefix);
    record += body;
    d.ring[(d.head + d.count) % d.ring.size()] = index;
    ++d.count;
    ++d.enqueued;
    d.queued.notify_one();
}

bool LogSystem::Admit(WStringView format) {
    Impl& d = *impl_;
    const std::uint64_t now = platform::NowMs();
    std::vector<WString> summaries;
    bool admitted = false;
    {
        std::lock_guard lock(d.limitMutex);
        if (d.burst <= 0) return true;
        if (now >= d.nextSummaryMs) d.CollectSummaries(now, false, summaries);
        Budget& budget = d.BudgetFor(format, now);
        // A new window also starts when the clock went back (a test installed another clock).
        if (now < budget.windowStartMs || now - budget.windowStartMs >= d.windowMs) {
            if (budget.leftOut) summaries.push_back(SummaryLine(format, budget.leftOut));
            budget.leftOut = 0;
            budget.windowStartMs = now;
            budget.written = 0;
        }
        admitted = budget.written < d.burst;
        if (admitted) {
            ++budget.written;
        } else {
            ++budget.leftOut;
            ++budget.leftOutTotal;
            d.nextSummaryMs = std::min(d.nextSummaryMs, budget.windowStartMs + d.windowMs);
        }
    }
    for (const WString& line : summaries) WriteLine(line);
    return admitted;
}

void LogSystem::SetLimit(int burst, std::uint64_t windowMs) {
    WriteSummaries();
    std::lock_guard lock(impl_->limitMutex);
    impl_->burst = burst;
    impl_->windowMs = windowMs > 0 ? windowMs : 1;
    for (auto& [format, budget] : impl_->budgets) budget.written = 0;
    impl_->otherFormats.written = 0;
}

void LogSystem::ResetLimits() {
    WriteSummaries();
    Impl& d = *impl_;
    std::lock_guard lock(d.limitMutex);
    d.budgets.clear();
    d.otherFormats = Budget{};
    d.nextSummaryMs = kNever;
    d.burst = kLimitBurst;
    d.windowMs = kLimitWindowMs;
}

void LogSystem::WriteSummaries() {
    Impl& d = *impl_;
    std::vector<WString> summaries;
    {
        std::lock_guard lock(d.limitMutex);
        d.CollectSummaries(0, true, summaries);
    }
    for (const WString& line : summaries) WriteLine(line);
}

std::uint64_t LogSystem::LeftOut(WStringView format) const {
    const Impl& d = *impl_;
    std::lock_guard lock(d.limitMutex);
    const auto it = d.budgets.find(format);
    return it == d.budgets.end() ? 0 : it->second.leftOutTotal;
}

std::string LogSystem::FilePath() const {
    const Impl& d = *impl_;
    std::lock_guard lock(impl_->mutex);
    if (!d.openedPath.empty()) return d.openedPath;
    return d.PathFor(LocalNow());
}

void LogSystem::SetObserver(std::function<void(const std::string&)> observer) {
    std::lock_guard lock(impl_->mutex);
    impl_->observer = std::move(observer);
}

LogSystem& GetLog() {
    static LogSystem log;
    return log;
}

namespace {

std::mutex& BreakMutex() {
    static std::mutex mutex;
    return mutex;
}

LogBreakHandler& BreakHandler() {
    static LogBreakHandler handler;
    return handler;
}

}  // namespace

void SetLogBreakHandler(LogBreakHandler handler) {
    std::lock_guard lock(BreakMutex());
    BreakHandler() = std::move(handler);
}

void LogBreak(std::string_view sourceFile, int line) {
    GetLog().WriteLine(Format(u"BREAK : %s  %d\n", sourceFile, line));
    LogBreakHandler handler;
    {
        std::lock_guard lock(BreakMutex());
        handler = BreakHandler();
    }
    if (handler) {
        handler(sourceFile, line);
        return;
    }
    GetLog().Stop();
    std::abort();
}
