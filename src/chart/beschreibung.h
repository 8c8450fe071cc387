// The chart in words, for those who cannot see it: what a screen reader speaks for the chart
// window and what saved and copied vector pictures carry as their title and description.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace Proc {

struct Diagrammtext {
    std::string name;         // "Boxplot der Sätze A und B"
    std::string beschreibung; // every shown set's values, then the scale
};

// The chart as the composition draws it from the module state: the sets it shows, each with
// its box values, the mean where it is shown, its whisker ends and, where they are marked,
// its outliers (a long list shortened to its smallest and largest, with their count), and
// the scale with the step between its ticks as drawn. In German, numbers with a decimal comma.
Diagrammtext diagramm_beschreiben(double strichabstand);

// The outliers of an ascending list separated by ";" that the description names: all of them
// up to ten, else the five smallest and the five largest, each with its place in the whole list
// counted from 1; and how many the list holds.
struct GenannterAusreisser {
    double wert;
    std::size_t nummer;
};
struct Ausreisserauswahl {
    std::vector<GenannterAusreisser> genannt;
    std::size_t anzahl = 0;
};
Ausreisserauswahl genannte_ausreisser(std::string_view liste);

// A number as a German reader speaks it: as shown, with a decimal comma.
std::string zahl_gesprochen(double wert);

} // namespace Proc
