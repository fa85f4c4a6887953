#include "form2.h"

#include "form3.h"
#include "formlook.h"

#include <QLabel>
#include <QPushButton>

namespace karumenio::guide {

namespace {
const QColor kRed(255, 0, 0);
const QColor kBrown(192, 64, 0);
} // namespace

Form2::Form2(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form2"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(gothicFont(9));
    setupFixedWindow(this, 8310, 8790);

    // Top-to-bottom reading order; the design-time caption of each control is its name.
    Label12 = addLabel("Label12", 360, 360);
    Label15 = addLabel("Label15", 360, 720);
    Label8 = addLabel("Label8", 360, 1080);
    Label17 = addLabel("Label17", 720, 1320);
    Label18 = addLabel("Label18", 960, 1560);
    Label1 = addLabel("Label1", 720, 1920);
    Label2 = addLabel("Label2", 720, 2280);
    Label3 = addLabel("Label3", 720, 2640);
    Label9 = addLabel("Label9", 1320, 3000);
    Label10 = addLabel("Label10", 2640, 3240);
    Label11 = addLabel("Label11", 2640, 3480);
    Label21 = addLabel("Label21", 1320, 3720);
    Label4[0] = addLabel("Label4_0", 720, 4080);
    Label16 = addLabel("Label16", 960, 4320);
    Command1 = new QPushButton(QStringLiteral("Command1"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(twips(6600), twips(4560), twips(1575), twips(375));
    Label4[1] = addLabel("Label4_1", 720, 5040);
    Label5 = addLabel("Label5", 720, 5400);
    Label6 = addLabel("Label6", 720, 5760);
    Label7 = addLabel("Label7", 720, 6120);
    Label13 = addLabel("Label13", 720, 6480);
    Label20 = addLabel("Label20", 960, 6720);
    Label14 = addLabel("Label14", 720, 7080);
    Label19 = addLabel("Label19", 720, 7440);
    Label22 = addLabel("Label22", 720, 7800);
    Label23 = addLabel("Label23", 840, 8040);
    Command2 = new QPushButton(QStringLiteral("Command2"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setGeometry(twips(6600), twips(8280), twips(1575), twips(375));

    for (QLabel* label : {Label12, Label17, Label16, Label13, Label14}) {
        setTextColour(label, highlightColour());
    }
    setTextColour(Label21, kBrown);
    setTextColour(Label22, kRed);
    setTextColour(Label23, kRed);

    setTabOrder(Command1, Command2);
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form2::Command2_Click);

    Form_Load();
    for (QLabel* label : findChildren<QLabel*>()) {
        label->adjustSize();
    }
    condenseLabelsToFit(this, 60);
    Command1->setFocus();
}

QLabel* Form2::addLabel(const char* name, int leftTwips, int topTwips) {
    auto* label = new QLabel(QString::fromLatin1(name), this);
    label->setObjectName(QString::fromLatin1(name));
    placeAutoSizeLabel(label, leftTwips, topTwips);
    return label;
}

void Form2::Form_Load() {
    setWindowTitle(QStringLiteral("使用方法・説明"));
    Label17->setText(QStringLiteral(
        "1. バージョンの選択を行います（使用しているバージョンのボタンを押して下さい）"));
    Label18->setText(
        QStringLiteral("（LT98を選択して完全に図面が作画されない場合LT97を選択して下さい）"));
    Label1->setText(QStringLiteral("2. 用紙サイズを設定します"));
    Label2->setText(QStringLiteral("3. 縮尺を設定します"));
    Label3->setText(QStringLiteral(
        "4. 図面を作画した時の傾きを設定します（ﾃﾞﾌｫﾙﾄは 0.0000度 ですので北が上になります）"));
    Label4[0]->setText(
        QStringLiteral("5. Excelのアイコンをﾀﾞﾌﾞﾙｸﾘｯｸ、もしくはTABｶｰｿﾙを合わせてENTERを押します"));
    Label4[1]->setText(
        QStringLiteral("6. Excelが起動したら所定の場所に座標等を値だけ貼り付けます"));
    Label5->setText(QStringLiteral(
        "7. 座標読込ボタンを押して、Excelのシート上の座標・区画・文字を読み込みます"));
    Label6->setText(QStringLiteral("8. .SCRボタンを押して、Cﾄﾞﾗｲﾌﾞのルートにｽｸﾘﾌﾟﾄﾌｧｲﾙを作成します"
                                   "（ﾌｧｲﾙは4つ作成されます）"));
    Label7->setText(QStringLiteral("9. 上記の作業が終了したらAutoCadを起動します"));
    Label8->setText(QStringLiteral("図面作成までの操作手順"));
    Label9->setText(QStringLiteral("角度の入力例 ： 130°10′01″の場合"));
    Label10->setText(QStringLiteral("130.1001 となります"));
    Label11->setText(QStringLiteral("小数点以下は４桁入力して下さい"));
    Label12->setText(QStringLiteral("内容的にはスクリプトで図面を作画するだけです"));
    Label13->setText(
        QStringLiteral("10. ZAHYOU.SCRを最初に作画領域にﾄﾞﾗｯｸﾞします あとは順不同です"));
    Label14->setText(QStringLiteral(
        "11. ﾌｪｲﾀﾙｴﾗｰが出たり、作画の途中で止まる場合は貼り付ける座標値を小分けにして下さい"));
    Label15->setText(QStringLiteral(
        "座標値は一応3000点まで読めますが、ﾌｪｲﾀﾙｴﾗｰがでた時は座標数を減らしてください"));
    Label16->setText(QStringLiteral(
        "（ｸﾘｯﾌﾟﾎﾞｰﾄﾞは経由しませんので貼り付け終了後Excelは終了してもかまいません）"));
    Label19->setText(QStringLiteral(
        "12. 新たに図面を作成する際は予めCﾄﾞﾗｲﾌﾞのﾙｰﾄにある図面を移動か削除して下さい"));
    Label20->setText(QStringLiteral("（完成図面はCﾄﾞﾗｲﾌﾞのﾙｰﾄに作成されます　Zeva-zizudi.dwg）"));
    Label21->setText(QStringLiteral("UCSの登録名は　U1　となっています"));
    Label22->setText(QStringLiteral(
        "※尚完成図面に結線・Plot等を追加したい場合は追加したい座標でSCRを作成しZAHYOU.SCR以外"));
    Label23->setText(QStringLiteral(" のSCRをドラッグして下さい"));
    Command1->setText(QStringLiteral("Excelでの説明"));
    Command2->setText(QStringLiteral("閉じる"));
}

void Form2::Command1_Click() {
    Form3::showExample();
}

void Form2::Command2_Click() {
    close();
    emit closedByButton();
}

} // namespace karumenio::guide
