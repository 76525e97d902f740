#include "gui/UiResourceSet.h"

#include "engine/resource/ResourceManager.h"

namespace gui {

UiResourceSet::UiResourceSet(ResourceManager* resources, int lang)
    : resources_(resources), folder_(lang == 1 ? u"UIEng" : u"UIEn") {}

void UiResourceSet::InitSets(int count) {
    setCount_ = count;
}

int UiResourceSet::OpenTree() {
    if (!resources_) return 0;
    package_ = resources_->OpenPackage(folder_);
    return package_ ? 1 : 0;
}

}  // namespace gui
