#pragma once
// The default packages the client opens, each built by one function.

#include <string>
#include <vector>

#include "engine/resource/PackageBuilder.h"

struct GeneratedPackage {
    std::string name;  // file name without the extension
    PackageBuilder builder;
};

// Every default package: "data", "Map0002", "BillObject", "Tables", "Balls", "Cues", "UIEn", "UIEng", "Lang".
std::vector<GeneratedPackage> BuildDefaultPackages();
