#include "session.h"

#include "completion.h"
#include "errormessage.h"
#include "fitadvice.h"
#include "outputformat.h"
#include "planlocation.h"
#include "surveymapfiles.h"

#include "geodesy/planesystem.h"
#include "parcel/parcel.h"
#include "parcel/surveymap.h"
#include "plan/labelencoding.h"
#include "points/reader.h"
#include "spreadsheet/formulaparser.h"
#include "survey/pointsfile.h"
#include "transaction/atomicfileset.h"
#include "transaction/foldersession.h"
#include "transaction/platform.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace karumenio::job {

namespace {

// What the angle box is called in the messages.
constexpr std::string_view kAngleSubject = "角度(UCS)";

// A warning as the preview lists it, with the cell it names ("セル G7 の…") to go to.
Message warningAbout(std::string text) {
    std::string cell;
    constexpr std::string_view kCell = "セル ";
    for (std::size_t at = text.find(kCell); at != std::string::npos && cell.empty();
         at = text.find(kCell, at + 1)) {
        std::size_t end = at + kCell.size();
        while (end < text.size() && (std::isalnum(static_cast<unsigned char>(text[end])) != 0)) {
            ++end;
        }
        const std::string name = text.substr(at + kCell.size(), end - at - kCell.size());
        if (spreadsheet::parseCellName(name)) {
            cell = name;
        }
    }
    return {{}, std::move(text), std::move(cell), true};
}

// Lines added to a message, each on its own line after it; a message with any is a warning.
void addLines(Message& message, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        message.text += "\n" + line;
        message.warning = true;
    }
}

// With a coordinate system chosen: the map of the plan's surroundings, and a warning when its
// centroid falls outside the system's land, which is a wrong system or a slip of the axes.
void placeOnMap(const geodesy::PlaneSystem* system, const plan::Plan& drawing, Preview& preview) {
    if (system == nullptr) {
        preview.mapUnavailable = "座標系が選ばれていません。「座標系」で平面直角座標系を選ぶと、"
                                 "図面の位置を地理院地図で確かめられます。";
        return;
    }
    const std::optional<PlanLocation> location = locatePlan(drawing, *system);
    if (!location) {
        preview.mapUnavailable = "図面に測点がありません。";
        return;
    }
    if (!location->warning.empty()) {
        preview.warnings.push_back(warningAbout(location->warning));
    }
    if (location->mapAddress) {
        preview.mapAddress = *location->mapAddress;
    } else {
        preview.mapUnavailable = "図形の重心が" + geodesy::systemLabel(*system) +
                                 "の範囲から遠く外れているため、地図に置けません。";
    }
}

// The fit check: the survey map's when its drawing needs another scale, else the plan's; its
// sentence, and the paper and scale that hold every point.
void checkFit(const plan::Plan& p, Preview& preview) {
    FitAdvice advice = fitAdvice(p, preview.surveyMap ? &*preview.surveyMap : nullptr);
    preview.fitText = std::move(advice.text);
    if (advice.scale != nullptr) {
        preview.suggestedPaper = advice.paper->token;
        preview.suggestedScale = advice.scale->token;
        preview.suggestionCaption = std::move(advice.caption);
    }
}

const OutputFormat& formatOf(std::string_view token) {
    const OutputFormat* format = findFormat(token);
    if (format == nullptr) {
        throw std::invalid_argument("no output format " + std::string(token));
    }
    return *format;
}

// What an export that wrote its file says: the file's name and what the write warned of.
Message exportedMessage(const std::string& name, const std::vector<std::string>& warnings) {
    Message message{std::string(kPreviewTitle), name + " を書き出しました。", {}, false};
    addLines(message, warnings);
    return message;
}

} // namespace

Session::Session() : m_edits(m_job) {}

void Session::setSettings(Settings settings) {
    m_job.setSettings(std::move(settings));
}

std::optional<Question> Session::questionBeforeUse(ReadUse use) const {
    if (!changedSinceRead()) {
        return std::nullopt;
    }
    return staleSheetQuestion(use);
}

std::string Session::angleWarning() const {
    return settings().angle.warning(kAngleSubject);
}

