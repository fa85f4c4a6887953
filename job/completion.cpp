#include "completion.h"

#include "output/platform.h"

namespace karumenio::job {

std::string completionMessage(const std::filesystem::path& folder) {
    std::string message = "Cdrに ZAHYOU-LINE-PLOT-TEXT.SCRを作成しました。";
    // The first line speaks of drive C; any other folder is named on a line of its own.
    if (!output::platform::kIsWindows || folder != std::filesystem::path("C:\\")) {
        message += "\n";
        message += output::platform::displayPath(folder);
    }
    return message;
}

} // namespace karumenio::job
