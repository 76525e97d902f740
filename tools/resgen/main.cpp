// resgen: writes the default resource packages into the folder given as the only argument.

#include <cstdio>
#include <filesystem>

#include "tools/resgen/Generators.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: resgen <output folder>\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "resgen: cannot create %s: %s\n", folder.c_str(), error.message().c_str());
        return 1;
    }
    for (const GeneratedPackage& package : BuildDefaultPackages()) {
        const std::filesystem::path path = folder / (package.name + ".mpk");
        if (!package.builder.WriteFile(path.string())) {
            std::fprintf(stderr, "resgen: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
