#include "points/pointtable.h"
#include "spreadsheet/runtimeerror.h"

#include <gtest/gtest.h>

using namespace karumenio::points;
using namespace karumenio::spreadsheet;

namespace {

TEST(PointTable, SlotsRunFromZeroToThreeThousandInclusive) {
    PointTable table;
    EXPECT_NO_THROW(table.pointX.at(0));
    EXPECT_NO_THROW(table.labelY.at(3000));
    for (int bad : {3001, -1, 32767}) {
        try {
            table.pointX.at(bad);
            ADD_FAILURE() << "slot " << bad << " was accepted";
        } catch (const RunTimeError& e) {
            EXPECT_EQ(e.number(), 9);
        }
    }
}

TEST(PointTable, CursorOverflowsPast32767) {
    PointCursor cursor;
    for (int i = 0; i < 32767; ++i) {
        cursor.step();
    }
    EXPECT_EQ(cursor.value(), 32767);
    try {
        cursor.step();
        ADD_FAILURE() << "no overflow";
    } catch (const RunTimeError& e) {
        EXPECT_EQ(e.error(), RunError::Overflow);
    }
    EXPECT_EQ(cursor.value(), 32767);
}

TEST(PointTable, CountIsZeroBeforeAnyRead) {
    PointTable table;
    EXPECT_EQ(table.count(), 0);
    table.pointCount = CellValue::number(12);
    EXPECT_EQ(table.count(), 12);
}

} // namespace
