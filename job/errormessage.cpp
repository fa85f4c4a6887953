#include "errormessage.h"

#include "spreadsheet/runtimeerror.h"

namespace karumenio::job {

std::string errorMessage(const std::exception& error) {
    std::string text = error.what();
    if (const auto* runTime = dynamic_cast<const spreadsheet::RunTimeError*>(&error)) {
        text += "\n\n実行時エラー " + std::to_string(runTime->number());
        const std::string& cell = runTime->cell();
        if (!cell.empty() && text.find(cell) == std::string::npos) {
            text += "（セル " + cell + "）";
        }
    }
    return text;
}

} // namespace karumenio::job
