// Whether what a chart's labels say is true, read from its display list: every number a label
// writes is the value of the tick, box edge, median, whisker cap or mark nearest to it of that
// kind, at the resolution of the picture; no two labels of a plot name one place differently or
// one value at two places, and labels keep the order of their ticks and rings; a ring's label
// stands level with that ring alone; a mean reads as a dot and lies within its data.
#pragma once

#include "chart/zusammensetzung.h"
#include "model/proc.h"
#include "model/text.h"
#include "platform/picture.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace wahrheit {

// The kinds of things a label can stand beside; a scale label only beside a tick.
enum class Art { strich, kante, median, kappe, mittel, ring };

struct Ding {
    Art art;
    double zeile; // the pixel row its value stands at
    QRectF flaeche;
};

struct Zahl {
    double wert;
    QRectF flaeche;
    std::string text;
    const Ding* ding = nullptr;
};

// A label's text as a number, where the whole text is one (a decimal comma allowed).
inline std::optional<double> zahl(std::string text) {
    std::replace(text.begin(), text.end(), ',', '.');
    double wert = 0;
    const auto [ende, fehler] = std::from_chars(text.data(), text.data() + text.size(), wert);
    if (text.empty() || fehler != std::errc() || ende != text.data() + text.size())
        return std::nullopt;
    return wert;
}

// The lines and marks of one plot, in the order the plot draws them: the box, then the median,
// the mean, whiskers with their caps and the rings; the scale's ticks with a pen of 1 pixel.
inline std::vector<Ding> dinge(const Picture& streifen, const QRectF& sichtbar) {
    std::vector<Ding> alle;
    bool median_gesehen = false;
    for (const Drawing& z : streifen.drawings()) {
        const std::vector<QRectF> tinte = inkRects(z);
        if (tinte.empty())
            continue;
        const auto dazu = [&](Art art, double zeile, const QRectF& flaeche) {
            if (zeile >= sichtbar.top() && zeile < sichtbar.bottom() &&
                flaeche.intersects(sichtbar))
                alle.push_back({art, zeile, flaeche});
        };
        const QRectF f = tinte.front();
        if (z.kind == Drawing::Kind::DrawLine && z.y == z.y2 && z.penHeight == 1)
            dazu(Art::strich, z.y, f);
        else if (z.kind == Drawing::Kind::DrawLine && z.y == z.y2)
            dazu(std::exchange(median_gesehen, true) ? Art::kappe : Art::median, z.y, f);
        else if (z.kind == Drawing::Kind::DrawRect)
            // The top edge at the upper quartile, the bottom one a box height below it (above
            // it in a box whose quartiles are the wrong way round).
            for (double zeile : {double(z.y), double(z.y) + z.height - z.penHeight})
                dazu(Art::kante, zeile, QRectF(f.left(), zeile, f.width(), z.penHeight));
        else if (z.kind == Drawing::Kind::FillOval || z.kind == Drawing::Kind::DrawOval)
            dazu(z.kind == Drawing::Kind::FillOval ? Art::mittel : Art::ring, f.center().y(), f);
    }
    return alle;
}

// Nearest first by the gap between the label and the thing, then by the rows between their
// middles.
inline std::pair<double, double> abstand(const QRectF& text, const Ding& ding) {
    const double dx =
        std::max({0.0, ding.flaeche.left() - text.right(), text.left() - ding.flaeche.right()});
    const double dy =
        std::max({0.0, ding.flaeche.top() - text.bottom(), text.top() - ding.flaeche.bottom()});
    return {std::hypot(dx, dy), std::abs(text.center().y() - ding.zeile)};
}

// Rows from the top of a plot to the value's place, and back; one and a half rows for the
// rounding of lines and marks to whole pixels.
struct Skala {
    double Y0, PH, R;
    double wert(double zeile) const { return Proc::startwert + R * (1 - (zeile - Y0) / PH); }
    bool gleich(double a, double b) const {
        return std::abs(a - b) <=
               1.5 * std::abs(R / PH) + 1e-12 * std::max(std::abs(a), std::abs(b));
    }
};

inline std::string fehler(const Zahl& z, const std::string& was) {
    return "\"" + z.text + "\" " + was;
}