Outcome Session::read(const points::ReadProgress& progress) {
    Outcome outcome;
    try {
        m_job.read(progress);
    } catch (const std::exception& error) {
        outcome.message = failureMessage(points::kReadTitle, error);
        return outcome;
    }
    m_edits.noteRead();
    outcome.ok = true;
    outcome.message = {std::string(points::kReadTitle), m_job.lastRead().message(), {}, false};
    // A coordinate that is not a number would only stop the write; say so now.
    const std::vector<std::string> textCells = m_job.textCoordinateCells();
    if (!textCells.empty()) {
        std::string cells;
        for (const std::string& cell : textCells) {
            cells += (cells.empty() ? "" : "、") + cell;
        }
        outcome.message.text +=
            "\n\n次のセルの座標が数値ではありません。直してから読み込み直して下さい: " + cells;
        outcome.message.cell = textCells.front();
        outcome.message.warning = true;
    }
    if (const std::string angle = angleWarning(); !angle.empty()) {
        outcome.message.text += "\n\n" + angle;
        outcome.message.warning = true;
    }
    return outcome;
}

Preview Session::preview() const {
    Preview preview;
    if (!m_job.hasRead()) {
        preview.problem = "座標が読み込まれていません。「座 標 読 込」を押すと図面を表示します。";
        return preview;
    }
    try {
        preview.plan = m_job.plan();
    } catch (const std::exception& error) {
        preview.problem = errorMessage(error);
        return preview;
    }
    const plan::Plan& p = *preview.plan;
    std::vector<std::string> warnings;
    if (const std::string angle = angleWarning(); !angle.empty()) {
        warnings.push_back(angle);
    }
    warnings.insert(warnings.end(), p.warnings.begin(), p.warnings.end());
    // Names the code page cannot hold are written as "?" in every output.
    plan::warnUnmappableLabels(p, warnings);
    // The survey map as the DXF, KYUSEKI.SCR and the PDF draw it.
    if (settings().surveyMap) {
        preview.surveyMap = surveyMapOf(p, settings(), &warnings);
        parcel::warnUnmappableTexts(*preview.surveyMap, warnings);
    }
    preview.counts = planCounts(p, preview.surveyMap ? preview.surveyMap->sheets.size() : 0);
    for (std::string& warning : warnings) {
        preview.warnings.push_back(warningAbout(std::move(warning)));
    }
    checkFit(p, preview);
    placeOnMap(settings().planeSystem, p, preview);
    return preview;
}

std::vector<std::string> Session::parcelNames() const {
    std::vector<std::string> names;
    if (!m_job.hasRead()) {
        return names;
    }
    try {
        for (parcel::Parcel& found : parcel::findParcels(m_job.plan()).parcels) {
            if (std::find(names.begin(), names.end(), found.name) == names.end()) {
                names.push_back(std::move(found.name));
            }
        }
    } catch (const std::exception&) {
        // The preview says why there is no plan; the names are only a help in choosing.
    }
    return names;
}

Outcome Session::write(const std::filesystem::path& folder,
                       const transaction::FileOperations& operations) {
    Outcome outcome;
    transaction::WriteReport report;
    try {
        report = m_job.write(WriteTargets::scriptsInto(folder), operations);
    } catch (const std::exception& error) {
        outcome.message = failureMessage(kCompletionTitle, error);
        return outcome;
    }
    outcome.ok = true;
    // What the surveyor should know about the files comes with the completion, not after it.
    outcome.message = {std::string(kCompletionTitle),
                       folderCompletionMessage(folder, settings().surveyMap),
                       {},
                       false};
    if (const std::string angle = angleWarning(); !angle.empty()) {
        report.warnings.insert(report.warnings.begin(), angle);
    }
    addLines(outcome.message, report.warnings);
    return outcome;
}

Outcome Session::writeToMemory(std::string_view destination) {
    Outcome outcome;
    MadeFiles made;
    try {
        // No folder: the scripts are named alone.
        made = m_job.writeToMemory(WriteTargets::scriptsInto({}));
    } catch (const std::exception& error) {
        outcome.message = failureMessage(kCompletionTitle, error);
        return outcome;
    }
    outcome.ok = true;
    for (MadeFile& file : made.files) {
        outcome.files.push_back(
            {transaction::platform::displayPath(file.path.filename()), std::move(file.bytes)});
    }
    outcome.message = {
        std::string(kCompletionTitle),
        folderCompletionMessage(
            transaction::platform::pathFromUtf8(destination.empty() ? kDownloadsName : destination),
            settings().surveyMap),
        {},
        false};
    if (const std::string angle = angleWarning(); !angle.empty()) {
        made.warnings.insert(made.warnings.begin(), angle);
    }
    addLines(outcome.message, made.warnings);
    return outcome;
}

std::optional<Message> Session::exportRefusal() const {
    try {
        m_job.checkPlanRun();
    } catch (const std::exception& error) {
        return failureMessage(kPreviewTitle, error);
    }
    return std::nullopt;
}

