#include "win_boxplot.h"

#include "chart/composition.h"
#include "chart/pictures.h"
#include "model/proc.h"

#include <QPointer>
#include <QScreen>
#include <QWindow>

namespace {

QPointer<WinBoxplot> offenes_fenster;

// The canvas keeps these distances to the window's edges.
constexpr int rand_links = 20;
constexpr int rand_oben = 14;
constexpr int rand_rechts = 20;
constexpr int rand_unten = 20;

} // namespace

WinBoxplot::WinBoxplot()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Boxplot"));
    setMinimumSize(150, 200);
    setMaximumSize(32000, 32000);
    CAbox = new Canvas(this);
    CAbox->setObjectName(QStringLiteral("CAbox"));
    resize(190, 434);
    // On a screen with another device pixel ratio the chart is made anew at that ratio.
    create();
    connect(windowHandle(), &QWindow::screenChanged, this, &WinBoxplot::Resized);
}

WinBoxplot* WinBoxplot::offen() {
    return offenes_fenster.data();
}

WinBoxplot* WinBoxplot::instance() {
    if (!offenes_fenster) {
        offenes_fenster = new WinBoxplot();
        offenes_fenster->show();
    }
    return offenes_fenster.data();
}

// The canvas follows the window's edges; Qt reports every step of a live resize here.
void WinBoxplot::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    CAbox->setGeometry(rand_links, rand_oben, width() - rand_links - rand_rechts,
                       height() - rand_oben - rand_unten);
    Resized();
}

void WinBoxplot::Resized() {
    Proc::hoehe_bild = CAbox->height();
    Proc::breite_bild = CAbox->width();
    Proc::boxplot_zeichnen();
}

namespace Proc {

void boxplot_zeichnen() {
    Canvas* leinwand = WinBoxplot::instance()->CAbox;
    if (!bild_zusammensetzen(leinwand->devicePixelRatioF()))
        return;
    leinwand->setBackdrop(bild_ergebnis);
    leinwand->Refresh(true);
}

} // namespace Proc
