// The data window driven as a user would, checked on its controls and on the module state.
#include "chart/pictures.h"
#include "model/proc.h"
#include "model/text.h"
#include "windows/win_boxplot.h"
#include "windows/win_daten.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <QTimer>

using namespace Proc;

namespace {

WinDaten& w() {
    return *WinDaten::offen();
}

QStringList texte(const ControlArray<EditField>& felder, std::initializer_list<int> indizes) {
    QStringList t;
    for (int i : indizes)
        t << felder(i).text();
    return t;
}

QStringList sichtbare_saetze() {
    QStringList namen;
    for (int i = 1; i <= 5; ++i)
        if (w().RBsatz(i).isVisibleTo(&w()))
            namen << w().RBsatz(i).text();
    return namen;
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

// Types a value list into EFDaten, one line per value.
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
        const bool anzeige = w().STbasis(i).isVisibleTo(&w());
        if (feld == anzeige || (i > 6 && feld))
            return false;
    }
    return true;
}

} // namespace

class TstWinDaten : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void nach_dem_start();
    void fenster_und_steuerelemente_data();
    void fenster_und_steuerelemente();
    void fokusreihenfolge();
    void satzanzahl_data();
    void satzanzahl();
    void nie_gewaehlter_satz_wird_datenreihe();
    void jeder_tastendruck_rechnet_und_zeichnet();
    void zahlenfelder_lesen_den_anfang_data();
    void zahlenfelder_lesen_den_anfang();
    void satzart_hin_und_zurueck();
    void optionen_data();
    void optionen();
    void ausreisser_einschalten_rechnet_neu();
    void eingefuegte_zeilenenden_data();
    void eingefuegte_zeilenenden();
    void tasten_im_inaktiven_feld_verfallen();
    void anderer_satz_ohne_alle_saetze();
    void geschlossenes_diagramm_oeffnet_wieder();
    void schliessen_beendet_die_anwendung();
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
    QVERIFY(w().BBsatzart(1).isChecked());
    QVERIFY(!w().BBsatzart(2).isChecked());
    QCOMPARE(texte(w().EFbasis, {5, 4, 3, 2, 1, 6}),
             (QStringList{"85", "60", "50", "30", "10", "40"}));
    QCOMPARE(w().STbasis(7).text(), QStringLiteral("0"));
    QCOMPARE(w().STbasis(8).text(), QStringLiteral("0"));
    QCOMPARE(w().EFskalamax->text(), QStringLiteral("100"));
    QCOMPARE(w().EFskalamin->text(), QStringLiteral("0"));
    QCOMPARE(w().EFskalamark->text(), QStringLiteral("10"));
    for (QCheckBox* box : {w().CBshowall, w().CBereitert, w().CBmittelwert, w().CBwerteanzeigen})
        QVERIFY2(box->isChecked(), qPrintable(box->objectName()));
    QVERIFY(w().EFDaten->toPlainText().isEmpty());
    QVERIFY(!w().EFDaten->isEnabled());
    QVERIFY(genau_eines_sichtbar());
    for (QWidget* verborgen : std::initializer_list<QWidget*>{w().PBberechnen, w().PushButton1,
                                                              w().CBautomatik, w().StaticText15})
        QVERIFY(!verborgen->isVisible());

    QCOMPARE(daten_satzart(1), satzart_boxwerte);
    QCOMPARE(daten_satzart(2), satzart_neu);
    QVERIFY(eingabe_aktiv && auto_zeichnen && daten_alle_saetze_zeichnen);
    QCOMPARE(pos_rand_o, 0.046875);
    QVERIFY(WinBoxplot::offen() && WinBoxplot::offen()->isVisible());
    QCOMPARE(WinBoxplot::offen()->x(), 450);
    QCOMPARE(bild_ergebnis->image().size(), QSize(150, 400));
}

