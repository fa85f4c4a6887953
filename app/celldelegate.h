#pragma once

#include <QStyledItemDelegate>

namespace karumenio::spreadsheet {
class Worksheet;
} // namespace karumenio::spreadsheet

namespace karumenio::app {

// Paints what a cell alone does not carry: the heading shapes lying over cells and the
// markers of cells with a comment.
class CellDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    CellDelegate(const spreadsheet::Worksheet& sheet, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

  private:
    const spreadsheet::Worksheet& m_sheet;
};

} // namespace karumenio::app
