// The module state: load values and element-wise addressing of the per-set stores.
#include "model/proc.h"

#include <QTest>

using namespace Proc;

class TstProc : public QObject {
    Q_OBJECT
private slots:
    void init() { ladewerte_setzen(); }
    void ladewerte();
    void elemente_sind_getrennt_und_zuweisbar();
    void ladewerte_setzen_stellt_alles_wieder_her();
    void index_ausserhalb_beruehrt_nichts_data();
    void index_ausserhalb_beruehrt_nichts();
};

void TstProc::ladewerte() {
    for (int32_t satz = 0; satz <= max_satz; ++satz) {
        QCOMPARE(daten_satzart(satz), 0);
        QVERIFY(daten_werteliste(satz).empty());
        for (int32_t spalte = 0; spalte <= 8; ++spalte)
            QCOMPARE(daten_basiswert(satz, spalte), 0.0);
        for (int32_t spalte = 0; spalte <= 3; ++spalte)
            QVERIFY(daten_ausreisser(satz, spalte).empty());
    }
    QCOMPARE(daten_reihenname, std::string("A;B;C;D;E"));
    QCOMPARE(daten_akt_satz, 0);
    QCOMPARE(daten_max_satz_anzahl, 0);
    QVERIFY(!eingabe_aktiv);
    QVERIFY(auto_zeichnen);
    QVERIFY(!daten_alle_saetze_zeichnen);
    QVERIFY(boxplot_erweitert && mittelwert_anzeigen && box_werte_anzeigen);
    QCOMPARE(endwert, 0.0);
    QCOMPARE(breite_bild, 0);
    QCOMPARE(schrift_hoehe, 0.0);
    QCOMPARE(Pref_SplashAtStart, 1);
}

void TstProc::elemente_sind_getrennt_und_zuweisbar() {
    daten_basiswert(3, median) = 50.0;
    daten_basiswert(3, mittelwert) = 7.0;
    daten_ausreisser(2, ausreisser_liste) = "1;2";
    daten_werteliste(5) = "1\r2";
    daten_satzart(4) = satzart_datenreihe;
    QCOMPARE(daten_basiswert(3, median), 50.0);
    QCOMPARE(daten_basiswert(3, mittelwert), 7.0);
    QCOMPARE(daten_basiswert(2, median), 0.0);
    QCOMPARE(daten_basiswert(4, median), 0.0);
    QCOMPARE(daten_ausreisser(2, ausreisser_liste), std::string("1;2"));
    QVERIFY(daten_ausreisser(2, whisker_oben).empty());
    QCOMPARE(daten_werteliste(5), std::string("1\r2"));
    QCOMPARE(daten_satzart(4), satzart_datenreihe);
    QCOMPARE(daten_satzart(5), satzart_neu);

    // The named variables and the state they alias are one and the same.
    endwert = 100.0;
    QCOMPARE(zustand.endwert, 100.0);
}

void TstProc::ladewerte_setzen_stellt_alles_wieder_her() {
    daten_basiswert(1, maximum) = 85.0;
    daten_werteliste(1) = "x";
    skala_mark = 10.0;
    auto_zeichnen = false;
    daten_reihenname = "X";
    ladewerte_setzen();
    QCOMPARE(daten_basiswert(1, maximum), 0.0);
    QVERIFY(daten_werteliste(1).empty());
    QCOMPARE(skala_mark, 0.0);
    QVERIFY(auto_zeichnen);
    QCOMPARE(daten_reihenname, std::string("A;B;C;D;E"));
}

void TstProc::index_ausserhalb_beruehrt_nichts_data() {
    QTest::addColumn<int>("satz");
    QTest::addColumn<int>("spalte");
    QTest::newRow("set 11") << 11 << 1;
    QTest::newRow("set -1") << -1 << 1;
    QTest::newRow("column 9") << 1 << 9;
    QTest::newRow("column -1") << 1 << -1;
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
    if (satz < 0 || satz > max_satz) {
        daten_satzart(satz) = 2;
        daten_werteliste(satz) = "y";
        QCOMPARE(daten_satzart(satz), 0);
    }
    QCOMPARE(daten_basiswert(satz, spalte), 0.0);
    QCOMPARE(zustand.basiswert, vorher.basiswert);
    QCOMPARE(zustand.ausreisser, vorher.ausreisser);
    QCOMPARE(zustand.satzart, vorher.satzart);
    QCOMPARE(zustand.werteliste, vorher.werteliste);
#endif
}

QTEST_APPLESS_MAIN(TstProc)
#include "tst_proc.moc"
