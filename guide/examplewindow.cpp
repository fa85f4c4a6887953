#include "examplewindow.h"

#include "formlook.h"
#include "screenfit.h"

#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>

namespace karumenio::guide {

namespace {

// The drawing of the plan, 380 pixels wide, with a margin on its right.
constexpr int kPlanRoomTwips = (380 + 16) * 15;

} // namespace

ExampleWindow::ExampleWindow(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ExampleWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(gothicFont(9));
    // The design's width, and room on the right for the drawing of the plan.
    setupFixedWindow(this, 9810 + kPlanRoomTwips, 5655);
    setWindowTitle(QStringLiteral("Excelへの貼り付け例"));

    m_intro =
        new QLabel(QStringLiteral("参考図に記す座標により作成した図面を添付しています"), this);
    m_intro->setObjectName(QStringLiteral("intro"));
    m_introNote = new QLabel(
        QStringLiteral("添付している図面と照らし合わせれば使用方法はすぐにわかると思います"), this);
    m_introNote->setObjectName(QStringLiteral("introNote"));
    m_pictureCaption = new QLabel(QStringLiteral("参考図"), this);
    m_pictureCaption->setObjectName(QStringLiteral("pictureCaption"));
    setTextColour(m_intro, highlightColour());
    setTextColour(m_pictureCaption, highlightColour());
    m_pictureCaption->setFont(gothicFont(9.75));

    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("picture"));
    m_picture->setGeometry(twips(240), twips(1200), twips(9345), twips(3765));
    m_picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_picture->setPixmap(examplePicture());

    m_planCaption = new QLabel(QStringLiteral("参考図の座標から作成した図面"), this);
    m_planCaption->setObjectName(QStringLiteral("planCaption"));
    setTextColour(m_planCaption, highlightColour());
    m_planCaption->setFont(gothicFont(9.75));
    m_planPicture = new QLabel(this);
    m_planPicture->setObjectName(QStringLiteral("planPicture"));
    m_planPicture->setPixmap(examplePlanPicture());
    m_planPicture->setGeometry(twips(9810), twips(1200), m_planPicture->pixmap().width(),
                               m_planPicture->pixmap().height());
    m_planPicture->setFrameShape(QFrame::Box);

    m_closeButton = new QPushButton(QStringLiteral("閉じる"), this);
    m_closeButton->setObjectName(QStringLiteral("closeButton"));
    m_closeButton->setGeometry(twips(8040), twips(5160), twips(1575), twips(375));
    connect(m_closeButton, &QPushButton::clicked, this, &QWidget::close);

    placeAutoSizeLabel(m_intro, 360, 240);
    placeAutoSizeLabel(m_introNote, 360, 480);
    placeAutoSizeLabel(m_pictureCaption, 360, 960);
    placeAutoSizeLabel(m_planCaption, 9810, 960);
    condenseLabelsToFit(this, 60);
    m_closeButton->setFocus();
}

ExampleWindow* ExampleWindow::showExample(const QWidget* anchor) {
    static QPointer<ExampleWindow> window;
    if (!window) {
        window = new ExampleWindow;
        centreOnScreen(window, anchor);
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

QPixmap ExampleWindow::examplePicture() {
    return QPixmap(QStringLiteral(":/karumenio/example.png"));
}

QPixmap ExampleWindow::examplePlanPicture() {
    return QPixmap(QStringLiteral(":/karumenio/example-plan.png"));
}

} // namespace karumenio::guide
