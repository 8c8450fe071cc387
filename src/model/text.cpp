#include "text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace Proc {

namespace {

bool ist_ziffer(char c) {
    return c >= '0' && c <= '9';
}

std::size_t ziffern_ab(std::string_view text, std::size_t pos) {
    while (pos < text.size() && ist_ziffer(text[pos]))
        ++pos;
    return pos;
}

// The extent of the number at the start of a text, after blanks and an optional sign.
struct Zahlbereich {
    std::size_t anfang = 0; // first character of the mantissa, or of a minus sign
    std::size_t ende = 0;   // one past the last character that belongs to the number
    bool gueltig = false;   // at least one mantissa digit
};

Zahlbereich zahl_finden(std::string_view text, bool komma_ist_punkt) {
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
        ++pos;
    Zahlbereich zahl;
    zahl.anfang = pos;
    if (pos < text.size() && text[pos] == '+')
        zahl.anfang = ++pos; // from_chars takes a minus sign but no plus sign
    else if (pos < text.size() && text[pos] == '-')
        ++pos;
    const std::size_t ganz_ende = ziffern_ab(text, pos);
    bool hat_ziffern = ganz_ende > pos;
    pos = ganz_ende;
    if (pos < text.size() && (text[pos] == '.' || (komma_ist_punkt && text[pos] == ','))) {
        const std::size_t bruch_ende = ziffern_ab(text, pos + 1);
        hat_ziffern = hat_ziffern || bruch_ende > pos + 1;
        pos = bruch_ende;
    }
    if (!hat_ziffern)
        return zahl;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        std::size_t exp = pos + 1;
        if (exp < text.size() && (text[exp] == '+' || text[exp] == '-'))
            ++exp;
        const std::size_t exp_ende = ziffern_ab(text, exp);
        if (exp_ende > exp)
            pos = exp_ende;
    }
    zahl.ende = pos;
    zahl.gueltig = true;
    return zahl;
}

// Whether a number from_chars could not represent lies beyond the largest double (and not
// below the smallest): its decimal exponent, counted from the first non-zero digit, is
// positive.
bool ist_ueberlauf(std::string_view zahl) {
    long long stellen = 0;          // digits before the point, without leading zeros
    long long fuehrende_nullen = 0; // zeros after the point before the first digit
    bool vor_punkt = true;
    bool ziffer_gesehen = false;
    std::size_t pos = 0;
    for (; pos < zahl.size() && zahl[pos] != 'e' && zahl[pos] != 'E'; ++pos) {
        const char c = zahl[pos];
        if (c == '.') {
            vor_punkt = false;
        } else if (ist_ziffer(c)) {
            ziffer_gesehen = ziffer_gesehen || c != '0';
            if (vor_punkt && ziffer_gesehen)
                ++stellen;
            else if (!vor_punkt && !ziffer_gesehen)
                ++fuehrende_nullen;
        }
    }
    long long exponent = 0;
    if (pos < zahl.size()) {
        const std::string_view teil = zahl.substr(pos + 1);
        const bool negativ = !teil.empty() && teil.front() == '-';
        for (char c : teil) {
            if (ist_ziffer(c))
                exponent = std::min<long long>(exponent * 10 + (c - '0'), 1'000'000'000LL);
        }
        if (negativ)
            exponent = -exponent;
    }
    const long long groessenordnung =
        stellen > 0 ? stellen + exponent : exponent - fuehrende_nullen;
    return groessenordnung > 0;
}

double zahl_lesen(std::string_view text, bool komma_ist_punkt) {
    const Zahlbereich bereich = zahl_finden(text, komma_ist_punkt);
    if (!bereich.gueltig)
        return 0.0;
    std::string_view zahl = text.substr(bereich.anfang, bereich.ende - bereich.anfang);

    // from_chars only knows the point: a decimal comma is replaced on a copy. Typical
    // numbers are short, so the copy usually stays on the stack.
    std::array<char, 64> puffer;
    std::string lang;
    if (komma_ist_punkt && zahl.find(',') != std::string_view::npos) {
        char* ziel = puffer.data();
        if (zahl.size() > puffer.size()) {
            lang.assign(zahl);
            ziel = lang.data();
        } else {
            std::copy(zahl.begin(), zahl.end(), ziel);
        }
        std::replace(ziel, ziel + zahl.size(), ',', '.');
        zahl = std::string_view(ziel, zahl.size());
    }

    double wert = 0.0;
    const auto [ende, fehler] = std::from_chars(zahl.data(), zahl.data() + zahl.size(), wert);
    (void)ende;
    if (fehler == std::errc::result_out_of_range) {
        const bool negativ = zahl.front() == '-';
        if (!ist_ueberlauf(zahl))
            return 0.0;
        const double groesste = std::numeric_limits<double>::max();
        return negativ ? -groesste : groesste;
    }
    if (fehler != std::errc{} || !std::isfinite(wert))
        return 0.0;
    return wert + 0.0; // turns -0 into 0
}

// Writes the significant digits of a positive value in fixed notation, the first digit
// standing at the decimal exponent given.
std::string festkomma(std::string_view ziffern, int exponent) {
    std::string text;
    if (exponent < 0) {
        text = "0.";
        text.append(static_cast<std::size_t>(-exponent - 1), '0');
        text.append(ziffern);
        return text;
    }
    const auto ganze = static_cast<std::size_t>(exponent) + 1;
    if (ziffern.size() <= ganze) {
        text.assign(ziffern);
        text.append(ganze - ziffern.size(), '0');
        return text;
    }
    text.assign(ziffern.substr(0, ganze));
    text += '.';
    text.append(ziffern.substr(ganze));
    return text;
}

} // namespace

double Val(std::string_view text) {
    return zahl_lesen(text, false);
}

double ValKomma(std::string_view text) {
    return zahl_lesen(text, true);
}

std::string Str(double value) {
    if (std::isnan(value) || value == 0.0)
        return "0";
    if (std::isinf(value))
        value = std::copysign(std::numeric_limits<double>::max(), value);

    // Fifteen significant digits in scientific form: d.ddddddddddddddde±xx
    std::array<char, 32> puffer;
    const auto ergebnis = std::to_chars(puffer.data(), puffer.data() + puffer.size(),
                                        std::fabs(value), std::chars_format::scientific, 14);
    const std::string_view wissenschaftlich(puffer.data(), ergebnis.ptr - puffer.data());
    const std::size_t e_pos = wissenschaftlich.find('e');
    const int exponent = std::stoi(std::string(wissenschaftlich.substr(e_pos + 1)));

    std::string ziffern;
    ziffern += wissenschaftlich[0];
    ziffern.append(wissenschaftlich.substr(2, e_pos - 2));
    // Trailing zeros carry nothing: without them the text is the shortest at 15 digits.
    ziffern.erase(ziffern.find_last_not_of('0') + 1);

    std::string text = value < 0 ? "-" : "";
    if (exponent >= -5 && exponent < 15) {
        text += festkomma(ziffern, exponent);
        return text;
    }
    text += ziffern.substr(0, 1);
    if (ziffern.size() > 1) {
        text += '.';
        text.append(ziffern.substr(1));
    }
    text.append(wissenschaftlich.substr(e_pos));
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
