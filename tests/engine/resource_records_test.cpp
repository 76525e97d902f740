// Every record type survives encode and decode unchanged, and damaged bodies are refused.

#include <gtest/gtest.h>

#include <set>

#include "engine/resource/RecordCodec.h"

namespace {

template <class T>
T RoundTrip(const T& in) {
    const std::vector<uint8_t> bytes = EncodeRecordBytes(in);
    T out;
    EXPECT_TRUE(DecodeRecordBytes(bytes, out));
    return out;
}

// Each cut of the body short of its end must be refused, never read past the buffer.
template <class T>
void ExpectEveryTruncationRefused(const T& in) {
    const std::vector<uint8_t> bytes = EncodeRecordBytes(in);
    for (size_t n = 0; n < bytes.size(); ++n) {
        T out;
        EXPECT_FALSE(DecodeRecordBytes(std::span(bytes.data(), n), out)) << "cut at " << n;
    }
}

TextureData SampleTexture() {
    TextureData t;
    t.format = TextureFormat::Rgba8;
    t.width = 4, t.height = 2;
    t.levels.push_back({4, 2, std::vector<uint8_t>(32, 7)});
    t.levels.push_back({2, 1, std::vector<uint8_t>(8, 9)});
    t.levels.push_back({1, 1, std::vector<uint8_t>(4, 1)});
    return t;
}

MeshData SampleMesh() {
    MeshData m;
    m.vertexFormat = vertex_format::Make(true, true, 1);
    m.vertexCount = 3;
    m.vertices.assign(3 * vertex_format::Stride(m.vertexFormat), 0x11);
    m.parts.push_back({5, {0, 1, 2}, {{1, 2, 3}, 4}});
    m.parts.push_back({6, {2, 1, 0}, {{0, 0, 0}, 1}});
    m.bounds = {{0, 1, 0}, 2};
    m.dynamic = 1;
    return m;
}

MaterialData SampleMaterial() {
    MaterialData m;
    m.flags = 0x41;
    m.lit = 1, m.lightingOff = 0, m.specular = 1;
    m.stages.push_back({7, u"felt", 3, TextureAnimationData{2, 0, 1}, std::nullopt});
    m.stages.push_back({8, u"bump", 0, std::nullopt, BumpParamsData{0.5f, 1, 4.0f}});
    m.slots[0] = 0;
    m.slots[2] = 1;
    m.diffuse = {0.1f, 0.2f, 0.3f, 0.4f};
    m.power = 12;
    return m;
}

SceneInfoData SampleSceneInfo() {
    SceneInfoData s;
    s.settings = {3, 0xFF102030};
    s.ambient = {0.2f, 0.3f, 0.4f, 1};
    s.fog = {0x10000, 1, 0.5f, 0.25f, 1, 10, 100, 0.01f};
    CameraData c;
    c.id = 1, c.name = u"Main", c.eye = {0, 200, -300};
    s.cameras.push_back(c);
    DirectionalLightData l;
    l.key = 2, l.on = 0, l.r = 0.5f, l.intensity = 0.75f, l.specular = 0, l.direction = {0, -1, 0.5f};
    s.directionalLights.push_back(l);
    PointLightData p;
    p.key = 3, p.position = {1, 2, 3}, p.range = 50;
    s.pointLights.push_back(p);
    SceneObjectData o;
    o.key = 4, o.name = u"Table", o.modelId = 9, o.world = Float4x4::Translation(1, 2, 3);
    s.objects.push_back(o);
    s.sprites.push_back({5, 6, {7, 8, 9}, 2});
    return s;
}

TEST(ResourceRecords, EveryTypeRoundTripsUnchanged) {
    EXPECT_EQ(RoundTrip(SampleTexture()), SampleTexture());
    EXPECT_EQ(RoundTrip(SampleMesh()), SampleMesh());
    EXPECT_EQ(RoundTrip(SampleMaterial()), SampleMaterial());
    EXPECT_EQ(RoundTrip(SampleSceneInfo()), SampleSceneInfo());

    BoneData bones{{{u"root", -1, {}}, {u"arm", 0, Float4x4::Translation(0, 1, 0)}}};
    EXPECT_EQ(RoundTrip(bones), bones);
    SoundData sound{SoundFormat::OggVorbis, 1, {1, 2, 3}};
    EXPECT_EQ(RoundTrip(sound), sound);
    ModelData model;
    model.nodes.push_back({u"Cue", -1, {}, 3, 0, kNoCullOverride, 0, 0});
    model.nodes.push_back(
        {u"Tip", 0, Float4x4::Translation(0, 0, 70), 4, 1, 2, -1, kModelNodeUsesShadowStage});
    model.bounds = {{0, 0, 35}, 75};
    EXPECT_EQ(RoundTrip(model), model);
    SpriteData sprite{3, 4, 10, 20, {0.5f, 1}, {1, 2, 3, 4}, 1, 0.5f};
    EXPECT_EQ(RoundTrip(sprite), sprite);
    SpriteAnimationData anim{3, 0, {{{0, 0, 16, 16}, 50}, {{16, 0, 16, 16}, 70}}};
    EXPECT_EQ(RoundTrip(anim), anim);
    TransformTrack track{u"arm",
                         {{0, {1, 2, 3}, {0, 0, 0, 1}, {1, 1, 1}}, {100, {}, {0, 1, 0, 0}, {2, 2, 2}}}};
    BoneAnimationData boneAnim{100, {track}};
    EXPECT_EQ(RoundTrip(boneAnim), boneAnim);
    ModelAnimationData modelAnim{200, 0, {track}};
    EXPECT_EQ(RoundTrip(modelAnim), modelAnim);
    VertexAnimationData vertexAnim{2, {{0, {{1, 2, 3}}}, {40, {{4, 5, 6}}}}};
    EXPECT_EQ(RoundTrip(vertexAnim), vertexAnim);
    StringTableData strings{{{1, u"당구"}, {7, u"Notice"}}};
    EXPECT_EQ(RoundTrip(strings), strings);
    BinaryData binary{{0, 255, 10, 13}};
    EXPECT_EQ(RoundTrip(binary), binary);
}

TEST(ResourceRecords, TruncatedBodiesAreRefusedNotOverread) {
    ExpectEveryTruncationRefused(SampleTexture());
    ExpectEveryTruncationRefused(SampleMesh());
    ExpectEveryTruncationRefused(SampleMaterial());
    ExpectEveryTruncationRefused(StringTableData{{{1, u"abc"}}});
    ExpectEveryTruncationRefused(BinaryData{{1, 2, 3}});
}

TEST(ResourceRecords, SceneInfoShortEntryFailsTheWholeRecord) {
    SceneInfoData s;
    DirectionalLightData l;
    l.key = 1;
    s.directionalLights.push_back(l);
    const std::vector<uint8_t> bytes = EncodeRecordBytes(s);
    // Settings (14 bytes), ambient (22) and fog (38) entries come first; only a cut between whole
    // entries decodes, never one inside the light entry.
    const std::set<size_t> entryEnds = {14, 36, 74};
    ASSERT_EQ(bytes.size(), 74u + 6u + 35u);
    for (size_t n = 1; n < bytes.size(); ++n) {
        SceneInfoData out;
        EXPECT_EQ(DecodeRecordBytes(std::span(bytes.data(), n), out), entryEnds.count(n) == 1) << n;
        EXPECT_TRUE(out.directionalLights.empty());
    }
}

TEST(ResourceRecords, DirectionalLightFieldsInTheirOrderOverDefaults) {
    // Key, on, r, g, b, intensity, diffuse, specular, direction x, y, z.
    ByteWriter w;
    w.U16(static_cast<uint16_t>(SceneInfoEntry::DirectLight));
    const size_t at = w.BeginLength();
    w.U32(9), w.U8(1), w.F32(0.25f), w.F32(0.5f), w.F32(0.75f), w.F32(2.0f), w.U8(0), w.U8(1);
    w.F32(1), w.F32(-1), w.F32(0);
    w.EndLength(at);
    SceneInfoData out;
    ASSERT_TRUE(DecodeRecordBytes(w.Data(), out));
    ASSERT_EQ(out.directionalLights.size(), 1u);
    const DirectionalLightData& l = out.directionalLights[0];
    EXPECT_EQ(l.key, 9u);
    EXPECT_EQ(l.on, 1);
    EXPECT_FLOAT_EQ(l.g, 0.5f);
    EXPECT_FLOAT_EQ(l.intensity, 2.0f);
    EXPECT_EQ(l.diffuse, 0);
    EXPECT_EQ(l.specular, 1);
    EXPECT_EQ(l.direction, (Float3{1, -1, 0}));
}

TEST(ResourceRecords, SceneInfoSkipsUnknownEntriesByLength) {
    ByteWriter w;
    w.U16(99);
    const size_t at = w.BeginLength();
    w.U32(1), w.U32(2);
    w.EndLength(at);
    EncodeRecord(w, SampleSceneInfo());
    SceneInfoData out;
    ASSERT_TRUE(DecodeRecordBytes(w.Data(), out));
    EXPECT_EQ(out, SampleSceneInfo());
}

TEST(ResourceRecords, InconsistentRecordsAreRefused) {
    TextureData badSize = SampleTexture();
    badSize.levels[0].pixels.pop_back();
    TextureData out;
    EXPECT_FALSE(DecodeRecordBytes(EncodeRecordBytes(badSize), out));

    TextureData badChain = SampleTexture();
    badChain.levels[1].width = 3;
    EXPECT_FALSE(DecodeRecordBytes(EncodeRecordBytes(badChain), out));

    MeshData indexOutOfRange = SampleMesh();
    indexOutOfRange.parts[0].indices[1] = 3;
    MeshData mesh;
    EXPECT_FALSE(DecodeRecordBytes(EncodeRecordBytes(indexOutOfRange), mesh));

    MeshData notTriangles = SampleMesh();
    notTriangles.parts[0].indices.push_back(0);
    EXPECT_FALSE(DecodeRecordBytes(EncodeRecordBytes(notTriangles), mesh));

    MeshData unknownFormat = SampleMesh();
    unknownFormat.vertexFormat |= 0x80000;
    EXPECT_FALSE(DecodeRecordBytes(EncodeRecordBytes(unknownFormat), mesh));

    MaterialData slotPastStages = SampleMaterial();
    slotPastStages.slots[5] = 2;
    MaterialData material;
    EXPECT_FALSE(DecodeRecordBytes(EncodeRecordBytes(slotPastStages), material));

    ModelData forwardParent;
    forwardParent.nodes.push_back({u"a", 1, {}, 0, 0, 0, 0, 0});
    forwardParent.nodes.push_back({u"b", -1, {}, 0, 0, 0, 0, 0});
    ModelData model;
    EXPECT_FALSE(DecodeRecordBytes(EncodeRecordBytes(forwardParent), model));

    // A count far beyond the bytes present must fail before allocating.
    ByteWriter huge;
    huge.U32(0xFFFFFFFF);
    StringTableData strings;
    EXPECT_FALSE(DecodeRecordBytes(huge.Data(), strings));

    std::vector<uint8_t> padded = EncodeRecordBytes(BinaryData{{1}});
    padded.push_back(0);
    BinaryData binary;
    EXPECT_FALSE(DecodeRecordBytes(padded, binary));
}

TEST(ResourceRecords, VertexFormatStrideFollowsTheWord) {
    EXPECT_EQ(vertex_format::Stride(vertex_format::Make(false, false, 0)), 12u);
    EXPECT_EQ(vertex_format::Stride(vertex_format::Make(true, false, 1)), 32u);
    EXPECT_EQ(vertex_format::Stride(vertex_format::Make(true, true, 2)), 44u);
    EXPECT_EQ(vertex_format::Stride(vertex_format::kNormal), 0u);  // no position
    EXPECT_EQ(vertex_format::Stride(vertex_format::kPosition | (9u << vertex_format::kTexCountShift)), 0u);
}

}  // namespace
