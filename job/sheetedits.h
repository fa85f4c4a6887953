#pragma once

#include "messages.h"

#include "spreadsheet/cellcontent.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace karumenio::spreadsheet {
class Workbook;
class Worksheet;
} // namespace karumenio::spreadsheet

namespace karumenio::job {

class Job;

// What an edit of the worksheet did: the block it touched, or the failure to show.
struct EditOutcome {
    bool ok = false;
    // The block the changes covered, 1-based; zero when nothing changed.
    int top = 0;
    int left = 0;
    int bottom = 0;
    int right = 0;
    std::optional<Message> message;
};

// The edits of a job's input sheet as a front end without an undo stack of its own makes them
// (the browser's worksheet): each successful action one undo step, and whether any edit came
// after the latest read.
class SheetEdits {
  public:
    explicit SheetEdits(Job& job);
    ~SheetEdits();
    SheetEdits(const SheetEdits&) = delete;
    SheetEdits& operator=(const SheetEdits&) = delete;

    EditOutcome enter(int row, int column, std::string_view text);
    // Rows of clipboard text with their first field at the cell. replaceJob: every data row of
    // the earlier job goes back to the template first, in the same undo step (the answer
    // "置き換える"). Rows that run past the sheet change nothing.
    EditOutcome paste(int row, int column, std::string_view text, bool replaceJob);
    // The Delete key: the block goes back to the template's content.
    EditOutcome clear(int top, int left, int bottom, int right);
    // "新しい座標表": the whole sheet back to the template.
    EditOutcome newSheet();
    // A SIMA or CSV/TSV file into the sheet from A6, as one undo step, replacing the earlier
    // job as paste() does; its warnings come as an information message.
    EditOutcome openFile(std::string_view bytes, std::string_view fileName, bool replaceJob);
    std::string copyText(int top, int left, int bottom, int right) const;

    // The sheet as the page keeps it between visits: each cell that differs from the template
    // on a line of its own, row TAB column TAB what the cell editor shows, with backslashes,
    // tabs and line breaks written as \\, \t and \n. Empty for the template as shipped.
    std::string keptCells();
    // The kept cells put back into the template: the sheet as it was left, with no undo
    // history and no change since a read. Lines that name no cell of the sheet are passed over.
    void restoreKeptCells(std::string_view kept);

    bool undo();
    bool redo();
    bool canUndo() const { return m_done > 0; }
    bool canRedo() const { return m_done < m_steps.size(); }

    // Whether a paste at this cell asks first whether it replaces an earlier job.
    bool asksBeforePasting(int row, int column) const;
    // A paste that cannot go in at all (rows past the last row, bytes in no encoding), refused
    // before anything is asked, with its message; none when it can.
    std::optional<Message> pasteRefusal(int row, int column, std::string_view text) const;
    bool holdsAJob() const;

    // Whether the sheet changed after the latest read; a read clears it.
    bool changed() const { return m_changed; }
    void noteChanged() { m_changed = true; }
    void noteRead() { m_changed = false; }

  private:
    EditOutcome record(std::vector<spreadsheet::EditRecord> step);
    EditOutcome failed(const std::exception& error) const;
    // The earlier job's rows back to the template, when asked.
    spreadsheet::EditRecord clearJob(bool replaceJob);
    const spreadsheet::Worksheet& original();

    Job& m_job;
    std::vector<std::vector<spreadsheet::EditRecord>> m_steps;
    std::size_t m_done = 0;
    bool m_changed = false;
    std::unique_ptr<spreadsheet::Workbook> m_original;
};

} // namespace karumenio::job
