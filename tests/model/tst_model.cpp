// The model without the statistics: number reading and writing, field splitting, the pixel
// conversion, and the module state's stores and load values.
#include "model/proc.h"
#include "model/text.h"

#include <QTest>

#include <clocale>
#include <cmath>
#include <limits>
#include <random>

using namespace Proc;

namespace {
constexpr double groesste = std::numeric_limits<double>::max();
constexpr double unendlich = std::numeric_limits<double>::infinity();

// Whether two doubles agree when both are written with 15 significant digits.
bool gleich_auf_15_stellen(double a, double b) {
    char ta[40], tb[40];
    std::snprintf(ta, sizeof ta, "%.14e", a);
    std::snprintf(tb, sizeof tb, "%.14e", b);
    return std::string(ta) == tb || (a == 0 && b == 0);
}
} // namespace

class TstModel : public QObject {
    Q_OBJECT
private slots:
    void val_data();
    void val();
    void str_data();
    void str();
    void str_liest_sich_zurueck();
    void ohne_gebietsschema();
    void felder_data();
    void felder();
    void whole_data();
    void whole();
    void ladewerte_und_grenzen_der_speicher();
};

// The number at the start of a text; with decimal commas (as in value lists) a comma is
// the decimal point too.
void TstModel::val_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("komma");
    QTest::addColumn<double>("erwartet");
    const std::tuple<const char*, QString, bool, double> faelle[] = {
        {"empty", "", false, 0.0},
        {"blanks, sign, decimal", " \t -3.25", false, -3.25},
        {"plus sign", "+7", false, 7.0},
        {"trailing text", "12abc", false, 12.0},
        {"comma ends the number", "1,5", false, 1.0},
        {"decimal comma", "1,5", true, 1.5},
        {"thousands point and comma", "1.000,5", true, 1.0},
        {"point without digits after", "5.", false, 5.0},
        {"point without digits before", ".5", false, 0.0},
        {"point then exponent", "1.e5", false, 1.0},
        {"two signs", "+-5", false, 0.0},
        {"exponent with comma", "2,5E-1", true, 0.25},
        {"e without digit", "7e+x", false, 7.0},
        {"inf is no number", "inf", false, 0.0},
        {"nan is no number", "-nan", false, 0.0},
        {"correctly rounded", "3.14159265358979323846264338327950288", false, M_PI},
        {"minus zero reads as zero", "-0", false, 0.0},
        {"too large", "-1e400", false, -groesste},
        {"long digit run too large", QString(400, '9'), true, groesste},
        {"too small", "0." + QString(400, '0') + "1", false, 0.0},
    };
    for (const auto& [name, text, komma, erwartet] : faelle)
        QTest::newRow(name) << text << komma << erwartet;
}

void TstModel::val() {
    QFETCH(QString, text);
    QFETCH(bool, komma);
    QFETCH(double, erwartet);
    const double gelesen = komma ? ValKomma(text.toStdString()) : Val(text.toStdString());
    QCOMPARE(gelesen, erwartet);
    QVERIFY(!std::signbit(gelesen) || gelesen != 0.0);
}

void TstModel::str_data() {
    QTest::addColumn<double>("wert");
    QTest::addColumn<QString>("erwartet");
    const std::tuple<const char*, double, const char*> faelle[] = {
        {"minus zero", -0.0, "0"},
        {"integer", 85.0, "85"},
        {"negative decimal", -2.5, "-2.5"},
        {"sum of tenths", 0.1 + 0.2, "0.3"},
        {"a third", 1.0 / 3.0, "0.333333333333333"},
        {"rounding carries", 0.9999999999999999, "1"},
        {"smallest without exponent", 1e-5, "0.00001"},
        {"below that", 1.5e-6, "1.5e-06"},
        {"largest without exponent", 999999999999999.0, "999999999999999"},
        {"rounds up into exponent form", 999999999999999.9, "1e+15"},
        {"infinity", unendlich, "1.79769313486232e+308"},
        {"nan", std::nan(""), "0"},
        {"fifteen digits kept", 123456.789012345, "123456.789012345"},
    };
    for (const auto& [name, wert, erwartet] : faelle)
        QTest::newRow(name) << wert << QString(erwartet);
}

