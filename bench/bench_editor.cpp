// The value list's editor with a screen reader attached (offscreen): a caret move on a million
// lines with one "ä" near the start, and what the reader asks after it, the cursor's offset and
// the character there, both counted in UTF-16 units over the whole text. For comparison, one
// count of the whole text's UTF-16 units, what each move cost when offsets were found by
// scanning from the start. And what the undo history holds after rounds of Ctrl+A, Ctrl+X and
// Ctrl+V on the million lines.
#include "messung.h"

#include "editor/texteditor.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

namespace {

class Editor : public TextEditor {
public:
    using TextEditor::setText;
};

// A screen reader following the caret: it asks where the cursor is and reads the character.
QString heard;
int moves = 0;

void listen() {
    QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
    QAccessible::installUpdateHandler([](QAccessibleEvent* e) {
        if (e->type() != QAccessible::TextCaretMoved)
            return;
        QAccessibleTextInterface* text =
            QAccessible::queryAccessibleInterface(e->object())->textInterface();
        const int at = text->cursorPosition();
        heard = text->text(at, at + 1);
        ++moves;
    });
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    listen();
    Editor editor;
    editor.resize(300, 400);
    editor.show();
    if (!QTest::qWaitForWindowExposed(&editor))
        return 1;
    std::string list = werteliste(1'000'000);
    list.replace(2, 1, "ä");
    editor.setText(list);
    QTest::keyClick(&editor, Qt::Key_End, Qt::ControlModifier);
    bool up = true;
    messen("caret up and down at the end, 1,000,000 lines, one ä, reader", 100, [&] {
        QTest::keyClick(&editor, up ? Qt::Key_Up : Qt::Key_Down);
        up = !up;
    });
    bool left = true;
    messen("caret left and right at the end, 1,000,000 lines, one ä, reader", 100, [&] {
        QTest::keyClick(&editor, left ? Qt::Key_Left : Qt::Key_Right);
        left = !left;
    });
    if (moves < 200 || editor.cursorPosition() != TextEditor::Position(list.size()))
        std::printf("  the reader did not hear each move, or the caret did not come back\n");
    // The undo history stays within its budget however often a million lines are cut and
    // pasted again.
    for (int round = 1; round <= 12; ++round) {
        for (QKeySequence::StandardKey key :
             {QKeySequence::SelectAll, QKeySequence::Cut, QKeySequence::Paste})
            QTest::keySequence(&editor, key);
        if (round % 4 == 0)
            std::printf("%-58s %9.1f MiB   peak memory %7.1f MiB\n",
                        ("undo history after " + std::to_string(round) + " rounds of cut and paste")
                            .c_str(),
                        double(editor.undoHistory().bytes()) / (1 << 20), hoechster_speicher_mib());
    }
    messen("for comparison: UTF-16 units of the whole text, counted", 21, [&] {
        volatile auto units = TextBuffer::utf16Length(editor.text());
        (void)units;
    });
}
