#include "websession.h"

#include "geodesy/planesystem.h"
#include "job/completion.h"
#include "job/errormessage.h"
#include "job/outputformat.h"
#include "job/planlocation.h"
#include "plan/drawingscale.h"
#include "plan/fitcheck.h"
#include "plan/labelencoding.h"
#include "plan/papersize.h"
#include "points/inputtemplate.h"
#include "points/pointtable.h"
#include "points/reader.h"
#include "points/templaterestore.h"
#include "spreadsheet/paste.h"
#include "spreadsheet/runtimeerror.h"
#include "spreadsheet/workbook.h"
#include "spreadsheet/worksheet.h"
#include "transaction/platform.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace karumenio::web {

namespace {

constexpr std::string_view kOpenTitle = "座標ファイルを開く";
constexpr std::string_view kPreviewTitle = "図面プレビュー";

std::string cellOf(const std::exception& error) {
    const auto* runTime = dynamic_cast<const spreadsheet::RunTimeError*>(&error);
    return runTime != nullptr ? runTime->cell() : std::string();
}

Message failure(std::string_view title, const std::exception& error) {
    return {std::string(title), job::errorMessage(error), cellOf(error), true};
}

// The files a run made, as the page hands them over (by their names alone), with the message
// and what the surveyor should know about the files, which comes with it, not after it.
WriteOutcome madeFiles(job::MadeFiles made, std::string_view title, std::string text) {
    WriteOutcome outcome;
    outcome.ok = true;
    for (job::MadeFile& file : made.files) {
        outcome.files.push_back(
            {transaction::platform::displayPath(file.path.filename()), std::move(file.bytes)});
    }
    outcome.message.title = std::string(title);
    outcome.message.text = std::move(text);
    for (const std::string& warning : made.warnings) {
        outcome.message.text += "\n" + warning;
    }
    outcome.message.warning = !made.warnings.empty();
    return outcome;
}

// With a coordinate system chosen: the map of the plan's surroundings, and a warning when its
// centroid falls outside the system's land, which is a wrong system or a slip of the axes.
void placeOnMap(const geodesy::PlaneSystem* system, const plan::Plan& drawing,
                PlanOutcome& outcome) {
    if (system == nullptr) {
        outcome.mapUnavailable =
            "座標系（平面直角座標系）を選ぶと、図面の位置を地図で確かめられます。";
        return;
    }
    const std::optional<job::PlanLocation> location = job::locatePlan(drawing, *system);
    if (!location) {
        outcome.mapUnavailable = "図面に測点がありません。";
        return;
    }
    if (!location->warning.empty()) {
        outcome.warnings.push_back(location->warning);
    }
    if (location->mapAddress) {
        outcome.mapAddress = *location->mapAddress;
    } else {
        outcome.mapUnavailable = "図形の重心が" + geodesy::systemLabel(*system) +
                                 "の範囲から遠く外れているため、地図に置けません。";
    }
}

} // namespace

std::string sheetTitle(const spreadsheet::Worksheet& sheet) {
    return "Microsoft Excel ワークシート - " + sheet.name();
}

WebSession::WebSession() = default;

WebSession::~WebSession() = default;

const spreadsheet::Worksheet& WebSession::original() {
    if (!m_original) {
        m_original = std::make_unique<spreadsheet::Workbook>(points::makeInputTemplate());
    }
    return m_original->sheet(0);
}

EditOutcome WebSession::failed(const std::exception& error) const {
    EditOutcome outcome;
    outcome.message = failure(sheetTitle(sheet()), error);
    return outcome;
}

namespace {

std::string escapeKept(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string unescapeKept(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    }
    return out;
}

} // namespace

std::string WebSession::keptCells() {
    const spreadsheet::Worksheet& sheet = m_job.sheet();
    const spreadsheet::Worksheet& shipped = original();
    const int lastRow = std::max(sheet.lastUsedRow(), shipped.lastUsedRow());
    const int lastColumn = shipped.layout().lastShownColumn(spreadsheet::Worksheet::kColumnCount);
    std::string kept;
    for (int row = 1; row <= lastRow; ++row) {
        for (int column = 1; column <= lastColumn; ++column) {
            if (sheet.content(row, column) != shipped.content(row, column)) {
                kept += std::to_string(row) + '\t' + std::to_string(column) + '\t' +
                        escapeKept(sheet.inputText(row, column)) + '\n';
            }
        }
    }
    return kept;
}

