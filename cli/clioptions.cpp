#include "clioptions.h"

#include "plan/drawingscale.h"
#include "plan/edition.h"
#include "plan/kakudo.h"
#include "plan/papersize.h"
#include "points/ascii.h"
#include "points/cellvalue.h"
#include "points/messagetext.h"
#include "points/numberformat.h"
#include "points/runtimeerror.h"
#include "scripts/platform.h"
#include "scripts/scriptfolder.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>
#include <utility>

namespace karumenio::cli {

namespace {

// "A1 | A2 | ..." from a table of choices.
template <typename Table, typename Key> std::string alternatives(const Table& table, Key key) {
    std::string text;
    for (const auto& entry : table) {
        text += (text.empty() ? "" : " | ") + std::string(entry.*key);
    }
    return text;
}

template <typename Entry>
const Entry* choice(const Entry* found, const std::string& value, const std::string& option,
                    const std::string& allowed) {
    if (found == nullptr) {
        throw UsageError(option + " に「" + value + "」は使えません (" + allowed + ")");
    }
    return found;
}

std::string paperTokens() {
    return alternatives(plan::kPaperSizes, &plan::PaperSize::token);
}

std::string scaleTokens() {
    return alternatives(plan::kDrawingScales, &plan::DrawingScale::token);
}

std::string editionCodes() {
    return alternatives(plan::kEditions, &plan::Edition::code);
}

template <typename T>
T keyword(const std::string& value, const std::string& option,
          std::initializer_list<std::pair<std::string_view, T>> choices) {
    std::string allowed;
    for (const auto& [token, result] : choices) {
        if (value == token) {
            return result;
        }
        allowed += (allowed.empty() ? "" : " | ") + std::string(token);
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
                options.settings.paper = choice(plan::findPaper(value), value, name, paperTokens());
            } else if (name == "--scale") {
                options.settings.scale = choice(plan::findScale(value), value, name, scaleTokens());
            } else if (name == "--angle") {
                options.settings.angleText = value;
            } else if (name == "--radius") {
                const auto radius = points::readNumber(value);
                if (!radius) {
                    throw UsageError("--radius は数値で指定して下さい: 「" + value + "」");
                }
                options.defaultRadius = *radius;
            } else if (name == "--dxf") {
                if (value.empty()) {
                    throw UsageError("--dxf には書き出す DXF ファイルのパスを指定して下さい");
                }
                options.dxfFile = scripts::platform::pathFromUtf8(value);
            } else if (name == "--format") {
                options.open.format =
                    keyword<survey::FileFormat>(value, name,
                                                {{"auto", survey::FileFormat::Auto},
                                                 {"sima", survey::FileFormat::Sima},
                                                 {"csv", survey::FileFormat::Csv}});
            } else if (name == "--header") {
                options.open.csv.header =
                    keyword<survey::HeaderMode>(value, name,
                                                {{"auto", survey::HeaderMode::Auto},
                                                 {"yes", survey::HeaderMode::Yes},
                                                 {"no", survey::HeaderMode::No}});
            } else if (name == "--columns") {
                try {
                    options.open.csv.columns = survey::ColumnMapping::parse(value);
                } catch (const points::RunTimeError& e) {
                    throw UsageError(std::string("--columns: ") + e.what());
                }
            } else if (name == "--sima-out") {
                if (value.empty()) {
                    throw UsageError("--sima-out には書き出す SIMA ファイルのパスを指定して下さい");
                }
                options.simaFile = scripts::platform::pathFromUtf8(value);
            } else if (name == "--out") {
                options.outFolder = scripts::platform::pathFromUtf8(value);
                outGiven = true;
            } else {
                throw UsageError("不明なオプションです: " + name);
            }
            continue;
        }
        if (!options.pointsFile.empty()) {
            throw UsageError("座標ファイルは一つだけ指定して下さい: " + arg);
        }
        options.pointsFile = scripts::platform::pathFromUtf8(arg);
    }
    if (options.settings.versionCode.empty() && options.simaFile.empty()) {
        throw UsageError("バージョンを選んで下さい (--edition " + editionCodes() + ")");
    }
    if (options.pointsFile.empty()) {
        throw UsageError("座標ファイルを指定して下さい");
    }
    if (!outGiven) {
        options.outFolder = scripts::defaultScriptFolder();
    }
    return options;
}

