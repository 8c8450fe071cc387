// The data, chart and splash windows driven as a user would, checked on their controls, the
// module state and the chart. Runs at device pixel ratio 1 and, with QT_SCALE_FACTOR=2, at 2.
#include "chart/pictures.h"
#include "model/proc.h"
#include "model/text.h"
#include "windows/anwendung.h"
#include "windows/win_boxplot.h"
#include "windows/win_daten.h"
#include "windows/win_splash.h"

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

// The eight rows as shown: the entry fields in kind 1, else the displays.
QStringList gezeigt() {
    QStringList texte;
    for (int i = 1; i <= 8; ++i)
        texte << (w().EFbasis(i).isVisibleTo(&w()) ? w().EFbasis(i).text() : w().STbasis(i).text());
    return texte;
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

const QStringList eins_bis_30{"1", "2", "3", "4", "5", "6", "7", "8", "9", "30"};

// An application object that carries a version, as the real one does.
struct TestAnwendung : QApplication, Anwendung {
    using QApplication::QApplication;
    Versionsteile teile{1, 2, 0, 3, 5};
    Versionsteile version() const override { return teile; }
    QMenuBar* menueleiste() const override { return nullptr; }
};

} // namespace

class TstWindows : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void nach_dem_start();
    void satzanzahl_data();
    void satzanzahl();
    void datenreihe_tippen_und_satzart_wechseln();
    void zahlenfelder_data();
    void zahlenfelder();
    void lange_zahlen_ganz_oder_sichtbar_gekuerzt();
    void optionen_data();
    void optionen();
    void eingefuegte_zeilenenden();
    void tasten_im_inaktiven_feld_verfallen();
    void diagrammfenster_folgt_der_groesse();
    void fenster_schliessen();
    void splash_data();
    void splash();
};

void TstWindows::init() {
    ladewerte_setzen();
    Pref_SplashAtStart = 0;
    WinDaten::instance();
}

void TstWindows::cleanup() {
    delete WinDaten::offen();
    delete WinBoxplot::offen();
}

void TstWindows::nach_dem_start() {
    QCOMPARE(sichtbare_saetze(), QStringList{"A"});
    QVERIFY(w().RBsatz(1).isChecked() && w().BBsatzart(1).isChecked() && !w().BBsatzart(2).isChecked());
    QCOMPARE(w().STsatzanz->text(), QStringLiteral("1"));
    QCOMPARE(gezeigt(), (QStringList{"10", "30", "50", "60", "85", "40", "0", "0"}));
    QCOMPARE(QStringList({w().EFskalamax->text(), w().EFskalamin->text(), w().EFskalamark->text()}),
             (QStringList{"100", "0", "10"}));
    for (QCheckBox* box : {w().CBshowall, w().CBereitert, w().CBmittelwert, w().CBwerteanzeigen})
        QVERIFY2(box->isChecked(), qPrintable(box->objectName()));
    QVERIFY(w().EFDaten->toPlainText().isEmpty() && !w().EFDaten->isEnabled());
    QVERIFY(genau_eines_sichtbar());
    for (QWidget* verborgen : std::initializer_list<QWidget*>{w().PBberechnen, w().PushButton1,
                                                              w().CBautomatik, w().StaticText15})
        QVERIFY(!verborgen->isVisible());
    QCOMPARE(w().centralWidget()->size(), QSize(406, 463));
    QCOMPARE(WinBoxplot::offen()->x(), 450);
    // The chart is made at the canvas's device pixel ratio and shown 1:1.
    Canvas* leinwand = WinBoxplot::offen()->CAbox;
    QCOMPARE(leinwand->Backdrop(), bild_ergebnis);
    QCOMPARE(bild_ergebnis->devicePixelRatio(), leinwand->devicePixelRatioF());
    QCOMPARE(leinwand->grab().toImage().convertToFormat(QImage::Format_RGB32),
             bild_ergebnis->image().convertToFormat(QImage::Format_RGB32));
}

void TstWindows::satzanzahl_data() {
    QTest::addColumn<QString>("klicks"); // + up, - down, a digit selects that set
    QTest::addColumn<QStringList>("sichtbar");
    QTest::newRow("a fifth up changes nothing") << "+++++" << QStringList{"A", "B", "C", "D", "E"};
    QTest::newRow("down stops at the current set") << "+++3-" << QStringList{"A", "B", "C"};
    QTest::newRow("down while set 2 is current") << "++2-" << QStringList{"A", "B"};
    QTest::newRow("down with set 1 current stops at 1") << "+--" << QStringList{"A"};
}

