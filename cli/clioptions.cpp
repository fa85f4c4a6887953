#include "clioptions.h"

#include "geodesy/planesystem.h"
#include "job/drawingfields.h"
#include "job/outputformat.h"
#include "job/surveymapfiles.h"
#include "parcel/accuracyclass.h"
#include "parcel/landcategory.h"
#include "parcel/neighbours.h"
#include "parcel/subdivision.h"
#include "plan/drawingscale.h"
#include "plan/edition.h"
#include "plan/kakudo.h"
#include "plan/papersize.h"
#include "spreadsheet/ascii.h"
#include "spreadsheet/cellvalue.h"
#include "spreadsheet/messagetext.h"
#include "spreadsheet/numberformat.h"
#include "spreadsheet/runtimeerror.h"
#include "transaction/platform.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <set>
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

// The file of an output format's option, in the table's order.
void addFormatFile(std::vector<job::FormatTarget>& files, const job::OutputFormat& format,
                   const std::string& value) {
    if (value.empty()) {
        throw UsageError(std::string(format.option) + " には書き出す " + std::string(format.role) +
                         "のパスを指定して下さい");
    }
    files.push_back({&format, transaction::platform::pathFromUtf8(value)});
    const auto order = [](const job::FormatTarget& file) {
        return file.format - job::outputFormats().data();
    };
    std::sort(files.begin(), files.end(),
              [&](const auto& a, const auto& b) { return order(a) < order(b); });
}

const job::OutputFormat* formatOfOption(std::string_view option) {
    for (const job::OutputFormat& format : job::outputFormats()) {
        if (format.option == option) {
            return &format;
        }
    }
    return nullptr;
}

// The columns a UTF-8 word takes on a terminal: two for each wide (CJK, full-width) character.
std::size_t columnsOf(std::string_view word) {
    std::size_t columns = 0;
    for (std::size_t i = 0; i < word.size();) {
        const auto lead = static_cast<unsigned char>(word[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length && i + k < word.size(); ++k) {
            code = (code << 6) | (static_cast<unsigned char>(word[i + k]) & 0x3F);
        }
        const bool halfWidthKana = code >= 0xFF61 && code <= 0xFF9F;
        columns += (code >= 0x1100 && code <= 0x115F) || (code >= 0x2E80 && !halfWidthKana) ? 2 : 1;
        i += length;
    }
    return columns;
}

// The text wrapped at 80 columns, every line after the first indented as the first starts.
std::string wrapped(std::string_view text, std::size_t indent) {
    constexpr std::size_t kWidth = 80;
    std::string result;
    std::size_t column = indent;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view word = text.substr(start, end - start);
        const std::size_t width = columnsOf(word);
        if (column > indent && column + 1 + width > kWidth) {
            result += "\n" + std::string(indent, ' ');
            column = indent;
        } else if (column > indent) {
            result += ' ';
            ++column;
        }
        result += word;
        column += width;
        start = end + 1;
    }
    return result;
}

// The lines of the output formats' options in the help.
std::string formatOptionsHelp() {
    constexpr std::size_t kTextColumn = 19;
    std::string text;
    for (const job::OutputFormat& format : job::outputFormats()) {
        std::string line = "  " + std::string(format.option) + " PATH";
        line.append(line.size() + 2 > kTextColumn ? 2 : kTextColumn - line.size(), ' ');
        text += line + wrapped(format.help, line.size()) + "\n";
    }
    return text;
}

// Options that take no value.
constexpr std::string_view kSurveyMapOption = "--survey-map";
// The one option given as often as needed: a neighbouring lot each.
constexpr std::string_view kRepeatableOption = "--adjacent";
// The title block's fields, which only the survey map draws.
constexpr std::array<std::string_view, 6> kTitleOptions{
    "--location", "--lot", "--surveyor", "--date", "--survey-date", "--applicant"};

const geodesy::PlaneSystem* zoneOf(const std::string& value) {
    const bool digits = !value.empty() && value.size() <= 2 &&
                        std::all_of(value.begin(), value.end(),
                                    [](char c) { return spreadsheet::ascii::isDigit(c); });
    const geodesy::PlaneSystem* system = digits ? geodesy::planeSystem(std::stoi(value)) : nullptr;
    if (system == nullptr) {
        throw UsageError("--zone に「" + value + "」は使えません。平面直角座標系の番号を " +
                         geodesy::systemNumberRange() +
                         " の数字で指定して下さい（例 --zone 9 は第IX系）");
    }
    return system;
}

