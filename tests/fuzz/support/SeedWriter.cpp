// Writes the seed inputs that need the project's own writers (packages, records, Ogg Vorbis, shot
// records) into
// the corpus folders: fuzz_seed_writer <tests/fuzz/corpus>. The inputs are checked in; rerun it only
// when a format changes.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "engine/resource/PackageBuilder.h"
#include "engine/sound/WavCodec.h"
#include "table/ShotRecord.h"
#include "tests/engine/support/SoundTestSupport.h"

namespace {

std::filesystem::path gRoot;

bool Write(const std::string& target, const std::string& name, std::uint8_t mode,
           const std::vector<std::uint8_t>& bytes, bool withMode = true) {
    std::filesystem::create_directories(gRoot / target);
    std::ofstream out(gRoot / target / name, std::ios::binary);
    if (withMode) out.put(static_cast<char>(mode));
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

template <class T>
bool WriteRecord(const std::string& name, const T& value) {
    std::vector<std::uint8_t> body{static_cast<std::uint8_t>(ResourceTraits<T>::kType)};
    const auto encoded = EncodeRecordBytes(value);
    body.insert(body.end(), encoded.begin(), encoded.end());
    return Write("resource_package", "record-" + name, 1, body);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seed_writer CORPUS_FOLDER\n");
        return 2;
    }
    gRoot = argv[1];

    TextureData texture;
    texture.width = texture.height = 2;
    texture.levels = {{2, 2, std::vector<std::uint8_t>(16, 0x80)},
                      {1, 1, std::vector<std::uint8_t>(4, 0x40)}};
    SoundData sound;
    sound.bytes = GenerateToneWav(440.0f, 10);
    StringTableData strings;
    strings.entries = {{1, u"Loading"}, {2, u"\u00c9t\u00e9"}};
    BinaryData binary;
    binary.bytes = {'a', '\r', '\n', 'b'};
    SceneInfoData scene;
    MeshData mesh;

    bool ok = WriteRecord("texture", texture) && WriteRecord("sound", sound) &&
              WriteRecord("strings", strings) && WriteRecord("binary", binary) &&
              WriteRecord("scene", scene) && WriteRecord("mesh", mesh) && WriteRecord("bone", BoneData{}) &&
              WriteRecord("material", MaterialData{}) && WriteRecord("model", ModelData{}) &&
              WriteRecord("sprite", SpriteData{}) && WriteRecord("sprite-animation", SpriteAnimationData{}) &&
              WriteRecord("bone-animation", BoneAnimationData{}) &&
              WriteRecord("vertex-animation", VertexAnimationData{}) &&
              WriteRecord("model-animation", ModelAnimationData{});

    PackageBuilder package;
    GroupBuilder& ui = package.AddGroup(u"UI");
    ui.Add(u"button", texture);
    ui.Add(u"click", sound);
    ui.AddChild(u"Text").Add(u"en", strings);
    package.AddGroup(u"Lang").Add(u"words", binary);
    ok = ok && Write("resource_package", "package", 0, package.Build()) &&
         Write("resource_package", "block-ui", 2, ui.EncodeBlock());

    ok = ok && Write("ogg", "tone-mono", 0, soundtest::EncodeToneOgg(440.0f, 40), false) &&
         Write("ogg", "tone-stereo", 0, soundtest::EncodeToneOgg(660.0f, 30, 11025, 2), false) &&
         Write("wav", "tone", 0, GenerateToneWav(440.0f, 5), false);
    // Records the world plays (three-cushion, 9-ball with a ball out of play) and one that reads but
    // does not fit its table (sixteen balls on 9-ball).
    table::ShotRecord carom;
    carom.gameType = 4;
    carom.ballCount = 3;
    carom.positions[1] = {0.5f, -0.25f, 0.03f};
    carom.orientations[2] = {0, 0, 0, 1};
    carom.shotParams[0] = 1.5f;
    table::ShotRecord pocket = carom;
    pocket.gameType = 12;
    pocket.ballCount = 10;
    pocket.ballBytes[9] = 1;
    table::ShotRecord misfit = pocket;
    misfit.ballCount = 16;
    for (const auto& [name, record] :
         {std::pair{"carom", carom}, std::pair{"pocket", pocket}, std::pair{"misfit", misfit}}) {
        const std::string hex = table::ShotRecordToHex(record);
        ok = ok && Write("shot_record", name, 0, std::vector<std::uint8_t>(hex.begin(), hex.end()), false);
    }
    if (!ok) {
        std::fprintf(stderr, "fuzz_seed_writer: cannot write below %s\n", argv[1]);
        return 1;
    }
    return 0;
}
