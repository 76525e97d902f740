#include "app/lib/AppResources.h"

#include "engine/core/Format.h"
#include "engine/resource/ResourceManager.h"

namespace {

// The packages every mode may read; the UI tree's own is checked besides (scenes also read "UIEn").
constexpr const char16_t* kClientPackages[] = {u"data",  u"Map0002", u"BillObject", u"Tables",
                                               u"Balls", u"Cues",    u"UIEn",       u"Lang"};

bool CheckPackage(ResourceManager& resources, WStringView name, ResourceFailure& failure) {
    ResourcePackage* package = resources.OpenPackage(name, false);
    if (package && package->LoadAllGroups()) return true;
    // A group's failure names the group; the box names the file to replace.
    failure = resources.GetLastFailure();
    failure.file = resources.GetPackagePath(name);
    failure.pack = WString(name);
    return false;
}

}  // namespace

WString LoadingErrorText(const ResourceFailure& failure, int number) {
    return Format(u"%s-%d (file:%s pack:%s type:%d)\r\r%s", u"Loading error", number, failure.file,
                  failure.pack, failure.type, u"Reinstall Marvenlot after Remove");
}

WString LoadingErrorText(const ResourceManager* resources, int number) {
    return LoadingErrorText(resources ? resources->GetLastFailure() : ResourceFailure{}, number);
}

bool CheckClientPackages(ResourceManager& resources, WStringView uiPackage, ResourceFailure& failure) {
    if (!CheckPackage(resources, uiPackage, failure)) return false;
    for (const char16_t* name : kClientPackages)
        if (WStringView(name) != uiPackage && !CheckPackage(resources, name, failure)) return false;
    return true;
}