std::string angleWarning(const std::string& text) {
    const std::size_t digits = text.find_first_not_of("+-") == 1 ? 1 : 0;
    const std::size_t point = text.find('.');
    const std::string whole =
        text.substr(digits, point == std::string::npos ? std::string::npos : point - digits);
    const std::string decimals = point == std::string::npos ? "" : text.substr(point + 1);
    const auto allDigits = [](const std::string& part) {
        return std::all_of(part.begin(), part.end(),
                           [](char c) { return points::ascii::isDigit(c); });
    };
    // Minutes and seconds are the first two pairs of decimals; missing ones count as zeros.
    const std::string padded = decimals + "0000";
    const bool plain = !whole.empty() && allDigits(whole) && allDigits(decimals) &&
                       padded.compare(0, 2, "60") < 0 && padded.compare(2, 2, "60") < 0;
    if (plain) {
        return {};
    }
    double degrees = 0.0;
    try {
        degrees = plan::packedAngleDegrees(plan::looseNumber(text));
    } catch (const points::RunTimeError&) {
        return {};
    }
    return "--angle の「" + points::quotedInMessage(text) +
           "」は ddd.mmss (度.分秒) の角度として正しくないため、入力欄と同じ読み方で " +
           points::formatNumber(degrees, true) + " 度として出力します。";
}

std::string usageText() {
    // Each choice with what the main window calls it, where that differs.
    auto described = [](const auto& table, auto key, auto shown) {
        std::string text;
        for (const auto& entry : table) {
            text += (text.empty() ? "" : " | ") + std::string(entry.*key);
            if (entry.*shown != entry.*key) {
                text += " (" + std::string(entry.*shown) + ")";
            }
        }
        return text;
    };
    return R"(Usage: karumenio-cli [options] POINTS_FILE

Pastes the rows of POINTS_FILE into the input worksheet at A6, reads the points and
writes ZAHYOU.SCR, LINE.SCR, PLOT.SCR and TEXT.SCR for the drawing program, and with
--dxf the plan as a DXF drawing for any CAD program.
座標ファイルをワークシートの A6 に貼り付けて読み込み、4つのスクリプトを作成します。

POINTS_FILE  rows of break mark, point name, X, Y[, radius], TAB-separated as a
             spreadsheet copies them (comma-separated where a line has no TAB);
             UTF-8, UTF-8 with BOM, or CP932. Columns go to A, B, C, D and G.
             A SIMA file (.sim, or first record G00, Z00 or A00) gives one closed
             section per parcel (D00/B01/D99), then each other point on its own.

Options:
  --edition CODE   )" +
           described(plan::kEditions, &plan::Edition::code, &plan::Edition::buttonText) + R"(
                   required unless --sima-out is given. Any other number
                   writes "-UNITS" and no save line.
  --paper P        )" +
           described(plan::kPaperSizes, &plan::PaperSize::token, &plan::PaperSize::listText) +
           "\n                   default " + std::string(plan::kPaperSizes[0].token) + R"(
  --scale S        )" +
           scaleTokens() + "\n                   default " +
           std::string(plan::kDrawingScales[0].token) + R"(
  --angle TEXT     rotation typed as ddd.mmss; default "0.0000"
  --radius R       default circle radius put into G6; default 0
  --out DIR        folder that stands for the root of drive C (default:
                   $KARUMENIO_DRIVE_C if set, else C:\ on Windows and the home
                   folder elsewhere)
  --dxf PATH       also write the plan as a DXF (R12) drawing to PATH, in world
                   coordinates, in the same run: all five files or none
  --format F       auto | sima | csv                        (default auto)
  --header H       auto | yes | no: whether the first line is a header; auto
                   takes it for one when its X and Y fields are not numbers or
                   it names an X and a Y column. A header's columns are found
                   by their names (区画/筆/地番/mark, 点名/測点名/測点/name/point,
                   X/X座標/北/N/northing, Y/Y座標/東/E/easting, 半径/Plot半径/
                   radius, in either width) unless --columns is given
  --columns LIST   input columns of mark, name, x, y, r in order, "-" to skip
                   one, or role=N / role=HEADER: "name,x,y", "name=点名,x=4,y=5"
  --sima-out PATH  also write the read points as a SIMA file to PATH; without
                   --edition only this file is written
  --help           this text

Exit status: 0 when all files were written; otherwise non-zero with a message on
stderr, and none of the files changed. Outputs that are one file, or that would
write over the points file, a script, the journal or a temporary file, are
refused before anything is read or written (exit status 2).
)";
}

} // namespace karumenio::cli
