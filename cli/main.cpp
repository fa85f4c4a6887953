#include "clioptions.h"
#include "console.h"
#include "heap.h"

#include "job/errormessage.h"
#include "job/job.h"
#include "job/planlocation.h"
#include "plan/fitcheck.h"
#include "points/reader.h"
#include "spreadsheet/runtimeerror.h"
#include "transaction/outputset.h"
#include "transaction/platform.h"

#include <fstream>
#include <iostream>
#include <optional>

using namespace karumenio;

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

std::string readWholeFile(const std::filesystem::path& path,
                          const std::string& what = "座標ファイル") {
    auto refuse = [&](const std::string& why) {
        throw spreadsheet::RunTimeError(spreadsheet::RunError::PathFileAccess,
                                        what + "を" + why + ": " +
                                            transaction::platform::displayPath(path));
    };
    std::error_code error;
    // A folder opens like an empty file on some systems and would read as "0 points".
    if (std::filesystem::is_directory(path, error)) {
        refuse("読めません（フォルダです）");
    }
    const std::string limit =
        "読めません（" + std::to_string(job::kPointsFileLimit >> 20) + " MB を超えています）";
    const auto size = std::filesystem::file_size(path, error);
    if (!error && size > job::kPointsFileLimit) {
        refuse(limit);
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        refuse("開けません");
    }
    std::string bytes;
    // Room for the whole file at once, not grown and copied chunk by chunk.
    if (!error) {
        bytes.reserve(static_cast<std::size_t>(size));
    }
    char buffer[1 << 16];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
        // A pipe or device has no size to check beforehand.
        if (bytes.size() > job::kPointsFileLimit) {
            refuse(limit);
        }
    }
    if (in.bad()) {
        refuse("読めません");
    }
    return bytes;
}

// Where the read points lie in the system chosen with --zone; nothing without one, or when a
// coordinate is not a number, which the write then reports.
std::optional<job::PlanLocation> locate(const job::Job& job) {
    const geodesy::PlaneSystem* system = job.settings().planeSystem;
    if (system == nullptr) {
        return std::nullopt;
    }
    try {
        return job::locatePlan(plan::computePoints(job.table()), *system);
    } catch (const spreadsheet::RunTimeError&) {
        return std::nullopt;
    }
}

int run(const cli::CliOptions& options, const job::WriteTargets& targets) {
    if (targets.scripts && !options.angleWarning.empty()) {
        std::cerr << "警告: " << options.angleWarning << '\n';
    }
    for (const std::string& warning : options.warnings) {
        std::cerr << "警告: " << warning << '\n';
    }
    // One run from file to scripts: nothing to undo, so no record of what each cell held.
    job::Job job(job::Job::History::None);
    // Before the file, whose own radius column G overrides the default in G6.
    job.setSettings(options.settings);
    std::string bytes = readWholeFile(options.pointsFile);
    // Code page 932 becomes UTF-8 before the read, so that the file is not held twice.
    survey::decodeInPlace(bytes);
    const auto opened = job.openPointsFile(
        bytes, transaction::platform::displayPath(options.pointsFile.filename()), options.open);
    for (const auto& warning : opened.warnings) {
        std::cerr << "警告: " << warning << '\n';
    }
    if (!options.marksFile.empty()) {
        std::string marks = readWholeFile(options.marksFile, "境界標・種別の表");
        survey::decodeInPlace(marks);
        if (!survey::isMarkTable(marks, {})) {
            throw spreadsheet::RunTimeError(
                spreadsheet::RunError::TypeMismatch,
                "--marks の表 " + transaction::platform::displayPath(options.marksFile) +
                    " の見出し行に点名と境界標（または種別）の列がないか、X・Y の列があります。"
                    "見出しを「点名,境界標,種別」などにして下さい。");
        }
        for (const auto& warning : job.openPointsFile(marks, transaction::platform::displayPath(
                                                                 options.marksFile.filename()))
                                       .warnings) {
            std::cerr << "警告: " << warning << '\n';
        }
    }
    const int count = job.read();
    if (const std::string note = job.lastRead().note(); !note.empty()) {
        std::cerr << "警告: " << note << '\n';
    }
    const std::optional<job::PlanLocation> location = locate(job);
    if (location && !location->warning.empty()) {
        std::cerr << "警告: " << location->warning << '\n';
    }

    // The files of the output formats go with the scripts, all or nothing.
    const transaction::WriteReport report = job.write(targets);
    for (const auto& warning : report.warnings) {
        std::cerr << "警告: " << warning << '\n';
    }
    if (const plan::Plan* written = job.lastPlan()) {
        const plan::FitCheck fit = plan::checkFit(*written, *written->paper, *written->scale);
        if (fit.outside > 0) {
            std::cerr << "警告: " << plan::fitMessage(fit, *written->paper, *written->scale)
                      << '\n';
        }
    }
    std::cout << points::readMessage(count) << '\n';
    for (const auto& file : report.files) {
        std::cout << transaction::platform::displayPath(file) << '\n';
    }
    if (location && location->mapAddress) {
        std::cout << "地図で確認: " << *location->mapAddress << '\n';
    }
    return 0;
}

// What the run writes: the scripts when an edition is given, and the files asked for.
job::WriteTargets writeTargets(const cli::CliOptions& options) {
    job::WriteTargets targets;
    targets.folder = options.outFolder;
    targets.scripts = !options.settings.edition.empty();
    targets.files = options.files;
    targets.inputs.push_back(options.pointsFile);
    if (!options.marksFile.empty()) {
        targets.inputs.push_back(options.marksFile);
    }
    return targets;
}

} // namespace

int main(int argc, char** argv) {
    cli::keepFreedMemory();
    cli::useUtf8Console();
    cli::CliOptions options;
    try {
        options = cli::parseArguments(cli::utf8Arguments(argc, argv));
    } catch (const cli::UsageError& e) {
        std::cerr << "karumenio-cli: " << e.what() << "\n(--help で使い方を表示します)\n";
        return kExitUsage;
    }
    if (options.help) {
        std::cout << cli::usageText();
        return 0;
    }
    const job::WriteTargets targets = writeTargets(options);
    try {
        // Before anything is read or written: outputs over each other or over the input.
        targets.check();
    } catch (const transaction::OutputClash& e) {
        std::cerr << "karumenio-cli: " << e.what() << '\n';
        return kExitUsage;
    }
    try {
        return run(options, targets);
    } catch (const std::exception& e) {
        std::cerr << "karumenio-cli: " << job::errorMessage(e) << '\n';
    }
    return kExitFailure;
}