// The first untrue label of one plot of set satz, empty when all are true.
inline std::string streifen_pruefen(const Picture& streifen, const QRectF& sichtbar, int32_t satz) {
    using namespace Proc;
    const Skala skala{pos_rand_o * streifen.height(),
                      (1.0 - pos_rand_o - pos_rand_u) * streifen.height(), endwert - startwert};
    const std::vector<Ding> alle = dinge(streifen, sichtbar);
    // Labels left of every tick belong to the scale (a label in a tiny font may touch its tick).
    double strich_links = -qInf();
    for (const Ding& d : alle)
        if (d.art == Art::strich)
            strich_links = std::isinf(strich_links) ? d.flaeche.left()
                                                    : std::min(strich_links, d.flaeche.left());
    std::vector<Zahl> zahlen;
    bool name_gesehen = false;
    for (const Drawing& z : streifen.drawings()) {
        if (z.kind != Drawing::Kind::DrawString)
            continue;
        if (!name_gesehen && z.text == NthField(daten_reihenname, ";", satz)) {
            name_gesehen = true;
            continue;
        }
        if (const std::optional<double> wert = zahl(z.text); wert && !inkRects(z).empty())
            zahlen.push_back({*wert, inkRects(z).front(), z.text});
    }
    // Of the nearest thing of each kind, the nearest whose value the label names.
    for (Zahl& z : zahlen) {
        const bool an_der_skala = z.flaeche.center().x() < strich_links;
        const Ding* naechstes = nullptr;
        for (Art art : {Art::strich, Art::kante, Art::median, Art::kappe, Art::mittel, Art::ring}) {
            const Ding* bestes = nullptr;
            for (const Ding& d : alle)
                if (d.art == art && (art == Art::strich) == an_der_skala &&
                    (!bestes || abstand(z.flaeche, d) < abstand(z.flaeche, *bestes)))
                    bestes = &d;
            if (!bestes)
                continue;
            const bool naeher =
                !z.ding || abstand(z.flaeche, *bestes) < abstand(z.flaeche, *z.ding);
            if (naeher && skala.gleich(z.wert, skala.wert(bestes->zeile)))
                z.ding = bestes;
            if (!naechstes || abstand(z.flaeche, *bestes) < abstand(z.flaeche, *naechstes))
                naechstes = bestes;
        }
        if (!z.ding)
            return fehler(z, naechstes ? "stands beside " + Str(skala.wert(naechstes->zeile))
                                       : "stands beside nothing");
        if (z.ding->art == Art::ring)
            for (const Ding& d : alle)
                if (&d != z.ding && d.art == Art::ring && d.zeile > z.flaeche.top() &&
                    d.zeile < z.flaeche.bottom())
                    return fehler(z, "stands level with two rings");
    }
    for (const Zahl& a : zahlen)
        for (const Zahl& b : zahlen) {
            if (a.ding == b.ding && !skala.gleich(a.wert, b.wert))
                return fehler(a, "and \"" + b.text + "\" label one place");
            if (a.wert == b.wert && std::abs(a.ding->zeile - b.ding->zeile) > 2)
                return fehler(a, "stands at two places");
            if ((a.ding->art == Art::strich || a.ding->art == Art::ring) &&
                a.ding->art == b.ding->art && a.flaeche.center().y() < b.flaeche.center().y() &&
                a.ding->zeile > b.ding->zeile)
                return fehler(a, "stands above \"" + b.text + "\", its mark below");
        }
    for (const Ding& d : alle)
        if (d.art == Art::mittel && std::min(d.flaeche.width(), d.flaeche.height()) < 3)
            return "mean mark too small to read as a dot";
    if (daten_satzart(satz) == satzart_datenreihe && mittelwert_anzeigen) {
        const double kleinster = daten_basiswert(satz, minimum);
        const double groesster = daten_basiswert(satz, maximum);
        const double mittel = daten_basiswert(satz, mittelwert);
        if (!(mittel >= kleinster && mittel <= groesster))
            return "mean " + Str(mittel) + " outside the data";
        for (const Ding& d : alle) {
            const double wert = skala.wert(d.zeile);
            if (d.art == Art::mittel && !skala.gleich(std::clamp(wert, kleinster, groesster), wert))
                return "mean mark at " + Str(wert) + " outside the data";
        }
    }
    return {};
}

} // namespace wahrheit

// The first label of a chart's plots that names another value than what it stands beside, with
// what is wrong; empty when every label is true.
inline std::string unwahre_beschriftung(const Picture& chart) {
    const std::vector<int32_t> saetze = Proc::gezeigte_saetze();
    std::size_t i = 0;
    for (const Drawing& streifen : chart.drawings()) {
        if (!streifen.picture || i >= saetze.size())
            continue;
        const QRectF sichtbar =
            QRectF(0, 0, streifen.picture->width(), streifen.picture->height()) &
            QRectF(-streifen.x, -streifen.y, chart.width(), chart.height());
        const int32_t satz = saetze[i++];
        if (std::string fehler = wahrheit::streifen_pruefen(*streifen.picture, sichtbar, satz);
            !fehler.empty())
            return "set " + std::to_string(satz) + ": " + fehler;
    }
    return {};
}

// The first label of a chart's plots drawn smaller than kleinste pixels; empty when none is.
inline std::string zu_kleine_beschriftung(const Picture& chart, int32_t kleinste) {
    for (const Drawing& streifen : chart.drawings())
        if (streifen.picture)
            for (const Drawing& z : streifen.picture->drawings())
                if (z.kind == Drawing::Kind::DrawString && z.textSize < kleinste)
                    return "\"" + z.text + "\" at size " + std::to_string(z.textSize);
    return {};
}
