#include "zusammensetzung.h"

#include "chart/beschreibung.h"
#include "chart/bilder.h"
#include "chart/boxplot.h"
#include "model/proc.h"
#include "model/text.h"

#include <algorithm>
#include <limits>

namespace Proc {

namespace {

// A box's outline is 3 pixels wider than the box itself, so it reaches past the box's right
// end into the right margin of its strip.
constexpr double ueberstand_boxrahmen = 3.0;

// Strips overlap; a strip is drawn without its white background, so its margins never wipe
// out what the strip before it drew there. Each is made for the chart's device pixel ratio
// and keeps its labels inside the chart.
void streifen_einfuegen(Graphics& g, int32_t breite, int32_t satz, bool mit_skala, int32_t x) {
    const auto innen = [](int64_t pixel) {
        return int32_t(std::clamp<int64_t>(pixel, 0, std::numeric_limits<int32_t>::max()));
    };
    einen_boxplot_zeichnen(
        breite, hoehe_bild, satz, mit_skala,
        {bild_ergebnis->devicePixelRatio(), innen(-int64_t{x}), innen(int64_t{breite_bild} - x)});
    g.DrawPicture(bild_transfer, x, 0, true);
}

// Set 1 carries the scale in a wider strip; the others follow at the spacing of gap plus
// box, each strip's right margin lying under the start of the next, laid out across the
// given width.
struct Aufteilung {
    double w1; // width of the first strip
    double w;  // width of the others
    int32_t n;

    static Aufteilung ueber(double W, int32_t n) {
        const double D = (n - 1) * (pos_abst_pfeil_box + pos_box_breite) + 1.0;
        const double rest = (pos_abst_pfeil_box + pos_box_breite) + pos_rand_r;
        return {(W * (((rest + pos_rand_l) + pos_text_breite) + pos_pfeil_breite)) / D,
                (W * rest) / D, n};
    }
    int32_t x(int32_t i) const {
        const double G = pos_abst_pfeil_box, B = pos_box_breite, M = pos_rand_r;
        return whole((((i - 2) * w) / ((G + B) + M)) * (G + B) + w1);
    }
    // Where the outline of the last box ends.
    double ende() const { return x(n) + boxrahmen_ende(whole(w), hoehe_bild, false); }
};

// The last strip's right margin falls outside the picture. The strips are laid out so that
// the last box's outline still fits: across W - 3 pixels, and narrower by a pixel at a time
// where rounding would still push it out.
std::vector<Streifen> alle_saetze(const std::vector<int32_t>& saetze) {
    const int32_t n = int32_t(saetze.size());
    double breite = std::max(breite_bild - ueberstand_boxrahmen, 1.0);
    Aufteilung streifen = Aufteilung::ueber(breite, n);
    for (int versuch = 0; versuch < 8 && streifen.ende() > breite_bild && breite > 1; ++versuch)
        streifen = Aufteilung::ueber(--breite, n);
    std::vector<Streifen> lage{{saetze[0], 0, whole(streifen.w1), true}};
    for (int32_t i = 2; i <= n; ++i)
        lage.push_back({saetze[std::size_t(i - 1)], streifen.x(i), whole(streifen.w), false});
    return lage;
}

} // namespace

std::vector<int32_t> gezeigte_saetze() {
    const int32_t n = std::min(daten_max_satz_anzahl, hoechste_satzanzahl);
    if (!daten_alle_saetze_zeichnen || n <= 1)
        return {std::clamp(daten_akt_satz, 1, hoechste_satzanzahl)};
    std::vector<int32_t> saetze;
    for (int32_t satz = 1; satz <= n; ++satz)
        saetze.push_back(satz);
    return saetze;
}

std::vector<Streifen> streifen_anordnen() {
    const std::vector<int32_t> saetze = gezeigte_saetze();
    if (saetze.size() == 1)
        return {{saetze.front(), 0, breite_bild, true}};
    return alle_saetze(saetze);
}

bool bild_zusammensetzen(double geraeteverhaeltnis) {
    PicturePtr bild = NewPicture(breite_bild, hoehe_bild, 16, geraeteverhaeltnis);
    if (!bild)
        return false;
    bild_ergebnis = bild;
    Graphics& g = bild->graphics();
    g.ForeColor = RGB(255, 255, 255);
    g.FillRect(0, 0, breite_bild, hoehe_bild);
    g.ForeColor = RGB(0, 0, 0);

    const std::vector<Streifen> streifen = streifen_anordnen();
    for (const Streifen& s : streifen)
        streifen_einfuegen(g, s.breite, s.satz, s.mit_skala, s.x);
    const int32_t skalenbreite = streifen.front().breite;
    const Diagrammtext text =
        diagramm_beschreiben(strichabstand(skalenbreite, hoehe_bild, geraeteverhaeltnis));
    bild->setText(QString::fromStdString(text.name), QString::fromStdString(text.beschreibung));
    return true;
}

} // namespace Proc
