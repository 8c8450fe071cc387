// The data and chart windows driven as a user would. Golden pictures of the data window show
// its controls, captions and values in typical states; what a picture cannot show is checked
// on the controls, the module state and the chart. A monkey does random user actions and checks
// the invariants after each. Runs at device pixel ratio 1 and, with QT_SCALE_FACTOR=2, at 2.
//
// VELMORA_MONKEY_SEED replays a monkey run; VELMORA_MONKEY_ACTIONS sets its length
// (tools/monkey.sh runs a long one with a new seed).
#include "support/golden.h"
#include "support/startwerte.h"
#include "windows/win_boxplot.h"
#include "windows/win_daten.h"

#include <QPainter>

#include <functional>
#include <random>

namespace {

WinDaten& w() {
    return *WinDaten::offen();
}

void klick(QAbstractButton* knopf) {
    QTest::mouseClick(knopf, Qt::LeftButton, {}, knopf->rect().center());
}

void klicks(const QString& folge) { // + up, - down, a digit selects that set, b and r the kinds
    for (QChar k : folge)
        klick(k.isDigit() ? static_cast<QAbstractButton*>(&w().RBsatz(k.digitValue()))
              : k == '+'  ? w().UpDownArrows1->hoch()
              : k == '-'  ? w().UpDownArrows1->runter()
                          : &w().BBsatzart(k == 'b' ? 1 : 2));
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

// The data window and the chart beside it as shown, without a text cursor.
QImage fenster_bild() {
    if (QApplication::focusWidget())
        QApplication::focusWidget()->clearFocus();
    const QImage daten = w().grab().toImage();
    const QImage chart = WinBoxplot::offen()->CAbox->grab().toImage();
    QImage bild(daten.width() + chart.width(), std::max(daten.height(), chart.height()),
                QImage::Format_RGB32);
    bild.fill(Qt::darkGray);
    QPainter maler(&bild);
    maler.drawImage(0, 0, daten);
    maler.drawImage(daten.width(), 0, chart);
    return bild;
}

const QString lang = "1234,56789\n98765,4321\n-0,000123456";

// Set 2 in use, as a series with an outlier.
void zwei_reihen() {
    klicks("+2");
    einfuegen(w().EFDaten, "1\n2\n3\n40");
}

// What the user does before each golden picture.
const std::map<QString, std::function<void()>> szenen = {
    {"start", [] {}},
    // A new set as a series of long numbers, shortened visibly; the same as box values.
    {"reihe", [] { klicks("+2"), einfuegen(w().EFDaten, lang); }},
    {"boxwerte", [] { klicks("+2"), einfuegen(w().EFDaten, lang), klicks("b"); }},
    // Five sets in use, the fourth current; the count lowered to the current set.
    {"fuenf_saetze", [] { klicks("++++4+"); }},
    {"weniger", [] { klicks("+++3-2-"); }},
    // Decimal commas in a box value and the scale.
    {"komma", [] { neu_tippen(&w().EFbasis(3), "55,5"), neu_tippen(w().EFskalamark, "2,5"); }},
    // Pasted CR LF line ends, a no-break space, Shift+Return and Return.
    {"zeilenenden",
     [] {
         klicks("+2"), einfuegen(w().EFDaten, "1,5\r\n2\r\n3\r\n40\r\n");
         QTest::keyClicks(w().EFDaten, QString(QChar::Nbsp) + "4");
         QTest::keyClick(w().EFDaten, Qt::Key_Return, Qt::ShiftModifier);
         QTest::keyClicks(w().EFDaten, "5"), QTest::keyClick(w().EFDaten, Qt::Key_Return);
     }},
    // Keys and paste into the hidden box value of a series are dropped, and a key in the
    // disabled series of box values.
    {"andere_art",
     [] {
         zwei_reihen(), QTest::keyClicks(&w().EFbasis(3), "77"), einfuegen(&w().EFbasis(3), "12");
         klicks("b"), QTest::keyClicks(w().EFDaten, "77"), neu_tippen(&w().EFbasis(5), "7");
     }},
    // Switching back to the series recomputes what was typed, also when pressed twice.
    {"zurueck", [] { zwei_reihen(), klicks("b"), neu_tippen(&w().EFbasis(3), "7"), klicks("rr"); }},
    // The chart window made larger; closed, and opened again by the next change.
    {"gross", [] { WinBoxplot::offen()->resize(640, 480); }},
    {"wieder_offen", [] { WinBoxplot::offen()->close(), neu_tippen(&w().EFbasis(5), "90"); }},
    // Each option switched off in a chart of two series with an outlier.
    {"ohne_alle", [] { zwei_reihen(), klick(w().CBshowall); }},
    {"ohne_ausreisser", [] { zwei_reihen(), klick(w().CBereitert); }},
    {"ohne_mittelwert", [] { zwei_reihen(), klick(w().CBmittelwert); }},
    {"ohne_werte", [] { zwei_reihen(), klick(w().CBwerteanzeigen); }},
};

// A random user action: a click, typed characters or a pasted column on a button or field of
// the data window a user can reach now, or the chart window resized or closed. Typed are digits,
// signs, separators, letters, umlauts, Return, Backspace and Delete; pasted are numbers, now
// and then empty lines, huge values or garbage, with the line ends of one or another platform,
// once in a while thousands of lines.
QString zufaellige_aktion(std::mt19937_64& zufall) {
    const auto zahl = [&](int von, int bis) {
        return std::uniform_int_distribution<int>(von, bis)(zufall);
    };
    if (WinBoxplot* diagramm = WinBoxplot::offen(); diagramm && zahl(0, 7) == 0) {
        if (zahl(0, 9) == 0)
            diagramm->close();
        else
            diagramm->resize(zahl(0, 2000), zahl(0, 1500));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return "chart window resized or closed";
    }
    QList<QWidget*> ziele = w().findChildren<QWidget*>();
    ziele.removeIf([](QWidget* z) {
        return !z->isVisible() || !z->isEnabled() ||
               !(qobject_cast<QAbstractButton*>(z) || qobject_cast<QLineEdit*>(z) ||
                 qobject_cast<TextEditor*>(z));
    });
    QWidget* ziel = ziele[zahl(0, int(ziele.size()) - 1)];
    QString text;
    if (zahl(0, 2) == 0) {
        const char* ende = std::array{"\r\n", "\n", "\r"}[std::size_t(zahl(0, 2))];
        std::normal_distribution<double> normal(0, zahl(0, 1) ? 10 : 1e6);
        for (int i = zahl(0, 20) == 0 ? zahl(5000, 20000) : zahl(0, 300); i > 0; --i)
            text += std::array{QString("x1,2;"), QString("-1,7e308"), QString(),
                               QString::number(normal(zufall), 'f', zahl(0, 4))
                                   .replace('.', ',')}[std::size_t(std::min(zahl(0, 12), 3))] +
                    ende;
        einfuegen(ziel, text);
    } else if (zahl(0, 1) == 0) {
        static const QString vorrat = QStringLiteral("0123456789,.-+eE xä€;\t\n\b\x7f");
        const std::map<QChar, Qt::Key> tasten{
            {'\n', Qt::Key_Return}, {'\b', Qt::Key_Backspace}, {'\x7f', Qt::Key_Delete}};
        for (int i = zahl(1, 8); i > 0; --i) {
            const QChar c = vorrat[zahl(0, int(vorrat.size()) - 1)];
            text += c;
            QTest::sendKeyEvent(QTest::Click, ziel,
                                tasten.count(c) ? tasten.at(c) : Qt::Key_unknown,
                                tasten.count(c) ? QString() : QString(c), {});
        }
    } else {
        QTest::mouseClick(ziel, Qt::LeftButton, {}, ziel->rect().center());
    }
    return QString("\"%1\" (%2 characters) at %3")
        .arg(text.left(20))
        .arg(text.size())
        .arg(ziel->objectName());
}

// What must hold after every action; gives the first thing that does not.
QString verletzt() {
    if (!(1 <= daten_akt_satz && daten_akt_satz <= daten_max_satz_anzahl &&
          daten_max_satz_anzahl <= 5))
        return "1 <= current set <= count <= 5";
    if ((daten_satzart(daten_akt_satz) == satzart_boxwerte) != eingabe_aktiv ||
        w().BBsatzart(1).isChecked() != eingabe_aktiv ||
        w().EFDaten->isEnabled() == eingabe_aktiv ||
        w().EFDaten->Text() != daten_werteliste(daten_akt_satz))
        return "the kind buttons and the series field follow the current set";
    for (int i = 1; i <= 8; ++i) {
        const bool feld = w().EFbasis(i).isVisible();
        const QString gezeigt = feld ? w().EFbasis(i).text() : w().STbasis(i).text();
        if (feld == w().STbasis(i).isVisible() || (i > 6 && feld) ||
            Str(ValKomma(gezeigt.toStdString())) != Str(daten_basiswert(daten_akt_satz, i)))
            return QString("row %1 shows one value, what is stored: \"%2\"").arg(i).arg(gezeigt);
    }
    for (int32_t satz = 1; satz <= 5; ++satz)
        for (double wert : zustand.basiswert[std::size_t(satz)])
            if (!std::isfinite(wert))
                return QString("set %1 holds a value that is not finite").arg(satz);
    if (!std::isfinite(startwert) || !std::isfinite(endwert) || !std::isfinite(skala_mark) ||
        bild_ergebnis->width() != breite_bild || bild_ergebnis->height() != hoehe_bild)
        return "the scale is finite and the chart picture is breite_bild x hoehe_bild";
    return {};
}

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

    void goldene_bilder_data() {
        QTest::addColumn<QString>("szene");
        for (const auto& [name, handeln] : szenen)
            QTest::newRow(qPrintable(name)) << name;
    }
    // At ratio 2 the start-up and the box values are compared.
    void goldene_bilder() {
        QFETCH(QString, szene);
        szenen.at(szene)();
        const bool doppelt = w().devicePixelRatioF() != 1;
        if (!doppelt || szene == "start" || szene == "boxwerte")
            VERGLEICHE_GOLDEN("fenster_" + szene + (doppelt ? "_verhaeltnis_2" : ""),
                              fenster_bild(), 0);
        // The chart is made at the canvas's device pixel ratio and shown 1:1.
        Canvas* leinwand = WinBoxplot::offen()->CAbox;
        QCOMPARE(bild_ergebnis->devicePixelRatio(), leinwand->devicePixelRatioF());
        QCOMPARE(leinwand->grab().toImage().convertToFormat(QImage::Format_RGB32),
                 bild_ergebnis->image().convertToFormat(QImage::Format_RGB32));
    }

    // A display shows a long number whole as its tooltip (the golden pictures show it
    // shortened, and the fields showing its start); fields take any length.
    void lange_zahlen() {
        klicks("+2");
        einfuegen(w().EFDaten, lang);
        for (int i = 1; i <= 8; ++i)
            QCOMPARE(w().STbasis(i).toolTip(),
                     i == 8 ? QString() : QString::fromStdString(Str(daten_basiswert(2, i))));
        klicks("b");
        w().EFbasis(5).selectAll();
        einfuegen(&w().EFbasis(5), QString(40000, '7'));
        QCOMPARE(w().EFbasis(5).text().size(), 40000);
    }

    // Closing the data window ends the event loop even while the chart window is open.
    void schliessen() {
        QTimer::singleShot(0, [] { WinDaten::offen()->close(); });
        QCOMPARE(QApplication::exec(), 0);
    }

    void affe() {
        const quint64 saat =
            qEnvironmentVariable("VELMORA_MONKEY_SEED", QString::number(std::random_device{}()))
                .toULongLong();
        const int gewuenscht = qEnvironmentVariableIntValue("VELMORA_MONKEY_ACTIONS");
        const int aktionen = gewuenscht > 0 ? gewuenscht : 1500;
        qInfo("monkey: seed %llu, %d actions (replay with VELMORA_MONKEY_SEED=%llu)", saat,
              aktionen, saat);
        std::mt19937_64 zufall(saat);
        for (int schritt = 1; schritt <= aktionen; ++schritt) {
            const QString aktion = zufaellige_aktion(zufall);
            if (const QString fehler = verletzt(); !fehler.isEmpty())
                QFAIL(qPrintable(QString("seed %1, action %2 (%3): %4")
                                     .arg(saat)
                                     .arg(schritt)
                                     .arg(aktion, fehler)));
        }
    }
};

QTEST_MAIN(TstWindows)
#include "tst_windows.moc"
