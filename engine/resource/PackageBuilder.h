#pragma once
// Writes packages: the generator uses it for the default packages, tests for packages in memory.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/resource/RecordCodec.h"

class GroupBuilder {
public:
    explicit GroupBuilder(WString name) : name_(std::move(name)) {}

    // Adds a record; without an id the next free id of its type is taken (ids start at 1).
    // Returns the id used.
    template <class T>
    uint32_t Add(WString name, const T& data, uint32_t id = kEmptyResourceId) {
        return AddRawRecord(ResourceTraits<T>::kType, id, std::move(name), EncodeRecordBytes(data));
    }
    uint32_t AddRawRecord(ResourceType type, uint32_t id, WString name, std::vector<uint8_t> body);

    GroupBuilder& AddChild(WString name);
    const WString& GetName() const { return name_; }
    const std::vector<std::unique_ptr<GroupBuilder>>& Children() const { return children_; }

    // The uncompressed group block.
    std::vector<uint8_t> EncodeBlock() const;
    // Makes the block exactly these bytes instead of the records' (for reader tests: a block the
    // writer would never produce, but compressed and checksummed like any other).
    void SetRawBlock(std::vector<uint8_t> block) { rawBlock_ = std::move(block); }

private:
    struct Record {
        ResourceType type;
        uint32_t id;
        WString name;
        std::vector<uint8_t> body;
    };
    WString name_;
    std::vector<Record> records_;
    std::map<ResourceType, uint32_t> nextId_;
    std::vector<std::unique_ptr<GroupBuilder>> children_;
    std::optional<std::vector<uint8_t>> rawBlock_;
};

class PackageBuilder {
public:
    GroupBuilder& AddGroup(WString name);
    // The whole package file image.
    std::vector<uint8_t> Build() const;
    // Writes the file through a temporary name and a rename, so a reader never sees half a package.
    bool WriteFile(const std::string& path) const;

private:
    std::vector<std::unique_ptr<GroupBuilder>> groups_;
};
