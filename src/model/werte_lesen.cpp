#include "werte_lesen.h"

#include "vektoren.h"
#include "zahl_lesen.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <span>
#include <string_view>

namespace Proc {

namespace {

constexpr char zeilenende = '\r';

// The lines are taken in blocks: first the starts of a block's lines are found, then its
// numbers read. As no number then waits for the end of the one before it, the processor
// reads several at once. A block holds at least this many lines and at most 64 more.
constexpr std::size_t block = 256;
constexpr std::size_t block_hoechstens = block + 64;

// Where the lines of a block start (offsets into the text), and after them where the line
// after the last would start (one past its carriage return). Line k ends before start k+1.
using Anfaenge = std::span<const std::size_t>;

// The carriage returns among the 64 characters from p on, one bit each, the first character's
// the lowest: eight characters at a time in a whole number (SWAR, SIMD within a register: the
// top bit of each byte that is one gathered by a multiplication), or sixteen at a time where
// SSE2 compares them.
std::uint64_t zeilenenden_einzeln(const char* p) {
    constexpr std::uint64_t sieben_bits = 0x7F7F7F7F7F7F7F7F;
    std::uint64_t enden = 0;
    for (int i = 0; i < 8; ++i) {
        std::uint64_t w;
        std::memcpy(&w, p + 8 * i, sizeof w);
        const std::uint64_t null_wo_zeilenende = w ^ 0x0D0D0D0D0D0D0D0D;
        const std::uint64_t oberste_bits = ~(((null_wo_zeilenende & sieben_bits) + sieben_bits) |
                                             null_wo_zeilenende | sieben_bits);
        enden |= (((oberste_bits >> 7) * 0x0102040810204080) >> 56) << (8 * i);
    }
    return enden;
}

std::uint64_t zeilenenden(const char* p) {
#ifdef __SSE2__
    if (!ohne_vektoren()) {
        const __m128i wagenruecklauf = _mm_set1_epi8(zeilenende);
        std::uint64_t enden = 0;
        for (int i = 0; i < 4; ++i) {
            const __m128i sechzehn = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
            const auto bits = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(sechzehn, wagenruecklauf)));
            enden |= std::uint64_t(bits) << (16 * i);
        }
        return enden;
    }
#endif
    return zeilenenden_einzeln(p);
}

// The count of bits set, in a few operations on the whole number (SWAR): without an
// instruction for it in the processors all x86-64 builds are made for, std::popcount is a
// library call.
int gesetzte_bits(std::uint64_t x) {
    x -= (x >> 1) & 0x5555555555555555;
    x = (x & 0x3333333333333333) + ((x >> 2) & 0x3333333333333333);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0F;
    return int((x * 0x0101010101010101) >> 56);
}

// Calls lesen with the starts of every block of lines, in order.
template <class Lesen> void bloecke_finden(std::string_view text, Lesen&& lesen) {
    // A block, the 64 starts of 64 characters more, and the end.
    std::array<std::size_t, block_hoechstens + 1> anfaenge;
    std::size_t n = 0;
    anfaenge[n++] = 0;
    std::size_t i = 0;
    for (; i + 64 <= text.size(); i += 64) {
        std::uint64_t enden = zeilenenden(text.data() + i);
        const auto anzahl = std::size_t(gesetzte_bits(enden));
        // Eight starts a round, whether there are as many or not, so that no branch waits on
        // the count (usually one round); those beyond it are written over later.
        for (std::size_t* ziel = &anfaenge[n]; enden != 0; ziel += 8)
            for (std::size_t k = 0; k < 8; ++k) {
                ziel[k] = i + std::size_t(std::countr_zero(enden)) + 1;
                enden &= enden - 1;
            }
        n += anzahl;
        if (n > block) { // the first n-1 lines are complete
            lesen(Anfaenge(anfaenge.data(), n));
            anfaenge[0] = anfaenge[n - 1];
            n = 1;
        }
    }
    for (; i < text.size(); ++i)
        if (text[i] == zeilenende)
            anfaenge[n++] = i + 1;
    // A carriage return at the very end ends the last line; else the text's end does.
    if (anfaenge[n - 1] != text.size())
        anfaenge[n++] = text.size() + 1;
    if (n > 1)
        lesen(Anfaenge(anfaenge.data(), n));
}

