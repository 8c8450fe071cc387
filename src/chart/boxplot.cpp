#include "boxplot.h"

#include "chart/beschriftungen.h"
#include "chart/bilder.h"
#include "model/proc.h"
#include "model/text.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace Proc {

namespace {

constexpr std::size_t hoechstzahl_striche = 1000;

// Everything one box plot derives from its picture size and the settings. Horizontal
// quantities are fractions of the unit width U or pixels, vertical ones pixels.
struct Geometrie {
    int32_t F = 0;  // base text size
    int32_t Fs = 0; // label text size
    int32_t Fn = 0; // name and scale text size
    double U = 0;   // unit width
    double X0 = 0;  // left edge of the box, fraction of U
    double R = 0;   // value range of the scale
    double Y0 = 0;  // top of the plot area
    double PH = 0;  // height of the plot area
    double xL = 0;  // left edge of the box
    double BW = 0;  // width of the box
    double xC = 0;  // centre line of the box
    double cL = 0;  // left end of a whisker cap
    double cR = 0;  // right end of a whisker cap
    double S = 0;   // diameter of the mean and outlier marks

    // Values can be placed only on a scale with a finite, non-zero range.
    bool skala_brauchbar() const { return R != 0.0 && std::isfinite(R); }

    // Vertical position of a value: startwert at the bottom of the plot area, endwert at the
    // top. The share is bounded so that the product stays finite for any stored value.
    double y(double v) const {
        const double anteil = std::clamp((v - startwert) / R, -1e15, 1e15);
        return Y0 + PH * (1.0 - anteil);
    }
};

Geometrie geometrie(int32_t breite, int32_t hoehe, bool mit_skala) {
    Geometrie g;
    const double W = breite;
    const double H = hoehe;
    g.F = schrift_hoehe > 0 ? whole(schrift_hoehe) : whole(std::max(H / 400.0 * 12.0, 9.0));
    g.Fs = whole(g.F * 0.6);
    g.Fn = whole(g.Fs / 0.6);
    if (mit_skala) {
        g.U = W;
        g.X0 = pos_rand_l + pos_text_breite + pos_pfeil_breite + pos_abst_pfeil_box;
    } else {
        // A plot without the scale shows only gap, box and right margin of a full strip;
        // scaling those back to the full unit gives every box the width of the first one.
        const double anteil = pos_abst_pfeil_box + pos_box_breite + pos_rand_r;
        g.U = anteil > 0 ? W / anteil : W;
        g.X0 = pos_rand_l;
    }
    g.R = endwert - startwert;
    g.Y0 = pos_rand_o * H;
    g.PH = (1.0 - pos_rand_o - pos_rand_u) * H;
    g.xL = g.X0 * g.U;
    g.BW = pos_box_breite * g.U;
    g.xC = (g.X0 + pos_box_breite * 0.5) * g.U;
    g.cL = (g.X0 + pos_box_breite * 0.5 - whisker_breite * 0.5) * g.U;
    g.cR = (g.X0 + pos_box_breite * 0.5 + whisker_breite * 0.5) * g.U;
    g.S = 0.1 * pos_box_breite * g.U;
    return g;
}

void linie(Graphics& g, double x1, double y1, double x2, double y2) {
    g.DrawLine(whole(x1), whole(y1), whole(x2), whole(y2));
}

// Baselines of a label of size Fs above and below a horizontal line at y.
double ueber(double y, int32_t Fs) {
    return y - 0.2 * Fs;
}
double unter(double y, int32_t Fs) {
    return y + 1.2 * Fs;
}

// Box from lower to upper quartile with the median line, and their labels: the upper quartile
// above the box, else just inside it; the lower one below the box, else just inside it.
void box_zeichnen(Graphics& g, const Geometrie& geo, int32_t satz, Beschriftungen& texte) {
    const double b2 = daten_basiswert(satz, unteres_quartil);
    const double b3 = daten_basiswert(satz, median);
    const double b4 = daten_basiswert(satz, oberes_quartil);
    const double BH = geo.PH * (b4 - b2) / geo.R;
    const double oben = geo.y(b4);
    const int32_t Fs = geo.Fs;

    // The outline is 3 pixels wider and 2 higher than the box itself.
    g.DrawRect(whole(geo.xL), whole(oben), whole(geo.BW + 3), whole(BH + 2));
    if (box_werte_anzeigen) {
        texte.hinzufuegen(quartil_rang, Str(b4), Fs,
                          {{geo.xL, ueber(oben, Fs)}, {geo.xL, unter(oben, Fs)}});
        texte.hinzufuegen(quartil_rang, Str(b2), Fs,
                          {{geo.xL, unter(oben + BH, Fs)}, {geo.xL, ueber(oben + BH, Fs)}});
    }
    linie(g, geo.xL, geo.y(b3), geo.xL + geo.BW, geo.y(b3));
    if (box_werte_anzeigen) {
        // The median label goes into the larger half of the box; equal halves put it below.
        const bool darueber = b3 - b2 < b4 - b3;
        const double x = geo.xL + 0.5 * Fs;
        const Beschriftungen::Stelle drueber{x, ueber(geo.y(b3), Fs)},
            drunter{x, unter(geo.y(b3), Fs)};
        texte.hinzufuegen(median_rang, Str(b3), Fs,
                          darueber ? std::vector{drueber, drunter} : std::vector{drunter, drueber});
    }
}

// A round mark of that diameter centred on the box's centre line at value v, with its label
// centred below it, else above it.
void marke_zeichnen(Graphics& g, const Geometrie& geo, double v, double durchmesser, bool gefuellt,
                    Rang rang, Beschriftungen& texte) {
    const double oben = geo.y(v) - durchmesser * 0.5;
    const int32_t x = whole(geo.xC - durchmesser * 0.5);
    if (gefuellt)
        g.FillOval(x, whole(oben), whole(durchmesser), whole(durchmesser));
    else
        g.DrawOval(x, whole(oben), whole(durchmesser), whole(durchmesser));
    if (box_werte_anzeigen)
        texte.hinzufuegen(
            rang, Str(v), geo.Fs,
            {{geo.xC, unter(oben + durchmesser, geo.Fs)}, {geo.xC, ueber(oben, geo.Fs)}}, true);
}

// A whisker cap at its end value, with the label of that value on the side away from the box,
// else on the other side.
void kappe_zeichnen(Graphics& g, const Geometrie& geo, double ende, bool oben,
                    Beschriftungen& texte) {
    const double y = geo.y(ende);
    linie(g, geo.cL, y, geo.cR, y);
    const Beschriftungen::Stelle drueber{geo.cL, ueber(y, geo.Fs)},
        drunter{geo.cL, unter(y, geo.Fs)};
    if (box_werte_anzeigen)
        texte.hinzufuegen(whisker_rang, Str(ende), geo.Fs,
                          oben ? std::vector{drueber, drunter} : std::vector{drunter, drueber});
}

// The upper whisker runs from the box up to its end, the lower one from its end up to the
// box; each ends in a cap.
void whiskers_zeichnen(Graphics& g, const Geometrie& geo, int32_t satz, bool ext,
                       Beschriftungen& texte) {
    const double oben =
        ext ? Val(daten_ausreisser(satz, whisker_oben)) : daten_basiswert(satz, maximum);
    linie(g, geo.xC, geo.y(daten_basiswert(satz, oberes_quartil)), geo.xC, geo.y(oben));
    kappe_zeichnen(g, geo, oben, true, texte);
    const double unten =
        ext ? Val(daten_ausreisser(satz, whisker_unten)) : daten_basiswert(satz, minimum);
    linie(g, geo.xC, geo.y(unten), geo.xC, geo.y(daten_basiswert(satz, unteres_quartil)));
    kappe_zeichnen(g, geo, unten, false, texte);
}

// Outliers are rings at least as large as the smallest that stays hollow at the picture's
// device pixel ratio, so that they never look like the mean's filled mark.
void ausreisser_zeichnen(Graphics& g, const Geometrie& geo, int32_t satz, Beschriftungen& texte) {
    const std::string& liste = daten_ausreisser(satz, ausreisser_liste);
    if (liste.empty())
        return;
    const double ring = std::max(geo.S, double(g.SmallestHollowOval()));
    // The list is ascending, so marks on the same pixel row follow each other; each row
    // gets one mark and one label, however many outliers share it.
    bool erste = true;
    int32_t letzte_zeile = 0;
    for (std::string_view feld : alle_felder(liste, ";")) {
        const double v = Val(feld);
        const int32_t zeile = whole(geo.y(v));
        if (!erste && zeile == letzte_zeile)
            continue;
        erste = false;
        letzte_zeile = zeile;
        marke_zeichnen(g, geo, v, ring, false, ausreisser_rang, texte);
    }
}

// The set's name, its left end a fifth of its width left of the box's centre line.
void name_zeichnen(Graphics& g, const Geometrie& geo, int32_t satz, Beschriftungen& texte) {
    g.TextSize = geo.Fn;
    std::string name = NthField(daten_reihenname, ";", satz);
    const double x = geo.xC - 0.2 * g.StringWidth(name);
    texte.hinzufuegen(name_rang, std::move(name), geo.Fn, {{x, geo.Y0}});
}

// The smallest of 1, 2, 5, 10, 20, 50, ... that is not below `mindestens` (give or take the
// rounding of the division it comes from); not finite where that lies beyond a double.
double runde_stufe(double mindestens) {
    if (!(mindestens > 1.0))
        return 1.0;
    const double zehnerpotenz = std::pow(10.0, std::floor(std::log10(mindestens)));
    for (double ziffer : {1.0, 2.0, 5.0})
        if (ziffer * zehnerpotenz >= mindestens * (1 - 1e-9))
            return ziffer * zehnerpotenz;
    return 10.0 * zehnerpotenz;
}

// The smallest value step at which ticks stand at least `kleinster_abstand` pixels apart and
// keep within the cap on their number.
double kleinster_schritt(const Geometrie& geo, int32_t kleinster_abstand) {
    return std::max(geo.R / double(hoechstzahl_striche),
                    geo.R * kleinster_abstand / std::abs(geo.PH));
}

// The value step between ticks, as a number of marks (1, 2, 5, 10, ...) and as a value: the
// mark, or where ticks would crowd the smallest of those multiples that keeps them apart. A
// mark lost against the range, or a plot area without height, steps by what is needed.
struct Strichschritt {
    double faktor;
    double abstand;
};

Strichschritt strichschritt(const Geometrie& geo, const Graphics& g) {
    const double noetig = kleinster_schritt(geo, g.SmallestLineSpacing());
    const double faktor = runde_stufe(noetig / skala_mark);
    return {faktor, std::isfinite(faktor * skala_mark) ? faktor * skala_mark : noetig};
}

// The largest text size up to Fn at which a label this wide at Fn ends 0.2 sizes left of the
// ticks without starting left of the picture.
int32_t skalenschrift(Graphics& g, std::string_view breitester, double xT, int32_t Fn) {
    const auto passt = [&](int32_t groesse) {
        g.TextSize = groesse;
        return g.StringWidth(breitester) + 0.2 * groesse <= xT;
    };
    if (passt(Fn))
        return Fn;
    g.TextSize = Fn;
    const double bedarf = g.StringWidth(breitester) + 0.2 * Fn;
    // whole() keeps the estimate finite and within int32 for any layout.
    int32_t groesse = std::clamp(whole(std::floor(Fn * std::max(xT, 0.0) / bedarf)), 1, Fn);
    while (groesse > 1 && !passt(groesse))
        --groesse;
    return groesse;
}

// The ticks of the scale and which of them carry a label: every `schritt`-th from the first.
struct Skala {
    std::vector<double> werte;
    std::vector<std::string> texte;
    std::vector<double> breiten; // of the texts at size Fn
    std::size_t schritt = 1;
    int32_t groesse = 0;
};

// Where the labels of every `schritt`-th tick stand at their text size: whether each stands
// two pixels clear of the next.
bool beschriftung_frei(Graphics& g, const Geometrie& geo, Skala& skala, double xT) {
    std::size_t breitester = 0;
    for (std::size_t i = 0; i < skala.werte.size(); i += skala.schritt)
        if (skala.breiten[i] > skala.breiten[breitester])
            breitester = i;
    skala.groesse = skalenschrift(g, skala.texte[breitester], xT, geo.Fn);
    g.TextSize = skala.groesse;
    const double noetig = g.TextHeight() + 2;
    for (std::size_t i = skala.schritt; i < skala.werte.size(); i += skala.schritt) {
        const int32_t u1 = whole(geo.y(skala.werte[i - skala.schritt]) + 0.3 * skala.groesse);
        const int32_t u2 = whole(geo.y(skala.werte[i]) + 0.3 * skala.groesse);
        if (std::abs(int64_t{u1} - u2) < noetig)
            return false;
    }
    return true;
}

// Labels step by one of 1, 2, 5, 10, 20, ... marks, the same for the whole axis: the
// smallest that is a whole number of tick steps and keeps the labels clear of each other.
void beschriftung_waehlen(Graphics& g, const Geometrie& geo, Skala& skala, double faktor,
                          double xT) {
    const double tickfaktor = std::isfinite(faktor) ? faktor : 1.0;
    // Each step is at least 1.5 times the one before, and fewer than 1,000 ticks end the loop.
    for (double stufe = tickfaktor;; stufe = runde_stufe(stufe * 1.5)) {
        const double vielfaches = stufe / tickfaktor;
        if (!(vielfaches < double(skala.werte.size())))
            break;
        if (std::abs(vielfaches - std::round(vielfaches)) > 1e-6)
            continue;
        skala.schritt = std::size_t(std::round(vielfaches));
        if (beschriftung_frei(g, geo, skala, xT))
            return;
    }
    // Where no step fits, the first tick alone is labelled.
    skala.schritt = skala.werte.size();
    beschriftung_frei(g, geo, skala, xT);
}

// Ticks at every mark from startwert or, where they would crowd, at every 2, 5, 10, 20, ...
// marks, and labels on every few ticks where they would crowd. None at endwert itself: the
// arrow head stands there, and a label stands clear of it. A step too small to change the
// value ends the scale.
void skalenstriche_zeichnen(Graphics& g, const Geometrie& geo, int32_t pfeil_oben,
                            int32_t pfeil_unten, Beschriftungen& texte) {
    const double xT = (pos_rand_l + pos_text_breite) * geo.U;
    const double strich_ende = (pos_rand_l + pos_text_breite + pos_pfeil_breite) * geo.U;
    const Strichschritt schritt = strichschritt(geo, g);
    const double faktor = schritt.faktor;
    const double abstand = schritt.abstand;
    Skala skala;
    g.TextSize = geo.Fn;
    for (double v = startwert; v < endwert && skala.werte.size() < hoechstzahl_striche;) {
        linie(g, xT, geo.y(v), strich_ende, geo.y(v));
        const double zehnfach = v * 10.0;
        skala.werte.push_back(v);
        skala.texte.push_back(Str(std::isfinite(zehnfach) ? std::round(zehnfach) / 10.0 : v));
        skala.breiten.push_back(g.StringWidth(skala.texte.back()));
        const double naechster = v + abstand;
        if (naechster == v)
            break;
        v = naechster;
    }
    if (skala.werte.empty())
        return;
    beschriftung_waehlen(g, geo, skala, faktor, xT);
    g.TextSize = skala.groesse;
    const double hoehe = g.TextHeight();
    for (std::size_t i = 0; i < skala.werte.size(); i += skala.schritt) {
        const double grundlinie = geo.y(skala.werte[i]) + 0.3 * skala.groesse;
        const int32_t u = whole(grundlinie);
        if (u - hoehe < pfeil_unten + 2 && pfeil_oben - 2 < u)
            continue;
        texte.hinzufuegen(skala_rang, skala.texte[i], skala.groesse,
                          {{xT - g.StringWidth(skala.texte[i]) - 0.2 * skala.groesse, grundlinie}},
                          false, false);
    }
}

// Value axis down the middle of the arrow column, an arrow head at its top and the ticks.
void skala_zeichnen(Graphics& g, const Geometrie& geo, int32_t hoehe, Beschriftungen& texte) {
    const double xA = (pos_rand_l + pos_text_breite + pos_pfeil_breite * 0.5) * geo.U;
    linie(g, xA, geo.Y0, xA, geo.Y0 + geo.PH);
    const double a = whole(std::min(pos_pfeil_breite * geo.U, pos_pfeil_hoehe * hoehe));
    g.FillPolygon({whole(xA), whole(geo.Y0), whole(xA + a * 0.5), whole(geo.Y0 + a * 0.5),
                   whole(xA - a * 0.5), whole(geo.Y0 + a * 0.5)});
    if (skala_mark > 0 && geo.skala_brauchbar())
        skalenstriche_zeichnen(g, geo, std::min(whole(geo.Y0), whole(geo.Y0 + a * 0.5)),
                               std::max(whole(geo.Y0), whole(geo.Y0 + a * 0.5)), texte);
}

} // namespace

