#include "drawinginfo.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

#include <array>
#include <optional>
#include <utility>

namespace karumenio::app {

namespace {

const QString kGroup = QStringLiteral("drawingInfo/");
const QString kLastSurveyor = QStringLiteral("drawingInfo/lastSurveyor");

QString fromStd(const std::string& text) {
    return QString::fromStdString(text);
}

std::string toStd(const QVariant& value) {
    return value.toString().toStdString();
}

// The subdivision's fields under their keys.
std::array<std::pair<QString, std::string*>, 5> subdivisionKeys(job::SubdivisionFields& fields) {
    return {{{QStringLiteral("subdivisionOf"), &fields.parent},
             {QStringLiteral("signs"), &fields.signs},
             {QStringLiteral("registeredArea"), &fields.registeredArea},
             {QStringLiteral("accuracyClass"), &fields.accuracyClass},
             {QStringLiteral("remainder"), &fields.remainder}}};
}

} // namespace

QString DrawingInfoStore::keyOf(const QString& pointsFile) {
    if (pointsFile.isEmpty()) {
        return QStringLiteral("pasted");
    }
    // A path holds separators that the store would take for groups: it is kept by its digest.
    const QString path = QFileInfo(pointsFile).absoluteFilePath();
    return QString::fromLatin1(
        QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1).toHex().left(20));
}

DrawingInfo DrawingInfoStore::load(const QString& key) {
    QSettings store;
    DrawingInfo info;
    parcel::SurveyMapSettings& fields = info.map;
    const QString group = kGroup + key + QLatin1Char('/');
    if (const parcel::LandCategory* category =
            parcel::findLandCategory(toStd(store.value(group + QStringLiteral("landCategory"))))) {
        fields.landCategory = category;
    }
    parcel::TitleBlock& title = fields.titleBlock;
    title.location = toStd(store.value(group + QStringLiteral("location")));
    title.lotNumber = toStd(store.value(group + QStringLiteral("lotNumber")));
    title.date = toStd(store.value(group + QStringLiteral("date")));
    title.surveyor =
        toStd(store.value(group + QStringLiteral("surveyor"), store.value(kLastSurveyor)));
    title.surveyDate = toStd(store.value(group + QStringLiteral("surveyDate")));
    title.applicant = toStd(store.value(group + QStringLiteral("applicant")));
    job::SubdivisionFields& subdivision = info.subdivision;
    for (auto& [name, field] : subdivisionKeys(subdivision)) {
        *field = toStd(store.value(group + name));
    }
    for (const QString& text : store.value(group + QStringLiteral("neighbours")).toStringList()) {
        if (const std::optional<parcel::Neighbour> neighbour =
                parcel::parseNeighbour(text.toStdString())) {
            info.neighbours.push_back(*neighbour);
        }
    }
    return info;
}

void DrawingInfoStore::save(const QString& key, const DrawingInfo& info) {
    QSettings store;
    const parcel::SurveyMapSettings& fields = info.map;
    const QString group = kGroup + key + QLatin1Char('/');
    const parcel::LandCategory& category =
        fields.landCategory != nullptr ? *fields.landCategory : parcel::kDefaultLandCategory;
    store.setValue(
        group + QStringLiteral("landCategory"),
        QString::fromUtf8(category.token.data(), static_cast<qsizetype>(category.token.size())));
    const parcel::TitleBlock& title = fields.titleBlock;
    store.setValue(group + QStringLiteral("location"), fromStd(title.location));
    store.setValue(group + QStringLiteral("lotNumber"), fromStd(title.lotNumber));
    store.setValue(group + QStringLiteral("date"), fromStd(title.date));
    store.setValue(group + QStringLiteral("surveyor"), fromStd(title.surveyor));
    store.setValue(group + QStringLiteral("surveyDate"), fromStd(title.surveyDate));
    store.setValue(group + QStringLiteral("applicant"), fromStd(title.applicant));
    QStringList neighbours;
    for (const parcel::Neighbour& neighbour : info.neighbours) {
        neighbours << fromStd(parcel::neighbourText(neighbour));
    }
    store.setValue(group + QStringLiteral("neighbours"), neighbours);
    job::SubdivisionFields subdivision = info.subdivision;
    for (const auto& [name, field] : subdivisionKeys(subdivision)) {
        store.setValue(group + name, fromStd(*field));
    }
    store.setValue(kLastSurveyor, fromStd(title.surveyor));
}

} // namespace karumenio::app
