#include "beschreibung.h"

#include "chart/boxplot.h"
#include "chart/zusammensetzung.h"
#include "model/proc.h"
#include "model/text.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <string_view>
#include <vector>

namespace Proc {

namespace {

// An outlier list longer than this is named by its smallest and largest few.
constexpr std::size_t ganz_genannt = 10;
constexpr std::size_t je_ende = 5;

// "A", "A und B", "A, B und C".
std::string aufzaehlung(const std::vector<std::string>& teile) {
    std::string text;
    for (std::size_t i = 0; i < teile.size(); ++i) {
        if (i > 0)
            text += i + 1 == teile.size() ? " und " : ", ";
        text += teile[i];
    }
    return text;
}

// The first k fields of a list separated by ";", found without splitting all of it: a list
// of a million values may have half a million outliers.
std::vector<std::string_view> vorne(std::string_view liste, std::size_t k) {
    std::vector<std::string_view> felder;
    while (felder.size() < k) {
        const std::size_t ende = liste.find(';');
        felder.push_back(liste.substr(0, ende));
        if (ende == std::string_view::npos)
            break;
        liste.remove_prefix(ende + 1);
    }
    return felder;
}

// The last k fields, in their order.
std::vector<std::string_view> hinten(std::string_view liste, std::size_t k) {
    std::vector<std::string_view> felder;
    while (felder.size() < k) {
        const std::size_t anfang = liste.rfind(';');
        felder.insert(felder.begin(),
                      anfang == std::string_view::npos ? liste : liste.substr(anfang + 1));
        if (anfang == std::string_view::npos)
            break;
        liste.remove_suffix(liste.size() - anfang);
    }
    return felder;
}

std::string gesprochen(std::span<const GenannterAusreisser> ausreisser) {
    std::string text;
    for (const GenannterAusreisser& a : ausreisser)
        text += (text.empty() ? "" : "; ") + zahl_gesprochen(a.wert);
    return text;
}

std::string ausreisser_beschreiben(std::string_view liste) {
    const Ausreisserauswahl auswahl = genannte_ausreisser(liste);
    if (auswahl.anzahl == 0)
        return "keine Ausreißer";
    const std::string ausreisser = std::to_string(auswahl.anzahl) + " Ausreißer";
    const std::span<const GenannterAusreisser> genannt(auswahl.genannt);
    if (auswahl.anzahl <= ganz_genannt)
        return ausreisser + ": " + gesprochen(genannt);
    const std::string je = std::to_string(je_ende);
    return ausreisser + ", die " + je + " kleinsten: " + gesprochen(genannt.first(je_ende)) +
           ", die " + je + " größten: " + gesprochen(genannt.last(je_ende));
}

// The lines of a series that count as 0 without being a number (words, empty lines).
std::string ohne_zahl_beschreiben(int32_t satz) {
    const std::size_t zeilen = daten_ohne_zahl(satz);
    if (daten_satzart(satz) != satzart_datenreihe || zeilen == 0)
        return {};
    return "; " + std::to_string(zeilen) +
           (zeilen == 1 ? " Zeile ist keine Zahl und zählt als 0"
                        : " Zeilen sind keine Zahl und zählen als 0");
}

// Values can be placed only on a scale with a finite, non-zero range; otherwise the chart
// shows the names alone.
bool skala_brauchbar() {
    const double spanne = endwert - startwert;
    return spanne != 0.0 && std::isfinite(spanne);
}

// The whiskers end where the chart draws them: at the last values inside the fences where
// outliers are marked, else at the minimum and the maximum.
std::string satz_beschreiben(int32_t satz) {
    std::string text = "Satz " + NthField(daten_reihenname, ";", satz) + ": ";
    if (!skala_brauchbar())
        return text + "auf dieser Skala nicht darstellbar.";
    const auto wert = [satz](int32_t spalte) {
        return zahl_gesprochen(daten_basiswert(satz, spalte));
    };
    text += "Minimum " + wert(minimum) + ", unteres Quartil " + wert(unteres_quartil) +
            ", Median " + wert(median) + ", oberes Quartil " + wert(oberes_quartil) + ", Maximum " +
            wert(maximum);
    if (mittelwert_anzeigen)
        text += ", Mittelwert " + wert(mittelwert);
    const bool ext = ausreisser_markiert(satz);
    const std::string unten =
        ext ? zahl_gesprochen(Val(daten_ausreisser(satz, whisker_unten))) : wert(minimum);
    const std::string oben =
        ext ? zahl_gesprochen(Val(daten_ausreisser(satz, whisker_oben))) : wert(maximum);
    text += "; Whisker von " + unten + " bis " + oben;
    if (ext)
        text += "; " + ausreisser_beschreiben(daten_ausreisser(satz, ausreisser_liste));
    return text + ohne_zahl_beschreiben(satz) + ".";
}

std::string skala_beschreiben(double strichabstand) {
    std::string text =
        "Skala von " + zahl_gesprochen(startwert) + " bis " + zahl_gesprochen(endwert);
    if (skala_mark > 0 && skala_brauchbar())
        text += ", Markierung alle " + zahl_gesprochen(strichabstand);
    return text + ".";
}

} // namespace

// The list is ascending, so its ends are the smallest and the largest outliers.
Ausreisserauswahl genannte_ausreisser(std::string_view liste) {
    Ausreisserauswahl auswahl;
    if (liste.empty())
        return auswahl;
    auswahl.anzahl = std::size_t(std::count(liste.begin(), liste.end(), ';')) + 1;
    const bool alle = auswahl.anzahl <= ganz_genannt;
    const std::vector<std::string_view> klein = vorne(liste, alle ? auswahl.anzahl : je_ende);
    for (std::size_t i = 0; i < klein.size(); ++i)
        auswahl.genannt.push_back({Val(klein[i]), i + 1});
    if (alle)
        return auswahl;
    const std::vector<std::string_view> gross = hinten(liste, je_ende);
    for (std::size_t i = 0; i < gross.size(); ++i)
        auswahl.genannt.push_back({Val(gross[i]), auswahl.anzahl - gross.size() + i + 1});
    return auswahl;
}

std::string zahl_gesprochen(double wert) {
    std::string text = Str(wert);
    std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

Diagrammtext diagramm_beschreiben(double strichabstand) {
    const std::vector<int32_t> saetze = gezeigte_saetze();
    std::vector<std::string> namen;
    Diagrammtext text;
    for (int32_t satz : saetze) {
        namen.push_back(NthField(daten_reihenname, ";", satz));
        text.beschreibung += satz_beschreiben(satz) + " ";
    }
    text.name =
        (saetze.size() == 1 ? "Boxplot von Satz " : "Boxplot der Sätze ") + aufzaehlung(namen);
    text.beschreibung += skala_beschreiben(strichabstand);
    return text;
}

} // namespace Proc