#ifdef __SSE2__

// 16 bytes 0x00, then 32 bytes 0xFF: the 16 bytes from stelle i on are 0xFF from place 16 - i
// on, a mask that keeps the top i bytes of 16.
constexpr std::array<std::uint8_t, 48> masken = [] {
    std::array<std::uint8_t, 48> m{};
    std::fill(m.begin() + 16, m.end(), 0xFF);
    return m;
}();

__m128i oben_ab(int i) { // the bytes from place i (-1 .. 17) on
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(masken.data() + 16 - i));
}

// The number of a line holding only an optional minus and then up to sixteen characters of
// digits and at most one decimal separator ('.' or ','), read as zahl_lesen reads it: the same
// digits as one whole number and the same power of ten, given to the same dezimal_wert. The
// sixteen characters that end the line are taken at once, the line's own at their top and
// those before it set to '0'. zeilenende is just after the line's last character and has at
// least 16 characters before it; laenge is 1 .. 17. False for lines of any other form, and
// for the rare numbers that need all their digits: zahl_lesen reads those.
bool sechzehn_gelesen(const char* zeilenende, std::size_t laenge, double& wert) {
    const bool negativ = zeilenende[-std::ptrdiff_t(laenge)] == '-';
    const int n = int(laenge) - negativ; // the characters of the number itself
    const __m128i nullen = _mm_set1_epi8('0');
    const __m128i eigene = oben_ab(16 - n);
    const __m128i zeichen = _mm_loadu_si128(reinterpret_cast<const __m128i*>(zeilenende - 16));
    const __m128i ziffern = _mm_sub_epi8(
        _mm_or_si128(_mm_and_si128(eigene, zeichen), _mm_andnot_si128(eigene, nullen)), nullen);
    // Each byte that is no digit (its value above 9 once '0' is taken off) gives a bit.
    const auto fremd =
        unsigned(~_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_subs_epu8(ziffern, _mm_set1_epi8(9)),
                                                   _mm_setzero_si128())) &
                 0xFFFF);
    const bool mit_trenner = fremd != 0;
    const int trenner = mit_trenner ? std::countr_zero(fremd) : -1; // -1: none
    const char t = zeilenende[trenner - 16 + !mit_trenner];
    if (n < 1 || n > 16 || (fremd & (fremd - 1)) != 0 || n == mit_trenner ||
        (mit_trenner && t != '.' && t != ','))
        return false;

    // The separator taken out: the digits before it moved up one place, those after it kept.
    const __m128i davor = _mm_andnot_si128(oben_ab(trenner), ziffern);
    const __m128i danach = _mm_and_si128(oben_ab(trenner + 1), ziffern);
    const __m128i zusammen = _mm_or_si128(_mm_slli_si128(davor, 1), danach);
    // Two, four and eight digits at a time, the first digit of each pair in its lower byte:
    // the SWAR parse of ziffern_wert, in eight lanes at once.
    const __m128i paare = _mm_add_epi16(
        _mm_mullo_epi16(_mm_and_si128(zusammen, _mm_set1_epi16(0xFF)), _mm_set1_epi16(10)),
        _mm_srli_epi16(zusammen, 8));
    const __m128i vierer = _mm_madd_epi16(paare, _mm_set1_epi32(100 | 1 << 16));
    const __m128i achter =
        _mm_madd_epi16(_mm_packs_epi32(vierer, vierer), _mm_set1_epi32(10000 | 1 << 16));
    const auto beide = std::uint64_t(_mm_cvtsi128_si64(achter));
    const std::uint64_t mantisse = (beide & 0xFFFFFFFF) * 100000000 + (beide >> 32);
    if (!lesen::dezimal_wert(mantisse, mit_trenner ? trenner - 15 : 0, wert))
        wert = lesen::alle_ziffern_lesen(zeilenende - n, zeilenende, mit_trenner ? t : '.');
    // The sign set without a branch; + 0.0 turns -0 into 0.
    wert =
        std::bit_cast<double>(std::bit_cast<std::uint64_t>(wert) | std::uint64_t(negativ) << 63) +
        0.0;
    return true;
}

