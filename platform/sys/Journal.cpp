#include "platform/sys/Journal.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <utility>
#include <vector>

#include "platform/sys/CriticalSection.h"
#include "platform/sys/Env.h"
#include "platform/sys/RegularFile.h"

namespace platform {

namespace {

struct JournalFile {
    CriticalSection lock;
    bool configured = false;  // MARVENLOT_JOURNAL read or Open called
    int fd = -1;
    std::uint64_t sequence = 0;
    std::uint64_t nextObserverId = 1;
    std::vector<std::pair<std::uint64_t, Journal::Observer>> observers;
};

// Never destroyed: other threads and exit-time code may still write while statics are torn down.
JournalFile& State() {
    static JournalFile* state = [] {
        alignas(JournalFile) static unsigned char storage[sizeof(JournalFile)];
        return ::new (storage) JournalFile();
    }();
    return *state;
}

bool OpenLocked(JournalFile& state, const std::string& path) {
    if (state.fd >= 0) close(state.fd);
    state.fd = -1;
    state.configured = true;
    if (path.empty()) return true;
    int error = 0;
    state.fd = OpenRegularFile(path, O_WRONLY | O_CREAT | O_APPEND, error);
    if (state.fd < 0) {
        std::fprintf(stderr, "journal %s cannot be opened (%s)\n", path.c_str(),
                     FileErrorText(error).c_str());
        return false;
    }
    return true;
}

void EnsureConfigured(JournalFile& state) {
    if (!state.configured) OpenLocked(state, GetEnv("MARVENLOT_JOURNAL"));
}

}  // namespace

bool Journal::Open(const std::string& path) {
    JournalFile& state = State();
    ScopedLock guard(state.lock);
    return OpenLocked(state, path);
}

bool Journal::Enabled() {
    JournalFile& state = State();
    ScopedLock guard(state.lock);
    EnsureConfigured(state);
    return state.fd >= 0;
}

void Journal::Write(std::string_view line) {
    JournalFile& state = State();
    ScopedLock guard(state.lock);
    EnsureConfigured(state);
    if (state.fd < 0 && state.observers.empty()) return;

    std::string record(line);
    for (char& c : record)
        if (c == '\n' || c == '\r') c = ' ';
    ++state.sequence;
    for (const auto& [id, observer] : state.observers) observer(state.sequence, record);
    if (state.fd < 0) return;
    record.push_back('\n');

    // O_APPEND makes each write one atomic append, also against other processes sharing the file.
    std::size_t done = 0;
    while (done < record.size()) {
        const ssize_t n = ::write(state.fd, record.data() + done, record.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

std::uint64_t Journal::Subscribe(Observer observer) {
    JournalFile& state = State();
    ScopedLock guard(state.lock);
    const std::uint64_t id = state.nextObserverId++;
    state.observers.emplace_back(id, std::move(observer));
    return id;
}

void Journal::Unsubscribe(std::uint64_t id) {
    JournalFile& state = State();
    ScopedLock guard(state.lock);
    std::erase_if(state.observers, [id](const auto& entry) { return entry.first == id; });
}

std::uint64_t Journal::Sequence() {
    JournalFile& state = State();
    ScopedLock guard(state.lock);
    return state.sequence;
}

void JournalScene(int id) {
    Journal::Write("SCENE " + std::to_string(id));
}

void JournalBox(std::string_view caption, std::initializer_list<std::string_view> lines) {
    std::string record = "BOX ";
    record += caption;
    for (std::string_view line : lines) {
        record += '|';
        record += line;
    }
    Journal::Write(record);
}

void JournalBoxText(std::string_view caption, std::string_view text) {
    std::string record = "BOX ";
    record += caption;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        if (end > start) {
            record += '|';
            record += text.substr(start, end - start);
        }
        start = end + 1;
    }
    Journal::Write(record);
}

void JournalChat(std::uint32_t argb, std::string_view text) {
    char prefix[24];
    std::snprintf(prefix, sizeof prefix, "CHAT 0x%08X ", static_cast<unsigned>(argb));
    std::string record = prefix;
    record += text;
    Journal::Write(record);
}

void JournalSound(int id) {
    Journal::Write("SOUND " + std::to_string(id));
}

}  // namespace platform
