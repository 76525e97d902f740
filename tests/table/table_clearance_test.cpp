#include <gtest/gtest.h>

#include "table/TableClearance.h"

using namespace table;

TEST(TableClearance, EveryJawFacesThePlayingAreaAndEveryCushionLiesOnItsOwnSide) {
    for (std::uint32_t type : {4u, 9u, 11u}) {
        physics::TableRecord record;
        record.hasPockets = physics::BuildTableGeometry(type, record.geometry);
        const ClearanceTable t = MakeClearanceTable(record);
        EXPECT_EQ(t.pockets, type != 4) << "table " << type;
        int axis0 = 0;
        for (const ClearanceCushion& c : t.cushions) {
            axis0 += c.axis == 0;
            EXPECT_GT(std::fabs(c.outerLine), std::fabs(c.innerLine)) << "the rail lies outside the nose";
            EXPECT_LT(c.spanFrom, c.spanTo);
            for (int set = 0; set < (c.axis == 0 ? 2 : 1); ++set) {
                for (const auto& jaw : set == 0 ? c.endJaws : c.middleJaws) {
                    const Vector3f right{jaw[1].y - jaw[0].y, -(jaw[1].x - jaw[0].x), 0};
                    const Vector3f middle = (jaw[0] + jaw[1]) * 0.5f;
                    EXPECT_GE(Dot(right, Vector3f{0, 0, 0} - middle), 0.0f) << "table " << type;
                }
            }
        }
        EXPECT_EQ(axis0, 2) << "two long cushions with middle pockets";
    }
}
