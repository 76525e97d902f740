#include "app/lib/AppResources.h"

#include "engine/core/Format.h"
#include "engine/resource/ResourceManager.h"

WString LoadingErrorText(const ResourceManager* resources, int number) {
    return Format(u"%s-%d (file:%s pack:%s type:%d)\r\r%s", u"Loading error", number,
                  resources ? resources->GetLastFailedFile() : WString(),
                  resources ? resources->GetLastFailedPack() : WString(),
                  resources ? resources->GetLastFailedType() : 0, u"Reinstall Marvenlot after Remove");
}
