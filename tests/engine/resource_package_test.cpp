// Packages: building, opening from memory and disk, the resource tree, failed lookups and the
// "Loading error" names, and damaged files refused without a crash.

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/resource/PackageBuilder.h"
#include "engine/resource/ResourceManager.h"
#include "tests/common/TempDir.h"

namespace {

std::vector<uint8_t> SamplePackage() {
    PackageBuilder builder;
    GroupBuilder& map = builder.AddGroup(u"Map0002");
    SceneInfoData scene;
    scene.cameras.push_back(CameraData{});
    map.Add(u"Scene", scene);
    map.Add(u"Lang", BinaryData{{'a', '\n'}});
    map.Add(u"Beep", SoundData{SoundFormat::Wav, 0, {1, 2}}, 0);  // id 0 is an ordinary id
    GroupBuilder& obj = builder.AddGroup(u"BillObject");
    obj.Add(u"reflection", TextureData{TextureFormat::Rgba8, 1, 1, {{1, 1, {1, 2, 3, 4}}}});
    GroupBuilder& tip = obj.AddChild(u"Cues").AddChild(u"TunningCue").AddChild(u"TuneTip");
    tip.Add(u"1", ModelData{{{u"tip", -1, {}, kEmptyResourceId, 0, kNoCullOverride, 0, 0}}, {}});
    return builder.Build();
}

TEST(ResourcePackage, GroupsTreeAndLookupsFromMemory) {
    ResourceManager manager;
    ResourcePackage* package = manager.OpenPackageFromMemory(u"data", SamplePackage());
    ASSERT_NE(package, nullptr);
    EXPECT_EQ(manager.FindPackage(u"data.mpk"), package);
    EXPECT_EQ(package->GetGroupNames(), (std::vector<WString>{u"Map0002", u"BillObject"}));

    ResourceGroup* map = package->FindGroup(u"Map0002");
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->GetSceneInfoManager().Count(), 1u);
    EXPECT_EQ(map->GetSceneInfoManager().All()[0]->data.cameras.size(), 1u);
    EXPECT_EQ(map->GetSoundManager().FindById(0)->name, u"Beep");
    EXPECT_EQ(map->GetBinaryManager().FindOrLoadByName(u"Lang")->data.bytes.size(), 2u);

    ResourceGroup* obj = package->FindGroup(u"BillObject");
    ASSERT_NE(obj, nullptr);
    EXPECT_FALSE(obj->GetTextureManager().FindByName(u"reflection")->IsEmpty());
    ResourceGroup* tip = obj->FindPath({u"Cues", u"TunningCue", u"TuneTip"});
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->GetModelManager().FindByName(u"1")->data.nodes[0].name, u"tip");
    EXPECT_EQ(obj->FindPath({u"Cues", u"Nope"}), nullptr);
    EXPECT_EQ(package->FindGroup(u"Map0000"), nullptr);
}

TEST(ResourcePackage, FailedLookupsShareOneNonNullEmptyHandle) {
    ResourceManager manager;
    ResourceGroup* map = manager.OpenPackageFromMemory(u"data", SamplePackage())->FindGroup(u"Map0002");
    ASSERT_NE(map, nullptr);
    const TextureHandle& a = map->GetTextureManager().FindById(12345);
    const TextureHandle& b = map->GetTextureManager().FindByName(u"missing");
    ASSERT_TRUE(a);
    EXPECT_TRUE(a->IsEmpty());
    EXPECT_EQ(a.get(), b.get());
    EXPECT_EQ(a.get(), EmptyResource<TextureData>().get());
    EXPECT_EQ(a->data.levels.size(), 0u);
}

TEST(ResourcePackage, MissingResourceByNameSetsLastFailure) {
    ResourceManager manager;
    ResourceGroup* map = manager.OpenPackageFromMemory(u"data", SamplePackage())->FindGroup(u"Map0002");
    ASSERT_NE(map, nullptr);
    manager.ClearLastFailure();
    EXPECT_TRUE(map->GetStringTableManager().FindOrLoadByName(u"Words")->IsEmpty());
    EXPECT_EQ(manager.GetLastFailedFile(), u"Words");
    EXPECT_EQ(manager.GetLastFailedPack(), u"data");
    EXPECT_EQ(manager.GetLastFailedType(), static_cast<int>(ResourceType::StringTable));
}

TEST(ResourcePackage, MissingFileGivesNullAndLoadingErrorNames) {
    ResourceManager manager;
    manager.SetRootFolder(u"/nonexistent-root");
    EXPECT_EQ(manager.OpenPackage(u"Tables"), nullptr);
    EXPECT_EQ(manager.GetLastFailedFile(), u"/nonexistent-root/data/Tables.mpk");
    EXPECT_EQ(manager.GetLastFailedPack(), u"Tables");
    EXPECT_EQ(manager.GetLastFailedType(), kNoResourceType);
}

