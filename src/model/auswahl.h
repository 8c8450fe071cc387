// Order statistics without sorting, and sorting without comparing.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace Proc {

// The values a full ascending sort of werte would put at the given positions (0-based,
// ascending, each less than werte.size()). kleinster and groesster are the smallest and the
// largest of the values, none of which is NaN. The values are only read. The time is linear in
// the count of values however they are spread.
std::vector<double> werte_an_raengen(std::span<const double> werte, double kleinster,
                                     double groesster, std::span<const std::size_t> raenge);

// Sorts ascending: the values by bins of their keys, in time linear in their count however
// they are spread. -0 becomes 0.
// platz is room the sort may use; where it is smaller than werte, the sort takes its own.
void aufsteigend_sortieren(std::span<double> werte, std::span<double> platz);

} // namespace Proc
