#include <gtest/gtest.h>

#include <cfloat>
#include <cstring>

#include "engine/render/ProjectedGeometry.h"

namespace {

// A position-only mesh of triangles given as corner lists.
SceneNodePtr NodeOf(const std::vector<std::array<Vector3f, 3>>& triangles) {
    auto mesh = std::make_shared<Mesh>();
    std::vector<std::uint8_t> bytes(triangles.size() * 3 * 12);
    std::vector<std::uint16_t> indices;
    for (std::size_t t = 0; t < triangles.size(); ++t)
        for (int k = 0; k < 3; ++k) {
            std::memcpy(bytes.data() + (t * 3 + k) * 12, &triangles[t][k], 12);
            indices.push_back(static_cast<std::uint16_t>(t * 3 + k));
        }
    mesh->SetVertices(platform::vertex_format::kPosition, std::move(bytes));
    mesh->AddPart(std::make_shared<Material>(), indices);
    mesh->UpdateBounds();
    auto node = std::make_shared<SceneNode>();
    node->SetMesh(0, mesh);
    return node;
}

// A 100 x 100 table top at z = 0 whose triangles face down the projection direction (0, 0, -1).
SceneNodePtr TableTop() {
    return NodeOf(
        {{{{-50, -50, 0}, {-50, 50, 0}, {50, 50, 0}}}, {{{-50, -50, 0}, {50, 50, 0}, {50, -50, 0}}}});
}

std::shared_ptr<Sprite> SquareSprite() {
    auto texture = Texture::CreateRgba(nullptr, 16, 16, std::vector<std::uint8_t>(16 * 16 * 4));
    return Sprite::CreateQuad(texture, 10, 10);
}

struct Projection {
    ProjectedGeometry geometry;
    void Run(const SceneNode& root, Vector3f centre = {}, bool band = false, float depth = 10) {
        geometry.Project(*SquareSprite(), root, centre, {0, 1, 0}, {0, 0, -1}, depth, band);
    }
    float Area() const {
        const Mesh& mesh = *geometry.GetMesh();
        float area = 0;
        const auto& idx = mesh.parts[0]->indices;
        for (std::size_t i = 0; i + 2 < idx.size(); i += 3)
            area += Length(Cross(mesh.Position(idx[i + 1]) - mesh.Position(idx[i]),
                                 mesh.Position(idx[i + 2]) - mesh.Position(idx[i]))) /
                    2;
        return area;
    }
    std::pair<float, float> Uv(std::uint32_t vertex) const {
        float uv[2];
        std::memcpy(uv, geometry.GetMesh()->vertices.data() + vertex * 20 + 12, 8);
        return {uv[0], uv[1]};
    }
};

}  // namespace

TEST(ProjectedGeometry, SquareSpriteOnAFlatTableGivesTheClippedSquareWithFullUvRange) {
    Projection p;
    auto table = TableTop();
    p.Run(*table);
    ASSERT_FALSE(p.geometry.IsEmpty());
    EXPECT_NEAR(p.Area(), 100.0f, 1e-3);
    const Mesh& mesh = *p.geometry.GetMesh();
    float uMin = 9, uMax = -9, vMin = 9, vMax = -9;
    for (std::uint32_t v = 0; v < mesh.geometry.vertexCount; ++v) {
        Vector3f pos = mesh.Position(v);
        EXPECT_LE(std::fabs(pos.x), 5.0001f);
        EXPECT_LE(std::fabs(pos.y), 5.0001f);
        auto [u, w] = p.Uv(v);
        uMin = std::min(uMin, u), uMax = std::max(uMax, u), vMin = std::min(vMin, w),
        vMax = std::max(vMax, w);
        if (pos.x < -4.999f && pos.y > 4.999f) {
            EXPECT_NEAR(u, 0, 1e-5);
            EXPECT_NEAR(w, 0, 1e-5);
        }
    }
    EXPECT_NEAR(uMin, 0, 1e-5);
    EXPECT_NEAR(uMax, 1, 1e-5);
    EXPECT_NEAR(vMin, 0, 1e-5);
    EXPECT_NEAR(vMax, 1, 1e-5);
    EXPECT_EQ(mesh.parts[0]->indices.size() % 3, 0u);
}