void TstWinDaten::fenster_und_steuerelemente_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    QTest::addColumn<QRect>("lage");
    QTest::addColumn<QString>("text");
    QTest::newRow("EFbasis(5)") << "EFbasis" << 5 << QRect(116, 20, 52, 22) << "85";
    QTest::newRow("EFbasis(1)") << "EFbasis" << 1 << QRect(116, 151, 52, 22) << "10";
    QTest::newRow("STbasis(6)") << "STbasis" << 6 << QRect(122, 200, 49, 20) << "40";
    QTest::newRow("RBsatz(3)") << "RBsatz" << 3 << QRect(350, 87, 36, 20) << "C";
    QTest::newRow("BBsatzart(2)") << "BBsatzart" << 2 << QRect(198, 296, 116, 22) << "Datenreihe";
    QTest::newRow("CBwerteanzeigen")
        << "CBwerteanzeigen" << 0 << QRect(220, 367, 179, 20) << "Werte im Boxplot zeigen";
    QTest::newRow("CBshowall") << "CBshowall" << 0 << QRect(337, 233, 62, 30)
                               << "Alle Sätze anzeigen";
    QTest::newRow("GroupBox4") << "GroupBox4" << 0 << QRect(337, 3, 57, 227) << "Satz-Nr.";
    QTest::newRow("UpDownArrows1") << "UpDownArrows1" << 0 << QRect(366, 197, 13, 23) << "";
    QTest::newRow("EFDaten") << "EFDaten" << 0 << QRect(198, 22, 119, 259) << "";
    QTest::newRow("label of the count row")
        << "StaticText12" << 0 << QRect(16, 261, 94, 20) << "Anzahl";
    QTest::newRow("label of the scale mark")
        << "StaticText8" << 0 << QRect(20, 414, 94, 20) << "Markierung";
}

void TstWinDaten::fenster_und_steuerelemente() {
    QFETCH(QString, name);
    QFETCH(int, index);
    QFETCH(QRect, lage);
    QFETCH(QString, text);
    QCOMPARE(w().windowTitle(), QStringLiteral("Daten"));
    QCOMPARE(w().centralWidget()->size(), QSize(406, 463));
    QCOMPARE(w().minimumSize(), w().maximumSize());
    QVERIFY(!(w().windowFlags() & Qt::WindowMaximizeButtonHint));

    QWidget* control = nullptr;
    if (name == "EFbasis")
        control = &w().EFbasis(index);
    else if (name == "STbasis")
        control = &w().STbasis(index);
    else if (name == "RBsatz")
        control = &w().RBsatz(index);
    else if (name == "BBsatzart")
        control = &w().BBsatzart(index);
    else
        control = w().findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), lage);
    QString gezeigt = control->property("text").toString();
    if (auto* box = qobject_cast<QGroupBox*>(control))
        gezeigt = box->title();
    QCOMPARE(gezeigt, text);
}

// Keyboard focus follows the order in which the controls are created.
void TstWinDaten::fokusreihenfolge() {
    klick(w().BBsatzart(2).isChecked() ? &w().BBsatzart(1) : &w().BBsatzart(2));
    w().EFDaten->setEnabled(true);
    for (int i = 1; i <= 8; ++i)
        w().EFbasis(i).show();
    QStringList reihenfolge;
    QWidget* control = &w().EFbasis(5);
    do {
        if (auto* feld = qobject_cast<EditField*>(control))
            reihenfolge << (feld->Index ? QStringLiteral("EFbasis(%1)").arg(feld->Index)
                                        : feld->objectName());
        else if (qobject_cast<MultiLineEditField*>(control))
            reihenfolge << control->objectName();
        control = control->nextInFocusChain();
    } while (control != &w().EFbasis(5));
    QCOMPARE(reihenfolge, (QStringList{"EFbasis(5)", "EFbasis(4)", "EFbasis(3)", "EFbasis(2)",
                                       "EFbasis(1)", "EFbasis(6)", "EFskalamax", "EFskalamin",
                                       "EFskalamark", "EFDaten", "EFbasis(7)", "EFbasis(8)"}));
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
        if (k == '+')
            klick(w().UpDownArrows1->hoch());
        else if (k == '-')
            klick(w().UpDownArrows1->runter());
        else
            klick(&w().RBsatz(k.digitValue()));
        if (k == '+' || k == '-')
            QVERIFY(bild_ergebnis != vorher); // redrawn even when the count stays
    }
    QCOMPARE(sichtbare_saetze(), sichtbar);
    QCOMPARE(w().STsatzanz->text(), QString::number(sichtbar.size()));
    QCOMPARE(daten_max_satz_anzahl, sichtbar.size());
}

