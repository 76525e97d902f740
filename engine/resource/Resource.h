#pragma once
// A loaded resource: its id within its typed manager, its name and its plain data record. Resources
// are shared read-only through reference-counted handles; every failed lookup returns the shared empty
// handle of the type, which points at an empty resource (never null).

#include <cstdint>
#include <memory>

#include "engine/core/Text.h"
#include "engine/resource/AnimationData.h"
#include "engine/resource/MaterialData.h"
#include "engine/resource/MeshData.h"
#include "engine/resource/ModelData.h"
#include "engine/resource/ResourceTypes.h"
#include "engine/resource/SceneInfoData.h"
#include "engine/resource/SoundData.h"
#include "engine/resource/SpriteData.h"
#include "engine/resource/StringTableData.h"
#include "engine/resource/TextureData.h"

template <class T>
struct ResourceTraits;

#define MARVENLOT_RESOURCE_TRAITS(DataType, TypeValue)   \
    template <>                                          \
    struct ResourceTraits<DataType> {                    \
        static constexpr ResourceType kType = TypeValue; \
    }
MARVENLOT_RESOURCE_TRAITS(TextureData, ResourceType::Texture);
MARVENLOT_RESOURCE_TRAITS(BoneData, ResourceType::Bone);
MARVENLOT_RESOURCE_TRAITS(MaterialData, ResourceType::Material);
MARVENLOT_RESOURCE_TRAITS(MeshData, ResourceType::Mesh);
MARVENLOT_RESOURCE_TRAITS(SoundData, ResourceType::Sound);
MARVENLOT_RESOURCE_TRAITS(ModelData, ResourceType::Model);
MARVENLOT_RESOURCE_TRAITS(SpriteData, ResourceType::Sprite);
MARVENLOT_RESOURCE_TRAITS(SpriteAnimationData, ResourceType::SpriteAnimation);
MARVENLOT_RESOURCE_TRAITS(BoneAnimationData, ResourceType::BoneAnimation);
MARVENLOT_RESOURCE_TRAITS(VertexAnimationData, ResourceType::VertexAnimation);
MARVENLOT_RESOURCE_TRAITS(ModelAnimationData, ResourceType::ModelAnimation);
MARVENLOT_RESOURCE_TRAITS(SceneInfoData, ResourceType::SceneInfo);
MARVENLOT_RESOURCE_TRAITS(StringTableData, ResourceType::StringTable);
MARVENLOT_RESOURCE_TRAITS(BinaryData, ResourceType::Binary);
#undef MARVENLOT_RESOURCE_TRAITS

template <class T>
struct Resource {
    uint32_t id = kEmptyResourceId;
    WString name;
    T data;

    static constexpr ResourceType kType = ResourceTraits<T>::kType;
    bool IsEmpty() const { return id == kEmptyResourceId; }
};

template <class T>
using ResourceHandle = std::shared_ptr<const Resource<T>>;

// The shared empty handle of a type: a function-local static, built on first use.
template <class T>
const ResourceHandle<T>& EmptyResource() {
    static const ResourceHandle<T> empty = std::make_shared<const Resource<T>>();
    return empty;
}

using TextureHandle = ResourceHandle<TextureData>;
using BoneHandle = ResourceHandle<BoneData>;
using MaterialHandle = ResourceHandle<MaterialData>;
using MeshHandle = ResourceHandle<MeshData>;
using SoundHandle = ResourceHandle<SoundData>;
using ModelHandle = ResourceHandle<ModelData>;
using SpriteHandle = ResourceHandle<SpriteData>;
using SpriteAnimationHandle = ResourceHandle<SpriteAnimationData>;
using BoneAnimationHandle = ResourceHandle<BoneAnimationData>;
using VertexAnimationHandle = ResourceHandle<VertexAnimationData>;
using ModelAnimationHandle = ResourceHandle<ModelAnimationData>;
using SceneInfoHandle = ResourceHandle<SceneInfoData>;
using StringTableHandle = ResourceHandle<StringTableData>;
using BinaryHandle = ResourceHandle<BinaryData>;
