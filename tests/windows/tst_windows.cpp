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

#include <QAccessible>
#include <QAccessibleEditableTextInterface>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
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
    const QImage daten = w().grab().toImage();
    const QImage chart = WinBoxplot::offen()->CAbox->grab().toImage();
    // In device pixels: at ratio 2 the picture holds every pixel the screen shows.
    QImage bild(daten.width() + chart.width(), std::max(daten.height(), chart.height()),
                QImage::Format_RGB32);
    bild.setDevicePixelRatio(daten.devicePixelRatio());
    bild.fill(Qt::darkGray);
    QPainter maler(&bild);
    maler.drawImage(0, 0, daten);
    maler.drawImage(QPointF(daten.deviceIndependentSize().width(), 0), chart);
    return bild;
}

QAccessibleTextInterface& vorleser() { // what a screen reader reads of the value list
    return *QAccessible::queryAccessibleInterface(w().EFDaten)->textInterface();
}

// The value list's text as a screen reader reads it, the cursor marked by |, a selection by [ ].
QString markiert() {
    QString text = vorleser().text(0, vorleser().characterCount());
    int von = 0, bis = 0;
    vorleser().selection(0, &von, &bis);
    if (vorleser().selectionCount() == 0)
        return text.insert(vorleser().cursorPosition(), '|');
    return text.insert(bis, ']').insert(von, '[');
}

// Where character c of line z of the value list stands, in its viewport, unscrolled.
QPoint zeichen(const QString& stelle) {
    const QStringList zeilen = QString::fromStdString(w().EFDaten->Text()).split('\r');
    const int z = stelle.section(',', 0, 0).toInt(), c = stelle.section(',', 1).toInt();
    const QFontMetrics masse(w().EFDaten->font());
    return {4 + masse.horizontalAdvance(zeilen.value(z).left(c)),
            4 + masse.lineSpacing() * z + masse.lineSpacing() / 2};
}

void ablegen(QWidget* ziel, QPoint wo, QMimeData* daten) { // a drop from another program
    QDragEnterEvent betreten(wo, Qt::CopyAction, daten, Qt::LeftButton, {});
    QDropEvent ablage(wo, Qt::CopyAction, daten, Qt::LeftButton, {});
    for (QEvent* e : std::initializer_list<QEvent*>{&betreten, &ablage})
        QApplication::sendEvent(ziel, e);
    delete daten;
}

QString meldung; // the text of the last message box closed by a test

