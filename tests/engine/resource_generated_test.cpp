// The packages the build generates load, hold every group the client opens, and every reference
// between their records (object > model > mesh > material > texture) resolves.

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/resource/ResourceManager.h"
#include "gui/UiAtlas.h"

namespace {

class GeneratedPackages : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::exists(std::string(MARVENLOT_BINARY_DIR) + "/data/data.mpk"))
            << "build the target marvenlot_resources first";
        manager_.SetRootFolder(FromUtf8(MARVENLOT_BINARY_DIR));
        manager_.SetDataFolder(u"data");
    }

    ResourceGroup* Group(const char16_t* package, const char16_t* group) {
        ResourcePackage* p = manager_.OpenPackage(package);
        EXPECT_NE(p, nullptr) << ToUtf8(package);
        if (p == nullptr) return nullptr;
        ResourceGroup* g = p->FindGroup(group);
        EXPECT_NE(g, nullptr) << ToUtf8(package) << " > " << ToUtf8(group);
        return g;
    }

    ResourceManager manager_;
};

// Every id a record names must exist in the same group.
void ExpectReferencesResolve(const ResourceGroup& g) {
    const std::string where = ToUtf8(g.GetName());
    for (const auto& scene : g.GetSceneInfoManager().All()) {
        for (const auto& o : scene->data.objects) {
            EXPECT_FALSE(g.GetModelManager().FindById(o.modelId)->IsEmpty()) << where;
        }
    }
    for (const auto& model : g.GetModelManager().All()) {
        for (const auto& node : model->data.nodes) {
            if (node.meshId != kEmptyResourceId) {
                EXPECT_FALSE(g.GetMeshManager().FindById(node.meshId)->IsEmpty()) << where;
            }
        }
    }
    for (const auto& mesh : g.GetMeshManager().All()) {
        EXPECT_GT(mesh->data.vertexCount, 0u) << where;
        for (const auto& part : mesh->data.parts) {
            EXPECT_FALSE(g.GetMaterialManager().FindById(part.materialId)->IsEmpty()) << where;
        }
    }
    for (const auto& material : g.GetMaterialManager().All()) {
        for (const auto& stage : material->data.stages) {
            EXPECT_FALSE(g.GetTextureManager().FindById(stage.textureId)->IsEmpty()) << where;
        }
    }
    for (const auto& sprite : g.GetSpriteManager().All()) {
        EXPECT_FALSE(g.GetTextureManager().FindById(sprite->data.textureId)->IsEmpty()) << where;
    }
    for (const auto& child : g.Children()) {
        ExpectReferencesResolve(*child);
    }
}

TEST_F(GeneratedPackages, EveryPackageLoadsWholeAndItsReferencesResolve) {
    for (const char16_t* name :
         {u"data", u"Map0002", u"BillObject", u"Tables", u"Balls", u"Cues", u"UIEn", u"UIEng", u"Lang"}) {
        ResourcePackage* package = manager_.OpenPackage(name);
        ASSERT_NE(package, nullptr) << ToUtf8(name);
        for (const WString& group : package->GetGroupNames()) {
            ResourceGroup* g = package->FindGroup(group);
            ASSERT_NE(g, nullptr) << ToUtf8(name) << " > " << ToUtf8(group);
            ExpectReferencesResolve(*g);
        }
    }
    EXPECT_TRUE(manager_.GetLastFailedPack().empty()) << ToUtf8(manager_.GetLastFailure().reason);
}

TEST_F(GeneratedPackages, MapScenesHaveCamerasLightsAndObjects) {
    for (auto [package, group] : {std::pair{u"data", u"Map0000"}, std::pair{u"data", u"Map0002"},
                                  std::pair{u"Map0002", u"Map0002"}}) {
        ResourceGroup* g = Group(package, group);
        ASSERT_NE(g, nullptr);
        ASSERT_EQ(g->GetSceneInfoManager().Count(), 1u);
        const SceneInfoData& scene = g->GetSceneInfoManager().All()[0]->data;
        // The 3D scenes erase cameras 1 and 2 when they are not current: three are needed.
        EXPECT_GE(scene.cameras.size(), 3u);
        EXPECT_FALSE(scene.directionalLights.empty());
        EXPECT_FALSE(scene.objects.empty());
    }
}