void TstWindows::satzanzahl() {
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
// redraws. Box values keep the computed values, editable; switching back recomputes them.
void TstWindows::datenreihe_tippen_und_satzart_wechseln() {
    satz_waehlen(2);
    QVERIFY(!eingabe_aktiv && w().BBsatzart(2).isChecked() && !w().BBsatzart(1).isChecked());
    QVERIFY(w().EFDaten->isEnabled() && genau_eines_sichtbar());
    QCOMPARE(gezeigt(), QStringList(8, "0"));
    int gezaehlt = 0;
    for (const QString& wert : eins_bis_30) {
        const PicturePtr vorher = bild_ergebnis;
        QTest::keyClicks(w().EFDaten, wert);
        QVERIFY(bild_ergebnis != vorher);
        QCOMPARE(gezeigt().mid(4), (QStringList{wert, w().STbasis(6).text(), w().STbasis(7).text(),
                                                QString::number(++gezaehlt)}));
        QTest::keyClick(w().EFDaten, Qt::Key_Return);
    }
    QCOMPARE(daten_werteliste(2), std::string("1\r2\r3\r4\r5\r6\r7\r8\r9\r30\r"));
    QCOMPARE(daten_ausreisser(2, ausreisser_liste), std::string("30"));
    QCOMPARE(gezeigt(), (QStringList{"1", "3", "5.5", "8", "30", "7.5", "29", "10"}));

    klick(&w().BBsatzart(1));
    QVERIFY(eingabe_aktiv && !w().EFDaten->isEnabled() && genau_eines_sichtbar());
    QCOMPARE(daten_satzart(2), satzart_boxwerte);
    QCOMPARE(gezeigt()[2], QStringLiteral("5.5"));
    neu_tippen(&w().EFbasis(3), "7");
    QCOMPARE(daten_basiswert(2, median), 7.0);
    klick(&w().BBsatzart(2));
    klick(&w().BBsatzart(2)); // the kind in force is applied again
    QCOMPARE(daten_basiswert(2, median), 5.5);
    QVERIFY(w().BBsatzart(2).isChecked() && !w().BBsatzart(1).isChecked() && genau_eines_sichtbar());
}

// Box-value and scale fields read a decimal comma like the value lists; other text after a
// number ends it, and text that is no number is 0.
void TstWindows::zahlenfelder_data() {
    QTest::addColumn<QString>("getippt");
    QTest::addColumn<double>("gespeichert");
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("number then letters") << "12abc" << 12.0;
    QTest::newRow("decimal comma") << "55,5" << 55.5;
    QTest::newRow("decimal point") << "55.5" << 55.5;
}

void TstWindows::zahlenfelder() {
    QFETCH(QString, getippt);
    QFETCH(double, gespeichert);
    neu_tippen(&w().EFbasis(3), getippt);
    QCOMPARE(daten_basiswert(1, median), gespeichert);
    QCOMPARE(w().EFbasis(3).text(), getippt); // the field keeps what was typed
    neu_tippen(w().EFskalamark, getippt);
    QCOMPARE(skala_mark, gespeichert);
}

// Numbers too long for their control: a field filled by the program shows their start, a
// display shortens them visibly and shows them whole as its tooltip. Fields take any length.
void TstWindows::lange_zahlen_ganz_oder_sichtbar_gekuerzt() {
    satz_waehlen(2);
    werte_tippen({"1234,56789", "98765,4321", "-0,000123456"});
    const QStringList lang{"-0.000123456", "-0.000123456", "1234.56789", "98765.4321", "98765.4321"};
    for (int i = 1; i <= 5; ++i) {
        // Shortened where it shows, to the same order of magnitude, and whole as the tooltip.
        const NumberText& anzeige = w().STbasis(i);
        QString kurz = anzeige.shown();
        QVERIFY2(kurz.contains(QChar(0x2026)), qPrintable(kurz));
        QVERIFY(anzeige.fontMetrics().horizontalAdvance(kurz) <= anzeige.contentsRect().width());
        const double ungefaehr = Val(kurz.remove(QChar(0x2026)).toStdString());
        const double genau = Val(lang[i - 1].toStdString());
        QCOMPARE(std::floor(std::log10(std::abs(ungefaehr))), std::floor(std::log10(std::abs(genau))));
        QCOMPARE(anzeige.text(), lang[i - 1]);
        QCOMPARE(anzeige.toolTip(), lang[i - 1]);
    }
    QCOMPARE(w().STbasis(8).toolTip(), QString()); // "3" fits
    klick(&w().BBsatzart(1));
    for (int i = 1; i <= 5; ++i)
        QCOMPARE(w().EFbasis(i).cursorPosition(), 0);
    const QString riesig(40000, '7');
    QApplication::clipboard()->setText(riesig);
    w().EFbasis(5).setFocus();
    w().EFbasis(5).selectAll();
    QTest::keyClick(&w().EFbasis(5), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w().EFbasis(5).text(), riesig);
}

void TstWindows::optionen_data() {
    QTest::addColumn<QString>("box");
    for (const char* box : {"CBshowall", "CBereitert", "CBmittelwert", "CBwerteanzeigen"})
        QTest::newRow(box) << box;
}

// Each option sets its flag and redraws, whatever automatic drawing says; switching the
// outliers on recomputes every series in use, without refreshing the shown values.
void TstWindows::optionen() {
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
        const std::map<QString, bool> alle_vorher = {{"CBshowall", daten_alle_saetze_zeichnen},
                                                     {"CBereitert", boxplot_erweitert},
                                                     {"CBmittelwert", mittelwert_anzeigen},
                                                     {"CBwerteanzeigen", box_werte_anzeigen}};
        klick(w().findChild<QCheckBox*>(box));
        for (const auto& [name, wert] : flagge)
            QCOMPARE(*wert, name == box ? erwartet : alle_vorher.at(name));
        QVERIFY(bild_ergebnis != vorher);
    }
    QCOMPARE(daten_basiswert(2, anzahl), box == "CBereitert" ? 2.0 : 4.0);
    QCOMPARE(w().STbasis(8).text(), QStringLiteral("4"));
}