// What the user does in the value list: characters typed, and in braces a key sequence or
// {pre:x} {ime:x} {ime-1:x} (input method: pending text, committed text, replacing the
// character before the cursor), {klick:z,c} {doppel:z,c} {umschalt:z,c} {ziehen:z,c-z,c}
// (mouse), {text:z,c:x} {datei:z,c:name} (dropped), {rad:n} (wheel), {menue:name}
// (context menu), {vorleser:offset:x} (inserted through the screen reader's interface).
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
        const QString wo = befehl.section(':', 1, 1), was = befehl.section(':', 2);
        i = ende;
        if (art == "pre" || art.startsWith("ime")) {
            QInputMethodEvent e(art == "pre" ? wo : QString(), {});
            e.setCommitString(art == "pre" ? QString() : wo, art == "ime-1" ? -1 : 0,
                              art == "ime-1" ? 1 : 0);
            QApplication::sendEvent(feld, &e);
        } else if (art == "klick" || art == "umschalt") {
            QTest::mouseClick(flaeche, Qt::LeftButton,
                              art == "umschalt" ? Qt::ShiftModifier : Qt::NoModifier, zeichen(wo));
        } else if (art == "doppel") {
            QTest::mouseDClick(flaeche, Qt::LeftButton, {}, zeichen(wo));
        } else if (art == "ziehen") {
            QTest::mousePress(flaeche, Qt::LeftButton, {}, zeichen(wo.section('-', 0, 0)));
            QTest::mouseMove(flaeche, zeichen(wo.section('-', 1)));
            QTest::mouseRelease(flaeche, Qt::LeftButton, {}, zeichen(wo.section('-', 1)));
        } else if (art == "text" || art == "datei") {
            auto* daten = new QMimeData;
            if (art == "text")
                daten->setText(was);
            else
                daten->setUrls({QUrl::fromLocalFile(ordner.filePath(was))});
            if (art == "datei") // the message a file that is not text brings
                im_modalen_fenster(0, [](QWidget* fenster) {
                    if (auto* box = qobject_cast<QMessageBox*>(fenster))
                        meldung = box->text(), box->close();
                });
            ablegen(flaeche, zeichen(wo), daten);
        } else if (art == "rad") {
            QWheelEvent e(QPointF(10, 10), flaeche->mapToGlobal(QPointF(10, 10)), {},
                          {0, -120 * wo.toInt()}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
            QApplication::sendEvent(flaeche, &e);
        } else if (art == "menue") {
            QContextMenuEvent e(QContextMenuEvent::Mouse, {5, 5},
                                flaeche->mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(flaeche, &e);
            auto* menue = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            for (QAction* a : menue->actions())
                if (a->text().startsWith(wo))
                    a->trigger();
            menue->close();
        } else if (art == "kopiert") {
            QApplication::clipboard()->setText(wo);
        } else if (art == "vorleser") {
            auto* schreiben = QAccessible::queryAccessibleInterface(feld)->editableTextInterface();
            schreiben->insertText(wo.toInt(), was);
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
QString mitgelesen;        // the value list rebuilt from what it told a screen reader
int mitgelesen_cursor = 0; // and where it said its cursor went

// What a screen reader reads in a window: each visible object's name, with its value, its
// description and a check mark where it has them, in the order of the accessibility tree.
QStringList vorgelesen(QWidget* fenster) {
    QStringList zeilen;
    const std::function<void(QAccessibleInterface*)> lesen = [&](QAccessibleInterface* i) {
        const QString name = i->text(QAccessible::Name), wert = i->text(QAccessible::Value),
                      beschreibung = i->text(QAccessible::Description);
        if (i->state().invisible)
            return;
        if (!name.isEmpty())
            zeilen << name + (wert.isEmpty() ? "" : "=" + wert) +
                          (beschreibung.isEmpty() ? "" : " | " + beschreibung) +
                          (i->state().checked ? " [x]" : "");
        for (int k = 0; k < i->childCount(); ++k)
            lesen(i->child(k));
    };
    lesen(QAccessible::queryAccessibleInterface(fenster));
    return zeilen;
}

// Keys for the widget with the focus: "\t" Tab, "^" Shift+Tab, "_" Space, "v" the down arrow,
// "\n" Return, "#" F6; anything else is typed.
void tasten(const QString& folge) {
    const std::map<QChar, Qt::Key> besondere{{'\t', Qt::Key_Tab},    {'^', Qt::Key_Backtab},
                                             {'_', Qt::Key_Space},   {'v', Qt::Key_Down},
                                             {'\n', Qt::Key_Return}, {'#', Qt::Key_F6}};
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

QString editorfehler;       // what an action of the monkey found wrong in the value list
std::string verlauf_anfang; // the value list when its undo history began

// Edits of the value list beyond typing: keys that select, move, undo and redo, input
// methods, a double click, a dropped text, and the whole history undone and redone.
QString im_editor(const std::function<int(int, int)>& zahl) {
    MultiLineEditField* feld = w().EFDaten;
    const QPoint irgendwo(zahl(0, feld->viewport()->width()), zahl(0, feld->viewport()->height()));
    static const QStringList tasten{
        "Ctrl+Z", "Ctrl+Shift+Z", "Shift+Left",     "Shift+Up", "Shift+PgUp",
        "Ctrl+A", "PgDown",       "Ctrl+Home",      "End",      "Ctrl+X",
        "Ctrl+C", "Ctrl+Left",    "Ctrl+Backspace", "Down"};
    switch (zahl(0, 4)) {
    case 0: {
        const QString folge = tasten[zahl(0, int(tasten.size()) - 1)];
        QTest::keySequence(feld, QKeySequence(folge));
        return folge + " in the value list";
    }
    case 1: {
        QInputMethodEvent e(zahl(0, 1) ? "´" : "", {});
        e.setCommitString(QString::number(zahl(0, 99)) + (zahl(0, 1) ? "\n" : ""), -zahl(0, 1),
                          zahl(0, 1));
        QApplication::sendEvent(feld, &e);
        return "input method text into the value list";
    }
    case 2:
        QTest::mouseDClick(feld->viewport(), Qt::LeftButton, {}, irgendwo);
        return "double click into the value list";
    case 3: {
        auto* daten = new QMimeData;
        daten->setText(QString("%1\r\n%2").arg(zahl(0, 9)).arg(zahl(0, 9)));
        ablegen(feld->viewport(), irgendwo, daten);
        return "text dropped onto the value list";
    }
    }
    // Undoing everything gives the text the history began with; redoing all, the text now.
    const std::string jetzt = feld->Text();
    for (int i = 0; feld->undoStack().canUndo() && i < 100000; ++i)
        QTest::keySequence(feld, QKeySequence::Undo);
    if (feld->Text() != verlauf_anfang)
        editorfehler = "undone to its start, the value list is not what it was then";
    while (feld->undoStack().canRedo())
        QTest::keySequence(feld, QKeySequence("Ctrl+Shift+Z"));
    if (feld->Text() != jetzt)
        editorfehler = "undone and redone, the value list is not what it was";
    return "the value list's history undone and redone";
}

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
    if (ziel == w().EFDaten && zahl(0, 1) == 0)
        return im_editor(zahl);
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
    // The line index: the input method's surrounding text is the line of the cursor.
    const std::size_t cursor = std::size_t(w().EFDaten->cursorPosition());
    const std::size_t anfang = cursor ? liste.rfind('\r', cursor - 1) + 1 : 0;
    if (w().EFDaten->inputMethodQuery(Qt::ImSurroundingText).toString().toStdString() !=
        liste.substr(anfang, liste.find('\r', cursor) - anfang))
        return "the value list's line of the cursor is the text between its line ends";
    if (w().EFDaten->undoStack().count() == 0)
        verlauf_anfang = liste;
    if (!editorfehler.isEmpty())
        return std::exchange(editorfehler, {});
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
    if (!std::isfinite(startwert) || !std::isfinite(endwert) || !std::isfinite(skala_mark) ||
        bild_ergebnis->width() != breite_bild || bild_ergebnis->height() != hoehe_bild)
        return "the scale is finite and the chart picture is breite_bild x hoehe_bild";
    return {};
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
            const bool liste = e->object() && e->object()->objectName() == "EFDaten";
            if (liste &&
                art == QAccessible::TextUpdated) { // the value list as a screen reader follows it
                const auto* t = static_cast<QAccessibleTextUpdateEvent*>(e);
                mitgelesen.replace(t->changePosition(), t->textRemoved().size(), t->textInserted());
            } else if (liste && art == QAccessible::TextCaretMoved) {
                mitgelesen_cursor = static_cast<QAccessibleTextCursorEvent*>(e)->cursorPosition();
            }
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
        // The chart is made at the canvas's device pixel ratio and shown 1:1.
        Canvas* leinwand = WinBoxplot::offen()->CAbox;
        QCOMPARE(bild_ergebnis->devicePixelRatio(), leinwand->devicePixelRatioF());
        QCOMPARE(leinwand->grab().toImage().convertToFormat(QImage::Format_RGB32),
                 bild_ergebnis->image().convertToFormat(QImage::Format_RGB32));
    }

    // What a display shows reads back to its number, at several widths: the same sign, first
    // digit and exponent, "…" exactly where digits are left out, the whole number as tooltip;
    // drawn without a bound, what it shows stays within the display. Fields take any length.
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
                NumberText& anzeige = w().STbasis(8);
                anzeige.resize(breite, 20), anzeige.SetText(text);
                const QString gezeigt = anzeige.shown();
                const double gelesen = Val(QString(gezeigt).remove(QChar(0x2026)).toStdString());
                QCOMPARE(kopf(gelesen), kopf(Val(text.toStdString())));
                QCOMPARE(gezeigt.contains(QChar(0x2026)), gelesen != Val(text.toStdString()));
                QCOMPARE(anzeige.toolTip(), gezeigt == text ? QString() : text);
                QLabel frei(gezeigt);
                frei.setFont(anzeige.shownFont()), frei.resize(breite + 50, 20);
                const QImage bild = frei.grab().toImage();
                const int rand = int(breite * bild.devicePixelRatio());
                QImage rest = bild.copy(rand, 0, bild.width() - rand, bild.height()), leer = rest;
                leer.fill(bild.pixel(bild.width() - 1, 0));
                QVERIFY2(rest == leer, qPrintable(gezeigt)); // nothing drawn beyond the display
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
        QString hundert;
        for (int i = 0; i < 100; ++i)
            hundert += QString::number(i) + (i < 99 ? "\n" : "");
        const QString nbsp(QChar::Nbsp), ls(QChar::LineSeparator), ps(QChar::ParagraphSeparator);
        const std::initializer_list<std::array<QString, 4>> zeilen = {
            {"zeilenenden_getippt", "", "1{Return}2{Shift+Return}3{Enter}{ime:4\n5" + nbsp + "6}",
             "1\n2\n3\n4\n5 6|"},
            {"zeilenenden_eingefuegt", "", "{kopiert:a\r\nb\rc\nd" + ls + "e" + ps + "}{Ctrl+V}",
             "a\nb\nc\nd\ne\n|"},
            {"rueckgaengig", "", "12{Return}34{Ctrl+Z}{Ctrl+Z}", "12|"},
            {"wiederholen", "", "12{Return}34{Ctrl+Z}{Ctrl+Z}{Ctrl+Z}{Ctrl+Shift+Z}{Ctrl+Y}",
             "12\n|"},
            {"rueckgaengig_auswahl", "12345", "{Home}{Shift+Right}{Shift+Right}x{Ctrl+Z}",
             "[12]345"},
            {"auswahl_tasten", "1\n22\n333", "{Ctrl+End}{Shift+Up}{Shift+Home}", "1\n[22\n333]"},
            {"spalte_halten", "123\n4\n567", "{Ctrl+End}{Up}{Up}x", "123x|\n4\n567"},
            {"seiten", hundert, "{PgDown}{PgDown}{PgUp}{PgUp}{End}x", "0x|" + hundert.mid(1)},
            {"wort", "12,5 ab", "{End}{Ctrl+Left}x", "12,5 x|ab"},
            {"zeilen_verbinden", "1\n2\n3", "{Ctrl+Home}{End}{Del}{Ctrl+End}{Home}{Backspace}",
             "12|3"},
            {"ausschneiden", "1\n2\n3", "{Ctrl+Home}{Shift+Down}{Ctrl+X}{Ctrl+End}{Return}{Ctrl+V}",
             "2\n3\n1\n|"},
            {"alles", "1\n2", "{Ctrl+A}7", "7|"},
            {"eingabemethode", "", "{pre:´}{ime:é}e{ime-1:ê}{pre:abc}", "éê|"},
            {"maus", "1\n22\n333", "{klick:1,1}x{doppel:2,1}", "1\n2x2\n[333]"},
            {"maus_erweitern", "1\n22\n333", "{klick:0,1}{umschalt:2,2}", "1[\n22\n33]3"},
            {"maus_ziehen", "1\n22\n333", "{ziehen:2,0-1,1}", "1\n2[2\n]333"},
            {"text_ablegen", "1\n2", "{text:1,0:5\r\n6\n}", "1\n[5\n6\n]2"},
            {"datei_ablegen", "1", "{datei:0,1:spalte.txt}", "1[2\n3,5\n]"},
            {"datei_binaer", "1", "{datei:0,1:bild.png}", "1|"},
            {"rad", hundert, "{rad:3}", "|" + hundert},
            {"menue", "12", "{Ctrl+A}{menue:Cu&t}{menue:&Paste}{menue:&Paste}", "1212|"},
            {"vorleser", "1\nä\n𝄞", "{vorleser:2:x}{vorleser:7:7}", "1\nxä\n𝄞7|"},
            {"tab", "1", "{Tab}", "|1"},
            // Box values: the list is shown but takes no keys, paste or input method text.
            {"filter_boxwerte", "1\n2", "7{Ctrl+V}{ime:8}{Return}{Del}", "|1\n2"},
        };
        for (const auto& [name, vorher, folge, nachher] : zeilen)
            QTest::newRow(qPrintable(name)) << vorher << folge << nachher;
    }
    // Each edit through the keyboard, the mouse, an input method, drops and the screen
    // reader's interface, read back as a screen reader reads it; the list is stored as shown.
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
        mitgelesen = vorleser().text(0, vorleser().characterCount());
        bedienen(folge, ordner.path());
        QCOMPARE(markiert(), nachher);
        QCOMPARE(mitgelesen, vorleser().text(0, vorleser().characterCount()));
        QCOMPARE(mitgelesen_cursor, vorleser().cursorPosition());
        const QString text =
            QString(nachher).remove(QRegularExpression("[][|]")).replace('\n', '\r');
        QCOMPARE(QString::fromStdString(w().EFDaten->Text()), text);
        QCOMPARE(daten_werteliste(2), w().EFDaten->Text());
        const QRect caret = w().EFDaten->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        QCOMPARE(w().EFDaten->rect().contains(caret), name != "rad");
        if (name == "datei_binaer")
            QVERIFY(meldung.contains("„bild.png“ ist keine Textdatei"));
    }

    // A line of 240,000 characters (a pasted row of values) is shown up to its first few
    // thousand and an ellipsis, so that a keystroke lays out no more than that; the keys still
    // reach all of it, and up and down from beyond the ellipsis go to the line's end.
    void lange_zeile() {
        klicks("+2");
        const QString zeile = QString("12345;").repeated(40000);
        w().EFDaten->SetText(("1\r" + zeile + "\r2").toStdString());
        w().EFDaten->setFocus();
        bedienen("{Down}{End}{Left}x{Up}{Down}{Shift+Home}");
        QCOMPARE(markiert(), "1\n[" + zeile.chopped(1) + "x;]\n2");
        const int breit = QFontMetrics(w().EFDaten->font()).horizontalAdvance(QString(10000, '9'));
        QVERIFY(w().EFDaten->horizontalScrollBar()->maximum() < breit);
    }

    // Without a mouse: Tab goes through the window as it reads, Space presses the up arrow, the
    // down arrow selects set B, which a typed list makes a series, and F6 brings the chart to the
    // front. A screen reader reads each control by its name, the chart in words, and is told of
    // every change of the chart, not of a recomposition that changes nothing.
    void tastatur() {
        w().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w()));
        w().EFbasis(5).setFocus();
        QStringList reihe;
        for (int i = 0; i < 18; ++i, tasten("\t"))
            reihe << QAccessible::queryAccessibleInterface(QApplication::focusWidget())
                         ->text(QAccessible::Name);
        const QString werte = " (Boxplot-Werte)", skala = " (Ausgabe - Skala)";
        const QString a = "Satz A: Minimum 10, unteres Quartil 30, Median 50, oberes Quartil 60, "
                          "Maximum 85, Mittelwert 40; Whisker von 10 bis 85. ";
        const QString skalentext = "Skala von 0 bis 100, Markierung alle 10.";
        // clang-format off
        QCOMPARE(reihe, (QStringList{
            "Maximum" + werte, "ob. Quartil" + werte, "Median" + werte, "unt.Quartil" + werte,
            "Minimum" + werte, "Mittelwert" + werte, "Satz A", "Anzahl der Sätze erhöhen",
            "Anzahl der Sätze verringern", "Alle Sätze anzeigen", "Box-Werte eingeben",
            "Datenreihe eingeben", "Maximum" + skala, "Minimum" + skala, "Markierung" + skala,
            "Ausreißer markieren", "Mittelwert anzeigen", "Werte im Boxplot zeigen"}));
        QCOMPARE(vorgelesen(WinBoxplot::offen()),
                 (QStringList{"Boxplot", "Boxplot von Satz A | " + a + skalentext}));
        gemeldet.clear();
        tasten("\t\t\t\t\t\t\t_");
        QCOMPARE(gemeldet, (QStringList{"STsatzanz name", "CAbox name", "CAbox description"}));
        const QString liste = "-6\n-5\n-4\n-3\n-2\n-1\n" + QString("0\n").repeated(20) +
                              "1\n2,5\n3\n4\n5\n6";
        tasten("^v^" + liste);
        gemeldet.clear();
        tasten("\n#"); // an empty line changes no value
        QCOMPARE(gemeldet, QStringList());
        QVERIFY(QTest::qWaitForWindowActive(WinBoxplot::offen()));
        QVERIFY(WinBoxplot::offen()->CAbox->hasFocus());
        QCOMPARE(vorgelesen(&w()) + vorgelesen(WinBoxplot::offen()), (QStringList{
            "Daten", "Satz-Nr.", "Ausgabe - Skala", "Datenreihe", "Boxplot-Werte",
            "Maximum" + skala + "=100", "Minimum" + skala + "=0", "Markierung" + skala + "=10",
            "Median", "ob. Quartil", "unt.Quartil", "Maximum", "Minimum", "Maximum", "Minimum",
            "Markierung", "Mittelwert", "Datenreihe=" + liste + "\n | Ein Wert pro Zeile",
            "Spannweite", "Anzahl", "Minimum: -6", "unt.Quartil: 0", "Median: 0",
            "ob. Quartil: 0", "Maximum: 6", "Mittelwert: 0,02", "Spannweite: 12", "Anzahl: 32",
            "Satz A", "Satz B [x]",
            "Box-Werte eingeben | Minimum, Quartile, Median, Maximum und Mittelwert des Satzes "
                "eingeben",
            "Datenreihe eingeben | Die Werte des Satzes als Liste eingeben, aus der sie berechnet "
                "werden [x]",
            "Anzahl der Sätze", "Anzahl der Sätze erhöhen", "Anzahl der Sätze verringern",
            "Anzahl der Sätze: 2", "Anzahl", "Alle Sätze anzeigen [x]", "Ausreißer markieren [x]",
            "Mittelwert anzeigen [x]", "Werte im Boxplot zeigen [x]", "Boxplot",
            "Boxplot der Sätze A und B | " + a + "Satz B: Minimum -6, unteres Quartil 0, Median "
                "0, oberes Quartil 0, Maximum 6, Mittelwert 0,02; Whisker von 0 bis 0; 12 "
                "Ausreißer, die 5 kleinsten: -6; -5; -4; -3; -2, die 5 größten: 2,5; 3; 4; 5; "
                "6. " + skalentext}));
        // clang-format on
        // The chart window is a window and its canvas a picture.
        QCOMPARE(QAccessible::queryAccessibleInterface(WinBoxplot::offen())->role(),
                 QAccessible::Window);
        QCOMPARE(QAccessible::queryAccessibleInterface(WinBoxplot::offen()->CAbox)->role(),
                 QAccessible::Graphic);
        gemeldet.clear();
        WinBoxplot::offen()->resize(300, 500);
        QCOMPARE(gemeldet, QStringList());
    }

    // Each line of the list that is not one number tells what it is read as: as its tooltip,
    // and to a screen reader as the list's description while the cursor is on it. The chart
    // in words counts the lines read as 0 without being a number.
    void zeilen_ohne_zahl() {
        szenen.at("keine_zahlen")();
        QCOMPARE(w().STbasis(1).text(), "-3");
        QWidget* flaeche = w().EFDaten->viewport();
        QStringList gesagt, tipps;
        QTest::keySequence(w().EFDaten, QKeySequence::MoveToStartOfDocument);
        for (int zeile = 0; zeile < 7; ++zeile, QTest::keyClick(w().EFDaten, Qt::Key_Down)) {
            gesagt << QAccessible::queryAccessibleInterface(w().EFDaten)
                          ->text(QAccessible::Description);
            const QPoint wo = zeichen(QString("%1,0").arg(zeile));
            QHelpEvent tipp(QEvent::ToolTip, wo, flaeche->mapToGlobal(wo));
            QApplication::sendEvent(flaeche, &tipp);
            tipps << (tipp.isAccepted() ? QToolTip::text() : "-");
        }
        const QString null = "gelesen als 0", zahl = "Ein Wert pro Zeile";
        QCOMPARE(gesagt, (QStringList{null, zahl, null, "gelesen als 1", zahl, zahl, zahl}));
        QCOMPARE(tipps, (QStringList{null, "-", null, "gelesen als 1", "-", "-", "-"}));
        QVERIFY(vorgelesen(WinBoxplot::offen())
                    .join("")
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
