#include "erkundung.h"

#include "chart/beschreibung.h"
#include "chart/boxplot.h"
#include "chart/zusammensetzung.h"
#include "model/proc.h"
#include "model/text.h"

#include <algorithm>
#include <cmath>

namespace Proc {

namespace {

// Lines and the outlines of marks are drawn with a pen of two pixels.
constexpr double stift = 2.0;

// The values of one set, collected with their place in its plot.
class Satzwerte {
public:
    Satzwerte(const Streifen& streifen, std::vector<Chartwert>& werte)
        : streifen_(streifen), werte_(werte),
          satzname_("Satz " + NthField(daten_reihenname, ";", streifen.satz)) {}

    // A horizontal line from the box's left edge across its width, or across a whisker's cap.
    void linie(Wertart art, const std::string& wort, double v, bool kappe) {
        const Wertlage l = lage(v);
        const double links = whole(kappe ? l.kappe_links : l.box_links);
        const double rechts = whole(kappe ? l.kappe_rechts : l.box_links + l.box_breite);
        hinzufuegen(art, wort + " " + zahl_gesprochen(v),
                    {links, double(whole(l.y)), rechts - links + stift, stift}, false);
    }

    // A round mark on the box's centre line.
    void marke(Wertart art, std::string text, double v) {
        const Wertlage l = lage(v);
        const double oben = whole(l.y - l.marke * 0.5), d = whole(l.marke);
        hinzufuegen(art, std::move(text), {double(whole(l.mitte - l.marke * 0.5)), oben, d, d},
                    true);
    }

    // Outliers above or below the box, from the top. They lie beyond the whiskers' ends, so
    // those above the median lie above the box.
    void ausreisser(Wertart art, const std::vector<GenannterAusreisser>& genannt,
                    std::size_t anzahl) {
        const double median_wert = daten_basiswert(streifen_.satz, median);
        for (auto a = genannt.rbegin(); a != genannt.rend(); ++a)
            if ((a->wert > median_wert) == (art == Wertart::ausreisser_oben))
                marke(art,
                      "Ausreißer " + zahl_gesprochen(a->wert) + ", " + std::to_string(a->nummer) +
                          " von " + std::to_string(anzahl),
                      a->wert);
    }

private:
    struct Rechteck {
        double links, oben, breite, hoehe;
    };

    Wertlage lage(double v) const {
        return wertlage(streifen_.breite, hoehe_bild, streifen_.mit_skala, v);
    }

    // Whatever the layout and the values, the rectangle reaches at most a little beyond the
    // chart's edges, where no mark shows it.
    void hinzufuegen(Wertart art, std::string wert, Rechteck r, bool rund) {
        const auto gleich = [&](const Chartwert& w) {
            return w.satz == streifen_.satz && w.art == art;
        };
        const int32_t rang = int32_t(std::count_if(werte_.begin(), werte_.end(), gleich));
        const auto nah = [](double v, int32_t kante) {
            return std::clamp(v, -100.0, kante + 100.0);
        };
        const double links = nah(streifen_.x + r.links, breite_bild);
        const double rechts = nah(streifen_.x + r.links + std::max(r.breite, 0.0), breite_bild);
        const double oben = nah(r.oben, hoehe_bild);
        const double unten = nah(r.oben + std::max(r.hoehe, 0.0), hoehe_bild);
        werte_.push_back({streifen_.satz, art, rang, satzname_, std::move(wert), links, oben,
                          rechts - links, unten - oben, rund});
    }

