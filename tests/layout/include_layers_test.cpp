// Every library includes only its own folder and the layers below it:
// platform <- engine/core <- engine/resource <- engine/{input,sound,render} <- physics <- net <- gui
// <- table <- scenes/base <- scenes/* <- app. physics uses only engine/core, the platform's FPU
// control and the standard library. tools/, tests/ and bench/ sit on top and may include anything.

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Layer {
    std::string_view prefix;
    int rank;
};

// Longest prefixes first, so "scenes/base/" wins over "scenes/".
constexpr std::array<Layer, 16> kLayers = {{
    {"engine/resource/", 2},
    {"engine/render/", 3},
    {"engine/input/", 3},
    {"engine/sound/", 3},
    {"engine/core/", 1},
    {"scenes/base/", 8},
    {"platform/", 0},
    {"physics/", 4},
    {"scenes/", 9},
    {"table/", 7},
    {"tools/", 11},
    {"tests/", 11},
    {"bench/", 11},
    {"net/", 5},
    {"gui/", 6},
    {"app/", 10},
}};

const Layer* LayerOf(std::string_view path) {
    for (const Layer& layer : kLayers)
        if (path.starts_with(layer.prefix)) return &layer;
    return nullptr;
}

bool MayInclude(const Layer& from, std::string_view include, const Layer& to) {
    if (from.prefix == to.prefix) return true;
    if (from.prefix == "physics/") return to.prefix == "engine/core/" || include == "platform/sys/Fpu.h";
    return to.rank < from.rank;
}

// One message per include of `text` (the contents of `file`, a path from the repository root) that
// points up the order or sideways into a folder of the same rank.
std::vector<std::string> LayerViolations(std::string_view file, const std::string& text) {
    std::vector<std::string> found;
    const Layer* from = LayerOf(file);
    if (from == nullptr) return found;
    static const std::regex kInclude(R"(^\s*#\s*include\s*\"([^\"]+)\")");
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        std::smatch match;
        if (!std::regex_search(line, match, kInclude)) continue;
        const std::string include = match[1];
        const Layer* to = LayerOf(include);
        if (to != nullptr && !MayInclude(*from, include, *to))
            found.push_back(std::string(file) + ":" + std::to_string(number) + " includes \"" + include +
                            "\"");
    }
    return found;
}

TEST(IncludeLayers, UpwardAndSidewaysIncludesAreFoundAndNamed) {
    struct Case {
        const char* file;
        const char* text;
        std::size_t violations;
    };
    const Case cases[] = {
        {"engine/core/Foo.cpp", "#include \"engine/core/Log.h\"\n#include \"platform/sys/Env.h\"\n", 0},
        {"engine/core/Foo.cpp", "#include <vector>\n#include \"gui/Widget.h\"\n", 1},
        {"engine/render/Foo.cpp", "#include \"engine/sound/Sound.h\"\n", 1},
        {"engine/sound/Foo.cpp", "#include \"engine/resource/Resource.h\"\n", 0},
        {"physics/Foo.cpp", "#include \"platform/sys/Fpu.h\"\n#include \"engine/core/Log.h\"\n", 0},
        {"physics/Foo.cpp", "#include \"platform/window/Window.h\"\n#include \"engine/render/Mesh.h\"\n", 2},
        {"net/Foo.cpp", "  #  include \"table/ShotRecord.h\"\n", 1},
        {"table/Foo.h", "#include \"scenes/base/GameScene.h\"\n#include \"app/lib/App.h\"\n", 2},
        {"scenes/base/Foo.h", "#include \"scenes/front/Lobby.h\"\n", 1},
        {"scenes/room/Foo.h", "#include \"scenes/base/GameScene.h\"\n#include \"table/ShotRecord.h\"\n", 0},
        {"app/lib/Foo.cpp", "#include \"tools/resgen/Images.h\"\n", 1},
        {"tools/x/main.cpp", "#include \"app/lib/App.h\"\n", 0},
        {"gui/Foo.cpp", "// #include \"app/lib/App.h\" is only a comment\n", 0},
    };
    for (const Case& c : cases) {
        const auto found = LayerViolations(c.file, c.text);
        EXPECT_EQ(found.size(), c.violations) << c.file << ": " << c.text;
    }
    const auto named =
        LayerViolations("engine/core/Foo.cpp", "#include <vector>\n#include \"gui/Widget.h\"\n");
    ASSERT_EQ(named.size(), 1u);
    EXPECT_EQ(named[0], "engine/core/Foo.cpp:2 includes \"gui/Widget.h\"");
}

TEST(IncludeLayers, NoSourceFileIncludesUpTheOrder) {
    const std::filesystem::path root = MARVENLOT_SOURCE_DIR;
    std::size_t scanned = 0;
    std::vector<std::string> found;
    for (const char* folder : {"platform", "engine", "physics", "net", "gui", "table", "scenes", "app"}) {
        if (!std::filesystem::exists(root / folder)) continue;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root / folder)) {
            const auto ext = entry.path().extension();
            if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
            std::ifstream in(entry.path(), std::ios::binary);
            std::stringstream text;
            text << in.rdbuf();
            const auto more =
                LayerViolations(entry.path().lexically_relative(root).generic_string(), text.str());
            found.insert(found.end(), more.begin(), more.end());
            ++scanned;
        }
    }
    EXPECT_GT(scanned, 300u);
    for (const auto& violation : found) ADD_FAILURE() << violation;
}

}  // namespace
