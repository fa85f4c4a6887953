#include "completion.h"

#include "transaction/platform.h"

namespace karumenio::job {

std::string completionMessage(const std::filesystem::path& folder) {
    std::string message = "Cdrに ZAHYOU-LINE-PLOT-TEXT.SCRを作成しました。";
    // The first line speaks of drive C; any other folder is named on a line of its own.
    if (!transaction::platform::kIsWindows || folder != std::filesystem::path("C:\\")) {
        message += "\n";
        message += transaction::platform::displayPath(folder);
    }
    return message;
}

std::string folderCompletionMessage(const std::filesystem::path& folder, bool surveyMap) {
    std::string message =
        transaction::platform::kIsWindows && folder == std::filesystem::path("C:\\")
            ? completionMessage(folder)
            : "「" + transaction::platform::displayPath(folder) +
                  "」に ZAHYOU-LINE-PLOT-TEXT.SCRを作成しました。";
    if (surveyMap) {
        message += "\n地積測量図の KYUSEKI.SCR も作成しました（ZAHYOU.SCR の後に実行）。";
    }
    return message;
}

} // namespace karumenio::job
