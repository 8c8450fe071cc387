#include "text.h"

#include <algorithm>
#include <array>
#include <charconv>

#include <cmath>
#include <fast_float/fast_float.h>
#include <limits>
#include <string>

namespace Proc {

namespace {

bool ist_ziffer(char c) {
    return c >= '0' && c <= '9';
}

bool ist_trenner(char c, bool komma_ist_punkt) {
    return c == '.' || (komma_ist_punkt && c == ',');
}

const char* ziffern_ab(const char* p, const char* ende) {
    while (p < ende && ist_ziffer(*p))
        ++p;
    return p;
}

// The number at the start of a text: blanks, one optional sign, digits, a decimal point
// only when digits follow it, an exponent only when a digit follows the e (fast_float
// leaves such an e alone). With decimal commas the first separator after the digits is the
// decimal point, so "1.000,5" ends at its second separator.
double zahl_lesen(std::string_view text, bool komma_ist_punkt, std::size_t& laenge) {
    laenge = 0;
    const char* p = text.data();
    const char* ende = p + text.size();
    while (p < ende && (*p == ' ' || *p == '\t'))
        ++p;
    if (p < ende && *p == '+')
        ++p; // fast_float takes a minus sign but no plus sign
    else if (p < ende && *p == '-')
        ++p;
    const char* const anfang = p > text.data() && p[-1] == '-' ? p - 1 : p;

    const char* const ganz_ende = ziffern_ab(p, ende);
    if (ganz_ende == p)
        return 0.0;
    char punkt = '.';
    if (ganz_ende < ende && ist_trenner(*ganz_ende, komma_ist_punkt)) {
        if (ganz_ende + 1 < ende && ist_ziffer(ganz_ende[1]))
            punkt = *ganz_ende;
        else
            ende = ganz_ende; // a point without digits after it is not part of the number
    }

    double wert = 0.0;
    const fast_float::parse_options format(fast_float::chars_format::general, punkt);
    const auto gelesen = fast_float::from_chars_advanced(anfang, ende, wert, format);
    if (gelesen.ec != std::errc{})
        return 0.0;
    laenge = std::size_t(gelesen.ptr - text.data());
    // Beyond the range of a double the number is as large as a double gets; below it, 0.
    if (std::isinf(wert))
        return std::copysign(std::numeric_limits<double>::max(), wert);
    return wert + 0.0; // turns -0 into 0
}

// Appends the significant digits of a positive value in fixed notation, the first digit
// standing at the decimal exponent given.
void festkomma_anhaengen(std::string& ziel, std::string_view ziffern, int exponent) {
    if (exponent < 0) {
        ziel += "0.";
        ziel.append(static_cast<std::size_t>(-exponent - 1), '0');
        ziel.append(ziffern);
        return;
    }
    const auto ganze = static_cast<std::size_t>(exponent) + 1;
    if (ziffern.size() <= ganze) {
        ziel.append(ziffern);
        ziel.append(ganze - ziffern.size(), '0');
        return;
    }
    ziel.append(ziffern.substr(0, ganze));
    ziel += '.';
    ziel.append(ziffern.substr(ganze));
}

} // namespace

double Val(std::string_view text) {
    std::size_t laenge;
    return zahl_lesen(text, false, laenge);
}

double ValKomma(std::string_view text) {
    std::size_t laenge;
    return zahl_lesen(text, true, laenge);
}

double ValKomma(std::string_view text, std::size_t& laenge) {
    return zahl_lesen(text, true, laenge);
}

void StrAnhaengen(std::string& ziel, double value) {
    if (std::isnan(value) || value == 0.0) {
        ziel += '0';
        return;
    }
    if (std::isinf(value))
        value = std::copysign(std::numeric_limits<double>::max(), value);

    // Fifteen significant digits in scientific form: d.dddddddddddddde±xx
    std::array<char, 32> puffer;
    const char* const ende = std::to_chars(puffer.data(), puffer.data() + puffer.size(),
                                           std::fabs(value), std::chars_format::scientific, 14)
                                 .ptr;
    const char* const e = std::find(static_cast<const char*>(puffer.data()), ende, 'e');
    int exponent = 0;
    for (const char* c = e + 2; c < ende; ++c)
        exponent = exponent * 10 + (*c - '0');
    if (e[1] == '-')
        exponent = -exponent;

    std::array<char, 16> ziffern;
    std::size_t anzahl = 0;
    ziffern[anzahl++] = puffer[0];
    for (const char* c = puffer.data() + 2; c < e; ++c)
        ziffern[anzahl++] = *c;
    // Trailing zeros carry nothing: without them the text is the shortest at 15 digits.
    while (anzahl > 1 && ziffern[anzahl - 1] == '0')
        --anzahl;
    const std::string_view bedeutend(ziffern.data(), anzahl);

    if (value < 0)
        ziel += '-';
    if (exponent >= -5 && exponent < 15) {
        festkomma_anhaengen(ziel, bedeutend, exponent);
        return;
    }
    ziel += bedeutend.front();
    if (anzahl > 1) {
        ziel += '.';
        ziel.append(bedeutend.substr(1));
    }
    ziel.append(e, ende);
}

std::string Str(double value) {
    std::string text;
    StrAnhaengen(text, value);
    return text;
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
