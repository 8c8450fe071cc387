// Numbers written as text: Str, StrAnhaengen and StrListe, rounded to 15 significant digits
// quickly where that can be decided, exactly where not.
#include "text.h"

#include "vektoren.h"
#include "zahl_lesen.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
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

// 10^q for q from -300 to 322 as the sum of two doubles: the nearest double and what it
// lacks of the nearest long double (exact for q up to 22). From q = 301 on both are 2^-128
// of it, as 10^q is beyond the doubles. Made when a value first needs it.
struct Zehnerpotenzen {
    std::array<double, 623> naechste, rest; // 10^q at q + 300
};
constexpr double zwei_hoch_128 = 0x1p128;

const Zehnerpotenzen& genaue_zehnerpotenzen() {
    static const Zehnerpotenzen tabelle = [] {
        Zehnerpotenzen t{};
        for (int q = -300; q <= 322; ++q) {
            long double lang = std::strtold(("1e" + std::to_string(q)).c_str(), nullptr);
            if (q > 300)
                lang /= zwei_hoch_128;
            const auto stelle = std::size_t(q + 300);
            t.naechste[stelle] = double(lang);
            t.rest[stelle] = double(lang - t.naechste[stelle]);
        }
        return t;
    }();
    return tabelle;
}

// How far from halfway between two whole numbers the product of the value and the table's
// power of ten has to lie for its rounding to be certain: the table errs by 2^-64 of it where
// a long double has 64 bits (by half a unit in its last place), by far more where it has no
// more than a double; the product's own errors are below 10^-15, and it is below 10^15.
constexpr double sicherheit =
    8e15 / double(std::uint64_t(1) << std::min(std::numeric_limits<long double>::digits, 62));

// The 15 digits of betrag × 10^q, its decimal exponent taken to be 14 - q, for a positive
// normal betrag and q from -300 to 322, where they are certain: its nearest whole number has
// 15 digits. The product is formed in twice the precision of a double: the exact product with
// the nearest double of 10^q (a fused multiply-add gives what its rounding lost), and the
// product with the rest of 10^q. Where the exponent was one too high, the product lies below
// 10^14 - 0.05; from there on its 15 digits are 10^14, as at the exponent below they round up
// to 10^15.
bool genau_mal_zehnerpotenz(double betrag, int q, std::uint64_t& ziffern) {
    const Zehnerpotenzen& p = genaue_zehnerpotenzen();
    const auto stelle = std::size_t(q + 300);
    const double b = q > 300 ? betrag * zwei_hoch_128 : betrag; // exact: betrag is below 1e-286
    const double hoch = b * p.naechste[stelle];
    const double tief = std::fma(b, p.naechste[stelle], -hoch) + b * p.rest[stelle];
    const double abgerundet = std::floor(hoch);
    const double bruch = (hoch - abgerundet) + tief; // hoch - abgerundet is exact
    const double aufgerundet = std::floor(bruch + 0.5);
    const double ganz = abgerundet + aufgerundet;
    const double abstand = bruch - aufgerundet; // of the product from ganz
    ziffern = std::uint64_t(ganz);
    return std::fabs(abstand) < 0.5 - sicherheit && ganz < 1e15 &&
           (ganz > 1e14 || (ganz == 1e14 && abstand > sicherheit - 0.05));
}

// The 15-digit rounding found quickly, or false where the exact conversion has to decide.
// The value is scaled to 15 digits in floating point; at most three roundings, each within
// 2^-53 of its result, part that from the exact product, so it errs by less than 0.34. Where
// it lies within 0.16 of a whole number, that number is the 15-digit rounding. Else the
// product is formed again in twice the precision, which decides all but the values within a
// ten-thousandth of halfway (and all where a long double has no more bits than a double). At
// the ends of the decade, where the decade itself may be one off, only the second way counts.
// Subnormals go to the exact conversion.
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
    const auto innen = [](std::uint64_t z) { return z > 100000000000000 && z < 999999999999999; };
    if (innen(ziffern) && std::fabs(skaliert - double(ziffern)) < 0.16) // exact: steps of 1/8
        return true;
    return genau_mal_zehnerpotenz(betrag, 14 - exponent, ergebnis.ziffern);
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
// into tens in all lanes of the 64-bit number at once (SWAR), dividing by multiplying (exact
// in these ranges).
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

