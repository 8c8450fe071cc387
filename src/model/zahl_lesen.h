// The one reader of numbers behind Val, ValKomma and the value lists, inline so that a list
// of a million lines is read in one tight loop. Only for the model's own sources.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>

namespace Proc::lesen {

// Eight characters are read at once into a whole number, the first in its lowest byte.
static_assert(std::endian::native == std::endian::little);

inline bool ist_ziffer(char c) {
    return c >= '0' && c <= '9';
}

inline constexpr std::uint64_t zehner_ganz[] = {1,      10,      100,      1000,     10000,
                                                100000, 1000000, 10000000, 100000000};

// 10^0 .. 10^22, the powers of ten a double holds exactly.
inline constexpr double zehner_genau[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                          1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                          1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// How many of the 8 characters in w (the first in the lowest byte) are digits before the
// first that is not, all eight tested at once in one 64-bit number (SWAR, SIMD within a
// register). A byte below '0' borrows and one above '9' carries into its top bit (0x46 is
// 0x7F - '9'); either only disturbs the bytes after it.
inline int fuehrende_ziffern(std::uint64_t w) {
    const std::uint64_t keine_ziffer =
        ((w + 0x4646464646464646) | (w - 0x3030303030303030)) & 0x8080808080808080;
    return std::countr_zero(keine_ziffer) / 8;
}

// The value of the first n (1..8) characters of w, all digits: shifted to the top, with
// '0's below them, they are read as eight digits, two, four and then eight at a time by
// multiplying and shifting within the 64-bit number (the SWAR parse of eight digits).
inline std::uint64_t ziffern_wert(std::uint64_t w, int n) {
    constexpr std::uint64_t nullen = 0x3030303030303030;
    if (n < 8)
        w = (w << (64 - 8 * n)) | (nullen >> (8 * n));
    w -= nullen;
    w = (w * 10) + (w >> 8);
    w = (((w & 0x000000FF000000FF) * (100 + (1000000ULL << 32))) +
         (((w >> 16) & 0x000000FF000000FF) * (1 + (10000ULL << 32)))) >>
        32;
    return std::uint32_t(w);
}

// The digits from p on, appended to zahl (exact while it has at most 19 digits); eight
// characters at a time while eight are left, so that no branch depends on how many digits
// a number has.
inline const char* ziffern_lesen(const char* p, const char* ende, std::uint64_t& zahl) {
    while (ende - p >= 8) {
        std::uint64_t w;
        std::memcpy(&w, p, sizeof w);
        const int n = fuehrende_ziffern(w);
        if (n == 0)
            return p;
        zahl = zahl * zehner_ganz[n] + ziffern_wert(w, n);
        p += n;
        if (n < 8)
            return p;
    }
    for (; p < ende && ist_ziffer(*p); ++p)
        zahl = zahl * 10 + std::uint64_t(*p - '0');
    return p;
}

// mantisse × 10^zehner correctly rounded where both are exact doubles: one division or
// multiplication rounds once. False for the others (more digits than a double holds exactly,
// or a power of ten beyond 10^22), which alle_ziffern_lesen reads from their text.
inline bool dezimal_wert(std::uint64_t mantisse, int zehner, double& wert) {
    if (mantisse > std::uint64_t(1) << 53 || zehner < -22 || zehner > 22)
        return false;
    wert = zehner < 0 ? double(mantisse) / zehner_genau[-zehner]
                      : double(mantisse) * zehner_genau[zehner];
    return true;
}

// The number in [anfang, ende) (digits, its separator punkt, an exponent) read from all its
// digits by fast_float, correctly rounded: for the numbers dezimal_wert leaves. Not inline, so
// that the usual numbers' loop stays small.
double alle_ziffern_lesen(const char* anfang, const char* ende, char punkt);

struct Zahl {
    double wert = 0.0;
    const char* ende = nullptr; // just after the number; where the text began when there is none
};

// The typographic minus U+2212 that word processors write (three bytes in UTF-8) is read as a
// minus sign too. It is looked for only where a number would otherwise end without digits, off
// the way of the usual numbers; these two read on after it. Rare, so not inline.
int exponent_nach_minus(const char*& p, const char* ende);
Zahl zahl_nach_minus(const char* anfang, const char* zeichen, const char* ende,
                     bool komma_ist_punkt);

// The exponent after an e at p, where a digit follows (after an optional sign): its value,
// and p moved past it.
inline int exponent_lesen(const char*& p, const char* ende) {
    if (p + 1 >= ende || (*p != 'e' && *p != 'E'))
        return 0;
    const char* e = p + 1;
    const bool negativ = *e == '-';
    e += *e == '-' || *e == '+';
    std::uint64_t wert = 0;
    const char* e_ende = e;
    std::uint32_t vier = 0;
    if (ende - e >= 4) // the usual one to three digits: the four characters from e at once
        std::memcpy(&vier, e, sizeof vier);
    if (const int n = fuehrende_ziffern(vier); n >= 1 && n <= 3) {
        wert = ziffern_wert(vier, n);
        e_ende = e + n;
    } else {
        e_ende = ziffern_lesen(e, ende, wert);
    }
    if (e_ende == e) [[unlikely]]
        return e == p + 1 ? exponent_nach_minus(p, ende) : 0;
    p = e_ende;
    if (e_ende - e > 6) { // too long to be read at once: digit by digit, held in range
        wert = 0;
        for (; e < e_ende; ++e)
            wert = std::min<std::uint64_t>(wert * 10 + std::uint64_t(*e - '0'), 1000000);
    }
    return negativ ? -int(wert) : int(wert);
}

// The most common numbers in a value list, found within the first eight characters: up to
// six digits, with or without a decimal separator and digits after it, ended by something
// that is neither a digit nor an e ("51,23", "7", "1012.5"). Their digits make a whole number
// below 10^6 and the power of ten is exact, so one division rounds correctly. False for
// anything else, which the general reading takes.
inline bool kurz_gelesen(const char* anfang, const char* ende, bool komma_ist_punkt, Zahl& zahl) {
    if (ende - anfang < 8)
        return false;
    std::uint64_t w;
    std::memcpy(&w, anfang, sizeof w);
    // Every condition formed first and tested once: a list whose numbers often fail here
    // (a sign, an exponent, many digits) at random places should not make branches guess.
    const int ganze = fuehrende_ziffern(w);
    const int g = std::min(ganze, 6); // where ganze fits, g is ganze
    const auto zeichen = [w](int i) { return char(w >> (8 * i)); };
    const char trenner = zeichen(g);
    const bool mit_trenner = (trenner == '.') | (komma_ist_punkt & (trenner == ','));
    const int nachkomma = mit_trenner * fuehrende_ziffern(w >> (8 * (g + 1)));
    const int ende_der_zahl = std::min(g + mit_trenner * (1 + nachkomma), 7);
    const char danach = zeichen(ende_der_zahl);
    const bool passt = (ganze >= 1) & (ganze <= 6) & (!mit_trenner | (nachkomma >= 1)) &
                       (g + 1 + nachkomma <= 7) & (danach != 'e') & (danach != 'E');
    if (!passt)
        return false;
    const std::uint64_t vorn = (std::uint64_t(1) << (8 * g)) - 1;
    if (mit_trenner)
        w = (w & vorn) | ((w >> 8) & ~vorn); // the separator taken out
    zahl = {double(ziffern_wert(w, g + nachkomma)) / zehner_genau[nachkomma],
            anfang + ende_der_zahl};
    return true;
}

// The number whose digits start at ziffern, after its blanks and sign (from zeichen on): see
// zahl_lesen. Where there are none, 0 ending at anfang.
[[gnu::always_inline]] inline Zahl betrag_lesen(const char* anfang, const char* zeichen,
                                                const char* ziffern, const char* ende,
                                                bool komma_ist_punkt, bool negativ) {
    const char* p = ziffern;
    std::uint64_t mantisse = 0;
    p = ziffern_lesen(p, ende, mantisse);
    const char* const ganz_ende = p;
    char punkt = '.';
    if (p + 1 < ende && (*p == '.' || (komma_ist_punkt && *p == ',')) && ist_ziffer(p[1])) {
        punkt = *p;
        p = ziffern_lesen(p + 1, ende, mantisse);
    }
    const int nachkomma = p > ganz_ende ? int(p - ganz_ende - 1) : 0;
    const auto stellen = (ganz_ende - ziffern) + nachkomma;
    if (stellen == 0) [[unlikely]]
        return zeichen == ziffern ? zahl_nach_minus(anfang, zeichen, ende, komma_ist_punkt)
                                  : Zahl{0.0, anfang};
    const int exponent = exponent_lesen(p, ende);

    double wert = 0.0;
    if (stellen > 19 || !dezimal_wert(mantisse, exponent - nachkomma, wert))
        wert = alle_ziffern_lesen(ziffern, p, punkt);
    wert = std::min(wert, std::numeric_limits<double>::max());
    // The sign set without a branch; + 0.0 turns -0 into 0.
    const auto vorzeichen = std::uint64_t(negativ) << 63;
    return {std::bit_cast<double>(std::bit_cast<std::uint64_t>(wert) | vorzeichen) + 0.0, p};
}

// The number at the start of [anfang, ende): blanks, one optional sign ('-', '+' or the
// typographic minus), digits, a decimal separator only when a digit follows it (so ".5" is a
// number and "5." ends at the point), an exponent only when a digit follows the e. With
// decimal commas either separator may be the decimal one, the first after the digits, so
// "1.000,5" ends at its second separator.
// Correctly rounded; beyond the range of a double the result is the largest finite double of
// its sign, and -0 is 0. Always inline: the value lists' reader runs it line after line.
[[gnu::always_inline]] inline Zahl zahl_lesen(const char* anfang, const char* ende,
                                              bool komma_ist_punkt) {
    if (Zahl kurz; kurz_gelesen(anfang, ende, komma_ist_punkt, kurz))
        return kurz;
    const char* p = anfang;
    while (p < ende && (*p == ' ' || *p == '\t'))
        ++p;
    const char* const zeichen = p;
    // No branch on the sign, which may change from line to line at random.
    const bool negativ = p < ende && *p == '-';
    p += p < ende && (*p == '-' || *p == '+');
    return betrag_lesen(anfang, zeichen, p, ende, komma_ist_punkt, negativ);
}

} // namespace Proc::lesen
