#include "win_boxplot.h"

#include "chart/bilder.h"
#include "chart/zusammensetzung.h"
#include "editor/accessiblefactory.h"
#include "model/proc.h"
#include "windows/win_daten.h"

#include <QAccessibleWidget>
#include <QList>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QWindow>

#include <map>

namespace {

// The canvas keeps these distances to the window's edges.
constexpr int rand_links = 20;
constexpr int rand_oben = 14;
constexpr int rand_rechts = 20;
constexpr int rand_unten = 20;

// To assistive technology the chart window is a window (a frame to AT-SPI) like the data window,
// not the pane Qt takes a plain widget for.
QAccessibleInterface* als_fenster(QWidget* fenster) {
    return qobject_cast<WinBoxplot*>(fenster) ? new QAccessibleWidget(fenster, QAccessible::Window)
                                              : nullptr;
}

} // namespace

WinBoxplot::WinBoxplot()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint) {
    installAccessibleFactory<als_fenster>();
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Boxplot"));
    setMinimumSize(150, 200);
    setMaximumSize(32000, 32000);
    CAbox = new Canvas(this);
    CAbox->setObjectName(QStringLiteral("CAbox"));
    CAbox->setFocusPolicy(Qt::StrongFocus);
    CAbox->installEventFilter(this); // its focus changes repaint the ring around it
    CAbox->KeyDown = [this](int taste) { return CAbox_KeyDown(taste); };
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

// Coming back into the chart, the first step names its set's kind again.
bool WinBoxplot::eventFilter(QObject* objekt, QEvent* ereignis) {
    if (objekt == CAbox &&
        (ereignis->type() == QEvent::FocusIn || ereignis->type() == QEvent::FocusOut)) {
        update();
        erkundung.neu_beginnen();
    }
    return QWidget::eventFilter(objekt, ereignis);
}

// Every key that steps is told to a screen reader, also one that stays at an end, so that one
// that repeats a focus hears where it is; Orca, as at the end of a list, then says nothing.
bool WinBoxplot::CAbox_KeyDown(int taste) {
    static const std::map<int, Proc::Schritt> schritte{
        {Qt::Key_Left, Proc::Schritt::links},  {Qt::Key_Right, Proc::Schritt::rechts},
        {Qt::Key_Up, Proc::Schritt::hoch},     {Qt::Key_Down, Proc::Schritt::runter},
        {Qt::Key_Home, Proc::Schritt::anfang}, {Qt::Key_End, Proc::Schritt::ende}};
    const auto schritt = schritte.find(taste);
    if (schritt == schritte.end())
        return false;
    erkundung.gehen(schritt->second);
    werte_zeigen();
    CAbox->announceCurrentItem();
    return true;
}

void WinBoxplot::werte_zeigen() {
    QList<Canvas::Item> elemente;
    const std::vector<Proc::Chartwert>& werte = erkundung.werte();
    for (std::size_t i = 0; i < werte.size(); ++i) {
        const Proc::Chartwert& w = werte[i];
        elemente.append({QString::fromStdString(erkundung.name(i)),
                         QRectF(w.links, w.oben, w.breite, w.hoehe), w.rund});
    }
    const std::optional<std::size_t> stelle = erkundung.stelle();
    CAbox->setItems(std::move(elemente), stelle ? int(*stelle) : -1);
}

void WinBoxplot::chart_zeigen() {
    CAbox->SetBackdrop(Proc::bild_ergebnis);
    erkundung.aktualisieren();
    werte_zeigen();
    CAbox->Refresh(true);
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
    WinBoxplot* fenster = WinBoxplot::fenster();
    if (bild_zusammensetzen(fenster->CAbox->devicePixelRatioF()))
        fenster->chart_zeigen();
}

} // namespace Proc
