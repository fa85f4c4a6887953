#pragma once

#include "settings.h"
#include "writetargets.h"

#include "plan/plan.h"
#include "points/pointtable.h"
#include "points/reader.h"
#include "spreadsheet/cellcontent.h"
#include "spreadsheet/workbook.h"
#include "survey/pointsfile.h"
#include "transaction/fileoperations.h"
#include "transaction/writereport.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace karumenio::job {

// The largest points file the front ends read: far beyond 3001 rows, and small enough that
// reading it cannot exhaust the memory.
inline constexpr std::uintmax_t kPointsFileLimit = std::uintmax_t{64} << 20;

// What a run without a complete read says: none yet, or the last one was refused.
inline constexpr std::string_view kNotReadMessage =
    "座標が読み込まれていません。先に「座 標 読 込」を押して下さい。";

// A file made in memory, named as WriteTargets names it.
struct MadeFile {
    std::filesystem::path path;
    std::string bytes;
};

// The files of a run made in memory, in the order a run writes them, and what the surveyor
// should know about them (Japanese).
struct MadeFiles {
    std::vector<MadeFile> files;
    std::vector<std::string> warnings;
};

// One surveying job: the input workbook made from the template, the point table of the
// latest read with the sheet it bound, the settings, and the plan of the last write run. The
// command-line tool, the desktop program, the browser edition, the tests and the benchmarks
// all drive this one object: settings in, paste or open, read, plan, write (to files or to
// memory).
class Job {
  public:
    // Kept: every paste and open returns its record for undo. None: the job is filled once
    // and never undone, as the command-line tool runs it; records come back empty, and the
    // sheet's formulas are first calculated when it is read.
    enum class History { Kept, None };

    explicit Job(History history = History::Kept);
    Job(const Job&) = delete;
    Job& operator=(const Job&) = delete;

    spreadsheet::Workbook& workbook() { return m_book; }
    // The input sheet ("Sheet1") of the workbook.
    spreadsheet::Worksheet& sheet() { return *m_sheet; }
    const spreadsheet::Worksheet& sheet() const { return *m_sheet; }
    const points::PointTable& table() const { return m_table; }

    // The settings of the next plan and write run, as the front end's controls hold them. A
    // paper or scale given as nullptr, as a list without a valid selection gives it, is the
    // one of the last write run (the start-up choice before any run): resolved here, so that
    // the settings held and every plan have both. A default radius goes into G6 now.
    void setSettings(Settings settings);
    const Settings& settings() const { return m_settings; }

    // Pastes clipboard-style rows (TAB- or comma-separated, UTF-8 or code page 932) with
    // the first field at the cell given, A6 unless told otherwise.
    spreadsheet::EditRecord paste(std::string_view bytes, int row = points::kFirstDataRow,
                                  int column = 1);
    // Opens a points file (SIMA, or CSV/TSV with or without a header line) into the input
    // sheet from A6 down, as one action. A file that cannot be read throws and changes nothing.
    survey::OpenedFile openPointsFile(std::string_view bytes, std::string_view fileName,
                                      const survey::OpenOptions& options = {});

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

    // The plan of the latest read with the current settings, its frame centred on the
    // sheet's extent cells as they are now; changes nothing. A worksheet never read is
    // error 91.
    plan::Plan plan() const;

    // The checks of a write run and of its plan, the edition's aside, which only the scripts
    // carry: what an export of the plan must pass, failing as the write run fails. Changes
    // nothing.
    void checkPlanRun() const;

    // The write run: the outputs that clash are refused first (targets.check()), then every
    // folder written into is locked and put in order (an interrupted run finished or undone),
    // the run is checked, the plan computed and every file made, and all of them are written
    // or none. Only then does the run count: the table takes the plan's label points and
    // PointIndex, and the plan stays available as lastPlan(). A run without scripts only
    // writes its files; one with scripts and the survey map asked for writes KYUSEKI.SCR as
    // a fifth script, in the same all-or-nothing set. Failures, in the order met: no edition chosen
    // or an edition that is not a number (13), a worksheet never read (91), a read of no points
    // (9), then those of the plan (see plan::computePlan), the extent cells' between the angle's
    // and the points'.
    transaction::WriteReport
    write(const WriteTargets& targets,
          const transaction::FileOperations& operations = transaction::FileOperations::system());
    // The same run made in memory: the same checks and failures, the same files with the
    // same bytes and warnings, and the same effect on the job; nothing touches a disk.
    MadeFiles writeToMemory(const WriteTargets& targets);

    // The plan of the last complete write run with scripts; nullptr before one.
    const plan::Plan* lastPlan() const { return m_lastPlan ? &*m_lastPlan : nullptr; }

  private:
    struct Run;
    // The targets of a run as the settings complete them: KYUSEKI.SCR with the survey map.
    WriteTargets runTargets(const WriteTargets& targets) const;
    // Checks the run, computes its plan and makes its files, changing nothing.
    Run makeFiles(const WriteTargets& targets) const;
    // What a run that went through leaves in the job.
    void complete(Run& run);
    plan::Plan computePlan() const;

    spreadsheet::Workbook m_book;
    spreadsheet::Worksheet* m_sheet;
    // The template's values wait for the first read (History::None).
    bool m_valuesHeld = false;
    points::PointTable m_table;
    Settings m_settings;
    // The sheet bound by the last complete read; the frame reads its extent cells.
    const spreadsheet::Worksheet* m_dataSheet = nullptr;
    points::ReadSummary m_lastRead;
    std::optional<plan::Plan> m_lastPlan;
};

} // namespace karumenio::job
