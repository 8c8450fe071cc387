// What a screen reader reads of the controls where Qt's own accessible interfaces mislead it:
// line edits, whose text Qt 6.4 gives as runs of no length (a screen reader reading run by
// run speaks one character) and whose word and sentence queries at the end of the text never
// return; and buttons of which exactly one is chosen, which are radio buttons in a group.
#include "controls.h"

#include "editor/accessiblefactory.h"
#include "editor/textboundaries.h"

#include <QAccessibleWidget>

namespace {

class AccessibleLineEdit : public textboundaries::AccessibleTextWidget<AccessibleLineEdit> {
public:
    explicit AccessibleLineEdit(QLineEdit* edit) : AccessibleTextWidget(edit) {}

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = edit()->isReadOnly();
        s.editable = !edit()->isReadOnly();
        s.passwordEdit = edit()->echoMode() != QLineEdit::Normal;
        s.selectableText = true;
        return s;
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return shown();
        QString text = QAccessibleWidget::text(t);
        if (text.isEmpty() && t == QAccessible::Description)
            text = edit()->placeholderText();
        return text;
    }
    void setText(QAccessible::Text t, const QString& text) override {
        if (t != QAccessible::Value)
            return QAccessibleWidget::setText(t, text);
        replaceText(0, characterCount(), text);
    }

    // The text interface, over the text as shown (a password's as its masks).
    void selection(int index, int* start, int* end) const override {
        *start = *end = 0;
        if (index == 0 && edit()->hasSelectedText()) {
            *start = edit()->selectionStart();
            *end = edit()->selectionEnd();
        }
    }
    int selectionCount() const override { return edit()->hasSelectedText() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int) override { edit()->deselect(); }
    void setSelection(int index, int start, int end) override {
        if (index == 0)
            edit()->setSelection(start, end - start);
    }
    int cursorPosition() const override { return edit()->cursorPosition(); }
    void setCursorPosition(int at) override { edit()->setCursorPosition(at); }
    QString text(int start, int end) const override {
        return start <= end ? shown().mid(start, end - start) : QString();
    }
    int characterCount() const override { return int(shown().size()); }
    // Measured from the caret, which stands in the middle of the rectangle Qt gives for it.
    QRect characterRect(int at) const override {
        const QString text = shown();
        if (at < 0 || at >= text.size())
            return {};
        const QFontMetrics metrics(edit()->font());
        const QRect caret = edit()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const int x = caret.x() + caret.width() / 2 + metrics.horizontalAdvance(text.left(at)) -
                      metrics.horizontalAdvance(text.left(edit()->cursorPosition()));
        const QRect box(x, caret.y(), metrics.horizontalAdvance(text.mid(at, 1)), caret.height());
        return box.translated(edit()->mapToGlobal(QPoint()));
    }
    int offsetAtPoint(const QPoint& point) const override {
        return edit()->cursorPositionAt(edit()->mapFromGlobal(point));
    }
    void scrollToSubstring(int start, int) override { setCursorPosition(start); }

    // The editable text interface: the edit is the user's, like typing (undone with Ctrl+Z).
    void deleteText(int start, int end) override { replaceText(start, end, {}); }
    void insertText(int at, const QString& text) override { replaceText(at, at, text); }
    void replaceText(int start, int end, const QString& text) override {
        if (edit()->isReadOnly() || start < 0 || start > end || end > characterCount())
            return;
        edit()->setSelection(start, end - start);
        edit()->insert(text);
    }

private:
    friend textboundaries::Answers<AccessibleLineEdit>;
    QLineEdit* edit() const { return static_cast<QLineEdit*>(widget()); }
    QString shown() const {
        return edit()->echoMode() == QLineEdit::Normal ? edit()->text() : edit()->displayText();
    }
    QString answer(int at, QAccessible::TextBoundaryType boundary, textboundaries::Side side,
                   int* start, int* end) const {
        textboundaries::Piece found = textboundaries::piece(shown(), at, boundary, side);
        *start = found.start;
        *end = found.end;
        return found.text;
    }
};

// One of several buttons of which exactly one is chosen: a radio button to a screen reader,
// its group the ChoiceGroup it stands in.
class AccessibleChoice : public QAccessibleWidget {
public:
    explicit AccessibleChoice(QAbstractButton* button)
        : QAccessibleWidget(button, QAccessible::RadioButton) {}

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = button()->isChecked();
        return s;
    }
    QString text(QAccessible::Text t) const override {
        const QString text = QAccessibleWidget::text(t);
        return t == QAccessible::Name && text.isEmpty() ? button()->text() : text;
    }
    QStringList actionNames() const override {
        return QStringList(pressAction()) + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == pressAction())
            return button()->click();
        QAccessibleWidget::doAction(action);
    }

private:
    QAbstractButton* button() const { return static_cast<QAbstractButton*>(widget()); }
};

QAccessibleInterface* accessibleControl(QWidget* widget) {
    if (auto* field = qobject_cast<QLineEdit*>(widget))
        return new AccessibleLineEdit(field);
    if (qobject_cast<ChoiceGroup*>(widget))
        return new QAccessibleWidget(widget, QAccessible::Grouping);
    if (auto* button = qobject_cast<QAbstractButton*>(widget);
        button && qobject_cast<ChoiceGroup*>(button->parent()))
        return new AccessibleChoice(button);
    return nullptr;
}

} // namespace

// The application object installs Qt's own interfaces for Qt's widgets: this one comes after
// it, with the first control.
void installControlsAccessibility() {
    installAccessibleFactory<accessibleControl>();
}
