#include "scriptfolder.h"

#include "platform.h"
#include "scriptset.h"

namespace karumenio::scripts {

std::filesystem::path defaultScriptFolder() {
    return platform::defaultScriptFolder();
}

std::string completionMessage(const std::filesystem::path& folder) {
    std::string message = "Cdrに ZAHYOU-LINE-PLOT-TEXT.SCRを作成しました。";
    // The first line speaks of drive C; any other folder is named on a line of its own.
    if (!platform::kIsWindows || folder != std::filesystem::path("C:\\")) {
        message += "\n";
        message += platform::displayPath(folder);
    }
    return message;
}

RecoveryScope outputFolderScope(std::vector<std::filesystem::path> inputs) {
    RecoveryScope scope;
    scope.names.assign(kScriptFileNames.begin(), kScriptFileNames.end());
    scope.extensions = {".dxf", ".sim"};
    scope.inputs = std::move(inputs);
    return scope;
}

} // namespace karumenio::scripts
