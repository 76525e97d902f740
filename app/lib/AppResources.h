#pragma once
// The shell's uses of the resource manager, kept apart from the render device's headers.

#include <memory>

#include "engine/core/Text.h"

class ResourceManager;

struct ResourceManagerDeleter {
    void operator()(ResourceManager* resources) const;
};
using ResourceManagerPtr = std::unique_ptr<ResourceManager, ResourceManagerDeleter>;

ResourceManagerPtr CreateResourceManager(const WString& rootFolder);
// "Loading error-<n> (file:<file> pack:<pack> type:<type>)\r\rReinstall Marvenlot after Remove".
WString LoadingErrorText(const ResourceManager* resources, int number);
