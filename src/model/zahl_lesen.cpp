// The rare ways of reading a number, kept out of line: a typographic minus, and numbers that
// need all their digits.
#include "zahl_lesen.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fast_float/fast_float.h>
#include <string>

namespace Proc {

namespace {

bool typografisches_minus(const char* p, const char* ende) {
    return ende - p >= 3 && std::memcmp(p, "\xE2\x88\x92", 3) == 0;
}

} // namespace

int lesen::exponent_nach_minus(const char*& p, const char* ende) {
    const char* e = p + 1; // after the e
    if (!typografisches_minus(e, ende) || ende - e < 4 || !ist_ziffer(e[3]))
        return 0;
    std::uint64_t wert = 0; // held in range, as a longer exponent gives no other double
    for (e += 3; e < ende && ist_ziffer(*e); ++e)
        wert = std::min<std::uint64_t>(wert * 10 + std::uint64_t(*e - '0'), 1000000);
    p = e;
    return -int(wert);
}

lesen::Zahl lesen::zahl_nach_minus(const char* anfang, const char* zeichen, const char* ende,
                                   bool komma_ist_punkt) {
    if (!typografisches_minus(zeichen, ende))
        return {0.0, anfang};
    const char* const ziffern = zeichen + 3;
    // A second minus after it is not looked for: zeichen lies before ziffern.
    const Zahl zahl = betrag_lesen(ziffern, zeichen, ziffern, ende, komma_ist_punkt, true);
    return zahl.ende == ziffern ? Zahl{0.0, anfang} : zahl;
}

double lesen::alle_ziffern_lesen(const char* anfang, const char* ende, char punkt) {
    double wert = 0.0;
    const fast_float::parse_options format(fast_float::chars_format::general, punkt);
    // fast_float knows no typographic minus, which only the exponent can hold here.
    const std::string_view zahl(anfang, std::size_t(ende - anfang));
    if (const std::size_t minus = zahl.find("\xE2\x88\x92"); minus != std::string_view::npos) {
        std::string kopie(zahl);
        kopie[minus] = '-';
        kopie.erase(minus + 1, 2);
        fast_float::from_chars_advanced(kopie.data(), kopie.data() + kopie.size(), wert, format);
        return wert;
    }
    fast_float::from_chars_advanced(anfang, ende, wert, format);
    return wert;
}

} // namespace Proc
