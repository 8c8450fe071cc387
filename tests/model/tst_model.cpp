// The model: number reading and writing, field splitting, the pixel conversion, the module
// state's stores, and the statistics of a data series, checked against worked examples and
// against a plain sort-based computation on many generated lists.
#include "model/auswahl.h"
#include "model/proc.h"
#include "model/statistik.h"
#include "model/text.h"
#include "model/werte_lesen.h"
#include "support/lehrbuch.h"

#include <QTest>

#include <bit>
#include <clocale>
#include <cstring>
#include <functional>
#include <numeric>
#include <random>

using namespace Proc;

namespace {

constexpr int32_t satz = 2;
constexpr double groesste = std::numeric_limits<double>::max();

QList<double> basiswerte() {
    QList<double> b;
    for (int32_t spalte = 1; spalte <= 8; ++spalte)
        b << daten_basiswert(satz, spalte);
    return b;
}

// Whisker ends and outliers as "lower|upper|outliers".
std::string ausreissertexte() {
    return daten_ausreisser(satz, whisker_unten) + "|" + daten_ausreisser(satz, whisker_oben) +
           "|" + daten_ausreisser(satz, ausreisser_liste);
}

// Lists for the comparison: ties, heavy tails, a single value far away, values across the
// whole range of doubles, spreads over many binades, any bit pattern, many close values.
std::vector<double> werte_erzeugen(const QString& art, int n, std::mt19937& zufall) {
    std::cauchy_distribution<double> cauchy(0.0, 10.0);
    std::normal_distribution<double> normal(50.0, 10.0);
    const double drei[] = {std::round(cauchy(zufall)), std::round(cauchy(zufall)), 0.25};
    // clang-format off
    const std::map<QString, std::function<double(int)>> arten{
        {"three values", [&](int) { return drei[zufall() % 3]; }},
        {"all equal", [](int) { return -7.25; }},
        {"heavy tails", [&](int) { return std::round(cauchy(zufall) * 1000) / 1000; }},
        {"one far away", [&](int i) { return i == n / 3 ? 1e300 : std::round(normal(zufall) * 100) / 100; }},
        {"whole range", [&](int i) { return i % 5 == 0 ? (i % 2 ? 1.5e308 : -1.5e308) : normal(zufall); }},
        {"binades", [&](int) { return std::ldexp(int(zufall() % 2001) - 1000, int(zufall() % 2000) - 1000); }},
        {"any bits", [&](int) { return std::bit_cast<double>(std::uint64_t(zufall()) << 32 | zufall()); }},
        {"close together", [&](int) { return 1e6 + double(zufall() % 100000) * 1e-6; }}};
    // clang-format on
    std::vector<double> x;
    for (int i = 0; i < n; ++i)
        x.push_back(arten.at(art)(i));
    return x;
}

} // namespace

class TstModel : public QObject {
    Q_OBJECT
    // The set's statistics are the textbook's of the text.
    void wie_im_lehrbuch(const std::string& text) {
        const Lehrbuch soll = nachgerechnet(werte_der_zeilen(text));
        QCOMPARE(basiswerte(), QList<double>(soll.basis.begin(), soll.basis.end()));
        QCOMPARE(ausreissertexte(), soll.texte);
        QCOMPARE(daten_ohne_zahl(satz), zeilen_ohne_zahl(text));
    }

private slots:
    void init() { ladewerte_setzen(); }