TEST(ProjectedGeometry, MissesBackFacesAndPrunedNodesLeaveTheMeshEmpty) {
    Projection miss;
    miss.Run(*TableTop(), {500, 500, 0});
    EXPECT_TRUE(miss.geometry.IsEmpty());

    Projection back;
    back.Run(*NodeOf({{{{-50, -50, 0}, {50, 50, 0}, {-50, 50, 0}}}}));
    EXPECT_TRUE(back.geometry.IsEmpty()) << "a triangle facing against the direction is dropped";

    auto root = std::make_shared<SceneNode>();
    root->sphere.center = {1000, 0, 0};
    root->sphere.radius = 1;
    root->AddChild(TableTop());
    Projection pruned;
    pruned.Run(*root);
    EXPECT_TRUE(pruned.geometry.IsEmpty()) << "children of a node outside the box are not visited";
}

TEST(ProjectedGeometry, BandFilterDropsTrianglesWhoseCornersAllLieOutsideTheBand) {
    auto slope = NodeOf({{{{-50, -50, -20}, {-50, 50, -20}, {50, 50, 20}}}});
    Projection open;
    open.Run(*slope);
    EXPECT_FALSE(open.geometry.IsEmpty()) << "the triangle crosses the box";
    Projection banded;
    banded.Run(*slope, {}, true);
    EXPECT_TRUE(banded.geometry.IsEmpty());
}

TEST(ProjectedGeometry, ProjectingAgainReplacesTheLastResult) {
    Projection p;
    auto table = TableTop();
    p.Run(*table);
    std::uint32_t first = p.geometry.GetMesh()->geometry.vertexCount;
    p.Run(*table);
    EXPECT_EQ(p.geometry.GetMesh()->geometry.vertexCount, first);
    p.Run(*table, {500, 0, 0});
    EXPECT_TRUE(p.geometry.IsEmpty());
    EXPECT_EQ(p.geometry.GetMesh()->geometry.vertexCount, 0u);
}

TEST(ClipPolygonByPlanes, ATriangleOnAPlaneKeepsItsCornersAndGainsNothing) {
    PlaneSet planes = {{{0, 0, 1}, 0}};
    std::vector<Vector3f> pool(5);
    pool[0] = {0, 0, 0}, pool[1] = {1, 0, 0}, pool[2] = {0, 1, 0};
    std::size_t used = 3;
    std::vector<const Vector3f*> polygon = {&pool[0], &pool[1], &pool[2]};
    ClipPolygonByPlanes(planes, pool, used, polygon);
    EXPECT_EQ(polygon.size(), 3u);
    EXPECT_EQ(used, 3u);
}

TEST(ClipPolygonByPlanes, ANearlyTouchingEdgeIntersectsAtItsPreviousCorner) {
    PlaneSet planes = {{{1, 0, 0}, 0}};
    std::vector<Vector3f> pool(5);
    pool[0] = {1e-8f, 0, 0}, pool[1] = {-1e-8f, 5, 0}, pool[2] = {1, 5, 0};
    std::size_t used = 3;
    std::vector<const Vector3f*> polygon = {&pool[0], &pool[1], &pool[2]};
    ClipPolygonByPlanes(planes, pool, used, polygon);
    ASSERT_EQ(polygon.size(), 4u);
    EXPECT_EQ(polygon[0], &pool[0]);
    EXPECT_NE(polygon[1], &pool[0]) << "a new vertex from the pool";
    EXPECT_EQ(*polygon[1], pool[0]) << "placed at the previous corner";
    EXPECT_EQ(polygon[3], &pool[2]);
}

TEST(SphereInsidePlanes, OutsideOnlyWhenWhollyBeyondOnePlane) {
    PlaneSet planes = {{{1, 0, 0}, 0}};
    EXPECT_TRUE(SphereInsidePlanes({-0.5f, 0, 0}, 1, planes));
    EXPECT_FALSE(SphereInsidePlanes({-2, 0, 0}, 1, planes));
    EXPECT_TRUE(SphereInsidePlanes({-100, 0, 0}, 1, {}));
}
