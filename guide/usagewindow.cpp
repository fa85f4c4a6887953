#include "usagewindow.h"

#include "examplewindow.h"
#include "formlook.h"

#include "job/outputformat.h"

#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>

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

// The second page, in the same plain words as the steps; %1 is the output folder, %2 the
// export buttons of the preview.
constexpr const char* kMoreText = R"(
<h3>図面プレビューと出力</h3>
<p>「図面プレビュー」ボタンを押すと、読み込んだ座標で作画される図面（用紙の枠・結線・Plot・文字）を表示します。
用紙・縮尺・角度を変えるとすぐに描き直します。マウスのホイールで拡大・縮小、ドラッグで移動、「全体表示」で全体を表示します。
測点をクリックするとワークシートのその行を選び、警告をクリックするとそのセルを選びます。</p>
<p>内枠からはみ出す測点があるときは、収まる縮尺（または用紙）を示します。そのボタンを押すと設定を変えます。</p>
<p>「座 標 読 込」の後にワークシートを変えると、プレビューの上に黄色い帯が出て、図面が灰色になります。
「読み込み直す」を押すと新しい座標で描き直します。</p>
<p>%2で図面をファイルに書き出します。保存の画面は出力先のフォルダで開き、開いた座標ファイルの名前
（貼り付けた座標なら「図面」）が付いています。図面が古いときは、読み込み直して出力するか、
読み込んだ座標で出力するかを聞きます。</p>
<h3>地積測量図・図面情報・座標系</h3>
<p>「地積測量図」に印を付けると、閉じた区画の面積（座標法）・辺長・方位記号・求積表・表題欄を図面に加え、
「.SCR 出力」で KYUSEKI.SCR も作成します（ZAHYOU.SCR の後にドラッグします）。
表題欄の所在・地番・地目・作成者などは「図面情報…」で入力します。</p>
<p>「座標系」で座標の平面直角座標系を選ぶと、表題欄に書かれ、GeoJSON を書き出せるようになり、
図面プレビューの「地図で確認」で地理院地図に図面の場所を表示します。GeoJSON は座標系を選ぶまで書き出せません。</p>
<h3>出力先…</h3>
<p>スクリプトを作成するフォルダを選びます。選んだフォルダは次に起動したときも使います。<br>
いまの出力先： <b>%1</b></p>
<h3>座標ファイルを開く</h3>
<p>ワークシートの「ファイル」→「座標ファイルを開く…」で SIMA ファイル（.sim）や CSV・TSV ファイルを開くと、
A6 から座標が入ります。ファイルをメインの画面かワークシートにドラッグして落としても開けます。
前の座標が入っているときは、置き換えるか上から貼り付けるかを聞きます。</p>
<h3>ワークシートのキー</h3>
<p>列の記号と行番号が出ているので、メッセージに書かれたセル（C18 など）はすぐ見つかります。
メッセージがセルを示すときは、そのセルを選んで表示します。
Ctrl+↓↑←→ でデータの端へ、Ctrl+Home で A1 へ、Ctrl+End で最後のセルへ移り、Shift を一緒に押すとそこまでを選びます。
Delete は選んだセルをワークシートの最初の内容（計算式・見出し・題名）に戻します。</p>
<h3>新しい座標表・元に戻す</h3>
<p>ワークシートの「編集」→「新しい座標表」で、ワークシートを最初の状態に戻します。
入力や貼り付けは「編集」→「元に戻す」（Ctrl+Z）で取り消し、「やり直し」（Ctrl+Y）でやり直せます。</p>
<h3>実行時エラーの番号</h3>
<table cellspacing="4">
<tr><td align="right"><b>6</b></td><td>オーバーフロー：数値が大きすぎて計算できません。座標や半径を確かめて下さい。</td></tr>
<tr><td align="right"><b>9</b></td><td>インデックスが有効範囲にありません：座標が3001点を超えているか、1点もありません。</td></tr>
<tr><td align="right"><b>13</b></td><td>型が一致しません：座標や半径に数字でない文字があるか、バージョンが選ばれていません。</td></tr>
<tr><td align="right"><b>75</b></td><td>パス/ファイル アクセス エラー：出力先に書き込めないか、別の出力が書き込み中です。</td></tr>
<tr><td align="right"><b>91</b></td><td>オブジェクト変数が設定されていません：「座 標 読 込」の前に出力しようとしました。</td></tr>
</table>
<p>メッセージにセル（C8 など）が書かれているときは、そのセルを直してから読み込み直して下さい。</p>
)";

