#pragma once
// Device buffers under 16-bit handles (BufferRegistry), the static buffer sets that hold the
// vertices of opaque meshes (StaticBufferManager), and which buffers are current.

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "engine/render/RenderConstants.h"
#include "platform/video/RenderBackend.h"

class Mesh;
class MeshPart;
class SceneNode;

class BufferRegistry {
public:
    static constexpr std::uint16_t kNone = 0xFFFF;

    explicit BufferRegistry(platform::RenderBackend& backend) : backend_(backend) {}

    // Registers a buffer of a size (vertex bytes or index count) and creates its device object.
    std::uint16_t Create(bool indices, std::uint32_t size, bool dynamic);
    // Grows a buffer (contents are lost); creates the device object when it was released.
    bool EnsureSize(std::uint16_t handle, std::uint32_t size);
    bool WriteVertices(std::uint16_t handle, std::size_t offset, const void* data, std::size_t bytes);
    bool WriteIndices(std::uint16_t handle, std::size_t first, const std::uint16_t* data, std::size_t count);
    void Destroy(std::uint16_t handle);
    bool Holds(std::uint16_t handle) const { return handle < entries_.size() && entries_[handle].used; }
    bool IsDynamic(std::uint16_t handle) const { return Holds(handle) && entries_[handle].dynamic; }
    std::uint32_t Size(std::uint16_t handle) const { return Holds(handle) ? entries_[handle].size : 0; }
    platform::BufferHandle DeviceHandle(std::uint16_t handle) const;
    // Releases every device object (entries stay, their objects are made again on use) and
    // clears the ready flag.
    void ReleaseAll();

    bool ready = false;
    std::uint16_t currentVertices = kNone;
    std::uint16_t currentIndices = kNone;
    bool verticesDynamic = false;
    bool indicesDynamic = false;
    std::uint16_t dynamicIndices = kNoDynamicIndexBuffer;

private:
    struct Entry {
        platform::BufferHandle device = 0;
        std::uint32_t size = 0;
        bool indices = false;
        bool dynamic = false;
        bool used = false;
    };
    bool Revive(Entry& entry);
    platform::RenderBackend& backend_;
    std::vector<Entry> entries_;
};

// One static vertex/index buffer pair for meshes of one vertex format.
struct StaticBufferSet {
    std::uint32_t format = 0;  // 0 = none yet
    std::uint32_t stride = 0;
    std::uint32_t usedBytes = 0;
    std::uint32_t capacity = 0;
    std::uint16_t vertexBuffer = BufferRegistry::kNone;
    std::uint16_t indexBuffer = BufferRegistry::kNone;

    // Meshes placed in the set with the number of their parts filed here.
    struct Placement {
        const Mesh* mesh = nullptr;
        std::uint32_t parts = 0;
        std::uint32_t firstVertex = 0;
    };
    std::map<std::uint32_t, Placement> meshes;  // by mesh id
    std::vector<std::uint8_t> vertexData;
    std::vector<std::uint16_t> indexData;

    bool HoldsMesh(const Mesh& mesh) const;
    // Room for a mesh: same or no format, and empty or the vertices fit.
    bool HasRoomFor(const Mesh& mesh) const;
    void AddPart(const MeshPart& part);
    // Frees the part's place; true when the set holds nothing afterwards.
    bool RemovePart(const MeshPart& part);
    // First vertex of a placed mesh (after Layout), or -1.
    std::int64_t FirstVertex(const Mesh& mesh) const;
    // Puts the vertices of every mesh one after the other and empties the index data.
    void Layout();
    // Appends indices; returns the first index.
    std::uint32_t AppendIndices(const std::vector<std::uint16_t>& indices);
};

class StaticBufferManager {
public:
    explicit StaticBufferManager(BufferRegistry& registry) : registry_(registry) {}

    // Bytes of a new set (a set grows beyond this for one large mesh).
    static constexpr std::uint32_t kSetBytes = 1u << 20;

    StaticBufferSet& CreateSet();
    void DestroySet(StaticBufferSet& set);
    // Creates the set's device buffers when missing (sized to its data).
    bool EnsureSet(StaticBufferSet& set);
    // Uploads the set's vertex and index data.
    bool Upload(StaticBufferSet& set);
    std::size_t SetCount() const { return sets_.size(); }
    // Marks the buffers of a node's meshes for re-upload (before a preview model is deleted).
    void UpdateNodeTree(SceneNode& node);

private:
    BufferRegistry& registry_;
    std::vector<std::unique_ptr<StaticBufferSet>> sets_;
};
