// Number reading and writing, the marking of lines that are not one number, the pixel
// conversion and field splitting on arbitrary bytes. Str is checked against printf on any
// bits the fuzzer finds, beside tst_model's generated values: its quick ways of rounding to 15
// digits decide alone all but a few values near halfway.
#include "pruefen.h"

#include "model/text.h"
#include "model/werte_lesen.h"
#include "support/lehrbuch.h"

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

using namespace Proc;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t groesse) {
    const std::string_view text(reinterpret_cast<const char*>(daten), groesse);

    const double gelesen = Val(text);
    const auto bits = [](double v) { return std::bit_cast<std::uint64_t>(v); };
    pruefen(bits(gelesen) == bits(lehrbuch_zahl(text, false)) &&
                bits(ValKomma(text)) == bits(lehrbuch_zahl(text, true)),
            "Val and ValKomma read what strtod reads from the number's text");
    pruefen(gleich_auf_15_stellen(Val(Str(gelesen)), gelesen), "Val(Str(v)) == v");
    const std::optional<double> zeile = gelesen_als(text);
    pruefen(zeile.has_value() != ganz_eine_zahl(text) &&
                bits(zeile.value_or(0.0)) == bits(zeile ? ValKomma(text) : 0.0),
            "a line is marked unless it is wholly one number, with what it reads as");

    if (groesse >= sizeof(double)) {
        double v;
        std::memcpy(&v, daten, sizeof v);
        const std::string geschrieben = Str(v);
        pruefen(geschrieben.find_first_not_of("0123456789.-e+") == std::string::npos &&
                    geschrieben != "-0",
                "Str writes only digits, point, sign and exponent, and never -0");
        char printf_text[40];
        std::snprintf(printf_text, sizeof printf_text, "%.15g", v);
        pruefen(!std::isfinite(v) || v == 0 || geschrieben == printf_text ||
                    std::strstr(printf_text, "e-05") != nullptr,
                "Str writes what printf writes with 15 digits (but for the exponent -5)");
        pruefen(!std::isfinite(v) || std::fabs(v) >= 2e9 || whole(v) == int32_t(std::round(v)),
                "whole rounds");
    }

    if (groesse >= 1) {
        const std::string_view trenner = text.substr(0, 1 + (daten[0] % 2 && groesse > 1));
        const std::string_view rest = text.substr(trenner.size());
        const auto felder = alle_felder(rest, trenner);
        const int32_t anzahl = CountFields(rest, trenner);
        pruefen(std::size_t(anzahl) == felder.size(), "CountFields counts the fields");
        for (int32_t i = 1; i <= std::min(anzahl, 40); ++i)
            pruefen(NthField(rest, trenner, i) == felder[std::size_t(i - 1)], "NthField");
        pruefen(NthField(rest, trenner, anzahl + 1).empty(), "beyond the last field");
    }
    return 0;
}