// The 15 digits from those of the first seven places and of the last eight, as acht_ziffern
// gives them (the first seven with a 0 before them).
Ziffern ziffern_zu_text(std::uint64_t vorn, std::uint64_t hinten) {
    // The zeros at the end are the empty top bytes.
    const int null_bits = hinten != 0 ? std::countl_zero(hinten) : 64 + std::countl_zero(vorn);
    const std::uint64_t nullen = 0x3030303030303030;
    return {{vorn | nullen, hinten | nullen, nullen, nullen}, 15 - std::size_t(null_bits / 8)};
}

Ziffern fuenfzehn_ziffern(std::uint64_t zahl) {
    return ziffern_zu_text(acht_ziffern(std::uint32_t(zahl / 100000000)),
                           acht_ziffern(std::uint32_t(zahl % 100000000)));
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

// Writes Str(wert) from p on, into str_hoechstens characters at most (the text itself takes
// str_laengste at most: "-d.ddddddddddddddde-ddd" or "-0.0000ddddddddddddddd"), and gives its
// end.
constexpr std::size_t str_hoechstens = 32;
constexpr std::size_t str_laengste = 22;

// The text of a value rounded to the digits given, the first of them at the decimal exponent.
char* ziffern_schreiben(char* p, bool negativ, const Ziffern& ziffern, int exponent) {
    *p = '-';
    p += negativ;
    if (exponent >= -5 && exponent < 15)
        return festkomma_schreiben(p, ziffern, exponent);
    return exponentform_schreiben(p, ziffern, exponent);
}

char* zahl_schreiben(char* p, double wert) {
    if (std::isnan(wert) || wert == 0.0) {
        *p++ = '0';
        return p;
    }
    const double betrag = std::min(std::fabs(wert), std::numeric_limits<double>::max());
    Gerundet gerundet;
    if (!schnell_gerundet(betrag, gerundet))
        gerundet = genau_gerundet(betrag);

    // Trailing zeros carry nothing: without them the text is the shortest at 15 digits.
    return ziffern_schreiben(p, wert < 0, fuenfzehn_ziffern(gerundet.ziffern), gerundet.exponent);
}

#ifdef VELMORA_AVX2

// Compiled for AVX2 with fused multiply-add, which every processor with AVX2 has; called only
// where mit_avx2_und_fma() holds.
#define VELMORA_FUER_AVX2_FMA __attribute__((target("avx2,fma")))

bool mit_avx2_und_fma() {
    static const bool ja = mit_avx2() && __builtin_cpu_supports("fma");
    return ja;
}

// The digits and decimal exponents of four values.
struct Vier {
    std::array<Ziffern, 4> ziffern;
    std::array<int, 4> exponent;
};

// x × 10^q for each lane, as mal_zehnerpotenz forms it.
VELMORA_FUER_AVX2 __m256d mal_zehnerpotenzen(__m256d x, __m256i q) {
    const __m256i gross = _mm256_cmpgt_epi64(q, _mm256_set1_epi64x(300));
    const __m256d vorab =
        _mm256_blendv_pd(_mm256_set1_pd(1.0), _mm256_set1_pd(1e22), _mm256_castsi256_pd(gross));
    const __m256i stelle = _mm256_sub_epi64(_mm256_add_epi64(q, _mm256_set1_epi64x(300)),
                                            _mm256_and_si256(gross, _mm256_set1_epi64x(22)));
    return _mm256_mul_pd(_mm256_mul_pd(x, vorab),
                         _mm256_i64gather_pd(zehnerpotenzen.data(), stelle, 8));
}

// Whole numbers below 2^52 held by doubles, as 64-bit whole numbers: their bits after adding
// 2^52, which puts them in the lowest bits.
VELMORA_FUER_AVX2 __m256i ganzzahlig(__m256d x) {
    const __m256d zwei_hoch_52 = _mm256_set1_pd(4503599627370496.0);
    return _mm256_xor_si256(_mm256_castpd_si256(_mm256_add_pd(x, zwei_hoch_52)),
                            _mm256_castpd_si256(zwei_hoch_52));
}

VELMORA_FUER_AVX2 __m256d abgerundet(__m256d x) {
    return _mm256_round_pd(x, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
}

// acht_ziffern for whole numbers below 10^8, one in each lane: the same steps, each within
// its half, hundred or ten as there. The halves are split by a multiplication that divides
// every 32-bit number by 10^4 exactly.
VELMORA_FUER_AVX2 __m256i acht_ziffern_vier(__m256i zahl) {
    const __m256i vorn =
        _mm256_srli_epi64(_mm256_mul_epu32(zahl, _mm256_set1_epi64x(0xD1B71759)), 45);
    const __m256i hinten =
        _mm256_sub_epi64(zahl, _mm256_mul_epu32(vorn, _mm256_set1_epi64x(10000)));
    const __m256i haelften = _mm256_or_si256(vorn, _mm256_slli_epi64(hinten, 32));
    const __m256i hunderter =
        _mm256_srli_epi32(_mm256_mullo_epi32(haelften, _mm256_set1_epi32(10486)), 20);
    const __m256i paare = _mm256_add_epi32(
        _mm256_slli_epi32(
            _mm256_sub_epi32(haelften, _mm256_mullo_epi32(hunderter, _mm256_set1_epi32(100))), 16),
        hunderter);
    const __m256i zehner = _mm256_srli_epi16(_mm256_mullo_epi16(paare, _mm256_set1_epi16(103)), 10);
    return _mm256_add_epi16(
        zehner, _mm256_slli_epi16(
                    _mm256_sub_epi16(paare, _mm256_mullo_epi16(zehner, _mm256_set1_epi16(10))), 8));
}

// genau_mal_zehnerpotenz in each lane: the 15 digits, and in sicher where they are certain.
VELMORA_FUER_AVX2_FMA __m256d genau_mal_zehnerpotenzen(__m256d betrag, __m256i q,
                                                       const Zehnerpotenzen& tabelle,
                                                       __m256d& sicher) {
    const __m256i stelle = _mm256_add_epi64(q, _mm256_set1_epi64x(300));
    const __m256d naechste = _mm256_i64gather_pd(tabelle.naechste.data(), stelle, 8);
    const __m256d rest = _mm256_i64gather_pd(tabelle.rest.data(), stelle, 8);
    const __m256d gross = _mm256_castsi256_pd(_mm256_cmpgt_epi64(q, _mm256_set1_epi64x(300)));
    const __m256d b = _mm256_mul_pd(
        betrag, _mm256_blendv_pd(_mm256_set1_pd(1.0), _mm256_set1_pd(zwei_hoch_128), gross));
    const __m256d hoch = _mm256_mul_pd(b, naechste);
    const __m256d tief = _mm256_add_pd(_mm256_fmsub_pd(b, naechste, hoch), _mm256_mul_pd(b, rest));
    const __m256d unten = abgerundet(hoch);
    const __m256d bruch = _mm256_add_pd(_mm256_sub_pd(hoch, unten), tief);
    const __m256d dazu = abgerundet(_mm256_add_pd(bruch, _mm256_set1_pd(0.5)));
    const __m256d ganz = _mm256_add_pd(unten, dazu);
    const __m256d abstand = _mm256_sub_pd(bruch, dazu);
    const __m256d eindeutig = _mm256_cmp_pd(_mm256_andnot_pd(_mm256_set1_pd(-0.0), abstand),
                                            _mm256_set1_pd(0.5 - sicherheit), _CMP_LT_OQ);
    const __m256d untere_grenze =
        _mm256_and_pd(_mm256_cmp_pd(ganz, _mm256_set1_pd(1e14), _CMP_EQ_OQ),
                      _mm256_cmp_pd(abstand, _mm256_set1_pd(sicherheit - 0.05), _CMP_GT_OQ));
    const __m256d fuenfzehn = _mm256_and_pd(
        _mm256_cmp_pd(ganz, _mm256_set1_pd(1e15), _CMP_LT_OQ),
        _mm256_or_pd(_mm256_cmp_pd(ganz, _mm256_set1_pd(1e14), _CMP_GT_OQ), untere_grenze));
    sicher = _mm256_and_pd(eindeutig, fuenfzehn);
    return ganz;
}

// Four values rounded to 15 digits at once, each lane the ways schnell_gerundet takes, and
// their digits: a bit for each lane that these ways decided (the others are left to
// zahl_schreiben, which tries them again and goes on from there).
VELMORA_FUER_AVX2_FMA unsigned vier_runden(const double* werte, const Zehnerpotenzen& tabelle,
                                           Vier& vier) {
    const __m256d wert = _mm256_loadu_pd(werte);
    const __m256d betrag = _mm256_min_pd(_mm256_andnot_pd(_mm256_set1_pd(-0.0), wert),
                                         _mm256_set1_pd(std::numeric_limits<double>::max()));
    const __m256d normal = _mm256_and_pd(
        _mm256_cmp_pd(wert, wert, _CMP_ORD_Q),
        _mm256_cmp_pd(betrag, _mm256_set1_pd(std::numeric_limits<double>::min()), _CMP_GE_OQ));

    const __m256i binaer = _mm256_sub_epi64(_mm256_srli_epi64(_mm256_castpd_si256(betrag), 52),
                                            _mm256_set1_epi64x(1023));
    // binaer × 78913 fits in 32 bits: shifted in the lower half, the upper half keeps the sign.
    const __m256i exponent_oder_weniger =
        _mm256_srai_epi32(_mm256_mul_epi32(binaer, _mm256_set1_epi64x(78913)), 18);
    const __m256d skaliert_so =
        mal_zehnerpotenzen(betrag, _mm256_sub_epi64(_mm256_set1_epi64x(14), exponent_oder_weniger));
    const __m256d skaliert_mehr =
        mal_zehnerpotenzen(betrag, _mm256_sub_epi64(_mm256_set1_epi64x(13), exponent_oder_weniger));
    const __m256d eins_mehr =
        _mm256_cmp_pd(skaliert_so, _mm256_set1_pd(999999999999999.5), _CMP_GE_OQ);
    const __m256d skaliert = _mm256_blendv_pd(skaliert_so, skaliert_mehr, eins_mehr);
    const __m256i exponent =
        _mm256_sub_epi64(exponent_oder_weniger, _mm256_castpd_si256(eins_mehr));
    const __m256d schnell = abgerundet(_mm256_add_pd(skaliert, _mm256_set1_pd(0.5)));
    const __m256d abstand =
        _mm256_andnot_pd(_mm256_set1_pd(-0.0), _mm256_sub_pd(skaliert, schnell));
    const __m256d nah = _mm256_cmp_pd(abstand, _mm256_set1_pd(0.16), _CMP_LT_OQ);
    const __m256d innen =
        _mm256_and_pd(_mm256_cmp_pd(schnell, _mm256_set1_pd(1e14), _CMP_GT_OQ),
                      _mm256_cmp_pd(schnell, _mm256_set1_pd(999999999999999.0), _CMP_LT_OQ));
    const __m256d so_schnell = _mm256_and_pd(innen, nah);
    __m256d ziffern = schnell;
    auto gut = unsigned(_mm256_movemask_pd(_mm256_and_pd(normal, so_schnell)));
    if (gut != 0xF) { // the second way only where the first leaves a lane undecided
        __m256d sicher;
        const __m256d genau = genau_mal_zehnerpotenzen(
            betrag, _mm256_sub_epi64(_mm256_set1_epi64x(14), exponent), tabelle, sicher);
        ziffern = _mm256_blendv_pd(genau, schnell, so_schnell);
        gut = unsigned(_mm256_movemask_pd(_mm256_and_pd(normal, _mm256_or_pd(so_schnell, sicher))));
    }

    // The first seven digits and the last eight, each below 10^8. The quotient by 10^8 is the
    // product with 10^-8 rounded down: as a double, 10^-8 is a little more (by 2·10^-17 of
    // it), which lifts the product by less than 3·10^-10, never up to the next whole number
    // (at least 10^-8 away, while doubles below 2^24 lie less than 2·10^-9 apart).
    const __m256d erste = abgerundet(_mm256_mul_pd(ziffern, _mm256_set1_pd(1e-8)));
    const __m256d letzte = _mm256_sub_pd(ziffern, _mm256_mul_pd(erste, _mm256_set1_pd(1e8)));
    alignas(32) std::array<std::uint64_t, 4> vorn, hinten;
    alignas(32) std::array<std::int64_t, 4> exponenten;
    _mm256_store_si256(reinterpret_cast<__m256i*>(vorn.data()),
                       acht_ziffern_vier(ganzzahlig(erste)));
    _mm256_store_si256(reinterpret_cast<__m256i*>(hinten.data()),
                       acht_ziffern_vier(ganzzahlig(letzte)));
    _mm256_store_si256(reinterpret_cast<__m256i*>(exponenten.data()), exponent);
    for (std::size_t k = 0; k < 4; ++k) {
        vier.ziffern[k] = ziffern_zu_text(vorn[k], hinten[k]);
        vier.exponent[k] = int(exponenten[k]);
    }
    return gut;
}

#endif

} // namespace

void StrAnhaengen(std::string& ziel, double wert) {
    std::array<char, str_hoechstens> puffer;
    ziel.append(puffer.data(), zahl_schreiben(puffer.data(), wert));
}

std::string Str(double wert) {
    std::array<char, str_hoechstens> puffer;
    return std::string(puffer.data(), zahl_schreiben(puffer.data(), wert));
}

// The texts go through a buffer, a few hundred at a time: appending each on its own would
// cost more than writing it. Where the processor has AVX2, four values are rounded at once.
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
    const auto anhaengen = [&](std::size_t i, auto schreiben) {
        if (std::size_t(puffer.end() - p) <= str_hoechstens) {
            liste.append(puffer.data(), p);
            p = puffer.data();
        }
        *p = trenner;
        p += i > 0;
        p = schreiben(p);
    };
    std::size_t i = 0;
#ifdef VELMORA_AVX2
    if (mit_avx2_und_fma()) {
        const Zehnerpotenzen& tabelle = genaue_zehnerpotenzen();
        for (; i + 4 <= werte.size(); i += 4) {
            Vier vier;
            const unsigned gerundet = vier_runden(&werte[i], tabelle, vier);
            for (std::size_t k = 0; k < 4; ++k)
                anhaengen(i + k, [&](char* q) {
                    return (gerundet >> k) & 1
                               ? ziffern_schreiben(q, werte[i + k] < 0, vier.ziffern[k],
                                                   vier.exponent[k])
                               : zahl_schreiben(q, werte[i + k]);
                });
        }
    }
#endif
    for (; i < werte.size(); ++i)
        anhaengen(i, [&](char* q) { return zahl_schreiben(q, werte[i]); });
    liste.append(puffer.data(), p);
}

} // namespace Proc
