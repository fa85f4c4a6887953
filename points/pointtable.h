#pragma once

#include "spreadsheet/cellvalue.h"

#include <array>
#include <cstdint>

namespace karumenio::points {

// Slot i holds worksheet row 6 + i.
inline constexpr int kSlotCount = 3001;
inline constexpr int kFirstDataRow = 6;

// The worksheet columns the arrays are read from.
inline constexpr int kBreakMarkColumn = 1;
inline constexpr int kLabelTextColumn = 2;
inline constexpr int kPointXColumn = 3;
inline constexpr int kPointYColumn = 4;
inline constexpr int kMarkRadiusColumn = 7;
// What the survey map needs of a point beyond the plan: its boundary mark (境界標) and its class
// (種別). The scripts never read them.
inline constexpr int kBoundaryMarkColumn = 8;
inline constexpr int kPointClassColumn = 9;
// The last column a point's data lies in: paste, Delete and a new job reach this far.
inline constexpr int kLastDataColumn = kPointClassColumn;

// One column of the point table. Every access checks the slot first, so that a walk past
// the last slot stops before anything is touched.
class SlotArray {
  public:
    spreadsheet::CellValue& at(int slot);
    const spreadsheet::CellValue& at(int slot) const;

  private:
    std::array<spreadsheet::CellValue, kSlotCount> m_slots{};
};

// The one cursor through the table that every pass shares; a 16-bit signed counter.
class PointCursor {
  public:
    int16_t value() const { return m_value; }
    void reset() { m_value = 0; }
    // Steps by one; stepping past 32767 is an overflow.
    void step();

  private:
    int16_t m_value = 0;
};

// The points of the latest read, in nine parallel columns. Nothing is ever cleared: a
// shorter read leaves the slots beyond its count as they were.
struct PointTable {
    SlotArray pointX;
    SlotArray pointY;
    SlotArray breakMark;
    SlotArray markRadius;
    SlotArray labelText;
    SlotArray labelX;
    SlotArray labelY;
    SlotArray boundaryMark;
    SlotArray pointClass;
    // Empty until the first read.
    spreadsheet::CellValue pointCount;
    PointCursor pointIndex;
    double radiusColumn = 0.0;

    // The number of points of the latest read, 0 before any read.
    int count() const;
};

// Throws the subscript error unless 0 <= slot <= 3000.
void checkSlot(int slot);

} // namespace karumenio::points
