#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "table/TablePlane.h"

using namespace table;

TEST(TablePlane, StepTowardsStopsAtTheTargetFromEitherSide) {
    EXPECT_FLOAT_EQ(StepTowards(0.9f, 0.2f, 1.0f), 1.0f);
    EXPECT_FLOAT_EQ(StepTowards(0.5f, 0.2f, 1.0f), 0.7f);
    EXPECT_FLOAT_EQ(StepTowards(0.1f, -0.2f, 0.0f), 0.0f);
}

namespace {
// Gauss-Jordan inverse of a row-major 4x4 matrix (test helper; the matrices here are well conditioned).
Matrix4f Invert(const double in[16]) {
    Matrix4f out;
    double a[4][8];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 8; ++c) a[r][c] = c < 4 ? in[r * 4 + c] : (c - 4 == r ? 1.0 : 0.0);
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r)
            if (std::abs(a[r][col]) > std::abs(a[pivot][col])) pivot = r;
        std::swap(a[col], a[pivot]);
        const double p = a[col][col];
        for (double& v : a[col]) v /= p;
        for (int r = 0; r < 4; ++r) {
            if (r == col) continue;
            const double f = a[r][col];
            for (int c = 0; c < 8; ++c) a[r][c] -= f * a[col][c];
        }
    }
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) At(out, r, c) = static_cast<float>(a[r][c + 4]);
    return out;
}
}  // namespace

TEST(TablePlane, ScreenToTablePlaneFindsThePointUnderTheMouseAndRefusesDegenerateInput) {
    // A camera 100 units above the table looking straight down, row-vector convention.
    const double viewProjection[16] = {1.5, 0,   0,   0,   //
                                       0,   2.0, 0,   0,   //
                                       0,   0,   0.5, -1,  //
                                       0,   0,   0,   100};
    const Matrix4f inverse = Invert(viewProjection);
    const float w = 800, v = 600, mouseX = 600, mouseY = 150, h = 3.0f;
    float x = 0, y = 0;
    ASSERT_TRUE(ScreenToTablePlane(inverse, x, y, h, w, v, mouseX, mouseY));
    // Projecting the found point back must land under the mouse.
    const double clipX = x * viewProjection[0];
    const double clipY = y * viewProjection[5];
    const double clipW = h * viewProjection[11] + viewProjection[15];
    EXPECT_NEAR(clipX / clipW, (mouseX - w / 2) / (w / 2), 1e-4);
    EXPECT_NEAR(clipY / clipW, -(mouseY - v / 2) / (v / 2), 1e-4);

    const Matrix4f flat;  // identity
    x = y = 7;
    EXPECT_FALSE(ScreenToTablePlane(flat, x, y, 0.0f, 800, 600, 10, 10));
    EXPECT_FALSE(ScreenToTablePlane(inverse, x, y, 0.0f, 0, 600, 10, 10));
    EXPECT_EQ(x, 7);
}
