#include "engine/resource/ResourcePackage.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "engine/core/MemoryStream.h"
#include "engine/resource/RecordCodec.h"

namespace {

constexpr size_t kHeaderSize = 16;
// zlib cannot inflate by more than about 1032:1, so a larger raw size is damage; checking it first
// keeps a damaged directory from making the reader allocate a large buffer for nothing.
constexpr uint64_t kMaxInflateRatio = 1032;

template <class T>
bool DecodeInto(ResourceGroup& group, uint32_t id, WString name, std::span<const uint8_t> body) {
    T data;
    if (!DecodeRecordBytes(body, data)) {
        return false;
    }
    return group.Manager<T>().Add(id, std::move(name), std::move(data));
}

bool DecodeByType(ResourceType type, ResourceGroup& group, uint32_t id, WString name,
                  std::span<const uint8_t> body) {
    switch (type) {
        case ResourceType::Texture:
            return DecodeInto<TextureData>(group, id, std::move(name), body);
        case ResourceType::Bone:
            return DecodeInto<BoneData>(group, id, std::move(name), body);
        case ResourceType::Material:
            return DecodeInto<MaterialData>(group, id, std::move(name), body);
        case ResourceType::Mesh:
            return DecodeInto<MeshData>(group, id, std::move(name), body);
        case ResourceType::Sound:
            return DecodeInto<SoundData>(group, id, std::move(name), body);
        case ResourceType::Model:
            return DecodeInto<ModelData>(group, id, std::move(name), body);
        case ResourceType::Sprite:
            return DecodeInto<SpriteData>(group, id, std::move(name), body);
        case ResourceType::SpriteAnimation:
            return DecodeInto<SpriteAnimationData>(group, id, std::move(name), body);
        case ResourceType::BoneAnimation:
            return DecodeInto<BoneAnimationData>(group, id, std::move(name), body);
        case ResourceType::VertexAnimation:
            return DecodeInto<VertexAnimationData>(group, id, std::move(name), body);
        case ResourceType::ModelAnimation:
            return DecodeInto<ModelAnimationData>(group, id, std::move(name), body);
        case ResourceType::SceneInfo:
            return DecodeInto<SceneInfoData>(group, id, std::move(name), body);
        case ResourceType::StringTable:
            return DecodeInto<StringTableData>(group, id, std::move(name), body);
        case ResourceType::Binary:
            return DecodeInto<BinaryData>(group, id, std::move(name), body);
    }
    return false;
}

}  // namespace

ResourcePackage::~ResourcePackage() = default;

std::unique_ptr<ResourcePackage> ResourcePackage::FromBytes(WString name, std::vector<uint8_t> bytes,
                                                            ResourceFailure* failure) {
    auto fail = [&](const char16_t* reason) -> std::unique_ptr<ResourcePackage> {
        if (failure != nullptr) {
            *failure = ResourceFailure{name, name, kNoResourceType, reason};
        }
        return nullptr;
    };
    if (bytes.size() < kHeaderSize || bytes.size() > package_format::kMaxPackageBytes) {
        return fail(u"bad size");
    }
    if (std::memcmp(bytes.data(), package_format::kMagic.data(), 4) != 0) {
        return fail(u"not a package");
    }
    ByteReader header(std::span<const uint8_t>(bytes).subspan(4, kHeaderSize - 4));
    const uint16_t version = header.U16();
    header.U16();
    const uint32_t groupCount = header.U32();
    const uint32_t directorySize = header.U32();
    if (version != package_format::kVersion) {
        return fail(u"unknown version");
    }
    if (groupCount > package_format::kMaxGroups || directorySize > bytes.size() - kHeaderSize) {
        return fail(u"bad directory");
    }

    auto package = std::unique_ptr<ResourcePackage>(new ResourcePackage());
    package->name_ = name;
    ByteReader dir(std::span<const uint8_t>(bytes).subspan(kHeaderSize, directorySize));
    const size_t blocksStart = kHeaderSize + directorySize;
    for (uint32_t i = 0; i < groupCount; ++i) {
        DirectoryEntry e;
        e.name = dir.String();
        e.parent = dir.U32();
        e.offset = dir.U32();
        e.storedSize = dir.U32();
        e.rawSize = dir.U32();
        e.crc = dir.U32();
        if (!dir.Ok()) {
            return fail(u"short directory");
        }
        const bool parentOk = e.parent == package_format::kNoParent || e.parent < i;
        const bool blockOk = e.offset >= blocksStart && e.offset <= bytes.size() &&
                             e.storedSize <= bytes.size() - e.offset &&
                             e.rawSize <= package_format::kMaxGroupRawBytes &&
                             uint64_t(e.rawSize) <= uint64_t(e.storedSize) * kMaxInflateRatio + 64;
        if (!parentOk || !blockOk) {
            return fail(u"bad directory entry");
        }
        package->directory_.push_back(std::move(e));
    }
    if (!dir.AtEnd()) {
        return fail(u"bad directory");
    }
    package->bytes_ = std::move(bytes);
    return package;
}

