#pragma once
// The engine's resource manager: opens packages from "<root>/<data folder>/<name>.mpk" on first use,
// keeps them open, and remembers the last failed file, pack and type for the "Loading error" box.

#include <map>
#include <memory>
#include <vector>

#include "engine/core/EngineInterfaces.h"
#include "engine/resource/ResourcePackage.h"

class ResourceManager : public ResourceManagerBase {
public:
    ResourceManager();
    ~ResourceManager() override;
    ResourceManager(const ResourceManager&) = delete;
    ResourceManager& operator=(const ResourceManager&) = delete;

    void SetRootFolder(WString folder);
    void SetDataFolder(WString folder);
    WString GetRootFolder() const;
    WString GetDataFolder() const;
    // Path of a package: a name without extension gets ".mpk"; a relative name is looked up in
    // <root>/<data folder>, an absolute path is used as it is.
    WString GetPackagePath(WStringView name) const;

    // The package of that name, opened on first use; with `load` every group is decoded at once.
    // Null when the file is missing or its header or directory is not sound (last failure set).
    ResourcePackage* OpenPackage(WStringView name, bool load = true);
    // Registers a package held in memory under a name (tests, tools); replaces one of that name.
    ResourcePackage* OpenPackageFromMemory(WString name, std::vector<uint8_t> bytes, bool load = true);
    // An open package, or null.
    ResourcePackage* FindPackage(WStringView name) const;
    void CloseAllPackages();

    ResourceFailure GetLastFailure() const;
    WString GetLastFailedFile() const;
    WString GetLastFailedPack() const;
    int GetLastFailedType() const;
    void ClearLastFailure();
    // Called by packages and typed managers; also logs an "ERROR : RESOURCE ..." line.
    void ReportFailure(const ResourceFailure& failure);

private:
    ResourcePackage* Register(const WString& key, std::unique_ptr<ResourcePackage> package, bool load);

    // Lock order: lock_ (folders, package map) before a package's lock before failureLock_.
    mutable platform::CriticalSection lock_;
    mutable platform::CriticalSection failureLock_;
    WString rootFolder_ = u".";
    WString dataFolder_ = u"data";
    std::map<WString, std::unique_ptr<ResourcePackage>, std::less<>> packages_;
    ResourceFailure lastFailure_;
};
