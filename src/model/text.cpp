#include "text.h"

#include "zahl_lesen.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

namespace Proc {

namespace {

// A positive value rounded to 15 significant digits: the digits as a whole number of 15
// places and the decimal exponent of the first of them.
struct Gerundet {
    std::uint64_t ziffern = 0;
    int exponent = 0;
};

// 10^q for q from -300 to 300, each within about half a unit in its last place.
const std::array<double, 601>& zehnerpotenzen() {
    static const std::array<double, 601> tabelle = [] {
        std::array<double, 601> t{};
        for (int q = -300; q <= 300; ++q)
            t[std::size_t(q + 300)] = std::pow(10.0, q);
        return t;
    }();
    return tabelle;
}

// betrag × 10^q for a positive normal betrag and q from -300 to 322: rounded at most three
// times, so within a relative 3.4·10^-16 of the exact product.
double mal_zehnerpotenz(double betrag, int q) {
    if (q > 300) {
        betrag *= 1e22;
        q -= 22;
    }
    return betrag * zehnerpotenzen()[std::size_t(q + 300)];
}

// The 15-digit rounding found quickly: the value scaled to 15 digits in floating point and
// rounded, kept only where it reads back as the value itself. Then it is the 15-digit
// rounding: a normal double lies within half a unit in its last place (at most 2^-53 of it)
// of every decimal that reads back as it, less than half the step between 15-digit decimals
// (more than 5·10^-16 of it), so no other 15-digit decimal is as close. Subnormals, values
// that need 16 or 17 digits to read back, and rare near ties are left to the exact
// conversion. The scaling errs by at most 0.34 in the last digit, so a value that was written
// with 15 digits or fewer (and lies within 0.12 of them) always takes the quick way.
bool schnell_gerundet(double betrag, Gerundet& ergebnis) {
    if (!(betrag >= std::numeric_limits<double>::min()))
        return false;
    const int binaer = int(std::bit_cast<std::uint64_t>(betrag) >> 52) - 1023;
    int exponent = (binaer * 78913) >> 18; // floor(binaer × log10 2): the decimal one, or one less
    double skaliert = mal_zehnerpotenz(betrag, 14 - exponent);
    if (skaliert >= 999999999999999.5)
        skaliert = mal_zehnerpotenz(betrag, 14 - ++exponent);
    const auto ziffern = std::uint64_t(skaliert + 0.5);
    double zurueck = 0.0;
    if (ziffern < 100000000000000 || ziffern > 999999999999999 ||
        !lesen::dezimal_wert(ziffern, exponent - 14, zurueck) || zurueck != betrag)
        return false;
    ergebnis = {ziffern, exponent};
    return true;
}

// The exact 15-digit rounding, for every positive finite value.
Gerundet genau_gerundet(double betrag) {
    // d.dddddddddddddde±xx
    std::array<char, 32> puffer;
    const char* const ende = std::to_chars(puffer.data(), puffer.data() + puffer.size(), betrag,
                                           std::chars_format::scientific, 14)
                                 .ptr;
    Gerundet ergebnis;
    const char* c = puffer.data();
    for (; *c != 'e'; ++c)
        if (*c != '.')
            ergebnis.ziffern = ergebnis.ziffern * 10 + std::uint64_t(*c - '0');
    std::from_chars(c[1] == '+' ? c + 2 : c + 1, ende, ergebnis.exponent);
    return ergebnis;
}

// Writes a whole number below 10^15 as exactly 15 digits, two at a time, in 32-bit steps.
void fuenfzehn_ziffern_schreiben(char* p, std::uint64_t zahl) {
    static constexpr std::array<char, 200> paare = [] {
        std::array<char, 200> t{};
        for (int i = 0; i < 100; ++i) {
            t[std::size_t(2 * i)] = char('0' + i / 10);
            t[std::size_t(2 * i + 1)] = char('0' + i % 10);
        }
        return t;
    }();
    const auto paar = [&](char* ziel, std::uint32_t zwei) {
        std::memcpy(ziel, &paare[2 * zwei], 2);
    };
    auto hinten = std::uint32_t(zahl % 100000000); // the last eight digits
    auto vorn = std::uint32_t(zahl / 100000000);   // the first seven
    for (int stelle = 13; stelle >= 7; stelle -= 2, hinten /= 100)
        paar(p + stelle, hinten % 100);
    for (int stelle = 5; stelle >= 1; stelle -= 2, vorn /= 100)
        paar(p + stelle, vorn % 100);
    p[0] = char('0' + vorn);
}

// Writes the significant digits of a positive value in fixed notation, the first digit
// standing at the decimal exponent given (-5 .. 14).
char* festkomma_schreiben(char* p, std::string_view ziffern, int exponent) {
    if (exponent < 0) {
        *p++ = '0';
        *p++ = '.';
        p = std::fill_n(p, -exponent - 1, '0');
        return std::copy(ziffern.begin(), ziffern.end(), p);
    }
    const auto ganze = std::size_t(exponent) + 1;
    if (ziffern.size() <= ganze)
        return std::fill_n(std::copy(ziffern.begin(), ziffern.end(), p), ganze - ziffern.size(),
                           '0');
    p = std::copy_n(ziffern.begin(), ganze, p);
    *p++ = '.';
    return std::copy(ziffern.begin() + std::ptrdiff_t(ganze), ziffern.end(), p);
}

// Writes the significant digits in exponent form: d.ddde+xx, the exponent with at least two
// digits.
char* exponentform_schreiben(char* p, std::string_view ziffern, int exponent) {
    *p++ = ziffern.front();
    if (ziffern.size() > 1) {
        *p++ = '.';
        p = std::copy(ziffern.begin() + 1, ziffern.end(), p);
    }
    *p++ = 'e';
    *p++ = exponent < 0 ? '-' : '+';
    if (std::abs(exponent) < 10)
        *p++ = '0';
    return std::to_chars(p, p + 3, std::abs(exponent)).ptr;
}

} // namespace

char* StrSchreiben(char* p, double value) {
    if (std::isnan(value) || value == 0.0) {
        *p++ = '0';
        return p;
    }
    const double betrag = std::min(std::fabs(value), std::numeric_limits<double>::max());
    Gerundet gerundet;
    if (!schnell_gerundet(betrag, gerundet))
        gerundet = genau_gerundet(betrag);

    std::array<char, 15> puffer;
    fuenfzehn_ziffern_schreiben(puffer.data(), gerundet.ziffern);
    std::size_t anzahl = puffer.size();
    // Trailing zeros carry nothing: without them the text is the shortest at 15 digits.
    while (anzahl > 1 && puffer[anzahl - 1] == '0')
        --anzahl;
    const std::string_view ziffern(puffer.data(), anzahl);

    if (value < 0)
        *p++ = '-';
    if (gerundet.exponent >= -5 && gerundet.exponent < 15)
        return festkomma_schreiben(p, ziffern, gerundet.exponent);
    return exponentform_schreiben(p, ziffern, gerundet.exponent);
}

double Val(std::string_view text) {
    return lesen::zahl_lesen(text.data(), text.data() + text.size(), false).wert;
}

double ValKomma(std::string_view text) {
    return lesen::zahl_lesen(text.data(), text.data() + text.size(), true).wert;
}

void StrAnhaengen(std::string& ziel, double value) {
    std::array<char, str_hoechstens> puffer;
    ziel.append(puffer.data(), StrSchreiben(puffer.data(), value));
}

std::string Str(double value) {
    std::array<char, str_hoechstens> puffer;
    return std::string(puffer.data(), StrSchreiben(puffer.data(), value));
}

int32_t CountFields(std::string_view text, std::string_view separator) {
    if (separator.empty())
        return 1;
    int64_t felder = 1;
    for (std::size_t pos = text.find(separator); pos != std::string_view::npos;
         pos = text.find(separator, pos + separator.size()))
        ++felder;
    return static_cast<int32_t>(std::min<int64_t>(felder, std::numeric_limits<int32_t>::max()));
}

std::string NthField(std::string_view text, std::string_view separator, int32_t n) {
    if (n < 1)
        return {};
    if (separator.empty())
        return n == 1 ? std::string(text) : std::string();
    std::size_t anfang = 0;
    for (int32_t feld = 1; feld < n; ++feld) {
        const std::size_t pos = text.find(separator, anfang);
        if (pos == std::string_view::npos)
            return {};
        anfang = pos + separator.size();
    }
    const std::size_t ende = text.find(separator, anfang);
    return std::string(text.substr(anfang, ende == std::string_view::npos ? ende : ende - anfang));
}

std::vector<std::string_view> Fields(std::string_view text, std::string_view separator) {
    std::vector<std::string_view> felder;
    if (separator.empty()) {
        felder.push_back(text);
        return felder;
    }
    std::size_t anfang = 0;
    for (std::size_t pos = text.find(separator); pos != std::string_view::npos;
         pos = text.find(separator, anfang)) {
        felder.push_back(text.substr(anfang, pos - anfang));
        anfang = pos + separator.size();
    }
    felder.push_back(text.substr(anfang));
    return felder;
}

int32_t whole(double x) {
    if (std::isnan(x))
        return 0;
    const double gerundet = std::round(x);
    if (gerundet >= static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (gerundet <= static_cast<double>(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(gerundet);
}

} // namespace Proc
