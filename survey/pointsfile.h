#pragma once

#include "csvreader.h"
#include "pointrows.h"

#include "spreadsheet/cellcontent.h"

#include <string>
#include <string_view>
#include <vector>

namespace karumenio::spreadsheet {
class Worksheet;
} // namespace karumenio::spreadsheet

namespace karumenio::survey {

enum class FileFormat { Auto, Sima, Csv };

struct OpenOptions {
    FileFormat format = FileFormat::Auto;
    CsvOptions csv;
};

// A points file as it went into the worksheet: the cells it changed as one action, the
// number of rows and the warnings.
struct OpenedFile {
    spreadsheet::EditRecord record;
    // For a table of marks, the points it gave a kind or class.
    int rowCount = 0;
    std::vector<std::string> warnings;
    // A table of marks (see isMarkTable): it added to the job on the sheet instead of being one.
    bool marksOnly = false;
};

// SIMA when the name ends in ".sim" (any case) or the first record that is not blank is a
// SIMA header (G00, Z00 or A00); a CSV whose first field names a point "A01" is not.
bool looksLikeSima(std::string_view bytes, std::string_view fileName);

// Whether the file is a table of marks (isMarkTable), which fills in the job on the sheet
// instead of replacing it: a front end asks no question before opening one.
bool isMarkFile(std::string_view bytes, std::string_view fileName, const OpenOptions& options = {});

// The file's bytes as UTF-8 text: UTF-8 with or without byte order mark, or code page 932.
std::string decodePointsFile(std::string_view bytes);

// The same in place: bytes in code page 932 are replaced by their UTF-8 text, so that a large
// file need not be held twice while it is read; UTF-8 stays as it is.
void decodeInPlace(std::string& bytes);

// Reads a points file into rows for the worksheet, without touching it.
PointRows readPointsFile(std::string_view bytes, std::string_view fileName,
                         const OpenOptions& options);

// Writes the rows into the worksheet from A6 down as a paste does (numbers become Numbers,
// names in B keep their exact text) and empties the data rows below them but for the radius
// chain in G, so that a read sees exactly these points; a row without radius keeps the
// template's chain in G.
// More rows than the point table holds throw the subscript error and change nothing. A name
// or mark longer than points::kLongestPointName characters is cut there, with a warning.
// Blank rows after the last row with anything make no rows.
spreadsheet::EditRecord putRows(spreadsheet::Worksheet& sheet, const std::vector<PointRow>& rows,
                                std::vector<std::string>& warnings);

// Reads the file and puts its rows into the worksheet; a file that cannot be read throws
// and changes nothing. A file without rows changes nothing either. A table of marks fills
// columns H and I of the sheet's points whose names it lists (each row of a name alike) and
// changes nothing else; a sheet without points refuses it.
OpenedFile openPointsFile(spreadsheet::Worksheet& sheet, std::string_view bytes,
                          std::string_view fileName, const OpenOptions& options);

} // namespace karumenio::survey
