// A monkey at the real data window: many random user actions from a seeded generator, and
// after each one the invariants of the module state, the controls and the chart.
//
// VELMORA_MONKEY_SEED replays a run; VELMORA_MONKEY_ACTIONS sets its length (tools/monkey.sh
// runs a long one).
#include "chart/pictures.h"
#include "model/proc.h"
#include "model/text.h"
#include "windows/win_boxplot.h"
#include "windows/win_daten.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>

#include <cmath>
#include <random>

using namespace Proc;

namespace {

WinDaten& w() {
    return *WinDaten::offen();
}

bool gleich_auf_15_stellen(double a, double b) {
    return a == b || QString::number(a, 'e', 14) == QString::number(b, 'e', 14);
}

class Affe {
public:
    explicit Affe(quint64 saat) : zufall_(saat) {}

    // Does one random action and says what it was.
    QString handeln() {
        switch (zahl(0, 11)) {
        case 0:
        case 1:
        case 2:
            return tippen();
        case 3:
            return einfuegen();
        case 4:
            return satz_waehlen();
        case 5:
            return pfeil();
        case 6:
            return satzart();
        case 7:
            return option();
        case 8:
            return diagramm_groesse();
        case 9:
            return zahl(0, 9) == 0 ? diagramm_schliessen() : fokus();
        default:
            return tippen();
        }
    }

private:
    int zahl(int von, int bis) { return std::uniform_int_distribution<int>(von, bis)(zufall_); }
    template <typename T> T* eines(const QList<T*>& liste) {
        return liste.isEmpty() ? nullptr : liste[zahl(0, int(liste.size()) - 1)];
    }
    static void klick(QAbstractButton* knopf) {
        QTest::mouseClick(knopf, Qt::LeftButton, {}, knopf->rect().center());
    }

    // The fields a user can type into now: visible and enabled.
    QList<QWidget*> eingabefelder() {
        QList<QWidget*> felder;
        for (int i = 1; i <= 8; ++i)
            felder << &w().EFbasis(i);
        felder << w().EFskalamax << w().EFskalamin << w().EFskalamark << w().EFDaten;
        felder.removeIf([](QWidget* f) { return !f->isVisible() || !f->isEnabled(); });
        return felder;
    }

    QString zeichen() {
        static const QString vorrat = QStringLiteral("0123456789,.-+eE xyzäß€;\t");
        QString text;
        for (int i = zahl(1, 8); i > 0; --i)
            text += vorrat[zahl(0, int(vorrat.size()) - 1)];
        return text;
    }

    QString tippen() {
        QWidget* feld = eines(eingabefelder());
        if (!feld)
            return "nothing to type into";
        const int art = zahl(0, 9);
        if (art == 0) {
            static const Qt::Key tasten[] = {Qt::Key_Return,   Qt::Key_Backspace, Qt::Key_Delete,
                                             Qt::Key_Left,     Qt::Key_Home,      Qt::Key_End,
                                             Qt::Key_PageDown, Qt::Key_Up};
            const Qt::Key taste = tasten[zahl(0, 7)];
            QTest::keyClick(feld, taste, zahl(0, 3) ? Qt::NoModifier : Qt::ShiftModifier);
            return "key " + QString::number(taste) + " in " + feld->objectName();
        }
        if (art == 1) {
            QTest::keyClick(feld, zahl(0, 1) ? Qt::Key_A : Qt::Key_Z, Qt::ControlModifier);
            return "select all or undo in " + feld->objectName();
        }
        const QString text = zeichen();
        for (QChar c : text) {
            // QTest types ASCII only; other characters arrive as a key with its text.
            if (c.unicode() < 128)
                QTest::keyClick(feld, c.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, feld, Qt::Key_unknown, QString(c), {});
        }
        return "typed \"" + text + "\" into " + feld->objectName();
    }

    QString zeilen() {
        static const char* const enden[] = {"\r\n", "\n", "\r"};
        const char* ende = enden[zahl(0, 2)];
        const int anzahl = zahl(0, 20) == 0 ? zahl(5000, 20000) : zahl(0, 300);
        std::normal_distribution<double> normal(0, zahl(0, 1) ? 10 : 1e6);
        QString text;
        for (int i = 0; i < anzahl; ++i) {
            switch (zahl(0, 12)) {
            case 0:
                text += zeichen();
                break;
            case 1:
                text += zahl(0, 1) ? "1e308" : "-1,7e308";
                break;
            case 2:
                break; // an empty line
            default:
                text += QString::number(normal(zufall_), 'f', zahl(0, 4)).replace('.', ',');
            }
            text += QLatin1String(ende);
        }
        return text;
    }