// Pasted text ends its lines with CR LF, LF or CR; Shift+Return ends a line too, and a
// no-break space is a blank.
void TstWindows::eingefuegte_zeilenenden() {
    satz_waehlen(2);
    for (const char* eingefuegt : {"1,5\r\n2\r\n3\r\n", "1,5\n2\n3\n", "1,5\r2\r3\r"}) {
        w().EFDaten->selectAll();
        QApplication::clipboard()->setText(eingefuegt);
        QTest::keyClick(w().EFDaten, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(daten_werteliste(2), std::string("1,5\r2\r3\r"));
        QCOMPARE(daten_basiswert(2, minimum), 1.5);
    }
    QTest::keyClicks(w().EFDaten, QString(QChar::Nbsp) + "4");
    QTest::keyClick(w().EFDaten, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(w().EFDaten, "5");
    QCOMPARE(daten_werteliste(2), std::string("1,5\r2\r3\r 4\r5"));
}

void TstWindows::tasten_im_inaktiven_feld_verfallen() {
    satz_waehlen(2);
    EditField& feld = w().EFbasis(3);
    QTest::keyClicks(&feld, "77");
    QApplication::clipboard()->setText("12");
    QTest::keyClick(&feld, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(feld.text(), QStringLiteral("0"));
    QCOMPARE(daten_basiswert(2, median), 0.0);
}

// The canvas keeps its margins to the window's edges, and every resize recomposes the chart
// at the canvas's size; below the minimum the window stays at it.
void TstWindows::diagrammfenster_folgt_der_groesse() {
    for (auto [fenster, bild] : {std::pair{QSize(640, 480), QSize(600, 446)},
                                 {QSize(10, 10), QSize(110, 166)}}) {
        const PicturePtr vorher = bild_ergebnis;
        WinBoxplot::offen()->resize(fenster);
        QCOMPARE(QSize(breite_bild, hoehe_bild), bild);
        QCOMPARE(WinBoxplot::offen()->CAbox->geometry(), QRect(QPoint(20, 14), bild));
        QVERIFY(bild_ergebnis != vorher);
        QCOMPARE(bild_ergebnis->image().deviceIndependentSize().toSize(), bild);
        QCOMPARE(WinBoxplot::offen()->CAbox->Backdrop(), bild_ergebnis);
    }
}

// A closed chart window opens again with the next redraw; closing the data window ends the
// event loop even while the chart window is open.
void TstWindows::fenster_schliessen() {
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

void TstWindows::splash_data() {
    QTest::addColumn<int>("stufe");
    QTest::addColumn<QString>("version");
    QTest::newRow("development") << 0 << "1.2.0 dev 5";
    QTest::newRow("alpha") << 1 << "1.2.0 a 5";
    QTest::newRow("beta") << 2 << "1.2.0 b 5";
    QTest::newRow("final") << 3 << "1.2.0 (5)";
    QTest::newRow("unknown stage") << 7 << "1.2.0";
}

// The about window shows the version and, for a beta, the red mark; it stays until clicked.
void TstWindows::splash() {
    QFETCH(int, stufe);
    QFETCH(QString, version);
    static_cast<TestAnwendung*>(qApp)->teile.StageCode = stufe;
    bool geprueft = false;
    // Once the splash's two seconds would have passed, the about window is still open.
    QTimer::singleShot(stufe == 3 ? 2200 : 0, qApp, [&] {
        WIsplash* s = WIsplash::offen();
        QCOMPARE(s->STappver->text(), version);
        QCOMPARE(s->STbeta->isVisible(), stufe == 2);
        QCOMPARE(s->STbeta->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QVERIFY(s->STpackinfo->text().contains(QRegularExpression("20\\d\\d Velmora")));
        geprueft = true;
        QTest::mouseClick(s, Qt::LeftButton, {}, QPoint(5, 5));
    });
    WIsplash::instance()->Update(false);
    QVERIFY(geprueft);
    QTRY_VERIFY(!WIsplash::offen());
    QCOMPARE(BuildVersion(-1, 10, 3, 0, -2), QStringLiteral("-1.10.3 dev -2"));
}

int main(int argc, char* argv[]) {
    TestAnwendung anwendung(argc, argv);
    TstWindows test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_windows.moc"
