#pragma once

#include "cellcontent.h"

#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace karumenio::spreadsheet {

class Worksheet;

// Pastes text another program put on the clipboard, as values, with its first field at
// (row, column). The bytes may be UTF-8 (with or without byte order mark) or code page 932.
// Fields go into the visible columns only, from the paste cell rightwards; fields with no
// visible column left are dropped. A field that reads as a number becomes a Number (column
// B keeps the exact text), an empty field empties its cell, a row's missing fields leave
// their cells alone. Returns the changes as one action; recalculates once. Bytes in neither
// encoding, or rows that would run past the last row, throw and change nothing.
EditRecord paste(Worksheet& sheet, int row, int column, std::string_view clipboardBytes);

// Throws what paste() would throw for these bytes at (row, column) before it changes a cell:
// a cell outside the sheet, bytes in neither encoding, or rows that run past the last row. A
// front end asks this before it asks whether a new job replaces the old one.
void checkPasteFits(int row, int column, std::string_view clipboardBytes);

// The clipboard bytes as UTF-8 text, or a RunTimeError when they are neither UTF-8 nor
// code page 932.
std::string decodeClipboard(std::string_view bytes);

// Reads clipboard text one row at a time, split as splitClipboardText splits it; the
// fields of a row are good until the next call, so that thousands of rows need room for one.
// A field longer than keepFieldBytes is kept cut (cutText), so that a file of one huge field
// needs no second copy of it.
class ClipboardRows {
  public:
    explicit ClipboardRows(std::string_view text,
                           std::size_t keepFields = std::numeric_limits<std::size_t>::max(),
                           std::size_t keepFieldBytes = std::numeric_limits<std::size_t>::max());
    // The next row, or nullptr after the last.
    std::vector<std::string>* next();
    // Rows read so far.
    std::size_t count() const { return m_count; }

  private:
    std::string_view m_text;
    std::size_t m_keep;
    std::size_t m_keepBytes;
    std::size_t m_pos = 0;
    std::size_t m_count = 0;
    std::vector<std::string> m_fields;
};

// Splits clipboard text into rows of fields as spreadsheets write them: lines end in CR LF,
// LF or CR (a final line end adds no row); fields are TAB-separated, or comma-separated on a
// line without TAB; a field starting with a double quote runs to the closing quote, may hold
// separators and line ends, and writes a quote as two.
// Fields past keepFields in a row are read over but not kept.
std::vector<std::vector<std::string>>
splitClipboardText(std::string_view text,
                   std::size_t keepFields = std::numeric_limits<std::size_t>::max());

// The text between double quotes with each quote written twice: how a field that holds a
// separator is written, in clipboard text as in survey files.
std::string quoteField(std::string_view text);

// The block as text for the clipboard: the shown text of each visible cell, TAB between
// fields and CR LF after each row; fields holding TAB, line ends or quotes are quoted.
std::string copyText(const Worksheet& sheet, int top, int left, int bottom, int right);

} // namespace karumenio::spreadsheet
