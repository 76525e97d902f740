#include "engine/resource/ResourceGroup.h"

ResourceGroup& ResourceGroup::AddChild(WString name) {
    children_.push_back(std::make_unique<ResourceGroup>(std::move(name)));
    return *children_.back();
}

ResourceGroup& ResourceGroup::AdoptChild(std::unique_ptr<ResourceGroup> child) {
    children_.push_back(std::move(child));
    return *children_.back();
}

ResourceGroup* ResourceGroup::FindChild(WStringView name) const {
    for (const auto& child : children_) {
        if (child->GetName() == name) {
            return child.get();
        }
    }
    return nullptr;
}

ResourceGroup* ResourceGroup::FindPath(std::initializer_list<WStringView> names) const {
    const ResourceGroup* group = this;
    for (WStringView name : names) {
        group = group->FindChild(name);
        if (group == nullptr) {
            return nullptr;
        }
    }
    return const_cast<ResourceGroup*>(group);
}

size_t ResourceGroup::ResourceCount() const {
    return std::apply([](const auto&... m) { return (m.Count() + ...); }, managers_);
}

void ResourceGroup::SetMissObserver(
    const std::function<void(const ResourceGroup&, ResourceType, WStringView)>& observer) {
    std::apply(
        [&](auto&... m) {
            (m.SetMissObserver(
                 [this, observer](ResourceType type, WStringView name) { observer(*this, type, name); }),
             ...);
        },
        managers_);
    for (auto& child : children_) {
        child->SetMissObserver(observer);
    }
}
