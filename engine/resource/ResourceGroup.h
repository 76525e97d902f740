#pragma once
// A named group of a package: the 14 typed managers and the child groups below it. The groups of a
// package form the resource tree that callers walk by node names ("BillObject" > "Cues" > ...).

#include <memory>
#include <tuple>
#include <vector>

#include "engine/resource/TypedResourceManager.h"

class ResourceGroup {
public:
    explicit ResourceGroup(WString name) : name_(std::move(name)) {}
    ResourceGroup(const ResourceGroup&) = delete;
    ResourceGroup& operator=(const ResourceGroup&) = delete;

    const WString& GetName() const { return name_; }

    ResourceGroup& AddChild(WString name);
    ResourceGroup& AdoptChild(std::unique_ptr<ResourceGroup> child);
    // The first child of that name, or null.
    ResourceGroup* FindChild(WStringView name) const;
    // Follows child names from this group ({"Cues", "TunningCue", "TuneTip"}); null at the first miss.
    ResourceGroup* FindPath(std::initializer_list<WStringView> names) const;
    const std::vector<std::unique_ptr<ResourceGroup>>& Children() const { return children_; }

    template <class T>
    TypedResourceManager<T>& Manager() {
        return std::get<TypedResourceManager<T>>(managers_);
    }
    template <class T>
    const TypedResourceManager<T>& Manager() const {
        return std::get<TypedResourceManager<T>>(managers_);
    }

    const TypedResourceManager<TextureData>& GetTextureManager() const { return Manager<TextureData>(); }
    const TypedResourceManager<BoneData>& GetBoneManager() const { return Manager<BoneData>(); }
    const TypedResourceManager<MaterialData>& GetMaterialManager() const { return Manager<MaterialData>(); }
    const TypedResourceManager<MeshData>& GetMeshManager() const { return Manager<MeshData>(); }
    const TypedResourceManager<SoundData>& GetSoundManager() const { return Manager<SoundData>(); }
    const TypedResourceManager<ModelData>& GetModelManager() const { return Manager<ModelData>(); }
    const TypedResourceManager<SpriteData>& GetSpriteManager() const { return Manager<SpriteData>(); }
    const TypedResourceManager<SpriteAnimationData>& GetSpriteAnimationManager() const {
        return Manager<SpriteAnimationData>();
    }
    const TypedResourceManager<BoneAnimationData>& GetBoneAnimationManager() const {
        return Manager<BoneAnimationData>();
    }
    const TypedResourceManager<VertexAnimationData>& GetVertexAnimationManager() const {
        return Manager<VertexAnimationData>();
    }
    const TypedResourceManager<ModelAnimationData>& GetModelAnimationManager() const {
        return Manager<ModelAnimationData>();
    }
    const TypedResourceManager<SceneInfoData>& GetSceneInfoManager() const {
        return Manager<SceneInfoData>();
    }
    const TypedResourceManager<StringTableData>& GetStringTableManager() const {
        return Manager<StringTableData>();
    }
    const TypedResourceManager<BinaryData>& GetBinaryManager() const { return Manager<BinaryData>(); }

    // Number of resources of every type in this group (children not counted).
    size_t ResourceCount() const;
    // Installs the observer on the 14 managers of this group and of every child.
    void SetMissObserver(
        const std::function<void(const ResourceGroup&, ResourceType, WStringView)>& observer);

private:
    WString name_;
    std::vector<std::unique_ptr<ResourceGroup>> children_;
    std::tuple<TypedResourceManager<TextureData>, TypedResourceManager<BoneData>,
               TypedResourceManager<MaterialData>, TypedResourceManager<MeshData>,
               TypedResourceManager<SoundData>, TypedResourceManager<ModelData>,
               TypedResourceManager<SpriteData>, TypedResourceManager<SpriteAnimationData>,
               TypedResourceManager<BoneAnimationData>, TypedResourceManager<VertexAnimationData>,
               TypedResourceManager<ModelAnimationData>, TypedResourceManager<SceneInfoData>,
               TypedResourceManager<StringTableData>, TypedResourceManager<BinaryData>>
        managers_;
};
