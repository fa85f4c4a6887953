#include "clioptions.h"

#include "points/cellvalue.h"
#include "scripts/writerun.h"

#include <array>
#include <string_view>

namespace karumenio::cli {

namespace {

constexpr std::array<std::string_view, 5> kPapers = {"A1", "A2", "A3", "A4L", "A4P"};
constexpr std::array<std::string_view, 9> kScales = {"100",  "200",  "300",  "400", "500",
                                                     "1000", "2000", "3000", "5000"};

template <std::size_t N>
int indexOf(const std::array<std::string_view, N>& choices, const std::string& value,
            const std::string& option) {
    for (std::size_t i = 0; i < N; ++i) {
        if (choices[i] == value) {
            return static_cast<int>(i);
        }
    }
    std::string allowed;
    for (auto choice : choices) {
        allowed += (allowed.empty() ? "" : " | ") + std::string(choice);
    }
    throw UsageError(option + " に「" + value + "」は使えません (" + allowed + ")");
}

} // namespace

CliOptions parseArguments(const std::vector<std::string>& arguments) {
    CliOptions options;
    bool outGiven = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            return options;
        }
        if (arg.starts_with("--")) {
            std::string name = arg;
            std::string value;
            if (const auto eq = arg.find('='); eq != std::string::npos) {
                name = arg.substr(0, eq);
                value = arg.substr(eq + 1);
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i];
            } else {
                throw UsageError(arg + " の値がありません");
            }
            if (name == "--edition") {
                options.settings.versionCode = value;
            } else if (name == "--paper") {
                options.settings.paperIndex = indexOf(kPapers, value, name);
            } else if (name == "--scale") {
                options.settings.scaleIndex = indexOf(kScales, value, name);
            } else if (name == "--angle") {
                options.settings.angleText = value;
            } else if (name == "--radius") {
                const auto radius = points::readNumber(value);
                if (!radius) {
                    throw UsageError("--radius は数値で指定して下さい: 「" + value + "」");
                }
                options.defaultRadius = *radius;
            } else if (name == "--out") {
                options.outFolder = value;
                outGiven = true;
            } else {
                throw UsageError("不明なオプションです: " + name);
            }
            continue;
        }
        if (!options.pointsFile.empty()) {
            throw UsageError("座標ファイルは一つだけ指定して下さい: " + arg);
        }
        options.pointsFile = arg;
    }
    if (options.settings.versionCode.empty()) {
        throw UsageError("バージョンを選んで下さい (--edition 97 | 98 | 2000 | 2002 | 20001)");
    }
    if (options.pointsFile.empty()) {
        throw UsageError("座標ファイルを指定して下さい");
    }
    if (!outGiven) {
        options.outFolder = scripts::defaultScriptFolder();
    }
    return options;
}

std::string usageText() {
    return R"(Usage: karumenio-cli [options] POINTS_FILE

Pastes the rows of POINTS_FILE into the input worksheet at A6, reads the points and
writes ZAHYOU.SCR, LINE.SCR, PLOT.SCR and TEXT.SCR for the drawing program.
座標ファイルをワークシートの A6 に貼り付けて読み込み、4つのスクリプトを作成します。

POINTS_FILE  rows of break mark, point name, X, Y[, radius], TAB-separated as a
             spreadsheet copies them (comma-separated where a line has no TAB);
             UTF-8, UTF-8 with BOM, or CP932. Columns go to A, B, C, D and G.

Options:
  --edition CODE   97 | 98 | 2000 | 2002 | 20001 (2000(R)); required.
                   Any other number writes "-UNITS" and no save line.
  --paper P        A1 | A2 | A3 | A4L (A4 landscape) | A4P (A4 portrait); default A1
  --scale S        100 | 200 | 300 | 400 | 500 | 1000 | 2000 | 3000 | 5000; default 100
  --angle TEXT     rotation typed as ddd.mmss; default "0.0000"
  --radius R       default circle radius put into G6; default 0
  --out DIR        folder that stands for the root of drive C (default: C:\ on
                   Windows; elsewhere $KARUMENIO_DRIVE_C if set, else the home folder)
  --help           this text

Exit status: 0 when all four files were written; otherwise non-zero with a message
on stderr, and none of the four files changed.
)";
}

} // namespace karumenio::cli
