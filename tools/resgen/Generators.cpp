#include "tools/resgen/Generators.h"

#include <cmath>
#include <string>

#include "physics/PhysicsConstants.h"
#include "physics/TableGeometry.h"
#include "tools/resgen/Images.h"
#include "tools/resgen/MeshBuilder.h"
#include "tools/resgen/Sounds.h"
#include "tools/resgen/UiImages.h"

namespace {

// Stage-mask bit of slot 0 (the diffuse map) in the material flag word.
constexpr uint32_t kDiffuseStageBit = 0x1;
constexpr int kUiImageSets = 34;
constexpr int kSoundIds = 100;
// One model per row of the cue part table (8 parts per group), so every part sold can be shown.
constexpr int kTunePartsPerGroup = 8;
// The ball kinds' radii (cm) the physics plays with: the table world draws every ball at its physics
// radius, so models of that size are drawn unscaled.
constexpr float kCaromBallRadius = 3.075f;
constexpr float kPoolBallRadius = 2.8575f;
constexpr float kSnookerBallRadius = 2.625f;

WString W(const std::string& s) {
    return FromUtf8(s);
}

Float4 ToFloat4(Rgba c) {
    return {c.r / 255.0f, c.g / 255.0f, c.b / 255.0f, c.a / 255.0f};
}

// A lit material; with a texture id it samples the texture in slot 0, else it is the plain colour.
uint32_t AddMaterial(GroupBuilder& g, const WString& name, Rgba colour, uint32_t textureId = kEmptyResourceId,
                     const WString& textureName = u"", float specularPower = 0.0f) {
    MaterialData m;
    m.diffuse = ToFloat4(colour);
    m.ambient = m.diffuse;
    if (specularPower > 0) {
        m.specular = 1;
        m.specularColor = {0.6f, 0.6f, 0.6f, 1};
        m.power = specularPower;
    }
    if (textureId != kEmptyResourceId) {
        m.flags = kDiffuseStageBit;
        m.diffuse = m.ambient = {1, 1, 1, 1};
        m.slots[0] = 0;
        m.stages.push_back({textureId, textureName, 0, std::nullopt, std::nullopt});
    }
    return g.Add(name, m);
}

uint32_t AddSingleNodeModel(GroupBuilder& g, const WString& name, uint32_t meshId,
                            const BoundingSphere& bounds, uint32_t flags = 0) {
    ModelData model;
    ModelNodeData node;
    node.name = name;
    node.meshId = meshId;
    node.flags = flags;
    model.nodes.push_back(node);
    model.bounds = bounds;
    return g.Add(name, model);
}

// ---- scenes ("data" > "Map0000"/"Map0002", and the package "Map0002")

void BuildMapGroup(GroupBuilder& g, const WString& name, Rgba floorColour) {
    Image floor(64, 64, floorColour);
    floor.FillRect(
        0, 0, 32, 32,
        {uint8_t(floorColour.r * 0.8), uint8_t(floorColour.g * 0.8), uint8_t(floorColour.b * 0.8), 255});
    floor.FillRect(
        32, 32, 32, 32,
        {uint8_t(floorColour.r * 0.8), uint8_t(floorColour.g * 0.8), uint8_t(floorColour.b * 0.8), 255});
    const uint32_t floorTexture = g.Add(u"Floor", floor.ToTexture());
    const uint32_t floorMaterial = AddMaterial(g, u"Floor", {255, 255, 255, 255}, floorTexture, u"Floor");
    MeshBuilder mesh;
    mesh.AddQuadZ(floorMaterial, -600, -600, 600, 600, -80, 12);
    const MeshData floorMesh = mesh.Build();
    const uint32_t floorMeshId = g.Add(u"Floor", floorMesh);
    const uint32_t floorModel = AddSingleNodeModel(g, u"Floor", floorMeshId, floorMesh.bounds);

    SceneInfoData scene;
    scene.settings.clearColor = 0xFF202428;
    scene.ambient = {0.35f, 0.35f, 0.38f, 1.0f};
    const char16_t* cameraNames[3] = {u"Main", u"Top", u"Side"};
    const Float3 eyes[3] = {{0, -260, 230}, {0, -1, 420}, {-320, 0, 120}};
    for (uint32_t i = 0; i < 3; ++i) {
        CameraData c;
        c.id = i;
        c.name = cameraNames[i];
        c.eye = eyes[i];
        c.target = {0, 0, 0};
        c.up = {0, 0, 1};
        c.fov = 0.7853982f;
        c.nearPlane = 5.0f;
        c.farPlane = 5000.0f;
        c.minDistance = 25.0f;
        c.maxDistance = 800.0f;
        scene.cameras.push_back(c);
    }
    DirectionalLightData key;
    key.key = 0;
    key.intensity = 0.9f;
    key.direction = {0.3f, 0.2f, -1.0f};
    DirectionalLightData fill;
    fill.key = 1;
    fill.intensity = 0.4f;
    fill.specular = 0;
    fill.direction = {-0.3f, -0.4f, -1.0f};
    scene.directionalLights = {key, fill};
    SceneObjectData object;
    object.key = 0;
    object.name = u"Floor";
    object.modelId = floorModel;
    scene.objects.push_back(object);
    g.Add(name, scene);
}

void BuildData(GeneratedPackage& p) {
    BuildMapGroup(p.builder.AddGroup(u"Map0000"), u"Map0000", {90, 70, 60, 255});
    BuildMapGroup(p.builder.AddGroup(u"Map0002"), u"Map0002", {70, 60, 80, 255});
}

void BuildMapPackage(GeneratedPackage& p) {
    BuildMapGroup(p.builder.AddGroup(u"Map0002"), u"Map0002", {70, 60, 80, 255});
}

// ---- tables

// What the table meshes are built from (cm), read from the physics table geometry so the balls
// roll where the cloth is drawn: the cushion nose rectangle, cushion width and height, rail width
// and height, and the pocket holes of the pocket tables.
struct TableSize {
    float halfLength;  // cushion nose line, x
    float halfWidth;   // cushion nose line, y
    float cushionWidth;
    float cushionHeight;
    float frameWidth;
    float railTop;
    bool pockets;
    float cornerHoleOffset;
    float cornerHoleRadius;
    float sideHoleOffset;
    float sideHoleRadius;
};

TableSize SizeOfTable(int type) {
    physics::TableGeometry g;
    const bool pockets = physics::BuildTableGeometry(static_cast<std::uint32_t>(type), g) != 0;
    return {g.cushion.xMax.v,     g.cushion.yMax.v,   g.cushionWidth.v,  g.cushionHeight.v,
            g.frameWidth.v,       g.railTop.v,        pockets,           g.cornerHoleOffset.v,
            g.cornerHoleRadius.v, g.sideHoleOffset.v, g.sideHoleRadius.v};
}

Rgba ClothColour(const TableSize& s) {
    return s.pockets ? Rgba{20, 110, 50, 255} : Rgba{30, 80, 170, 255};
}

MeshData BuildTableMesh(const TableSize& s, uint32_t cloth, uint32_t cushion, uint32_t rail, uint32_t body,
                        uint32_t pocket) {
    MeshBuilder m;
    const float ox = s.halfLength + s.cushionWidth, oy = s.halfWidth + s.cushionWidth;
    const float fx = ox + s.frameWidth, fy = oy + s.frameWidth;
    m.AddQuadZ(cloth, -ox, -oy, ox, oy, 0.0f, 4.0f);
    // Cushions between the nose line and the outer line; pocket tables leave gaps at the pockets.
    const float cornerCut = s.pockets ? s.cornerHoleRadius : 0.0f;
    const float sideCut = s.pockets ? s.sideHoleRadius : 0.0f;
    const float h = s.cushionHeight;
    for (float sign : {-1.0f, 1.0f}) {
        const float y0 = sign < 0 ? -oy : s.halfWidth, y1 = sign < 0 ? -s.halfWidth : oy;
        if (s.pockets) {
            m.AddBox(cushion, {-s.halfLength + cornerCut, y0, 0}, {-sideCut, y1, h});
            m.AddBox(cushion, {sideCut, y0, 0}, {s.halfLength - cornerCut, y1, h});
        } else {
            m.AddBox(cushion, {-ox, y0, 0}, {ox, y1, h});
        }
        const float x0 = sign < 0 ? -ox : s.halfLength, x1 = sign < 0 ? -s.halfLength : ox;
        m.AddBox(cushion, {x0, -s.halfWidth + cornerCut, 0}, {x1, s.halfWidth - cornerCut, h});
    }
    // Rails from the outer line to the frame line, and the body below the bed.
    m.AddBox(rail, {-fx, -fy, 0}, {fx, -oy, s.railTop});
    m.AddBox(rail, {-fx, oy, 0}, {fx, fy, s.railTop});
    m.AddBox(rail, {-fx, -oy, 0}, {-ox, oy, s.railTop});
    m.AddBox(rail, {ox, -oy, 0}, {fx, oy, s.railTop});
    m.AddBox(body, {-fx + 2, -fy + 2, -25},
             {fx - 2, fy - 2, -0.5f});  // just below the bed: no shared plane with the cloth
    for (float lx : {-40.0f, 40.0f}) {
        for (float ly : {-1.0f, 1.0f}) {
            m.AddBox(body, {lx * s.halfLength / 60 - 6, ly * (s.halfWidth - 15) - 6, -80},
                     {lx * s.halfLength / 60 + 6, ly * (s.halfWidth - 15) + 6, -25});
        }
    }
    if (s.pockets) {
        const float cx = s.halfLength + s.cornerHoleOffset, cy = s.halfWidth + s.cornerHoleOffset;
        const float sy = s.halfWidth + s.sideHoleOffset;
        for (float z : {0.05f, s.railTop + 0.05f}) {
            for (float x : {-cx, cx}) {
                for (float y : {-cy, cy}) m.AddDiscZ(pocket, {x, y, z}, s.cornerHoleRadius);
            }
            for (float y : {-sy, sy}) m.AddDiscZ(pocket, {0, y, z}, s.sideHoleRadius);
        }
    }
    return m.Build();
}

void BuildTables(GeneratedPackage& p) {
    GroupBuilder& g = p.builder.AddGroup(u"Tables");
    Image wood(64, 64, {120, 70, 35, 255});
    for (int y = 0; y < 64; y += 4) wood.FillRect(0, y, 64, 1, {100, 58, 28, 255});
    wood.Noise(7, 6);
    const uint32_t woodTexture = g.Add(u"Wood", wood.ToTexture());
    const uint32_t rail = AddMaterial(g, u"Rail", {255, 255, 255, 255}, woodTexture, u"Wood", 20.0f);
    const uint32_t body = AddMaterial(g, u"Body", {70, 40, 20, 255});
    const uint32_t pocket = AddMaterial(g, u"Pocket", {10, 10, 10, 255});
    for (int type = 0; type < static_cast<int>(physics::kTableTypeCount); ++type) {
        const std::string n = std::to_string(type);
        const TableSize size = SizeOfTable(type);
        const Rgba c = ClothColour(size);
        Image cloth(64, 64, c);
        cloth.Noise(uint32_t(type + 1), 5);
        const uint32_t clothTexture = g.Add(W("Cloth" + n), cloth.ToTexture());
        const uint32_t clothMaterial =
            AddMaterial(g, W("Cloth" + n), {255, 255, 255, 255}, clothTexture, W("Cloth" + n));
        const uint32_t cushion = AddMaterial(
            g, W("Cushion" + n), {uint8_t(c.r * 0.8), uint8_t(c.g * 0.8), uint8_t(c.b * 0.8), 255});
        const MeshData mesh = BuildTableMesh(size, clothMaterial, cushion, rail, body, pocket);
        const uint32_t meshId = g.Add(W("Table" + n), mesh);
        AddSingleNodeModel(g, W("Table" + n), meshId, mesh.bounds);
    }
}

// ---- balls

struct BallLook {
    Rgba colour;
    int number;  // 0 = no number
    bool stripe;
};

Image BallImage(const BallLook& look) {
    const Rgba white{245, 245, 240, 255};
    Image img(128, 64, look.stripe ? white : look.colour);
    if (look.stripe) img.FillRect(0, 20, 128, 24, look.colour);
    if (look.number > 0) {
        for (int cx : {32, 96}) {
            img.FillCircle(float(cx), 32.0f, 9.0f, white);
            img.DrawNumber(cx, 32, std::to_string(look.number), 2, {20, 20, 20, 255});
        }
    }
    return img;
}

void AddBallSet(GroupBuilder& g, const std::string& set, float radius, const std::vector<BallLook>& looks) {
    for (size_t i = 0; i < looks.size(); ++i) {
        const WString name = W(set + std::to_string(i));
        const uint32_t texture = g.Add(name, BallImage(looks[i]).ToTexture());
        const uint32_t material = AddMaterial(g, name, {255, 255, 255, 255}, texture, name, 40.0f);
        MeshBuilder m;
        m.AddSphere(material, {0, 0, 0}, radius);
        const MeshData mesh = m.Build();
        const uint32_t meshId = g.Add(name, mesh);
        AddSingleNodeModel(g, name, meshId, mesh.bounds);
    }
}

void BuildBalls(GeneratedPackage& p) {
    GroupBuilder& g = p.builder.AddGroup(u"Balls");
    AddBallSet(g, "Carom", kCaromBallRadius,
               {{{245, 245, 240, 255}, 0, false},
                {{240, 200, 40, 255}, 0, false},
                {{200, 30, 30, 255}, 0, false},
                {{170, 20, 40, 255}, 0, false}});
    const Rgba pool[8] = {{230, 190, 30, 255}, {30, 60, 180, 255}, {200, 30, 30, 255}, {90, 40, 140, 255},
                          {240, 120, 20, 255}, {20, 120, 60, 255}, {120, 30, 30, 255}, {15, 15, 15, 255}};
    std::vector<BallLook> poolLooks = {{{245, 245, 240, 255}, 0, false}};
    for (int n = 1; n <= 15; ++n) poolLooks.push_back({pool[(n - 1) % 8], n, n > 8});
    AddBallSet(g, "Pool", kPoolBallRadius, poolLooks);
    AddBallSet(g, "Snooker", kSnookerBallRadius,
               {{{245, 245, 240, 255}, 0, false},
                {{200, 30, 30, 255}, 0, false},
                {{230, 200, 30, 255}, 0, false},
                {{20, 120, 60, 255}, 0, false},
                {{110, 70, 30, 255}, 0, false},
                {{30, 60, 180, 255}, 0, false},
                {{240, 130, 160, 255}, 0, false},
                {{15, 15, 15, 255}, 0, false}});
}

// ---- cues: the tip at the origin, the cue along +x; lengths in cm

struct CueSection {
    const char* group;
    float x0, x1, r0, r1;
};
constexpr CueSection kCueSections[5] = {
    {"TuneShaft", 1.2f, 71.2f, 0.62f, 0.8f},  {"TuneButt", 74.2f, 143.2f, 0.9f, 1.45f},
    {"TuneJoint", 71.2f, 74.2f, 0.85f, 0.9f}, {"TuneBumper", 143.2f, 144.2f, 1.45f, 1.4f},
    {"TuneTip", 0.0f, 1.2f, 0.6f, 0.62f},
};

Rgba PartColour(int section, int variant) {
    static const Rgba base[5] = {
        {225, 200, 150, 255}, {90, 40, 30, 255}, {190, 190, 200, 255}, {20, 20, 20, 255}, {60, 90, 160, 255}};
    const Rgba b = base[section];
    const int shift = variant * 23;
    return {uint8_t((b.r + shift) % 256), uint8_t((b.g + shift * 2) % 256), uint8_t((b.b + shift * 3) % 256),
            255};
}

void BuildCues(GeneratedPackage& p) {
    GroupBuilder& g = p.builder.AddGroup(u"Cues");
    for (int cue = 0; cue < 8; ++cue) {
        MeshBuilder m;
        for (int s = 0; s < 5; ++s) {
            const CueSection& c = kCueSections[s];
            const uint32_t material =
                AddMaterial(g, W("Cue" + std::to_string(cue) + c.group), PartColour(s, s == 1 ? cue : 0),
                            kEmptyResourceId, u"", 30.0f);
            m.AddCylinderX(material, c.x0, c.x1, c.r0, c.r1);
        }
        const MeshData mesh = m.Build();
        const WString name = W("Cue" + std::to_string(cue));
        AddSingleNodeModel(g, name, g.Add(name, mesh), mesh.bounds);
    }
}

void BuildBillObject(GeneratedPackage& p) {
    GroupBuilder& root = p.builder.AddGroup(u"BillObject");
    Image reflection(64, 64);
    reflection.Gradient(0, 0, 64, 64, {220, 225, 235, 255}, {40, 45, 55, 255});
    root.Add(u"reflection", reflection.ToTexture());
    Image shadow(64, 64, {0, 0, 0, 0});
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const float d = std::sqrt(float((x - 32) * (x - 32) + (y - 32) * (y - 32))) / 32.0f;
            shadow.Set(x, y, {0, 0, 0, uint8_t(d >= 1 ? 0 : 160 * (1 - d))});
        }
    }
    root.Add(u"shadow", shadow.ToTexture());

    GroupBuilder& tuning = root.AddChild(u"Cues").AddChild(u"TunningCue");
    for (int s = 0; s < 5; ++s) {
        const CueSection& c = kCueSections[s];
        GroupBuilder& part = tuning.AddChild(W(c.group));
        for (int n = 1; n <= kTunePartsPerGroup; ++n) {
            const WString name = W(std::to_string(n));
            const uint32_t material = AddMaterial(part, name, PartColour(s, n), kEmptyResourceId, u"", 30.0f);
            MeshBuilder m;
            m.AddCylinderX(material, c.x0, c.x1, c.r0, c.r1);
            const MeshData mesh = m.Build();
            // The bumper and the tip take the "shadow" stage, the others the "reflection" stage.
            AddSingleNodeModel(part, name, part.Add(name, mesh), mesh.bounds,
                               s >= 3 ? kModelNodeUsesShadowStage : 0);
        }
    }
}

