// Exploring the chart value by value, for those who cannot point at it: the values each shown
// set presents in its plot, from top to bottom, in the words of the chart's description and
// with the place where each is drawn; and a place among them that the keys move.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Proc {

// What a value is in its set's plot, in the order the plot shows them from top to bottom.
enum class Wertart {
    ausreisser_oben,
    whisker_oben,
    oberes_quartil,
    median,
    mittelwert,
    unteres_quartil,
    whisker_unten,
    ausreisser_unten
};

// One value of a shown set as the chart draws it.
struct Chartwert {
    int32_t satz;
    Wertart art;
    int32_t rang;         // among the values of its kind in its set, from the top
    std::string satzname; // "Satz B"
    std::string wert;     // "Median 4,5", "Ausreißer 99, 2 von 2"
    // The rectangle its line or round mark covers, in pixels of the chart picture.
    double links, oben, breite, hoehe;
    bool rund;
};

// The values of every shown set, set after set from left to right, each set's from top to
// bottom: its outliers above (the largest first), the upper whisker's end, the upper quartile,
// the median, the mean where it is shown, the lower quartile, the lower whisker's end and the
// outliers below. Where outliers are not marked, and for a set of box values, the whiskers end
// at the maximum and the minimum. Of a long outlier list only those the description names are
// present. None where the scale cannot place values.
std::vector<Chartwert> chartwerte();

enum class Schritt { links, rechts, hoch, runter, anfang, ende };

// A place among the values of the chart, moved step by step.
class Erkundung {
public:
    // Takes the values of the chart as now composed. The place stays on the same kind of value
    // of the same set where that still exists, else it goes to that set's median; where the set
    // is no longer shown, back to where it starts: the median of the first set shown.
    void aktualisieren();

    // Left and right go to the set beside, onto the same kind of value where it has one, else
    // onto its median; up and down to the value above and below; home and end to the set's
    // first and last value. At an end the place stays.
    void gehen(Schritt schritt);

    // The next step names its set's kind, as on coming into the chart.
    void neu_beginnen() { genannter_satz_ = 0; }

    const std::vector<Chartwert>& werte() const { return werte_; }
    // The place's index in werte(); none when the chart has no values.
    std::optional<std::size_t> stelle() const;

    // How a value is read: "Satz B, Median 4,5". The place, when a step has just brought it
    // onto its set, also names the set's kind, "Satz B, Datenreihe, 8 Werte, Median 4,5",
    // until the chart is composed anew.
    std::string name(std::size_t i) const;

private:
    std::optional<std::size_t> finden(int32_t satz, Wertart art, int32_t rang) const;
    // The place's kind of value in a shown set, else that set's median.
    std::size_t gleiche_stelle(int32_t satz) const;
    void setzen(std::size_t i);

    std::vector<Chartwert> werte_;
    int32_t satz_ = 0;
    Wertart art_ = Wertart::median;
    int32_t rang_ = 0;
    int32_t genannter_satz_ = 0; // the set whose kind was named last
    bool art_nennen_ = false;
};

} // namespace Proc
