// A monkey at the real data window: many random user actions from a seeded generator, and
// after each one the invariants of the module state, the controls and the chart.
//
// VELMORA_MONKEY_SEED replays a run; VELMORA_MONKEY_ACTIONS sets its length (tools/monkey.sh
// runs a long one).
#include "support/startwerte.h"
#include "windows/win_boxplot.h"
#include "windows/win_daten.h"

#include <random>

namespace {

WinDaten& w() {
    return *WinDaten::offen();
}

class Affe {
public:
    explicit Affe(quint64 saat) : zufall_(saat) {}

    // Does one random action and says what it was.
    QString handeln() {
        switch (zahl(0, 7)) {
        case 0:
        case 1:
            return tippen();
        case 2:
            return einfuegen();
        case 3:
            return klicken();
        default:
            return diagrammfenster();
        }
    }

private:
    int zahl(int von, int bis) { return std::uniform_int_distribution<int>(von, bis)(zufall_); }
    template <typename T> T* eines(const QList<T*>& liste) {
        return liste[zahl(0, int(liste.size()) - 1)];
    }

    // A field a user can type into now: visible and enabled.
    QWidget* eingabefeld() {
        QList<QWidget*> felder{w().EFskalamax, w().EFskalamin, w().EFskalamark, w().EFDaten};
        for (int i = 1; i <= 8; ++i)
            felder << &w().EFbasis(i);
        felder.removeIf([](QWidget* f) { return !f->isVisible() || !f->isEnabled(); });
        return eines(felder);
    }

    // Digits, signs, separators, letters, umlauts, line ends, Backspace and Delete.
    QString tippen() {
        static const QString vorrat = QStringLiteral("0123456789,.-+eE xä€;\t\n\b\x7f");
        QWidget* feld = eingabefeld();
        QString text;
        for (int i = zahl(1, 8); i > 0; --i)
            text += vorrat[zahl(0, int(vorrat.size()) - 1)];
        for (QChar c : text) {
            const std::map<QChar, Qt::Key> tasten{
                {'\n', Qt::Key_Return}, {'\b', Qt::Key_Backspace}, {'\x7f', Qt::Key_Delete}};
            if (tasten.count(c))
                QTest::keyClick(feld, tasten.at(c));
            else // QTest types ASCII only; other characters arrive as a key with its text
                QTest::sendKeyEvent(QTest::Click, feld, Qt::Key_unknown, QString(c), {});
        }
        return "typed \"" + text + "\" into " + feld->objectName();
    }

    // A pasted column: numbers, now and then empty lines, huge values or garbage, with the
    // line ends of one or another platform; once in a while thousands of lines.
    QString einfuegen() {
        const char* ende = std::array{"\r\n", "\n", "\r"}[std::size_t(zahl(0, 2))];
        std::normal_distribution<double> normal(0, zahl(0, 1) ? 10 : 1e6);
        QString text;
        for (int i = zahl(0, 20) == 0 ? zahl(5000, 20000) : zahl(0, 300); i > 0; --i) {
            const int art = zahl(0, 12);
            text += art == 0   ? "x1,2;"
                    : art == 1 ? "-1,7e308"
                    : art == 2
                        ? ""
                        : QString::number(normal(zufall_), 'f', zahl(0, 4)).replace('.', ',');
            text += QLatin1String(ende);
        }
        QWidget* feld = eingabefeld();
        QApplication::clipboard()->setText(text);
        QTest::keyClick(feld, Qt::Key_V, Qt::ControlModifier);
        return QString("pasted %1 characters into %2").arg(text.size()).arg(feld->objectName());
    }

