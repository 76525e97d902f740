// Resource packages as they come from disk: the header and directory, the zlib blocks and their
// checksums, the group blocks and every record decoder.
//
// Input: a mode byte, then the data. Mode 0: a whole package file. Mode 1: a record body for the type
// the next byte picks; a body that decodes must encode to bytes that decode and encode again to the
// same bytes. Mode 2: a group block, compressed and checksummed by the package writer so that the
// reader gets past zlib and the checksum to the block itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <vector>

#include "engine/resource/PackageBuilder.h"
#include "engine/resource/RecordCodec.h"
#include "engine/resource/ResourcePackage.h"

namespace {

template <class T>
void RoundTrip(std::span<const std::uint8_t> body) {
    T value;
    if (!DecodeRecordBytes(body, value)) return;
    const std::vector<std::uint8_t> encoded = EncodeRecordBytes(value);
    T again;
    if (!DecodeRecordBytes(std::span<const std::uint8_t>(encoded), again)) std::abort();
    if (EncodeRecordBytes(again) != encoded) std::abort();
}

void DecodeRecord(std::uint8_t type, std::span<const std::uint8_t> body) {
    switch (static_cast<ResourceType>(type % kResourceTypeCount)) {
        case ResourceType::Texture:
            return RoundTrip<TextureData>(body);
        case ResourceType::Bone:
            return RoundTrip<BoneData>(body);
        case ResourceType::Material:
            return RoundTrip<MaterialData>(body);
        case ResourceType::Mesh:
            return RoundTrip<MeshData>(body);
        case ResourceType::Sound:
            return RoundTrip<SoundData>(body);
        case ResourceType::Model:
            return RoundTrip<ModelData>(body);
        case ResourceType::Sprite:
            return RoundTrip<SpriteData>(body);
        case ResourceType::SpriteAnimation:
            return RoundTrip<SpriteAnimationData>(body);
        case ResourceType::BoneAnimation:
            return RoundTrip<BoneAnimationData>(body);
        case ResourceType::VertexAnimation:
            return RoundTrip<VertexAnimationData>(body);
        case ResourceType::ModelAnimation:
            return RoundTrip<ModelAnimationData>(body);
        case ResourceType::SceneInfo:
            return RoundTrip<SceneInfoData>(body);
        case ResourceType::StringTable:
            return RoundTrip<StringTableData>(body);
        case ResourceType::Binary:
            return RoundTrip<BinaryData>(body);
    }
}

void LoadPackage(std::vector<std::uint8_t> bytes) {
    ResourceFailure failure;
    auto package = ResourcePackage::FromBytes(u"fuzz.pak", std::move(bytes), &failure);
    if (!package) return;
    package->SetFailureSink([](const ResourceFailure&) {});
    package->LoadAllGroups();
    for (const WString& name : package->GetGroupNames()) package->FindOrLoadGroup(name);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::span<const std::uint8_t> rest(data + 1, size - 1);
    switch (data[0] % 3) {
        case 0:
            LoadPackage(std::vector<std::uint8_t>(rest.begin(), rest.end()));
            break;
        case 1:
            if (!rest.empty()) DecodeRecord(rest[0], rest.subspan(1));
            break;
        default: {
            PackageBuilder builder;
            builder.AddGroup(u"Fuzz").SetRawBlock(std::vector<std::uint8_t>(rest.begin(), rest.end()));
            LoadPackage(builder.Build());
            break;
        }
    }
    return 0;
}
