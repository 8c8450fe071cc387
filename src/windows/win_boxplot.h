// The chart window: shows the composed chart and recomposes it at every resize step.
#pragma once

#include "platform/canvas.h"

#include <QWidget>

class WinBoxplot : public QWidget {
    Q_OBJECT
public:
    // The open chart window, or a new one (opened) when none is open.
    static WinBoxplot* instance();
    // The open chart window, or nothing; creates none.
    static WinBoxplot* offen();

    Canvas* CAbox = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    WinBoxplot();
    void Resized();
};

namespace Proc {

// Composes the chart into bild_ergebnis and shows it in the chart window, opening the window
// when it is closed.
void boxplot_zeichnen();

} // namespace Proc
