#include "job.h"

#include "dxf/dxfwriter.h"
#include "points/inputtemplate.h"
#include "points/paste.h"
#include "points/runtimeerror.h"
#include "points/worksheet.h"
#include "scripts/atomicfileset.h"
#include "scripts/foldersession.h"
#include "scripts/platform.h"
#include "scripts/scriptfolder.h"
#include "scripts/writerun.h"
#include "survey/simawriter.h"

#include <algorithm>
#include <memory>

namespace karumenio::job {

Job::Job(History history)
    : m_book(points::makeInputTemplate(history == History::Kept ? points::TemplateValues::Calculated
                                                                : points::TemplateValues::Held)),
      m_sheet(&m_book.worksheets("Sheet1")), m_valuesHeld(history == History::None) {
    m_sheet->setKeepsHistory(history == History::Kept);
}

points::EditRecord Job::paste(std::string_view bytes, int row, int column) {
    return points::paste(*m_sheet, row, column, bytes);
}

survey::OpenedFile Job::openPointsFile(std::string_view bytes, std::string_view fileName,
                                       const survey::OpenOptions& options) {
    return survey::openPointsFile(*m_sheet, bytes, fileName, options);
}

void Job::setDefaultRadius(double radius) {
    m_sheet->setValue(points::kFirstDataRow, points::kMarkRadiusColumn,
                      points::CellValue::number(radius));
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
            const points::CellValue& value = values->at(slot);
            if (value.isNumber()) {
                continue;
            }
            try {
                value.toNumber();
            } catch (const points::RunTimeError&) {
                cells.push_back(points::cellName(points::kFirstDataRow + slot, column));
            }
        }
    }
    if (cells.size() > most) {
        cells.resize(most);
    }
    return cells;
}

plan::Plan Job::plan() const {
    if (m_dataSheet == nullptr) {
        throw points::RunTimeError(points::RunError::ObjectNotSet,
                                   std::string(scripts::kNotReadMessage));
    }
    return plan::computePlan(m_table, *m_dataSheet, m_settings, m_state);
}

scripts::WriteReport Job::write(const std::filesystem::path& folder,
                                const std::optional<std::filesystem::path>& dxf) {
    return write(folder, dxf, scripts::FileOperations::system());
}

scripts::WriteReport Job::write(const std::filesystem::path& folder,
                                const std::optional<std::filesystem::path>& dxf,
                                const scripts::FileOperations& operations) {
    return write(folder, dxf, std::nullopt, operations);
}

scripts::WriteReport Job::write(const std::filesystem::path& folder,
                                const std::optional<std::filesystem::path>& dxf,
                                const std::optional<std::filesystem::path>& sima,
                                const scripts::FileOperations& operations) {
    WriteTargets targets;
    targets.folder = folder;
    targets.dxf = dxf;
    targets.sima = sima;
    return write(targets, operations);
}

scripts::WriteReport Job::write(const WriteTargets& targets,
                                const scripts::FileOperations& operations) {
    targets.check();
    std::vector<scripts::PlanExport> exports;
    if (targets.dxf) {
        // The scripts already report the labels the code page cannot hold.
        exports.push_back({*targets.dxf, [](const plan::Plan& plan, std::vector<std::string>&) {
                               return dxf::writeDxf(plan);
                           }});
    }
    if (targets.sima) {
        const std::string site = scripts::platform::displayPath(targets.sima->stem());
        exports.push_back(
            {*targets.sima, [this, site](const plan::Plan&, std::vector<std::string>& warnings) {
                 return survey::writeSima(m_table, site, warnings);
             }});
    }
    // Recovery of an interrupted run comes before this run's own checks, in every folder the
    // run writes into.
    const scripts::FolderSession session(targets.folders(),
                                         scripts::outputFolderScope(targets.inputs), operations);
    if (!targets.scripts) {
        return session.run([&] {
            if (m_dataSheet == nullptr) {
                throw points::RunTimeError(
                    points::RunError::ObjectNotSet,
                    "座標がまだ読み込まれていないため、SIMA ファイルを書き出せません。");
            }
            scripts::WriteReport report;
            scripts::AtomicFileSet files;
            for (const scripts::PlanExport& file : exports) {
                files.add(file.target, file.bytes(plan::Plan(), report.warnings));
                report.files.push_back(file.target);
            }
            files.commit(operations);
            return report;
        });
    }
    return session.run([&] {
        scripts::checkWriteRun(m_settings, m_table, m_dataSheet);
        plan::Plan plan = plan::computePlan(m_table, *m_dataSheet, m_settings, m_state);
        scripts::WriteReport report =
            scripts::writePlan(m_settings, plan, targets.folder, operations, exports);
        plan::applyPlan(plan, m_table, m_state);
        m_lastPlan = std::move(plan);
        return report;
    });
}

std::vector<std::string> Job::writeSima(const std::filesystem::path& file,
                                        const scripts::FileOperations& operations) {
    WriteTargets targets;
    targets.scripts = false;
    targets.sima = file;
    return write(targets, operations).warnings;
}

} // namespace karumenio::job