void TstWinDaten::nie_gewaehlter_satz_wird_datenreihe() {
    satz_waehlen(2);
    QCOMPARE(daten_akt_satz, 2);
    QCOMPARE(daten_satzart(2), satzart_datenreihe);
    QVERIFY(!eingabe_aktiv);
    QVERIFY(w().BBsatzart(2).isChecked() && !w().BBsatzart(1).isChecked());
    QVERIFY(w().EFDaten->isEnabled());
    QVERIFY(w().EFDaten->toPlainText().isEmpty());
    for (int i = 1; i <= 8; ++i)
        QCOMPARE(w().STbasis(i).text(), QStringLiteral("0"));
    QVERIFY(genau_eines_sichtbar());
}

void TstWinDaten::jeder_tastendruck_rechnet_und_zeichnet() {
    satz_waehlen(2);
    const QStringList werte{"1", "2", "3", "4", "5", "6", "7", "8", "9", "30"};
    int gezaehlt = 0;
    for (const QString& wert : werte) {
        const PicturePtr vorher = bild_ergebnis;
        QTest::keyClicks(w().EFDaten, wert);
        QVERIFY(bild_ergebnis != vorher);
        QCOMPARE(w().STbasis(8).text(), QString::number(++gezaehlt));
        QCOMPARE(w().STbasis(5).text(), wert);
        QTest::keyClick(w().EFDaten, Qt::Key_Return);
    }
    QCOMPARE(daten_werteliste(2), std::string("1\r2\r3\r4\r5\r6\r7\r8\r9\r30\r"));
    QCOMPARE(daten_ausreisser(2, ausreisser_liste), std::string("30"));
    QStringList gezeigt;
    for (int i = 1; i <= 8; ++i)
        gezeigt << w().STbasis(i).text();
    QCOMPARE(gezeigt, (QStringList{"1", "3", "5.5", "8", "30", "7.5", "29", "10"}));
    // What is shown is what is stored.
    for (int i = 1; i <= 8; ++i)
        QCOMPARE(Val(w().EFbasis(i).text().toStdString()), daten_basiswert(2, i));
}

void TstWinDaten::zahlenfelder_lesen_den_anfang_data() {
    QTest::addColumn<QString>("getippt");
    QTest::addColumn<double>("gespeichert");
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("number then letters") << "12abc" << 12.0;
    QTest::newRow("decimal comma ends the number") << "1,5" << 1.0;
    QTest::newRow("exponent") << "-3e2" << -300.0;
    QTest::newRow("empty") << "" << 0.0;
}

void TstWinDaten::zahlenfelder_lesen_den_anfang() {
    QFETCH(QString, getippt);
    QFETCH(double, gespeichert);
    neu_tippen(&w().EFbasis(3), getippt);
    QCOMPARE(daten_basiswert(1, median), gespeichert);
    QCOMPARE(w().EFbasis(3).text(), getippt); // the field keeps what was typed
    neu_tippen(w().EFskalamark, getippt);
    QCOMPARE(skala_mark, gespeichert);
}

void TstWinDaten::satzart_hin_und_zurueck() {
    satz_waehlen(2);
    werte_tippen({"1", "2", "3", "4", "5", "6", "7", "8", "9", "30"});
    klick(&w().BBsatzart(1));
    QVERIFY(eingabe_aktiv);
    QCOMPARE(daten_satzart(2), satzart_boxwerte);
    QVERIFY(!w().EFDaten->isEnabled());
    QVERIFY(genau_eines_sichtbar());
    QCOMPARE(w().EFbasis(3).text(), QStringLiteral("5.5")); // computed values kept, editable
    neu_tippen(&w().EFbasis(3), "7");
    QCOMPARE(daten_basiswert(2, median), 7.0);
    QTest::keyClicks(w().EFDaten, "99"); // disabled: nothing arrives
    QCOMPARE(daten_werteliste(2), std::string("1\r2\r3\r4\r5\r6\r7\r8\r9\r30\r"));

    klick(&w().BBsatzart(2));
    QCOMPARE(daten_basiswert(2, median), 5.5); // recomputed, the typed value is gone
    QCOMPARE(w().STbasis(3).text(), QStringLiteral("5.5"));
    QVERIFY(genau_eines_sichtbar());

    // Pressing the kind already in force re-applies it.
    klick(&w().BBsatzart(2));
    QVERIFY(w().BBsatzart(2).isChecked() && !w().BBsatzart(1).isChecked());
    QVERIFY(genau_eines_sichtbar());
}