#endif

#ifdef VELMORA_AVX2

VELMORA_FUER_AVX2 inline __m256i jedes_byte(std::uint8_t b) {
    return _mm256_set1_epi8(char(b));
}
VELMORA_FUER_AVX2 inline __m256i nicht(__m256i x) {
    return _mm256_xor_si256(x, _mm256_cmpeq_epi64(x, x));
}
VELMORA_FUER_AVX2 inline __m256i ist_null(__m256i x) {
    return _mm256_cmpeq_epi64(x, _mm256_setzero_si256());
}
VELMORA_FUER_AVX2 inline __m256i und(__m256i a, __m256i b) {
    return _mm256_and_si256(a, b);
}
VELMORA_FUER_AVX2 inline __m256i oder(__m256i a, __m256i b) {
    return _mm256_or_si256(a, b);
}

// The number on a line of the usual form, in each 64-bit lane: an optional minus, then up to
// eight characters of digits and at most one decimal separator ('.' or ','), ending the
// line. w holds the line's first eight characters, the first in the lowest byte.
// Writes the four values to werte and returns a bit for each lane of that form; the others
// are left to zahl_lesen. The digits make a whole number below 10^8 and the power of ten is
// exact, so one division rounds correctly, as zahl_lesen reads them.
VELMORA_FUER_AVX2 unsigned vier_zahlen(__m256i w, __m256i laenge, double* werte) {
    const __m256i null = _mm256_setzero_si256();
    const __m256i eins = _mm256_set1_epi64x(1);
    const __m256i hoch = jedes_byte(0x80);
    const __m256i nullen = jedes_byte('0');
    const __m256i vorzeichenbit = _mm256_set1_epi64x(std::numeric_limits<std::int64_t>::min());

    // A minus is dropped; the rest is moved to the top, '0's below it, the last character in
    // the top byte.
    const __m256i minus =
        _mm256_cmpeq_epi64(und(w, _mm256_set1_epi64x(0xFF)), _mm256_set1_epi64x('-'));
    w = _mm256_srlv_epi64(w, und(minus, _mm256_set1_epi64x(8)));
    const __m256i zeichen = _mm256_add_epi64(laenge, minus); // without the minus
    const __m256i bits = _mm256_slli_epi64(zeichen, 3);
    const __m256i schieben = _mm256_sub_epi64(_mm256_set1_epi64x(64), bits);
    const __m256i u = oder(_mm256_sllv_epi64(w, schieben),
                           _mm256_srlv_epi64(nullen, bits)); // by 64 or more gives 0

    // The bytes that are no digit: below '0', above '9' (in seven bits: 0x7F - '9' added
    // carries into the top bit) or beyond ASCII.
    const __m256i unter_null = _mm256_andnot_si256(_mm256_sub_epi64(oder(u, hoch), nullen), hoch);
    const __m256i ueber_neun =
        und(_mm256_add_epi64(_mm256_andnot_si256(hoch, u), jedes_byte(0x7F - '9')), hoch);
    const __m256i fremd = oder(oder(unter_null, ueber_neun), und(u, hoch));
    // At most one, the separator: its byte, the bytes below and above it.
    const __m256i ganz = ist_null(fremd);
    const __m256i einzeln = ist_null(und(fremd, _mm256_sub_epi64(fremd, eins)));
    const __m256i trennbit = und(fremd, _mm256_sub_epi64(null, fremd));
    const __m256i trennbyte =
        _mm256_sub_epi64(_mm256_slli_epi64(trennbit, 1), _mm256_srli_epi64(trennbit, 7));
    const __m256i unten =
        _mm256_andnot_si256(ganz, _mm256_sub_epi64(_mm256_srli_epi64(trennbit, 7), eins));
    const __m256i oben = nicht(oder(unten, trennbyte)); // all, where there is none
    // '.' or ',' (the only bytes that read as '.' with their second bit set). First or last
    // it reads as it would between digits: ".5" is 0.5 and "5." is 5.
    const __m256i ist_trenner =
        ist_null(und(_mm256_xor_si256(oder(u, jedes_byte(0x02)), jedes_byte('.')), trennbyte));
    // A digit at least: a separator alone (".", "-,") is no number, which the general reading
    // counts: two characters with a separator (ganz is 0), else one (ganz is -1).
    const __m256i laenge_passt = und(_mm256_cmpgt_epi64(_mm256_set1_epi64x(9), laenge),
                                     _mm256_cmpgt_epi64(_mm256_sub_epi64(zeichen, ganz), eins));
    const __m256i gueltig = und(und(laenge_passt, einzeln), oder(ganz, ist_trenner));

    // The digits with the separator taken out (the bytes below it moved up one), read two,
    // four and then eight at a time, as ziffern_wert does in one lane (the SWAR parse).
    const __m256i ziffern = _mm256_sub_epi8(
        oder(oder(_mm256_slli_epi64(und(u, unten), 8), und(u, oben)), nullen), nullen);
    const __m256i paare = _mm256_maddubs_epi16(ziffern, _mm256_set1_epi16(0x010A));
    const __m256i vierer = _mm256_madd_epi16(paare, _mm256_set1_epi32(0x00010064));
    const __m256i ganzzahl = _mm256_add_epi64(_mm256_mul_epu32(vierer, _mm256_set1_epi64x(10000)),
                                              _mm256_srli_epi64(vierer, 32));
    // Exact as a double: 2^52 plus the whole number, less 2^52.
    const __m256d zwei_hoch_52 = _mm256_set1_pd(4503599627370496.0);
    const __m256d mantisse = _mm256_sub_pd(
        _mm256_castsi256_pd(oder(ganzzahl, _mm256_castpd_si256(zwei_hoch_52))), zwei_hoch_52);

    // The digits after the separator: the bytes above it.
    const __m256i nachkomma = _mm256_sad_epu8(
        _mm256_andnot_si256(ganz, und(_mm256_srli_epi64(oben, 7), jedes_byte(1))), null);
    alignas(32) std::array<std::int64_t, 4> stellen; // at most 8
    _mm256_store_si256(reinterpret_cast<__m256i*>(stellen.data()), nachkomma);
    const auto& zehner = lesen::zehner_genau;
    const __m256d teiler = _mm256_setr_pd(zehner[stellen[0]], zehner[stellen[1]],
                                          zehner[stellen[2]], zehner[stellen[3]]);
    const __m256d betrag = _mm256_div_pd(mantisse, teiler);
    const __m256d vorzeichen = _mm256_castsi256_pd(und(minus, vorzeichenbit));
    // + 0 turns -0 into 0.
    _mm256_storeu_pd(werte, _mm256_add_pd(_mm256_or_pd(betrag, vorzeichen), _mm256_setzero_pd()));
    return unsigned(_mm256_movemask_pd(_mm256_castsi256_pd(gueltig)));
}

