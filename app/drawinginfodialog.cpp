#include "drawinginfodialog.h"

#include "job/drawingfields.h"
#include "job/surveymapfiles.h"
#include "parcel/accuracyclass.h"
#include "parcel/lotsign.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <map>
#include <optional>

namespace karumenio::app {

namespace {

QString fromStd(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLineEdit* lineEdit(const char* name, const std::string& text, QWidget* parent) {
    auto* edit = new QLineEdit(fromStd(text), parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMinimumWidth(260);
    return edit;
}

std::vector<std::string> lines(const QPlainTextEdit* edit) {
    std::vector<std::string> found;
    for (const QString& line : edit->toPlainText().split(QLatin1Char('\n'))) {
        found.push_back(line.trimmed().toStdString());
    }
    return found;
}

// A list of the job's parcels with an empty entry first, in which a name may be typed too.
QComboBox* parcelList(const char* name, const std::vector<std::string>& parcelNames,
                      const std::string& chosen, QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    list->addItem(QString());
    for (const std::string& parcel : parcelNames) {
        list->addItem(fromStd(parcel));
    }
    list->setCurrentText(fromStd(chosen));
    return list;
}

// A list of a choice table's entries by their list texts, the chosen token selected; with a
// first entry for none when noneText is given.
template <typename Table>
QComboBox* choiceList(const char* name, const Table& table, const std::string& chosen,
                      const char* noneText, QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    if (noneText != nullptr) {
        list->addItem(QString::fromUtf8(noneText), QString());
    }
    for (const auto& entry : table) {
        list->addItem(fromStd(entry.listText), fromStd(entry.token));
    }
    list->setCurrentIndex(std::max(0, list->findData(fromStd(chosen))));
    return list;
}

} // namespace

DrawingInfoDialog::DrawingInfoDialog(const DrawingInfo& info,
                                     const std::vector<std::string>& parcelNames, QWidget* parent)
    : QDialog(parent), m_info(info) {
    setObjectName(QStringLiteral("DrawingInfoDialog"));
    setWindowTitle(QStringLiteral("図面情報"));
    const parcel::SurveyMapSettings& fields = info.map;
    const parcel::TitleBlock& title = fields.titleBlock;
    m_location = lineEdit("location", title.location, this);
    m_lotNumber = lineEdit("lotNumber", title.lotNumber, this);
    m_lotNumber->setPlaceholderText(QStringLiteral("空欄なら区画名"));
    m_landCategory = new QComboBox(this);
    m_landCategory->setObjectName(QStringLiteral("landCategory"));
    for (const parcel::LandCategory& category : parcel::kLandCategories) {
        m_landCategory->addItem(fromStd(category.listText), fromStd(category.token));
        if (&category == fields.landCategory) {
            m_landCategory->setCurrentIndex(m_landCategory->count() - 1);
        }
    }
    m_date = lineEdit("date", title.date, this);
    m_date->setPlaceholderText(
        QStringLiteral("空欄なら作成する日（%1）").arg(fromStd(job::todayDate())));
    m_surveyor = lineEdit("surveyor", title.surveyor, this);
    m_surveyDate = lineEdit("surveyDate", title.surveyDate, this);
    m_surveyDate->setPlaceholderText(QStringLiteral("2025-03-20 のように年-月-日"));
    m_applicant = lineEdit("applicant", title.applicant, this);
    QStringList neighbours;
    for (const parcel::Neighbour& neighbour : info.neighbours) {
        neighbours << fromStd(parcel::neighbourText(neighbour));
    }
    m_neighbours = new QPlainTextEdit(neighbours.join(QLatin1Char('\n')), this);
    m_neighbours->setObjectName(QStringLiteral("neighbours"));
    m_neighbours->setPlaceholderText(QStringLiteral("670番:P1-P3\n道路:P3-P4"));
    m_neighbours->setTabChangesFocus(true);
    m_neighbours->setFixedHeight(m_neighbours->fontMetrics().lineSpacing() * 5 + 12);
    const job::SubdivisionFields& subdivision = info.subdivision;
    m_subdivisionOf = parcelList("subdivisionOf", parcelNames, subdivision.parent, this);
    m_subdivisionOf->lineEdit()->setPlaceholderText(QStringLiteral("分筆しないときは空欄"));
    m_signs = choiceList("signs", parcel::kLotSignStyles, subdivision.signs, nullptr, this);
    m_registeredArea = lineEdit("registeredArea", subdivision.registeredArea, this);
    m_registeredArea->setPlaceholderText(
        QStringLiteral("330.57 のように m²（空欄なら照合しない）"));
    m_accuracyClass = choiceList("accuracyClass", parcel::kAccuracyClasses,
                                 subdivision.accuracyClass, "（指定しない）", this);
    m_remainder = parcelList("remainder", parcelNames, subdivision.remainder, this);
    m_remainder->lineEdit()->setPlaceholderText(QStringLiteral("残地がなければ空欄"));
    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("problem"));
    m_problem->setStyleSheet(QStringLiteral("color: #b00000;"));
    m_problem->setVisible(false);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("所在"), m_location);
    form->addRow(QStringLiteral("地番"), m_lotNumber);
    form->addRow(QStringLiteral("地目"), m_landCategory);
    form->addRow(QStringLiteral("測量年月日"), m_surveyDate);
    form->addRow(QStringLiteral("作成年月日"), m_date);
    form->addRow(QStringLiteral("申請人"), m_applicant);
    form->addRow(QStringLiteral("作成者"), m_surveyor);
    form->addRow(QStringLiteral("隣接地"), m_neighbours);
    auto* subdivisionForm = new QFormLayout;
    subdivisionForm->addRow(QStringLiteral("分筆元"), m_subdivisionOf);
    subdivisionForm->addRow(QStringLiteral("符号"), m_signs);
    subdivisionForm->addRow(QStringLiteral("登記地積（㎡）"), m_registeredArea);
    subdivisionForm->addRow(QStringLiteral("精度区分"), m_accuracyClass);
    subdivisionForm->addRow(QStringLiteral("残地"), m_remainder);
    auto* subdivisionBox = new QGroupBox(QStringLiteral("分筆"), this);
    subdivisionBox->setLayout(subdivisionForm);
    auto* note = new QLabel(
        QStringLiteral("地目が宅地・鉱泉地以外で 10 ㎡を超える土地は、"
                       "地積の 1 ㎡未満を切り捨てます。\n"
                       "隣接地は 1 行に 1 つ、「地番:点名-点名」と入力します"
                       "（道路・水路も可）。その区画の二点の間に接する土地です。"
                       "同じ図面の区画どうしが接する辺は入力不要です。\n"
                       "分筆元には分筆前の区画を選びます。その内側にある区画が分筆後の各筆で、"
                       "行の順に符号を付けます。"),
        this);
    note->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &DrawingInfoDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &DrawingInfoDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(subdivisionBox);
    layout->addWidget(note);
    layout->addWidget(m_problem);
    layout->addWidget(buttons);
}

DrawingInfo DrawingInfoDialog::info() const {
    DrawingInfo info = m_info;
    parcel::SurveyMapSettings& fields = info.map;
    fields.landCategory =
        parcel::findLandCategory(m_landCategory->currentData().toString().toStdString());
    if (fields.landCategory == nullptr) {
        fields.landCategory = &parcel::kDefaultLandCategory;
    }
    parcel::TitleBlock& title = fields.titleBlock;
    title.location = m_location->text().trimmed().toStdString();
    title.lotNumber = m_lotNumber->text().trimmed().toStdString();
    title.date = m_date->text().trimmed().toStdString();
    title.surveyor = m_surveyor->text().trimmed().toStdString();
    title.surveyDate = m_surveyDate->text().trimmed().toStdString();
    title.applicant = m_applicant->text().trimmed().toStdString();
    info.neighbours = job::neighboursOf(lines(m_neighbours));
    job::SubdivisionFields& subdivision = info.subdivision;
    subdivision.parent = m_subdivisionOf->currentText().trimmed().toStdString();
    subdivision.signs = m_signs->currentData().toString().toStdString();
    subdivision.registeredArea = m_registeredArea->text().trimmed().toStdString();
    subdivision.accuracyClass = m_accuracyClass->currentData().toString().toStdString();
    subdivision.remainder = m_remainder->currentText().trimmed().toStdString();
    return info;
}

void DrawingInfoDialog::accept() {
    const DrawingInfo typed = info();
    std::optional<job::FieldProblem> problem =
        job::drawingFieldProblem(typed.map.titleBlock, lines(m_neighbours));
    if (!problem) {
        problem = job::subdivisionFieldProblem(typed.subdivision);
    }
    if (problem) {
        const std::map<std::string, QWidget*> fields{{"date", m_date},
                                                     {"surveyDate", m_surveyDate},
                                                     {"neighbours", m_neighbours},
                                                     {"registeredArea", m_registeredArea},
                                                     {"accuracyClass", m_accuracyClass},
                                                     {"signs", m_signs},
                                                     {"remainder", m_remainder}};
        const auto found = fields.find(problem->field);
        QWidget* field = found != fields.end() ? found->second : m_neighbours;
        m_problem->setText(fromStd(problem->message));
        m_problem->setVisible(true);
        field->setFocus();
        if (auto* edit = qobject_cast<QLineEdit*>(field)) {
            edit->selectAll();
        } else if (auto* list = qobject_cast<QComboBox*>(field); list && list->isEditable()) {
            list->lineEdit()->selectAll();
        }
        return;
    }
    QDialog::accept();
}

} // namespace karumenio::app
