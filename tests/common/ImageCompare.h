#pragma once
// What the screenshot tests share: the folder their frames are written to and the comparison of a
// frame with its reference image.

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/video/ImageFile.h"
#include "platform/video/RenderTypes.h"

namespace testsupport {

// build/<preset>/test-output, made on first use.
inline std::string TestOutputDir() {
    std::string dir = std::string(MARVENLOT_BINARY_DIR) + "/test-output";
    std::filesystem::create_directories(dir);
    return dir;
}

// Share of pixels whose colour differs by more than the tolerance in a channel; meanError receives
// the mean difference per channel.
inline double DifferingShare(const platform::Image& a, const platform::Image& b, int tolerance,
                             double* meanError = nullptr) {
    std::size_t differing = 0, total = std::size_t{a.width} * a.height;
    double sum = 0;
    for (std::size_t i = 0; i < total; ++i) {
        bool differs = false;
        for (int c = 0; c < 3; ++c) {
            int d = std::abs(int(a.rgba[i * 4 + c]) - int(b.rgba[i * 4 + c]));
            sum += d;
            differs = differs || d > tolerance;
        }
        differing += differs;
    }
    if (meanError) *meanError = sum / (total * 3.0);
    return static_cast<double>(differing) / static_cast<double>(total);
}

// Compares a drawn frame with its reference image (rewritten first when UPDATE_GOLDEN is set): the
// share of differing pixels, or 1 when the reference is missing or of another size.
inline double DifferenceFromReference(const platform::Image& frame, const std::string& referencePath) {
    if (std::getenv("UPDATE_GOLDEN") && !platform::SavePng(referencePath, frame)) return 1.0;
    platform::Image reference;
    if (!platform::LoadPng(referencePath, reference)) return 1.0;
    if (reference.width != frame.width || reference.height != frame.height) return 1.0;
    return DifferingShare(frame, reference, 3);
}

// Share of pixels whose colour the predicate accepts: a table's cloth, a ball's colour on a picture.
inline double ShareOf(const platform::Image& image, bool (*match)(int r, int g, int b)) {
    std::size_t n = 0, total = std::size_t{image.width} * image.height;
    for (std::size_t i = 0; i < total; ++i)
        n += match(image.rgba[i * 4], image.rgba[i * 4 + 1], image.rgba[i * 4 + 2]);
    return static_cast<double>(n) / static_cast<double>(total);
}

}  // namespace testsupport
