#include "writerun.h"

#include "atomicfileset.h"
#include "featurescripts.h"
#include "kakudo.h"
#include "scriptfile.h"
#include "textforms.h"
#include "zahyouscript.h"

#include "points/codepage.h"
#include "points/pointtable.h"
#include "points/runtimeerror.h"
#include "points/worksheet.h"

namespace karumenio::scripts {

namespace {

constexpr int kLabelColumn = 2;

bool isAscii(std::string_view text) {
    // No early exit: a plain loop the compiler vectorises is faster on whole scripts.
    unsigned char bits = 0;
    for (const char c : text) {
        bits |= static_cast<unsigned char>(c);
    }
    return bits < 0x80;
}

// Code page 932 keeps ASCII as it is, so only the runs of non-ASCII bytes need converting.
// They are converted in one call, joined by LF, which no code page 932 character contains;
// that keeps a script of thousands of Japanese names fast.
std::string toCp932ByRuns(const std::string& utf8, std::vector<std::string>* lost) {
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    std::string joined;
    for (std::size_t i = 0; i < utf8.size();) {
        if (static_cast<unsigned char>(utf8[i]) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t begin = i;
        while (i < utf8.size() && static_cast<unsigned char>(utf8[i]) >= 0x80) {
            ++i;
        }
        runs.emplace_back(begin, i - begin);
        joined.append(utf8, begin, i - begin);
        joined += '\n';
    }
    const std::string converted = points::toCp932(joined, lost);
    std::string out;
    out.reserve(utf8.size());
    std::size_t copied = 0;
    std::size_t from = 0;
    for (const auto& [begin, length] : runs) {
        const std::size_t end = converted.find('\n', from);
        if (end == std::string::npos) {
            // Cannot happen with a converter that keeps LF; never write a wrong script.
            return points::toCp932(utf8, nullptr);
        }
        out.append(utf8, copied, begin - copied);
        out.append(converted, from, end - from);
        copied = begin + length;
        from = end + 1;
    }
    out.append(utf8, copied, std::string::npos);
    return out;
}

// Only point names can carry characters beyond ASCII; each one code page 932 cannot hold is
// written as "?" and reported with the cell of its name.
std::string encodeText(std::string utf8, const points::PointTable& table,
                       std::vector<std::string>& warnings) {
    if (isAscii(utf8)) {
        return utf8;
    }
    std::vector<std::string> lost;
    std::string bytes = toCp932ByRuns(utf8, &lost);
    if (lost.empty()) {
        return bytes;
    }
    const int count = table.count();
    for (int slot = 0; slot < count; ++slot) {
        const std::string name = plainForm(table.labelText.at(slot));
        if (isAscii(name)) {
            continue;
        }
        std::vector<std::string> lostHere;
        points::toCp932(name, &lostHere);
        if (lostHere.empty()) {
            continue;
        }
        std::string characters;
        for (const std::string& c : lostHere) {
            characters += "「" + c + "」";
        }
        warnings.push_back("セル " + points::cellName(points::kFirstDataRow + slot, kLabelColumn) +
                           " の測点名「" + name + "」の文字" + characters +
                           "はシフトJISで表せないため、「?」として書き出しました。");
    }
    return bytes;
}

std::string encodePlain(std::string utf8) {
    // The other scripts hold only fixed commands and numbers.
    return isAscii(utf8) ? utf8 : points::toCp932(utf8, nullptr);
}

} // namespace

void checkWriteRun(const WriteSettings& settings, const points::PointTable& table,
                   const points::Worksheet* dataSheet) {
    using points::RunError;
    using points::RunTimeError;
    if (settings.versionCode.empty()) {
        throw RunTimeError(RunError::TypeMismatch,
                           "出力するバージョンが選ばれていません。バージョンを選んで下さい。");
    }
    if (!versionNumber(settings.versionCode)) {
        throw RunTimeError(RunError::TypeMismatch, "バージョン「" + settings.versionCode +
                                                       "」は数値ではありません。"
                                                       "バージョンを選び直して下さい。");
    }
    if (dataSheet == nullptr) {
        throw RunTimeError(RunError::ObjectNotSet, "座標がまだ読み込まれていません。"
                                                   "先に「座 標 読 込」を押して下さい。");
    }
    if (table.count() <= 0) {
        throw RunTimeError(RunError::SubscriptOutOfRange,
                           "読み込んだ座標が 0 点です。座標を 6 行目から貼り付けて、"
                           "「座 標 読 込」を押してから出力して下さい。");
    }
}

ScriptSet generateScripts(const WriteSettings& settings, points::PointTable& table,
                          const points::Worksheet* dataSheet, WriteState& state) {
    checkWriteRun(settings, table, dataSheet);
    WriteState next = state;
    table.pointIndex.reset();
    KAKUDO(settings, next);

    ScriptFile zahyou;
    writeZahyouScript(zahyou, settings, *dataSheet, next);
    ScriptFile line;
    writeLineScript(line, table);
    ScriptFile plot;
    writePlotScript(plot, table);
    ScriptFile text;
    std::vector<std::string> warnings;
    writeTextScript(text, table, next, &warnings);

    ScriptSet set;
    set.zahyou = encodePlain(zahyou.take());
    set.line = encodePlain(line.take());
    set.plot = encodePlain(plot.take());
    set.warnings = std::move(warnings);
    set.text = encodeText(text.take(), table, set.warnings);
    state = std::move(next);
    return set;
}

WriteReport writeRun(const WriteSettings& settings, points::PointTable& table,
                     const points::Worksheet* dataSheet, WriteState& state,
                     const std::filesystem::path& folder) {
    return writeRun(settings, table, dataSheet, state, folder, FileOperations::system());
}

WriteReport writeRun(const WriteSettings& settings, points::PointTable& table,
                     const points::Worksheet* dataSheet, WriteState& state,
                     const std::filesystem::path& folder, const FileOperations& operations) {
    WriteState next = state;
    ScriptSet set = generateScripts(settings, table, dataSheet, next);

    WriteReport report;
    AtomicFileSet files;
    for (std::size_t i = 0; i < kScriptFileNames.size(); ++i) {
        const std::filesystem::path path = folder / std::filesystem::path(kScriptFileNames[i]);
        files.add(path, set.bytes(i));
        report.files.push_back(path);
    }
    files.commit(operations);
    state = std::move(next);
    report.warnings = std::move(set.warnings);
    return report;
}

} // namespace karumenio::scripts