void WebSession::restoreKeptCells(std::string_view kept) {
    spreadsheet::Worksheet& sheet = m_job.sheet();
    points::restoreWholeTemplate(sheet, original());
    // One recalculation for all the cells, however many.
    sheet.holdRecalculation();
    try {
        while (!kept.empty()) {
            const std::size_t end = std::min(kept.find('\n'), kept.size());
            const std::string_view line = kept.substr(0, end);
            kept.remove_prefix(std::min(end + 1, kept.size()));
            const std::size_t first = line.find('\t');
            const std::size_t second = line.find('\t', first + 1);
            if (first == std::string_view::npos || second == std::string_view::npos) {
                continue;
            }
            const int row = std::atoi(std::string(line.substr(0, first)).c_str());
            const int column =
                std::atoi(std::string(line.substr(first + 1, second - first - 1)).c_str());
            if (row < 1 || row > spreadsheet::Worksheet::kRowCount || column < 1 ||
                column > spreadsheet::Worksheet::kColumnCount) {
                continue;
            }
            sheet.enter(row, column, unescapeKept(line.substr(second + 1)));
        }
    } catch (...) {
        sheet.releaseRecalculation();
        throw;
    }
    sheet.releaseRecalculation();
    m_steps.clear();
    m_done = 0;
    m_changedSinceRead = false;
}

EditOutcome WebSession::record(std::vector<spreadsheet::EditRecord> step) {
    // Any action counts as a change of the sheet after a read, as in the desktop program.
    m_changedSinceRead = true;
    EditOutcome outcome;
    outcome.ok = true;
    if (std::all_of(step.begin(), step.end(), [](const auto& r) { return r.empty(); })) {
        return outcome;
    }
    const spreadsheet::EditRecord& last = step.back();
    if (!last.empty()) {
        outcome.top = outcome.left = spreadsheet::Worksheet::kRowCount;
        for (const spreadsheet::CellChange& change : last) {
            outcome.top = std::min(outcome.top, change.row);
            outcome.left = std::min(outcome.left, change.column);
            outcome.bottom = std::max(outcome.bottom, change.row);
            outcome.right = std::max(outcome.right, change.column);
        }
    }
    m_steps.resize(m_done);
    m_steps.push_back(std::move(step));
    m_done = m_steps.size();
    return outcome;
}

EditOutcome WebSession::enter(int row, int column, std::string_view text) {
    try {
        return record({m_job.sheet().enter(row, column, text)});
    } catch (const std::exception& error) {
        return failed(error);
    }
}

EditOutcome WebSession::paste(int row, int column, std::string_view text, bool replaceJob) {
    spreadsheet::EditRecord cleared;
    if (replaceJob) {
        cleared = points::restoreJobCells(m_job.sheet(), original());
    }
    try {
        spreadsheet::EditRecord pasted = m_job.paste(text, row, column);
        return record({std::move(cleared), std::move(pasted)});
    } catch (const std::exception& error) {
        // Nothing lost: the cleared job comes back.
        m_job.sheet().undo(cleared);
        return failed(error);
    }
}

EditOutcome WebSession::clear(int top, int left, int bottom, int right) {
    try {
        return record(
            {points::restoreTemplateCells(m_job.sheet(), original(), top, left, bottom, right)});
    } catch (const std::exception& error) {
        return failed(error);
    }
}

EditOutcome WebSession::newSheet() {
    return record({points::restoreWholeTemplate(m_job.sheet(), original())});
}

EditOutcome WebSession::openFile(std::string_view bytes, std::string_view fileName,
                                 bool replaceJob) {
    EditOutcome outcome;
    // A file of that size is no list of points; reading it whole would only exhaust memory.
    if (bytes.size() > job::kPointsFileLimit) {
        outcome.message = Message{std::string(kOpenTitle),
                                  "座標ファイルが大きすぎるため読めません（" +
                                      std::to_string(job::kPointsFileLimit >> 20) +
                                      " MB を超えています）: " + std::string(fileName),
                                  {},
                                  true};
        return outcome;
    }
    spreadsheet::EditRecord cleared;
    if (replaceJob) {
        cleared = points::restoreJobCells(m_job.sheet(), original());
    }
    survey::OpenedFile opened;
    try {
        opened = m_job.openPointsFile(bytes, fileName);
    } catch (const std::exception& error) {
        m_job.sheet().undo(cleared);
        outcome.message = failure(kOpenTitle, error);
        return outcome;
    }
    outcome = record({std::move(cleared), std::move(opened.record)});
    if (!opened.warnings.empty()) {
        std::string text;
        for (const std::string& warning : opened.warnings) {
            text += (text.empty() ? "" : "\n") + warning;
        }
        outcome.message = Message{std::string(kOpenTitle), text, {}, false};
    }
    return outcome;
}

std::string WebSession::copyText(int top, int left, int bottom, int right) const {
    try {
        return spreadsheet::copyText(sheet(), top, left, bottom, right);
    } catch (const std::exception&) {
        return {};
    }
}

bool WebSession::undo() {
    if (!canUndo()) {
        return false;
    }
    const auto& step = m_steps[--m_done];
    for (auto it = step.rbegin(); it != step.rend(); ++it) {
        m_job.sheet().undo(*it);
    }
    m_changedSinceRead = true;
    return true;
}

bool WebSession::redo() {
    if (!canRedo()) {
        return false;
    }
    for (const spreadsheet::EditRecord& edit : m_steps[m_done++]) {
        m_job.sheet().redo(edit);
    }
    m_changedSinceRead = true;
    return true;
}