// A date of the calendar as YYYY-MM-DD, unchanged.
std::string dateOf(const std::string& value, const std::string& option = "--date",
                   const char* what = "作成年月日") {
    if (!job::isCalendarDate(value)) {
        throw UsageError(option + " に「" + value + "」は使えません。" + what +
                         "を YYYY-MM-DD の形の正しい日付で指定して下さい（例 2024-05-01）");
    }
    return value;
}

// A neighbouring lot as LOT:P1-P2.
parcel::Neighbour neighbourOf(const std::string& value) {
    const std::optional<parcel::Neighbour> neighbour = parcel::parseNeighbour(value);
    if (!neighbour) {
        throw UsageError("--adjacent に「" + value +
                         "」は使えません。隣接地を 地番:点名-点名 の形で指定して下さい"
                         "（例 --adjacent 670番:P1-P3、--adjacent 道路:P3-P4）");
    }
    return *neighbour;
}

std::string landCategoryTokens() {
    return alternatives(parcel::kLandCategories, &parcel::LandCategory::token);
}

// The subdivision's options; true when the option is one of them, noted in *given.
bool subdivisionOption(const std::string& name, const std::string& value,
                       parcel::SubdivisionSettings& subdivision, std::set<std::string>& given) {
    static const std::set<std::string> kNames{"--subdivision-of", "--signs", "--registered-area",
                                              "--accuracy-class", "--remainder"};
    if (!kNames.contains(name)) {
        return false;
    }
    given.insert(name);
    const auto nonEmpty = [&](const char* what) {
        if (value.empty()) {
            throw UsageError(name + " には" + what + "を指定して下さい");
        }
        return value;
    };
    if (name == "--subdivision-of") {
        subdivision.parent = nonEmpty("分筆前の区画の名前（区切り）");
    } else if (name == "--remainder") {
        subdivision.remainder = nonEmpty("残地の区画の名前（区切り）");
    } else if (name == "--signs") {
        subdivision.signs =
            choice(parcel::findLotSignStyle(value), value, name,
                   alternatives(parcel::kLotSignStyles, &parcel::LotSignStyle::token));
    } else if (name == "--accuracy-class") {
        subdivision.accuracyClass =
            choice(parcel::findAccuracyClass(value), value, name,
                   alternatives(parcel::kAccuracyClasses, &parcel::AccuracyClass::token));
    } else {
        const std::optional<std::int64_t> area = parcel::squareMillimetresOf(value);
        if (!area) {
            throw UsageError("--registered-area: " + job::registeredAreaMessage(value));
        }
        subdivision.registeredArea = *area;
    }
    return true;
}

// The land categories with the default and the rule of each, wrapped as the help lines are.
std::string landClassHelp() {
    std::string wholeAboveTen;
    for (const parcel::LandCategory& category : parcel::kLandCategories) {
        if (category.rule == parcel::AreaRule::WholeAboveTen) {
            wholeAboveTen += (wholeAboveTen.empty() ? "" : ", ") + std::string(category.token);
        }
    }
    return wrapped(landCategoryTokens() + " (地目; default " +
                       std::string(parcel::kDefaultLandCategory.token) +
                       "): the area is cut to 0.01 m², for " + wholeAboveTen +
                       " above 10 m² to 1 m²",
                   19);
}

} // namespace

