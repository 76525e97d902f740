#include "engine/resource/ResourceManager.h"

#include "engine/core/Log.h"
#include "platform/sys/RegularFile.h"

namespace {

bool HasExtension(WStringView name) {
    const size_t slash = name.find_last_of(u"/\\");
    const size_t dot = name.find_last_of(u'.');
    return dot != WStringView::npos && (slash == WStringView::npos || dot > slash + 1);
}

bool IsAbsolute(WStringView path) {
    return !path.empty() && (path[0] == u'/' || path[0] == u'\\');
}

// Packages are keyed by their name without the package extension.
WString PackageKey(WStringView name) {
    WString key(name);
    const WString ext(package_format::kExtension.begin(), package_format::kExtension.end());
    if (key.size() > ext.size() && key.compare(key.size() - ext.size(), ext.size(), ext) == 0) {
        key.resize(key.size() - ext.size());
    }
    return key;
}

}  // namespace

ResourceManager::ResourceManager() = default;
ResourceManager::~ResourceManager() = default;

void ResourceManager::SetRootFolder(WString folder) {
    platform::ScopedLock guard(lock_);
    rootFolder_ = std::move(folder);
}

void ResourceManager::SetDataFolder(WString folder) {
    platform::ScopedLock guard(lock_);
    dataFolder_ = std::move(folder);
}

WString ResourceManager::GetRootFolder() const {
    platform::ScopedLock guard(lock_);
    return rootFolder_;
}

WString ResourceManager::GetDataFolder() const {
    platform::ScopedLock guard(lock_);
    return dataFolder_;
}

WString ResourceManager::GetPackagePath(WStringView name) const {
    platform::ScopedLock guard(lock_);
    WString path;
    if (IsAbsolute(name)) {
        path = WString(name);
    } else {
        path = rootFolder_;
        if (!path.empty() && path.back() != u'/') path += u'/';
        if (!dataFolder_.empty()) path += dataFolder_ + u"/";
        path += name;
    }
    if (!HasExtension(name)) {
        path += WString(package_format::kExtension.begin(), package_format::kExtension.end());
    }
    return path;
}

ResourcePackage* ResourceManager::Register(const WString& key, std::unique_ptr<ResourcePackage> package,
                                           bool load) {
    package->SetFailureSink([this](const ResourceFailure& failure) { ReportFailure(failure); });
    ResourcePackage* result = package.get();
    packages_[key] = std::move(package);
    if (load) {
        result->LoadAllGroups();
    }
    return result;
}

ResourcePackage* ResourceManager::OpenPackage(WStringView name, bool load) {
    platform::ScopedLock guard(lock_);
    const WString key = PackageKey(name);
    if (auto it = packages_.find(key); it != packages_.end()) {
        if (load) {
            it->second->LoadAllGroups();
        }
        return it->second.get();
    }
    const WString path = GetPackagePath(name);
    std::vector<uint8_t> bytes;
    int error = 0;
    if (!platform::ReadRegularFile(ToUtf8(path), bytes, error, package_format::kMaxPackageBytes)) {
        ReportFailure(ResourceFailure{
            path, key, kNoResourceType,
            u"cannot read the package file (" + FromUtf8(platform::FileErrorText(error)) + u")"});
        return nullptr;
    }
    ResourceFailure failure;
    std::unique_ptr<ResourcePackage> package = ResourcePackage::FromBytes(key, std::move(bytes), &failure);
    if (!package) {
        failure.file = path;
        ReportFailure(failure);
        return nullptr;
    }
    return Register(key, std::move(package), load);
}

ResourcePackage* ResourceManager::OpenPackageFromMemory(WString name, std::vector<uint8_t> bytes, bool load) {
    platform::ScopedLock guard(lock_);
    const WString key = PackageKey(name);
    ResourceFailure failure;
    std::unique_ptr<ResourcePackage> package = ResourcePackage::FromBytes(key, std::move(bytes), &failure);
    if (!package) {
        ReportFailure(failure);
        return nullptr;
    }
    return Register(key, std::move(package), load);
}

ResourcePackage* ResourceManager::FindPackage(WStringView name) const {
    platform::ScopedLock guard(lock_);
    auto it = packages_.find(PackageKey(name));
    return it == packages_.end() ? nullptr : it->second.get();
}

void ResourceManager::CloseAllPackages() {
    platform::ScopedLock guard(lock_);
    packages_.clear();
}

void ResourceManager::ReportFailure(const ResourceFailure& failure) {
    {
        platform::ScopedLock guard(failureLock_);
        lastFailure_ = failure;
    }
    LogWrite(u"ERROR : RESOURCE %s (file:%s pack:%s type:%d)\n", failure.reason, failure.file, failure.pack,
             failure.type);
}

ResourceFailure ResourceManager::GetLastFailure() const {
    platform::ScopedLock guard(failureLock_);
    return lastFailure_;
}

WString ResourceManager::GetLastFailedFile() const {
    return GetLastFailure().file;
}

WString ResourceManager::GetLastFailedPack() const {
    return GetLastFailure().pack;
}

int ResourceManager::GetLastFailedType() const {
    return GetLastFailure().type;
}

void ResourceManager::ClearLastFailure() {
    platform::ScopedLock guard(failureLock_);
    lastFailure_ = ResourceFailure{};
}
