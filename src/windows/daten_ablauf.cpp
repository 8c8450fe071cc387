#include "daten_ablauf.h"

#include "chart/beschreibung.h"
#include "model/proc.h"
#include "model/statistik.h"
#include "model/text.h"
#include "windows/win_boxplot.h"
#include "windows/win_daten.h"
#include "windows/win_splash.h"

#include <QString>

#include <algorithm>
#include <limits>

namespace Proc {

namespace {

constexpr int32_t anzeigezeilen = 8;
constexpr int32_t eingabezeilen = 6; // range and count are only ever shown

// Runs arbeit with automatic drawing off: setting a field's text raises its change handler,
// which then stores the value but does not redraw.
template <typename Arbeit> void ohne_zeichnen(Arbeit arbeit) {
    const bool vorher = auto_zeichnen;
    auto_zeichnen = false;
    arbeit();
    auto_zeichnen = vorher;
}

QString als_text(double wert) {
    return QString::fromStdString(Str(wert));
}

// A display named as a screen reader speaks it, "Minimum: 10". Qt tells assistive technology
// of every name it is given, so a display is renamed only when its value changes.
void benennen(QWidget& anzeige, const QString& name, double wert) {
    const QString gesprochen = name + ": " + QString::fromStdString(zahl_gesprochen(wert));
    if (anzeige.accessibleName() != gesprochen)
        anzeige.setAccessibleName(gesprochen);
}

void anzeigeoptionen_zeigen(WinDaten& w) {
    w.CBshowall->setChecked(daten_alle_saetze_zeichnen);
    anzeigeoptionen_setzen();
    w.CBereitert->setChecked(boxplot_erweitert);
    w.CBmittelwert->setChecked(mittelwert_anzeigen);
    w.CBwerteanzeigen->setChecked(box_werte_anzeigen);
}

// Row i shows the current set's value in both its field and its display.
void zeile_zeigen(WinDaten& w, int32_t i) {
    const double wert = daten_basiswert(daten_akt_satz, i);
    const QString text = als_text(wert);
    w.EFbasis(i).SetText(text);
    w.STbasis(i).SetText(text);
    benennen(w.STbasis(i), w.zeilenname(i), wert);
}

void diagrammfenster_zeigen() {
    WinBoxplot* fenster = WinBoxplot::fenster();
    fenster->move(450, fenster->y());
    fenster->show();
}

} // namespace

void init_all() {
    WinDaten& w = *WinDaten::fenster();
    auto_zeichnen = false;
    startgroesse_setzen();
    startauswahl_setzen();
    satz_anzahl_aendern_zeigen(0);
    for (int32_t i = 1; i <= hoechste_satzanzahl; ++i) {
        w.RBsatz(i).setText(QString::fromStdString(NthField(daten_reihenname, ";", i)));
        w.RBsatz(i).setAccessibleName("Satz " + w.RBsatz(i).text());
    }
    anzeigeoptionen_zeigen(w);
    layout_setzen();
    w.RBsatz(daten_akt_satz).setChecked(true);
    w.EFbasis(7).hide();
    w.EFbasis(8).hide();
    w.show();
    startbasiswerte_setzen();
    startskala_setzen();
    werte_anzeigen();
    auto_zeichnen = true;
    diagrammfenster_zeigen();
    eingabe_aktivieren_deaktivieren();
    if (Pref_SplashAtStart == 1)
        WIsplash::fenster()->Update(true);
}

void werte_anzeigen() {
    WinDaten& w = *WinDaten::fenster();
    ohne_zeichnen([&w] {
        for (int32_t i = 1; i <= anzeigezeilen; ++i)
            zeile_zeigen(w, i);
        w.EFskalamax->SetText(als_text(endwert));
        w.EFskalamin->SetText(als_text(startwert));
        w.EFskalamark->SetText(als_text(skala_mark));
    });
}

void spannweite_zeigen() {
    constexpr double groesste = std::numeric_limits<double>::max();
    const double spanne =
        daten_basiswert(daten_akt_satz, maximum) - daten_basiswert(daten_akt_satz, minimum);
    daten_basiswert(daten_akt_satz, spannweite) = std::clamp(spanne, -groesste, groesste);
    WinDaten& w = *WinDaten::fenster();
    ohne_zeichnen([&w] { zeile_zeigen(w, spannweite); });
}

void eingabe_aktivieren_deaktivieren() {
    WinDaten& w = *WinDaten::fenster();
    ohne_zeichnen([&w] {
        w.EFDaten->setEnabled(!eingabe_aktiv);
        for (int32_t i = 1; i <= eingabezeilen; ++i) {
            w.EFbasis(i).setVisible(eingabe_aktiv);
            w.STbasis(i).setVisible(!eingabe_aktiv);
        }
        daten_satzart(daten_akt_satz) = eingabe_aktiv ? satzart_boxwerte : satzart_datenreihe;
        w.BBsatzart(1).setChecked(eingabe_aktiv);
        w.BBsatzart(2).setChecked(!eingabe_aktiv);
        if (!eingabe_aktiv)
            Werte_aus_daten_berechnen(daten_akt_satz);
    });
    werte_anzeigen();
    if (auto_zeichnen)
        boxplot_zeichnen();
}

void satz_aendern(int32_t n) {
    WinDaten& w = *WinDaten::fenster();
    ohne_zeichnen([&w, n] {
        daten_akt_satz = n;
        // A set never selected before becomes a data series.
        eingabe_aktiv = daten_satzart(n) == satzart_boxwerte;
        if (!eingabe_aktiv)
            Werte_aus_daten_berechnen(n);
        w.EFDaten->SetText(daten_werteliste(n));
        eingabe_aktivieren_deaktivieren();
        w.RBsatz(n).setChecked(true);
    });
}

void satz_anzahl_aendern_zeigen(int32_t schritt) {
    // The count never drops below the current set, which stays in use.
    if (schritt == -1 && daten_akt_satz < daten_max_satz_anzahl)
        --daten_max_satz_anzahl;
    if (schritt == 1 && daten_max_satz_anzahl < hoechste_satzanzahl)
        ++daten_max_satz_anzahl;
    WinDaten& w = *WinDaten::fenster();
    w.STsatzanz->setText(QString::number(daten_max_satz_anzahl));
    benennen(*w.STsatzanz, QStringLiteral("Anzahl der Sätze"), daten_max_satz_anzahl);
    for (int32_t i = 1; i <= hoechste_satzanzahl; ++i)
        w.RBsatz(i).setVisible(i <= daten_max_satz_anzahl);
    if (auto_zeichnen)
        boxplot_zeichnen();
}

} // namespace Proc
