// What the tests share: Qt Test, the model and the chart, the module state as start-up leaves
// it (for tests of the chart without the data window), and the same font and style on every
// machine.
#pragma once

#include "chart/bilder.h"
#include "chart/zusammensetzung.h"
#include "model/proc.h"
#include "model/statistik.h"
#include "model/text.h"
#include "support/testumgebung.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QTimer>

#include <initializer_list>

using namespace Proc;

inline void boxwerte_setzen(int32_t satz, std::initializer_list<double> werte) {
    int32_t spalte = 1;
    for (double wert : werte)
        daten_basiswert(satz, spalte++) = wert;
}

// The module state as start-up leaves it, from the load values on.
inline void wie_nach_dem_start() {
    ladewerte_setzen();
    startwerte_setzen();
}

// Sets 1, 2, ... as data series of the given value lists, all of them in use.
inline void reihen_setzen(std::initializer_list<const char*> listen) {
    daten_max_satz_anzahl = 0;
    for (const char* liste : listen) {
        const int32_t satz = ++daten_max_satz_anzahl;
        daten_werteliste(satz) = liste;
        daten_satzart(satz) = satzart_datenreihe;
        Werte_aus_daten_berechnen(satz);
    }
}

// Runs fn on the active modal window once the next modal event loop has started.
template <typename Fn> void im_modalen_fenster(int ms, Fn fn) {
    QTimer::singleShot(ms, qApp, [fn] { fn(QApplication::activeModalWidget()); });
}
