#include "boxplot.h"

#include "chart/pictures.h"
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

// The labels of one plot, collected while it is drawn and drawn at its end: each one only
// where it lies whole inside the plot's room and clear of every label placed before it, so
// that no number is cut or printed over another. Lower ranks are placed first.
enum Rang {
    name_rang,
    whisker_rang,
    median_rang,
    quartil_rang,
    mittel_rang,
    ausreisser_rang,
    skala_rang
};

class Beschriftungen {
public:
    // A label with the left end of its baseline at (x, y), or centred on x.
    void hinzufuegen(Rang rang, std::string text, double x, double y, int32_t groesse,
                     bool zentriert = false) {
        texte_.push_back({rang, std::move(text), x, y, groesse, zentriert});
    }

    // Draws the labels that fit into the room [links, rechts) × [0, unten) of the picture.
    void zeichnen(const PicturePtr& bild, double links, double rechts, double unten) {
        Graphics& g = bild->graphics();
        std::stable_sort(texte_.begin(), texte_.end(),
                         [](const Text& a, const Text& b) { return a.rang < b.rang; });
        std::vector<Kasten> belegt;
        for (const Text& t : texte_) {
            g.TextSize = t.groesse;
            const double breite = g.StringWidth(t.text);
            const double l = whole(t.zentriert ? t.x - breite / 2 : t.x);
            const double u = whole(t.y);
            const Kasten k{l, u - g.TextHeight(), l + breite, u};
            const bool im_raum = k.l >= whole(links) && k.r <= rechts && k.o >= 0 && k.u <= unten;
            if (t.text.empty() || !im_raum ||
                std::any_of(belegt.begin(), belegt.end(),
                            [&k](const Kasten& b) { return k.beruehrt(b); }))
                continue;
            belegt.push_back(k);
            if (t.zentriert)
                graphics_string_center(bild, t.text, t.x, t.y, 0);
            else
                g.DrawString(t.text, whole(t.x), whole(t.y), 0, false);
        }
    }

private:
    struct Text {
        Rang rang;
        std::string text;
        double x, y;
        int32_t groesse;
        bool zentriert;
    };
    // The ink of a label, from its left end to its width and from the top of its digits to
    // its baseline; labels keep two pixels apart.
    struct Kasten {
        double l, o, r, u;
        bool beruehrt(const Kasten& b) const {
            return l < b.r + 2 && b.l < r + 2 && o < b.u + 2 && b.o < u + 2;
        }
    };
    std::vector<Text> texte_;
};

void linie(Graphics& g, double x1, double y1, double x2, double y2) {
    g.DrawLine(whole(x1), whole(y1), whole(x2), whole(y2));
}

// Box from lower to upper quartile with the median line, and their labels.
void box_zeichnen(Graphics& g, const Geometrie& geo, int32_t satz, Beschriftungen& texte) {
    const double b2 = daten_basiswert(satz, unteres_quartil);
    const double b3 = daten_basiswert(satz, median);
    const double b4 = daten_basiswert(satz, oberes_quartil);
    const double BH = geo.PH * (b4 - b2) / geo.R;
    const double oben = geo.y(b4);

    // The outline is 3 pixels wider and 2 higher than the box itself.
    g.DrawRect(whole(geo.xL), whole(oben), whole(geo.BW + 3), whole(BH + 2));
    if (box_werte_anzeigen) {
        texte.hinzufuegen(quartil_rang, Str(b4), geo.xL, oben - 0.2 * geo.Fs, geo.Fs);
        texte.hinzufuegen(quartil_rang, Str(b2), geo.xL, oben + BH + 1.2 * geo.Fs, geo.Fs);
    }
    linie(g, geo.xL, geo.y(b3), geo.xL + geo.BW, geo.y(b3));
    if (box_werte_anzeigen) {
        // The median label goes into the larger half of the box; equal halves put it below.
        const bool darueber = b3 - b2 < b4 - b3;
        const double grundlinie = darueber ? geo.y(b3) - 0.2 * geo.Fs : geo.y(b3) + 1.2 * geo.Fs;
        texte.hinzufuegen(median_rang, Str(b3), geo.xL + 0.5 * geo.Fs, grundlinie, geo.Fs);
    }
}

