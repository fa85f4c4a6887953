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

std::string completionMessageIn(std::string_view folderName) {
    return "「" + std::string(folderName) + "」に ZAHYOU-LINE-PLOT-TEXT.SCRを作成しました。";
}

} // namespace karumenio::job