std::uint64_t acht_zeichen(const char* p) {
    std::uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

// How many lines a pass went through, and how many of them it listed to be read one by one.
struct Durchgang {
    std::size_t zeilen = 0;
    std::size_t andere = 0;
};

// For each set of the four lanes (bit i for lane i), their numbers in order as four 16-bit
// numbers, the first in the lowest.
constexpr std::array<std::uint64_t, 16> spuren_liste = [] {
    std::array<std::uint64_t, 16> listen{};
    for (unsigned spuren = 0; spuren < 16; ++spuren)
        for (unsigned i = 0, n = 0; i < 4; ++i)
            if ((spuren >> i) & 1)
                listen[spuren] |= std::uint64_t(i) << (16 * n++);
    return listen;
}();

// Reads the block's lines four at a time while eight characters can be read at the start of
// each. The lines of another form are listed in andere, to be read one by one outside this
// loop, where many can be read at once.
VELMORA_FUER_AVX2 Durchgang vier_auf_einmal(std::string_view text, Anfaenge anfaenge, double* werte,
                                            std::uint16_t* andere) {
    static_assert(sizeof(std::size_t) == sizeof(std::int64_t));
    const char* const t = text.data();
    const std::size_t zeilen = anfaenge.size() - 1;
    Durchgang d;
    std::size_t& k = d.zeilen;
    for (; k + 4 <= zeilen && anfaenge[k + 3] + 8 <= text.size(); k += 4) {
        const __m256i anfang = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(&anfaenge[k]));
        const __m256i naechster =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(&anfaenge[k + 1]));
        const __m256i laenge =
            _mm256_sub_epi64(_mm256_sub_epi64(naechster, anfang), _mm256_set1_epi64x(1));
        const __m256i w = _mm256_setr_epi64x(std::int64_t(acht_zeichen(t + anfaenge[k])),
                                             std::int64_t(acht_zeichen(t + anfaenge[k + 1])),
                                             std::int64_t(acht_zeichen(t + anfaenge[k + 2])),
                                             std::int64_t(acht_zeichen(t + anfaenge[k + 3])));
        const unsigned andere_spuren = ~vier_zahlen(w, laenge, werte + k) & 0xF;
        // No branch: the four places are written at once, those beyond the lines listed are
        // written over by the next ones.
        const std::uint64_t liste = spuren_liste[andere_spuren] + k * 0x0001000100010001;
        std::memcpy(&andere[d.andere], &liste, sizeof liste);
        d.andere += std::size_t(std::popcount(std::uint8_t(andere_spuren)));
    }
    return d;
}