void TstWinDaten::optionen_data() {
    QTest::addColumn<QString>("box");
    QTest::newRow("Alle Sätze anzeigen") << "CBshowall";
    QTest::newRow("Ausreißer markieren") << "CBereitert";
    QTest::newRow("Mittelwert anzeigen") << "CBmittelwert";
    QTest::newRow("Werte im Boxplot zeigen") << "CBwerteanzeigen";
}

void TstWinDaten::optionen() {
    QFETCH(QString, box);
    const std::map<QString, bool*> flagge = {{"CBshowall", &daten_alle_saetze_zeichnen},
                                             {"CBereitert", &boxplot_erweitert},
                                             {"CBmittelwert", &mittelwert_anzeigen},
                                             {"CBwerteanzeigen", &box_werte_anzeigen}};
    auto* knopf = w().findChild<QCheckBox*>(box);
    auto_zeichnen = false; // the options redraw regardless
    for (bool erwartet : {false, true}) {
        const PicturePtr vorher = bild_ergebnis;
        klick(knopf);
        QCOMPARE(*flagge.at(box), erwartet);
        QVERIFY(bild_ergebnis != vorher);
    }
}

void TstWinDaten::ausreisser_einschalten_rechnet_neu() {
    satz_waehlen(2);
    werte_tippen({"1", "2", "3", "40"});
    daten_werteliste(2) = "5\r6";
    klick(w().CBereitert); // off: nothing recomputed
    QCOMPARE(daten_basiswert(2, anzahl), 4.0);
    klick(w().CBereitert); // on: every series in use recomputed
    QCOMPARE(daten_basiswert(2, anzahl), 2.0);
    QCOMPARE(w().STbasis(8).text(), QStringLiteral("4")); // the display is not refreshed
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
    w().EFDaten->setFocus();
    QTest::keyClick(w().EFDaten, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(daten_werteliste(2), std::string("1,5\r2\r3\r"));
    QCOMPARE(daten_basiswert(2, anzahl), 3.0);
    QCOMPARE(daten_basiswert(2, minimum), 1.5);
    QCOMPARE(w().EFDaten->blockCount(), 4);

    // A line break typed with Shift+Return ends a line too, and a no-break space is a blank.
    QTest::keyClicks(w().EFDaten, QString(QChar::Nbsp) + "4");
    QTest::keyClick(w().EFDaten, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(w().EFDaten, "5");
    QCOMPARE(daten_werteliste(2), std::string("1,5\r2\r3\r 4\r5"));
    QCOMPARE(daten_basiswert(2, maximum), 5.0);
}

void TstWinDaten::tasten_im_inaktiven_feld_verfallen() {
    satz_waehlen(2);
    EditField& feld = w().EFbasis(3);
    const QString vorher = feld.text();
    QTest::keyClicks(&feld, "77");
    QApplication::clipboard()->setText("12");
    QTest::keyClick(&feld, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(feld.text(), vorher);
    QCOMPARE(daten_basiswert(2, median), 0.0);
}

void TstWinDaten::anderer_satz_ohne_alle_saetze() {
    satz_waehlen(2);
    werte_tippen({"70", "80"});
    klick(w().CBshowall);
    klick(&w().RBsatz(1));
    const PicturePtr gezeigt = bild_ergebnis;
    QCOMPARE(w().EFbasis(3).text(), QStringLiteral("50"));
    klick(&w().RBsatz(2));
    QCOMPARE(bild_ergebnis, gezeigt); // selecting a set alone does not redraw
}

void TstWinDaten::geschlossenes_diagramm_oeffnet_wieder() {
    QPointer<WinBoxplot> diagramm = WinBoxplot::offen();
    diagramm->close();
    QTRY_VERIFY(diagramm.isNull());
    neu_tippen(&w().EFbasis(5), "90");
    QVERIFY(WinBoxplot::offen() && WinBoxplot::offen()->isVisible());
    QCOMPARE(WinBoxplot::offen()->CAbox->Backdrop(), bild_ergebnis);
}

void TstWinDaten::schliessen_beendet_die_anwendung() {
    QVERIFY(WinBoxplot::offen() && WinBoxplot::offen()->isVisible());
    QTimer::singleShot(0, [] { WinDaten::offen()->close(); });
    QCOMPARE(QApplication::exec(), 0); // returns: the event loop has ended
    QTRY_VERIFY(!WinDaten::offen());
}

QTEST_MAIN(TstWinDaten)
#include "tst_win_daten.moc"
