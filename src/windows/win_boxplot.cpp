#include "win_boxplot.h"

#include "chart/bilder.h"
#include "chart/zusammensetzung.h"
#include "model/proc.h"
#include "windows/win_daten.h"

#include <QAccessibleWidget>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QWindow>

namespace {

// The canvas keeps these distances to the window's edges.
constexpr int rand_links = 20;
constexpr int rand_oben = 14;
constexpr int rand_rechts = 20;
constexpr int rand_unten = 20;

// To assistive technology the chart window is a window (a frame to AT-SPI) like the data window,
// not the pane Qt takes a plain widget for.
QAccessibleInterface* als_fenster(const QString& klasse, QObject* objekt) {
    if (klasse == QLatin1String("WinBoxplot") && objekt && objekt->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(objekt), QAccessible::Window);
    return nullptr;
}

} // namespace

WinBoxplot::WinBoxplot()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint) {
    QAccessible::installFactory(als_fenster);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Boxplot"));
    setMinimumSize(150, 200);
    setMaximumSize(32000, 32000);
    CAbox = new Canvas(this);
    CAbox->setObjectName(QStringLiteral("CAbox"));
    CAbox->setFocusPolicy(Qt::StrongFocus);
    CAbox->installEventFilter(this); // its focus changes repaint the ring around it
    auto* wechseln = new QShortcut(QKeySequence(Qt::Key_F6), this);
    connect(wechseln, &QShortcut::activated, this, [] {
        if (WinDaten* daten = WinDaten::offen())
            nach_vorn(daten);
    });
    resize(190, 434);
    // On a screen with another device pixel ratio the chart is made anew at that ratio.
    create();
    connect(windowHandle(), &QWindow::screenChanged, this, &WinBoxplot::Resized);
}

// The canvas follows the window's edges; Qt reports every step of a live resize here.
void WinBoxplot::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    CAbox->setGeometry(rand_links, rand_oben, width() - rand_links - rand_rechts,
                       height() - rand_oben - rand_unten);
    Resized();
}

bool WinBoxplot::eventFilter(QObject* objekt, QEvent* ereignis) {
    if (objekt == CAbox &&
        (ereignis->type() == QEvent::FocusIn || ereignis->type() == QEvent::FocusOut))
        update();
    return QWidget::eventFilter(objekt, ereignis);
}

// The focused canvas is marked by a ring in the window's margin, around the chart rather than
// over it.
void WinBoxplot::paintEvent(QPaintEvent*) {
    if (!CAbox->hasFocus())
        return;
    const QRect rand = CAbox->geometry();
    QPainter maler(this);
    maler.setClipRegion(QRegion(rand.adjusted(-4, -4, 4, 4)) - rand.adjusted(-1, -1, 1, 1));
    maler.fillRect(rect(), palette().highlight());
}

void nach_vorn(QWidget* fenster) {
    fenster->show();
    fenster->raise();
    fenster->activateWindow();
}

void WinBoxplot::Resized() {
    Proc::hoehe_bild = CAbox->height();
    Proc::breite_bild = CAbox->width();
    Proc::boxplot_zeichnen();
}

namespace Proc {

void boxplot_zeichnen() {
    Canvas* leinwand = WinBoxplot::fenster()->CAbox;
    if (!bild_zusammensetzen(leinwand->devicePixelRatioF()))
        return;
    leinwand->setBackdrop(bild_ergebnis);
    leinwand->Refresh(true);
}

} // namespace Proc