void graphics_string_center(const PicturePtr& bild, std::string_view text, double x, double y,
                            double spanne) {
    Graphics& g = bild->graphics();
    const double breite = g.StringWidth(text);
    g.DrawString(text, whole(x + (spanne - breite) / 2), whole(y), 0, false);
}

void einen_boxplot_zeichnen(int32_t breite, int32_t hoehe, int32_t satz, bool mit_skala,
                            Ansicht ansicht) {
    bild_transfer = NewPicture(breite, hoehe, 16, ansicht.geraeteverhaeltnis);
    if (!bild_transfer)
        return;
    Graphics& g = bild_transfer->graphics();
    g.ForeColor = RGB(255, 255, 255);
    g.FillRect(0, 0, breite, hoehe);
    g.ForeColor = RGB(0, 0, 0);

    const Geometrie geo = geometrie(breite, hoehe, mit_skala);
    Beschriftungen texte;
    g.PenWidth = 2;
    g.PenHeight = 2;
    g.TextSize = geo.Fs;
    if (geo.skala_brauchbar()) {
        const bool ext = ausreisser_markiert(satz);
        box_zeichnen(g, geo, satz, texte);
        if (mittelwert_anzeigen)
            marke_zeichnen(g, geo, daten_basiswert(satz, mittelwert), geo.S, true, mittel_rang,
                           texte);
        whiskers_zeichnen(g, geo, satz, ext, texte);
        if (ext)
            ausreisser_zeichnen(g, geo, satz, texte);
    }
    name_zeichnen(g, geo, satz, texte);
    g.PenWidth = 1;
    g.PenHeight = 1;
    if (mit_skala)
        skala_zeichnen(g, geo, hoehe, texte);
    // A plot without the scale starts under the right margin of the plot before it, which
    // keeps that margin for its own labels.
    const double links =
        std::max({mit_skala ? 0.0 : pos_rand_l * geo.U, double(ansicht.sichtbar_ab), 0.0});
    texte.zeichnen(bild_transfer,
                   {links, double(std::min(breite, ansicht.sichtbar_bis)), double(hoehe)});
}

bool ausreisser_markiert(int32_t satz) {
    return boxplot_erweitert && daten_satzart(satz) == satzart_datenreihe;
}

double strichabstand(int32_t breite, int32_t hoehe, double geraeteverhaeltnis) {
    const PicturePtr probe = NewPicture(1, 1, 16, geraeteverhaeltnis);
    if (!probe)
        return skala_mark;
    probe->graphics().PenHeight = 1; // the ticks' pen
    return strichschritt(geometrie(breite, hoehe, true), probe->graphics()).abstand;
}

double boxrahmen_ende(int32_t breite, int32_t hoehe, bool mit_skala) {
    const Geometrie geo = geometrie(breite, hoehe, mit_skala);
    return double(whole(geo.xL)) + whole(geo.BW + 3);
}

Wertlage wertlage(int32_t breite, int32_t hoehe, bool mit_skala, double v) {
    const Geometrie geo = geometrie(breite, hoehe, mit_skala);
    return {geo.y(v), geo.xL, geo.BW, geo.cL, geo.cR, geo.xC, geo.S};
}

} // namespace Proc