#endif

// Reads the numbers at the starts of a block's lines into werte, counting the lines without
// one. Four at a time where at least half the lines of the block before had the usual form;
// else (long numbers, exponents, blanks) one by one, trying four at a time again every 16th
// block. The lines read four at a time all hold a number.
class Blockleser {
public:
    void lesen(std::string_view text, Anfaenge anfaenge, double* werte) {
        std::size_t keine = 0; // in a register through the loop
        const auto zahl = [&](std::size_t k) {
#ifdef __SSE2__
            const std::size_t zeilenende = anfaenge[k + 1] - 1;
            const std::size_t laenge = zeilenende - anfaenge[k];
            if (sechzehn && zeilenende >= 16 && laenge - 1 < 17 &&
                sechzehn_gelesen(text.data() + zeilenende, laenge, werte[k]))
                return;
#endif
            const char* const anfang = text.data() + anfaenge[k];
            const lesen::Zahl z = lesen::zahl_lesen(anfang, text.data() + text.size(), true);
            werte[k] = z.wert;
            keine += z.ende == anfang;
        };
        std::size_t k = 0;
#ifdef VELMORA_AVX2
        if (mit_avx2() && (vierer_lohnen || bloecke % 16 == 0)) {
            std::array<std::uint16_t, block_hoechstens> andere;
            const Durchgang d = vier_auf_einmal(text, anfaenge, werte, andere.data());
            for (std::size_t i = 0; i < d.andere; ++i)
                zahl(andere[i]);
            k = d.zeilen;
            vierer_lohnen = 2 * d.andere <= d.zeilen;
        }
        ++bloecke;
#endif
        for (; k + 1 < anfaenge.size(); ++k)
            zahl(k);
        ohne_zahl += keine;
    }

    std::size_t ohne_zahl = 0;

private:
#ifdef __SSE2__
    const bool sechzehn = !ohne_vektoren();
#endif
    bool vierer_lohnen = true;
    std::size_t bloecke = 0;
};

