#include "writetargets.h"

#include "scripts/filenames.h"
#include "scripts/platform.h"
#include "scripts/scriptset.h"
#include "scripts/writereport.h"

namespace karumenio::job {

namespace fs = std::filesystem;

std::vector<scripts::RunFile> WriteTargets::outputs() const {
    std::vector<scripts::RunFile> files;
    if (scripts) {
        for (const std::string_view name : scripts::kScriptFileNames) {
            files.push_back({folder / scripts::platform::pathFromUtf8(name), "スクリプト"});
        }
    }
    if (dxf) {
        files.push_back({*dxf, "DXF ファイル"});
    }
    if (sima) {
        files.push_back({*sima, "SIMA ファイル"});
    }
    return files;
}

std::vector<fs::path> WriteTargets::folders() const {
    std::vector<fs::path> result;
    if (scripts) {
        result.push_back(folder);
    }
    for (const auto& file : {dxf, sima}) {
        if (file) {
            result.push_back(file->parent_path());
        }
    }
    return result;
}

void WriteTargets::check() const {
    for (const auto& [file, role] :
         {std::pair{dxf, "DXF ファイル"}, std::pair{sima, "SIMA ファイル"}}) {
        if (!file) {
            continue;
        }
        // In any folder: a file of that name is taken for a script when the plan is drawn.
        const std::string name = scripts::windowsFoldedName(scripts::fileNameOf(*file));
        for (const std::string_view script : scripts::kScriptFileNames) {
            if (name == scripts::windowsFoldedName(script)) {
                throw scripts::OutputClash("「" + scripts::platform::displayPath(*file) + "」（" +
                                           role + "）は、スクリプト「" + std::string(script) +
                                           "」と同じ名前です。別の名前を指定して下さい。" +
                                           std::string(scripts::kNothingChanged));
            }
        }
    }
    std::vector<scripts::RunFile> read;
    for (const fs::path& input : inputs) {
        read.push_back({input, "座標ファイル"});
    }
    scripts::checkOutputSet(outputs(), read);
}

} // namespace karumenio::job