Outcome Session::exportFile(std::string_view token, const std::filesystem::path& path,
                            const transaction::FileOperations& operations) {
    Outcome outcome;
    if (std::optional<Message> refusal = exportRefusal()) {
        outcome.message = std::move(*refusal);
        return outcome;
    }
    WriteTargets targets;
    targets.scripts = false;
    targets.files.push_back({&formatOf(token), path});
    transaction::WriteReport report;
    try {
        report = m_job.write(targets, operations);
    } catch (const std::exception& error) {
        outcome.message = failureMessage(kPreviewTitle, error);
        return outcome;
    }
    outcome.ok = true;
    outcome.message = exportedMessage(displayPath(path), report.warnings);
    return outcome;
}

Outcome Session::exportToMemory(std::string_view token, std::string_view fileName) {
    Outcome outcome;
    if (std::optional<Message> refusal = exportRefusal()) {
        outcome.message = std::move(*refusal);
        return outcome;
    }
    const OutputFormat& format = formatOf(token);
    const std::string name(fileName.empty() ? format.defaultName : fileName);
    WriteTargets targets;
    targets.scripts = false;
    targets.files.push_back({&format, transaction::platform::pathFromUtf8(name).filename()});
    MadeFiles made;
    try {
        made = m_job.writeToMemory(targets);
    } catch (const std::exception& error) {
        outcome.message = failureMessage(kPreviewTitle, error);
        return outcome;
    }
    outcome.ok = true;
    for (MadeFile& file : made.files) {
        outcome.files.push_back(
            {transaction::platform::displayPath(file.path.filename()), std::move(file.bytes)});
    }
    outcome.message = exportedMessage(name, made.warnings);
    return outcome;
}

Outcome Session::writeFile(const std::filesystem::path& path, std::string bytes,
                           const transaction::FileOperations& operations) {
    Outcome outcome;
    if (std::optional<Message> refusal = exportRefusal()) {
        outcome.message = std::move(*refusal);
        return outcome;
    }
    // The folder may be the scripts' own: a run interrupted there is put right first, and a
    // file of the same kind interrupted there too.
    transaction::RecoveryScope scope = outputFolderScope();
    scope.extensions.push_back(transaction::platform::displayPath(path.extension()));
    transaction::WriteReport report;
    try {
        const transaction::FolderSession folder(path.parent_path(), scope, operations);
        report = folder.run([&] {
            transaction::AtomicFileSet files;
            files.add(path, std::move(bytes));
            files.commit(operations);
            transaction::WriteReport written;
            written.files.push_back(path);
            return written;
        });
    } catch (const std::exception& error) {
        outcome.message = failureMessage(kPreviewTitle, error);
        return outcome;
    }
    outcome.ok = true;
    outcome.message = exportedMessage(displayPath(path), report.warnings);
    return outcome;
}

std::vector<Message> Session::recoverFolder(const std::filesystem::path& folder) const {
    std::vector<Message> messages;
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::symlink_status(
            folder / transaction::AtomicFileSet::kJournalName, error))) {
        return messages;
    }
    try {
        const transaction::FolderSession session(folder, outputFolderScope());
        for (const std::string& line : session.recovered()) {
            messages.push_back({std::string(kCompletionTitle), line, {}, false});
        }
    } catch (const std::exception& failure) {
        messages.push_back(failureMessage(kCompletionTitle, failure));
    }
    return messages;
}

std::filesystem::path Session::defaultOutputFolder() {
    return transaction::platform::defaultOutputFolder();
}

std::string Session::displayPath(const std::filesystem::path& path) {
    return transaction::platform::displayPath(path);
}

std::optional<Message> Session::pointsFileRefusal(std::uintmax_t size, std::string_view shownName) {
    // A file of that size is no list of points; reading it whole would only exhaust memory.
    if (size > kPointsFileLimit) {
        return pointsFileTooLarge(shownName);
    }
    return std::nullopt;
}

std::optional<Message> Session::pointsFileRefusal(std::string_view bytes, std::string_view fileName,
                                                  std::string_view shownName) {
    if (std::optional<Message> tooLarge = pointsFileRefusal(bytes.size(), shownName)) {
        return tooLarge;
    }
    if (addsToTheJob(bytes, fileName)) {
        return std::nullopt;
    }
    try {
        Job trial(Job::History::None);
        trial.openPointsFile(bytes, fileName);
    } catch (const std::exception& error) {
        return failureMessage(kOpenTitle, error);
    }
    return std::nullopt;
}

bool Session::addsToTheJob(std::string_view bytes, std::string_view fileName) {
    return survey::isMarkFile(bytes, fileName);
}

} // namespace karumenio::job