CliOptions parseArguments(const std::vector<std::string>& arguments) {
    CliOptions options;
    bool outGiven = false;
    std::set<std::string> subdivisionGiven;
    // Each option once: the last of two would silently win, whichever the surveyor meant.
    // --adjacent is the exception: one for each neighbour.
    std::vector<std::string> given;
    const auto once = [&](const std::string& name) {
        if (std::find(given.begin(), given.end(), name) != given.end()) {
            throw UsageError(name + " が 2 回指定されています。一つにして下さい");
        }
        given.push_back(name);
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            return options;
        }
        if (arg.starts_with("--")) {
            std::string name = arg;
            std::string value;
            if (arg == kSurveyMapOption) {
                once(arg);
                options.settings.surveyMap = true;
                continue;
            }
            if (const auto eq = arg.find('='); eq != std::string::npos) {
                name = arg.substr(0, eq);
                value = arg.substr(eq + 1);
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i];
            } else {
                throw UsageError(arg + " の値がありません");
            }
            if (name != kSurveyMapOption && name != kRepeatableOption) {
                once(name);
            }
            if (subdivisionOption(name, value, options.settings.subdivision, subdivisionGiven)) {
                continue;
            }
            if (const job::OutputFormat* format = formatOfOption(name)) {
                addFormatFile(options.files, *format, value);
            } else if (name == "--edition") {
                options.settings.edition = value;
            } else if (name == "--paper") {
                options.settings.paper = choice(plan::findPaper(value), value, name, paperTokens());
            } else if (name == "--scale") {
                options.settings.scale = choice(plan::findScale(value), value, name, scaleTokens());
            } else if (name == "--angle") {
                options.settings.angle = plan::RotationAngle(value);
                options.angleWarning = angleWarning(value);
            } else if (name == "--radius") {
                const auto radius = spreadsheet::readNumber(value);
                if (!radius) {
                    throw UsageError("--radius は数値で指定して下さい: 「" + value + "」");
                }
                options.settings.defaultRadius = *radius;
            } else if (name == kSurveyMapOption) {
                throw UsageError(name + " は値を取りません: 「" + arg + "」");
            } else if (name == "--land-class") {
                options.settings.map.landCategory =
                    choice(parcel::findLandCategory(value), value, name, landCategoryTokens());
            } else if (name == "--location") {
                options.settings.map.titleBlock.location = value;
            } else if (name == "--lot") {
                options.settings.map.titleBlock.lotNumber = value;
            } else if (name == "--surveyor") {
                options.settings.map.titleBlock.surveyor = value;
            } else if (name == "--date") {
                options.settings.map.titleBlock.date = dateOf(value);
            } else if (name == "--survey-date") {
                options.settings.map.titleBlock.surveyDate = dateOf(value, name, "測量年月日");
            } else if (name == "--applicant") {
                options.settings.map.titleBlock.applicant = value;
            } else if (name == "--adjacent") {
                options.settings.neighbours.push_back(neighbourOf(value));
            } else if (name == "--marks") {
                options.marksFile = transaction::platform::pathFromUtf8(value);
            } else if (name == "--zone") {
                options.settings.planeSystem = zoneOf(value);
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
                } catch (const spreadsheet::RunTimeError& e) {
                    throw UsageError(std::string("--columns: ") + e.what());
                }
            } else if (name == "--out") {
                options.outFolder = transaction::platform::pathFromUtf8(value);
                outGiven = true;
            } else {
                throw UsageError("不明なオプションです: " + name);
            }
            continue;
        }
        if (!options.pointsFile.empty()) {
            throw UsageError("座標ファイルは一つだけ指定して下さい: " + arg);
        }
        options.pointsFile = transaction::platform::pathFromUtf8(arg);
    }
    if (options.settings.edition.empty() && options.files.empty()) {
        throw UsageError("バージョンを選んで下さい (--edition " + editionCodes() + ")");
    }
    if (options.pointsFile.empty()) {
        throw UsageError("座標ファイルを指定して下さい");
    }
    if (!subdivisionGiven.empty() && options.settings.subdivision.parent.empty()) {
        throw UsageError(*subdivisionGiven.begin() +
                         " は分筆前の区画を --subdivision-of で指定したときだけ使えます");
    }
    const bool geoJson =
        std::any_of(options.files.begin(), options.files.end(),
                    [](const job::FormatTarget& file) { return file.format->token == "geojson"; });
    if (geoJson && options.settings.planeSystem == nullptr) {
        throw UsageError("--geojson には座標系が必要です。--zone で平面直角座標系の番号 (" +
                         geodesy::systemNumberRange() +
                         ") "
                         "を選んで下さい（例 --zone 9）");
    }
    if (!options.settings.surveyMap) {
        for (const std::string_view field : kTitleOptions) {
            if (std::find(given.begin(), given.end(), field) != given.end()) {
                options.warnings.push_back(std::string(field) +
                                           " は表題欄の項目です。--survey-map がないため、"
                                           "表題欄を描かず、この指定は使いません。");
            }
        }
    }
    if (!outGiven) {
        options.outFolder = transaction::platform::defaultOutputFolder();
    }
    // G6 gets the default radius whether given or not: 0 without --radius.
    if (!options.settings.defaultRadius) {
        options.settings.defaultRadius = 0.0;
    }
    return options;
}

