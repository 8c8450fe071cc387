// The data window driven as a user would, checked on its controls and on the module state.
#include "chart/pictures.h"
#include "model/proc.h"
#include "model/text.h"
#include "windows/win_boxplot.h"
#include "windows/win_daten.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QTimer>

using namespace Proc;

namespace {

WinDaten& w() {
    return *WinDaten::offen();
}

QStringList sichtbare_saetze() {
    QStringList namen;
    for (int i = 1; i <= 5; ++i)
        if (w().RBsatz(i).isVisibleTo(&w()))
            namen << w().RBsatz(i).text();
    return namen;
}

QStringList gezeigt(bool felder) {
    QStringList texte;
    for (int i = 1; i <= 8; ++i)
        texte << (felder ? w().EFbasis(i).text() : w().STbasis(i).text());
    return texte;
}

void klick(QAbstractButton* knopf) {
    QTest::mouseClick(knopf, Qt::LeftButton, {}, knopf->rect().center());
}

void satz_waehlen(int satz) {
    while (daten_max_satz_anzahl < satz)
        klick(w().UpDownArrows1->hoch());
    klick(&w().RBsatz(satz));
}

void neu_tippen(QLineEdit* feld, const QString& text) {
    feld->selectAll();
    QTest::keyClick(feld, Qt::Key_Delete);
    QTest::keyClicks(feld, text);
}

void werte_tippen(const QStringList& werte) {
    for (const QString& wert : werte) {
        QTest::keyClicks(w().EFDaten, wert);
        QTest::keyClick(w().EFDaten, Qt::Key_Return);
    }
}

// For rows 1 to 6 exactly one of the entry field and the display is visible, for rows 7
// and 8 only the display.
bool genau_eines_sichtbar() {
    for (int i = 1; i <= 8; ++i) {
        const bool feld = w().EFbasis(i).isVisibleTo(&w());
        if (feld == w().STbasis(i).isVisibleTo(&w()) || (i > 6 && feld))
            return false;
    }
    return true;
}

const QStringList eins_bis_30{"1", "2", "3", "4", "5", "6", "7", "8", "9", "30"};

} // namespace

class TstWinDaten : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void nach_dem_start();
    void steuerelemente_data();
    void steuerelemente();
    void fokusreihenfolge();
    void satzanzahl_data();
    void satzanzahl();
    void datenreihe_tippen();
    void zahlenfelder_data();
    void zahlenfelder();
    void satzart_hin_und_zurueck();
    void optionen_data();
    void optionen();
    void eingefuegte_zeilenenden_data();
    void eingefuegte_zeilenenden();
    void tasten_im_inaktiven_feld_verfallen();
    void diagrammfenster_geschlossen_und_daten_geschlossen();
};

void TstWinDaten::init() {
    ladewerte_setzen();
    Pref_SplashAtStart = 0;
    WinDaten::instance();
}

void TstWinDaten::cleanup() {
    delete WinDaten::offen();
    delete WinBoxplot::offen();
}

void TstWinDaten::nach_dem_start() {
    QCOMPARE(sichtbare_saetze(), QStringList{"A"});
    QVERIFY(w().RBsatz(1).isChecked());
    QCOMPARE(w().STsatzanz->text(), QStringLiteral("1"));
    QVERIFY(w().BBsatzart(1).isChecked() && !w().BBsatzart(2).isChecked());
    QCOMPARE(gezeigt(true).mid(0, 6), (QStringList{"10", "30", "50", "60", "85", "40"}));
    QCOMPARE(gezeigt(false).mid(6), (QStringList{"0", "0"}));
    QCOMPARE(QStringList({w().EFskalamax->text(), w().EFskalamin->text(), w().EFskalamark->text()}),
             (QStringList{"100", "0", "10"}));
    for (QCheckBox* box : {w().CBshowall, w().CBereitert, w().CBmittelwert, w().CBwerteanzeigen})
        QVERIFY2(box->isChecked(), qPrintable(box->objectName()));
    QVERIFY(w().EFDaten->toPlainText().isEmpty() && !w().EFDaten->isEnabled());
    QVERIFY(genau_eines_sichtbar());
    for (QWidget* verborgen : std::initializer_list<QWidget*>{w().PBberechnen, w().PushButton1,
                                                              w().CBautomatik, w().StaticText15})
        QVERIFY(!verborgen->isVisible());
    QVERIFY(eingabe_aktiv && auto_zeichnen && daten_alle_saetze_zeichnen);
    QCOMPARE(daten_satzart(1), satzart_boxwerte);
    QCOMPARE(pos_rand_o, 0.046875);
    QVERIFY(WinBoxplot::offen() && WinBoxplot::offen()->isVisible());
    QCOMPARE(WinBoxplot::offen()->x(), 450);
    QCOMPARE(bild_ergebnis->image().size(), QSize(150, 400));
}

