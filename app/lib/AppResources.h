#pragma once
// The shell's uses of the resource manager, kept apart from the render device's headers.

#include "engine/core/Text.h"
#include "engine/resource/ResourcePackage.h"

class ResourceManager;

// "Loading error-<n> (file:<file> pack:<pack> type:<type>)\r\rReinstall Marvenlot after Remove".
WString LoadingErrorText(const ResourceFailure& failure, int number);
// The same with the resource manager's last failure (empty names without a manager).
WString LoadingErrorText(const ResourceManager* resources, int number);

// Opens and decodes every package the client reads (`uiPackage`, the UI tree's, among them), so
// that a missing or damaged one is found at start and not as missing pictures or sounds later.
// False at the first that fails, with `failure` naming its file and package (the reason is in the
// log).
bool CheckClientPackages(ResourceManager& resources, WStringView uiPackage, ResourceFailure& failure);
