#pragma once

#include "job.h"
#include "messages.h"
#include "sheetedits.h"

#include "layout/sheetlayout.h"
#include "plan/plan.h"
#include "transaction/fileoperations.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace karumenio::job {

// A file made in memory, named without a folder, as the browser hands it over.
struct OutputFile {
    std::string name;
    std::string bytes;
};

// What a read, a write run or an export did, as its message box says it; a run made in memory
// also gives its files.
struct Outcome {
    bool ok = false;
    Message message;
    std::vector<OutputFile> files;
};

// What the preview shows of the plan of the latest read with the settings, or why there is none.
struct Preview {
    std::optional<plan::Plan> plan;
    // The survey map's sheets, drawn instead of the plan, when the settings ask for the map.
    std::optional<layout::SheetLayout> surveyMap;
    // Why there is no plan (no read yet, a cell that is not a number).
    std::string problem;
    std::string counts;
    // The fit check: its message (all fit: the sentence that says so), and a paper and scale
    // that hold every point with the caption of the button that applies them.
    std::string fitText;
    std::string suggestedPaper;
    std::string suggestedScale;
    std::string suggestionCaption;
    // What the surveyor should know, each with the cell it is about where there is one: the
    // plan's warnings, names the code page cannot hold, the angle read loosely, the survey
    // map's parts, and whether the plan lies where its coordinate system has land.
    std::vector<Message> warnings;
    // The web map centred on the plan, with a coordinate system chosen; otherwise empty, and
    // why there is none.
    std::string mapAddress;
    std::string mapUnavailable;
};

// The job's flow as every front end runs it: the settings, the read, the write run, the
// exports and which of them refuse when, the question before a read the sheet has moved on
// from is used, and each outcome as the message the surveyor sees. The desktop program and the
// browser edition translate clicks into these calls and the values back into dialogs and
// files; nothing of the flow is decided there.
class Session {
  public:
    Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    Job& job() { return m_job; }
    const Job& job() const { return m_job; }
    const spreadsheet::Worksheet& sheet() const { return m_job.sheet(); }
    // Edits made through the session, one undo step each (the browser's worksheet).
    SheetEdits& edits() { return m_edits; }
    const SheetEdits& edits() const { return m_edits; }

    // The settings as the front end's controls hold them now; every call below takes them.
    void setSettings(Settings settings);
    const Settings& settings() const { return m_job.settings(); }

    // An edit of the sheet that did not go through edits() (the desktop's worksheet).
    void noteSheetChanged() { m_edits.noteChanged(); }
    bool hasRead() const { return m_job.hasRead(); }
    // Whether the sheet was edited after the latest complete read.
    bool changedSinceRead() const { return m_job.hasRead() && m_edits.changed(); }
    // The question to ask before the read is used for this, or none while it is current. Its
    // answers (staleAnswer()): read again, through the front end, which shows the read's
    // progress and message, and go on only if readIsCurrent() then; go on with the read
    // points; or cancel.
    std::optional<Question> questionBeforeUse(ReadUse use) const;
    bool readIsCurrent() const { return m_job.hasRead() && !m_edits.changed(); }

    // "座 標 読 込": the read, and what it found, with the cells that will stop the write and
    // an angle read loosely.
    Outcome read(const points::ReadProgress& progress = {});

    // The preview of the latest read with the settings.
    Preview preview() const;
    // The names of the parcels (closed sections) of the latest read, in the order of their
    // rows, each once: what a subdivision's parent and remainder are chosen from. Empty before a
    // read, or when its plan cannot be made.
    std::vector<std::string> parcelNames() const;

    // ".SCR 出力" into a folder on this computer: the write run, and its completion naming the
    // folder or its failure.
    Outcome
    write(const std::filesystem::path& folder,
          const transaction::FileOperations& operations = transaction::FileOperations::system());
    // The same run made in memory; the completion names where the front end puts the files
    // (the chosen folder's name, or the downloads when empty).
    Outcome writeToMemory(std::string_view destination);

    // The refusal an export meets before anything is asked or written: exactly the write
    // run's, for the same state of the job, with the same message, the edition aside (only the
    // scripts carry it). None when the export may go on.
    std::optional<Message> exportRefusal() const;
    // A file of the output-format table (by its token) written to the path: through a
    // temporary file put in place, under the folder's lock, after an interrupted write there is
    // put right. Refuses as exportRefusal() does.
    Outcome exportFile(
        std::string_view token, const std::filesystem::path& path,
        const transaction::FileOperations& operations = transaction::FileOperations::system());
    // The same file made in memory under the name given (the format's default when empty).
    Outcome exportToMemory(std::string_view token, std::string_view fileName = {});
    // Bytes the front end made of the plan itself (a PDF, a picture), written as exportFile()
    // writes, after the same refusal. The extension is the recovery's to put right too.
    Outcome writeFile(
        const std::filesystem::path& path, std::string bytes,
        const transaction::FileOperations& operations = transaction::FileOperations::system());

    // An interrupted write into the folder finished or undone, with what was done; nothing
    // when the folder holds no journal.
    std::vector<Message> recoverFolder(const std::filesystem::path& folder) const;

    // Where the scripts go unless the surveyor chose a folder: $KARUMENIO_DRIVE_C when set,
    // the root of drive C on Windows, the home folder elsewhere; and a folder as messages name it.
    static std::filesystem::path defaultOutputFolder();
    static std::string displayPath(const std::filesystem::path& path);

    // A points file before it is opened: too large, or one that cannot be read (tried on a sheet
    // of its own, so that the question whether it replaces the job is asked only of a file that
    // can be opened). None when it can be opened. A table of marks is not tried: it adds to the
    // job on the sheet (addsToTheJob), which asks nothing, and its own opening says what is wrong.
    static std::optional<Message> pointsFileRefusal(std::uintmax_t size,
                                                    std::string_view shownName);
    static std::optional<Message> pointsFileRefusal(std::string_view bytes,
                                                    std::string_view fileName,
                                                    std::string_view shownName);
    // Whether the file is a table of marks, which adds to the job instead of replacing it.
    static bool addsToTheJob(std::string_view bytes, std::string_view fileName);

  private:
    // The angle text's warning for the messages; empty for a plain ddd.mmss.
    std::string angleWarning() const;

    Job m_job;
    SheetEdits m_edits;
};

} // namespace karumenio::job
