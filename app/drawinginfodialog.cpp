#include "drawinginfodialog.h"

#include "job/surveymapfiles.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

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

} // namespace

DrawingInfoDialog::DrawingInfoDialog(const parcel::SurveyMapSettings& fields, QWidget* parent)
    : QDialog(parent), m_fields(fields) {
    setObjectName(QStringLiteral("DrawingInfoDialog"));
    setWindowTitle(QStringLiteral("図面情報"));
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
    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("problem"));
    m_problem->setStyleSheet(QStringLiteral("color: #b00000;"));
    m_problem->setVisible(false);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("所在"), m_location);
    form->addRow(QStringLiteral("地番"), m_lotNumber);
    form->addRow(QStringLiteral("地目"), m_landCategory);
    form->addRow(QStringLiteral("作成年月日"), m_date);
    form->addRow(QStringLiteral("作成者"), m_surveyor);
    auto* note = new QLabel(QStringLiteral("地目が宅地・鉱泉地以外で 10 ㎡を超える土地は、"
                                           "地積の 1 ㎡未満を切り捨てます。"),
                            this);
    note->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &DrawingInfoDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &DrawingInfoDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(m_problem);
    layout->addWidget(buttons);
}

parcel::SurveyMapSettings DrawingInfoDialog::fields() const {
    parcel::SurveyMapSettings fields = m_fields;
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
    return fields;
}

void DrawingInfoDialog::accept() {
    const QString date = m_date->text().trimmed();
    if (!date.isEmpty() && !job::isCalendarDate(date.toStdString())) {
        m_problem->setText(QStringLiteral("作成年月日は 2024-05-01 のように年-月-日で入力して下さい"
                                          "（空欄なら作成する日）。"));
        m_problem->setVisible(true);
        m_date->setFocus();
        m_date->selectAll();
        return;
    }
    QDialog::accept();
}

} // namespace karumenio::app
