#pragma once

#include "job/job.h"
#include "plan/plan.h"
#include "spreadsheet/cellcontent.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace karumenio::spreadsheet {
class Workbook;
}

namespace karumenio::web {

// A message for the page's message box, the same words as the desktop program's.
struct Message {
    std::string title;
    std::string text;
    // A cell the message is about ("C8"), which the page selects; empty when none.
    std::string cell;
    bool warning = false;
};

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

struct ReadOutcome {
    bool ok = false;
    int count = 0;
    Message message;
};

// A file the page hands to the surveyor: a download or a file in the chosen folder.
struct OutputFile {
    std::string name;
    std::string bytes;
};

struct WriteOutcome {
    bool ok = false;
    std::vector<OutputFile> files;
    Message message;
};

// The preview's plan, or why there is none.
struct PlanOutcome {
    std::optional<plan::Plan> plan;
    std::string problem;
    // The fit check: its message (all fit: the sentence that says so), and a paper and scale
    // that hold every point with the caption of the button that applies them.
    std::string fitText;
    std::string suggestedPaper;
    std::string suggestedScale;
    std::string suggestionCaption;
    // The plan's warnings and the names code page 932 cannot hold, each naming its cell, and
    // with a coordinate system chosen, whether the plan lies where that system has land.
    std::vector<std::string> warnings;
    // The web map centred on the plan, with a coordinate system chosen; otherwise empty, and
    // why there is none.
    std::string mapAddress;
    std::string mapUnavailable;
};

// One surveyor's job in the browser page: the core's job with the undo history, the
// settings and the questions the desktop program's windows keep. The page draws and forwards
// input; every decision is made here or in the core.
class WebSession {
  public:
    WebSession();
    ~WebSession();
    WebSession(const WebSession&) = delete;
    WebSession& operator=(const WebSession&) = delete;

    job::Job& job() { return m_job; }
    const spreadsheet::Worksheet& sheet() const { return m_job.sheet(); }

    // Editing; each successful action is one undo step.
    EditOutcome enter(int row, int column, std::string_view text);
    // Rows of clipboard text with their first field at the cell. replaceJob: the data rows go
    // back to the template first, in the same undo step (the answer "置き換える").
    EditOutcome paste(int row, int column, std::string_view text, bool replaceJob);
    // The Delete key: the block goes back to the template's content.
    EditOutcome clear(int top, int left, int bottom, int right);
    // "新しい座標表": the whole sheet back to the template.
    EditOutcome newSheet();
    // A SIMA or CSV/TSV file into the sheet from A6, as one undo step; its warnings come as
    // an information message.
    EditOutcome openFile(std::string_view bytes, std::string_view fileName, bool replaceJob);
    std::string copyText(int top, int left, int bottom, int right) const;

    // The sheet as the page keeps it between visits: each cell that differs from the template
    // on a line of its own, row TAB column TAB what the cell editor shows, with backslashes,
    // tabs and line breaks written as \\, \t and \n. Empty for the template as shipped.
    std::string keptCells();
    // The kept cells put back into the template: the sheet as it was left, with no undo
    // history and nothing read. Lines that name no cell of the sheet are passed over.
    void restoreKeptCells(std::string_view kept);

    bool undo();
    bool redo();
    bool canUndo() const { return m_done > 0; }
    bool canRedo() const { return m_done < m_steps.size(); }

    // Whether the data rows hold an earlier job, so that a paste at A6 or an opened file
    // asks whether to replace it.
    bool holdsAJob() const;
    bool asksBeforePasting(int row, int column) const;

    // The read button; its message is ready to show.
    ReadOutcome read();
    bool hasRead() const { return m_job.hasRead(); }
    // Whether the sheet was edited after the last read: the write asks first.
    bool changedSinceRead() const { return m_job.hasRead() && m_changedSinceRead; }

    // Each call takes the settings as the page's controls hold them at that moment; a paper
    // or scale the tables lack (nullptr) is the previous run's, as the job resolves it.
    PlanOutcome plan(job::Settings settings);
    // The write run made in memory: the four scripts (KYUSEKI.SCR too with the survey map),
    // with the same checks and effect on the job as a run into a folder. The folder named is
    // where the page puts the files (the chosen folder's name, or ダウンロード); the completion
    // message names it.
    WriteOutcome write(job::Settings settings, std::string_view folderName);
    // One file of the output-format table (job::outputFormats(), by its token) from the plan,
    // named as given; the job's run of that file alone, which changes nothing in the job.
    WriteOutcome exportFile(job::Settings settings, std::string_view token,
                            std::string_view fileName);

  private:
    EditOutcome record(std::vector<spreadsheet::EditRecord> step);
    EditOutcome failed(const std::exception& error) const;
    const spreadsheet::Worksheet& original();

    job::Job m_job;
    std::vector<std::vector<spreadsheet::EditRecord>> m_steps;
    std::size_t m_done = 0;
    bool m_changedSinceRead = false;
    std::unique_ptr<spreadsheet::Workbook> m_original;
};

// The title of messages about the worksheet, as the worksheet window's caption reads.
std::string sheetTitle(const spreadsheet::Worksheet& sheet);

} // namespace karumenio::web
