// Number reading and writing, field splitting and the pixel conversion.
#include "model/text.h"

#include <QTest>

#include <clocale>
#include <cmath>
#include <limits>
#include <random>

using namespace Proc;

namespace {
constexpr double groesste = std::numeric_limits<double>::max();

// Whether two doubles agree when both are written with 15 significant digits.
bool gleich_auf_15_stellen(double a, double b) {
    char ta[40], tb[40];
    std::snprintf(ta, sizeof ta, "%.14e", a);
    std::snprintf(tb, sizeof tb, "%.14e", b);
    return std::string(ta) == tb || (a == 0 && b == 0);
}
} // namespace

class TstText : public QObject {
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
};

// The number at the start of a text; with decimal commas (as in value lists) a comma is
// the decimal point too.
void TstText::val_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("komma");
    QTest::addColumn<double>("erwartet");
    const QString viele_nullen = "0." + QString(400, '0') + "1";
    const std::tuple<const char*, QString, bool, double> faelle[] = {
        {"empty", "", false, 0.0},
        {"blanks, sign, decimal", " \t -3.25", false, -3.25},
        {"plus sign", "+7", false, 7.0},
        {"trailing text", "12abc", false, 12.0},
        {"letters", "abc", false, 0.0},
        {"comma ends the number", "1,5", false, 1.0},
        {"decimal comma", "1,5", true, 1.5},
        {"thousands point and comma", "1.000,5", true, 1.0},
        {"second point ends it", "1.000.5", false, 1.0},
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
        {"too small", viele_nullen, false, 0.0},
        {"huge exponent digits", "1e99999999999999999999", false, groesste},
    };
    for (const auto& [name, text, komma, erwartet] : faelle)
        QTest::newRow(name) << text << komma << erwartet;
}

void TstText::val() {
    QFETCH(QString, text);
    QFETCH(bool, komma);
    QFETCH(double, erwartet);
    const double gelesen = komma ? ValKomma(text.toStdString()) : Val(text.toStdString());
    QCOMPARE(gelesen, erwartet);
    QVERIFY(!std::signbit(gelesen) || gelesen != 0.0);
}

void TstText::str_data() {
    QTest::addColumn<double>("wert");
    QTest::addColumn<QString>("erwartet");
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("minus zero") << -0.0 << "0";
    QTest::newRow("integer") << 85.0 << "85";
    QTest::newRow("negative decimal") << -2.5 << "-2.5";
    QTest::newRow("sum of tenths") << 0.1 + 0.2 << "0.3";
    QTest::newRow("a third") << 1.0 / 3.0 << "0.333333333333333";
    QTest::newRow("rounding carries") << 0.9999999999999999 << "1";
    QTest::newRow("smallest without exponent") << 1e-5 << "0.00001";
    QTest::newRow("below that") << 1.5e-6 << "1.5e-06";
    QTest::newRow("largest without exponent") << 999999999999999.0 << "999999999999999";
    QTest::newRow("1e15") << 1e15 << "1e+15";
    QTest::newRow("rounds up into exponent form") << 999999999999999.9 << "1e+15";
    QTest::newRow("largest double") << groesste << "1.79769313486232e+308";
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << "1.79769313486232e+308";
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << "0";
    QTest::newRow("fifteen digits kept") << 123456.789012345 << "123456.789012345";
}

void TstText::str() {
    QFETCH(double, wert);
    QFETCH(QString, erwartet);
    QCOMPARE(QString::fromStdString(Str(wert)), erwartet);
}

void TstText::str_liest_sich_zurueck() {
    // Any double reads back equal at 15 digits, and a typed decimal of up to 15 digits
    // survives display and read-back unchanged.
    std::mt19937_64 zufall(20261206);
    std::uniform_int_distribution<uint64_t> bits;
    std::uniform_int_distribution<int> stellen(1, 15);
    std::uniform_int_distribution<int> exponent(-12, 12);
    for (int i = 0; i < 20000; ++i) {
        double v;
        const uint64_t b = bits(zufall);
        std::memcpy(&v, &b, sizeof v);
        if (!std::isfinite(v))
            continue;
        const std::string text = Str(v);
        QVERIFY2(gleich_auf_15_stellen(Val(text), v), text.c_str());

        const long long ganz = static_cast<long long>(bits(zufall) % 1'000'000'000'000'000ULL);
        char getippt[64];
        std::snprintf(getippt, sizeof getippt, "%.*g", stellen(zufall),
                      static_cast<double>(ganz) * std::pow(10.0, exponent(zufall)));
        const double wert = Val(getippt);
        QCOMPARE(Val(Str(wert)), wert);
    }
}

// Numbers are read and written the same under a German locale.
void TstText::ohne_gebietsschema() {
    const std::string vorher = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        QSKIP("no German locale on this machine");
    const std::string text = Str(1234.5);
    const double wert = Val("1234.5");
    std::setlocale(LC_ALL, vorher.c_str());
    QCOMPARE(QString::fromStdString(text), QStringLiteral("1234.5"));
    QCOMPARE(wert, 1234.5);
}

void TstText::felder_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("trenner");
    QTest::addColumn<QStringList>("felder");
    QTest::newRow("set names") << "A;B;C;D;E"
                               << ";" << QStringList{"A", "B", "C", "D", "E"};
    QTest::newRow("empty text is one field") << ""
                                             << ";" << QStringList{""};
    QTest::newRow("no separator") << "abc"
                                  << ";" << QStringList{"abc"};
    QTest::newRow("trailing separator") << "1\r2\r"
                                        << "\r" << QStringList{"1", "2", ""};
    QTest::newRow("empty fields inside") << ";;x"
                                         << ";" << QStringList{"", "", "x"};
    QTest::newRow("longer separator") << "a<>b"
                                      << "<>" << QStringList{"a", "b"};
}

void TstText::felder() {
    QFETCH(QString, text);
    QFETCH(QString, trenner);
    QFETCH(QStringList, felder);
    const std::string t = text.toStdString();
    const std::string s = trenner.toStdString();
    QCOMPARE(CountFields(t, s), felder.size());
    const auto alle = Fields(t, s);
    QCOMPARE(static_cast<qsizetype>(alle.size()), felder.size());
    for (int i = 0; i < felder.size(); ++i) {
        QCOMPARE(QString::fromStdString(NthField(t, s, i + 1)), felder[i]);
        QCOMPARE(QString::fromStdString(std::string(alle[i])), felder[i]);
    }
    QCOMPARE(NthField(t, s, felder.size() + 1), std::string());
    QCOMPARE(NthField(t, s, 0), std::string());
    QCOMPARE(NthField(t, s, -3), std::string());
}

void TstText::whole_data() {
    QTest::addColumn<double>("x");
    QTest::addColumn<int>("erwartet");
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("down") << 103.125 << 103;
    QTest::newRow("half up") << 2.5 << 3;
    QTest::newRow("half away from zero") << -2.5 << -3;
    QTest::newRow("just below half") << 46.49999 << 46;
    QTest::newRow("beyond max") << 2147483647.6 << 2147483647;
    QTest::newRow("beyond min") << -1e300 << -2147483647 - 1;
    QTest::newRow("infinity") << inf << 2147483647;
    QTest::newRow("minus infinity") << -inf << -2147483647 - 1;
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << 0;
}

void TstText::whole() {
    QFETCH(double, x);
    QFETCH(int, erwartet);
    QCOMPARE(Proc::whole(x), erwartet);
}

QTEST_APPLESS_MAIN(TstText)
#include "tst_text.moc"
