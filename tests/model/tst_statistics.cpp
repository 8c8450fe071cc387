// Statistics of a data series, checked against worked examples and against a plain
// sort-based computation on many generated lists.
#include "model/proc.h"
#include "model/statistics.h"
#include "model/text.h"

#include <QTest>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <numeric>
#include <random>

using namespace Proc;

using Werte = QList<double>;
Q_DECLARE_METATYPE(Werte)

namespace {

constexpr int32_t satz = 2;

Werte basiswerte() {
    Werte b;
    for (int32_t spalte = 1; spalte <= 8; ++spalte)
        b << daten_basiswert(satz, spalte);
    return b;
}

// The textbook computation, independent of the one under test: full sort, quartiles as
// medians of the halves, fences at 1.5 times the quartile distance.
struct Erwartung {
    Werte basis;
    double whisker_unten = 0, whisker_oben = 0;
    std::vector<double> ausreisser;
};

double median_sortiert(const std::vector<double>& x, std::size_t von, std::size_t bis) {
    const std::size_t n = bis - von;
    return n % 2 ? x[von + n / 2] : std::midpoint(x[von + n / 2 - 1], x[von + n / 2]);
}

Erwartung nachgerechnet(std::vector<double> x) {
    Erwartung e;
    const std::size_t n = x.size();
    constexpr double groesste = std::numeric_limits<double>::max();
    double summe = 0;
    for (double v : x)
        summe = std::clamp(summe + v, -groesste, groesste);
    std::sort(x.begin(), x.end());
    const std::size_t halb = n / 2;
    const double q1 = median_sortiert(x, 0, halb);
    const double q3 = median_sortiert(x, n - halb, n);
    // Mean and range saturate where they would overflow.
    const double mittel = summe / n;
    const double gerundet = std::isfinite(mittel * 100) ? std::round(mittel * 100) / 100 : mittel;
    e.basis = {x.front(),
               q1,
               median_sortiert(x, 0, n),
               q3,
               x.back(),
               gerundet,
               std::clamp(x.back() - x.front(), -groesste, groesste),
               double(n)};
    const double d = (q3 - q1) * 1.5;
    e.whisker_unten = x.back();
    e.whisker_oben = x.front();
    for (double v : x) {
        if (v < q1 - d || v > q3 + d) {
            e.ausreisser.push_back(v);
        } else {
            e.whisker_unten = std::min(e.whisker_unten, v);
            e.whisker_oben = std::max(e.whisker_oben, v);
        }
    }
    return e;
}

} // namespace

class TstStatistics : public QObject {
    Q_OBJECT
private slots:
    void init() { ladewerte_setzen(); }
    void beispiele_data();
    void beispiele();
    void nur_der_eine_satz();
    void wie_die_lehrbuchrechnung_data();
    void wie_die_lehrbuchrechnung();
};

// Each case: the value text, the eight base values, and the whisker ends and outlier list
// as "lower|upper|outliers".
void TstStatistics::beispiele_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<Werte>("basis");
    QTest::addColumn<QString>("texte");
    const QString neun = "1\r2\r3\r4\r5\r6\r7\r8\r9";
    const std::tuple<const char*, QString, Werte, const char*> faelle[] = {
        // clang-format off
        {"1 to 9", neun + "\r", {1, 2.5, 5, 7.5, 9, 5, 8, 9}, "1|9|"},
        {"1 to 9 and 30, no CR at the end", neun + "\r30", {1, 3, 5.5, 8, 30, 7.5, 29, 10}, "1|9|30"},
        {"decimal comma, two values", "2,5\r4\r", {2.5, 2.5, 3.25, 4, 4, 3.25, 1.5, 2}, "2.5|4|"},
        {"mean rounded to two decimals", "1\r2\r2", {1, 1, 2, 2, 2, 1.67, 1, 3}, "1|2|"},
        {"empty text", "", {0, 0, 0, 0, 0, 0, 0, 0}, "0|0|"},
        {"one value", "7", {7, 7, 7, 7, 7, 7, 7, 1}, "7|7|"},
        {"one value and CR", "7\r", {7, 7, 7, 7, 7, 7, 7, 1}, "7|7|"},
        {"one line of letters", "abc", {0, 0, 0, 0, 0, 0, 0, 1}, "0|0|"},
        {"lone CR is one empty line", "\r", {0, 0, 0, 0, 0, 0, 0, 1}, "0|0|"},
        {"empty line inside counts as 0", "5\r\r7\r", {0, 0, 5, 7, 7, 4, 7, 3}, "0|7|"},
        {"second empty line at the end counts", "4\r8\r\r", {0, 0, 4, 8, 8, 4, 8, 3}, "0|8|"},
        {"thousands point and decimal comma", "1.000,5\r3", {1, 1, 2, 3, 3, 2, 2, 2}, "1|3|"},
        {"four equal values", "5\r5\r5\r5", {5, 5, 5, 5, 5, 5, 0, 4}, "5|5|"},
        {"value on the upper fence", neun + "\r15.5", {1, 3, 5.5, 8, 15.5, 6.05, 14.5, 10}, "1|15.5|"},
        {"outliers on both sides", "-20\r" + neun + "\r30", {-20, 2, 5, 8, 30, 5, 50, 11}, "1|9|-20;30"},
        {"repeated outlier listed each time", neun + "\r40\r40", {1, 3, 6, 9, 40, 11.36, 39, 11}, "1|9|40;40"},
        {"two values never outliers", "-1e6\r1e6", {-1e6, -1e6, 0, 1e6, 1e6, 0, 2e6, 2}, "-1000000|1000000|"},
        {"line feed is no separator", "3\n4", {3, 3, 3, 3, 3, 3, 3, 1}, "3|3|"},
        // clang-format on
    };
    for (const auto& [name, text, basis, texte] : faelle)
        QTest::newRow(name) << text << basis << QString(texte);
}

