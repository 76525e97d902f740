#pragma once
// The shell's uses of the resource manager, kept apart from the render device's headers.

#include "engine/core/Text.h"

class ResourceManager;

// "Loading error-<n> (file:<file> pack:<pack> type:<type>)\r\rReinstall Marvenlot after Remove".
WString LoadingErrorText(const ResourceManager* resources, int number);
