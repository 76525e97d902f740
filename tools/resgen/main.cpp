// resgen: writes the default resource packages into the folder given as the only argument, or
// with --icon the program's icon (a PNG) into the given file.

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/video/ImageFile.h"
#include "tools/resgen/Generators.h"
#include "tools/resgen/Images.h"

namespace {

// A black ball with its white spot and number on a transparent square.
int WriteIcon(const char* path) {
    constexpr int kSize = 64;
    Image icon(kSize, kSize, Rgba{0, 0, 0, 0});
    icon.FillCircle(kSize / 2.0f, kSize / 2.0f, kSize / 2.0f - 2, Rgba{20, 20, 24, 255});
    icon.FillCircle(kSize / 2.0f - 10, kSize / 2.0f - 12, 5, Rgba{90, 90, 100, 255});
    icon.FillCircle(kSize / 2.0f, kSize / 2.0f, 13, Rgba{245, 245, 240, 255});
    icon.DrawNumber(kSize / 2, kSize / 2, "8", 3, Rgba{20, 20, 24, 255});
    platform::Image out;
    out.width = out.height = kSize;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const Rgba c = icon.Get(x, y);
            out.rgba.insert(out.rgba.end(), {c.r, c.g, c.b, c.a});
        }
    }
    if (platform::SavePng(path, out)) return 0;
    std::fprintf(stderr, "resgen: cannot write %s\n", path);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--icon") == 0) return WriteIcon(argv[2]);
    if (argc != 2) {
        std::fprintf(stderr, "usage: resgen <output folder> | resgen --icon <file.png>\n");
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