void TstStatistics::beispiele() {
    QFETCH(QString, text);
    QFETCH(Werte, basis);
    QFETCH(QString, texte);
    daten_werteliste(satz) = text.toStdString();
    Werte_aus_daten_berechnen(satz);
    QCOMPARE(basiswerte(), basis);
    const QString gezeigt = QString::fromStdString(daten_ausreisser(satz, whisker_unten) + "|" +
                                                   daten_ausreisser(satz, whisker_oben) + "|" +
                                                   daten_ausreisser(satz, ausreisser_liste));
    QCOMPARE(gezeigt, texte);
}

// Only the one set's outputs change; its value text keeps the decimal commas as typed.
void TstStatistics::nur_der_eine_satz() {
    daten_werteliste(satz) = "1,5\r2,5\r";
    daten_basiswert(1, minimum) = 42;
    daten_satzart(satz) = satzart_boxwerte;
    Werte_aus_daten_berechnen(satz);
    QCOMPARE(daten_werteliste(satz), std::string("1,5\r2,5\r"));
    QCOMPARE(daten_basiswert(satz, median), 2.0);
    QCOMPARE(daten_basiswert(1, minimum), 42.0);
    QCOMPARE(daten_satzart(satz), satzart_boxwerte);
}

namespace {

// Value generators for the comparison with the textbook computation: ties, heavy tails, a
// single value far away, values across the whole range of doubles, many close values, and
// spreads over many binades.
std::vector<double> werte_erzeugen(const QString& art, int n, std::mt19937& zufall) {
    std::cauchy_distribution<double> cauchy(0.0, 10.0);
    std::normal_distribution<double> normal(50.0, 10.0);
    std::uniform_int_distribution<std::uint64_t> bitmuster;
    std::vector<double> pool;
    for (int i = 0; i < 3; ++i)
        pool.push_back(std::round(cauchy(zufall) * 100) / 100);
    std::vector<double> x;
    for (int i = 0; i < n; ++i) {
        if (art == "three values")
            x.push_back(pool[std::size_t(i * 7919 + int(zufall() % 3)) % 3]);
        else if (art == "all equal")
            x.push_back(-7.25);
        else if (art == "heavy tails")
            x.push_back(std::round(cauchy(zufall) * 1000) / 1000);
        else if (art == "one far away")
            x.push_back(i == n / 3 ? 1e300 : std::round(normal(zufall) * 100) / 100);
        else if (art == "whole range")
            x.push_back(i % 5 == 0 ? (i % 2 ? 1.5e308 : -1.5e308) : normal(zufall));
        else if (art == "binades")
            x.push_back(std::ldexp(int(zufall() % 2001) - 1000, int(zufall() % 2000) - 1000));
        else if (art == "powers of ten")
            x.push_back(std::pow(10.0, zufall() % 16));
        else if (art == "any bits")
            x.push_back(std::bit_cast<double>(bitmuster(zufall))); // Str makes NaN 0
        else                                                       // close together
            x.push_back(1e6 + double(zufall() % 100000) * 1e-6);
    }
    return x;
}

} // namespace

void TstStatistics::wie_die_lehrbuchrechnung_data() {
    QTest::addColumn<int>("groesse");
    QTest::addColumn<QString>("art");
    const QStringList arten{"three values",  "all equal",   "heavy tails",
                            "one far away",  "whole range", "binades",
                            "powers of ten", "any bits",    "close together"};
    QList<int> groessen;
    for (int n = 2; n <= 40; ++n)
        groessen << n;
    groessen << 1000 << 1001 << 4097 << 4098 << 20001 << 100000;
    for (int n : groessen)
        for (const QString& art : arten)
            QTest::newRow(qPrintable(QString("%1 values, %2").arg(n).arg(art))) << n << art;
}

void TstStatistics::wie_die_lehrbuchrechnung() {
    QFETCH(int, groesse);
    QFETCH(QString, art);
    std::mt19937 zufall(unsigned(groesse * 7919 + art.size()));
    for (int runde = 0; runde < (groesse > 1000 ? 2 : 10); ++runde) {
        std::vector<double> x;
        std::string text;
        for (double v : werte_erzeugen(art, groesse, zufall)) {
            text += Str(v) + "\r";
            x.push_back(Val(Str(v)));
        }
        std::replace(text.begin(), text.end(), '.', ',');
        daten_werteliste(satz) = text;
        Werte_aus_daten_berechnen(satz);

        const Erwartung e = nachgerechnet(x);
        QCOMPARE(basiswerte(), e.basis);
        QCOMPARE(daten_ausreisser(satz, whisker_unten), Str(e.whisker_unten));
        QCOMPARE(daten_ausreisser(satz, whisker_oben), Str(e.whisker_oben));
        std::string liste;
        for (double v : e.ausreisser)
            liste.append(liste.empty() ? "" : ";").append(Str(v));
        QCOMPARE(daten_ausreisser(satz, ausreisser_liste), liste);
    }
}

QTEST_APPLESS_MAIN(TstStatistics)
#include "tst_statistics.moc"
