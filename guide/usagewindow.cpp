#include "usagewindow.h"

#include "examplewindow.h"
#include "formlook.h"

#include <QLabel>
#include <QPushButton>

namespace karumenio::guide {

namespace {

enum class Colour { Default, Highlight, Brown, Red };

// One line of the steps: where it stands (twips), its colour and its text.
struct Line {
    const char* name;
    int left;
    int top;
    Colour colour;
    const char* text;
};

// In reading order, top to bottom. The half-width katakana, the full-width blanks and the
// blanks around the numbers are the surveyors' own wording: keep them as they are.
constexpr Line kLines[] = {
    {"summary", 360, 360, Colour::Highlight, "内容的にはスクリプトで図面を作画するだけです"},
    {"pointLimit", 360, 720, Colour::Default,
     "座標値は一応3000点まで読めますが、ﾌｪｲﾀﾙｴﾗｰがでた時は座標数を減らしてください"},
    {"stepsHeading", 360, 1080, Colour::Default, "図面作成までの操作手順"},
    {"stepEdition", 720, 1320, Colour::Highlight,
     "1. バージョンの選択を行います（使用しているバージョンのボタンを押して下さい）"},
    {"stepEditionNote", 960, 1560, Colour::Default,
     "（LT98を選択して完全に図面が作画されない場合LT97を選択して下さい）"},
    {"stepPaper", 720, 1920, Colour::Default, "2. 用紙サイズを設定します"},
    {"stepScale", 720, 2280, Colour::Default, "3. 縮尺を設定します"},
    {"stepAngle", 720, 2640, Colour::Default,
     "4. 図面を作画した時の傾きを設定します（ﾃﾞﾌｫﾙﾄは 0.0000度 ですので北が上になります）"},
    {"angleExample", 1320, 3000, Colour::Default, "角度の入力例 ： 130°10′01″の場合"},
    {"angleExampleValue", 2640, 3240, Colour::Default, "130.1001 となります"},
    {"angleDigits", 2640, 3480, Colour::Default, "小数点以下は４桁入力して下さい"},
    {"ucsName", 1320, 3720, Colour::Brown, "UCSの登録名は　U1　となっています"},
    {"stepOpenSheet", 720, 4080, Colour::Default,
     "5. Excelのアイコンをﾀﾞﾌﾞﾙｸﾘｯｸ、もしくはTABｶｰｿﾙを合わせてENTERを押します"},
    {"clipboardNote", 960, 4320, Colour::Highlight,
     "（ｸﾘｯﾌﾟﾎﾞｰﾄﾞは経由しませんので貼り付け終了後Excelは終了してもかまいません）"},
    {"stepPaste", 720, 5040, Colour::Default,
     "6. Excelが起動したら所定の場所に座標等を値だけ貼り付けます"},
    {"stepRead", 720, 5400, Colour::Default,
     "7. 座標読込ボタンを押して、Excelのシート上の座標・区画・文字を読み込みます"},
    {"stepWrite", 720, 5760, Colour::Default,
     "8. .SCRボタンを押して、Cﾄﾞﾗｲﾌﾞのルートにｽｸﾘﾌﾟﾄﾌｧｲﾙを作成します（ﾌｧｲﾙは4つ作成されます）"},
    {"stepStartCad", 720, 6120, Colour::Default, "9. 上記の作業が終了したらAutoCadを起動します"},
    {"stepDrag", 720, 6480, Colour::Highlight,
     "10. ZAHYOU.SCRを最初に作画領域にﾄﾞﾗｯｸﾞします あとは順不同です"},
    {"drawingFile", 960, 6720, Colour::Default,
     "（完成図面はCﾄﾞﾗｲﾌﾞのﾙｰﾄに作成されます　Zeva-zizudi.dwg）"},
    {"stepFatalError", 720, 7080, Colour::Highlight,
     "11. ﾌｪｲﾀﾙｴﾗｰが出たり、作画の途中で止まる場合は貼り付ける座標値を小分けにして下さい"},
    {"stepNewDrawing", 720, 7440, Colour::Default,
     "12. 新たに図面を作成する際は予めCﾄﾞﾗｲﾌﾞのﾙｰﾄにある図面を移動か削除して下さい"},
    {"addingNote", 720, 7800, Colour::Red,
     "※尚完成図面に結線・Plot等を追加したい場合は追加したい座標でSCRを作成しZAHYOU.SCR以外"},
    {"addingNoteEnd", 840, 8040, Colour::Red, " のSCRをドラッグして下さい"},
};

QColor colourOf(Colour colour) {
    switch (colour) {
    case Colour::Highlight:
        return highlightColour();
    case Colour::Brown:
        return {192, 64, 0};
    case Colour::Red:
        return {255, 0, 0};
    case Colour::Default:
        break;
    }
    return {};
}

QPushButton* addButton(QWidget* parent, const char* name, const QString& text, int leftTwips,
                       int topTwips) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(twips(leftTwips), twips(topTwips), twips(1575), twips(375));
    return button;
}

} // namespace

UsageWindow::UsageWindow(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("UsageWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(gothicFont(9));
    setupFixedWindow(this, 8310, 8790);
    setWindowTitle(QStringLiteral("使用方法・説明"));

    for (const Line& line : kLines) {
        auto* label = new QLabel(QString::fromUtf8(line.text), this);
        label->setObjectName(QString::fromLatin1(line.name));
        if (line.colour != Colour::Default) {
            setTextColour(label, colourOf(line.colour));
        }
        placeAutoSizeLabel(label, line.left, line.top);
    }
    m_exampleButton = addButton(this, "exampleButton", QStringLiteral("Excelでの説明"), 6600, 4560);
    m_closeButton = addButton(this, "closeButton", QStringLiteral("閉じる"), 6600, 8280);
    setTabOrder(m_exampleButton, m_closeButton);
    connect(m_exampleButton, &QPushButton::clicked, this, &UsageWindow::showExample);
    connect(m_closeButton, &QPushButton::clicked, this, &UsageWindow::closeByButton);

    condenseLabelsToFit(this, 60);
    m_exampleButton->setFocus();
}

void UsageWindow::showExample() {
    ExampleWindow::showExample(this);
}

void UsageWindow::closeByButton() {
    close();
    emit closedByButton();
}

} // namespace karumenio::guide
