// The model without the statistics: number reading and writing, field splitting, the pixel
// conversion, and the module state's stores and load values.
#include "model/proc.h"
#include "model/text.h"

#include <QTest>

#include <bit>
#include <clocale>
#include <random>

using namespace Proc;

namespace {

constexpr double groesste = std::numeric_limits<double>::max();

// Whether two doubles agree when both are written with 15 significant digits.
bool gleich_auf_15_stellen(double a, double b) {
    char ta[40], tb[40];
    std::snprintf(ta, sizeof ta, "%.14e", a);
    std::snprintf(tb, sizeof tb, "%.14e", b);
    return std::string_view(ta) == tb || (a == 0 && b == 0);
}

} // namespace

class TstModel : public QObject {
    Q_OBJECT
private slots:
    // The number at the start of a text; with decimal commas (as in value lists) a comma is
    // the decimal point too. Never -0, never beyond a double.
    void val() {
        const std::tuple<QString, bool, double> faelle[] = {
            {"", false, 0.0},
            {" \t -3.25", false, -3.25},
            {"+7", false, 7.0},
            {"12abc", false, 12.0},
            {"1,5", false, 1.0},
            {"1,5", true, 1.5},
            {"1.000,5", true, 1.0},
            {"5.", false, 5.0},
            {".5", false, 0.0},
            {"1.e5", false, 1.0},
            {"+-5", false, 0.0},
            {"2,5E-1", true, 0.25},
            {"7e+x", false, 7.0},
            {"inf", false, 0.0},
            {"-nan", false, 0.0},
            {"-0", false, 0.0},
            {"-1e400", false, -groesste},
            {QString(400, '9'), true, groesste},
            {"0." + QString(400, '0') + "1", false, 0.0},
            {"3.14159265358979323846264338327950288", false, M_PI}};
        for (const auto& [text, komma, erwartet] : faelle) {
            const double gelesen = komma ? ValKomma(text.toStdString()) : Val(text.toStdString());
            QVERIFY2(gelesen == erwartet && (!std::signbit(gelesen) || gelesen != 0),
                     qPrintable(text));
        }
    }

    // 15 significant digits at most, no trailing zeros, exponent form below 1e-5 and from 1e15.
    void str() {
        const std::pair<double, const char*> faelle[] = {
            {-0.0, "0"},
            {85.0, "85"},
            {-2.5, "-2.5"},
            {0.1 + 0.2, "0.3"},
            {1.0 / 3.0, "0.333333333333333"},
            {0.9999999999999999, "1"},
            {1e-5, "0.00001"},
            {1.5e-6, "1.5e-06"},
            {999999999999999.0, "999999999999999"},
            {999999999999999.9, "1e+15"},
            {std::numeric_limits<double>::infinity(), "1.79769313486232e+308"},
            {std::nan(""), "0"},
            {123456.789012345, "123456.789012345"}};
        for (const auto& [wert, erwartet] : faelle)
            QCOMPARE(QString::fromStdString(Str(wert)), QString(erwartet));
    }

    // Any double reads back equal at 15 digits, and a typed decimal of up to 15 digits
    // survives display and read-back unchanged.
    void str_liest_sich_zurueck() {
        std::mt19937_64 zufall(20261206);
        for (int i = 0; i < 20000; ++i) {
            const double v = std::bit_cast<double>(zufall());
            if (std::isfinite(v))
                QVERIFY2(gleich_auf_15_stellen(Val(Str(v)), v), Str(v).c_str());
            const double getippt =
                Val(QByteArray::number(double(zufall() % 1'000'000'000'000'000ULL) *
                                           std::pow(10.0, int(zufall() % 25) - 12),
                                       'g', int(1 + zufall() % 15))
                        .toStdString());
            QCOMPARE(Val(Str(getippt)), getippt);
        }
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

    void felder() {
        const std::tuple<std::string, std::string, QStringList> faelle[] = {
            {"A;B;C;D;E", ";", {"A", "B", "C", "D", "E"}},
            {"", ";", {""}},
            {"1\r2\r", "\r", {"1", "2", ""}},
            {";;x", ";", {"", "", "x"}},
            {"a<>b", "<>", {"a", "b"}}};
        for (const auto& [text, trenner, felder] : faelle) {
            QStringList einzeln, alle;
            for (int i = 1; i <= CountFields(text, trenner) + 1; ++i)
                einzeln << QString::fromStdString(NthField(text, trenner, i));
            for (std::string_view feld : Fields(text, trenner))
                alle << QString::fromStdString(std::string(feld));
            QCOMPARE(einzeln, felder + QStringList{""}); // a field beyond the last is empty
            QCOMPARE(alle, felder);
            QVERIFY(NthField(text, trenner, 0).empty() && NthField(text, trenner, -3).empty());
        }
    }

    // Rounded to nearest, halves away from zero, saturated, NaN 0.
    void whole() {
        const std::pair<double, int> faelle[] = {{103.125, 103},      {-2.5, -3},
                                                 {46.49999, 46},      {2147483647.6, 2147483647},
                                                 {-1e300, INT32_MIN}, {std::nan(""), 0}};
        for (const auto& [x, erwartet] : faelle)
            QCOMPARE(Proc::whole(x), erwartet);
    }

    // Load values come back; an index outside a store touches nothing (release builds; debug
    // builds stop at an assertion instead).
    void ladewerte_und_grenzen_der_speicher() {
        daten_basiswert(1, maximum) = 85.0;
        std::tie(auto_zeichnen, daten_reihenname) = std::tuple(false, "X");
        ladewerte_setzen();
        QVERIFY(daten_basiswert(1, maximum) == 0.0 && auto_zeichnen && boxplot_erweitert &&
                !daten_alle_saetze_zeichnen && Pref_SplashAtStart == 1);
        QCOMPARE(daten_reihenname, std::string("A;B;C;D;E"));
#ifdef NDEBUG
        const Ladewerte vorher = zustand;
        for (auto [satz, spalte] : {std::pair{11, 1}, {-1, 1}, {1, 9}}) {
            daten_basiswert(satz, spalte) = 99.0;
            daten_ausreisser(satz, std::min(spalte, 4)) = "x";
            daten_satzart(satz == 1 ? 0 : satz) = 2;
            QCOMPARE(daten_basiswert(satz, spalte), 0.0);
        }
        QVERIFY(zustand.basiswert == vorher.basiswert && zustand.ausreisser == vorher.ausreisser &&
                zustand.satzart[1] == vorher.satzart[1]);
#endif
    }
};

QTEST_APPLESS_MAIN(TstModel)
#include "tst_model.moc"
