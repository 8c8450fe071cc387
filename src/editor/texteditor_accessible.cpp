// What a screen reader reads and edits of a TextEditor: its text, cursor and selection in
// UTF-16 offsets over the whole text (lines separated by line feeds), through Qt's accessible
// text interfaces.
#include "accessiblefactory.h"
#include "textboundaries.h"
#include "texteditor.h"

#include <QAccessibleWidget>

namespace {

class AccessibleTextEditor : public textboundaries::AccessibleTextWidget<AccessibleTextEditor> {
public:
    explicit AccessibleTextEditor(TextEditor* editor) : AccessibleTextWidget(editor) {}

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = s.multiLine = s.selectableText = true;
        return s;
    }

    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Value
                   ? editor()->textBetween(0, TextEditor::Position(editor()->text().size()))
                   : QAccessibleWidget::text(t);
    }

    // The text interface.
    void selection(int index, int* start, int* end) const override {
        *start = *end = 0;
        if (index == 0 && editor()->hasSelection()) {
            *start = offset(std::min(editor()->anchor(), editor()->cursorPosition()));
            *end = offset(std::max(editor()->anchor(), editor()->cursorPosition()));
        }
    }
    int selectionCount() const override { return editor()->hasSelection() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int) override {
        editor()->setSelection(editor()->cursorPosition(), editor()->cursorPosition());
    }
    void setSelection(int, int start, int end) override {
        editor()->setSelection(position(start), position(end));
    }
    int cursorPosition() const override { return offset(editor()->cursorPosition()); }
    void setCursorPosition(int at) override { editor()->setSelection(position(at), position(at)); }
    QString text(int start, int end) const override {
        return editor()->textBetween(position(start), position(end));
    }
    int characterCount() const override {
        return offset(TextEditor::Position(editor()->text().size()));
    }
    QRect characterRect(int at) const override {
        const QRect rect = editor()->characterRect(position(at));
        return rect.translated(editor()->viewport()->mapToGlobal(QPoint()));
    }
    int offsetAtPoint(const QPoint& point) const override {
        return offset(editor()->positionAt(editor()->viewport()->mapFromGlobal(point)));
    }
    void scrollToSubstring(int start, int) override { setCursorPosition(start); }

    // The editable text interface: each change is one step of the undo history.
    void deleteText(int start, int end) override { replaceText(start, end, {}); }
    void insertText(int at, const QString& text) override { replaceText(at, at, text); }
    void replaceText(int start, int end, const QString& text) override {
        editor()->replace(position(start), position(end), text);
    }

private:
    friend textboundaries::Answers<AccessibleTextEditor>;
    // The piece of the text before, at or after an offset. No piece reaches beyond the line
    // before the offset's line or the line after it, so it is found in these three lines
    // alone: a list of a million lines is not converted whole for each question.
    QString answer(int at, QAccessible::TextBoundaryType boundary, textboundaries::Side side,
                   int* start, int* end) const {
        const int count = characterCount();
        textboundaries::Piece found;
        if (boundary == QAccessible::NoBoundary)
            found = textboundaries::piece(text(0, count), at, boundary, side);
        else if (at == -1 || (at >= 0 && at <= count)) {
            const auto [from, to] = linesAround(position(at == -1 ? count : at));
            const int first = offset(from);
            found = textboundaries::piece(editor()->textBetween(from, to),
                                          at == -1 ? -1 : at - first, boundary, side);
            if (found.start >= 0) {
                found.start += first;
                found.end += first;
            }
        }
        *start = found.start;
        *end = found.end;
        return found.text;
    }
    // From the start of the line before the line of a position to the end of the line after
    // it, with its line end.
    std::pair<TextEditor::Position, TextEditor::Position>
    linesAround(TextEditor::Position at) const {
        const std::string& all = editor()->text();
        const auto size = TextEditor::Position(all.size());
        const auto lineStart = [&](TextEditor::Position p) {
            const std::size_t end =
                p > 0 ? all.rfind(TextBuffer::separator, std::size_t(p - 1)) : std::string::npos;
            return end == std::string::npos ? 0 : TextEditor::Position(end) + 1;
        };
        const auto lineEnd = [&](TextEditor::Position p) {
            const std::size_t end = all.find(TextBuffer::separator, std::size_t(p));
            return end == std::string::npos ? size : TextEditor::Position(end);
        };
        TextEditor::Position from = lineStart(at), to = lineEnd(at);
        if (from > 0)
            from = lineStart(from - 1);
        if (to < size)
            to = std::min(lineEnd(to + 1) + 1, size);
        return {from, to};
    }

    TextEditor* editor() const { return static_cast<TextEditor*>(widget()); }
    int offset(TextEditor::Position at) const { return int(editor()->utf16Offset(at)); }
    TextEditor::Position position(int offset) const { return editor()->position(offset); }
};

QAccessibleInterface* accessibleTextEditor(QWidget* widget) {
    auto* editor = qobject_cast<TextEditor*>(widget);
    return editor ? new AccessibleTextEditor(editor) : nullptr;
}

} // namespace

void installTextEditorAccessibility() {
    installAccessibleFactory<accessibleTextEditor>();
}
