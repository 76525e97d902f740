#pragma once
// The UI image sets: the package of the user interface's images, opened through the resource
// manager from the folder of the chosen language ("UIEng" when the "lang" option is 1, else
// "UIEn"). Its group "Image" holds one texture per set, ids 0 to 33; widgets address pictures as
// (set, source rectangle). A scene may load a named set past those, the texture of the package's
// group of that name ("Gallery"). The application keeps one instance, reachable through Current().

#include <array>
#include <cstdint>
#include <memory>

#include "engine/core/Text.h"
#include "engine/render/Texture.h"

class ResourceManager;
class ResourcePackage;
class ResourceGroup;
class RenderDevice;
struct TextureData;

namespace gui {

class UiResourceSet {
public:
    static constexpr int kSetCount = 34;
    // Named sets take the numbers from kSetCount on.
    static constexpr int kNamedSetCount = 1;
    // A set that never has a texture, past the named ones: its pictures draw as flat shapes.
    static constexpr int kFlatSet = kSetCount + kNamedSetCount;

    // lang 1 reads the images from "UIEng", any other value from "UIEn". The newest instance
    // becomes the current one.
    UiResourceSet(ResourceManager* resources, int lang);
    ~UiResourceSet();
    UiResourceSet(const UiResourceSet&) = delete;
    UiResourceSet& operator=(const UiResourceSet&) = delete;

    static UiResourceSet* Current();

    // Prepares the slots of `count` sets (at most kSetCount); the textures load on first use.
    void InitSets(int count = kSetCount);
    int SetCount() const { return setCount_; }
    const WString& Folder() const { return folder_; }
    // Opens the UI package; 0 when it cannot be opened (the resource manager keeps the failure).
    int OpenTree();
    ResourcePackage* Package() const { return package_; }

    // Makes set `set` (kSetCount and up) the texture named `name` in the group of that name; while
    // the package lacks it, the numbered set `standIn` (which holds the same cells) is drawn in its
    // place. False for a set number out of range or an image the package lacks.
    bool LoadNamedSet(int set, WStringView name, int standIn);

    // The texture of a set, made on first use for the device; null for a set out of range, a
    // package that is not open or a set whose image is missing.
    Texture* GetTexture(int set, RenderDevice* device);
    // A texture record of a group of the UI package ("Image", "Gallery", "Tut"...) by name, or by
    // id when the name is empty; null when absent.
    const TextureData* GetResource(WStringView group, WStringView name, std::uint32_t id) const;
    // Drops the device textures (scene switch, lost device); they are made again on use.
    void ReleaseTextures();

private:
    ResourceManager* resources_;
    WString folder_;
    int setCount_ = 0;
    ResourcePackage* package_ = nullptr;
    struct Slot {
        TexturePtr texture;
        RenderDevice* device = nullptr;
        bool missing = false;
    };
    struct Named {
        WString name;      // empty: not loaded
        int standIn = -1;  // numbered set drawn while the image is missing
    };
    std::array<Slot, kSetCount + kNamedSetCount> slots_{};
    std::array<Named, kNamedSetCount> named_{};
};

}  // namespace gui