std::string angleWarning(const std::string& text) {
    return plan::RotationAngle(text).warning("--angle");
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
writes ZAHYOU.SCR, LINE.SCR, PLOT.SCR and TEXT.SCR for the drawing program, and the
files of the output options below in the same run.
座標ファイルをワークシートの A6 に貼り付けて読み込み、4つのスクリプトを作成します。

POINTS_FILE  rows of break mark, point name, X, Y[, radius[, 境界標[, 種別]]],
             TAB-separated as a spreadsheet copies them (comma-separated where a
             line has no TAB); UTF-8, UTF-8 with BOM, or CP932. Columns go to
             A, B, C, D, G, H and I.
             A SIMA file (.sim, or first record G00, Z00 or A00) gives one closed
             section per parcel (D00/B01/D99), then each other point on its own.

Options:
  --edition CODE   )" +
           described(plan::kEditions, &plan::Edition::code, &plan::Edition::buttonText) + R"(
                   required unless an output file is asked for below. Any
                   other number writes "-UNITS" and no save line.
  --paper P        )" +
           described(plan::kPaperSizes, &plan::PaperSize::token, &plan::PaperSize::listText) +
           "\n                   default " + std::string(plan::kDefaultPaper) + R"(
  --scale S        )" +
           scaleTokens() + "\n                   default " + std::string(plan::kDefaultScale) +
           R"(
  --angle TEXT     rotation typed as ddd.mmss; default "0.0000"
  --radius R       default circle radius put into G6; default 0
  --out DIR        folder that stands for the root of drive C (default:
                   $KARUMENIO_DRIVE_C if set, else C:\ on Windows and the home
                   folder elsewhere)
)" + formatOptionsHelp() +
           R"(  --survey-map     also draw the parcel survey map (side lengths, area table,
                   north arrow, title block) into the DXF, and write it as a
                   fifth script KYUSEKI.SCR in the same run
  --land-class C   )" +
           landClassHelp() + R"(
  --location TEXT  所在 of the title block
  --lot TEXT       地番 of the title block (default: the parcels' names)
  --surveyor TEXT  作成者 of the title block
  --date DATE      作成年月日 as YYYY-MM-DD (default: today)
  --survey-date D  測量年月日, the day of the survey, as YYYY-MM-DD
  --applicant TEXT 申請人 of the title block
  --adjacent LOT:P1-P2
                   a neighbouring lot (隣接地; 道路, 水路 too) along the boundary
                   of a parcel from point P1 to point P2 (the side between
                   them when they are neighbours, else in the parcel's order);
                   give one for each neighbour. Sides two parcels share need
                   none
  --marks FILE     a table of 点名 and 境界標 and/or 種別 (CSV or TSV with a
                   header) for the points of POINTS_FILE, such as a SIMA file
  --subdivision-of NAME
                   a subdivision (分筆): the parcel NAME (a closed section or
                   SIMA parcel) is the lot before; every other parcel inside it
                   is a new lot, signed in the order of its rows. Checked on the
                   millimetres: the new lots' areas add up to it, lie inside it
                   and do not overlap; the area CSV gains 分筆前, 分筆後合計, 差
  --signs S        )" +
           alternatives(parcel::kLotSignStyles, &parcel::LotSignStyle::token) +
           R"( (符号 of the new lots; default )" + std::string(parcel::kLotSignStyles[0].token) +
           R"()
  --registered-area M2
                   the registered area (登記地積) of the lot before, in m²
  --accuracy-class C
                   )" +
           alternatives(parcel::kAccuracyClasses, &parcel::AccuracyClass::token) +
           R"( (精度区分): the tolerance the
                   registered area is held against; beyond it 地積更正 is due
  --remainder NAME the new lot that is the remainder (残地)
  --zone N         plane rectangular coordinate system )" +
           geodesy::systemNumberRange("-") + " (系 " + geodesy::planeSystems().front().roman + "-" +
           geodesy::planeSystems().back().roman + R"( of
                   JGD2011): the title block's 座標系, the GeoJSON, the map
                   address printed and the check that the points lie there
  --format F       auto | sima | csv                        (default auto)
  --header H       auto | yes | no: whether the first line is a header; auto
                   takes it for one when its X and Y fields are not numbers or
                   it names an X and a Y column. A header's columns are found
                   by their names (区画/筆/地番/mark, 点名/測点名/測点/name/point,
                   X/X座標/北/N/northing, Y/Y座標/東/E/easting, 半径/Plot半径/
                   radius, 境界標/標識/杭種, 種別/点種, in either width) unless
                   --columns is given
  --columns LIST   input columns of mark, name, x, y, r, kind, class in order,
                   "-" to skip one, or role=N / role=HEADER: "name,x,y",
                   "name=点名,x=4,y=5"
  --help           this text

Exit status: 0 when all files were written; otherwise non-zero with a message on
stderr, and none of the files changed. An option given twice, and outputs that
are one file or that would write over the points file, a script, the journal or
a temporary file, are refused before anything is read or written (exit status 2).
)";
}

} // namespace karumenio::cli