TEST(ResourcePackage, OpensFromDiskAddingTheExtension) {
    const auto dir = testsupport::TempPath("mvpk-test");
    std::filesystem::create_directories(dir / "data");
    PackageBuilder builder;
    builder.AddGroup(u"Lang").Add(u"Lang", BinaryData{});
    ASSERT_TRUE(builder.WriteFile((dir / "data" / "Lang.mpk").string()));

    ResourceManager manager;
    manager.SetRootFolder(FromUtf8(dir.string()));
    ResourcePackage* package = manager.OpenPackage(u"Lang");
    ASSERT_NE(package, nullptr);
    EXPECT_EQ(manager.OpenPackage(u"Lang.mpk"), package);  // opened once
    ASSERT_NE(package->FindGroup(u"Lang"), nullptr);
    EXPECT_FALSE(package->FindGroup(u"Lang")->GetBinaryManager().FindOrLoadByName(u"Lang")->IsEmpty());
    std::filesystem::remove_all(dir);
}

TEST(ResourcePackage, GroupsLoadOnFirstUseWhenNotLoadedAtOpen) {
    ResourceManager manager;
    ResourcePackage* package = manager.OpenPackageFromMemory(u"data", SamplePackage(), false);
    ASSERT_NE(package, nullptr);
    EXPECT_EQ(package->FindGroup(u"Map0002"), nullptr);
    EXPECT_EQ(package->FindOrLoadGroup(u"Map0002", false), nullptr);
    ResourceGroup* loaded = package->FindOrLoadGroup(u"Map0002", true);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(package->FindGroup(u"Map0002"), loaded);
    EXPECT_EQ(package->FindOrLoadGroup(u"Shop"), nullptr);
    EXPECT_EQ(manager.GetLastFailedFile(), u"Shop");
}

TEST(ResourcePackage, DamagedGroupFailsAloneWithItsNames) {
    std::vector<uint8_t> bytes = SamplePackage();
    // Flip the last byte: it lies in the last group's compressed block (BillObject's deepest child).
    bytes.back() ^= 0xFF;
    ResourceManager manager;
    ResourcePackage* package = manager.OpenPackageFromMemory(u"BillObject", bytes);
    ASSERT_NE(package, nullptr);
    EXPECT_NE(package->FindGroup(u"Map0002"), nullptr);
    EXPECT_EQ(package->FindGroup(u"BillObject"), nullptr);
    EXPECT_EQ(manager.GetLastFailedPack(), u"BillObject");
    EXPECT_EQ(manager.GetLastFailedFile(), u"TuneTip");
}

TEST(ResourcePackage, BadRecordNamesItsType) {
    PackageBuilder builder;
    GroupBuilder& g = builder.AddGroup(u"Tables");
    g.AddRawRecord(ResourceType::Mesh, 4, u"Bed", {1, 2, 3});
    ResourceManager manager;
    ResourcePackage* package = manager.OpenPackageFromMemory(u"Tables", builder.Build());
    ASSERT_NE(package, nullptr);
    EXPECT_EQ(package->FindGroup(u"Tables"), nullptr);
    EXPECT_EQ(manager.GetLastFailedFile(), u"Bed");
    EXPECT_EQ(manager.GetLastFailedType(), static_cast<int>(ResourceType::Mesh));
}

TEST(ResourcePackage, RepeatedIdOfOneTypeIsRefused) {
    PackageBuilder builder;
    GroupBuilder& g = builder.AddGroup(u"G");
    g.Add(u"a", BinaryData{}, 3);
    g.Add(u"b", BinaryData{}, 3);
    g.Add(u"c", StringTableData{}, 3);  // another type may use the same id
    ResourceManager manager;
    EXPECT_EQ(manager.OpenPackageFromMemory(u"p", builder.Build())->FindGroup(u"G"), nullptr);
}

TEST(ResourcePackage, EveryTruncationIsRefusedWithoutCrash) {
    const std::vector<uint8_t> bytes = SamplePackage();
    for (size_t n = 0; n < bytes.size(); ++n) {
        ResourceManager manager;
        ResourcePackage* package =
            manager.OpenPackageFromMemory(u"data", std::vector<uint8_t>(bytes.begin(), bytes.begin() + n));
        const bool whole = package != nullptr && package->FindGroup(u"Map0002") != nullptr &&
                           package->FindGroup(u"BillObject") != nullptr;
        EXPECT_FALSE(whole) << "cut at " << n;
        EXPECT_FALSE(manager.GetLastFailedPack().empty());
    }
}

TEST(ResourcePackage, EveryFlippedByteIsHandledWithoutCrash) {
    const std::vector<uint8_t> bytes = SamplePackage();
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::vector<uint8_t> damaged = bytes;
        damaged[i] ^= 0x5A;
        ResourceManager manager;
        if (ResourcePackage* package = manager.OpenPackageFromMemory(u"data", damaged)) {
            for (const WString& name : package->GetGroupNames()) {
                if (ResourceGroup* g = package->FindGroup(name)) {
                    (void)g->ResourceCount();
                }
            }
        }
    }
}

TEST(ResourcePackage, HeaderChecks) {
    ResourceManager manager;
    std::vector<uint8_t> bytes = SamplePackage();
    bytes[0] = 'X';
    EXPECT_EQ(manager.OpenPackageFromMemory(u"a", bytes), nullptr);
    bytes = SamplePackage();
    bytes[4] = 2;  // version
    EXPECT_EQ(manager.OpenPackageFromMemory(u"a", bytes), nullptr);
    bytes = SamplePackage();
    bytes[8] = 0xFF, bytes[9] = 0xFF;  // group count
    EXPECT_EQ(manager.OpenPackageFromMemory(u"a", bytes), nullptr);
    EXPECT_EQ(manager.GetLastFailedPack(), u"a");
}

}  // namespace
