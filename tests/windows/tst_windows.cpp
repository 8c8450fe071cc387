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

// The names of the sets shown, the eight rows as shown (the entry fields in kind 1, else the
// displays; "?" where not exactly one of them is visible) and the scale fields.
QString stand() {
    QStringList teile;
    for (int i = 1; i <= 5; ++i)
        teile << (w().RBsatz(i).isVisibleTo(&w()) ? w().RBsatz(i).text() : "");
    for (int i = 1; i <= 8; ++i) {
        const bool feld = w().EFbasis(i).isVisibleTo(&w());
        const bool eines = feld != w().STbasis(i).isVisibleTo(&w()) && !(i > 6 && feld);
        teile << (!eines ? "?" : feld ? w().EFbasis(i).text() : w().STbasis(i).text());
    }
    return teile.join(' ').simplified() + " | " + w().EFskalamax->text() + " " +
           w().EFskalamin->text() + " " + w().EFskalamark->text();
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
        QCOMPARE(stand(), QStringLiteral("A 10 30 50 60 85 40 0 0 | 100 0 10"));
        QVERIFY(w().RBsatz(1).isChecked() && w().BBsatzart(1).isChecked() &&
                !w().BBsatzart(2).isChecked() && !w().EFDaten->isEnabled());
        QCOMPARE(w().STsatzanz->text(), QStringLiteral("1"));
        for (QAbstractButton* box : w().findChildren<QCheckBox*>())
            QCOMPARE(box->isChecked(), box->isVisible()); // the hidden one stays off
        for (QWidget* verborgen :
             std::initializer_list<QWidget*>{w().PBberechnen, w().PushButton1, w().StaticText15})
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
    void satzanzahl() {
        const std::pair<QString, QString> faelle[] = {
            {"+++++", "A B C D E 5"}, {"+++3-", "A B C 3"}, {"++2-", "A B 2"}, {"+--", "A 1"}};
        for (const auto& [klicks, sichtbar] : faelle) {
            cleanup(), init();
            for (QChar k : klicks) {
                const PicturePtr vorher = bild_ergebnis;
                if (k.isDigit())
                    klick(&w().RBsatz(k.digitValue()));
                else
                    klick(k == '+' ? w().UpDownArrows1->hoch() : w().UpDownArrows1->runter());
                QVERIFY(k.isDigit() || bild_ergebnis != vorher);
            }
            QCOMPARE(stand().section(' ', 0, daten_max_satz_anzahl - 1) + " " +
                         w().STsatzanz->text(),
                     sichtbar);
        }
    }

    // A set never selected before becomes a data series; every keystroke recomputes, shows and
    // redraws. Box values keep the computed values, editable; switching back recomputes them.
    // Keys and paste in a field of the other kind are dropped.
    void datenreihe_und_satzart() {
        satz_waehlen(2);
        QCOMPARE(stand(), QStringLiteral("A B 0 0 0 0 0 0 0 0 | 100 0 10"));
        for (const char* wert : {"1", "2", "3", "4", "5", "6", "7", "8", "9", "30"}) {
            const PicturePtr vorher = bild_ergebnis;
            QTest::keyClicks(w().EFDaten, wert);
            QVERIFY(bild_ergebnis != vorher && w().STbasis(5).text() == wert);
            QTest::keyClick(w().EFDaten, Qt::Key_Return);
        }
        QCOMPARE(daten_werteliste(2), std::string("1\r2\r3\r4\r5\r6\r7\r8\r9\r30\r"));
        QCOMPARE(stand(), QStringLiteral("A B 1 3 5.5 8 30 7.5 29 10 | 100 0 10"));
        QTest::keyClicks(&w().EFbasis(3), "77");
        einfuegen(&w().EFbasis(3), "12");
        QCOMPARE(daten_basiswert(2, median), 5.5);
        klick(&w().BBsatzart(1));
        QVERIFY(eingabe_aktiv && !w().EFDaten->isEnabled() && daten_satzart(2) == satzart_boxwerte);
        QTest::keyClicks(w().EFDaten, "77");
        neu_tippen(&w().EFbasis(3), "7");
        QCOMPARE(stand(), QStringLiteral("A B 1 3 7 8 30 7.5 29 10 | 100 0 10"));
        klick(&w().BBsatzart(2));
        klick(&w().BBsatzart(2)); // the kind in force is applied again
        QVERIFY(w().BBsatzart(2).isChecked() && !w().BBsatzart(1).isChecked() &&
                !w().EFDaten->toPlainText().contains("77"));
        QCOMPARE(stand(), QStringLiteral("A B 1 3 5.5 8 30 7.5 29 10 | 100 0 10"));
    }

    // Box-value and scale fields read a decimal comma like the value lists do; pasted lines end
    // in CR LF, LF or CR, and Shift+Return ends a line too.
    void zahlen_und_zeilen() {
        for (const char* getippt : {"abc", "12abc", "55.5", "55,5"}) {
            neu_tippen(&w().EFbasis(3), getippt);
            neu_tippen(w().EFskalamark, getippt);
            QCOMPARE(QList<double>({daten_basiswert(1, median), skala_mark}),
                     QList<double>(2, ValKomma(getippt)));
        }
        QCOMPARE(w().EFbasis(3).text(), QStringLiteral("55,5")); // the field keeps what was typed
        satz_waehlen(2);
        for (const char* eingefuegt : {"1,5\r\n2\r\n3\r\n", "1,5\n2\n3\n", "1,5\r2\r3\r"}) {
            w().EFDaten->selectAll();
            einfuegen(w().EFDaten, eingefuegt);
            QCOMPARE(daten_werteliste(2), std::string("1,5\r2\r3\r"));
        }
        QTest::keyClicks(w().EFDaten, QString(QChar::Nbsp) + "4");
        QTest::keyClick(w().EFDaten, Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(daten_werteliste(2), std::string("1,5\r2\r3\r 4\r"));
    }

    // Numbers too long for their control: a display shortens them visibly, to the same order of
    // magnitude, and shows them whole as its tooltip; a field filled by the program shows their
    // start. Fields take any length.
    void lange_zahlen() {
        satz_waehlen(2);
        einfuegen(w().EFDaten, "1234,56789\n98765,4321\n-0,000123456");
        for (int i = 1; i <= 4; ++i) {
            const NumberText& anzeige = w().STbasis(i);
            QString kurz = anzeige.shown();
            QVERIFY2(kurz.contains(QChar(0x2026)), qPrintable(kurz));
            QVERIFY(anzeige.fontMetrics().horizontalAdvance(kurz) <=
                    anzeige.contentsRect().width());
            const double ungefaehr = Val(kurz.remove(QChar(0x2026)).toStdString());
            const double genau = daten_basiswert(2, i);
            QCOMPARE(std::floor(std::log10(std::abs(ungefaehr))),
                     std::floor(std::log10(std::abs(genau))));
            QCOMPARE(anzeige.toolTip(), QString::fromStdString(Str(genau)));
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
    void optionen() {
        const QStringList namen{"CBshowall", "CBereitert", "CBmittelwert", "CBwerteanzeigen"};
        const auto flaggen = [] {
            return QList<bool>{daten_alle_saetze_zeichnen, boxplot_erweitert, mittelwert_anzeigen,
                               box_werte_anzeigen};
        };
        satz_waehlen(2);
        einfuegen(w().EFDaten, "1\n2\n3\n40");
        for (int welche = 0; welche < 4; ++welche) {
            daten_werteliste(2) = "5\r6";
            auto_zeichnen = false;
            for (bool erwartet : {false, true}) {
                QList<bool> soll = flaggen();
                soll[welche] = erwartet;
                const PicturePtr vorher = bild_ergebnis;
                klick(w().findChild<QCheckBox*>(namen[welche]));
                QCOMPARE(flaggen(), soll);
                QVERIFY(bild_ergebnis != vorher);
            }
            QCOMPARE(daten_basiswert(2, anzahl), welche == 1 ? 2.0 : 4.0);
            QCOMPARE(w().STbasis(8).text(), QStringLiteral("4"));
            daten_werteliste(2) = "1\r2\r3\r40";
            Werte_aus_daten_berechnen(2);
        }
    }

    // Every resize recomposes the chart at the canvas's size, the canvas keeping its margins; a
    // closed chart window opens again with the next redraw; closing the data window ends the
    // event loop even while the chart window is open.
    void fenster() {
        for (auto [fenster, bild] :
             {std::pair{QSize(640, 480), QSize(600, 446)}, {QSize(10, 10), QSize(110, 166)}}) {
            WinBoxplot::offen()->resize(fenster);
            QCOMPARE(WinBoxplot::offen()->CAbox->geometry(), QRect(QPoint(20, 14), bild));
            QCOMPARE(QSize(bild_ergebnis->width(), bild_ergebnis->height()), bild);
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
    void splash() {
        const std::pair<int, QString> faelle[] = {
            {0, "1.2.0 dev 5"}, {1, "1.2.0 a 5"}, {2, "1.2.0 b 5"}, {7, "1.2.0"}, {3, "1.2.0 (5)"}};
        for (const auto& [stufe, version] : faelle) {
            static_cast<TestAnwendung*>(qApp)->teile.StageCode = stufe;
            QStringList gesehen;
            // Once the splash's two seconds would have passed, the about window is still open.
            im_modalen_fenster(stufe == 3 ? 2200 : 0, [&](QWidget* fenster) {
                auto* s = qobject_cast<WIsplash*>(fenster);
                gesehen << s->STappver->text() << QString::number(s->STbeta->isVisible())
                        << s->STbeta->palette().color(QPalette::WindowText).name();
                QTest::mouseClick(s, Qt::LeftButton, {}, QPoint(5, 5));
            });
            WIsplash::instance()->Update(false);
            QCOMPARE(gesehen, (QStringList{version, QString::number(stufe == 2), "#ff0000"}));
        }
    }
};

int main(int argc, char* argv[]) {
    TestAnwendung anwendung(argc, argv);
    TstWindows test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_windows.moc"
