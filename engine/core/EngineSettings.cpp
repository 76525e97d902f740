#include "engine/core/EngineSettings.h"

EngineSettings& GetEngineSettings() {
    static EngineSettings settings;
    return settings;
}
