#pragma once
// One package file: a directory of groups, each group a zlib-compressed block of typed records
// (docs/resources.md). Groups are decoded on first use; a corrupt group fails alone.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "engine/resource/ResourceGroup.h"
#include "platform/sys/CriticalSection.h"

// The names the "Loading error" box shows: "file:%s pack:%s type:%d".
struct ResourceFailure {
    WString file;  // package path, group name or resource name
    WString pack;  // package name
    int type = kNoResourceType;
    WString reason;  // for the log
};

class ResourcePackage {
public:
    using FailureSink = std::function<void(const ResourceFailure&)>;

    // Checks the header and the directory; null (and *failure filled) when they are not sound.
    static std::unique_ptr<ResourcePackage> FromBytes(WString name, std::vector<uint8_t> bytes,
                                                      ResourceFailure* failure);
    ~ResourcePackage();

    const WString& GetName() const { return name_; }
    void SetFailureSink(FailureSink sink) { sink_ = std::move(sink); }

    // A loaded top-level group, or null.
    ResourceGroup* FindGroup(WStringView name) const;
    // The top-level group of that name, decoded on first use with its child groups; null when the
    // package has no such group or its block is corrupt (reported to the failure sink).
    ResourceGroup* FindOrLoadGroup(WStringView name, bool load = true);
    // Decodes every top-level group; false when any fails (the others stay usable).
    bool LoadAllGroups();
    // Names of the top-level groups in directory order.
    std::vector<WString> GetGroupNames() const;

    struct DirectoryEntry {
        WString name;
        uint32_t parent = 0;
        uint32_t offset = 0;
        uint32_t storedSize = 0;
        uint32_t rawSize = 0;
        uint32_t crc = 0;
    };

private:
    ResourcePackage() = default;
    std::unique_ptr<ResourceGroup> DecodeGroup(uint32_t index, ResourceFailure* failure) const;
    void Report(const ResourceFailure& failure) const;

    WString name_;
    std::vector<uint8_t> bytes_;
    std::vector<DirectoryEntry> directory_;
    FailureSink sink_;
    mutable platform::CriticalSection lock_;
    std::map<uint32_t, std::unique_ptr<ResourceGroup>> loaded_;  // directory index -> group
};
