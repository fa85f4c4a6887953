#include "messages.h"

#include "completion.h"
#include "errormessage.h"
#include "job.h"

#include "plan/plan.h"
#include "spreadsheet/runtimeerror.h"
#include "spreadsheet/worksheet.h"

namespace karumenio::job {

Question staleSheetQuestion(ReadUse use) {
    Question question{std::string(use == ReadUse::Write ? kCompletionTitle : kPreviewTitle),
                      "ワークシートは最後の「座 標 読 込」の後に変更されています。",
                      {"読み込み直して出力", "読み込んだ座標で出力", "キャンセル"}};
    if (use == ReadUse::Suggestion) {
        question.answers = {"読み込み直して確かめる", "読み込んだ座標のまま変える", "キャンセル"};
    }
    return question;
}

StaleAnswer staleAnswer(int index) {
    switch (index) {
    case 0:
        return StaleAnswer::ReadAgain;
    case 1:
        return StaleAnswer::UseRead;
    default:
        return StaleAnswer::Cancel;
    }
}

std::string sheetTitle(const spreadsheet::Worksheet& sheet) {
    return "Microsoft Excel ワークシート - " + sheet.name();
}

Question replaceJobQuestion(const spreadsheet::Worksheet& sheet) {
    return {sheetTitle(sheet),
            "ワークシートには前の座標が入っています。前の座標を消して新しい座標に置き換えますか？",
            {"置き換える", "上から貼り付ける", "キャンセル"}};
}

ReplaceAnswer replaceAnswer(int index) {
    switch (index) {
    case 0:
        return ReplaceAnswer::Replace;
    case 1:
        return ReplaceAnswer::PasteOver;
    default:
        return ReplaceAnswer::Cancel;
    }
}

Question newSheetQuestion(const spreadsheet::Worksheet& sheet) {
    return {sheetTitle(sheet),
            "ワークシートを最初の状態に戻します。入力した座標はすべて消えます"
            "（「元に戻す」で取り消せます）。",
            {"新しい座標表にする", "キャンセル"}};
}

Message failureMessage(std::string_view title, const std::exception& error) {
    const auto* runTime = dynamic_cast<const spreadsheet::RunTimeError*>(&error);
    return {std::string(title), errorMessage(error), runTime != nullptr ? runTime->cell() : "",
            true};
}

Message openFailure(std::string_view fileName, std::string_view why) {
    return {std::string(kOpenTitle),
            "座標ファイルを開けません: " + std::string(fileName) + "\n" + std::string(why),
            {},
            true};
}

Message pointsFileTooLarge(std::string_view fileName) {
    return {std::string(kOpenTitle),
            "座標ファイルが大きすぎるため読めません（" + std::to_string(kPointsFileLimit >> 20) +
                " MB を超えています）: " + std::string(fileName),
            {},
            true};
}

std::string planCounts(const plan::Plan& plan, std::size_t mapSheets) {
    std::string counts = "測点 " + std::to_string(plan.points.size()) + "　線 " +
                         std::to_string(plan.polylines.size()) + "　円 " +
                         std::to_string(plan.circles.size()) + "　文字 " +
                         std::to_string(plan.labels.size());
    if (mapSheets > 0) {
        counts += "　地積測量図 " + std::to_string(mapSheets) + " 枚";
    }
    return counts;
}

std::string pointTip(std::string_view name, int row, std::string_view x, std::string_view y,
                     std::string_view radius) {
    std::string tip = std::string(name) + "\n行 " + std::to_string(row) + "　X " + std::string(x) +
                      "　Y " + std::string(y);
    if (!radius.empty()) {
        tip += "　半径 " + std::string(radius);
    }
    return tip;
}

Message folderMessage(FolderEvent event, std::string_view folder, std::string_view why) {
    Message message{std::string(kCompletionTitle), {}, {}, true};
    const std::string name(folder);
    switch (event) {
    case FolderEvent::NoFolderPicker:
        message.text =
            "このブラウザはフォルダに書き込めません。.SCR 出力ではファイルをダウンロードします。";
        message.warning = false;
        break;
    case FolderEvent::PickerFailed:
        message.text = "出力先のフォルダを選べませんでした。.SCR 出力ではファイルをダウンロード"
                       "します。";
        if (!why.empty()) {
            message.text += "\n（" + std::string(why) + "）";
        }
        break;
    case FolderEvent::WriteFailed:
        message.text =
            "出力先のフォルダ「" + name + "」に書き込めませんでした。\n" + std::string(why);
        break;
    case FolderEvent::Denied:
        message.text = "出力先のフォルダ「" + name +
                       "」への書き込みが許可されませんでした。ファイルをダウンロードします。";
        break;
    }
    return message;
}

std::string folderCaption(FolderState state, std::string_view folder) {
    switch (state) {
    case FolderState::Unchosen:
        return "（未選択：ダウンロードします）";
    case FolderState::AskAgain:
        return std::string(folder) + " （次の出力で書き込みの許可を確認します）";
    case FolderState::Granted:
        break;
    }
    return std::string(folder);
}

std::string usageFolderNote(std::string_view folder) {
    if (folder.empty()) {
        return "このページでは、スクリプトはブラウザの「" + std::string(kDownloadsName) +
               "」フォルダに作成されます。";
    }
    return "このページでは、スクリプトは「出力先…」で選んだフォルダ「" + std::string(folder) +
           "」に作成されます。";
}

} // namespace karumenio::job
