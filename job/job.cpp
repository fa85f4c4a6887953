#include "job.h"

#include "extentcells.h"
#include "outputformat.h"
#include "registrationcheck.h"
#include "surveymapfiles.h"

#include "points/inputtemplate.h"
#include "scripts/kyusekiscript.h"
#include "scripts/scriptset.h"
#include "scripts/zahyouscript.h"
#include "spreadsheet/paste.h"
#include "spreadsheet/runtimeerror.h"
#include "spreadsheet/worksheet.h"
#include "transaction/atomicfileset.h"
#include "transaction/foldersession.h"
#include "transaction/platform.h"

#include <algorithm>

namespace karumenio::job {

namespace {

// The checks a run makes before it computes anything, each a run-time error with its own
// message: the edition, which only a run with scripts needs, then the read.
void checkEdition(const Settings& settings) {
    using spreadsheet::RunError;
    using spreadsheet::RunTimeError;
    if (settings.edition.empty()) {
        throw RunTimeError(RunError::TypeMismatch,
                           "出力するバージョンが選ばれていません。バージョンを選んで下さい。");
    }
    if (!scripts::versionNumber(settings.edition)) {
        throw RunTimeError(RunError::TypeMismatch, "バージョン「" + settings.edition +
                                                       "」は数値ではありません。"
                                                       "バージョンを選び直して下さい。");
    }
}

void checkRead(const points::PointTable& table, const spreadsheet::Worksheet* dataSheet) {
    using spreadsheet::RunError;
    using spreadsheet::RunTimeError;
    if (dataSheet == nullptr) {
        throw RunTimeError(RunError::ObjectNotSet, std::string(kNotReadMessage));
    }
    if (table.count() <= 0) {
        throw RunTimeError(RunError::SubscriptOutOfRange,
                           "読み込んだ座標が 0 点です。座標を 6 行目から貼り付けて、"
                           "「座 標 読 込」を押してから出力して下さい。");
    }
}

} // namespace

// The files of a run made in memory, and the plan that the run leaves in the job when it
// wrote scripts.
struct Job::Run {
    MadeFiles made;
    std::optional<plan::Plan> plan;
};

Job::Job(History history)
    : m_book(points::makeInputTemplate(history == History::Kept ? points::TemplateValues::Calculated
                                                                : points::TemplateValues::Held)),
      m_sheet(&m_book.worksheets("Sheet1")), m_valuesHeld(history == History::None) {
    m_sheet->setKeepsHistory(history == History::Kept);
}

void Job::setSettings(Settings settings) {
    if (settings.paper == nullptr) {
        settings.paper = m_lastPlan ? m_lastPlan->paper : &plan::paperByToken(plan::kDefaultPaper);
    }
    if (settings.scale == nullptr) {
        settings.scale = m_lastPlan ? m_lastPlan->scale : &plan::scaleByToken(plan::kDefaultScale);
    }
    // The title block's date is the day the settings were given unless the surveyor chose one,
    // and its system is the one the coordinates are in, or the only one of the location.
    if (settings.map.titleBlock.date.empty()) {
        settings.map.titleBlock.date = todayDate();
    }
    const geodesy::PlaneSystem* system = mapSystem(settings);
    settings.map.titleBlock.coordinateSystem =
        system != nullptr ? geodesy::systemLabel(*system) : "";
    if (settings.defaultRadius) {
        m_sheet->setValue(points::kFirstDataRow, points::kMarkRadiusColumn,
                          spreadsheet::CellValue::number(*settings.defaultRadius));
    }
    m_settings = std::move(settings);
}

spreadsheet::EditRecord Job::paste(std::string_view bytes, int row, int column) {
    return spreadsheet::paste(*m_sheet, row, column, bytes);
}

survey::OpenedFile Job::openPointsFile(std::string_view bytes, std::string_view fileName,
                                       const survey::OpenOptions& options) {
    return survey::openPointsFile(*m_sheet, bytes, fileName, options);
}

int Job::read(const points::ReadProgress& progress) {
    if (m_valuesHeld) {
        m_valuesHeld = false;
        m_sheet->releaseRecalculation();
    }
    m_dataSheet = nullptr;
    m_lastPlan.reset();
    m_lastRead = {};
    m_dataSheet = &points::readPoints(m_book, m_table, progress);
    m_lastRead = points::summarizeRead(*m_dataSheet, m_table.count());
    return m_table.count();
}

std::vector<std::string> Job::textCoordinateCells(std::size_t most) const {
    std::vector<std::string> cells;
    if (m_dataSheet == nullptr) {
        return cells;
    }
    const int count = m_table.count();
    for (int slot = 0; slot < count && cells.size() < most; ++slot) {
        for (const auto& [column, values] : {std::pair{points::kPointXColumn, &m_table.pointX},
                                             std::pair{points::kPointYColumn, &m_table.pointY}}) {
            const spreadsheet::CellValue& value = values->at(slot);
            if (value.isNumber()) {
                continue;
            }
            try {
                value.toNumber();
            } catch (const spreadsheet::RunTimeError&) {
                cells.push_back(spreadsheet::cellName(points::kFirstDataRow + slot, column));
            }
        }
    }
    if (cells.size() > most) {
        cells.resize(most);
    }
    return cells;
}

plan::Plan Job::computePlan() const {
    if (m_dataSheet == nullptr) {
        throw spreadsheet::RunTimeError(spreadsheet::RunError::ObjectNotSet,
                                        std::string(kNotReadMessage));
    }
    // An angle too large to read stops the run before the extent cells are looked at.
    m_settings.angle.degrees();
    return plan::computePlan(m_table, readExtent(*m_dataSheet), m_settings);
}

plan::Plan Job::plan() const {
    return computePlan();
}

void Job::checkPlanRun() const {
    checkRead(m_table, m_dataSheet);
    computePlan();
}

WriteTargets Job::runTargets(const WriteTargets& targets) const {
    WriteTargets run = targets;
    run.surveyMapScript = targets.scripts && m_settings.surveyMap;
    return run;
}

Job::Run Job::makeFiles(const WriteTargets& targets) const {
    Run run;
    plan::Plan plan;
    const bool drawing = targets.scripts ||
                         std::any_of(targets.files.begin(), targets.files.end(),
                                     [](const FormatTarget& file) { return file.format->drawing; });
    if (targets.scripts) {
        checkEdition(m_settings);
        checkRead(m_table, m_dataSheet);
        plan = computePlan();
        scripts::ScriptSet set = scripts::writeScripts(plan);
        std::string* bytes[] = {&set.zahyou, &set.line, &set.plot, &set.text};
        for (std::size_t i = 0; i < scripts::kScriptFileNames.size(); ++i) {
            run.made.files.push_back(
                {targets.folder / transaction::platform::pathFromUtf8(scripts::kScriptFileNames[i]),
                 std::move(*bytes[i])});
        }
        run.made.warnings = std::move(set.warnings);
    } else if (!targets.files.empty()) {
        if (m_dataSheet == nullptr) {
            throw spreadsheet::RunTimeError(spreadsheet::RunError::ObjectNotSet,
                                            "座標がまだ読み込まれていないため、" +
                                                std::string(targets.files.front().format->role) +
                                                "を書き出せません。");
        }
        plan = drawing ? computePlan() : plan::computePoints(m_table);
    }
    // The survey map is drawn once for the fifth script and the drawing formats alike.
    std::optional<layout::SheetLayout> map;
    if (m_settings.surveyMap && drawing) {
        map = surveyMapOf(plan, m_settings, &run.made.warnings);
    }
    // Without the map, the subdivision is still checked once for the run.
    if (!map && !m_settings.subdivision.parent.empty() &&
        (targets.scripts || !targets.files.empty())) {
        const parcel::SubdivisionCheck subdivision = subdivisionOf(plan, m_settings);
        run.made.warnings.insert(run.made.warnings.end(), subdivision.warnings.begin(),
                                 subdivision.warnings.end());
    }
    if (targets.surveyMapScript) {
        scripts::EncodedScript kyuseki = scripts::kyusekiScript(plan, *map);
        run.made.files.push_back(
            {targets.folder / transaction::platform::pathFromUtf8(scripts::kKyusekiFileName),
             std::move(kyuseki.bytes)});
        for (std::string& warning : surveyMapScriptWarnings(plan, m_settings)) {
            run.made.warnings.push_back(std::move(warning));
        }
        run.made.warnings.insert(run.made.warnings.end(),
                                 std::make_move_iterator(kyuseki.warnings.begin()),
                                 std::make_move_iterator(kyuseki.warnings.end()));
    }
    for (const FormatTarget& file : targets.files) {
        FormatBytes made = file.format->write({plan, m_settings, file.path, map ? &*map : nullptr});
        run.made.files.push_back({file.path, std::move(made.bytes)});
        run.made.warnings.insert(run.made.warnings.end(),
                                 std::make_move_iterator(made.warnings.begin()),
                                 std::make_move_iterator(made.warnings.end()));
    }
    if (targets.scripts) {
        run.plan = std::move(plan);
    }
    return run;
}

void Job::complete(Run& run) {
    if (run.plan) {
        plan::applyPlan(*run.plan, m_table);
        m_lastPlan = std::move(run.plan);
    }
}

transaction::WriteReport Job::write(const WriteTargets& asked,
                                    const transaction::FileOperations& operations) {
    const WriteTargets targets = runTargets(asked);
    targets.check();
    // Recovery of an interrupted run comes before this run's own checks, in every folder the
    // run writes into.
    const transaction::FolderSession session(targets.folders(), targets.recoveryScope(),
                                             operations);
    return session.run([&] {
        Run run = makeFiles(targets);
        transaction::WriteReport report;
        transaction::AtomicFileSet files;
        for (MadeFile& file : run.made.files) {
            report.files.push_back(file.path);
            files.add(file.path, std::move(file.bytes));
        }
        files.commit(operations);
        report.warnings = std::move(run.made.warnings);
        // A survey map of an earlier run would be dragged in with the new scripts unnoticed.
        std::error_code error;
        if (targets.scripts && !targets.surveyMapScript &&
            std::filesystem::exists(
                targets.folder / transaction::platform::pathFromUtf8(scripts::kKyusekiFileName),
                error)) {
            report.warnings.push_back(
                "出力先に前の KYUSEKI.SCR が残っています。今回は地積測量図を出力していないため、"
                "この KYUSEKI.SCR は今回の図面のものではありません。");
        }
        complete(run);
        return report;
    });
}

MadeFiles Job::writeToMemory(const WriteTargets& asked) {
    const WriteTargets targets = runTargets(asked);
    targets.check();
    Run run = makeFiles(targets);
    MadeFiles made = std::move(run.made);
    complete(run);
    return made;
}

} // namespace karumenio::job
