// The values of a value list, one per line, read in one pass over the text.
#pragma once

#include <limits>
#include <string_view>
#include <vector>

namespace Proc {

struct Ueberblick {
    double summe = 0.0; // in the order of the lines, saturated so that it stays finite
    double kleinster = std::numeric_limits<double>::max();
    double groesster = -std::numeric_limits<double>::max();
};

// Reads one value per line into x (the number at the start of each line, decimal commas
// allowed; 0 where there is none). Every line is a value, the empty ones too, except the
// empty field after a carriage return that ends the text.
// Where the processor has AVX2, the most common lines (an optional minus, digits and at most
// one decimal separator, eight characters at most) are read four at a time; the environment
// variable VELMORA_LESEN=skalar reads every line one by one, so that the tests can check both
// ways on one machine.
Ueberblick werte_lesen(std::string_view text, std::vector<double>& x);

} // namespace Proc
