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

double lesen::alle_ziffern_lesen(const char* anfang, const char* ende, char punkt) {
    double wert = 0.0;
    const fast_float::parse_options format(fast_float::chars_format::general, punkt);
    fast_float::from_chars_advanced(anfang, ende, wert, format);
    return wert;
}

namespace {

// A positive value rounded to 15 significant digits: the digits as a whole number of 15
// places and the decimal exponent of the first of them.
struct Gerundet {
    std::uint64_t ziffern = 0;
    int exponent = 0;
};

// 10^q for q from -300 to 300, correctly rounded (read as "1e<q>"), made at start-up.
const std::array<double, 601> zehnerpotenzen = [] {
    std::array<double, 601> tabelle{};
    for (int q = -300; q <= 300; ++q) {
        const std::string text = "1e" + std::to_string(q);
        tabelle[std::size_t(q + 300)] =
            lesen::zahl_lesen(text.data(), text.data() + text.size(), false).wert;
    }
    return tabelle;
}();

// betrag × 10^q for a positive normal betrag and q from -300 to 322: rounded twice, or three
// times for q above 300 (the factor 1 changes nothing). No branch on q.
double mal_zehnerpotenz(double betrag, int q) {
    constexpr double vorab[2] = {1.0, 1e22};
    const bool gross = q > 300;
    return betrag * vorab[gross] * zehnerpotenzen[std::size_t(q - 22 * gross + 300)];
}

// The 15-digit rounding found quickly, or false where the exact conversion has to decide.
// The value is scaled to 15 digits in floating point; at most three roundings, each within
// 2^-53 of its result, part that from the exact product, so it errs by less than 0.34. Where
// it lies within 0.16 of a whole number, that number is the 15-digit rounding. Else the
// nearest whole number is kept where it reads back as the value itself: a normal double lies
// within half a unit in its last place (at most 2^-53 of it) of every decimal that reads
// back as it, less than half the step between 15-digit decimals (more than 5·10^-16 of it),
// so no other 15-digit decimal is as close. At the ends of the decade, where the decade
// itself may be one off, only the second way counts. A value written with 15 digits or
// fewer nearly always takes the first way; subnormals and values that need 16 or 17 digits
// to read back mostly go to the exact conversion.
bool schnell_gerundet(double betrag, Gerundet& ergebnis) {
    if (!(betrag >= std::numeric_limits<double>::min()))
        return false;
    const int binaer = int(std::bit_cast<std::uint64_t>(betrag) >> 52) - 1023;
    // floor(binaer × log10 2): the decimal exponent, or one less. Both scalings are formed and
    // one taken by a mask, as a branch between them would guess wrong a third of the time.
    const int exponent_oder_weniger = (binaer * 78913) >> 18;
    const double skaliert_so = mal_zehnerpotenz(betrag, 14 - exponent_oder_weniger);
    const double skaliert_mehr = mal_zehnerpotenz(betrag, 13 - exponent_oder_weniger);
    const bool eins_mehr = skaliert_so >= 999999999999999.5;
    const std::uint64_t wahl = 0 - std::uint64_t(eins_mehr); // all ones or none
    const double skaliert =
        std::bit_cast<double>((std::bit_cast<std::uint64_t>(skaliert_mehr) & wahl) |
                              (std::bit_cast<std::uint64_t>(skaliert_so) & ~wahl));
    const int exponent = exponent_oder_weniger + eins_mehr;
    const auto ziffern = std::uint64_t(skaliert + 0.5);
    ergebnis = {ziffern, exponent};
    const bool innen = ziffern > 100000000000000 && ziffern < 999999999999999;
    if (innen && std::fabs(skaliert - double(ziffern)) < 0.16) // exact: the steps are 1/8
        return true;
    double zurueck = 0.0;
    return ziffern >= 100000000000000 && ziffern <= 999999999999999 &&
           lesen::dezimal_wert(ziffern, exponent - 14, zurueck) && zurueck == betrag;
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

// "00", "01", .. "99".
constexpr std::array<char, 200> ziffernpaare = [] {
    std::array<char, 200> paare{};
    for (std::size_t i = 0; i < 100; ++i) {
        paare[2 * i] = char('0' + i / 10);
        paare[2 * i + 1] = char('0' + i % 10);
    }
    return paare;
}();

// The digits of a number below 10^8 as the values (not yet characters) of eight bytes, the
// first digit in the lowest byte: both halves of four digits are split into hundreds and then
// into tens in all lanes at once, dividing by multiplying (exact in these ranges).
std::uint64_t acht_ziffern(std::uint32_t zahl) {
    const std::uint64_t haelften = (zahl / 10000) | std::uint64_t(zahl % 10000) << 32;
    const std::uint64_t hunderter = ((haelften * 10486) >> 20) & 0x0000007F0000007F;
    const std::uint64_t paare = ((haelften - 100 * hunderter) << 16) + hunderter;
    const std::uint64_t zehner = ((paare * 103) >> 10) & 0x000F000F000F000F;
    return zehner + ((paare - 10 * zehner) << 8);
}

// The 15 digits of a whole number from 10^14 to 10^15 - 1 in 32 characters: a '0', the digits
// from the second character on and '0's after them, so that the layout below can copy them
// in pieces of 16 characters, which need no call and no branch on their length. anzahl is
// how many digits are left without the zeros at the end.
struct Ziffern {
    std::array<std::uint64_t, 4> woerter; // read as characters, the first in the lowest byte
    std::size_t anzahl;

    const char* erste() const { return reinterpret_cast<const char*>(woerter.data()) + 1; }
};

Ziffern fuenfzehn_ziffern(std::uint64_t zahl) {
    const std::uint64_t vorn = acht_ziffern(std::uint32_t(zahl / 100000000));
    const std::uint64_t hinten = acht_ziffern(std::uint32_t(zahl % 100000000));
    // The zeros at the end are the empty top bytes.
    const int null_bits = hinten != 0 ? std::countl_zero(hinten) : 64 + std::countl_zero(vorn);
    const std::uint64_t nullen = 0x3030303030303030;
    return {{vorn | nullen, hinten | nullen, nullen, nullen}, 15 - std::size_t(null_bits / 8)};
}

// Fixed notation, the first digit standing at the decimal exponent given (-5 .. 14). What is
// copied beyond the digits that count is overwritten or left behind the end returned; p has
// room for 32 characters.
char* festkomma_schreiben(char* p, const Ziffern& ziffern, int exponent) {
    if (exponent < 0) {
        std::memcpy(p, "0.0000", 6);
        p += 1 - exponent; // "0." and -exponent - 1 zeros
        std::memcpy(p, ziffern.erste(), 16);
        return p + ziffern.anzahl;
    }
    const auto ganze = std::size_t(exponent) + 1;
    std::memcpy(p, ziffern.erste(), 16); // the whole part, with any zeros it ends in
    if (ziffern.anzahl <= ganze)
        return p + ganze;
    p[ganze] = '.';
    std::memcpy(p + ganze + 1, ziffern.erste() + ganze, 16);
    return p + ziffern.anzahl + 1;
}

// Exponent form d.ddde+xx, the exponent with at least two digits.
char* exponentform_schreiben(char* p, const Ziffern& ziffern, int exponent) {
    p[0] = ziffern.erste()[0];
    p[1] = '.';
    std::memcpy(p + 2, ziffern.erste() + 1, 16);
    p += ziffern.anzahl > 1 ? ziffern.anzahl + 1 : 1;
    *p++ = 'e';
    *p++ = exponent < 0 ? '-' : '+';
    const int betrag = std::abs(exponent);
    const bool drei = betrag >= 100; // no branch: it is as often so as not
    p[0] = char('0' + betrag / 100);
    std::memcpy(p + drei, &ziffernpaare[2 * std::size_t(betrag % 100)], 2);
    return p + 2 + drei;
}

// Writes Str(value) from p on, into str_hoechstens characters at most (the text itself takes
// str_laengste at most: "-d.ddddddddddddddde-ddd" or "-0.0000ddddddddddddddd"), and gives its
// end.
constexpr std::size_t str_hoechstens = 32;
constexpr std::size_t str_laengste = 22;

char* zahl_schreiben(char* p, double value) {
    if (std::isnan(value) || value == 0.0) {
        *p++ = '0';
        return p;
    }
    const double betrag = std::min(std::fabs(value), std::numeric_limits<double>::max());
    Gerundet gerundet;
    if (!schnell_gerundet(betrag, gerundet))
        gerundet = genau_gerundet(betrag);

    // Trailing zeros carry nothing: without them the text is the shortest at 15 digits.
    const Ziffern ziffern = fuenfzehn_ziffern(gerundet.ziffern);
    *p = '-';
    p += value < 0;
    if (gerundet.exponent >= -5 && gerundet.exponent < 15)
        return festkomma_schreiben(p, ziffern, gerundet.exponent);
    return exponentform_schreiben(p, ziffern, gerundet.exponent);
}

} // namespace

double Val(std::string_view text) {
    return lesen::zahl_lesen(text.data(), text.data() + text.size(), false).wert;
}

double ValKomma(std::string_view text) {
    return lesen::zahl_lesen(text.data(), text.data() + text.size(), true).wert;
}

void StrAnhaengen(std::string& ziel, double value) {
    std::array<char, str_hoechstens> puffer;
    ziel.append(puffer.data(), zahl_schreiben(puffer.data(), value));
}

std::string Str(double value) {
    std::array<char, str_hoechstens> puffer;
    return std::string(puffer.data(), zahl_schreiben(puffer.data(), value));
}

// The texts go through a buffer, a few hundred at a time: appending each on its own would
// cost more than writing it.
void StrListe(std::string& liste, std::span<const double> werte, char trenner) {
    // Room for the longest texts at once, so that the text never grows by copying itself; room
    // kept from a longer list is given back where it is more than twice as much.
    const std::size_t hoechstens = werte.size() * (str_laengste + 1);
    liste.clear();
    if (liste.capacity() > 2 * hoechstens)
        liste.shrink_to_fit();
    liste.reserve(hoechstens);
    std::array<char, 4096> puffer;
    char* p = puffer.data();
    for (std::size_t i = 0; i < werte.size(); ++i) {
        if (std::size_t(puffer.end() - p) <= str_hoechstens) {
            liste.append(puffer.data(), p);
            p = puffer.data();
        }
        *p = trenner;
        p += i > 0;
        p = zahl_schreiben(p, werte[i]);
    }
    liste.append(puffer.data(), p);
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

std::vector<std::string_view> alle_felder(std::string_view text, std::string_view separator) {
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
