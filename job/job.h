#pragma once

#include "plan/plan.h"
#include "plan/settings.h"
#include "plan/writestate.h"
#include "points/cellcontent.h"
#include "points/pointtable.h"
#include "points/reader.h"
#include "points/workbook.h"
#include "scripts/fileoperations.h"
#include "scripts/writereport.h"
#include "survey/pointsfile.h"
#include "writetargets.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace karumenio::job {

// The largest points file the front ends read: far beyond 3001 rows, and small enough that
// reading it cannot exhaust the memory.
inline constexpr std::uintmax_t kPointsFileLimit = std::uintmax_t{64} << 20;

// One surveying job: the input workbook made from the template, the point table of the
// latest read with the sheet it bound, the values write runs keep, and the settings. The
// command-line tool, the desktop program, the tests and the benchmarks all drive this one
// object: paste, read, plan, write.
class Job {
  public:
    // Kept: every paste and open returns its record for undo. None: the job is filled once
    // and never undone, as the command-line tool runs it; records come back empty, and the
    // sheet's formulas are first calculated when it is read.
    enum class History { Kept, None };

    explicit Job(History history = History::Kept);
    Job(const Job&) = delete;
    Job& operator=(const Job&) = delete;

    points::Workbook& workbook() { return m_book; }
    // The input sheet ("Sheet1") of the workbook.
    points::Worksheet& sheet() { return *m_sheet; }
    const points::Worksheet& sheet() const { return *m_sheet; }
    const points::PointTable& table() const { return m_table; }
    plan::Settings& settings() { return m_settings; }
    const plan::Settings& settings() const { return m_settings; }
    const plan::WriteState& writeState() const { return m_state; }

    // Pastes clipboard-style rows (TAB- or comma-separated, UTF-8 or code page 932) with
    // the first field at the cell given, A6 unless told otherwise.
    points::EditRecord paste(std::string_view bytes, int row = points::kFirstDataRow,
                             int column = 1);
    // Opens a points file (SIMA, or CSV/TSV with or without a header line) into the input
    // sheet from A6 down, as one action. A file that cannot be read throws and changes nothing.
    survey::OpenedFile openPointsFile(std::string_view bytes, std::string_view fileName,
                                      const survey::OpenOptions& options = {});
    // Puts the default circle radius into G6, which the template's radius chain carries down.
    void setDefaultRadius(double radius);

    // Reads the input sheet into the point table and binds it; returns the point count. A
    // read that fails is rethrown and leaves no table behind: the job counts as never read,
    // so that no write can mix the rows of that sheet with the points of an earlier read.
    int read(const points::ReadProgress& progress = {});
    // Cells of the latest read whose coordinate is text that is not a number ("C8"), in
    // row order, at most the number asked for; such a point cannot be written.
    std::vector<std::string> textCoordinateCells(std::size_t most = 5) const;
    bool hasRead() const { return m_dataSheet != nullptr; }
    // What the latest complete read found, with its message; rows below the first empty
    // column C that hold anything are counted there, since the read does not take them.
    const points::ReadSummary& lastRead() const { return m_lastRead; }

    // The plan of the latest read with the current settings; changes nothing. A worksheet
    // never read is error 91.
    plan::Plan plan() const;

    // The write run: the four scripts into the folder and, when a path is given, the DXF of
    // the same plan, all or nothing. The plan written stays available as lastPlan().
    scripts::WriteReport write(const std::filesystem::path& folder,
                               const std::optional<std::filesystem::path>& dxf = {});
    scripts::WriteReport write(const std::filesystem::path& folder,
                               const std::optional<std::filesystem::path>& dxf,
                               const scripts::FileOperations& operations);
    // The same with the read points as a SIMA file too, in the same all-or-nothing run.
    scripts::WriteReport write(const std::filesystem::path& folder,
                               const std::optional<std::filesystem::path>& dxf,
                               const std::optional<std::filesystem::path>& sima,
                               const scripts::FileOperations& operations);
    // The run the targets describe: outputs that clash are refused first (targets.check()),
    // then every folder written into is locked and put in order, and all the files are
    // written or none. Without scripts only the SIMA file is written.
    scripts::WriteReport
    write(const WriteTargets& targets,
          const scripts::FileOperations& operations = scripts::FileOperations::system());

    // The plan of the last complete write run; nullptr before one.
    const plan::Plan* lastPlan() const { return m_lastPlan ? &*m_lastPlan : nullptr; }

    // Writes the points of the latest read as a SIMA file, through a temporary file put in
    // place only when complete; returns the warnings. A worksheet never read is error 91.
    std::vector<std::string>
    writeSima(const std::filesystem::path& file,
              const scripts::FileOperations& operations = scripts::FileOperations::system());

  private:
    points::Workbook m_book;
    points::Worksheet* m_sheet;
    // The template's values wait for the first read (History::None).
    bool m_valuesHeld = false;
    points::PointTable m_table;
    plan::WriteState m_state;
    plan::Settings m_settings;
    // The sheet bound by the last complete read; the frame reads its extent cells.
    const points::Worksheet* m_dataSheet = nullptr;
    points::ReadSummary m_lastRead;
    std::optional<plan::Plan> m_lastPlan;
};

} // namespace karumenio::job
