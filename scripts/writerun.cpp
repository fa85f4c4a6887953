#include "writerun.h"

#include "atomicfileset.h"
#include "featurescripts.h"
#include "foldersession.h"
#include "platform.h"
#include "scriptfile.h"
#include "zahyouscript.h"

#include "plan/labelencoding.h"
#include "plan/plan.h"
#include "points/pointtable.h"
#include "points/runtimeerror.h"

namespace karumenio::scripts {

void checkWriteRun(const plan::Settings& settings, const points::PointTable& table,
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
        throw RunTimeError(RunError::ObjectNotSet, std::string(kNotReadMessage));
    }
    if (table.count() <= 0) {
        throw RunTimeError(RunError::SubscriptOutOfRange,
                           "読み込んだ座標が 0 点です。座標を 6 行目から貼り付けて、"
                           "「座 標 読 込」を押してから出力して下さい。");
    }
}

ScriptSet writeScripts(const plan::Settings& settings, const plan::Plan& plan) {
    ScriptFile zahyou;
    writeZahyouScript(zahyou, settings, plan);
    ScriptFile line;
    writeLineScript(line, plan);
    ScriptFile plot;
    writePlotScript(plot, plan);
    ScriptFile text;
    writeTextScript(text, plan);

    ScriptSet set;
    set.zahyou = plan::toDrawingCodePage(zahyou.take());
    set.line = plan::toDrawingCodePage(line.take());
    set.plot = plan::toDrawingCodePage(plot.take());
    bool lost = false;
    set.text = plan::toDrawingCodePage(text.take(), &lost);
    set.warnings = plan.warnings;
    if (lost) {
        plan::warnUnmappableLabels(plan, set.warnings);
    }
    return set;
}

ScriptSet generateScripts(const plan::Settings& settings, points::PointTable& table,
                          const points::Worksheet* dataSheet, plan::WriteState& state) {
    checkWriteRun(settings, table, dataSheet);
    const plan::Plan plan = plan::computePlan(table, *dataSheet, settings, state);
    ScriptSet set = writeScripts(settings, plan);
    plan::applyPlan(plan, table, state);
    return set;
}

WriteReport writeRun(const plan::Settings& settings, points::PointTable& table,
                     const points::Worksheet* dataSheet, plan::WriteState& state,
                     const std::filesystem::path& folder) {
    return writeRun(settings, table, dataSheet, state, folder, FileOperations::system());
}

WriteReport writePlan(const plan::Settings& settings, const plan::Plan& plan,
                      const std::filesystem::path& folder, const FileOperations& operations,
                      const std::vector<PlanExport>& exports) {
    ScriptSet set = writeScripts(settings, plan);
    WriteReport report;
    report.warnings = std::move(set.warnings);
    AtomicFileSet files;
    for (std::size_t i = 0; i < kScriptFileNames.size(); ++i) {
        const std::filesystem::path path = folder / platform::pathFromUtf8(kScriptFileNames[i]);
        files.add(path, set.bytes(i));
        report.files.push_back(path);
    }
    for (const PlanExport& file : exports) {
        files.add(file.target, file.bytes(plan, report.warnings));
        report.files.push_back(file.target);
    }
    files.commit(operations);
    return report;
}

WriteReport writeRun(const plan::Settings& settings, points::PointTable& table,
                     const points::Worksheet* dataSheet, plan::WriteState& state,
                     const std::filesystem::path& folder, const FileOperations& operations,
                     const std::vector<PlanExport>& exports) {
    // Recovery of an interrupted run comes before this run's own checks.
    const FolderSession session(folder, outputFolderScope(), operations);
    return session.run([&] {
        checkWriteRun(settings, table, dataSheet);
        const plan::Plan plan = plan::computePlan(table, *dataSheet, settings, state);
        WriteReport report = writePlan(settings, plan, folder, operations, exports);
        plan::applyPlan(plan, table, state);
        return report;
    });
}

} // namespace karumenio::scripts
