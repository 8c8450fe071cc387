// The module state: per-set stores addressed element by element, and their bounds.
#include "model/proc.h"

#include <QTest>

using namespace Proc;

class TstProc : public QObject {
    Q_OBJECT
private slots:
    void init() { ladewerte_setzen(); }
    void elemente_sind_getrennt_und_zuweisbar();
    void ladewerte_setzen_stellt_alles_wieder_her();
    void index_ausserhalb_beruehrt_nichts_data();
    void index_ausserhalb_beruehrt_nichts();
};

void TstProc::elemente_sind_getrennt_und_zuweisbar() {
    daten_basiswert(3, median) = 50.0;
    daten_ausreisser(2, ausreisser_liste) = "1;2";
    daten_werteliste(5) = "1\r2";
    daten_satzart(4) = satzart_datenreihe;
    QCOMPARE(daten_basiswert(3, median), 50.0);
    QCOMPARE(daten_basiswert(3, mittelwert), 0.0);
    QCOMPARE(daten_basiswert(2, median), 0.0);
    QCOMPARE(daten_ausreisser(2, ausreisser_liste), std::string("1;2"));
    QVERIFY(daten_ausreisser(2, whisker_oben).empty());
    QCOMPARE(daten_werteliste(5), std::string("1\r2"));
    QCOMPARE(daten_satzart(4), satzart_datenreihe);
    QCOMPARE(daten_satzart(5), satzart_neu);
    endwert = 100.0; // the named variables are the state itself
    QCOMPARE(zustand.endwert, 100.0);
}

void TstProc::ladewerte_setzen_stellt_alles_wieder_her() {
    daten_basiswert(1, maximum) = 85.0;
    daten_werteliste(1) = "x";
    auto_zeichnen = false;
    daten_reihenname = "X";
    ladewerte_setzen();
    QCOMPARE(daten_basiswert(1, maximum), 0.0);
    QVERIFY(daten_werteliste(1).empty());
    QVERIFY(auto_zeichnen && boxplot_erweitert && !daten_alle_saetze_zeichnen);
    QCOMPARE(daten_reihenname, std::string("A;B;C;D;E"));
    QCOMPARE(Pref_SplashAtStart, 1);
}

void TstProc::index_ausserhalb_beruehrt_nichts_data() {
    QTest::addColumn<int>("satz");
    QTest::addColumn<int>("spalte");
    QTest::newRow("set 11") << 11 << 1;
    QTest::newRow("set -1") << -1 << 1;
    QTest::newRow("column 9") << 1 << 9;
}

void TstProc::index_ausserhalb_beruehrt_nichts() {
#ifndef NDEBUG
    QSKIP("debug builds stop at the assertion instead");
#else
    QFETCH(int, satz);
    QFETCH(int, spalte);
    const Ladewerte vorher = zustand;
    daten_basiswert(satz, spalte) = 99.0;
    daten_ausreisser(satz, std::min(spalte, 4)) = "x";
    if (satz < 0 || satz > max_satz)
        daten_satzart(satz) = 2;
    QCOMPARE(daten_basiswert(satz, spalte), 0.0);
    QCOMPARE(zustand.basiswert, vorher.basiswert);
    QCOMPARE(zustand.ausreisser, vorher.ausreisser);
    QCOMPARE(zustand.satzart, vorher.satzart);
#endif
}

QTEST_APPLESS_MAIN(TstProc)
#include "tst_proc.moc"