TEST_F(GeneratedPackages, CuePartTreeIsWalkableByNodeNames) {
    ResourceGroup* root = Group(u"BillObject", u"BillObject");
    ASSERT_NE(root, nullptr);
    EXPECT_FALSE(root->GetTextureManager().FindOrLoadByName(u"reflection")->IsEmpty());
    EXPECT_FALSE(root->GetTextureManager().FindOrLoadByName(u"shadow")->IsEmpty());
    for (const char16_t* part : {u"TuneShaft", u"TuneButt", u"TuneJoint", u"TuneBumper", u"TuneTip"}) {
        ResourceGroup* g = root->FindPath({u"Cues", u"TunningCue", part});
        ASSERT_NE(g, nullptr) << ToUtf8(part);
        // Every part the part table sells (8 per group) has its model.
        for (const char16_t* n : {u"1", u"8"})
            EXPECT_FALSE(g->GetModelManager().FindOrLoadByName(n)->IsEmpty()) << ToUtf8(part) << ToUtf8(n);
    }
}

TEST_F(GeneratedPackages, TablesBallsAndCuesAreThere) {
    ResourceGroup* tables = Group(u"Tables", u"Tables");
    ASSERT_NE(tables, nullptr);
    float previous = 0;
    for (int type : {0, 6, 11}) {
        const ModelHandle& model =
            tables->GetModelManager().FindByName(u"Table" + FromUtf8(std::to_string(type)));
        ASSERT_FALSE(model->IsEmpty()) << type;
        // Larger table types give larger models: the sizes are taken from the table geometry.
        EXPECT_GT(model->data.bounds.radius, previous) << type;
        previous = model->data.bounds.radius;
    }
    for (int type = 0; type < 12; ++type) {
        EXPECT_FALSE(
            tables->GetModelManager().FindByName(u"Table" + FromUtf8(std::to_string(type)))->IsEmpty());
    }
    ResourceGroup* balls = Group(u"Balls", u"Balls");
    ASSERT_NE(balls, nullptr);
    for (int n = 0; n < 16; ++n) {
        EXPECT_FALSE(balls->GetModelManager().FindByName(u"Pool" + FromUtf8(std::to_string(n)))->IsEmpty());
    }
    for (int n = 0; n < 4; ++n) {
        EXPECT_FALSE(balls->GetModelManager().FindByName(u"Carom" + FromUtf8(std::to_string(n)))->IsEmpty());
    }
    ResourceGroup* cues = Group(u"Cues", u"Cues");
    ASSERT_NE(cues, nullptr);
    EXPECT_FALSE(cues->GetModelManager().FindByName(u"Cue0")->IsEmpty());
}

TEST_F(GeneratedPackages, UiTreeHasImageSetsSoundsAndTutorial) {
    for (const char16_t* package : {u"UIEn", u"UIEng"}) {
        ResourceGroup* images = Group(package, u"Image");
        ASSERT_NE(images, nullptr);
        EXPECT_EQ(images->GetTextureManager().Count(), 34u);
        for (uint32_t set = 0; set < 34; ++set) {
            EXPECT_FALSE(images->GetTextureManager().FindById(set)->IsEmpty()) << set;
        }
        ResourceGroup* sounds = Group(package, u"Sound");
        ASSERT_NE(sounds, nullptr);
        for (uint32_t id : {0u, 1u, 20u, 27u, 42u, 95u, 97u}) {
            const SoundHandle& s = sounds->GetSoundManager().FindById(id);
            ASSERT_FALSE(s->IsEmpty()) << id;
            ASSERT_GE(s->data.bytes.size(), 44u);
            EXPECT_EQ(std::string(s->data.bytes.begin(), s->data.bytes.begin() + 4), "RIFF");
        }
        for (uint32_t id : {4u, 5u}) {
            const SoundHandle& music = sounds->GetSoundManager().FindById(id);
            ASSERT_FALSE(music->IsEmpty());
            EXPECT_EQ(music->data.format, SoundFormat::OggVorbis);
            EXPECT_EQ(std::string(music->data.bytes.begin(), music->data.bytes.begin() + 4), "OggS");
        }
        EXPECT_NE(Group(package, u"Tut"), nullptr);
        EXPECT_NE(Group(package, u"Shop"), nullptr);
        EXPECT_NE(Group(package, u"Effect"), nullptr);
    }
}

