#include "beschriftungen.h"

#include "chart/boxplot.h"
#include "model/text.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace Proc {

namespace {

// What a label must keep clear of, each as a rectangle grown by the distance to keep from it;
// filed by bands of rows, so that a label looks only at what lies near its own rows.
class Belegung {
public:
    explicit Belegung(double unten)
        : bandhoehe_(std::max(16.0, unten / 1024)),
          baender_(std::size_t(std::clamp(unten / bandhoehe_, 0.0, 1024.0)) + 1) {}

    void belegen(const QRectF& flaeche) {
        if (!flaeche.isValid())
            return;
        flaechen_.push_back(flaeche);
        for (std::size_t b = band(flaeche.top()); b <= band(flaeche.bottom()); ++b)
            baender_[b].push_back(flaechen_.size() - 1);
    }

    // The whole left end nearest to `gewuenscht` within [von, bis], nearer the left on a tie,
    // at which a text `breite` wide across the rows [oben, unten) lies clear of everything.
    std::optional<int32_t> freier_platz(double oben, double unten, double breite,
                                        int32_t gewuenscht, int32_t von, int32_t bis) const {
        // Left ends strictly between the two ends of a span would overlap a rectangle.
        std::vector<std::pair<double, double>> gesperrt;
        for (std::size_t b = band(oben); b <= band(unten); ++b)
            for (std::size_t i : baender_[b]) {
                const QRectF& f = flaechen_[i];
                if (f.top() < unten && oben < f.bottom())
                    gesperrt.emplace_back(f.left() - breite, f.right());
            }
        const auto frei = [&gesperrt](double l) {
            return std::none_of(gesperrt.begin(), gesperrt.end(),
                                [l](const auto& s) { return s.first < l && l < s.second; });
        };
        // The free whole positions form runs that end at the ends of the range or next to a
        // blocked span, so the nearest one is among these.
        std::vector<double> kandidaten = {double(gewuenscht), double(von), double(bis)};
        for (const auto& [l, r] : gesperrt)
            kandidaten.insert(kandidaten.end(), {std::floor(l), std::ceil(r)});
        std::optional<double> bester;
        const auto naeher = [gewuenscht](double a, double b) {
            const double da = std::abs(a - gewuenscht), db = std::abs(b - gewuenscht);
            return da < db || (da == db && a < b);
        };
        for (double k : kandidaten)
            if (k >= von && k <= bis && frei(k) && (!bester || naeher(k, *bester)))
                bester = k;
        return bester ? std::optional<int32_t>(int32_t(*bester)) : std::nullopt;
    }

private:
    std::size_t band(double y) const {
        return std::size_t(std::clamp(y / bandhoehe_, 0.0, double(baender_.size() - 1)));
    }

    double bandhoehe_;
    std::vector<QRectF> flaechen_;
    std::vector<std::vector<std::size_t>> baender_;
};

// Labels keep two pixels from each other, and side by side half their text size, so that two
// numbers never read as one; a mark keeps a pixel to either side, so that it never reads as a
// decimal point; lines may run right along a label.
constexpr double abstand_text = 2;
constexpr double abstand_marke = 1;
double abstand_daneben(int32_t groesse) {
    return std::max(abstand_text, 0.5 * groesse);
}

// Everything drawn so far inside the room, which the labels keep clear of.
Belegung striche_und_marken(const Picture& bild, const Raum& raum) {
    Belegung belegt(raum.unten);
    for (const Drawing& z : bild.drawings()) {
        const bool marke = z.kind == Drawing::Kind::FillOval || z.kind == Drawing::Kind::DrawOval;
        const double seitlich = marke ? abstand_marke : 0;
        for (const QRectF& f : inkRects(z))
            if (f.bottom() > 0 && f.top() < raum.unten && f.right() > raum.links &&
                f.left() < raum.rechts)
                belegt.belegen(f.adjusted(-seitlich, 0, seitlich, 0));
    }
    return belegt;
}

// The left end nearest to l at which a text breite × hoehe with its baseline at u stands whole
// inside the room and clear of everything taken, up to spielraum pixels to either side.
std::optional<int32_t> freie_stelle(const Belegung& belegt, const Raum& raum, int32_t l, int32_t u,
                                    double breite, double hoehe, int32_t spielraum) {
    const int64_t von = std::max<int64_t>(int64_t{l} - spielraum, whole(raum.links));
    const int64_t bis =
        std::min<int64_t>(int64_t{l} + spielraum, whole(std::floor(raum.rechts - breite)));
    if (u - hoehe < 0 || u > raum.unten || von > bis)
        return std::nullopt;
    return belegt.freier_platz(u - hoehe, u, breite, l, int32_t(von), int32_t(bis));
}

} // namespace

void Beschriftungen::hinzufuegen(Rang rang, std::string text, int32_t groesse,
                                 std::vector<Stelle> stellen, bool zentriert, bool verschiebbar) {
    texte_.push_back({rang, std::move(text), groesse, std::move(stellen), zentriert, verschiebbar});
}

// Lower ranks first.
void Beschriftungen::zeichnen(const PicturePtr& bild, const Raum& raum) {
    Graphics& g = bild->graphics();
    Belegung belegt = striche_und_marken(*bild, raum);
    std::stable_sort(texte_.begin(), texte_.end(),
                     [](const Text& a, const Text& b) { return a.rang < b.rang; });
    for (const Text& t : texte_) {
        g.TextSize = t.groesse;
        const double breite = g.StringWidth(t.text), hoehe = g.TextHeight();
        const int32_t spielraum = t.verschiebbar ? whole(breite) : 0;
        for (const Stelle& s : t.stellen) {
            // Where the text would be drawn, with the rounding that drawing it applies.
            const int32_t l = whole(t.zentriert ? s.x + (0 - breite) / 2 : s.x);
            const int32_t u = whole(s.y);
            const std::optional<int32_t> platz =
                t.text.empty() ? std::nullopt
                               : freie_stelle(belegt, raum, l, u, breite, hoehe, spielraum);
            if (!platz)
                continue;
            belegt.belegen(QRectF(*platz, u - hoehe, breite, hoehe)
                               .adjusted(-abstand_daneben(t.groesse), -abstand_text,
                                         abstand_daneben(t.groesse), abstand_text));
            if (t.zentriert && *platz == l)
                graphics_string_center(bild, t.text, s.x, s.y, 0);
            else
                g.DrawString(t.text, *platz, u, 0, false);
            break;
        }
    }
}

} // namespace Proc