// A round mark of diameter S centred on the box's centre line at value v, with its label
// centred below it.
void marke_zeichnen(Graphics& g, const Geometrie& geo, double v, bool gefuellt, Rang rang,
                    Beschriftungen& texte) {
    const double oben = geo.y(v) - geo.S * 0.5;
    const int32_t x = whole(geo.xC - geo.S * 0.5);
    if (gefuellt)
        g.FillOval(x, whole(oben), whole(geo.S), whole(geo.S));
    else
        g.DrawOval(x, whole(oben), whole(geo.S), whole(geo.S));
    if (box_werte_anzeigen)
        texte.hinzufuegen(rang, Str(v), geo.xC, oben + geo.S + 1.2 * geo.Fs, geo.Fs, true);
}

// A whisker cap at its end value, with the label of that value.
void kappe_zeichnen(Graphics& g, const Geometrie& geo, double ende, double label_abstand,
                    Beschriftungen& texte) {
    linie(g, geo.cL, geo.y(ende), geo.cR, geo.y(ende));
    if (box_werte_anzeigen)
        texte.hinzufuegen(whisker_rang, Str(ende), geo.cL, geo.y(ende) + label_abstand, geo.Fs);
}

// The upper whisker runs from the box up to its end, the lower one from its end up to the
// box; each ends in a cap.
void whiskers_zeichnen(Graphics& g, const Geometrie& geo, int32_t satz, bool ext,
                       Beschriftungen& texte) {
    const double oben =
        ext ? Val(daten_ausreisser(satz, whisker_oben)) : daten_basiswert(satz, maximum);
    linie(g, geo.xC, geo.y(daten_basiswert(satz, oberes_quartil)), geo.xC, geo.y(oben));
    kappe_zeichnen(g, geo, oben, -0.2 * geo.Fs, texte);
    const double unten =
        ext ? Val(daten_ausreisser(satz, whisker_unten)) : daten_basiswert(satz, minimum);
    linie(g, geo.xC, geo.y(unten), geo.xC, geo.y(daten_basiswert(satz, unteres_quartil)));
    kappe_zeichnen(g, geo, unten, 1.2 * geo.Fs, texte);
}

void ausreisser_zeichnen(Graphics& g, const Geometrie& geo, int32_t satz, Beschriftungen& texte) {
    const std::string& liste = daten_ausreisser(satz, ausreisser_liste);
    if (liste.empty())
        return;
    // The list is ascending, so marks on the same pixel row follow each other; each row
    // gets one mark and one label, however many outliers share it.
    bool erste = true;
    int32_t letzte_zeile = 0;
    for (std::string_view feld : Fields(liste, ";")) {
        const double v = Val(feld);
        const int32_t zeile = whole(geo.y(v));
        if (!erste && zeile == letzte_zeile)
            continue;
        erste = false;
        letzte_zeile = zeile;
        marke_zeichnen(g, geo, v, false, ausreisser_rang, texte);
    }
}

// The set's name, its left end a fifth of its width left of the box's centre line.
void name_zeichnen(Graphics& g, const Geometrie& geo, int32_t satz, Beschriftungen& texte) {
    g.TextSize = geo.Fn;
    std::string name = NthField(daten_reihenname, ";", satz);
    const double x = geo.xC - 0.2 * g.StringWidth(name);
    texte.hinzufuegen(name_rang, std::move(name), x, geo.Y0, geo.Fn);
}

// The distance between ticks: the mark, or where that would give more ticks than the cap, the
// smallest multiple of the mark that stays within it.
double strichabstand(const Geometrie& geo) {
    const double noetig = geo.R / hoechstzahl_striche;
    if (skala_mark >= noetig)
        return skala_mark;
    const double vielfaches = std::ceil(noetig / skala_mark);
    return std::isfinite(vielfaches) ? vielfaches * skala_mark : noetig;
}