void TstWinDaten::steuerelemente_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("lage");
    QTest::addColumn<QString>("text");
    QTest::newRow("EFbasis(5)") << "EFbasis(5)" << QRect(116, 20, 52, 22) << "85";
    QTest::newRow("BBsatzart(2)") << "BBsatzart(2)" << QRect(198, 296, 116, 22) << "Datenreihe";
    QTest::newRow("CBshowall") << "CBshowall" << QRect(337, 233, 62, 30) << "Alle Sätze anzeigen";
    QTest::newRow("StaticText12") << "StaticText12" << QRect(16, 261, 94, 20) << "Anzahl";
}

void TstWinDaten::steuerelemente() {
    QFETCH(QString, name);
    QFETCH(QRect, lage);
    QFETCH(QString, text);
    QCOMPARE(w().windowTitle(), QStringLiteral("Daten"));
    QCOMPARE(w().centralWidget()->size(), QSize(406, 463));
    QCOMPARE(w().minimumSize(), w().maximumSize());
    QVERIFY(!(w().windowFlags() & Qt::WindowMaximizeButtonHint));
    const std::map<QString, QWidget*> glieder = {{"EFbasis(5)", &w().EFbasis(5)},
                                                 {"BBsatzart(2)", &w().BBsatzart(2)}};
    QWidget* control = glieder.count(name) ? glieder.at(name) : w().findChild<QWidget*>(name);
    QCOMPARE(control->geometry(), lage);
    QCOMPARE(control->property("text").toString(), text);
}

// Keyboard focus follows the order in which the controls are created.
void TstWinDaten::fokusreihenfolge() {
    w().EFDaten->setEnabled(true);
    for (int i = 7; i <= 8; ++i)
        w().EFbasis(i).show();
    QStringList reihenfolge;
    QWidget* control = &w().EFbasis(5);
    do {
        if (auto* feld = qobject_cast<EditField*>(control); feld && feld->Index)
            reihenfolge << QString::number(feld->Index);
        else if (qobject_cast<QLineEdit*>(control) || qobject_cast<QPlainTextEdit*>(control))
            reihenfolge << control->objectName();
        control = control->nextInFocusChain();
    } while (control != &w().EFbasis(5));
    QCOMPARE(reihenfolge, (QStringList{"5", "4", "3", "2", "1", "6", "EFskalamax", "EFskalamin",
                                       "EFskalamark", "EFDaten", "7", "8"}));
}

void TstWinDaten::satzanzahl_data() {
    QTest::addColumn<QString>("klicks"); // + up, - down, a digit selects that set
    QTest::addColumn<QStringList>("sichtbar");
    QTest::newRow("four up") << "++++" << QStringList{"A", "B", "C", "D", "E"};
    QTest::newRow("a fifth up changes nothing") << "+++++" << QStringList{"A", "B", "C", "D", "E"};
    QTest::newRow("down stops at the current set") << "+++3-" << QStringList{"A", "B", "C"};
    QTest::newRow("down while set 2 is current") << "++2-" << QStringList{"A", "B"};
    QTest::newRow("down with set 1 current stops at 1") << "+--" << QStringList{"A"};
}

