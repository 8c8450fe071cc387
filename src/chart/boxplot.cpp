#include "boxplot.h"

#include "chart/beschriftungen.h"
#include "chart/bilder.h"
#include "model/proc.h"
#include "model/text.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <tuple>

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
    double H = 0;   // height of the picture

    // Values can be placed only on a scale with a finite, non-zero range.
    bool skala_brauchbar() const { return R != 0.0 && std::isfinite(R); }

    // Whether a line or the middle of a mark at y falls on a row of the picture; what cannot
    // be seen gets no label.
    bool sichtbar(double y) const {
        const int32_t zeile = whole(y);
        return zeile >= 0 && zeile < H;
    }

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
    g.H = H;
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
    if (box_werte_anzeigen && geo.sichtbar(oben))
        texte.hinzufuegen(quartil_rang, Str(b4), Fs,
                          {{geo.xL, ueber(oben, Fs)}, {geo.xL, unter(oben, Fs)}});
    if (box_werte_anzeigen && geo.sichtbar(oben + BH))
        texte.hinzufuegen(quartil_rang, Str(b2), Fs,
                          {{geo.xL, unter(oben + BH, Fs)}, {geo.xL, ueber(oben + BH, Fs)}});
    linie(g, geo.xL, geo.y(b3), geo.xL + geo.BW, geo.y(b3));
    if (box_werte_anzeigen && geo.sichtbar(geo.y(b3))) {
        // The median label goes into the larger half of the box; equal halves put it below.
        const bool darueber = b3 - b2 < b4 - b3;
        const double x = geo.xL + 0.5 * Fs;
        const Beschriftungen::Stelle drueber{x, ueber(geo.y(b3), Fs)},
            drunter{x, unter(geo.y(b3), Fs)};
        texte.hinzufuegen(median_rang, Str(b3), Fs,
                          darueber ? std::vector{drueber, drunter} : std::vector{drunter, drueber});
    }
}

// A round mark of that diameter centred on the box's centre line at value v; its top edge.
int32_t marke_zeichnen(Graphics& g, const Geometrie& geo, double v, double durchmesser,
                       bool gefuellt) {
    const int32_t oben = whole(geo.y(v) - durchmesser * 0.5);
    const int32_t x = whole(geo.xC - durchmesser * 0.5);
    if (gefuellt)
        g.FillOval(x, oben, whole(durchmesser), whole(durchmesser));
    else
        g.DrawOval(x, oben, whole(durchmesser), whole(durchmesser));
    return oben;
}

// The mean's mark is as large as an outlier's ring, so that it reads as a dot, never as a
// dash; its label stands centred below it, else above it.
void mittelwert_zeichnen(Graphics& g, const Geometrie& geo, int32_t satz, Beschriftungen& texte) {
    const double v = daten_basiswert(satz, mittelwert);
    const double durchmesser = std::max(geo.S, double(g.SmallestHollowOval()));
    const int32_t oben = marke_zeichnen(g, geo, v, durchmesser, true);
    if (box_werte_anzeigen && geo.sichtbar(geo.y(v)))
        texte.hinzufuegen(
            mittel_rang, Str(v), geo.Fs,
            {{geo.xC, unter(oben + whole(durchmesser), geo.Fs)}, {geo.xC, ueber(oben, geo.Fs)}},
            true);
}

