#include "pointtable.h"

#include "spreadsheet/runtimeerror.h"

#include <limits>
#include <string>

namespace karumenio::points {

void checkSlot(int slot) {
    if (slot < 0 || slot >= kSlotCount) {
        throw spreadsheet::RunTimeError(spreadsheet::RunError::SubscriptOutOfRange,
                                        "インデックスが有効範囲にありません: 点の番号 " +
                                            std::to_string(slot) +
                                            " は 0 から 3000 の範囲を外れています。");
    }
}

spreadsheet::CellValue& SlotArray::at(int slot) {
    checkSlot(slot);
    return m_slots[static_cast<std::size_t>(slot)];
}

const spreadsheet::CellValue& SlotArray::at(int slot) const {
    checkSlot(slot);
    return m_slots[static_cast<std::size_t>(slot)];
}

void PointCursor::step() {
    if (m_value == std::numeric_limits<int16_t>::max()) {
        throw spreadsheet::RunTimeError(spreadsheet::RunError::Overflow,
                                        "オーバーフローしました: 点の番号が 32767 を超えます。");
    }
    ++m_value;
}

int PointTable::count() const {
    return pointCount.isEmpty() ? 0 : static_cast<int>(pointCount.toNumber());
}

} // namespace karumenio::points
