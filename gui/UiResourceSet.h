#pragma once
// Least form of the UI image sets: the package of the user interface's images, opened through the
// resource manager from the folder of the chosen language. The toolkit fills the 34 image sets.

#include <cstdint>

#include "engine/core/Text.h"

class ResourceManager;
class ResourcePackage;

namespace gui {

class UiResourceSet {
public:
    static constexpr int kSetCount = 34;

    // lang 1 reads the images from "UIEng", any other value from "UIEn".
    UiResourceSet(ResourceManager* resources, int lang);

    void InitSets(int count = kSetCount);
    int SetCount() const { return setCount_; }
    const WString& Folder() const { return folder_; }
    // Opens the UI package; 0 when it cannot be opened (the resource manager keeps the failure).
    int OpenTree();
    ResourcePackage* Package() const { return package_; }

private:
    ResourceManager* resources_;
    WString folder_;
    int setCount_ = 0;
    ResourcePackage* package_ = nullptr;
};

}  // namespace gui
