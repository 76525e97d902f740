// resgen: writes the default resource packages into the folder given as the only argument, or
// with --icons the program's icon, at every size and scalable, below the given folder.

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "tools/resgen/Generators.h"
#include "tools/resgen/Icon.h"

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--icons") == 0) return WriteIcons(argv[2]) ? 0 : 1;
    if (argc != 2) {
        std::fprintf(stderr, "usage: resgen <output folder> | resgen --icons <folder>\n");
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