// The largest text size up to Fn at which the widest tick label ends 0.2 sizes left of the
// ticks without starting left of the picture.
int32_t skalenschrift(Graphics& g, const std::vector<std::string>& texte, double xT, int32_t Fn) {
    g.TextSize = Fn;
    std::string breitester;
    for (const std::string& t : texte)
        if (g.StringWidth(t) > g.StringWidth(breitester))
            breitester = t;
    const auto passt = [&](int32_t groesse) {
        g.TextSize = groesse;
        return g.StringWidth(breitester) + 0.2 * groesse <= xT;
    };
    if (passt(Fn))
        return Fn;
    const double bedarf = g.StringWidth(breitester) + 0.2 * Fn;
    // whole() keeps the estimate finite and within int32 for any layout.
    int32_t groesse = std::clamp(whole(std::floor(Fn * std::max(xT, 0.0) / bedarf)), 1, Fn);
    while (groesse > 1 && !passt(groesse))
        --groesse;
    return groesse;
}

void skalenstriche_zeichnen(Graphics& g, const Geometrie& geo, Beschriftungen& texte) {
    const double xT = (pos_rand_l + pos_text_breite) * geo.U;
    const double strich_ende = (pos_rand_l + pos_text_breite + pos_pfeil_breite) * geo.U;
    const double abstand = strichabstand(geo);
    std::vector<double> werte;
    std::vector<std::string> beschriftung;
    // No tick at endwert itself: the arrow head stands there. A step too small to change v
    // ends the scale.
    for (double v = startwert; v < endwert && werte.size() < hoechstzahl_striche;) {
        linie(g, xT, geo.y(v), strich_ende, geo.y(v));
        const double zehnfach = v * 10.0;
        werte.push_back(v);
        beschriftung.push_back(Str(std::isfinite(zehnfach) ? std::round(zehnfach) / 10.0 : v));
        const double naechster = v + abstand;
        if (naechster == v)
            break;
        v = naechster;
    }
    const int32_t groesse = skalenschrift(g, beschriftung, xT, geo.Fn);
    g.TextSize = groesse;
    for (std::size_t i = 0; i < werte.size(); ++i)
        texte.hinzufuegen(skala_rang, beschriftung[i],
                          xT - g.StringWidth(beschriftung[i]) - 0.2 * groesse,
                          geo.y(werte[i]) + 0.3 * groesse, groesse);
}

// Value axis down the middle of the arrow column, an arrow head at its top and the ticks.
void skala_zeichnen(Graphics& g, const Geometrie& geo, int32_t hoehe, Beschriftungen& texte) {
    const double xA = (pos_rand_l + pos_text_breite + pos_pfeil_breite * 0.5) * geo.U;
    linie(g, xA, geo.Y0, xA, geo.Y0 + geo.PH);
    const double a = whole(std::min(pos_pfeil_breite * geo.U, pos_pfeil_hoehe * hoehe));
    g.FillPolygon({whole(xA), whole(geo.Y0), whole(xA + a * 0.5), whole(geo.Y0 + a * 0.5),
                   whole(xA - a * 0.5), whole(geo.Y0 + a * 0.5)});
    if (skala_mark > 0 && geo.skala_brauchbar())
        skalenstriche_zeichnen(g, geo, texte);
}

} // namespace

void graphics_string_center(const PicturePtr& bild, std::string_view text, double x, double y,
                            double spanne) {
    Graphics& g = bild->graphics();
    const double breite = g.StringWidth(text);
    g.DrawString(text, whole(x + (spanne - breite) / 2), whole(y), 0, false);
}

void einen_boxplot_zeichnen(int32_t breite, int32_t hoehe, int32_t satz, bool mit_skala) {
    bild_transfer = NewPicture(breite, hoehe, 16);
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
            marke_zeichnen(g, geo, daten_basiswert(satz, mittelwert), true, mittel_rang, texte);
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
    texte.zeichnen(bild_transfer, mit_skala ? 0.0 : pos_rand_l * geo.U, breite, hoehe);
}

bool ausreisser_markiert(int32_t satz) {
    return boxplot_erweitert && daten_satzart(satz) == satzart_datenreihe;
}

double boxrahmen_ende(int32_t breite, int32_t hoehe, bool mit_skala) {
    const Geometrie geo = geometrie(breite, hoehe, mit_skala);
    return double(whole(geo.xL)) + whole(geo.BW + 3);
}

} // namespace Proc
