// The values of a value list, one per line, read in one pass over the text.
#pragma once

#include <cstddef>
#include <limits>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace Proc {

struct Ueberblick {
    double summe = 0.0; // in the order of the lines, saturated so that it stays finite
    double kleinster = std::numeric_limits<double>::max();
    double groesster = -std::numeric_limits<double>::max();
    std::size_t ohne_zahl = 0; // lines that count as 0 without beginning with a number
};

// Reads one value per line into x (the number at the start of each line, decimal commas
// allowed; 0 where there is none). Every line is a value, the empty ones too, except the
// empty field after a carriage return that ends the text.
// Where the processor has AVX2, the most common lines (an optional minus, digits and at most
// one decimal separator, eight characters at most) are read four at a time; the environment
// variable VELMORA_LESEN=skalar reads every line one by one, so that the tests can check both
// ways on one machine.
Ueberblick werte_lesen(std::string_view text, std::vector<double>& x);

// How many carriage returns a text holds, 64 characters at a time.
std::size_t zeilenenden_zaehlen(std::string_view text);

// The sum in order, the smallest and the largest of values read before, exactly as werte_lesen
// gives them for the text they were read from (ohne_zahl is left 0).
Ueberblick ueberblick(std::span<const double> werte);

// What one line of a value list (without its carriage return) is read as where it is not
// wholly one number: an empty line, a word, a number with more after it ("1 000", "1.234,5").
// Nothing for a line that is one number, blanks around it and a decimal separator right after
// its digits ("5.") allowed, as they change nothing of what it reads as.
std::optional<double> gelesen_als(std::string_view zeile);

} // namespace Proc
