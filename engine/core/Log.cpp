#include "engine/core/Log.h"

#include <cstdio>
#include <ctime>
#include <mutex>

struct LogSystem::Impl {
    std::mutex mutex;
    std::string folder = ".";
    std::string name;
    bool started = false;
    FILE* file = nullptr;
    std::function<void(const std::string&)> observer;

    std::string Path() const { return name.empty() ? std::string() : folder + "/" + name + ".log"; }
};

LogSystem::LogSystem() : impl_(std::make_unique<Impl>()) {}

LogSystem::~LogSystem() { Stop(); }

bool LogSystem::Start(const WString& name, int /*poolRecords*/, bool /*singleFile*/) {
    std::lock_guard lock(impl_->mutex);
    impl_->name = ToUtf8(name);
    impl_->started = true;
    return true;
}

void LogSystem::SetFolder(const WString& folder) {
    std::lock_guard lock(impl_->mutex);
    impl_->folder = folder.empty() ? "." : ToUtf8(folder);
}

void LogSystem::Stop() {
    std::lock_guard lock(impl_->mutex);
    if (impl_->file) std::fclose(impl_->file);
    impl_->file = nullptr;
    impl_->started = false;
}

void LogSystem::Flush() {
    std::lock_guard lock(impl_->mutex);
    if (impl_->file) std::fflush(impl_->file);
}

void LogSystem::WriteLine(const WString& text) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "%02d:%02d:%02d ", local.tm_hour, local.tm_min, local.tm_sec);
    std::string line = prefix + ToUtf8(text);

    std::lock_guard lock(impl_->mutex);
    if (impl_->observer) impl_->observer(line);
    if (!impl_->started) return;
    if (!impl_->file) impl_->file = std::fopen(impl_->Path().c_str(), "wb");
    if (!impl_->file) return;
    std::fwrite(line.data(), 1, line.size(), impl_->file);
    std::fflush(impl_->file);
}

std::string LogSystem::FilePath() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->Path();
}

void LogSystem::SetObserver(std::function<void(const std::string&)> observer) {
    std::lock_guard lock(impl_->mutex);
    impl_->observer = std::move(observer);
}

LogSystem& GetLog() {
    static LogSystem log;
    return log;
}