// The preview's export buttons: one for each file of the core's format table, then the
// pictures the desktop program draws itself.
QString exportButtons() {
    QStringList buttons;
    for (const job::OutputFormat& format : job::outputFormats()) {
        buttons << QStringLiteral("「%1 出力…」")
                       .arg(QString::fromUtf8(format.name.data(), qsizetype(format.name.size())));
    }
    buttons << QStringLiteral("「PDF 出力…」（用紙の実寸なので縮尺どおりに印刷できます）")
            << QStringLiteral("「PNG 出力…」") << QStringLiteral("「SVG 出力…」");
    return buttons.join(QStringLiteral("・"));
}

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

    // The steps as they always were, on the first page.
    m_stepsPage = new QWidget(this);
    m_stepsPage->setObjectName(QStringLiteral("stepsPage"));
    m_stepsPage->setGeometry(rect());
    for (const Line& line : kLines) {
        auto* label = new QLabel(QString::fromUtf8(line.text), m_stepsPage);
        label->setObjectName(QString::fromLatin1(line.name));
        if (line.colour != Colour::Default) {
            setTextColour(label, colourOf(line.colour));
        }
        placeAutoSizeLabel(label, line.left, line.top);
    }
    m_exampleButton =
        addButton(m_stepsPage, "exampleButton", QStringLiteral("Excelでの説明"), 6600, 4560);

    // What the program does besides, on the second page above the same buttons.
    m_morePage = new QTextBrowser(this);
    m_morePage->setObjectName(QStringLiteral("morePage"));
    m_morePage->setFrameShape(QFrame::NoFrame);
    m_morePage->viewport()->setAutoFillBackground(false);
    m_morePage->setGeometry(twips(240), twips(240), width() - twips(480), twips(7920));
    m_morePage->setVisible(false);
    setOutputFolder(QString());

    m_pageButton = addButton(this, "pageButton", QStringLiteral("次へ"), 4920, 8280);
    m_closeButton = addButton(this, "closeButton", QStringLiteral("閉じる"), 6600, 8280);
    setTabOrder(m_exampleButton, m_closeButton);
    setTabOrder(m_closeButton, m_pageButton);
    connect(m_exampleButton, &QPushButton::clicked, this, &UsageWindow::showExample);
    connect(m_closeButton, &QPushButton::clicked, this, &UsageWindow::closeByButton);
    connect(m_pageButton, &QPushButton::clicked, this, [this] { showMorePage(!showsMorePage()); });

    condenseLabelsToFit(m_stepsPage, 60);
    m_exampleButton->setFocus();
}

void UsageWindow::setOutputFolder(const QString& folder) {
    m_folder = folder.isEmpty() ? QStringLiteral("（起動した時に決まります）") : folder;
    // Japanese runs on without blanks: the source's line breaks are not spaces.
    m_morePage->setHtml(QString::fromUtf8(kMoreText)
                            .remove(QLatin1Char('\n'))
                            .arg(m_folder.toHtmlEscaped(), exportButtons().toHtmlEscaped()));
}

void UsageWindow::showMorePage(bool more) {
    m_stepsPage->setVisible(!more);
    m_morePage->setVisible(more);
    m_pageButton->setText(more ? QStringLiteral("戻る") : QStringLiteral("次へ"));
}

bool UsageWindow::showsMorePage() const {
    return m_morePage->isVisibleTo(this);
}

void UsageWindow::showExample() {
    ExampleWindow::showExample(this);
}

void UsageWindow::closeByButton() {
    close();
    emit closedByButton();
}

} // namespace karumenio::guide