void TstModel::str() {
    QFETCH(double, wert);
    QFETCH(QString, erwartet);
    QCOMPARE(QString::fromStdString(Str(wert)), erwartet);
}

// Any double reads back equal at 15 digits, and a typed decimal of up to 15 digits survives
// display and read-back unchanged.
void TstModel::str_liest_sich_zurueck() {
    std::mt19937_64 zufall(20261206);
    std::uniform_int_distribution<int> stellen(1, 15), exponent(-12, 12);
    for (int i = 0; i < 20000; ++i) {
        const double v = std::bit_cast<double>(zufall());
        if (std::isfinite(v))
            QVERIFY2(gleich_auf_15_stellen(Val(Str(v)), v), Str(v).c_str());
        char getippt[64];
        std::snprintf(getippt, sizeof getippt, "%.*g", stellen(zufall),
                      double(zufall() % 1'000'000'000'000'000ULL) *
                          std::pow(10.0, exponent(zufall)));
        QCOMPARE(Val(Str(Val(getippt))), Val(getippt));
    }
}

void TstModel::ohne_gebietsschema() {
    const std::string vorher = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        QSKIP("no German locale on this machine");
    const std::string text = Str(1234.5);
    const double wert = Val("1234.5");
    std::setlocale(LC_ALL, vorher.c_str());
    QCOMPARE(QString::fromStdString(text), QStringLiteral("1234.5"));
    QCOMPARE(wert, 1234.5);
}

void TstModel::felder_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("trenner");
    QTest::addColumn<QStringList>("felder");
    QTest::newRow("set names") << "A;B;C;D;E"
                               << ";" << QStringList{"A", "B", "C", "D", "E"};
    QTest::newRow("empty text is one field") << ""
                                             << ";" << QStringList{""};
    QTest::newRow("trailing separator") << "1\r2\r"
                                        << "\r" << QStringList{"1", "2", ""};
    QTest::newRow("empty fields inside") << ";;x"
                                         << ";" << QStringList{"", "", "x"};
    QTest::newRow("longer separator") << "a<>b"
                                      << "<>" << QStringList{"a", "b"};
}

void TstModel::felder() {
    QFETCH(QString, text);
    QFETCH(QString, trenner);
    QFETCH(QStringList, felder);
    const std::string t = text.toStdString(), s = trenner.toStdString();
    QCOMPARE(CountFields(t, s), felder.size());
    const auto alle = Fields(t, s);
    QCOMPARE(qsizetype(alle.size()), felder.size());
    for (int i = 0; i < felder.size(); ++i) {
        QCOMPARE(QString::fromStdString(NthField(t, s, i + 1)), felder[i]);
        QCOMPARE(QString::fromStdString(std::string(alle[std::size_t(i)])), felder[i]);
    }
    for (int jenseits : {int(felder.size()) + 1, 0, -3})
        QCOMPARE(NthField(t, s, jenseits), std::string());
}

void TstModel::whole_data() {
    QTest::addColumn<double>("x");
    QTest::addColumn<int>("erwartet");
    QTest::newRow("down") << 103.125 << 103;
    QTest::newRow("half away from zero") << -2.5 << -3;
    QTest::newRow("just below half") << 46.49999 << 46;
    QTest::newRow("beyond max") << 2147483647.6 << 2147483647;
    QTest::newRow("minus infinity") << -unendlich << -2147483647 - 1;
    QTest::newRow("nan") << std::nan("") << 0;
}

void TstModel::whole() {
    QFETCH(double, x);
    QFETCH(int, erwartet);
    QCOMPARE(Proc::whole(x), erwartet);
}

// Load values come back; an index outside a store touches nothing (release builds; debug
// builds stop at an assertion instead).
void TstModel::ladewerte_und_grenzen_der_speicher() {
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

QTEST_APPLESS_MAIN(TstModel)
#include "tst_model.moc"
