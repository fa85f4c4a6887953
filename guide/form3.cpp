#include "form3.h"

#include "formlook.h"

#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>

namespace karumenio::guide {

Form3::Form3(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form3"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(gothicFont(9));
    setupFixedWindow(this, 9810, 5655);

    Label2 = new QLabel(QStringLiteral("Label2"), this);
    Label3 = new QLabel(QStringLiteral("Label3"), this);
    Label1 = new QLabel(QStringLiteral("Label1"), this);
    for (QLabel* label : {Label1, Label2, Label3}) {
        label->setObjectName(label->text());
    }
    setTextColour(Label2, highlightColour());
    setTextColour(Label1, highlightColour());
    Label1->setFont(gothicFont(9.75));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(twips(240), twips(1200), twips(9345), twips(3765));
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setPixmap(examplePicture());

    Command1 = new QPushButton(QStringLiteral("Command1"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(twips(8040), twips(5160), twips(1575), twips(375));
    connect(Command1, &QPushButton::clicked, this, &Form3::Command1_Click);

    Form_Load();
    placeAutoSizeLabel(Label2, 360, 240);
    placeAutoSizeLabel(Label3, 360, 480);
    placeAutoSizeLabel(Label1, 360, 960);
    condenseLabelsToFit(this, 60);
    Command1->setFocus();
}

void Form3::Form_Load() {
    setWindowTitle(QStringLiteral("Excelへの貼り付け例"));
    Label1->setText(QStringLiteral("参考図"));
    Label2->setText(QStringLiteral("参考図に記す座標により作成した図面を添付しています"));
    Label3->setText(
        QStringLiteral("添付している図面と照らし合わせれば使用方法はすぐにわかると思います"));
    Command1->setText(QStringLiteral("閉じる"));
}

void Form3::Command1_Click() {
    close();
}

Form3* Form3::showExample() {
    static QPointer<Form3> window;
    if (!window) {
        window = new Form3;
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

QPixmap Form3::examplePicture() {
    return QPixmap(QStringLiteral(":/karumenio/example.png"));
}

} // namespace karumenio::guide
