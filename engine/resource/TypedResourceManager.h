#pragma once
// The resources of one type within a group, found by id or by name. Filled once when the group loads,
// read-only afterwards, so lookups need no lock.

#include <cstdint>
#include <functional>
#include <map>
#include <unordered_map>
#include <vector>

#include "engine/resource/Resource.h"

template <class T>
class TypedResourceManager {
public:
    static constexpr ResourceType kType = ResourceTraits<T>::kType;
    // Called with (type, name) when FindOrLoadByName misses, so the resource manager can keep the
    // last failed names for the "Loading error" box.
    using MissObserver = std::function<void(ResourceType, WStringView)>;

    void SetMissObserver(MissObserver observer) { onMiss_ = std::move(observer); }

    // False for the reserved empty id or an id already present (the first keeps its place).
    bool Add(uint32_t id, WString name, T data) {
        if (id == kEmptyResourceId || byId_.count(id) != 0) {
            return false;
        }
        auto resource = std::make_shared<Resource<T>>();
        resource->id = id;
        resource->name = std::move(name);
        resource->data = std::move(data);
        byId_.emplace(id, items_.size());
        byName_.emplace(resource->name, items_.size());  // a repeated name keeps the first
        items_.push_back(std::move(resource));
        return true;
    }

    const ResourceHandle<T>& FindById(uint32_t id) const {
        auto it = byId_.find(id);
        return it == byId_.end() ? EmptyResource<T>() : items_[it->second];
    }
    const ResourceHandle<T>& FindByName(WStringView name) const {
        auto it = byName_.find(name);
        return it == byName_.end() ? EmptyResource<T>() : items_[it->second];
    }
    // Resources are decoded when their group loads; a miss here is reported as a load failure.
    const ResourceHandle<T>& FindOrLoadByName(WStringView name) const {
        const ResourceHandle<T>& found = FindByName(name);
        if (found->IsEmpty() && onMiss_) {
            onMiss_(kType, name);
        }
        return found;
    }

    size_t Count() const { return items_.size(); }
    // In package order.
    const std::vector<ResourceHandle<T>>& All() const { return items_; }

private:
    std::vector<ResourceHandle<T>> items_;
    std::unordered_map<uint32_t, size_t> byId_;
    std::map<WString, size_t, std::less<>> byName_;
    MissObserver onMiss_;
};
