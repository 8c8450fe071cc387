// The real data window as the window benchmarks drive it.
#pragma once

#include "windows/win_boxplot.h"
#include "windows/win_daten.h"

#include <QTest>

inline WinDaten& fenster() {
    return *WinDaten::fenster();
}

// The data window and the chart on the screen, not only composed.
inline void zeigen() {
    fenster().repaint();
    WinBoxplot::fenster()->CAbox->repaint();
}

// Set 1 as an empty series with the focus in its value list, on the screen.
inline void leere_reihe() {
    WinDaten& w = fenster();
    QTest::mouseClick(&w.RBsatz(1), Qt::LeftButton);
    QTest::mouseClick(&w.BBsatzart(2), Qt::LeftButton);
    w.EFDaten->SetText({});
    w.EFDaten->setFocus();
    zeigen();
}
