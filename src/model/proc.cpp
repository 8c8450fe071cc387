#include "proc.h"

#include <cassert>

namespace Proc {

namespace {

bool im_bereich(int32_t index, int32_t hoechster) {
    return index >= 0 && index <= hoechster;
}

// Scratch element for a programming error in a release build: reset at every hand-out so
// that a stray read sees the load value and a stray write goes nowhere.
template <typename T> T& ausweichelement() {
    static T element{};
    element = T{};
    return element;
}

} // namespace

void ladewerte_setzen() {
    zustand = Ladewerte{};
}

void startgroesse_setzen() {
    breite_bild = 150;
    hoehe_bild = 400;
}

void startauswahl_setzen() {
    eingabe_aktiv = true;
    daten_akt_satz = 1;
    daten_max_satz_anzahl = 1;
    daten_satzart(1) = satzart_boxwerte;
    daten_alle_saetze_zeichnen = true;
}

void anzeigeoptionen_setzen() {
    boxplot_erweitert = true;
    mittelwert_anzeigen = true;
    box_werte_anzeigen = true;
}

void layout_setzen() {
    pos_abst_pfeil_box = 0.125;
    pos_box_breite = 0.375;
    pos_rand_l = 0.125;
    pos_rand_r = 0.125;
    pos_text_breite = 0.125;
    whisker_breite = 0.25;
    pos_pfeil_breite = 0.125;
    pos_pfeil_hoehe = 0.04;
    schrift_hoehe = -1.0;
    pos_rand_o = pos_rand_l * breite_bild / hoehe_bild;
    pos_rand_u = pos_rand_l * breite_bild / hoehe_bild;
}

void startbasiswerte_setzen() {
    constexpr double startwerte[] = {10, 30, 50, 60, 85, 40, 85 - 10, 0}; // range: max - min
    for (int32_t spalte = minimum; spalte <= anzahl; ++spalte)
        daten_basiswert(daten_akt_satz, spalte) = startwerte[spalte - 1];
    daten_satzart(daten_akt_satz) = satzart_boxwerte;
}

void startskala_setzen() {
    startwert = 0;
    endwert = 100;
    skala_mark = 10;
}

void startwerte_setzen() {
    startgroesse_setzen();
    startauswahl_setzen();
    anzeigeoptionen_setzen();
    layout_setzen();
    startbasiswerte_setzen();
    startskala_setzen();
}

int32_t& daten_satzart(int32_t satz) {
    assert(im_bereich(satz, max_satz));
    if (!im_bereich(satz, max_satz))
        return ausweichelement<int32_t>();
    return zustand.satzart[satz];
}

std::string& daten_werteliste(int32_t satz) {
    assert(im_bereich(satz, max_satz));
    if (!im_bereich(satz, max_satz))
        return ausweichelement<std::string>();
    return zustand.werteliste[satz];
}

double& daten_basiswert(int32_t satz, int32_t spalte) {
    assert(im_bereich(satz, max_satz) && im_bereich(spalte, max_basiswert_spalte));
    if (!im_bereich(satz, max_satz) || !im_bereich(spalte, max_basiswert_spalte))
        return ausweichelement<double>();
    return zustand.basiswert[satz][spalte];
}

std::string& daten_ausreisser(int32_t satz, int32_t spalte) {
    assert(im_bereich(satz, max_satz) && im_bereich(spalte, max_ausreisser_spalte));
    if (!im_bereich(satz, max_satz) || !im_bereich(spalte, max_ausreisser_spalte))
        return ausweichelement<std::string>();
    return zustand.ausreisser[satz][spalte];
}

std::size_t& daten_ohne_zahl(int32_t satz) {
    assert(im_bereich(satz, max_satz));
    if (!im_bereich(satz, max_satz))
        return ausweichelement<std::size_t>();
    return zustand.ohne_zahl[satz];
}

} // namespace Proc
