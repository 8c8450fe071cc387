// The editor of long lists on its own: edits through real key events and what a screen reader is
// told of them, the buffer's lines and UTF-16 offsets after each, and the undo history: runs,
// what undo gives back and its bound. Random edits against a plain string are
// fuzz/fuzz_editor.cpp's.
#include "editor/editorchecks.h"
#include "editor/texteditor.h"
#include "support/testumgebung.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// What the editor is told to do: characters typed, and in braces a key sequence or {key:x} (one
// key carrying the text x), {ctrl:x} (the same with Ctrl), {pre:x} {ime:x} {ime-1:x} (input
// method: pending text, committed text, replacing the character before the cursor).
void operate(TextEditor& editor, const QString& actions) {
    for (qsizetype i = 0; i < actions.size(); ++i) {
        if (actions[i] != '{') {
            QTest::keyClicks(&editor, actions.mid(i, 1));
            continue;
        }
        const qsizetype end = actions.indexOf('}', i);
        const QString command = actions.mid(i + 1, end - i - 1), kind = command.section(':', 0, 0);
        const QString what = command.section(':', 1);
        i = end;
        if (kind == "key" || kind == "ctrl") {
            QTest::sendKeyEvent(QTest::Click, &editor, Qt::Key_unknown, what,
                                kind == "ctrl" ? Qt::ControlModifier : Qt::NoModifier);
        } else if (kind == "pre" || kind.startsWith("ime")) {
            QInputMethodEvent e(kind == "pre" ? what : QString(), {});
            e.setCommitString(kind == "pre" ? QString() : what, kind == "ime-1" ? -1 : 0,
                              kind == "ime-1" ? 1 : 0);
            QApplication::sendEvent(&editor, &e);
        } else {
            QTest::keySequence(&editor, QKeySequence(command));
        }
    }
}

} // namespace

class TstEditor : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        testumgebung_einrichten();
        followReader();
    }

    void keys_data() {
        QTest::addColumn<QString>("before");  // the text before, set from code
        QTest::addColumn<QString>("actions"); // see operate
        QTest::addColumn<QString>("after");   // with the cursor or selection marked
        const QString nbsp(QChar::Nbsp);
        const std::initializer_list<std::array<QString, 4>> rows = {
            {"line ends typed", "", "1{Return}2{Shift+Return}3{Enter}{ime:4\n5" + nbsp + "6}",
             "1\n2\n3\n4\n5 6|"},
            {"beyond the plane and format characters", "1",
             "{End}{key:😀}{key:𝟙}{key:\u200C}{key:\uE000}{ctrl:\u200C}", "1😀𝟙\u200C\uE000\u200C|"},
            {"control characters and shortcuts", "1",
             QString("{End}{key:\x01}{key:\x1b}{key:2\x07}{key:") + QChar(0xD83D) +
                 "}{ctrl:v}{ctrl:😀}{key:\t}",
             "1\t|"},
            {"undo a run of typing", "", "12{Return}34{Ctrl+Z}{Ctrl+Z}", "12|"},
            {"redo", "", "12{Return}34{Ctrl+Z}{Ctrl+Z}{Ctrl+Z}{Ctrl+Shift+Z}{Ctrl+Y}", "12\n|"},
            {"undo gives the selection back", "12345", "{Home}{Shift+Right}{Shift+Right}x{Ctrl+Z}",
             "[12]345"},
            {"a run of backspaces", "12\n345",
             "{Ctrl+End}{Backspace}{Backspace}{Backspace}{Backspace}{Ctrl+Z}", "12\n345|"},
            {"a run of deletes", "12\n345", "{Del}{Del}{Del}{Del}{Ctrl+Z}", "|12\n345"},
            {"runs apart", "12345", "{Right}{Right}{Del}{Backspace}x{Ctrl+Z}{Ctrl+Z}", "12|45"},
            {"cut and paste", "1\n2\n3", "{Shift+Down}{Ctrl+X}{Ctrl+End}{Return}{Ctrl+V}",
             "2\n3\n1\n|"},
            {"input method", "", "{pre:´}{ime:é}e{ime-1:ê}{pre:abc}", "éê|"},
        };
        for (const auto& [name, before, actions, after] : rows)
            QTest::newRow(qPrintable(name)) << before << actions << after;
    }
    // Edits by real key events, the clipboard and an input method, read back as a screen reader
    // reads them; what the editor told it agrees with what it reads. (Pastes with every kind of
    // line end, Backspace and Delete across line ends, typing over a selection, a screen reader's
    // edits at any offset, undo and redo over many steps, and the UTF-16 offsets as the first
    // character beyond ASCII comes are the fuzzer's, against a plain string.)
    void keys() {
        QFETCH(QString, before);
        QFETCH(QString, actions);
        QFETCH(QString, after);
        Editor editor;
        editor.setText(before.toStdString());
        followed = reader(editor).text(0, reader(editor).characterCount());
        operate(editor, actions);
        QCOMPARE(marked(editor), after);
        QCOMPARE(followed, reader(editor).text(0, reader(editor).characterCount()));
        QCOMPARE(followedAt, reader(editor).cursorPosition());
        QCOMPARE(bufferDisagreement(editor.buffer(), editor.text()), QString());
    }

    // The history holds no more than its budget: the oldest steps go, and undo goes back
    // through the steps it kept. A step larger than the whole budget (a paste of millions of
    // lines) is carried out without a copy for the history, which it leaves empty. An edit that
    // would make the text longer than its limit is refused and told, one up to it goes in.
    // (That a refused drop adds no step is checked on the value list, which refuses files that
    // are not text.)
    void bounds() {
        Editor editor;
        editor.setUndoBudget(100'000);
        const auto line = [](int i) { return QString(10'000, QChar('a' + i)); };
        for (int i = 0; i < 26; ++i)
            editor.replace(0, TextEditor::Position(editor.text().size()), line(i));
        QVERIFY(editor.undoHistory().bytes() <= editor.undoHistory().budget());
        const auto kept = int(editor.undoHistory().count());
        QVERIFY(kept >= 4 && kept < 26);
        while (editor.undoHistory().canUndo())
            editor.undo();
        QCOMPARE(fromUtf8(editor.text()), line(25 - kept));

        editor.replace(0, 0, QString(90'000, 'z')); // a step within the budget stays
        QCOMPARE(editor.undoHistory().count(), 1U);
        editor.undo();
        QCOMPARE(fromUtf8(editor.text()), line(25 - kept));
        editor.replace(0, 0, QString(200'000, 'x'));
        QCOMPARE(editor.text().size(), 210'000U);
        QCOMPARE(editor.undoHistory().count(), 0U);

        QSignalSpy refused(&editor, &TextEditor::refused);
        editor.setMaximumSize(210'010);
        editor.selectAll();
        editor.insert(QString(210'011, 'y'));
        QCOMPARE(editor.text().size(), 210'000U);
        QCOMPARE(refused.count(), 1);
        QCOMPARE(refused.first().first().value<TextEditor::Position>(), 210'011);
        editor.insert(QString(210'010, 'y'));
        QCOMPARE(editor.text(), std::string(210'010, 'y'));
        QCOMPARE(refused.count(), 1);
    }
};

QTEST_MAIN(TstEditor)
#include "tst_editor.moc"