// ---- the UI resource tree

void BuildUi(GeneratedPackage& p) {
    GroupBuilder& images = p.builder.AddGroup(u"Image");
    for (int set = 0; set < kUiImageSets; ++set) {
        images.Add(W(std::to_string(set)), BuildUiImageSet(set).ToTexture(false), uint32_t(set));
    }
    GroupBuilder& sounds = p.builder.AddGroup(u"Sound");
    for (int id = 0; id < kSoundIds; ++id) {
        const float frequency = 330.0f * std::pow(2.0f, float(id % 24) / 12.0f);
        SoundData sound;
        if (id == 4 || id == 5) {  // the music streams
            sound.format = SoundFormat::OggVorbis;
            sound.streamed = 1;
            sound.bytes = MakeToneOgg(frequency / 2, 3000);
        } else {
            sound.bytes = MakeToneWav(frequency, 90);
        }
        sounds.Add(W(std::to_string(id)), sound, uint32_t(id));
    }
    GroupBuilder& tut = p.builder.AddGroup(u"Tut");
    for (int i = 0; i < 4; ++i) {
        Image page(128, 128, {40, 60, 90, 255});
        page.Frame(0, 0, 128, 128, 3, {230, 230, 230, 255});
        page.DrawNumber(64, 64, std::to_string(i + 1), 6, {255, 255, 255, 255});
        tut.Add(W("Guide" + std::to_string(i)), page.ToTexture(false));
    }
    GroupBuilder& shop = p.builder.AddGroup(u"Shop");
    Image shopImage(128, 128, {70, 50, 30, 255});
    shopImage.Frame(0, 0, 128, 128, 2, {200, 170, 90, 255});
    shop.Add(u"Shop", shopImage.ToTexture(false));
    GroupBuilder& effect = p.builder.AddGroup(u"Effect");
    Image ani(256, 64, {0, 0, 0, 0});
    for (int f = 0; f < 4; ++f) ani.FillCircle(32.0f + 64 * f, 32.0f, 8.0f + 6 * f, {255, 220, 80, 200});
    const uint32_t aniTexture = effect.Add(u"GameAni", ani.ToTexture(false));
    SpriteAnimationData frames;
    frames.textureId = aniTexture;
    for (int f = 0; f < 4; ++f) frames.frames.push_back({{64 * f, 0, 64, 64}, 80});
    const uint32_t aniId = effect.Add(u"GameAni", frames);
    SpriteData sprite;
    sprite.textureId = aniTexture;
    sprite.animationId = aniId;
    sprite.width = 64, sprite.height = 64;
    sprite.rect = {0, 0, 64, 64};
    effect.Add(u"GameAni", sprite);
    GroupBuilder& gallery = p.builder.AddGroup(u"Gallery");
    gallery.Add(u"Gallery", BuildUiImageSet(kUiImageSets).ToTexture(false));
}

void BuildLang(GeneratedPackage& p) {
    // The chat word filter's list: ANSI lines; empty by default.
    p.builder.AddGroup(u"Lang").Add(u"Lang", BinaryData{});
}

}  // namespace

std::vector<GeneratedPackage> BuildDefaultPackages() {
    std::vector<GeneratedPackage> packages;
    auto add = [&](const char* name, void (*build)(GeneratedPackage&)) {
        packages.push_back({name, {}});
        build(packages.back());
    };
    add("data", BuildData);
    add("Map0002", BuildMapPackage);
    add("BillObject", BuildBillObject);
    add("Tables", BuildTables);
    add("Balls", BuildBalls);
    add("Cues", BuildCues);
    add("UIEn", BuildUi);
    add("UIEng", BuildUi);
    add("Lang", BuildLang);
    return packages;
}
