#pragma once

#include "spreadsheet/cellcontent.h"

namespace karumenio::spreadsheet {
class Worksheet;
} // namespace karumenio::spreadsheet

namespace karumenio::points {

// What the Delete key (and a cut) does on the input sheet: the block goes back to what the
// template has there (its formula, its default or nothing) rather than to empty cells, so
// that clearing a job cannot break the extent formulas or the radius chain. In every row, the
// title, the notes and the headings included, as spreadsheets clear what the surveyor
// overwrote; the hidden columns are left alone: the surveyor cannot see them in the block.
// Returns the changes as one action.
spreadsheet::EditRecord restoreTemplateCells(spreadsheet::Worksheet& sheet,
                                             const spreadsheet::Worksheet& original, int top,
                                             int left, int bottom, int right);

// Every cell of the sheet back to the template, hidden ones and headings included: a new,
// empty job as one action that undo can take back.
spreadsheet::EditRecord restoreWholeTemplate(spreadsheet::Worksheet& sheet,
                                             const spreadsheet::Worksheet& original);

// What replacing a job clears first: its data rows back to the template, from A6 down to the
// last row the job reached (beyond the template's rows too), in every column the surveyor
// sees, as one action; the title, notes and headings above stay. A new job that replaces it
// keeps nothing of it.
spreadsheet::EditRecord restoreJobRows(spreadsheet::Worksheet& sheet,
                                       const spreadsheet::Worksheet& original);

// Whether the data rows hold a job: a mark, name, coordinate, boundary mark or class anywhere
// from A6 down, or a
// radius typed below G6 over the template's formula. A new job at A6 then asks first.
bool holdsAJob(const spreadsheet::Worksheet& sheet);

} // namespace karumenio::points