bool WebSession::holdsAJob() const {
    const spreadsheet::Worksheet& s = sheet();
    const int last = s.lastUsedRow();
    for (int row = points::kFirstDataRow; row <= last; ++row) {
        for (const int column : {points::kBreakMarkColumn, points::kLabelTextColumn,
                                 points::kPointXColumn, points::kPointYColumn}) {
            if (!s.isEmpty(row, column)) {
                return true;
            }
        }
        // A typed radius below the default cell replaces the template's formula.
        if (row > points::kFirstDataRow) {
            const spreadsheet::CellContent radius = s.content(row, points::kMarkRadiusColumn);
            if (!radius.isFormula() && !radius.isEmpty()) {
                return true;
            }
        }
    }
    return false;
}

bool WebSession::asksBeforePasting(int row, int column) const {
    return row == points::kFirstDataRow && column == 1 && holdsAJob();
}

ReadOutcome WebSession::read() {
    ReadOutcome outcome;
    outcome.message.title = std::string(points::kReadTitle);
    try {
        outcome.count = m_job.read();
    } catch (const std::exception& error) {
        outcome.message = failure(points::kReadTitle, error);
        return outcome;
    }
    outcome.ok = true;
    m_changedSinceRead = false;
    outcome.message.text = points::readMessage(outcome.count);
    // A coordinate that is not a number would only stop the write; say so now.
    const std::vector<std::string> textCells = m_job.textCoordinateCells();
    if (!textCells.empty()) {
        std::string cells;
        for (const std::string& cell : textCells) {
            cells += (cells.empty() ? "" : "、") + cell;
        }
        outcome.message.text +=
            "\n\n次のセルの座標が数値ではありません。直してから読み込み直して下さい: " + cells;
        outcome.message.cell = textCells.front();
        outcome.message.warning = true;
    }
    return outcome;
}

PlanOutcome WebSession::plan(job::Settings settings) {
    m_job.setSettings(std::move(settings));
    PlanOutcome outcome;
    if (!m_job.hasRead()) {
        outcome.problem = "座標が読み込まれていません。「座 標 読 込」を押すと図面を表示します。";
        return outcome;
    }
    try {
        outcome.plan = m_job.plan();
    } catch (const std::exception& error) {
        outcome.problem = job::errorMessage(error);
        return outcome;
    }
    const plan::Plan& p = *outcome.plan;
    outcome.warnings = p.warnings;
    // Names the code page cannot hold are written as "?" in every output.
    plan::warnUnmappableLabels(p, outcome.warnings);
    if (p.paper != nullptr && p.scale != nullptr) {
        const plan::FitCheck check = plan::checkFit(p, *p.paper, *p.scale);
        outcome.fitText = plan::fitMessage(check, *p.paper, *p.scale);
        if (check.outside > 0 && check.fittingScale != nullptr) {
            outcome.suggestedPaper = p.paper->token;
            outcome.suggestedScale = check.fittingScale->token;
            outcome.suggestionCaption = std::string(check.fittingScale->listText) + " にする";
        } else if (check.outside > 0 && check.fittingPaper != nullptr) {
            outcome.suggestedPaper = check.fittingPaper->token;
            outcome.suggestedScale = check.fittingPaperScale->token;
            outcome.suggestionCaption = std::string(check.fittingPaper->listText) + "・" +
                                        std::string(check.fittingPaperScale->listText) + " にする";
        }
    }
    if (outcome.fitText.empty()) {
        outcome.fitText = "すべての測点が用紙の内枠に収まっています。";
    }
    placeOnMap(m_job.settings().planeSystem, p, outcome);
    return outcome;
}

WriteOutcome WebSession::write(job::Settings settings, std::string_view folderName) {
    m_job.setSettings(std::move(settings));
    job::MadeFiles made;
    try {
        // No folder: the scripts are named alone.
        made = m_job.writeToMemory(job::WriteTargets::scriptsInto({}));
    } catch (const std::exception& error) {
        WriteOutcome outcome;
        outcome.message = failure(job::kCompletionTitle, error);
        return outcome;
    }
    return madeFiles(std::move(made), job::kCompletionTitle, job::completionMessageIn(folderName));
}

WriteOutcome WebSession::exportFile(job::Settings settings, std::string_view token,
                                    std::string_view fileName) {
    m_job.setSettings(std::move(settings));
    const job::OutputFormat* format = job::findFormat(token);
    if (format == nullptr) {
        throw std::invalid_argument("no output format " + std::string(token));
    }
    job::WriteTargets targets;
    targets.scripts = false;
    targets.files.push_back({format, transaction::platform::pathFromUtf8(fileName).filename()});
    job::MadeFiles made;
    try {
        made = m_job.writeToMemory(targets);
    } catch (const std::exception& error) {
        WriteOutcome outcome;
        outcome.message = failure(kPreviewTitle, error);
        return outcome;
    }
    return madeFiles(std::move(made), kPreviewTitle, std::string(fileName) + " を書き出しました。");
}

} // namespace karumenio::web
