#include "writetargets.h"

#include "outputformat.h"

#include "scripts/kyusekiscript.h"
#include "scripts/scriptset.h"
#include "transaction/filenames.h"
#include "transaction/platform.h"
#include "transaction/writereport.h"

namespace karumenio::job {

namespace fs = std::filesystem;

WriteTargets WriteTargets::scriptsInto(std::filesystem::path folder) {
    WriteTargets targets;
    targets.folder = std::move(folder);
    return targets;
}

std::vector<std::string_view> WriteTargets::scriptNames() const {
    std::vector<std::string_view> names;
    if (scripts) {
        names.assign(scripts::kScriptFileNames.begin(), scripts::kScriptFileNames.end());
        if (surveyMapScript) {
            names.push_back(scripts::kKyusekiFileName);
        }
    }
    return names;
}

std::vector<transaction::RunFile> WriteTargets::outputs() const {
    std::vector<transaction::RunFile> result;
    for (const std::string_view name : scriptNames()) {
        result.push_back({folder / transaction::platform::pathFromUtf8(name), "スクリプト"});
    }
    for (const FormatTarget& file : files) {
        result.push_back({file.path, std::string(file.format->role)});
    }
    return result;
}

std::vector<fs::path> WriteTargets::folders() const {
    std::vector<fs::path> result;
    if (scripts) {
        result.push_back(folder);
    }
    for (const FormatTarget& file : files) {
        result.push_back(file.path.parent_path());
    }
    return result;
}

transaction::RecoveryScope WriteTargets::recoveryScope() const {
    return outputFolderScope(inputs);
}

void WriteTargets::check() const {
    for (const FormatTarget& file : files) {
        // In any folder: a file of that name is taken for a script when the plan is drawn.
        const std::string name = transaction::windowsFoldedName(transaction::fileNameOf(file.path));
        std::vector<std::string_view> names(scripts::kScriptFileNames.begin(),
                                            scripts::kScriptFileNames.end());
        names.push_back(scripts::kKyusekiFileName);
        for (const std::string_view script : names) {
            if (name == transaction::windowsFoldedName(script)) {
                throw transaction::OutputClash(
                    "「" + transaction::platform::displayPath(file.path) + "」（" +
                    std::string(file.format->role) + "）は、スクリプト「" + std::string(script) +
                    "」と同じ名前です。別の名前を指定して下さい。" +
                    std::string(transaction::kNothingChanged));
            }
        }
    }
    std::vector<transaction::RunFile> read;
    for (const fs::path& input : inputs) {
        read.push_back({input, "座標ファイル"});
    }
    transaction::checkOutputSet(outputs(), read);
    // A run killed half-way is finished or undone by the next one only for names the recovery
    // takes for the program's own; any other would be left half-replaced.
    const transaction::RecoveryScope scope = recoveryScope();
    for (const FormatTarget& file : files) {
        const fs::path folder =
            file.path.parent_path().empty() ? fs::path(".") : file.path.parent_path();
        if (!scope.admits(folder, transaction::fileNameOf(file.path))) {
            throw transaction::OutputClash(
                "「" + transaction::platform::displayPath(file.path) + "」（" +
                std::string(file.format->role) + "）の名前は、出力の拡張子（" +
                std::string(file.format->extension) +
                " など）で終わる名前ではないため、書き込みが中断されたときに元に戻せません。名前の"
                "最後に " +
                std::string(file.format->extension) + " を付けて下さい。" +
                std::string(transaction::kNothingChanged));
        }
    }
}

} // namespace karumenio::job
