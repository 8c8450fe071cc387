// The data and chart windows driven as a user would. Golden pictures of the data window show
// its controls, captions and values in typical states; what a picture cannot show is checked
// on the controls, the module state and the chart. A monkey does random user actions and checks
// the invariants after each. Runs at device pixel ratio 1 and, with QT_SCALE_FACTOR=2, at 2.
//
// VELMORA_MONKEY_SEED replays a monkey run; VELMORA_MONKEY_ACTIONS sets its length
// (tools/monkey.sh runs a long one with a new seed).
#include "chart/speichern.h"
#include "editor/editorchecks.h"
#include "support/golden.h"
#include "support/startwerte.h"
#include "windows/win_boxplot.h"
#include "windows/win_daten.h"

#include <QAccessible>
#include <QAccessibleEditableTextInterface>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QToolTip>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

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
              : k == '+'  ? w().UpDownArrows1->upButton()
              : k == '-'  ? w().UpDownArrows1->downButton()
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

bool fokus_zeigen = false; // the focus left where the scene put it, with its mark

// The data window and the chart beside it as shown, without a text cursor.
QImage fenster_bild() {
    if (QApplication::focusWidget() && !std::exchange(fokus_zeigen, false))
        QApplication::focusWidget()->clearFocus();
    // In device pixels: at ratio 2 the picture holds every pixel the screen shows.
    return nebeneinander({w().grab().toImage(), WinBoxplot::offen()->CAbox->grab().toImage()},
                         Qt::darkGray);
}

// Where line z of the value list starts, in its viewport, unscrolled.
QPoint zeilenanfang(int z) {
    const int hoehe = QFontMetrics(w().EFDaten->font()).lineSpacing();
    return {4, 4 + hoehe * z + hoehe / 2};
}

void ablegen(QWidget* ziel, QPoint wo, QMimeData* daten) { // a drop from another program
    QDragEnterEvent betreten(wo, Qt::CopyAction, daten, Qt::LeftButton, {});
    QDropEvent ablage(wo, Qt::CopyAction, daten, Qt::LeftButton, {});
    for (QEvent* e : std::initializer_list<QEvent*>{&betreten, &ablage})
        QApplication::sendEvent(ziel, e);
    delete daten;
}

// The start of each line in view shows, unless the sideways scroll bar shows the value list
// scrolled: a screen reader is told its first character stands at the left edge of the text.
QString anfaenge_verdeckt() {
    MultiLineEditField* feld = w().EFDaten;
    QAccessibleTextInterface& vorleser = reader(*feld);
    QCoreApplication::sendPostedEvents(feld, QEvent::MetaCall); // the scroll bars come and go
    if (feld->horizontalScrollBar()->isVisible() && feld->horizontalScrollBar()->value() > 0)
        return {};
    const QStringList zeilen = vorleser.text(0, vorleser.characterCount()).split('\n');
    const int oben = feld->verticalScrollBar()->value();
    const int links = feld->viewport()->mapToGlobal(QPoint(4, 0)).x();
    for (int z = 0, anfang = 0; z < zeilen.size(); anfang += int(zeilen[z++].size()) + 1)
        if (z >= oben && z < oben + feld->verticalScrollBar()->pageStep() && !zeilen[z].isEmpty() &&
            vorleser.characterRect(anfang).left() != links)
            return QString("the start of line %1 of the value list is out of sight").arg(z);
    return {};
}

QString meldung; // the text of the last message box closed by a test

