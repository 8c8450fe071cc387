// What the tests share: Qt Test, the model and the chart, and the module state as start-up
// leaves it, for tests of the chart without the data window.
#pragma once

#include "chart/composition.h"
#include "chart/pictures.h"
#include "model/proc.h"
#include "model/statistics.h"
#include "model/text.h"

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

inline void startwerte_setzen() {
    ladewerte_setzen();
    std::tie(breite_bild, hoehe_bild, daten_akt_satz, daten_max_satz_anzahl) =
        std::tuple(150, 400, 1, 1);
    std::tie(eingabe_aktiv, daten_alle_saetze_zeichnen, daten_satzart(1)) =
        std::tuple(true, true, satzart_boxwerte);
    pos_abst_pfeil_box = pos_rand_l = pos_rand_r = pos_text_breite = pos_pfeil_breite = 0.125;
    std::tie(pos_box_breite, whisker_breite, pos_pfeil_hoehe, schrift_hoehe) =
        std::tuple(0.375, 0.25, 0.04, -1.0);
    pos_rand_o = pos_rand_u = pos_rand_l * breite_bild / hoehe_bild;
    boxwerte_setzen(1, {10, 30, 50, 60, 85, 40, 0, 0});
    std::tie(endwert, skala_mark) = std::tuple(100, 10);
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