// The smallest and the largest of the values joined to those of u, four running at once (a
// minimum or maximum does not depend on the order), so that none waits on the one before.
void spanne_dazu(std::span<const double> werte, Ueberblick& u) {
    std::array<double, 4> kleinster, groesster;
    kleinster.fill(u.kleinster);
    groesster.fill(u.groesster);
    std::size_t k = 0;
    for (; k + 4 <= werte.size(); k += 4)
        for (std::size_t i = 0; i < 4; ++i) {
            kleinster[i] = std::min(kleinster[i], werte[k + i]);
            groesster[i] = std::max(groesster[i], werte[k + i]);
        }
    for (; k < werte.size(); ++k) {
        kleinster[0] = std::min(kleinster[0], werte[k]);
        groesster[0] = std::max(groesster[0], werte[k]);
    }
    u.kleinster = std::min({kleinster[0], kleinster[1], kleinster[2], kleinster[3]});
    u.groesster = std::max({groesster[0], groesster[1], groesster[2], groesster[3]});
}

// The sum in the order of the values, each partial sum held to the largest double of its
// sign. Sixteen values are first added without bounds: where that sum stays finite, so did
// every partial sum, and bounding changed none of them. Only the others are added again,
// bounded, which triples the chain of additions, each waiting on the one before.
double begrenzte_summe(std::span<const double> werte) {
    constexpr double groesste = std::numeric_limits<double>::max();
    constexpr std::size_t stueck = 16;
    double summe = 0.0;
    for (std::size_t i = 0; i < werte.size(); i += stueck) {
        const std::span<const double> teil = werte.subspan(i, std::min(stueck, werte.size() - i));
        double frei = summe;
        for (double v : teil)
            frei += v;
        if (std::isfinite(frei)) {
            summe = frei;
            continue;
        }
        for (double v : teil)
            summe = std::min(std::max(summe + v, -groesste), groesste); // no branch
    }
    return summe;
}

} // namespace

Ueberblick werte_lesen(std::string_view text, std::vector<double>& x) {
    x.clear();
    // Running values in locals, which stay in registers through the loop. The sum is formed
    // unbounded: where it stays finite, every partial sum did, and bounding would have
    // changed none of them.
    Ueberblick u;
    std::array<double, block_hoechstens> werte;
    Blockleser leser;
    bloecke_finden(text, [&](Anfaenge anfaenge) {
        leser.lesen(text, anfaenge, werte.data());
        const std::size_t n = anfaenge.size() - 1;
        // The sum apart from the rest, in few instructions: each addition waits on the one
        // before, and meanwhile the processor reads ahead into the next block only as far as
        // the instructions waiting before it leave room.
        double summe = u.summe;
        for (std::size_t k = 0; k < n; ++k)
            summe += werte[k];
        u.summe = summe;
        spanne_dazu(std::span(werte.data(), n), u);
        x.insert(x.end(), werte.begin(), werte.begin() + std::ptrdiff_t(n));
    });
    if (!std::isfinite(u.summe))
        u.summe = begrenzte_summe(x);
    u.ohne_zahl = leser.ohne_zahl;
    return u;
}

std::size_t zeilenenden_zaehlen(std::string_view text) {
    std::size_t anzahl = 0, i = 0;
    for (; i + 64 <= text.size(); i += 64)
        anzahl += std::size_t(gesetzte_bits(zeilenenden(text.data() + i)));
    return anzahl +
           std::size_t(std::count(text.begin() + std::ptrdiff_t(i), text.end(), zeilenende));
}

Ueberblick ueberblick(std::span<const double> werte) {
    Ueberblick u;
    for (double v : werte)
        u.summe += v;
    if (!std::isfinite(u.summe))
        u.summe = begrenzte_summe(werte);
    spanne_dazu(werte, u);
    return u;
}

std::optional<double> gelesen_als(std::string_view zeile) {
    const char* const ende = zeile.data() + zeile.size();
    const lesen::Zahl zahl = lesen::zahl_lesen(zeile.data(), ende, true);
    const std::string_view gelesen(zeile.data(), std::size_t(zahl.ende - zeile.data()));
    std::string_view rest(zahl.ende, std::size_t(ende - zahl.ende));
    if (gelesen.empty())
        return zahl.wert;
    if (rest.starts_with('.') || rest.starts_with(','))
        rest.remove_prefix(gelesen.find_first_of(".,eE") == std::string_view::npos);
    if (rest.find_first_not_of(" \t") == std::string_view::npos)
        return std::nullopt;
    return zahl.wert;
}

} // namespace Proc