// What the user does in the value list: characters typed, and in braces a key sequence or
// {ime:x} (committed by an input method), {datei:name} (a file dropped at the start of
// the first line), {menue:name} (context menu).
void bedienen(const QString& folge, const QDir& ordner = QDir()) {
    TextEditor* feld = w().EFDaten;
    QWidget* flaeche = feld->viewport();
    for (qsizetype i = 0; i < folge.size(); ++i) {
        if (folge[i] != '{') {
            QTest::keyClicks(feld, folge.mid(i, 1));
            continue;
        }
        const qsizetype ende = folge.indexOf('}', i);
        const QString befehl = folge.mid(i + 1, ende - i - 1), art = befehl.section(':', 0, 0);
        const QString was = befehl.section(':', 1);
        i = ende;
        if (art == "ime") {
            QInputMethodEvent e;
            e.setCommitString(was);
            QApplication::sendEvent(feld, &e);
        } else if (art == "datei") {
            auto* daten = new QMimeData;
            daten->setUrls({QUrl::fromLocalFile(ordner.filePath(was))});
            im_modalen_fenster(0, [](QWidget* fenster) { // a file that is not text brings one
                if (auto* box = qobject_cast<QMessageBox*>(fenster))
                    meldung = box->text(), box->close();
            });
            ablegen(flaeche, zeilenanfang(0), daten);
        } else if (art == "menue") {
            QContextMenuEvent e(QContextMenuEvent::Mouse, {5, 5},
                                flaeche->mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(flaeche, &e);
            auto* menue = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            for (QAction* a : menue->actions())
                if (a->text().startsWith(was))
                    a->trigger();
            menue->close();
        } else {
            QTest::keySequence(feld, QKeySequence(befehl));
        }
    }
}

const QString lang = "1234,56789\n98765,4321\n-0,000123456";
const QString riesig = "-1234567890123456\n1e-100\n-0.000000000000123\n123456789012\n-5e-300";

// Changes of names and descriptions told to assistive technology, as "object name" or
// "object description".
QStringList gemeldet;
QStringList angesagt; // the names of the objects given the focus, as a screen reader speaks them

// Keys for the widget with the focus: "\t" Tab, "~" Shift+Tab, "_" Space, "\n" Return, "#" F6,
// "<" ">" "^" "v" the arrows, "[" "]" Home and End; anything else is typed.
void tasten(const QString& folge) {
    const std::map<QChar, Qt::Key> besondere{
        {'\t', Qt::Key_Tab}, {'~', Qt::Key_Backtab}, {'_', Qt::Key_Space}, {'\n', Qt::Key_Return},
        {'#', Qt::Key_F6},   {'<', Qt::Key_Left},    {'>', Qt::Key_Right}, {'^', Qt::Key_Up},
        {'v', Qt::Key_Down}, {'[', Qt::Key_Home},    {']', Qt::Key_End}};
    for (QChar c : folge) {
        if (besondere.count(c))
            QTest::keyClick(QApplication::focusWidget(), besondere.at(c));
        else
            QTest::keyClicks(QApplication::focusWidget(), QString(c));
    }
}

// Set 2 in use, as a series with an outlier.
void zwei_reihen() {
    klicks("+2");
    einfuegen(w().EFDaten, "1\n2\n3\n40");
}

// What the user does before each golden picture.
const std::map<QString, std::function<void()>> szenen = {
    {"start", [] {}},
    // A new set as a series of long numbers, shortened visibly with their sign, first digit and
    // exponent whole; long numbers with decimal commas as box values.
    {"reihe", [] { klicks("+2"), einfuegen(w().EFDaten, riesig); }},
    {"boxwerte", [] { klicks("+2"), einfuegen(w().EFDaten, lang), klicks("b"); }},
    // Five sets in use, the fourth current; the count lowered to the current set.
    // The fourth holds 1000000, shown without "…" as nothing is left out.
    {"fuenf_saetze", [] { klicks("++++4+"), einfuegen(w().EFDaten, "1000000"); }},
    {"weniger", [] { klicks("+++3-2-"); }},
    // Decimal commas in a box value and the scale.
    {"komma", [] { neu_tippen(&w().EFbasis(3), "55,5"), neu_tippen(w().EFskalamark, "2,5"); }},
    // Keys and paste into the hidden box value of a series are dropped, and a key in the
    // disabled series of box values.
    {"andere_art",
     [] {
         zwei_reihen(), QTest::keyClicks(&w().EFbasis(3), "77"), einfuegen(&w().EFbasis(3), "12");
         klicks("b"), QTest::keyClicks(w().EFDaten, "77"), neu_tippen(&w().EFbasis(5), "7");
     }},
    // The value list with the focus: its mark, the caret and a selection of two lines.
    {"fokus",
     [] {
         zwei_reihen(), w().activateWindow(), fokus_zeigen = true;
         QVERIFY(QTest::qWaitForWindowActive(&w()));
         w().EFDaten->setFocus();
         QTest::keySequence(w().EFDaten, QKeySequence("Shift+Up")),
             QTest::keySequence(w().EFDaten, QKeySequence("Shift+Up"));
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
    // A pasted column with its header, an empty line, a number with a blank in it and one with
    // a typographic minus: the lines that are not one number are marked with what they read as.
    {"keine_zahlen",
     [] { klicks("+2"), einfuegen(w().EFDaten, "Punkte\n5\n\n1 000\n\u22123\n9\n"); }},
};

// A random user action: a click, typed characters or a pasted column on a button or field of
// the data window a user can reach now, a step through the chart's values by key, or the chart
// window resized or closed (the editor's own keys, input methods and drops are tests/editor's and
// its fuzzer's). Typed are digits, signs, separators, letters, umlauts, Return,
// Backspace and Delete; pasted are numbers, now and then empty lines, huge values or garbage,
// with the line ends of one or another platform, once in a while thousands of lines.
QString zufaellige_aktion(std::mt19937_64& zufall) {
    const auto zahl = [&](int von, int bis) {
        return std::uniform_int_distribution<int>(von, bis)(zufall);
    };
    if (WinBoxplot* diagramm = WinBoxplot::offen(); diagramm && zahl(0, 7) == 0) {
        const int wahl = zahl(0, 9);
        if (wahl < 3) {
            static const std::array tasten{Qt::Key_Left, Qt::Key_Right, Qt::Key_Up,
                                           Qt::Key_Down, Qt::Key_Home,  Qt::Key_End};
            QTest::keyClick(diagramm->CAbox, tasten[std::size_t(zahl(0, 5))]);
            return "a step through the chart's values";
        }
        if (wahl == 3)
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
            text += std::array{QString("x1,2;"), QString("-1,7976931348623157e308"), QString(),
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
    constexpr double groesste = std::numeric_limits<double>::max();
    if (!(1 <= daten_akt_satz && daten_akt_satz <= daten_max_satz_anzahl &&
          daten_max_satz_anzahl <= hoechste_satzanzahl))
        return "1 <= current set <= count <= 5";
    if ((daten_satzart(daten_akt_satz) == satzart_boxwerte) != eingabe_aktiv ||
        w().BBsatzart(1).isChecked() != eingabe_aktiv ||
        w().EFDaten->isEnabled() == eingabe_aktiv ||
        w().EFDaten->Text() != daten_werteliste(daten_akt_satz))
        return "the kind buttons and the series field follow the current set";
    const std::string& liste = w().EFDaten->Text();
    if (liste.find('\n') != std::string::npos || liste.find("\xC2\xA0") != std::string::npos)
        return "the value list's lines end in one carriage return, without no-break spaces";
    // The line index: the input method sees the line of the cursor, up to 256 bytes each side.
    const std::size_t cursor = std::size_t(w().EFDaten->cursorPosition());
    const std::size_t anfang = cursor ? liste.rfind('\r', cursor - 1) + 1 : 0;
    const std::size_t ende = std::min(liste.find('\r', cursor), liste.size());
    if (cursor - anfang <= 256 && ende - cursor <= 256 &&
        w().EFDaten->inputMethodQuery(Qt::ImSurroundingText).toString().toStdString() !=
            liste.substr(anfang, ende - anfang))
        return "the value list's line of the cursor is the text between its line ends";
    if (const QString verdeckt = anfaenge_verdeckt(); !verdeckt.isEmpty())
        return verdeckt;
    // A series' statistics are those of its list read whole (on a set the window lacks), as
    // far as they are shown: the window keeps each value as its field shows it.
    if (!eingabe_aktiv) {
        daten_werteliste(max_satz) = liste;
        Werte_aus_daten_berechnen(max_satz);
        for (int32_t spalte = 1; spalte <= anzahl; ++spalte)
            if (Str(daten_basiswert(max_satz, spalte)) !=
                Str(daten_basiswert(daten_akt_satz, spalte)))
                return "a series' statistics are those of its whole list, however it was edited";
        if (zustand.ausreisser[std::size_t(max_satz)] !=
                zustand.ausreisser[std::size_t(daten_akt_satz)] ||
            daten_ohne_zahl(max_satz) != daten_ohne_zahl(daten_akt_satz))
            return "a series' statistics are those of its whole list, however it was edited";
    }
    for (int i = 1; i <= 8; ++i) {
        const bool feld = w().EFbasis(i).isVisible();
        const QString gezeigt = feld ? w().EFbasis(i).text() : w().STbasis(i).text();
        if (feld == w().STbasis(i).isVisible() || (i > 6 && feld) ||
            Str(ValKomma(gezeigt.toStdString())) != Str(daten_basiswert(daten_akt_satz, i)))
            return QString("row %1 shows one value, what is stored: \"%2\"").arg(i).arg(gezeigt);
    }
    const double spanne = std::clamp(daten_basiswert(daten_akt_satz, maximum) -
                                         daten_basiswert(daten_akt_satz, minimum),
                                     -groesste, groesste);
    if (eingabe_aktiv && Str(daten_basiswert(daten_akt_satz, spannweite)) != Str(spanne))
        return "typed box values show their range, maximum minus minimum";
    for (int32_t satz = 1; satz <= hoechste_satzanzahl; ++satz)
        for (double wert : zustand.basiswert[std::size_t(satz)])
            if (!std::isfinite(wert))
                return QString("set %1 holds a value that is not finite").arg(satz);
    if (const WinBoxplot* diagramm = WinBoxplot::offen();
        diagramm && !diagramm->CAbox->items().isEmpty() && diagramm->CAbox->currentItem() < 0)
        return "the chart's focus is on one of its values";
    if (!std::isfinite(startwert) || !std::isfinite(endwert) || !std::isfinite(skala_mark) ||
        bild_ergebnis->width() != breite_bild || bild_ergebnis->height() != hoehe_bild)
        return "the scale is finite and the chart picture is breite_bild x hoehe_bild";
    return {};
}

// A piece of text as a screen reader is told it: its text and where it starts and ends.
struct Stueck {
    QString text;
    int von = 0, bis = 0;
    bool operator==(const Stueck&) const = default;
};
char* toString(const Stueck& s) {
    return QTest::toString(QString("\"%1\" [%2, %3)").arg(s.text).arg(s.von).arg(s.bis));
}

const Stueck keins{{}, -1, -1}; // no piece there

// A field's text set as if typed, and what a screen reader reads of the field.
QAccessibleTextInterface& mit_text(const QString& name, const QString& text) {
    QWidget* feld = w().findChild<QWidget*>(name);
    if (auto* liste = qobject_cast<MultiLineEditField*>(feld))
        liste->SetText(QString(text).replace('\n', '\r').toStdString());
    else
        static_cast<EditField*>(feld)->SetText(text);
    return *QAccessible::queryAccessibleInterface(feld)->textInterface();
}

enum Seite { Davor, Dort, Danach };

Stueck stueck(QAccessibleTextInterface& t, int stelle, QAccessible::TextBoundaryType grenze,
              Seite seite) {
    Stueck s;
    s.text = seite == Davor  ? t.textBeforeOffset(stelle, grenze, &s.von, &s.bis)
             : seite == Dort ? t.textAtOffset(stelle, grenze, &s.von, &s.bis)
                             : t.textAfterOffset(stelle, grenze, &s.von, &s.bis);
    return s;
}

// The chart of set A's box values and a series B with outliers above and below, its canvas
// with the focus.
bool erkunden_bereit() {
    klicks("+2");
    einfuegen(w().EFDaten, "3\n5\n2,5\n4\n40\n6\n99\n-30");
    nach_vorn(WinBoxplot::offen());
    const bool vorn = QTest::qWaitForWindowActive(WinBoxplot::offen());
    WinBoxplot::offen()->CAbox->setFocus();
    return vorn;
}

QString im_fokus(QWidget* widget) { // what a screen reader finds focused in it
    const QAccessibleInterface* fokus = QAccessible::queryAccessibleInterface(widget)->focusChild();
    return fokus && fokus->state().focused ? fokus->text(QAccessible::Name) : QString();
}

} // namespace

class TstWindows : public QObject {
    Q_OBJECT
private slots:
    // Qt tells assistive technology of changes only while one listens, as a screen reader would.
    void initTestCase() {
        testumgebung_einrichten();
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
        QAccessible::installUpdateHandler([](QAccessibleEvent* e) {
            const auto art = e->type();
            if (art == QAccessible::Focus)
                angesagt << e->accessibleInterface()->text(QAccessible::Name);
            if (e->object() &&
                (art == QAccessible::NameChanged || art == QAccessible::DescriptionChanged))
                gemeldet << e->object()->objectName() +
                                (art == QAccessible::NameChanged ? " name" : " description");
        });
    }
    void init() {
        ladewerte_setzen();
        Pref_SplashAtStart = 0;
        WinDaten::fenster();
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
    // At ratio 2 the start-up, the series, the box values and the focused value list are
    // compared.
    void goldene_bilder() {
        QFETCH(QString, szene);
        szenen.at(szene)();
        const bool doppelt = w().devicePixelRatioF() != 1;
        if (!doppelt || szene == "start" || szene == "reihe" || szene == "boxwerte" ||
            szene == "fokus")
            VERGLEICHE_GOLDEN("fenster_" + szene + (doppelt ? "_verhaeltnis_2" : ""),
                              fenster_bild(), text_toleranz);
        // The chart is made at the canvas's device pixel ratio (or the sizes differ), shown 1:1.
        QCOMPARE(WinBoxplot::offen()->CAbox->grab().toImage().convertToFormat(QImage::Format_RGB32),
                 bild_ergebnis->image().convertToFormat(QImage::Format_RGB32));
    }

    // What a display shows reads back to its number, at several widths: the same sign, first
    // digit and exponent, "…" exactly where digits are left out, the whole number as tooltip
    // (that it stays within the display, in a smaller font where it must, the golden pictures
    // of long numbers show). Fields take any length.
    void lange_zahlen() {
        const auto kopf = [](double x) { // "-1e+15" for -1.23e15
            return QString::number(x, 'e', 14).remove(QRegularExpression("\\.\\d+"));
        };
        std::mt19937_64 z(16);
        for (int i = 0; i < 150; ++i) {
            const int64_t ziffern = int64_t(z() % 1999999999999999) - 999999999999999;
            const double zahl = Val(std::to_string(ziffern / int64_t(std::pow(10, z() % 15))) +
                                    "e" + std::to_string(int(z() % 616) - 307));
            const QString text = QString::fromStdString(Str(i ? zahl : 8.98846567431158e307));
            for (int breite : {40, 49, 64, 120}) {
                Zahltext& anzeige = w().STbasis(8);
                anzeige.resize(breite, 20), anzeige.SetText(text);
                const QString gezeigt = anzeige.gezeigt();
                const double gelesen = Val(QString(gezeigt).remove(QChar(0x2026)).toStdString());
                QCOMPARE(kopf(gelesen), kopf(Val(text.toStdString())));
                QCOMPARE(gezeigt.contains(QChar(0x2026)), gelesen != Val(text.toStdString()));
                QCOMPARE(anzeige.toolTip(), gezeigt == text ? QString() : text);
            }
        }
        klicks("b");
        w().EFbasis(5).selectAll();
        einfuegen(&w().EFbasis(5), QString(40000, '7'));
        QCOMPARE(w().EFbasis(5).text().size(), 40000);
    }

    void bearbeiten_data() {
        QTest::addColumn<QString>("vorher");  // the value list before, set from code
        QTest::addColumn<QString>("folge");   // what the user does (see bedienen)
        QTest::addColumn<QString>("nachher"); // with the cursor or selection marked
        const std::initializer_list<std::array<QString, 4>> zeilen = {
            {"datei_ablegen", "1", "{datei:spalte.txt}", "[2\n3,5\n]1"},
            // A refused file leaves no step in the history: Ctrl+Z takes back the typed 2.
            {"datei_binaer", "1", "{End}2{datei:bild.png}{Ctrl+Z}", "1|"},
            {"menue", "12", "{Ctrl+A}{menue:Cu&t}{menue:&Paste}{menue:&Paste}", "1212|"},
            {"tab", "1", "{Tab}", "|1"},
            // Box values: the list is shown but takes no keys, paste or input method text.
            {"filter_boxwerte", "1\n2", "7{Ctrl+V}{ime:8}{Return}{Del}", "|1\n2"},
        };
        for (const auto& [name, vorher, folge, nachher] : zeilen)
            QTest::newRow(qPrintable(name)) << vorher << folge << nachher;
    }
    // The value list in the data window (the editor's own edits, keys, mouse and scrolling are
    // tested in tests/editor): dropped files, pastes, the context menu, the focus and the box
    // values' filter, read back as a screen reader reads it; the list is stored as shown.
    void bearbeiten() {
        QFETCH(QString, vorher);
        QFETCH(QString, folge);
        QFETCH(QString, nachher);
        const QString name = QTest::currentDataTag();
        QTemporaryDir ordner;
        QFile spalte(ordner.filePath("spalte.txt"));
        QVERIFY(spalte.open(QIODevice::WriteOnly) && spalte.write("\xEF\xBB\xBF"
                                                                  "2\r\n3,5\r\n"));
        spalte.close();
        QFile::copy(VELMORA_GOLDEN_DIR "/fenster_start.png", ordner.filePath("bild.png"));
        klicks("+2");
        w().EFDaten->SetText(vorher.toStdString());
        w().EFDaten->setFocus();
        if (name.startsWith("filter"))
            klicks("b"), w().EFDaten->setEnabled(true), w().EFDaten->setFocus();
        bedienen(folge, ordner.path());
        QCOMPARE(marked(*w().EFDaten), nachher); // as a screen reader reads it
        QCOMPARE(daten_werteliste(2), w().EFDaten->Text());
        const QRect caret = w().EFDaten->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        QVERIFY(w().EFDaten->rect().contains(caret));
        QCOMPARE(anfaenge_verdeckt(), QString());
        if (name == "datei_binaer")
            QVERIFY(meldung.contains("„bild.png“ ist keine Textdatei"));
    }

    // Without a mouse: Tab reaches every control of the window once, down each column, and a
    // screen reader names each, a field after the label it is labelled by, no two alike (the
    // two Maximum fields). Space presses the up arrow, the down arrow selects set B, which a
    // typed list makes a series: each value display speaks its caption and the number it shows,
    // which is the set's value. F6 brings the chart to the front, whose canvas speaks the
    // chart's text and has its values as children. A screen reader is told of every change of
    // the chart, not of a recomposition that changes nothing.
    void tastatur() {
        w().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w()));
        w().EFbasis(5).setFocus();
        QList<QWidget*> reihe;
        QStringList namen;
        for (QWidget* f = QApplication::focusWidget(); !reihe.contains(f) && reihe.size() < 50;
             tasten("\t"), f = QApplication::focusWidget()) {
            QAccessibleInterface* i = QAccessible::queryAccessibleInterface(f);
            const auto etiketten = i->relations(QAccessible::Label);
            reihe << f;
            namen << (etiketten.isEmpty() ? i : etiketten.first().first)->text(QAccessible::Name);
        }
        for (QWidget* k : w().findChildren<QWidget*>())
            if (k->isVisibleTo(&w()) && k->isEnabled() && (k->focusPolicy() & Qt::TabFocus))
                QVERIFY2(reihe.contains(k), qPrintable(k->objectName() + " is not reached"));
        QVERIFY(!namen.contains(QString()));
        QCOMPARE(QSet<QString>(namen.begin(), namen.end()).size(), namen.size());
        // The kind buttons are one choice of two: radio buttons in a group named after it.
        QAccessibleInterface* art =
            QAccessible::queryAccessibleInterface(&w().BBsatzart(1))->parent();
        QCOMPARE(art->role(), QAccessible::Grouping);
        QCOMPARE(art->text(QAccessible::Name), "Art des Satzes");
        QCOMPARE(art->childCount(), 2);
        for (int k = 0; k < 2; ++k)
            QCOMPARE(art->child(k)->role(), QAccessible::RadioButton);
        QVERIFY(art->child(0)->state().checked && !art->child(1)->state().checked);
        for (qsizetype k = 1; k < reihe.size(); ++k) {
            const QPoint vorher = reihe[k - 1]->mapTo(&w(), QPoint()),
                         jetzt = reihe[k]->mapTo(&w(), QPoint());
            QVERIFY2(vorher.x() != jetzt.x() || vorher.y() < jetzt.y(), qPrintable(namen[k]));
        }
        gemeldet.clear();
        tasten("\t\t\t\t\t\t\t_");
        QCOMPARE(gemeldet, (QStringList{"STsatzanz name", "CAbox name", "CAbox description"}));
        const QString liste =
            "-6\n-5\n-4\n-3\n-2\n-1\n" + QString("0\n").repeated(20) + "1\n2,5\n3\n4\n5\n6";
        tasten("~v~" + liste);
        gemeldet.clear();
        tasten("\n#"); // an empty line changes no value
        QCOMPARE(gemeldet, QStringList());
        for (int i = minimum; i <= anzahl; ++i) {
            const QString gesprochen =
                QAccessible::queryAccessibleInterface(&w().STbasis(i))->text(QAccessible::Name);
            QCOMPARE(gesprochen.section(": ", 0, 0), w().zeilenname(i));
            QCOMPARE(Val(gesprochen.section(": ", 1).replace(',', '.').toStdString()),
                     daten_basiswert(2, i));
            QCOMPARE(w().STbasis(i).text().toStdString(), Str(daten_basiswert(2, i)));
        }
        QVERIFY(QTest::qWaitForWindowActive(WinBoxplot::offen()));
        QVERIFY(WinBoxplot::offen()->CAbox->hasFocus());
        QAccessibleInterface* leinwand =
            QAccessible::queryAccessibleInterface(WinBoxplot::offen()->CAbox);
        QCOMPARE(leinwand->role(), QAccessible::Graphic);
        QCOMPARE(leinwand->text(QAccessible::Name), bild_ergebnis->title());
        QCOMPARE(leinwand->text(QAccessible::Description), bild_ergebnis->description());
        // Set A's six values, and the outliers of B by their rank among all twelve.
        QCOMPARE(leinwand->childCount(), 6 + 16);
        QCOMPARE(leinwand->child(6)->text(QAccessible::Name), "Satz B, Ausreißer 6, 12 von 12");
        QCOMPARE(leinwand->child(21)->text(QAccessible::Name), "Satz B, Ausreißer -6, 1 von 12");
        QCOMPARE(QAccessible::queryAccessibleInterface(WinBoxplot::offen())->role(),
                 QAccessible::Window);
        gemeldet.clear();
        WinBoxplot::offen()->resize(300, 500);
        QCOMPARE(gemeldet, QStringList());
    }

    // A screen reader asks a text field for the character, word, sentence, line or paragraph
    // before, at and after each offset, and for the run of text attributes there. Each field
    // and the value list answers every question at every offset up to the end: the pieces
    // follow each other without a gap, a line is the whole line, the end has the last word,
    // and the attribute runs cover the text (one run per line), so that it is read whole. Where
    // a character stands it shows by its box. A question that never returns ends the program
    // through Qt Test's watchdog (QTEST_FUNCTION_TIMEOUT).
    void vorleser_stuecke_data() {
        QTest::addColumn<QString>("feld");
        QTest::addColumn<QString>("text");
        for (const auto& [feld, text] : std::initializer_list<std::pair<QString, QString>>{
                 {"EFbasis", "85"},
                 {"EFskalamark", ""},
                 {"EFskalamax", "1,5 und  zwei. Drei 😀e\u0301!"},
                 {"EFDaten", "3\n5\n40\n12"},
                 {"EFDaten", "\n1 2, drei.\n\nä😀\n"},
                 {"EFDaten", "WWWW\nii\nWWWWWW"},
                 {"EFskalamark", "WiW"}})
            QTest::newRow(qPrintable(feld + ": " + text)) << feld << text;
    }
    void vorleser_stuecke() {
        QFETCH(QString, feld);
        QFETCH(QString, text);
        klicks("r");
        QAccessibleTextInterface& t = mit_text(feld, text);
        const int ende = int(text.size());
        QCOMPARE(t.characterCount(), ende);
        for (int stelle = 0; stelle <= ende; ++stelle) {
            const qsizetype anfang = stelle == 0 ? 0 : text.lastIndexOf('\n', stelle - 1) + 1;
            const QString zeile = text.mid(anfang).section('\n', 0, 0) +
                                  (text.indexOf('\n', stelle) >= 0 ? "\n" : "");
            Stueck lauf;
            t.attributes(stelle, &lauf.von, &lauf.bis);
            lauf.text = text.mid(lauf.von, lauf.bis - lauf.von);
            QCOMPARE(lauf, stueck(t, stelle, QAccessible::LineBoundary, Dort));
            QCOMPARE(lauf.text, zeile);
            for (auto grenze : {QAccessible::CharBoundary, QAccessible::WordBoundary,
                                QAccessible::SentenceBoundary, QAccessible::LineBoundary,
                                QAccessible::ParagraphBoundary, QAccessible::NoBoundary}) {
                const Stueck davor = stueck(t, stelle, grenze, Davor),
                             dort = stueck(t, stelle, grenze, Dort),
                             danach = stueck(t, stelle, grenze, Danach);
                const QString wo = QString("offset %1, boundary %2").arg(stelle).arg(grenze);
                QVERIFY2(dort.von <= stelle && stelle <= dort.bis &&
                             (stelle < dort.bis || stelle == ende) &&
                             dort.text == text.mid(dort.von, dort.bis - dort.von),
                         qPrintable(wo));
                if (grenze == QAccessible::NoBoundary) {
                    QCOMPARE(dort.text, text);
                    continue;
                }
                for (const Stueck& s : {davor, danach})
                    QVERIFY2(s.von < 0 ? s == keins
                                       : s.von < s.bis && s.text == text.mid(s.von, s.bis - s.von),
                             qPrintable(wo));
                QVERIFY2(dort.von == 0 ? davor.von < 0 : davor.bis == dort.von, qPrintable(wo));
                QVERIFY2(dort.bis == ende ? danach.von < 0 : danach.von == dort.bis,
                         qPrintable(wo));
                if (stelle < ende)
                    QCOMPARE(stueck(t, dort.von, grenze, Dort), dort);
                else if (grenze != QAccessible::CharBoundary && !zeile.isEmpty())
                    QCOMPARE(dort, stueck(t, stelle - 1, grenze, Dort));
            }
        }
        // Each character's own box (as wide as a W or an i is), wherever the cursor is.
        const QFontMetrics masse(w().findChild<QWidget*>(feld)->font());
        QList<QRect> kaesten;
        for (int stelle = 0; stelle < ende; ++stelle) {
            kaesten << t.characterRect(stelle);
            if (text[stelle] == 'W' || text[stelle] == 'i')
                QVERIFY2(qAbs(kaesten.back().width() - masse.horizontalAdvance(text[stelle])) <= 1,
                         qPrintable(QString("box at offset %1").arg(stelle)));
        }
        for (int cursor : {std::min(5, ende), ende}) {
            t.setCursorPosition(cursor);
            for (int stelle = 0; stelle < ende; ++stelle)
                QCOMPARE(t.characterRect(stelle), kaesten[stelle]);
        }
    }

    void erkunden_data() {
        QTest::addColumn<QString>("folge");
        QTest::addColumn<QString>("aenderung"); // a change of the data after the keys
        QTest::addColumn<QString>("gesagt");    // the names given the focus, or focused after it
        const std::initializer_list<std::array<QString, 4>> zeilen = {
            {"a_runter", "vvvv", "",
             "A, Box-Werte, Mittelwert 40|A, unteres Quartil 30|A, Minimum 10|A, Minimum 10"},
            {"b", ">vvvv][", "",
             "B, Datenreihe, 8 Werte, Median 4,5|B, Mittelwert 16,19|B, unteres Quartil 2,75|"
             "B, unterer Whisker bis 2,5|B, Ausreißer -30, 1 von 2|B, Ausreißer -30, 1 von 2|"
             "B, Ausreißer 99, 2 von 2"},
            {"b_hoch", ">^^^^", "",
             "B, Datenreihe, 8 Werte, Median 4,5|B, oberes Quartil 23|B, oberer Whisker bis 40|"
             "B, Ausreißer 99, 2 von 2|B, Ausreißer 99, 2 von 2"},
            // Onto the same kind of value in the set beside, else onto its median; at the ends
            // the focus stays.
            {"nachbarn", "^>]<<]>>", "",
             "A, Box-Werte, oberes Quartil 60|B, Datenreihe, 8 Werte, oberes Quartil 23|"
             "B, Ausreißer -30, 1 von 2|A, Box-Werte, Median 50|A, Median 50|A, Minimum 10|"
             "B, Datenreihe, 8 Werte, unterer Whisker bis 2,5|B, unterer Whisker bis 2,5"},
            {"links", ">^<", "",
             "B, Datenreihe, 8 Werte, Median 4,5|B, oberes Quartil 23|"
             "A, Box-Werte, oberes Quartil 60"},
            // After a change of the data the focus stays on the same kind of value of its set,
            // else on the set's median, else on the first set's median.
            {"werte", ">^", "werte", "B, oberes Quartil 7,5"},
            {"whisker", ">^^", "ohne_ausreisser", "B, Maximum 99"},
            {"ausreisser_weg", ">[", "werte", "B, Median 5"},
            {"mittelwert_weg", "v", "ohne_mittelwert", "A, Median 50"},
            {"nur_b", "^^", "ohne_alle", "B, Median 4,5"},
        };
        for (const auto& [name, folge, aenderung, gesagt] : zeilen)
            QTest::newRow(qPrintable(name)) << folge << aenderung << gesagt;
    }
    // Each key on the chart gives the focus to a value, which a screen reader speaks: the first
    // step into a set with its kind.
    void erkunden() {
        QFETCH(QString, folge);
        QFETCH(QString, aenderung);
        QFETCH(QString, gesagt);
        const std::map<QString, std::function<void()>> aenderungen{
            {"werte", [] { w().EFDaten->SetText("1\r2\r3\r4\r5\r6\r7\r8\r9"); }},
            {"ohne_ausreisser", [] { klick(w().CBereitert); }},
            {"ohne_mittelwert", [] { klick(w().CBmittelwert); }},
            {"ohne_alle", [] { klick(w().CBshowall); }}};
        QVERIFY(erkunden_bereit());
        angesagt.clear();
        tasten(folge);
        if (aenderung.isEmpty()) {
            QCOMPARE(angesagt.join('|'), "Satz " + gesagt.split('|').join("|Satz "));
        } else {
            aenderungen.at(aenderung)();
            nach_vorn(WinBoxplot::offen());
            WinBoxplot::offen()->CAbox->setFocus();
        }
        QCOMPARE(im_fokus(WinBoxplot::offen()->CAbox), "Satz " + gesagt.split('|').last());
    }

    // The focus mark, around a line and around a round mark, is drawn over the chart on the
    // screen alone: the saved and the copied picture are the chart as composed.
    void erkunden_marke() {
        QVERIFY(erkunden_bereit());
        Canvas* leinwand = WinBoxplot::offen()->CAbox;
        const QImage median = leinwand->grab().toImage();
        tasten(">[");
        const QImage ausreisser = leinwand->grab().toImage();
        if (leinwand->devicePixelRatioF() == 1)
            VERGLEICHE_GOLDEN("erkunden_marke", nebeneinander({median, ausreisser}), text_toleranz);
        QTemporaryDir ordner;
        QCOMPARE(bild_schreiben(ordner.filePath("bild.png")), std::nullopt);
        bild_kopieren();
        QVERIFY(bild_zusammensetzen(leinwand->devicePixelRatioF()));
        const auto pixel = [](const QImage& bild) {
            QImage rgb = bild.convertToFormat(QImage::Format_RGB32);
            rgb.setDevicePixelRatio(1);
            return rgb;
        };
        const QImage chart = pixel(bild_ergebnis->image());
        QVERIFY(pixel(ausreisser) != chart);
        QCOMPARE(pixel(QImage(ordner.filePath("bild.png"))), chart);
        QCOMPARE(pixel(QApplication::clipboard()->image()), chart);
    }

    // Each line of the list that is not one number tells what it is read as: as its tooltip,
    // and to a screen reader as the list's description while the cursor is on it. The chart
    // in words counts the lines read as 0 without being a number.
    void zeilen_ohne_zahl() {
        szenen.at("keine_zahlen")();
        QStringList gesagt;
        QTest::keySequence(w().EFDaten, QKeySequence::MoveToStartOfDocument);
        for (int z = 0; z < 7; ++z, QTest::keyClick(w().EFDaten, Qt::Key_Down))
            gesagt << QAccessible::queryAccessibleInterface(w().EFDaten)
                          ->text(QAccessible::Description);
        const QString null = "gelesen als 0", zahl = "Ein Wert pro Zeile";
        QCOMPARE(gesagt, (QStringList{null, zahl, null, "gelesen als 1", zahl, zahl, zahl}));
        QWidget* flaeche = w().EFDaten->viewport();
        QHelpEvent tipp(QEvent::ToolTip, zeilenanfang(3), flaeche->mapToGlobal(zeilenanfang(3)));
        QApplication::sendEvent(flaeche, &tipp);
        QCOMPARE(QToolTip::text(), "gelesen als 1");
        QVERIFY(QAccessible::queryAccessibleInterface(WinBoxplot::offen()->CAbox)
                    ->text(QAccessible::Description)
                    .contains("Whisker von -3 bis 9; keine Ausreißer; 2 Zeilen sind keine Zahl und "
                              "zählen als 0."));
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