    QString einfuegen() {
        QWidget* feld = eines(eingabefelder());
        if (!feld)
            return "nothing to paste into";
        const QString text = zeilen();
        QApplication::clipboard()->setText(text);
        QTest::keyClick(feld, Qt::Key_V, Qt::ControlModifier);
        return QString("pasted %1 characters into %2").arg(text.size()).arg(feld->objectName());
    }

    QString satz_waehlen() {
        QList<QAbstractButton*> knoepfe;
        for (int i = 1; i <= 5; ++i)
            if (w().RBsatz(i).isVisible())
                knoepfe << &w().RBsatz(i);
        QAbstractButton* knopf = eines(knoepfe);
        klick(knopf);
        return "selected set " + knopf->text();
    }

    QString pfeil() {
        const bool hoch = zahl(0, 1);
        klick(hoch ? w().UpDownArrows1->hoch() : w().UpDownArrows1->runter());
        return hoch ? "count up" : "count down";
    }

    QString satzart() {
        const int i = zahl(1, 2);
        klick(&w().BBsatzart(i));
        return "kind button " + QString::number(i);
    }

    QString option() {
        QCheckBox* box = eines(QList<QCheckBox*>{w().CBshowall, w().CBereitert, w().CBmittelwert,
                                                 w().CBwerteanzeigen});
        klick(box);
        return "option " + box->objectName();
    }

    QString diagramm_groesse() {
        WinBoxplot* diagramm = WinBoxplot::offen();
        if (!diagramm)
            return "no chart window to resize";
        const QSize groesse(zahl(0, 2000), zahl(0, 1500));
        diagramm->resize(groesse);
        return QString("chart window resized to %1 x %2")
            .arg(groesse.width())
            .arg(groesse.height());
    }

    QString diagramm_schliessen() {
        if (WinBoxplot* diagramm = WinBoxplot::offen())
            diagramm->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return "chart window closed";
    }

    QString fokus() {
        QWidget* feld = eines(eingabefelder());
        if (!feld)
            return "no field for the focus";
        feld->setFocus();
        QApplication::processEvents();
        return "focus to " + feld->objectName();
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
        const bool anzeige = w().STbasis(i).isVisible();
        if (feld == anzeige || (i > 6 && feld))
            return QString("row %1: exactly one of field and display visible").arg(i);
        const QString gezeigt = feld ? w().EFbasis(i).text() : w().STbasis(i).text();
        if (!gleich_auf_15_stellen(Val(gezeigt.toStdString()), daten_basiswert(daten_akt_satz, i)))
            return QString("row %1 shows \"%2\", stored %3")
                .arg(i)
                .arg(gezeigt)
                .arg(daten_basiswert(daten_akt_satz, i), 0, 'g', 17);
    }
    for (int32_t satz = 1; satz <= 5; ++satz)
        for (int32_t spalte = 1; spalte <= 8; ++spalte)
            if (!std::isfinite(daten_basiswert(satz, spalte)))
                return QString("set %1, column %2 is not finite").arg(satz).arg(spalte);
    if (!std::isfinite(startwert) || !std::isfinite(endwert) || !std::isfinite(skala_mark))
        return "scale not finite";
    if (breite_bild < 1 || hoehe_bild < 1 || !bild_ergebnis ||
        bild_ergebnis->image().size() != QSize(breite_bild, hoehe_bild))
        return "chart picture is breite_bild x hoehe_bild";
    return {};
}

} // namespace

class TstMonkey : public QObject {
    Q_OBJECT
private slots:
    void zufaellige_bedienung();
};

void TstMonkey::zufaellige_bedienung() {
    const quint64 saat = qEnvironmentVariableIsSet("VELMORA_MONKEY_SEED")
                             ? qEnvironmentVariable("VELMORA_MONKEY_SEED").toULongLong()
                             : quint64(std::random_device{}());
    const int aktionen = qEnvironmentVariableIntValue("VELMORA_MONKEY_ACTIONS") > 0
                             ? qEnvironmentVariableIntValue("VELMORA_MONKEY_ACTIONS")
                             : 1500;
    qInfo("monkey: seed %llu, %d actions (replay with VELMORA_MONKEY_SEED=%llu)", saat, aktionen,
          saat);

    ladewerte_setzen();
    Pref_SplashAtStart = 0;
    WinDaten::instance();
    Affe affe(saat);
    for (int schritt = 1; schritt <= aktionen; ++schritt) {
        const QString aktion = affe.handeln();
        const QString fehler = verletzt();
        if (!fehler.isEmpty())
            QFAIL(qPrintable(
                QString("seed %1, action %2 (%3): %4").arg(saat).arg(schritt).arg(aktion, fehler)));
    }
    delete WinDaten::offen();
    delete WinBoxplot::offen();
}

QTEST_MAIN(TstMonkey)
#include "tst_monkey.moc"
