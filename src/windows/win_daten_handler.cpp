// What the data window's controls do when the user works them.
#include "model/proc.h"
#include "model/statistik.h"
#include "model/text.h"
#include "windows/daten_ablauf.h"
#include "windows/win_boxplot.h"
#include "windows/win_daten.h"

using namespace Proc;

namespace {

// A numeric field's whole text read as a number, with a decimal comma as in the value lists;
// text that is not a number gives 0.
double zahl(const QLineEdit& feld) {
    return ValKomma(feld.text().toStdString());
}

void zeichnen_wenn_automatisch() {
    if (auto_zeichnen)
        boxplot_zeichnen();
}

} // namespace

// Typed box values keep their range, maximum minus minimum.
void WinDaten::EFbasis_TextChange(EditField& feld) {
    daten_basiswert(daten_akt_satz, feld.Index) = zahl(feld);
    if (eingabe_aktiv && (feld.Index == minimum || feld.Index == maximum))
        spannweite_zeigen();
    zeichnen_wenn_automatisch();
}

bool WinDaten::EFbasis_KeyDown(EditField&) {
    return !eingabe_aktiv;
}

void WinDaten::EFskalamax_TextChange() {
    endwert = zahl(*EFskalamax);
    zeichnen_wenn_automatisch();
}

void WinDaten::EFskalamin_TextChange() {
    startwert = zahl(*EFskalamin);
    zeichnen_wenn_automatisch();
}

void WinDaten::EFskalamark_TextChange() {
    skala_mark = zahl(*EFskalamark);
    zeichnen_wenn_automatisch();
}

bool WinDaten::EFDaten_KeyDown() {
    return eingabe_aktiv;
}

void WinDaten::EFDaten_TextChange() {
    if (eingabe_aktiv)
        return;
    daten_werteliste(daten_akt_satz) = EFDaten->Text();
    Werte_aus_daten_berechnen(daten_akt_satz);
    werte_anzeigen();
    zeichnen_wenn_automatisch();
}

void WinDaten::RBsatz_Action(RadioButton& knopf) {
    satz_aendern(knopf.Index);
}

void WinDaten::BBsatzart_Action(BevelButton& knopf) {
    eingabe_aktiv = knopf.Index == 1;
    eingabe_aktivieren_deaktivieren();
}

void WinDaten::UpDownArrows1_Up() {
    satz_anzahl_aendern_zeigen(1);
}

void WinDaten::UpDownArrows1_Down() {
    satz_anzahl_aendern_zeigen(-1);
}

void WinDaten::CBshowall_Action() {
    daten_alle_saetze_zeichnen = CBshowall->isChecked();
    boxplot_zeichnen();
}

// Outliers are computed with the statistics, so switching them on recomputes every series.
void WinDaten::CBereitert_Action() {
    boxplot_erweitert = CBereitert->isChecked();
    if (boxplot_erweitert) {
        for (int32_t satz = 1; satz <= daten_max_satz_anzahl; ++satz)
            if (daten_satzart(satz) == satzart_datenreihe)
                Werte_aus_daten_berechnen(satz);
    }
    boxplot_zeichnen();
}

void WinDaten::CBmittelwert_Action() {
    mittelwert_anzeigen = CBmittelwert->isChecked();
    boxplot_zeichnen();
}

void WinDaten::CBwerteanzeigen_Action() {
    box_werte_anzeigen = CBwerteanzeigen->isChecked();
    boxplot_zeichnen();
}

void WinDaten::CBautomatik_Action() {
    auto_zeichnen = CBautomatik->isChecked();
}

void WinDaten::PBberechnen_Action() {
    if (!eingabe_aktiv)
        Werte_aus_daten_berechnen(daten_akt_satz);
    werte_anzeigen();
}

void WinDaten::PushButton1_Action() {
    PBberechnen_Action();
    boxplot_zeichnen();
}

void WinDaten::Event_Open() {
    init_all();
}
