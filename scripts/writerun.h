#pragma once

#include "fileoperations.h"
#include "scriptfolder.h"
#include "scriptset.h"
#include "writereport.h"

#include "plan/settings.h"
#include "plan/writestate.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace karumenio::points {
class Worksheet;
struct PointTable;
} // namespace karumenio::points

namespace karumenio::plan {
struct Plan;
}

namespace karumenio::scripts {

// What a run without a complete read says: none yet, or the last one was refused.
inline constexpr std::string_view kNotReadMessage =
    "座標が読み込まれていません。先に「座 標 読 込」を押して下さい。";

// The checks a run makes before it computes anything, each a run-time error with its own
// message: no edition chosen or an edition code that is not a number (13), a worksheet that
// was never read (91), a read that found no points (9).
void checkWriteRun(const plan::Settings& settings, const points::PointTable& table,
                   const points::Worksheet* dataSheet);

// The four scripts of a plan, formatted and encoded for the drawing program; names that
// lose characters in the encoding are reported in the set's warnings.
ScriptSet writeScripts(const plan::Settings& settings, const plan::Plan& plan);

// Checks the run, computes the plan and produces the four scripts in memory. The table's
// PointIndex, LabelX and LabelY and the state are updated only when the whole set is
// produced.
ScriptSet generateScripts(const plan::Settings& settings, points::PointTable& table,
                          const points::Worksheet* dataSheet, plan::WriteState& state);

// Another file made from the plan in the same run, such as the DXF of the drawing. Its
// bytes may add warnings.
struct PlanExport {
    std::filesystem::path target;
    std::function<std::string(const plan::Plan&, std::vector<std::string>& warnings)> bytes;
};

// Writes the four scripts of a computed plan into the folder, and the exports, all or
// nothing; the files are replaced only when every one of them is ready.
WriteReport writePlan(const plan::Settings& settings, const plan::Plan& plan,
                      const std::filesystem::path& folder, const FileOperations& operations,
                      const std::vector<PlanExport>& exports = {});

// The write run: checks, computes the plan, generates the four scripts (and the exports), then
// replaces "ZAHYOU.SCR", "LINE.SCR", "PLOT.SCR" and "TEXT.SCR" in the folder and each export's
// target all or nothing. When it fails for any reason none of the files has changed, and neither
// have the table and the state. It holds the folder for its whole length and first puts right
// a run that was interrupted there (FolderSession), which its report then mentions.
WriteReport writeRun(const plan::Settings& settings, points::PointTable& table,
                     const points::Worksheet* dataSheet, plan::WriteState& state,
                     const std::filesystem::path& folder);

// The same with the file-system steps given, so that tests can make one of them fail.
WriteReport writeRun(const plan::Settings& settings, points::PointTable& table,
                     const points::Worksheet* dataSheet, plan::WriteState& state,
                     const std::filesystem::path& folder, const FileOperations& operations,
                     const std::vector<PlanExport>& exports = {});

} // namespace karumenio::scripts
