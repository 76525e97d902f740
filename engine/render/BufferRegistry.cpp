#include "engine/render/BufferRegistry.h"

#include <algorithm>
#include <cstring>

#include "engine/render/Mesh.h"
#include "engine/render/SceneNode.h"

std::uint16_t BufferRegistry::Create(bool indices, std::uint32_t size, bool dynamic) {
    std::size_t slot = 0;
    while (slot < entries_.size() && entries_[slot].used) ++slot;
    if (slot >= kNone) return kNone;
    if (slot == entries_.size()) entries_.emplace_back();
    Entry& entry = entries_[slot];
    entry = Entry{0, std::max<std::uint32_t>(size, 1), indices, dynamic, true};
    if (!Revive(entry)) {
        entry.used = false;
        return kNone;
    }
    return static_cast<std::uint16_t>(slot);
}

bool BufferRegistry::Revive(Entry& entry) {
    if (entry.device) return true;
    entry.device = entry.indices ? backend_.CreateIndexBuffer(entry.size, entry.dynamic)
                                 : backend_.CreateVertexBuffer(entry.size, entry.dynamic);
    return entry.device != 0;
}

bool BufferRegistry::EnsureSize(std::uint16_t handle, std::uint32_t size) {
    if (!Holds(handle)) return false;
    Entry& entry = entries_[handle];
    if (entry.size < size) {
        if (entry.device) backend_.DestroyBuffer(entry.device);
        entry.device = 0;
        entry.size = size;
        if (currentVertices == handle) currentVertices = kNone;
        if (currentIndices == handle) currentIndices = kNone;
    }
    return Revive(entry);
}

bool BufferRegistry::WriteVertices(std::uint16_t handle, std::size_t offset, const void* data,
                                   std::size_t bytes) {
    if (!Holds(handle) || !Revive(entries_[handle])) return false;
    return backend_.WriteVertexBuffer(entries_[handle].device, offset, data, bytes);
}

bool BufferRegistry::WriteIndices(std::uint16_t handle, std::size_t first, const std::uint16_t* data,
                                  std::size_t count) {
    if (!Holds(handle) || !Revive(entries_[handle])) return false;
    return backend_.WriteIndexBuffer(entries_[handle].device, first, data, count);
}

void BufferRegistry::Destroy(std::uint16_t handle) {
    if (!Holds(handle)) return;
    if (entries_[handle].device) backend_.DestroyBuffer(entries_[handle].device);
    entries_[handle] = Entry{};
    if (currentVertices == handle) currentVertices = kNone;
    if (currentIndices == handle) currentIndices = kNone;
    if (dynamicIndices == handle) dynamicIndices = kNoDynamicIndexBuffer;
}

platform::BufferHandle BufferRegistry::DeviceHandle(std::uint16_t handle) const {
    return Holds(handle) ? entries_[handle].device : 0;
}

void BufferRegistry::ReleaseAll() {
    for (auto& entry : entries_) {
        if (entry.used && entry.device) backend_.DestroyBuffer(entry.device);
        entry.device = 0;
    }
    currentVertices = currentIndices = kNone;
    ready = false;
}

bool StaticBufferSet::HoldsMesh(const Mesh& mesh) const {
    return meshes.count(mesh.Id()) != 0;
}

bool StaticBufferSet::HasRoomFor(const Mesh& mesh) const {
    if (format != 0 && format != mesh.geometry.format) return false;
    return usedBytes == 0 || usedBytes + mesh.geometry.vertexCount * mesh.Stride() <= capacity;
}

void StaticBufferSet::AddPart(const MeshPart& part) {
    const Mesh& mesh = *part.mesh;
    if (format == 0) {
        format = mesh.geometry.format;
        stride = mesh.Stride();
    }
    auto [it, added] = meshes.try_emplace(mesh.Id());
    if (added) {
        it->second.mesh = &mesh;
        usedBytes += mesh.geometry.byteSize;
        capacity = std::max(capacity, usedBytes);
    }
    ++it->second.parts;
}

bool StaticBufferSet::RemovePart(const MeshPart& part) {
    auto it = meshes.find(part.mesh->Id());
    if (it != meshes.end() && --it->second.parts == 0) {
        usedBytes -= std::min(usedBytes, it->second.mesh->geometry.byteSize);
        meshes.erase(it);
    }
    return meshes.empty();
}

std::int64_t StaticBufferSet::FirstVertex(const Mesh& mesh) const {
    auto it = meshes.find(mesh.Id());
    return it == meshes.end() ? -1 : static_cast<std::int64_t>(it->second.firstVertex);
}

void StaticBufferSet::Layout() {
    vertexData.clear();
    indexData.clear();
    for (auto& [id, placement] : meshes) {
        placement.firstVertex = stride ? static_cast<std::uint32_t>(vertexData.size() / stride) : 0;
        const auto& bytes = placement.mesh->vertices;
        vertexData.insert(vertexData.end(), bytes.begin(), bytes.end());
    }
}

std::uint32_t StaticBufferSet::AppendIndices(const std::vector<std::uint16_t>& indices) {
    auto first = static_cast<std::uint32_t>(indexData.size());
    indexData.insert(indexData.end(), indices.begin(), indices.end());
    return first;
}

StaticBufferSet& StaticBufferManager::CreateSet() {
    sets_.push_back(std::make_unique<StaticBufferSet>());
    sets_.back()->capacity = kSetBytes;
    return *sets_.back();
}

void StaticBufferManager::DestroySet(StaticBufferSet& set) {
    registry_.Destroy(set.vertexBuffer);
    registry_.Destroy(set.indexBuffer);
    std::erase_if(sets_, [&](const auto& owned) { return owned.get() == &set; });
}

bool StaticBufferManager::EnsureSet(StaticBufferSet& set) {
    auto vertexBytes = std::max<std::uint32_t>(static_cast<std::uint32_t>(set.vertexData.size()), set.stride);
    auto indexCount = std::max<std::uint32_t>(static_cast<std::uint32_t>(set.indexData.size()), 3);
    if (set.vertexBuffer == BufferRegistry::kNone)
        set.vertexBuffer = registry_.Create(false, vertexBytes, false);
    if (set.indexBuffer == BufferRegistry::kNone) set.indexBuffer = registry_.Create(true, indexCount, false);
    if (set.vertexBuffer == BufferRegistry::kNone || set.indexBuffer == BufferRegistry::kNone) return false;
    return registry_.EnsureSize(set.vertexBuffer, vertexBytes) &&
           registry_.EnsureSize(set.indexBuffer, indexCount);
}

bool StaticBufferManager::Upload(StaticBufferSet& set) {
    if (!EnsureSet(set)) return false;
    bool ok = registry_.WriteVertices(set.vertexBuffer, 0, set.vertexData.data(), set.vertexData.size());
    return registry_.WriteIndices(set.indexBuffer, 0, set.indexData.data(), set.indexData.size()) && ok;
}

void StaticBufferManager::UpdateNodeTree(SceneNode&) {
    // Sets are laid out again from the meshes they hold on the next ensure pass.
    registry_.ready = false;
}
