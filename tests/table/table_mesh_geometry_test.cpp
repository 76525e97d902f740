// The generated table meshes are built from the physics table geometry: a drift between the two
// would show balls rolling off the drawn cloth or through drawn cushions.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "engine/core/Math.h"
#include "engine/resource/ResourceManager.h"
#include "physics/PhysicsConstants.h"
#include "physics/TableGeometry.h"

namespace {

struct Extent {
    float maxX = -1e30f, maxY = -1e30f;
    bool clothCorner = false;  // a vertex at the outer cushion corner on the bed
    bool cushionTop = false;   // a vertex at the cushion height
};

// The mesh builder adds in its own order: a few ulps apart is the same size.
bool Near(float a, float b) {
    return std::fabs(a - b) <= 1e-5f * std::max(1.0f, std::fabs(b));
}

Extent MeshExtent(const MeshData& mesh, const physics::TableGeometry& g) {
    Extent e;
    const std::uint32_t stride = vertex_format::Stride(mesh.vertexFormat);
    for (std::uint32_t i = 0; i < mesh.vertexCount; ++i) {
        float p[3];
        std::memcpy(p, mesh.vertices.data() + std::size_t{i} * stride, sizeof p);
        e.maxX = std::max(e.maxX, p[0]);
        e.maxY = std::max(e.maxY, p[1]);
        if (Near(p[0], g.outer.xMax.v) && Near(p[1], g.outer.yMax.v) && p[2] == 0.0f) e.clothCorner = true;
        if (Near(p[2], g.cushionHeight.v)) e.cushionTop = true;
    }
    return e;
}

// The group of the same name in a generated package of the build folder; null when it is missing.
ResourceGroup* GeneratedGroup(ResourceManager& manager, const std::string& name) {
    if (!std::filesystem::exists(std::string(MARVENLOT_BINARY_DIR) + "/data/" + name + ".mpk"))
        return nullptr;
    manager.SetRootFolder(FromUtf8(MARVENLOT_BINARY_DIR));
    manager.SetDataFolder(u"data");
    ResourcePackage* package = manager.OpenPackage(FromUtf8(name));
    return package ? package->FindGroup(FromUtf8(name)) : nullptr;
}

}  // namespace

TEST(GeneratedTables, EveryTableMeshHasThePhysicsFrameClothAndCushionHeight) {
    ResourceManager manager;
    ResourceGroup* tables = GeneratedGroup(manager, "Tables");
    ASSERT_NE(tables, nullptr) << "build the target marvenlot_resources first";
    for (std::uint32_t type = 0; type < physics::kTableTypeCount; ++type) {
        physics::TableGeometry g;
        physics::BuildTableGeometry(type, g);
        const auto& model = tables->GetModelManager().FindByName(u"Table" + FromUtf8(std::to_string(type)));
        ASSERT_FALSE(model->IsEmpty()) << type;
        ASSERT_FALSE(model->data.nodes.empty()) << type;
        const auto& mesh = tables->GetMeshManager().FindById(model->data.nodes.front().meshId);
        ASSERT_FALSE(mesh->IsEmpty()) << type;
        const Extent e = MeshExtent(mesh->data, g);
        EXPECT_FLOAT_EQ(e.maxX, g.frame.xMax.v) << "table " << type;
        EXPECT_FLOAT_EQ(e.maxY, g.frame.yMax.v) << "table " << type;
        EXPECT_TRUE(e.clothCorner) << "table " << type;
        EXPECT_TRUE(e.cushionTop) << "table " << type;
    }
}

TEST(GeneratedBalls, ABallsImageReadsLeftToRightInTheTablesViewNotMirrored) {
    ResourceManager manager;
    ResourceGroup* balls = GeneratedGroup(manager, "Balls");
    ASSERT_NE(balls, nullptr) << "build the target marvenlot_resources first";
    const auto& model = balls->GetModelManager().FindByName(u"Pool2");
    ASSERT_FALSE(model->IsEmpty());
    const MeshData& mesh = balls->GetMeshManager().FindById(model->data.nodes.front().meshId)->data;
    ASSERT_EQ(mesh.vertexFormat, vertex_format::Make(true, false, 1));
    const std::uint32_t stride = vertex_format::Stride(mesh.vertexFormat);
    const float r = mesh.bounds.radius;

    // Seen from beside the ball with z up, as the table is drawn: along the equator the image's
    // u must grow to the right of the screen, or its number reads mirrored.
    const Matrix4f view = LookAtMatrix({-10 * r, 0, 0}, {0, 0, 0}, {0, 0, 1});
    std::vector<std::pair<float, float>> xAndU;  // screen x, u of the equator's facing vertices
    for (std::uint32_t i = 0; i < mesh.vertexCount; ++i) {
        float v[8];
        std::memcpy(v, mesh.vertices.data() + std::size_t{i} * stride, sizeof v);
        if (std::fabs(v[2]) > 1e-3f * r || v[0] > -0.5f * r) continue;
        xAndU.emplace_back(v[0] * At(view, 0, 0) + v[1] * At(view, 1, 0) + At(view, 3, 0), v[6]);
    }
    ASSERT_GE(xAndU.size(), 3u);
    std::sort(xAndU.begin(), xAndU.end());
    for (std::size_t k = 1; k < xAndU.size(); ++k)
        EXPECT_GT(xAndU[k].second, xAndU[k - 1].second) << "at screen x " << xAndU[k].first;
}