// The school's set is twice as tall; its pictures stand beside and below the common cells, which it
// keeps where every set has them.
TEST_F(GeneratedPackages, TheSchoolSetHoldsItsPicturesWithoutCoveringTheCommonCells) {
    namespace atlas = gui::atlas;
    ResourceGroup* images = Group(u"UIEn", u"Image");
    ASSERT_NE(images, nullptr);
    const TextureHandle& school = images->GetTextureManager().FindById(atlas::school::kSet);
    const TextureHandle& common = images->GetTextureManager().FindById(0);
    ASSERT_FALSE(school->IsEmpty());
    ASSERT_FALSE(common->IsEmpty());
    const TextureLevel& level = school->data.levels.at(0);
    ASSERT_EQ(level.width, 1024u);
    ASSERT_EQ(level.height, static_cast<uint32_t>(atlas::school::kSetHeight));
    auto pixel = [](const TextureLevel& l, int x, int y, int k) {
        return l
            .pixels[(static_cast<size_t>(y) * l.width + static_cast<size_t>(x)) * 4 + static_cast<size_t>(k)];
    };
    struct Strip {
        gui::UiImage cell;
        int frames;
        bool schools;
    };
    const Strip strips[] = {
        {atlas::school::kGuidePanel, 1, true}, {atlas::school::kShotPicture, 1, true},
        {atlas::school::kContinue, 4, true},   {atlas::school::kPrevious, 4, true},
        {atlas::school::kWayOut, 4, true},     {atlas::school::kIndexPanel, 1, true},
        {atlas::school::kTopicRow, 4, true},   {atlas::school::kSubTopicRow, 4, true},
        {atlas::kTextButton, 4, false},        {atlas::kCloseButton, 4, false},
        {atlas::kRadioButton, 7, false},       {atlas::kArrowUp, 16, false},
        {atlas::kThumbVertical, 1, false},     {atlas::kTrackVertical, 1, false},
        {atlas::kThumbHorizontal, 1, false},   {atlas::kTrackHorizontal, 1, false},
        {atlas::kEditField, 3, false},         {atlas::kDigits, atlas::kDigitCells, false},
        {atlas::kTitleBar, 1, false},          {atlas::kPanel, 2, false},
    };
    for (std::size_t i = 0; i < std::size(strips); ++i) {
        const gui::UiImage& a = strips[i].cell;
        const int aw = a.w * strips[i].frames;
        EXPECT_LE(a.x + aw, 1024) << i;
        EXPECT_LE(a.y + a.h, atlas::school::kSetHeight) << i;
        for (std::size_t j = i + 1; j < std::size(strips); ++j) {
            const gui::UiImage& b = strips[j].cell;
            const int bw = b.w * strips[j].frames;
            const bool apart = a.x + aw <= b.x || b.x + bw <= a.x || a.y + a.h <= b.y || b.y + b.h <= a.y;
            EXPECT_TRUE(apart) << "strips " << i << " and " << j << " overlap";
        }
        if (!strips[i].schools) continue;
        for (int f = 0; f < strips[i].frames; ++f) {
            const gui::UiImage c = a.Frame(f);
            EXPECT_GT(pixel(level, c.x + c.w / 2, c.y + c.h / 2, 3), 0) << "an empty school picture " << i;
        }
    }
    // A common cell reads the same as in set 0.
    const gui::UiImage face = atlas::kTextButton;
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(pixel(level, face.x + 20, face.y + 16, k),
                  pixel(common->data.levels.at(0), face.x + 20, face.y + 16, k));
}

TEST_F(GeneratedPackages, LangWordListIsEmpty) {
    ResourceGroup* lang = Group(u"Lang", u"Lang");
    ASSERT_NE(lang, nullptr);
    const BinaryHandle& words = lang->GetBinaryManager().FindOrLoadByName(u"Lang");
    ASSERT_FALSE(words->IsEmpty());
    EXPECT_TRUE(words->data.bytes.empty());
}

}  // namespace