// A whisker cap at its end value, with the label of that value on the side away from the box,
// else on the other side.
void kappe_zeichnen(Graphics& g, const Geometrie& geo, double ende, bool oben,
                    Beschriftungen& texte) {
    const double y = geo.y(ende);
    linie(g, geo.cL, y, geo.cR, y);
    const Beschriftungen::Stelle drueber{geo.cL, ueber(y, geo.Fs)},
        drunter{geo.cL, unter(y, geo.Fs)};
    if (box_werte_anzeigen && geo.sichtbar(y))
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

// A ring's label stands level with it, right of it, else left of it, and never moves: beside
// another ring it would name that one. A ring gets none where the middle of another ring lies
// level with its label, as where rings a pixel apart run together, or where it lies outside
// the picture: its label would belong to two rings, or to none.
void ausreisser_beschriften(Graphics& g, const Geometrie& geo, const std::vector<double>& werte,
                            const std::vector<int32_t>& oben, std::size_t i, int32_t durchmesser,
                            Beschriftungen& texte) {
    if (!geo.sichtbar(geo.y(werte[i])))
        return;
    g.TextSize = geo.Fs;
    const double hoehe = g.TextHeight();
    const int32_t grundlinie = whole(oben[i] + durchmesser * 0.5 + hoehe * 0.5);
    const auto daneben = [&](std::size_t j) {
        const double mitte = oben[j] + durchmesser * 0.5;
        return mitte > grundlinie - hoehe && mitte < grundlinie;
    };
    // The rings follow their values, so those level with the label are next to it in the list.
    for (std::size_t j = i; j-- > 0 && std::abs(int64_t{oben[j]} - oben[i]) < hoehe;)
        if (daneben(j))
            return;
    for (std::size_t j = i + 1; j < oben.size() && std::abs(int64_t{oben[j]} - oben[i]) < hoehe;
         ++j)
        if (daneben(j))
            return;
    std::string text = Str(werte[i]);
    const double breite = g.StringWidth(text);
    const double abstand = std::max(2.0, 0.3 * geo.Fs);
    const double links = whole(geo.xC - durchmesser * 0.5);
    texte.hinzufuegen(ausreisser_rang, std::move(text), geo.Fs,
                      {{links + durchmesser + abstand, double(grundlinie)},
                       {links - abstand - breite, double(grundlinie)}},
                      false, false);
}

// Outliers are rings at least as large as the smallest that stays hollow at the picture's
// device pixel ratio, so that they never look like the mean's filled mark. The list is
// ascending, so marks on the same pixel row follow each other; each row gets one ring.
void ausreisser_zeichnen(Graphics& g, const Geometrie& geo, int32_t satz, Beschriftungen& texte) {
    const std::string& liste = daten_ausreisser(satz, ausreisser_liste);
    if (liste.empty())
        return;
    const double ring = std::max(geo.S, double(g.SmallestHollowOval()));
    std::vector<double> werte;
    std::vector<int32_t> oben;
    for (std::string_view feld : alle_felder(liste, ";")) {
        const double v = Val(feld);
        if (werte.empty() || whole(geo.y(v)) != whole(geo.y(werte.back()))) {
            werte.push_back(v);
            oben.push_back(marke_zeichnen(g, geo, v, ring, false));
        }
    }
    if (box_werte_anzeigen)
        for (std::size_t i = 0; i < werte.size(); ++i)
            ausreisser_beschriften(g, geo, werte, oben, i, whole(ring), texte);
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

// Scale labels are never drawn smaller than this, in pixels (unless the chart's own text is
// smaller): one that does not fit at this size is left out.
constexpr int32_t kleinste_skalenschrift = 6;

// The ticks of the scale, and which of them carry a label: every `schritt`-th from the first,
// with these texts at that size.
struct Skala {
    std::vector<double> werte;
    double rundung = 0; // how far a tick's value may lie off its true place by rounding
    std::size_t schritt = 1;
    std::vector<std::string> texte;
    int32_t groesse = 0;
};

// Tick i stands at startwert + i × abstand, computed anew for each: added up, the steps would
// drift. None stands within rounding of endwert, where the arrow head is, and a step lost
// against the start value ends the ticks.
Skala striche(double abstand) {
    Skala skala;
    skala.rundung = std::max(1e-9 * abstand, 4 * std::numeric_limits<double>::epsilon() *
                                                 std::max(std::abs(startwert), std::abs(endwert)));
    for (std::size_t i = 0; i < hoechstzahl_striche; ++i) {
        const double v = startwert + double(i) * abstand;
        if (!(endwert - v > skala.rundung) || (i > 0 && !(v > skala.werte.back())))
            break;
        skala.werte.push_back(v);
    }
    return skala;
}

double gerundet(double v, int32_t stellen) {
    const double faktor = std::pow(10.0, stellen);
    const double x = std::round(v * faktor) / faktor;
    return std::isfinite(x) ? x : v;
}

// The fewest decimals from `ab` on that write v true to its rounding, within 15 significant
// digits; -1 where those do not suffice.
int32_t stellen_fuer(double v, int32_t ab, double rundung) {
    if (v == 0.0)
        return ab;
    const int32_t hoechstens = 14 - whole(std::floor(std::log10(std::abs(v))));
    for (int32_t stellen = ab; stellen <= std::min(hoechstens, 308); ++stellen)
        if (std::abs(gerundet(v, stellen) - v) <= rundung)
            return stellen;
    return hoechstens < ab ? ab : -1;
}

// The texts of every `schritt`-th tick, all with one number of decimals: tenths where every
// one of them is a multiple of a tenth, else as many as the finest of them needs, else each
// with 15 significant digits.
std::vector<std::string> skalentexte(const Skala& skala, std::size_t schritt) {
    int32_t stellen = 1;
    for (std::size_t i = 0; i < skala.werte.size() && stellen >= 0; i += schritt)
        stellen = stellen_fuer(skala.werte[i], stellen, skala.rundung);
    std::vector<std::string> texte;
    for (std::size_t i = 0; i < skala.werte.size(); i += schritt)
        texte.push_back(Str(stellen < 0 ? skala.werte[i] : gerundet(skala.werte[i], stellen)));
    return texte;
}

// Whether a text of that size ends 0.2 sizes left of the ticks at xT without starting left of
// the picture.
bool passt(Graphics& g, std::string_view text, int32_t groesse, double xT) {
    g.TextSize = groesse;
    return g.StringWidth(text) + 0.2 * groesse <= xT;
}

// The largest text size from `kleinste` up to Fn at which the widest of the texts fits left
// of the ticks; `kleinste` where none does, and the texts that do not fit are left out.
int32_t skalenschrift(Graphics& g, const std::vector<std::string>& texte, double xT, int32_t Fn,
                      int32_t kleinste) {
    g.TextSize = Fn;
    std::string_view breitester;
    double breite = 0;
    for (const std::string& text : texte)
        if (const double b = g.StringWidth(text); b > breite)
            std::tie(breitester, breite) = std::tuple(text, b);
    const double bedarf = breite + 0.2 * Fn;
    if (bedarf <= xT)
        return Fn;
    // whole() keeps the estimate finite and within int32 for any layout.
    int32_t groesse = std::clamp(whole(std::floor(Fn * std::max(xT, 0.0) / bedarf)), kleinste,
                                 std::max(Fn, kleinste));
    while (groesse > kleinste && !passt(g, breitester, groesse, xT))
        --groesse;
    return groesse;
}

// Whether labels of that size on every `schritt`-th tick stand two pixels clear of each other.
bool abstand_frei(Graphics& g, const Geometrie& geo, const Skala& skala, std::size_t schritt,
                  int32_t groesse) {
    g.TextSize = groesse;
    const double hoehe = g.TextHeight();
    for (std::size_t i = schritt; i < skala.werte.size(); i += schritt) {
        const int32_t u1 = whole(geo.y(skala.werte[i - schritt]) + hoehe * 0.5);
        const int32_t u2 = whole(geo.y(skala.werte[i]) + hoehe * 0.5);
        if (std::abs(int64_t{u1} - u2) < hoehe + 2)
            return false;
    }
    return true;
}

// Labels step by one of 1, 2, 5, 10, 20, ... marks, the same for the whole axis: the smallest
// that is a whole number of tick steps, writes no two labels alike and keeps them clear of
// each other at the chart's own text size; failing that, the smallest that does so at a
// smaller size, down to the smallest legible one.
void beschriftung_waehlen(Graphics& g, const Geometrie& geo, Skala& skala, double faktor,
                          double xT) {
    const double tickfaktor = std::isfinite(faktor) ? faktor : 1.0;
    const int32_t kleinste = std::min(kleinste_skalenschrift, geo.Fn);
    for (bool verkleinern : {false, true})
        // Each step is at least 1.5 times the one before, and fewer than 1,000 ticks end the
        // loop.
        for (double stufe = tickfaktor;; stufe = runde_stufe(stufe * 1.5)) {
            const double vielfaches = stufe / tickfaktor;
            if (!(vielfaches < double(skala.werte.size())))
                break;
            if (std::abs(vielfaches - std::round(vielfaches)) > 1e-6)
                continue;
            const std::size_t schritt = std::size_t(std::round(vielfaches));
            std::vector<std::string> texte = skalentexte(skala, schritt);
            if (std::adjacent_find(texte.begin(), texte.end()) != texte.end())
                continue;
            const int32_t groesse =
                verkleinern ? skalenschrift(g, texte, xT, geo.Fn, kleinste) : geo.Fn;
            const auto passt_ganz = [&](const std::string& text) {
                return passt(g, text, geo.Fn, xT);
            };
            if ((verkleinern || std::all_of(texte.begin(), texte.end(), passt_ganz)) &&
                abstand_frei(g, geo, skala, schritt, groesse)) {
                std::tie(skala.schritt, skala.texte, skala.groesse) =
                    std::tuple(schritt, std::move(texte), groesse);
                return;
            }
        }
    // Where no step fits, the first tick alone is labelled.
    skala.schritt = skala.werte.size();
    skala.texte = skalentexte(skala, skala.schritt);
    skala.groesse = skalenschrift(g, skala.texte, xT, geo.Fn, kleinste);
}

// Ticks at every mark from startwert or, where they would crowd, at every 2, 5, 10, 20, ...
// marks, and labels on every few ticks where they would crowd. None at endwert itself: the
// arrow head stands there, and a label stands clear of it.
void skalenstriche_zeichnen(Graphics& g, const Geometrie& geo, int32_t pfeil_oben,
                            int32_t pfeil_unten, Beschriftungen& texte) {
    const double xT = (pos_rand_l + pos_text_breite) * geo.U;
    const double strich_ende = (pos_rand_l + pos_text_breite + pos_pfeil_breite) * geo.U;
    const Strichschritt schritt = strichschritt(geo, g);
    Skala skala = striche(schritt.abstand);
    for (double v : skala.werte)
        linie(g, xT, geo.y(v), strich_ende, geo.y(v));
    if (skala.werte.empty())
        return;
    beschriftung_waehlen(g, geo, skala, schritt.faktor, xT);
    g.TextSize = skala.groesse;
    const double hoehe = g.TextHeight();
    for (std::size_t k = 0; k < skala.texte.size(); ++k) {
        // Level with its tick: where ticks stand a few pixels apart, a label a little above or
        // below it would stand level with the next.
        const double grundlinie = geo.y(skala.werte[k * skala.schritt]) + hoehe * 0.5;
        const int32_t u = whole(grundlinie);
        if (u - hoehe < pfeil_unten + 2 && pfeil_oben - 2 < u)
            continue;
        texte.hinzufuegen(skala_rang, skala.texte[k], skala.groesse,
                          {{xT - g.StringWidth(skala.texte[k]) - 0.2 * skala.groesse, grundlinie}},
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
            mittelwert_zeichnen(g, geo, satz, texte);
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
