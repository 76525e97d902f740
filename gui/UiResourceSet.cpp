#include "gui/UiResourceSet.h"

#include <atomic>

#include "engine/resource/ResourceGroup.h"
#include "engine/resource/ResourceManager.h"
#include "engine/resource/ResourcePackage.h"

namespace gui {

namespace {
std::atomic<UiResourceSet*> gCurrent{nullptr};
constexpr char16_t kImageGroup[] = u"Image";
}  // namespace

UiResourceSet::UiResourceSet(ResourceManager* resources, int lang)
    : resources_(resources), folder_(lang == 1 ? u"UIEng" : u"UIEn") {
    gCurrent.store(this);
}

UiResourceSet::~UiResourceSet() {
    UiResourceSet* self = this;
    gCurrent.compare_exchange_strong(self, nullptr);
}

UiResourceSet* UiResourceSet::Current() {
    return gCurrent.load();
}

void UiResourceSet::InitSets(int count) {
    setCount_ = count < 0 ? 0 : count > kSetCount ? kSetCount : count;
    for (Slot& slot : slots_) slot = Slot{};
}

int UiResourceSet::OpenTree() {
    if (!resources_) return 0;
    package_ = resources_->OpenPackage(folder_);
    for (Slot& slot : slots_) slot = Slot{};
    return package_ ? 1 : 0;
}

const TextureData* UiResourceSet::GetResource(WStringView group, WStringView name, std::uint32_t id) const {
    if (!package_) return nullptr;
    ResourceGroup* found = package_->FindGroup(group);
    if (!found) return nullptr;
    const auto& manager = found->GetTextureManager();
    const auto& handle = name.empty() ? manager.FindById(id) : manager.FindByName(name);
    if (handle->IsEmpty() || handle->data.levels.empty()) return nullptr;
    return &handle->data;
}

bool UiResourceSet::LoadNamedSet(int set, WStringView name, int standIn) {
    if (set < kSetCount || set >= kSetCount + kNamedSetCount || name.empty()) return false;
    Named& named = named_[static_cast<std::size_t>(set - kSetCount)];
    named.name = WString(name);
    named.standIn = standIn;
    slots_[static_cast<std::size_t>(set)] = Slot{};
    return GetResource(name, name, 0) != nullptr;
}

Texture* UiResourceSet::GetTexture(int set, RenderDevice* device) {
    const Named* named = set >= kSetCount && set < kSetCount + kNamedSetCount
                             ? &named_[static_cast<std::size_t>(set - kSetCount)]
                             : nullptr;
    if (named ? named->name.empty() : set < 0 || set >= setCount_) return nullptr;
    Slot& slot = slots_[static_cast<std::size_t>(set)];
    if (slot.texture && slot.device == device) return slot.texture.get();
    if (slot.missing)
        return named && named->standIn < kSetCount ? GetTexture(named->standIn, device) : nullptr;
    const TextureData* data = named ? GetResource(named->name, named->name, 0)
                                    : GetResource(kImageGroup, {}, static_cast<std::uint32_t>(set));
    const TextureLevel* level = data ? &data->levels[0] : nullptr;
    if (!level || data->format != TextureFormat::Rgba8 || !level->width || !level->height ||
        level->pixels.size() < std::size_t{level->width} * level->height * 4) {
        slot.missing = true;
        return named && named->standIn < kSetCount ? GetTexture(named->standIn, device) : nullptr;
    }
    slot.texture = Texture::CreateRgba(device, level->width, level->height, level->pixels);
    slot.device = device;
    return slot.texture.get();
}

void UiResourceSet::ReleaseTextures() {
    for (Slot& slot : slots_) {
        slot.texture.reset();
        slot.missing = false;
    }
}

}  // namespace gui
