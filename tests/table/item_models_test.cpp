// Putting a personal cue together from its part meshes: the parts keep their own vertices and
// materials, and meshes that cannot share one vertex array are refused rather than garbled.

#include <gtest/gtest.h>

#include <cstring>

#include "engine/render/Mesh.h"
#include "table/ItemModels.h"

namespace {

constexpr std::uint32_t kPositions = platform::vertex_format::kPosition;

// A mesh of `count` vertices along x from `x0`, one triangle per three vertices.
std::shared_ptr<Mesh> Strip(std::uint32_t count, float x0, std::uint32_t format = kPositions) {
    auto mesh = std::make_shared<Mesh>();
    const std::uint32_t stride = platform::vertex_format::Stride(format);
    std::vector<std::uint8_t> bytes(std::size_t{count} * stride);
    for (std::uint32_t v = 0; v < count; ++v) {
        const float p[3] = {x0 + static_cast<float>(v), 0, 0};
        std::memcpy(&bytes[std::size_t{v} * stride], p, sizeof(p));
    }
    mesh->SetVertices(format, std::move(bytes));
    std::vector<std::uint16_t> indices;
    for (std::uint32_t v = 0; v + 2 < count; v += 3)
        indices.insert(indices.end(), {static_cast<std::uint16_t>(v), static_cast<std::uint16_t>(v + 1),
                                       static_cast<std::uint16_t>(v + 2)});
    mesh->AddPart(std::make_shared<Material>(), std::move(indices));
    mesh->UpdateBounds();
    return mesh;
}

TEST(MergeMeshes, EachPartStillPointsAtItsOwnVerticesAndKeepsItsMaterial) {
    const auto shaft = Strip(6, 0.0f), butt = Strip(3, 100.0f);
    const auto cue = table::MergeMeshes({shaft, butt});
    ASSERT_NE(cue, nullptr);
    ASSERT_EQ(cue->geometry.vertexCount, 9u);
    ASSERT_EQ(cue->parts.size(), 2u);
    EXPECT_EQ(cue->parts[1]->material, butt->parts[0]->material);
    // The butt's first triangle starts at its first vertex, now behind the shaft's six.
    const std::uint16_t first = cue->parts[1]->indices[0];
    EXPECT_EQ(first, 6);
    EXPECT_FLOAT_EQ(cue->Position(first).x, 100.0f);
    EXPECT_GT(cue->sphere.radius, 40.0f) << "the bounds cover the whole cue";
}

TEST(MergeMeshes, RefusesNothingMixedFormatsAndMoreVerticesThanSixteenBitIndicesReach) {
    EXPECT_EQ(table::MergeMeshes({}), nullptr);
    EXPECT_EQ(table::MergeMeshes({Strip(3, 0), nullptr}), nullptr);
    EXPECT_EQ(table::MergeMeshes({Strip(3, 0), Strip(3, 5, kPositions | platform::vertex_format::kDiffuse)}),
              nullptr);
    EXPECT_EQ(table::MergeMeshes({Strip(40000, 0), Strip(30000, 0)}), nullptr);
    EXPECT_NE(table::MergeMeshes({Strip(40000, 0), Strip(25536, 0)}), nullptr) << "65,536 vertices still fit";
}

}  // namespace
