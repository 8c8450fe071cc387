// The chart window: shows the composed chart and recomposes it at every resize step. Its canvas
// takes the keyboard focus, so that a screen reader reads the chart in words when the window
// comes to the front; there the arrow keys, Home and End step through the chart's values.
#pragma once

#include "chart/erkundung.h"
#include "platform/canvas.h"
#include "windows/einzelfenster.h"

#include <QWidget>

// WinBoxplot::fenster() gives the open chart window or opens one; offen() the open one or none.
class WinBoxplot : public QWidget, public Einzelfenster<WinBoxplot> {
    Q_OBJECT
public:
    Canvas* CAbox = nullptr;

    // Shows the chart just composed, with its values as the canvas's items.
    void chart_zeigen();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;

private:
    friend Einzelfenster<WinBoxplot>;
    WinBoxplot();
    void erstmals_zeigen() { show(); }
    void Resized();
    bool CAbox_KeyDown(int taste);
    void werte_zeigen();

    Proc::Erkundung erkundung;
};

// Brings a window to the front with the keyboard focus. F6 does this for the other of the two
// main windows, for those who work without a mouse.
void nach_vorn(QWidget* fenster);

namespace Proc {

// Composes the chart into bild_ergebnis and shows it in the chart window, opening the window
// when it is closed.
void boxplot_zeichnen();

} // namespace Proc