void TstWinDaten::satzanzahl() {
    QFETCH(QString, klicks);
    QFETCH(QStringList, sichtbar);
    for (QChar k : klicks) {
        const PicturePtr vorher = bild_ergebnis;
        if (k.isDigit()) {
            klick(&w().RBsatz(k.digitValue()));
            continue;
        }
        klick(k == '+' ? w().UpDownArrows1->hoch() : w().UpDownArrows1->runter());
        QVERIFY(bild_ergebnis != vorher); // redrawn even when the count stays
    }
    QCOMPARE(sichtbare_saetze(), sichtbar);
    QCOMPARE(w().STsatzanz->text(), QString::number(sichtbar.size()));
    QCOMPARE(daten_max_satz_anzahl, sichtbar.size());
}

// A set never selected before becomes a data series; every keystroke recomputes, shows and
// redraws.
void TstWinDaten::datenreihe_tippen() {
    satz_waehlen(2);
    QCOMPARE(daten_satzart(2), satzart_datenreihe);
    QVERIFY(!eingabe_aktiv && w().BBsatzart(2).isChecked() && !w().BBsatzart(1).isChecked());
    QVERIFY(w().EFDaten->isEnabled() && w().EFDaten->toPlainText().isEmpty());
    QCOMPARE(gezeigt(false), QStringList(8, "0"));
    QVERIFY(genau_eines_sichtbar());
    int gezaehlt = 0;
    for (const QString& wert : eins_bis_30) {
        const PicturePtr vorher = bild_ergebnis;
        QTest::keyClicks(w().EFDaten, wert);
        QVERIFY(bild_ergebnis != vorher);
        QCOMPARE(w().STbasis(8).text(), QString::number(++gezaehlt));
        QCOMPARE(w().STbasis(5).text(), wert);
        QTest::keyClick(w().EFDaten, Qt::Key_Return);
    }
    QCOMPARE(daten_werteliste(2), std::string("1\r2\r3\r4\r5\r6\r7\r8\r9\r30\r"));
    QCOMPARE(daten_ausreisser(2, ausreisser_liste), std::string("30"));
    QCOMPARE(gezeigt(false), (QStringList{"1", "3", "5.5", "8", "30", "7.5", "29", "10"}));
}

void TstWinDaten::zahlenfelder_data() {
    QTest::addColumn<QString>("getippt");
    QTest::addColumn<double>("gespeichert");
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("number then letters") << "12abc" << 12.0;
    QTest::newRow("decimal comma ends the number") << "1,5" << 1.0;
}

void TstWinDaten::zahlenfelder() {
    QFETCH(QString, getippt);
    QFETCH(double, gespeichert);
    neu_tippen(&w().EFbasis(3), getippt);
    QCOMPARE(daten_basiswert(1, median), gespeichert);
    QCOMPARE(w().EFbasis(3).text(), getippt); // the field keeps what was typed
    neu_tippen(w().EFskalamark, getippt);
    QCOMPARE(skala_mark, gespeichert);
}

// Switching to box values keeps the computed values, now editable; switching back
// recomputes them and discards what was typed.
void TstWinDaten::satzart_hin_und_zurueck() {
    satz_waehlen(2);
    werte_tippen(eins_bis_30);
    klick(&w().BBsatzart(1));
    QVERIFY(eingabe_aktiv && !w().EFDaten->isEnabled() && genau_eines_sichtbar());
    QCOMPARE(daten_satzart(2), satzart_boxwerte);
    QCOMPARE(w().EFbasis(3).text(), QStringLiteral("5.5"));
    neu_tippen(&w().EFbasis(3), "7");
    QCOMPARE(daten_basiswert(2, median), 7.0);

    klick(&w().BBsatzart(2));
    QCOMPARE(daten_basiswert(2, median), 5.5);
    QCOMPARE(w().STbasis(3).text(), QStringLiteral("5.5"));
    klick(&w().BBsatzart(2)); // the kind already in force is applied again
    QVERIFY(w().BBsatzart(2).isChecked() && !w().BBsatzart(1).isChecked());
    QVERIFY(genau_eines_sichtbar());
}

