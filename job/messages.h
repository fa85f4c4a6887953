#pragma once

#include <cstddef>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

namespace karumenio::plan {
struct Plan;
}

namespace karumenio::spreadsheet {
class Worksheet;
}

namespace karumenio::job {

// The words of every front end's message boxes and questions, so that the desktop program and
// the browser edition say the same things.

inline constexpr std::string_view kPreviewTitle = "図面プレビュー";
inline constexpr std::string_view kOpenTitle = "座標ファイルを開く";

// A message box: information, or a warning the surveyor can put right.
struct Message {
    std::string title;
    std::string text;
    // A cell the message is about ("C8"), which the front end selects; empty when none.
    std::string cell;
    bool warning = false;
};

// A question box; the first answer is the default and the last one cancels.
struct Question {
    std::string title;
    std::string text;
    std::vector<std::string> answers;
};

// What the read of a sheet changed since is wanted for; the answers name it.
enum class ReadUse { Write, Export, Suggestion };
// The answers to that question, in the order offered.
enum class StaleAnswer { ReadAgain, UseRead, Cancel };
// The answers before a new job at A6 replaces an earlier one, in the order offered.
enum class ReplaceAnswer { Replace, PasteOver, Cancel };

// The question before the points of a read are used while the sheet has changed since: the
// frame follows the sheet, the points follow the read.
Question staleSheetQuestion(ReadUse use);
// The answer of the button pressed (its index; -1 when the box was closed without one).
StaleAnswer staleAnswer(int index);

// The title of messages about the worksheet, as the worksheet window's caption reads.
std::string sheetTitle(const spreadsheet::Worksheet& sheet);
Question replaceJobQuestion(const spreadsheet::Worksheet& sheet);
ReplaceAnswer replaceAnswer(int index);
// "新しい座標表": confirmed by the first answer.
Question newSheetQuestion(const spreadsheet::Worksheet& sheet);

// A failure of the core as a warning with its error number and cell.
Message failureMessage(std::string_view title, const std::exception& error);
// A points file that could not be opened, named as the surveyor knows it, and why.
Message openFailure(std::string_view fileName, std::string_view why);
// A points file larger than any list of points.
Message pointsFileTooLarge(std::string_view fileName);

// The preview's counts: "測点 12　線 3　円 6　文字 12", and the survey map's sheets when it is
// drawn ("　地積測量図 2 枚"; none when mapSheets is 0).
std::string planCounts(const plan::Plan& plan, std::size_t mapSheets = 0);

// The tip of a point in the preview: its name, its row and its numbers as the sheet shows
// them; the radius only for a point with a circle (an empty text).
std::string pointTip(std::string_view name, int row, std::string_view x, std::string_view y,
                     std::string_view radius);

// The browser's output folder, chosen through the folder picker: what the page says about it.
enum class FolderEvent {
    // The browser cannot write into folders: the scripts are downloaded.
    NoFolderPicker,
    // The picker failed (not a cancel); why says what the browser reported.
    PickerFailed,
    // Writing into the folder failed; why says what the browser reported.
    WriteFailed,
    // Permission to write was refused: the scripts are downloaded instead.
    Denied,
};
Message folderMessage(FolderEvent event, std::string_view folder, std::string_view why = {});
// What the page shows beside the folder button.
enum class FolderState { Unchosen, Granted, AskAgain };
std::string folderCaption(FolderState state, std::string_view folder = {});
// The usage window's word on where the page puts the scripts, as its steps speak of drive C:
// the folder chosen through the picker, or the browser's downloads when the name is empty.
std::string usageFolderNote(std::string_view folder);
// Where the browser's files go without a folder, as the completion names it.
inline constexpr std::string_view kDownloadsName = "ダウンロード";

} // namespace karumenio::job
