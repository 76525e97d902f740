#include "app/lib/AppResources.h"

#include "engine/core/Format.h"
#include "engine/resource/ResourceManager.h"

void ResourceManagerDeleter::operator()(ResourceManager* resources) const {
    std::default_delete<ResourceManager>()(resources);
}

ResourceManagerPtr CreateResourceManager(const WString& rootFolder) {
    ResourceManagerPtr resources(new ResourceManager());
    resources->SetRootFolder(rootFolder);
    resources->SetDataFolder(u"data");
    return resources;
}

WString LoadingErrorText(const ResourceManager* resources, int number) {
    return Format(u"%s-%d (file:%s pack:%s type:%d)\r\r%s", u"Loading error", number,
                  resources ? resources->GetLastFailedFile() : WString(),
                  resources ? resources->GetLastFailedPack() : WString(),
                  resources ? resources->GetLastFailedType() : 0, u"Reinstall Marvenlot after Remove");
}