void TstWinDaten::optionen_data() {
    QTest::addColumn<QString>("box");
    for (const char* box : {"CBshowall", "CBereitert", "CBmittelwert", "CBwerteanzeigen"})
        QTest::newRow(box) << box;
}

// Each option sets its flag and redraws, whatever automatic drawing says; switching the
// outliers on recomputes every series in use, without refreshing the shown values.
void TstWinDaten::optionen() {
    QFETCH(QString, box);
    const std::map<QString, bool*> flagge = {{"CBshowall", &daten_alle_saetze_zeichnen},
                                             {"CBereitert", &boxplot_erweitert},
                                             {"CBmittelwert", &mittelwert_anzeigen},
                                             {"CBwerteanzeigen", &box_werte_anzeigen}};
    satz_waehlen(2);
    werte_tippen({"1", "2", "3", "40"});
    daten_werteliste(2) = "5\r6";
    auto_zeichnen = false;
    for (bool erwartet : {false, true}) {
        const PicturePtr vorher = bild_ergebnis;
        klick(w().findChild<QCheckBox*>(box));
        QCOMPARE(*flagge.at(box), erwartet);
        QVERIFY(bild_ergebnis != vorher);
    }
    const bool neu_gerechnet = box == "CBereitert";
    QCOMPARE(daten_basiswert(2, anzahl), neu_gerechnet ? 2.0 : 4.0);
    QCOMPARE(w().STbasis(8).text(), QStringLiteral("4"));
}

void TstWinDaten::eingefuegte_zeilenenden_data() {
    QTest::addColumn<QString>("eingefuegt");
    QTest::newRow("CR LF") << "1,5\r\n2\r\n3\r\n";
    QTest::newRow("LF") << "1,5\n2\n3\n";
    QTest::newRow("CR") << "1,5\r2\r3\r";
}

void TstWinDaten::eingefuegte_zeilenenden() {
    QFETCH(QString, eingefuegt);
    satz_waehlen(2);
    QApplication::clipboard()->setText(eingefuegt);
    QTest::keyClick(w().EFDaten, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(daten_werteliste(2), std::string("1,5\r2\r3\r"));
    QCOMPARE(daten_basiswert(2, anzahl), 3.0);
    QCOMPARE(daten_basiswert(2, minimum), 1.5);

    // A line break typed with Shift+Return ends a line too, and a no-break space is a blank.
    QTest::keyClicks(w().EFDaten, QString(QChar::Nbsp) + "4");
    QTest::keyClick(w().EFDaten, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(w().EFDaten, "5");
    QCOMPARE(daten_werteliste(2), std::string("1,5\r2\r3\r 4\r5"));
}

void TstWinDaten::tasten_im_inaktiven_feld_verfallen() {
    satz_waehlen(2);
    EditField& feld = w().EFbasis(3);
    QTest::keyClicks(&feld, "77");
    QApplication::clipboard()->setText("12");
    QTest::keyClick(&feld, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(feld.text(), QStringLiteral("0"));
    QCOMPARE(daten_basiswert(2, median), 0.0);
}

// A closed chart window opens again with the next redraw; closing the data window ends
// the event loop even while the chart window is open.
void TstWinDaten::diagrammfenster_geschlossen_und_daten_geschlossen() {
    QPointer<WinBoxplot> diagramm = WinBoxplot::offen();
    diagramm->close();
    QTRY_VERIFY(diagramm.isNull());
    neu_tippen(&w().EFbasis(5), "90");
    QVERIFY(WinBoxplot::offen() && WinBoxplot::offen()->isVisible());
    QCOMPARE(WinBoxplot::offen()->CAbox->Backdrop(), bild_ergebnis);

    QTimer::singleShot(0, [] { WinDaten::offen()->close(); });
    QCOMPARE(QApplication::exec(), 0);
    QTRY_VERIFY(!WinDaten::offen());
}

QTEST_MAIN(TstWinDaten)
#include "tst_win_daten.moc"