    // Each case: the value text, the eight base values, whisker ends and outliers. Worked
    // examples of what the comparison with the textbook below does not pin: an empty list, the
    // median of two huge values, the mean held to the data and kept inside it by one more
    // decimal.
    void beispiele_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<double>>("basis");
        QTest::addColumn<QString>("texte");
        const std::tuple<const char*, QString, QList<double>, const char*> faelle[] = {
            // clang-format off
            {"empty text", "", {0, 0, 0, 0, 0, 0, 0, 0}, "0|0|"},
            {"median of huge values by midpoint, sum saturated, mean held to the data", "1,5e308\r1,7e308",
             {1.5e308, 1.5e308, 1.6e308, 1.7e308, 1.7e308, 1.5e308, 1.7e308 - 1.5e308, 2}, "1.5e+308|1.7e+308|"},
            {"mean kept inside the data by a third decimal", "1,001\r1,002", {1.001, 1.001, 1.0015, 1.002, 1.002, 1.002, 1.002 - 1.001, 2}, "1.001|1.002|"},
            // clang-format on
        };
        for (const auto& [name, text, basis, texte] : faelle)
            QTest::newRow(name) << text << basis << QString(texte);
    }
    // Only the one set's outputs change; its value text keeps the decimal commas as typed.
    void beispiele() {
        QFETCH(QString, text);
        QFETCH(QList<double>, basis);
        QFETCH(QString, texte);
        daten_werteliste(satz) = text.toStdString();
        std::tie(daten_basiswert(1, minimum), daten_satzart(satz)) =
            std::tuple(42, satzart_boxwerte);
        Werte_aus_daten_berechnen(satz);
        QCOMPARE(basiswerte(), basis);
        QCOMPARE(QString::fromStdString(ausreissertexte()), texte);
        QVERIFY(daten_werteliste(satz) == text.toStdString() && daten_basiswert(1, minimum) == 42 &&
                daten_satzart(satz) == satzart_boxwerte);
    }

    void wie_die_lehrbuchrechnung_data() {
        QTest::addColumn<int>("groesse");
        QTest::addColumn<QString>("art");
        QList<int> groessen{1000, 1001, 4097, 4098, 20001, 100000};
        for (int n = 2; n <= 40; ++n)
            groessen << n;
        for (int n : groessen)
            for (const char* art : {"three values", "all equal", "heavy tails", "one far away",
                                    "whole range", "binades", "any bits", "close together"})
                QTest::addRow("%d values, %s", n, art) << n << QString(art);
    }
    void wie_die_lehrbuchrechnung() {
        QFETCH(int, groesse);
        QFETCH(QString, art);
        std::mt19937 zufall(unsigned(groesse * 7919 + art.size()));
        for (int runde = 0; runde < (groesse > 1000 ? 2 : 10); ++runde) {
            std::string text;
            for (double v : werte_erzeugen(art, groesse, zufall))
                text += Str(v) + "\r"; // NaN is written as 0
            std::replace(text.begin(), text.end(), '.', ',');
            daten_werteliste(satz) = text;
            Werte_aus_daten_berechnen(satz);
            wie_im_lehrbuch(text);
        }
    }

    // Lists as typed or pasted: lines of up to 19 characters of digits, signs (the typographic
    // minus among them, written ~ here), separators, blanks, exponents, other bytes and line
    // ends, read four lines or sixteen characters at a time or one by one (the test runs once
    // with VELMORA_LESEN=skalar), against the textbook's reading of each line: the values, the
    // lines without a number, and for each line whether it is wholly one number and else what
    // it is read as. Then edited as typed and pasted, at random places, each edit read line by
    // line: what it gives is what the whole text gives.
    void zeilen_wie_die_lehrbuchrechnung() {
        std::mt19937 zufall(20261207);
        const std::string zeichen = "0123456789,.-~+e \t\n\xc3\xa4";
        const unsigned laengste[] = {7, 10, 7, 20}; // one more than the longest line
        const auto zeilen_erzeugen = [&](int runde, std::size_t anzahl) {
            std::string text;
            for (; anzahl > 0; --anzahl) {
                const std::size_t auswahl = runde % 3 == 0 ? zeichen.size() : 14; // to "~"
                for (int k = int(zufall() % laengste[runde % 4]); k > 0; --k) {
                    const char c = zeichen[zufall() % (zufall() % 4 ? 10 : auswahl)];
                    text += c == '~' ? "\u2212" : std::string(1, c);
                }
                text += '\r';
            }
            if (!text.empty() && zufall() % 2)
                text.pop_back();
            return text;
        };
        for (int runde = 0; runde < 300; ++runde) {
            std::string text = zeilen_erzeugen(runde, zufall() % 1200);
            daten_werteliste(satz) = text;
            Werte_aus_daten_berechnen(satz);
            wie_im_lehrbuch(text);
            for (std::string_view zeile : zeilen(text)) {
                const std::optional<double> gelesen = gelesen_als(zeile);
                QVERIFY2(gelesen.has_value() != ganz_eine_zahl(zeile), std::string(zeile).c_str());
                QCOMPARE(gelesen.value_or(0.0), gelesen ? lehrbuch_zahl(zeile, true) : 0.0);
            }
            for (int schritt = 0; schritt < 4 && !QTest::currentTestFailed(); ++schritt) {
                const std::size_t von = zufall() % (text.size() + 1);
                const std::size_t bis =
                    std::min(text.size(), von + zufall() % (zufall() % 4 ? 3 : 200));
                const std::string neu = zeilen_erzeugen(runde, zufall() % 3);
                text.replace(von, bis - von, neu);
                werteliste_aendern(satz, von, bis, neu);
                QCOMPARE(daten_werteliste(satz), text);
                wie_im_lehrbuch(text);
            }
        }
    }

    // The selection alone against a sort, on lists of mostly two or three neighbouring doubles.
    void auswahl_wie_sortiert() {
        std::mt19937_64 zufall(20261207);
        for (int runde = 0; runde < 30; ++runde) {
            const auto basis =
                std::bit_cast<std::uint64_t>(std::ldexp(1.0, int(zufall() % 200) - 100));
            std::vector<double> x(5000 + zufall() % 20000);
            for (double& v : x)
                v = zufall() % 50 ? std::bit_cast<double>(basis + zufall() % (runde % 2 + 2))
                                  : -std::bit_cast<double>(basis + zufall() % 40);
            std::vector<double> sortiert = x;
            std::sort(sortiert.begin(), sortiert.end());
            const std::vector<std::size_t> raenge{0, x.size() / 4, x.size() / 2 - 1, x.size() / 2,
                                                  x.size() - 1};
            const std::vector<double> gefunden =
                werte_an_raengen(x, sortiert.front(), sortiert.back(), raenge);
            QList<double> erwartet; // compared exactly, not as QCOMPARE compares two doubles
            for (std::size_t rang : raenge)
                erwartet << sortiert[rang];
            QCOMPARE(QList<double>(gefunden.begin(), gefunden.end()), erwartet);
        }
    }
    // The number at the start of a text, with decimal commas or without, as strtod reads it:
    // generated texts of digits, signs, separators and exponents, and three longer than those.
    void val() {
        std::vector<std::string> texte{std::string(400, '9'), "0." + std::string(400, '0') + "1",
                                       "1e" + std::string(30, '0') + "5"};
        std::mt19937 zufall(1207);
        for (int i = 0; i < 100000; ++i) {
            std::string text;
            for (std::size_t laenge = 1 + zufall() % 40; text.size() < laenge;) {
                const char c = "01234567890123456789012345678901234567899 +-.,eE~"[zufall() % 49];
                text += c == '~' ? "\u2212" : std::string(1, c);
            }
            texte.push_back(text);
        }
        for (const std::string& text : texte) {
            QCOMPARE(std::bit_cast<std::uint64_t>(ValKomma(text)),
                     std::bit_cast<std::uint64_t>(lehrbuch_zahl(text, true)));
            QCOMPARE(std::bit_cast<std::uint64_t>(Val(text)),
                     std::bit_cast<std::uint64_t>(lehrbuch_zahl(text, false)));
        }
    }

    // 15 significant digits at most, no trailing zeros, exponent form below 1e-5 and from 1e15.
    void str() {
        // What the comparison with printf below leaves out.
        // clang-format off
        const std::pair<double, const char*> faelle[] = {
            {-0.0, "0"}, {std::nan(""), "0"}, {1e-5, "0.00001"}, {1.5e-5, "0.000015"},
            {std::numeric_limits<double>::infinity(), "1.79769313486232e+308"}};
        // clang-format on
        for (const auto& [wert, erwartet] : faelle)
            QCOMPARE(QString::fromStdString(Str(wert)), QString(erwartet));
        // Any bits, values of up to 15 and of 17 digits, and those nearest to halfway between
        // two of 15 digits: as printf writes them with 15 digits, but for the exponent -5,
        // which Str writes in full. A list of them all is written as each on its own (four at
        // a time where the processor can).
        std::mt19937_64 zufall(1207);
        std::vector<double> alle;
        std::string einzeln, liste;
        for (int i = 0; i < 200000; ++i) {
            const double beliebig = std::bit_cast<double>(zufall());
            const double stellen =
                double(zufall() % 1000000000000000) * std::pow(10.0, int(zufall() % 40) - 25);
            // Halfway below the next decade too, where the decade is easily taken one off.
            const std::uint64_t fuenfzehn =
                i % 32 == 3 ? 999999999999999 : zufall() % 900000000000000 + 100000000000000;
            const std::string halb =
                std::to_string(fuenfzehn) + "5e" + std::to_string(int(zufall() % 600) - 300);
            const double naechste = std::strtod(halb.c_str(), nullptr);
            const double beinahe_halb =
                zufall() % 3 ? std::nextafter(naechste, zufall() % 2 ? 0.0 : groesste) : naechste;
            const double wert = i % 4 == 0   ? beliebig
                                : i % 4 == 1 ? stellen
                                : i % 4 == 2 ? std::nextafter(stellen, 0.0)
                                             : beinahe_halb;
            std::array<char, 40> printf_text;
            std::snprintf(printf_text.data(), printf_text.size(), "%.15g", wert);
            if (std::isfinite(wert) && wert != 0 && !std::strstr(printf_text.data(), "e-05"))
                QCOMPARE(Str(wert), std::string(printf_text.data()));
            alle.push_back(wert);
            einzeln += (i > 0 ? ";" : "") + Str(wert);
        }
        StrListe(liste, alle, ';');
        QVERIFY(liste == einzeln);
    }

    // Numbers are read and written the same under a German locale.
    void ohne_gebietsschema() {
        const std::string vorher = std::setlocale(LC_ALL, nullptr);
        if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
            QSKIP("no German locale on this machine");
        const std::string text = Str(1234.5);
        const double wert = Val("1234.5");
        std::setlocale(LC_ALL, vorher.c_str());
        QVERIFY(text == "1234.5" && wert == 1234.5);
    }

    // An index outside a store touches nothing (release builds; debug builds stop at an
    // assertion instead).
    void grenzen_der_speicher() {
#ifdef NDEBUG
        const Ladewerte vorher = zustand;
        for (auto [satz, spalte] : {std::pair{11, 1}, {-1, 1}, { 1, 9 }}) {
            daten_basiswert(satz, spalte) = 99.0;
            daten_ausreisser(satz, std::min(spalte, 4)) = "x";
            daten_satzart(satz == 1 ? 0 : satz) = 2;
            QCOMPARE(daten_basiswert(satz, spalte), 0.0);
        }
        QVERIFY(zustand.basiswert == vorher.basiswert && zustand.ausreisser == vorher.ausreisser &&
                zustand.satzart[1] == vorher.satzart[1]);
#else
        QSKIP("debug builds stop at the assertion instead");
#endif
    }
};

QTEST_APPLESS_MAIN(TstModel)
#include "tst_model.moc"