    QString klicken() {
        QList<QAbstractButton*> knoepfe{w().UpDownArrows1->hoch(),
                                        w().UpDownArrows1->runter(),
                                        &w().BBsatzart(1),
                                        &w().BBsatzart(2),
                                        w().CBshowall,
                                        w().CBereitert,
                                        w().CBmittelwert,
                                        w().CBwerteanzeigen};
        for (int i = 1; i <= 5; ++i)
            if (w().RBsatz(i).isVisible())
                knoepfe << &w().RBsatz(i);
        QAbstractButton* knopf = eines(knoepfe);
        QTest::mouseClick(knopf, Qt::LeftButton, {}, knopf->rect().center());
        return "clicked " + knopf->objectName() + " " + knopf->text();
    }

    QString diagrammfenster() {
        WinBoxplot* diagramm = WinBoxplot::offen();
        if (diagramm && zahl(0, 9) == 0) {
            diagramm->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return "chart window closed";
        }
        if (!diagramm)
            return "no chart window";
        diagramm->resize(zahl(0, 2000), zahl(0, 1500));
        return QString("chart window resized to %1 x %2")
            .arg(diagramm->width())
            .arg(diagramm->height());
    }

    std::mt19937_64 zufall_;
};

// What must hold after every action; gives the first thing that does not.
QString verletzt() {
    if (!(1 <= daten_akt_satz && daten_akt_satz <= daten_max_satz_anzahl &&
          daten_max_satz_anzahl <= 5))
        return "1 <= current set <= count <= 5";
    if ((daten_satzart(daten_akt_satz) == satzart_boxwerte) != eingabe_aktiv)
        return "current kind is 1 exactly when entry is active";
    for (int i = 1; i <= 8; ++i) {
        const bool feld = w().EFbasis(i).isVisible();
        if (feld == w().STbasis(i).isVisible() || (i > 6 && feld))
            return QString("row %1: exactly one of field and display visible").arg(i);
        const QString gezeigt = feld ? w().EFbasis(i).text() : w().STbasis(i).text();
        if (Str(ValKomma(gezeigt.toStdString())) != Str(daten_basiswert(daten_akt_satz, i)))
            return QString("row %1 shows \"%2\", not what is stored").arg(i).arg(gezeigt);
    }
    for (int32_t satz = 1; satz <= 5; ++satz)
        for (int32_t spalte = 1; spalte <= 8; ++spalte)
            if (!std::isfinite(daten_basiswert(satz, spalte)))
                return QString("set %1, column %2 is not finite").arg(satz).arg(spalte);
    if (!std::isfinite(startwert) || !std::isfinite(endwert) || !std::isfinite(skala_mark))
        return "scale not finite";
    if (bild_ergebnis->width() != breite_bild || bild_ergebnis->height() != hoehe_bild)
        return "chart picture is breite_bild x hoehe_bild";
    return {};
}

} // namespace

class TstMonkey : public QObject {
    Q_OBJECT
private slots:
    void zufaellige_bedienung() {
        const quint64 saat = qEnvironmentVariableIsSet("VELMORA_MONKEY_SEED")
                                 ? qEnvironmentVariable("VELMORA_MONKEY_SEED").toULongLong()
                                 : quint64(std::random_device{}());
        const int gewuenscht = qEnvironmentVariableIntValue("VELMORA_MONKEY_ACTIONS");
        const int aktionen = gewuenscht > 0 ? gewuenscht : 1500;
        qInfo("monkey: seed %llu, %d actions (replay with VELMORA_MONKEY_SEED=%llu)", saat,
              aktionen, saat);
        ladewerte_setzen();
        Pref_SplashAtStart = 0;
        WinDaten::instance();
        Affe affe(saat);
        for (int schritt = 1; schritt <= aktionen; ++schritt) {
            const QString aktion = affe.handeln();
            if (const QString fehler = verletzt(); !fehler.isEmpty())
                QFAIL(qPrintable(QString("seed %1, action %2 (%3): %4")
                                     .arg(saat)
                                     .arg(schritt)
                                     .arg(aktion, fehler)));
        }
        delete WinDaten::offen();
        delete WinBoxplot::offen();
    }
};

QTEST_MAIN(TstMonkey)
#include "tst_monkey.moc"
