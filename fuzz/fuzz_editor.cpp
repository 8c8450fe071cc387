// The value list's editor under random sequences of replacements, pastes with mixed line ends,
// typing, Backspace and Delete, a screen reader's edits, undo and redo, against a plain string
// edited alike. After each step the text, the line index and every UTF-16 offset agree with
// the plain string, the screen reader reads the same text and cursor it was told of, and undo
// and redo walk through the texts that were.
#include "pruefen.h"

#include "editor/editorchecks.h"
#include "editor/texteditor.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QAccessible>
#include <QAccessibleEditableTextInterface>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>

#include <deque>

namespace {

// The editor's line ends and blanks, made independently: one carriage return for every kind of
// line end, a blank for a no-break space.
std::string normalized(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace('\r', '\n');
    text.replace(QChar::LineSeparator, '\n').replace(QChar::ParagraphSeparator, '\n');
    return text.replace(QChar::Nbsp, ' ').replace('\n', '\r').toStdString();
}

QString someText(FuzzedDataProvider& input) {
    static const QString pieces[] = {"1", "x",  " ",  ";",    "ä",      "€",      "😀",
                                     "𝄞", "\r", "\n", "\r\n", "\u2028", "\u2029", "\u00A0"};
    QString text;
    for (int i = input.ConsumeIntegralInRange(0, 12); i > 0; --i)
        text += input.PickValueInArray(pieces);
    return text;
}

// A byte position at the start of a character.
TextEditor::Position somePosition(FuzzedDataProvider& input, const std::string& text,
                                  std::size_t from = 0) {
    std::size_t p = input.ConsumeIntegralInRange(from, text.size());
    while (p > from && p < text.size() && (text[p] & 0xC0) == 0x80)
        --p;
    return TextEditor::Position(p);
}

// The byte length of the first characters of a text, up to a count of UTF-16 units; a unit
// inside a pair counts for nothing.
TextEditor::Position bytesOfUnits(const std::string& text, int units) {
    const QString all = fromUtf8(text);
    units = std::clamp<int>(units, 0, int(all.size()));
    if (units > 0 && units < all.size() && all[units].isLowSurrogate())
        --units;
    return all.left(units).toUtf8().size();
}

// The character after a position, or before it.
std::size_t characterBytes(const std::string& text, std::size_t p, bool forward) {
    std::size_t q = p;
    while (forward ? q < text.size() && (text[++q] & 0xC0) == 0x80
                   : q > 0 && (text[--q] & 0xC0) == 0x80)
        ;
    return forward ? q - p : p - q;
}

void key(TextEditor& editor, int key, Qt::KeyboardModifiers modifiers = {},
         const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(&editor, &press);
}

// The texts the undo history went through: the one before its first step, then after each.
struct History {
    std::deque<std::string> texts;
    std::size_t done = 0;

    // After an edit: a new step, a step joined with the last, or no step at all.
    void edited(const TextEditor& editor, const EditHistory& steps) {
        if (steps.canRedo()) {
            pruefen(editor.text() == texts[done], "an edit that records nothing changes nothing");
            return;
        }
        texts.resize(done + 1);
        if (steps.count() == done + 1) {
            texts.push_back(editor.text());
            ++done;
        }
        pruefen(steps.count() == done, "an edit adds at most one step");
        texts[done] = editor.text();
    }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Kept to the end of the process: destroyed among the other statics at its exit, it
    // would outlive parts of Qt it cleans up.
    static auto* application = new QApplication(*argc, *argv);
    (void)application;
    followReader();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    Editor editor;
    editor.setText(normalized(someText(input)));
    std::string plain = editor.text();
    History history{{plain}};
    const EditHistory& steps = editor.undoHistory();
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&editor);
    QAccessibleTextInterface& reader = *accessible->textInterface();
    followed = reader.text(0, reader.characterCount());
    for (int step = 0; step < 100 && input.remaining_bytes() > 0; ++step) {
        const int action = input.ConsumeIntegralInRange(0, 8);
        const TextEditor::Position from = somePosition(input, plain);
        const TextEditor::Position to = somePosition(input, plain, std::size_t(from));
        const bool edits = action < 6;
        if (edits && action != 5)
            editor.setSelection(from, to);
        switch (action) {
        case 0: // replaced from code, pasted, typed
        case 1:
        case 2: {
            const QString text =
                action == 2 ? input.PickValueInArray<QString>({"7", "ä", "😀", "\r", "\u00A0", "\t"})
                            : someText(input);
            if (action == 0)
                editor.replace(from, to, text);
            else if (action == 1)
                QApplication::clipboard()->setText(text), editor.paste();
            else if (text == "\r")
                key(editor, Qt::Key_Return);
            else
                key(editor, Qt::Key_unknown, {}, text);
            plain.replace(std::size_t(from), std::size_t(to - from), normalized(text));
            break;
        }
        case 3: // Backspace and Delete at a cursor, without a selection
        case 4: {
            const bool forward = action == 4;
            editor.setSelection(to, to);
            key(editor, forward ? Qt::Key_Delete : Qt::Key_Backspace);
            const std::size_t n = characterBytes(plain, std::size_t(to), forward);
            plain.erase(std::size_t(to) - (forward ? 0 : n), n);
            break;
        }
        case 5: { // a screen reader's insertion or replacement, in UTF-16 offsets
            const int units = int(fromUtf8(plain).size());
            const int start = input.ConsumeIntegralInRange(-1, units + 1);
            const int end = input.ConsumeIntegralInRange(start, units + 1);
            const QString text = someText(input);
            QAccessibleEditableTextInterface* editable = accessible->editableTextInterface();
            start == end ? editable->insertText(start, text)
                         : editable->replaceText(start, end, text);
            const TextEditor::Position a = bytesOfUnits(plain, start);
            const TextEditor::Position b = std::max(a, bytesOfUnits(plain, end));
            plain.replace(std::size_t(a), std::size_t(b - a), normalized(text));
            break;
        }
        case 6: // undo and redo, by key now and then
        case 7: {
            const bool back = action == 6;
            if (input.ConsumeBool())
                key(editor, Qt::Key_Z,
                    back ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
            else if (back)
                editor.undo();
            else
                editor.redo();
            if (back ? history.done > 0 : history.done + 1 < history.texts.size())
                history.done += back ? -1 : 1;
            plain = history.texts[history.done];
            break;
        }
        case 8: // the screen reader moves the cursor
            reader.setCursorPosition(input.ConsumeIntegralInRange(-1, reader.characterCount() + 1));
            break;
        }
        if (edits)
            history.edited(editor, steps);
        pruefen(editor.text() == plain, "the editor's text is the plain string's");
        pruefen(bufferDisagreement(editor.buffer(), plain).isEmpty(),
                "the line index and the UTF-16 offsets agree with the text");
        const QString shown = fromUtf8(plain).replace('\r', '\n');
        pruefen(reader.characterCount() == shown.size() &&
                    reader.text(0, reader.characterCount()) == shown && followed == shown,
                "the screen reader reads the text and was told of each change");
        pruefen(reader.cursorPosition() == followedAt &&
                    followedAt ==
                        fromUtf8(plain.substr(0, std::size_t(editor.cursorPosition()))).size(),
                "the screen reader reads the cursor where it was told it went");
    }
    // Undone to its start, the history gives the text it began with.
    while (steps.canUndo())
        editor.undo();
    pruefen(editor.text() == history.texts.front(), "undone to the start");
    return 0;
}
