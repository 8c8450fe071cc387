// Text operations shared by everything that reads, shows or splits numbers, and the one
// conversion from a real to a pixel integer. All of them ignore the user's locale. Numbers are
// read in zahl_lesen.h (its rare ways in zahl_lesen.cpp) and written in zahl_schreiben.cpp;
// text.cpp holds the rest.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace Proc {

// The number at the start of a text: leading blanks, an optional sign (a minus may be the
// typographic one, U+2212, as word processors write it), digits, an optional point with
// digits and an optional exponent (e or E, optional sign, at least one digit); the digits
// before the point may be left out (".5", "-.5"). Gives 0 when the text does not begin with a
// number. Correctly rounded; a number beyond the range of a double reads as the
// largest finite double of its sign, so the result is always finite.
double Val(std::string_view text);

// Like Val, but a comma counts as the decimal point, as in value lists typed with decimal
// commas.
double ValKomma(std::string_view text);

// A number as text: at most 15 significant digits, the shortest text that Val reads back to
// the value at that precision, a point as decimal separator, exponent form only below 1e-5
// and from 1e15 on. Never "-0", "inf" or "nan".
std::string Str(double wert);
// Appends Str(wert) to a text.
void StrAnhaengen(std::string& text, double wert);
// The texts of many values (each as Str writes it) joined by trenner, written over liste,
// whose room is kept for the next time.
void StrListe(std::string& liste, std::span<const double> werte, char trenner);

// Field splitting: every separator starts a new field; fields count from 1. A text without
// the separator is one field, and a field beyond the last is empty.
int32_t CountFields(std::string_view text, std::string_view separator);
std::string NthField(std::string_view text, std::string_view separator, int32_t n);

// All fields of a text at once, as views into it; for walking through many fields.
std::vector<std::string_view> alle_felder(std::string_view text, std::string_view separator);

// A real as a 32-bit pixel integer: rounded to nearest with halves away from zero,
// saturated at the int32 limits, NaN gives 0.
int32_t whole(double x);

} // namespace Proc
