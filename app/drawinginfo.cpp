#include "drawinginfo.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QSettings>

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

parcel::SurveyMapSettings DrawingInfoStore::load(const QString& key) {
    QSettings store;
    parcel::SurveyMapSettings fields;
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
    return fields;
}

void DrawingInfoStore::save(const QString& key, const parcel::SurveyMapSettings& fields) {
    QSettings store;
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
    store.setValue(kLastSurveyor, fromStd(title.surveyor));
}

} // namespace karumenio::app