void ResourcePackage::Report(const ResourceFailure& failure) const {
    if (sink_) {
        sink_(failure);
    }
}

std::unique_ptr<ResourceGroup> ResourcePackage::DecodeGroup(uint32_t index, ResourceFailure* failure) const {
    const DirectoryEntry& e = directory_[index];
    auto fail = [&](int type, WString file, const char16_t* reason) -> std::unique_ptr<ResourceGroup> {
        *failure = ResourceFailure{std::move(file), name_, type, reason};
        return nullptr;
    };

    std::vector<uint8_t> raw;
    if (!DecompressBuffer(std::span<const uint8_t>(bytes_.data() + e.offset, e.storedSize), raw, e.rawSize,
                          e.rawSize)) {
        return fail(kNoResourceType, e.name, u"group block does not inflate");
    }
    if (static_cast<uint32_t>(crc32(0L, raw.data(), static_cast<uInt>(raw.size()))) != e.crc) {
        return fail(kNoResourceType, e.name, u"group block checksum");
    }

    auto group = std::make_unique<ResourceGroup>(e.name);
    ByteReader r(raw);
    const uint32_t count = r.Count(12);
    if (!r.Ok() || count > package_format::kMaxRecordsPerGroup) {
        return fail(kNoResourceType, e.name, u"bad record count");
    }
    for (uint32_t i = 0; i < count; ++i) {
        const uint16_t type = r.U16();
        const uint32_t id = r.U32();
        WString name = r.String();
        const uint32_t bodySize = r.U32();
        const std::span<const uint8_t> bodyBytes = r.Span(bodySize);
        if (!r.Ok()) {
            return fail(kNoResourceType, e.name, u"short record");
        }
        if (type >= kResourceTypeCount) {
            return fail(type, name, u"unknown resource type");
        }
        if (!DecodeByType(static_cast<ResourceType>(type), *group, id, name, bodyBytes)) {
            return fail(type, name, u"bad record or repeated id");
        }
    }
    if (!r.AtEnd()) {
        return fail(kNoResourceType, e.name, u"trailing bytes");
    }

    for (uint32_t child = index + 1; child < directory_.size(); ++child) {
        if (directory_[child].parent != index) continue;
        std::unique_ptr<ResourceGroup> decoded = DecodeGroup(child, failure);
        if (!decoded) return nullptr;
        group->AdoptChild(std::move(decoded));
    }
    return group;
}

ResourceGroup* ResourcePackage::FindGroup(WStringView name) const {
    platform::ScopedLock guard(lock_);
    for (uint32_t i = 0; i < directory_.size(); ++i) {
        if (directory_[i].parent == package_format::kNoParent && directory_[i].name == name) {
            auto it = loaded_.find(i);
            return it == loaded_.end() ? nullptr : it->second.get();
        }
    }
    return nullptr;
}

ResourceGroup* ResourcePackage::FindOrLoadGroup(WStringView name, bool load) {
    platform::ScopedLock guard(lock_);
    for (uint32_t i = 0; i < directory_.size(); ++i) {
        if (directory_[i].parent != package_format::kNoParent || directory_[i].name != name) continue;
        if (auto it = loaded_.find(i); it != loaded_.end()) {
            return it->second.get();
        }
        if (!load) {
            return nullptr;
        }
        ResourceFailure failure;
        std::unique_ptr<ResourceGroup> group = DecodeGroup(i, &failure);
        if (!group) {
            Report(failure);
            return nullptr;
        }
        const WString pack = name_;
        group->SetMissObserver([this, pack](const ResourceGroup& g, ResourceType type, WStringView missing) {
            Report(ResourceFailure{WString(missing), pack, static_cast<int>(type),
                                   u"no resource of that name in group " + g.GetName()});
        });
        ResourceGroup* result = group.get();
        loaded_.emplace(i, std::move(group));
        return result;
    }
    Report(ResourceFailure{WString(name), name_, kNoResourceType, u"no such group"});
    return nullptr;
}

bool ResourcePackage::LoadAllGroups() {
    bool ok = true;
    for (const WString& name : GetGroupNames()) {
        ok = FindOrLoadGroup(name, true) != nullptr && ok;
    }
    return ok;
}

std::vector<WString> ResourcePackage::GetGroupNames() const {
    std::vector<WString> names;
    for (const auto& e : directory_) {
        if (e.parent == package_format::kNoParent) names.push_back(e.name);
    }
    return names;
}