    const Streifen& streifen_;
    std::vector<Chartwert>& werte_;
    std::string satzname_;
};

void satz_erfassen(const Streifen& streifen, std::vector<Chartwert>& werte) {
    const int32_t satz = streifen.satz;
    const auto b = [satz](int32_t spalte) { return daten_basiswert(satz, spalte); };
    const bool ext = ausreisser_markiert(satz);
    const Ausreisserauswahl ausreisser =
        ext ? genannte_ausreisser(daten_ausreisser(satz, ausreisser_liste)) : Ausreisserauswahl{};
    Satzwerte s(streifen, werte);
    s.ausreisser(Wertart::ausreisser_oben, ausreisser.genannt, ausreisser.anzahl);
    if (ext)
        s.linie(Wertart::whisker_oben, "oberer Whisker bis",
                Val(daten_ausreisser(satz, whisker_oben)), true);
    else
        s.linie(Wertart::whisker_oben, "Maximum", b(maximum), true);
    s.linie(Wertart::oberes_quartil, "oberes Quartil", b(oberes_quartil), false);
    s.linie(Wertart::median, "Median", b(median), false);
    if (mittelwert_anzeigen)
        s.marke(Wertart::mittelwert, "Mittelwert " + zahl_gesprochen(b(mittelwert)), b(mittelwert));
    s.linie(Wertart::unteres_quartil, "unteres Quartil", b(unteres_quartil), false);
    if (ext)
        s.linie(Wertart::whisker_unten, "unterer Whisker bis",
                Val(daten_ausreisser(satz, whisker_unten)), true);
    else
        s.linie(Wertart::whisker_unten, "Minimum", b(minimum), true);
    s.ausreisser(Wertart::ausreisser_unten, ausreisser.genannt, ausreisser.anzahl);
}

// "Datenreihe, 8 Werte" or "Box-Werte"; nothing for a set whose kind was never chosen.
std::string satzart_name(int32_t satz) {
    if (daten_satzart(satz) == satzart_boxwerte)
        return "Box-Werte";
    if (daten_satzart(satz) != satzart_datenreihe)
        return {};
    const double anzahl = daten_basiswert(satz, Basiswert::anzahl);
    return "Datenreihe, " + zahl_gesprochen(anzahl) + (anzahl == 1 ? " Wert" : " Werte");
}

} // namespace

// Values can be placed only on a scale with a finite, non-zero range; the plots then show
// their names alone.
std::vector<Chartwert> chartwerte() {
    const double spanne = endwert - startwert;
    if (spanne == 0.0 || !std::isfinite(spanne))
        return {};
    std::vector<Chartwert> werte;
    for (const Streifen& streifen : streifen_anordnen())
        satz_erfassen(streifen, werte);
    return werte;
}

std::optional<std::size_t> Erkundung::finden(int32_t satz, Wertart art, int32_t rang) const {
    const auto w = std::find_if(werte_.begin(), werte_.end(), [&](const Chartwert& w) {
        return w.satz == satz && w.art == art && w.rang == rang;
    });
    if (w == werte_.end())
        return std::nullopt;
    return std::size_t(w - werte_.begin());
}

std::optional<std::size_t> Erkundung::stelle() const {
    return finden(satz_, art_, rang_);
}

void Erkundung::setzen(std::size_t i) {
    satz_ = werte_[i].satz;
    art_ = werte_[i].art;
    rang_ = werte_[i].rang;
}

std::size_t Erkundung::gleiche_stelle(int32_t satz) const {
    const std::optional<std::size_t> gleich = finden(satz, art_, rang_);
    return gleich ? *gleich : *finden(satz, Wertart::median, 0);
}

void Erkundung::aktualisieren() {
    werte_ = chartwerte();
    art_nennen_ = false; // a step's announcement is past
    if (werte_.empty())
        return;
    const bool gezeigt = std::any_of(werte_.begin(), werte_.end(),
                                     [this](const Chartwert& w) { return w.satz == satz_; });
    setzen(gezeigt ? gleiche_stelle(satz_) : *finden(werte_.front().satz, Wertart::median, 0));
}

void Erkundung::gehen(Schritt schritt) {
    const std::optional<std::size_t> hier = stelle();
    if (!hier)
        return;
    const std::size_t i = *hier;
    // A set's values lie together in werte_, from erster to letzter.
    const auto im_satz = [this](const Chartwert& w) { return w.satz == satz_; };
    const std::size_t erster =
        std::size_t(std::find_if(werte_.begin(), werte_.end(), im_satz) - werte_.begin());
    const std::size_t letzter =
        werte_.size() - 1 -
        std::size_t(std::find_if(werte_.rbegin(), werte_.rend(), im_satz) - werte_.rbegin());
    std::size_t ziel = i;
    switch (schritt) {
    case Schritt::hoch:
        ziel = std::max(i, erster + 1) - 1;
        break;
    case Schritt::runter:
        ziel = std::min(i + 1, letzter);
        break;
    case Schritt::anfang:
        ziel = erster;
        break;
    case Schritt::ende:
        ziel = letzter;
        break;
    case Schritt::links:
        ziel = erster > 0 ? gleiche_stelle(werte_[erster - 1].satz) : i;
        break;
    case Schritt::rechts:
        ziel = letzter + 1 < werte_.size() ? gleiche_stelle(werte_[letzter + 1].satz) : i;
        break;
    }
    setzen(ziel);
    art_nennen_ = satz_ != genannter_satz_;
    genannter_satz_ = satz_;
}

std::string Erkundung::name(std::size_t i) const {
    const Chartwert& w = werte_[i];
    std::string art = art_nennen_ && stelle() == i ? satzart_name(w.satz) : std::string();
    return w.satzname + ", " + (art.empty() ? "" : art + ", ") + w.wert;
}

} // namespace Proc
