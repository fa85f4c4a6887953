#include "clioptions.h"

#include "points/inputtemplate.h"
#include "points/paste.h"
#include "points/pointtable.h"
#include "points/reader.h"
#include "points/runtimeerror.h"
#include "scripts/writerun.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

using namespace karumenio;

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

std::string readWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw points::RunTimeError(points::RunError::PathFileAccess,
                                   "座標ファイルを開けません: " + path.string());
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

int run(const cli::CliOptions& options) {
    points::Workbook book = points::makeInputTemplate();
    points::Worksheet& sheet = book.worksheets("Sheet1");
    sheet.setValue(points::kFirstDataRow, points::kMarkRadiusColumn,
                   points::CellValue::number(options.defaultRadius));
    points::paste(sheet, points::kFirstDataRow, 1, readWholeFile(options.pointsFile));

    points::PointTable table;
    const points::Worksheet& dataSheet = points::readPoints(book, table);

    scripts::WriteState state;
    const auto report =
        scripts::writeRun(options.settings, table, &dataSheet, state, options.outFolder);

    for (const auto& warning : report.warnings) {
        std::cerr << "警告: " << warning << '\n';
    }
    std::cout << points::readMessage(table.count()) << '\n';
    for (const auto& file : report.files) {
        std::cout << file.string() << '\n';
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    cli::CliOptions options;
    try {
        options = cli::parseArguments(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const cli::UsageError& e) {
        std::cerr << "karumenio-cli: " << e.what() << "\n(--help で使い方を表示します)\n";
        return kExitUsage;
    }
    if (options.help) {
        std::cout << cli::usageText();
        return 0;
    }
    try {
        return run(options);
    } catch (const points::RunTimeError& e) {
        std::cerr << "karumenio-cli: エラー " << e.number() << ": " << e.what() << '\n';
    } catch (const std::exception& e) {
        std::cerr << "karumenio-cli: " << e.what() << '\n';
    }
    return kExitFailure;
}
