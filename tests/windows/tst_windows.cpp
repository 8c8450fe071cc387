// The data, chart and splash windows driven as a user would, checked on their controls, the
// module state and the chart. Runs at device pixel ratio 1 and, with QT_SCALE_FACTOR=2, at 2.
#include "support/startwerte.h"
#include "windows/anwendung.h"
#include "windows/win_boxplot.h"
#include "windows/win_daten.h"
#include "windows/win_splash.h"

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

// The eight rows as shown, or "?" where not exactly one of entry field and display is
// visible (rows 7 and 8 only ever show the display).
QStringList gezeigt() {
    QStringList texte;
    for (int i = 1; i <= 8; ++i) {
        const bool feld = w().EFbasis(i).isVisibleTo(&w());
        const bool eines = feld != w().STbasis(i).isVisibleTo(&w()) && !(i > 6 && feld);
        texte << (!eines ? "?" : feld ? w().EFbasis(i).text() : w().STbasis(i).text());
    }
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

void einfuegen(QWidget* feld, const QString& text) {
    QApplication::clipboard()->setText(text);
    QTest::keyClick(feld, Qt::Key_V, Qt::ControlModifier);
}

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
    void init() {
        ladewerte_setzen();
        Pref_SplashAtStart = 0;
        WinDaten::instance();
    }
    void cleanup() {
        delete WinDaten::offen();
        delete WinBoxplot::offen();
    }

    void nach_dem_start() {
        QCOMPARE(sichtbare_saetze(), QStringList{"A"});
        QVERIFY(w().RBsatz(1).isChecked() && w().BBsatzart(1).isChecked() &&
                !w().BBsatzart(2).isChecked() && !w().EFDaten->isEnabled());
        QCOMPARE(
            gezeigt() << w().EFskalamax->text() << w().EFskalamin->text() << w().EFskalamark->text()
                      << w().STsatzanz->text(),
            (QStringList{"10", "30", "50", "60", "85", "40", "0", "0", "100", "0", "10", "1"}));
        for (QCheckBox* box :
             {w().CBshowall, w().CBereitert, w().CBmittelwert, w().CBwerteanzeigen})
            QVERIFY2(box->isChecked(), qPrintable(box->objectName()));
        for (QWidget* verborgen : std::initializer_list<QWidget*>{
                 w().PBberechnen, w().PushButton1, w().CBautomatik, w().StaticText15})
            QVERIFY(!verborgen->isVisible());
        QCOMPARE(w().centralWidget()->size(), QSize(406, 463));
        QCOMPARE(WinBoxplot::offen()->x(), 450);
        // The chart is made at the canvas's device pixel ratio and shown 1:1.
        Canvas* leinwand = WinBoxplot::offen()->CAbox;
        QCOMPARE(bild_ergebnis->devicePixelRatio(), leinwand->devicePixelRatioF());
        QCOMPARE(leinwand->grab().toImage().convertToFormat(QImage::Format_RGB32),
                 bild_ergebnis->image().convertToFormat(QImage::Format_RGB32));
    }

    // + up, - down, a digit selects that set; every arrow click redraws.
    void satzanzahl_data() {
        QTest::addColumn<QString>("klicks");
        QTest::addColumn<QStringList>("sichtbar");
        QTest::newRow("a fifth up changes nothing")
            << "+++++" << QStringList{"A", "B", "C", "D", "E"};
        QTest::newRow("down stops at the current set") << "+++3-" << QStringList{"A", "B", "C"};
        QTest::newRow("down while set 2 is current") << "++2-" << QStringList{"A", "B"};
        QTest::newRow("down with set 1 current stops at 1") << "+--" << QStringList{"A"};
    }
    void satzanzahl() {
        QFETCH(QString, klicks);
        QFETCH(QStringList, sichtbar);
        for (QChar k : klicks) {
            const PicturePtr vorher = bild_ergebnis;
            klick(k.isDigit() ? static_cast<QAbstractButton*>(&w().RBsatz(k.digitValue()))
                  : k == '+'  ? w().UpDownArrows1->hoch()
                              : w().UpDownArrows1->runter());
            QVERIFY(k.isDigit() || bild_ergebnis != vorher);
        }
        QCOMPARE(sichtbare_saetze(), sichtbar);
        QCOMPARE(w().STsatzanz->text(), QString::number(sichtbar.size()));
    }

    // A set never selected before becomes a data series; every keystroke recomputes, shows and
    // redraws. Box values keep the computed values, editable; switching back recomputes them.
    void datenreihe_und_satzart() {
        satz_waehlen(2);
        QVERIFY(!eingabe_aktiv && w().BBsatzart(2).isChecked() && w().EFDaten->isEnabled());
        QCOMPARE(gezeigt(), QStringList(8, "0"));
        int anzahl = 0;
        for (const char* wert : {"1", "2", "3", "4", "5", "6", "7", "8", "9", "30"}) {
            const PicturePtr vorher = bild_ergebnis;
            QTest::keyClicks(w().EFDaten, wert);
            QVERIFY(bild_ergebnis != vorher);
            QCOMPARE(gezeigt()[7], QString::number(++anzahl));
            QCOMPARE(gezeigt()[4], QString(wert));
            QTest::keyClick(w().EFDaten, Qt::Key_Return);
        }
        QCOMPARE(daten_werteliste(2), std::string("1\r2\r3\r4\r5\r6\r7\r8\r9\r30\r"));
        QCOMPARE(gezeigt(), (QStringList{"1", "3", "5.5", "8", "30", "7.5", "29", "10"}));
        klick(&w().BBsatzart(1));
        QVERIFY(eingabe_aktiv && !w().EFDaten->isEnabled() && daten_satzart(2) == satzart_boxwerte);
        neu_tippen(&w().EFbasis(3), "7");
        QCOMPARE(gezeigt(), (QStringList{"1", "3", "7", "8", "30", "7.5", "29", "10"}));
        klick(&w().BBsatzart(2));
        klick(&w().BBsatzart(2)); // the kind in force is applied again
        QVERIFY(w().BBsatzart(2).isChecked() && !w().BBsatzart(1).isChecked());
        QCOMPARE(gezeigt()[2], QStringLiteral("5.5"));
    }

    // Box-value and scale fields read a decimal comma like the value lists do.
    void zahlenfelder() {
        const std::pair<const char*, double> faelle[] = {
            {"abc", 0.0}, {"12abc", 12.0}, {"55,5", 55.5}, {"55.5", 55.5}};
        for (const auto& [getippt, gespeichert] : faelle) {
            neu_tippen(&w().EFbasis(3), getippt);
            neu_tippen(w().EFskalamark, getippt);
            QCOMPARE(daten_basiswert(1, median), gespeichert);
            QCOMPARE(skala_mark, gespeichert);
            QCOMPARE(w().EFbasis(3).text(), QString(getippt)); // the field keeps what was typed
        }
    }

    // Numbers too long for their control: a display shortens them visibly, to the same order of
    // magnitude, and shows them whole as its tooltip; a field filled by the program shows their
    // start. Fields take any length.
    void lange_zahlen() {
        satz_waehlen(2);
        werte_tippen({"1234,56789", "98765,4321", "-0,000123456"});
        const QStringList lang{"-0.000123456", "-0.000123456", "1234.56789", "98765.4321"};
        for (int i = 1; i <= 4; ++i) {
            const NumberText& anzeige = w().STbasis(i);
            QString kurz = anzeige.shown();
            QVERIFY2(kurz.contains(QChar(0x2026)), qPrintable(kurz));
            QVERIFY(anzeige.fontMetrics().horizontalAdvance(kurz) <=
                    anzeige.contentsRect().width());
            const double ungefaehr = Val(kurz.remove(QChar(0x2026)).toStdString());
            const double genau = Val(lang[i - 1].toStdString());
            QCOMPARE(std::floor(std::log10(std::abs(ungefaehr))),
                     std::floor(std::log10(std::abs(genau))));
            QCOMPARE(anzeige.text() + anzeige.toolTip(), lang[i - 1] + lang[i - 1]);
        }
        QCOMPARE(w().STbasis(8).toolTip(), QString()); // "3" fits
        klick(&w().BBsatzart(1));
        for (int i = 1; i <= 5; ++i)
            QCOMPARE(w().EFbasis(i).cursorPosition(), 0);
        w().EFbasis(5).selectAll();
        einfuegen(&w().EFbasis(5), QString(40000, '7'));
        QCOMPARE(w().EFbasis(5).text().size(), 40000);
    }

    // Each option sets its own flag and redraws, whatever automatic drawing says; switching the
    // outliers on recomputes every series in use, without refreshing the shown values.
    void optionen_data() {
        QTest::addColumn<QString>("box");
        for (const char* box : {"CBshowall", "CBereitert", "CBmittelwert", "CBwerteanzeigen"})
            QTest::newRow(box) << box;
    }
    void optionen() {
        QFETCH(QString, box);
        satz_waehlen(2);
        werte_tippen({"1", "2", "3", "40"});
        daten_werteliste(2) = "5\r6";
        auto_zeichnen = false;
        const auto flaggen = [] {
            return QList<bool>{daten_alle_saetze_zeichnen, boxplot_erweitert, mittelwert_anzeigen,
                               box_werte_anzeigen};
        };
        const int welche =
            QStringList{"CBshowall", "CBereitert", "CBmittelwert", "CBwerteanzeigen"}.indexOf(box);
        for (bool erwartet : {false, true}) {
            QList<bool> soll = flaggen();
            soll[welche] = erwartet;
            const PicturePtr vorher = bild_ergebnis;
            klick(w().findChild<QCheckBox*>(box));
            QCOMPARE(flaggen(), soll);
            QVERIFY(bild_ergebnis != vorher);
        }
        QCOMPARE(daten_basiswert(2, anzahl), box == "CBereitert" ? 2.0 : 4.0);
        QCOMPARE(w().STbasis(8).text(), QStringLiteral("4"));
    }

    // Pasted lines end in CR LF, LF or CR; Shift+Return ends a line too, a no-break space is a
    // blank. Keys and paste in the field of the other kind are dropped.
    void eingaben() {
        satz_waehlen(2);
        for (const char* eingefuegt : {"1,5\r\n2\r\n3\r\n", "1,5\n2\n3\n", "1,5\r2\r3\r"}) {
            w().EFDaten->selectAll();
            einfuegen(w().EFDaten, eingefuegt);
            QCOMPARE(daten_werteliste(2), std::string("1,5\r2\r3\r"));
        }
        QTest::keyClicks(w().EFDaten, QString(QChar::Nbsp) + "4");
        QTest::keyClick(w().EFDaten, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClicks(w().EFDaten, "5");
        QCOMPARE(daten_werteliste(2), std::string("1,5\r2\r3\r 4\r5"));
        QTest::keyClicks(&w().EFbasis(3), "77");
        einfuegen(&w().EFbasis(3), "12");
        QCOMPARE(w().EFbasis(3).text(), QStringLiteral("3"));
        QCOMPARE(daten_basiswert(2, median), 3.0);
    }

    // Every resize recomposes the chart at the canvas's size, the canvas keeping its margins; a
    // closed chart window opens again with the next redraw; closing the data window ends the
    // event loop even while the chart window is open.
    void fenster() {
        for (auto [fenster, bild] :
             {std::pair{QSize(640, 480), QSize(600, 446)}, {QSize(10, 10), QSize(110, 166)}}) {
            WinBoxplot::offen()->resize(fenster);
            QCOMPARE(WinBoxplot::offen()->CAbox->geometry(), QRect(QPoint(20, 14), bild));
            QCOMPARE(bild_ergebnis->image().deviceIndependentSize().toSize(), bild);
            QCOMPARE(WinBoxplot::offen()->CAbox->Backdrop(), bild_ergebnis);
        }
        QPointer<WinBoxplot> diagramm = WinBoxplot::offen();
        diagramm->close();
        QTRY_VERIFY(diagramm.isNull());
        neu_tippen(&w().EFbasis(5), "90");
        QVERIFY(WinBoxplot::offen() && WinBoxplot::offen()->isVisible());
        QCOMPARE(WinBoxplot::offen()->CAbox->Backdrop(), bild_ergebnis);
        QTimer::singleShot(0, [] { WinDaten::offen()->close(); });
        QCOMPARE(QApplication::exec(), 0);
    }

    // The about window shows the version and, for a beta, the red mark; it stays until clicked.
    void splash_data() {
        QTest::addColumn<int>("stufe");
        QTest::addColumn<QString>("version");
        QTest::newRow("development") << 0 << "1.2.0 dev 5";
        QTest::newRow("alpha") << 1 << "1.2.0 a 5";
        QTest::newRow("beta") << 2 << "1.2.0 b 5";
        QTest::newRow("final") << 3 << "1.2.0 (5)";
        QTest::newRow("unknown stage") << 7 << "1.2.0";
    }
    void splash() {
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
            geprueft = true;
            QTest::mouseClick(s, Qt::LeftButton, {}, QPoint(5, 5));
        });
        WIsplash::instance()->Update(false);
        QVERIFY(geprueft);
        QTRY_VERIFY(!WIsplash::offen());
    }
};

int main(int argc, char* argv[]) {
    TestAnwendung anwendung(argc, argv);
    TstWindows test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_windows.moc"
