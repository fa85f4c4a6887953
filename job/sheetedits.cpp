#include "sheetedits.h"

#include "job.h"

#include "points/inputtemplate.h"
#include "points/pointtable.h"
#include "points/templaterestore.h"
#include "spreadsheet/paste.h"
#include "spreadsheet/workbook.h"
#include "spreadsheet/worksheet.h"

#include <algorithm>
#include <cstdlib>

namespace karumenio::job {

SheetEdits::SheetEdits(Job& job) : m_job(job) {}

SheetEdits::~SheetEdits() = default;

const spreadsheet::Worksheet& SheetEdits::original() {
    if (!m_original) {
        m_original = std::make_unique<spreadsheet::Workbook>(points::makeInputTemplate());
    }
    return m_original->sheet(0);
}

EditOutcome SheetEdits::failed(const std::exception& error) const {
    EditOutcome outcome;
    outcome.message = failureMessage(sheetTitle(m_job.sheet()), error);
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

std::string SheetEdits::keptCells() {
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

void SheetEdits::restoreKeptCells(std::string_view kept) {
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
    m_changed = false;
}

EditOutcome SheetEdits::record(std::vector<spreadsheet::EditRecord> step) {
    // Any action counts as a change of the sheet after a read, as in the desktop program.
    m_changed = true;
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

spreadsheet::EditRecord SheetEdits::clearJob(bool replaceJob) {
    return replaceJob ? points::restoreJobRows(m_job.sheet(), original())
                      : spreadsheet::EditRecord{};
}

EditOutcome SheetEdits::enter(int row, int column, std::string_view text) {
    try {
        return record({m_job.sheet().enter(row, column, text)});
    } catch (const std::exception& error) {
        return failed(error);
    }
}

EditOutcome SheetEdits::paste(int row, int column, std::string_view text, bool replaceJob) {
    spreadsheet::EditRecord cleared = clearJob(replaceJob);
    try {
        spreadsheet::EditRecord pasted = m_job.paste(text, row, column);
        return record({std::move(cleared), std::move(pasted)});
    } catch (const std::exception& error) {
        // Nothing lost: the cleared job comes back.
        m_job.sheet().undo(cleared);
        return failed(error);
    }
}

EditOutcome SheetEdits::clear(int top, int left, int bottom, int right) {
    try {
        return record(
            {points::restoreTemplateCells(m_job.sheet(), original(), top, left, bottom, right)});
    } catch (const std::exception& error) {
        return failed(error);
    }
}

EditOutcome SheetEdits::newSheet() {
    return record({points::restoreWholeTemplate(m_job.sheet(), original())});
}

EditOutcome SheetEdits::openFile(std::string_view bytes, std::string_view fileName,
                                 bool replaceJob) {
    EditOutcome outcome;
    // A file of that size is no list of points; reading it whole would only exhaust memory.
    if (bytes.size() > kPointsFileLimit) {
        outcome.message = pointsFileTooLarge(fileName);
        return outcome;
    }
    spreadsheet::EditRecord cleared = clearJob(replaceJob);
    survey::OpenedFile opened;
    try {
        opened = m_job.openPointsFile(bytes, fileName);
    } catch (const std::exception& error) {
        m_job.sheet().undo(cleared);
        outcome.message = failureMessage(kOpenTitle, error);
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

std::string SheetEdits::copyText(int top, int left, int bottom, int right) const {
    try {
        return spreadsheet::copyText(m_job.sheet(), top, left, bottom, right);
    } catch (const std::exception&) {
        return {};
    }
}

bool SheetEdits::undo() {
    if (!canUndo()) {
        return false;
    }
    const auto& step = m_steps[--m_done];
    for (auto it = step.rbegin(); it != step.rend(); ++it) {
        m_job.sheet().undo(*it);
    }
    m_changed = true;
    return true;
}

bool SheetEdits::redo() {
    if (!canRedo()) {
        return false;
    }
    for (const spreadsheet::EditRecord& edit : m_steps[m_done++]) {
        m_job.sheet().redo(edit);
    }
    m_changed = true;
    return true;
}

bool SheetEdits::holdsAJob() const {
    return points::holdsAJob(m_job.sheet());
}

bool SheetEdits::asksBeforePasting(int row, int column) const {
    return row == points::kFirstDataRow && column == 1 && holdsAJob();
}

std::optional<Message> SheetEdits::pasteRefusal(int row, int column, std::string_view text) const {
    try {
        spreadsheet::checkPasteFits(row, column, text);
    } catch (const std::exception& error) {
        return failed(error).message;
    }
    return std::nullopt;
}

} // namespace karumenio::job
