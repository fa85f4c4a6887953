#pragma once

#include "fileoperations.h"
#include "scriptfolder.h"
#include "scriptset.h"
#include "writereport.h"
#include "writesettings.h"
#include "writestate.h"

#include <filesystem>

namespace karumenio::points {
class Worksheet;
struct PointTable;
} // namespace karumenio::points

namespace karumenio::scripts {

// The checks a run makes before it computes anything, each a run-time error with its own
// message: no edition chosen or an edition code that is not a number (13), a worksheet that
// was never read (91), a read that found no points (9).
void checkWriteRun(const WriteSettings& settings, const points::PointTable& table,
                   const points::Worksheet* dataSheet);

// Produces the four scripts in memory: converts the angle, builds the ZAHYOU script with
// the sheet frame from the extent cells of dataSheet, then the LINE, PLOT and TEXT scripts
// from the table, and encodes them. A coordinate, radius or extent cell holding text that
// is not a number fails with error 13 naming the cell. The state is updated only when the
// whole set is produced; the table's PointIndex, LabelX and LabelY are updated as the passes
// run.
ScriptSet generateScripts(const WriteSettings& settings, points::PointTable& table,
                          const points::Worksheet* dataSheet, WriteState& state);

// The write run: generates the four scripts, then replaces "ZAHYOU.SCR", "LINE.SCR",
// "PLOT.SCR" and "TEXT.SCR" in the folder all or nothing. When it fails for any reason none
// of the four files has changed and the state is as before.
WriteReport writeRun(const WriteSettings& settings, points::PointTable& table,
                     const points::Worksheet* dataSheet, WriteState& state,
                     const std::filesystem::path& folder);

// The same with the file-system steps given, so that tests can make one of them fail.
WriteReport writeRun(const WriteSettings& settings, points::PointTable& table,
                     const points::Worksheet* dataSheet, WriteState& state,
                     const std::filesystem::path& folder, const FileOperations& operations);

} // namespace karumenio::scripts
