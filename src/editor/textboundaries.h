// The pieces of a text a screen reader asks for: the character, word, sentence, line or
// paragraph before, at or after an offset, as Qt's accessible text interfaces answer them.
// Every offset from 0 to the text's end is answered, in time linear in the text.
#pragma once

#include <QAccessible>
#include <QAccessibleWidget>
#include <QString>

namespace textboundaries {

enum class Side { Before, At, After };

// A piece of the text from start to end (UTF-16 offsets); -1 and -1 with an empty text where
// there is none (before the first piece, after the last, or at an offset outside the text).
struct Piece {
    QString text;
    int start = -1;
    int end = -1;
};

// Characters are grapheme clusters; words and sentences run from one start or end of an item
// to the next (so the spaces between two words are a piece of their own); a line or paragraph
// runs to its line feed and holds it. No piece runs on past a line feed. At the end of the
// text the piece at it is the last one, unless the text ends with a line feed or characters
// are asked for: then it is empty. An offset of -1 stands for the end of the text.
Piece piece(const QString& text, int offset, QAccessible::TextBoundaryType boundary, Side side);

// A text interface that answers a screen reader's questions about pieces through the
// answer(at, boundary, side, start, end) of Interface, which derives from it: the pieces before,
// at and after an offset, and the run of attributes there, which is the line (the text has no
// attributes, and a run of a line is read whole).
template <typename Interface> class Answers : public QAccessibleTextInterface {
public:
    QString attributes(int at, int* start, int* end) const override {
        self().answer(at, QAccessible::LineBoundary, Side::At, start, end);
        return {};
    }
    QString textBeforeOffset(int at, QAccessible::TextBoundaryType boundary, int* start,
                             int* end) const override {
        return self().answer(at, boundary, Side::Before, start, end);
    }
    QString textAtOffset(int at, QAccessible::TextBoundaryType boundary, int* start,
                         int* end) const override {
        return self().answer(at, boundary, Side::At, start, end);
    }
    QString textAfterOffset(int at, QAccessible::TextBoundaryType boundary, int* start,
                            int* end) const override {
        return self().answer(at, boundary, Side::After, start, end);
    }

private:
    const Interface& self() const { return static_cast<const Interface&>(*this); }
};

// A widget whose editable text a screen reader reads and changes, its questions about pieces
// answered as Answers does.
template <typename Interface>
class AccessibleTextWidget : public QAccessibleWidget,
                             public Answers<Interface>,
                             public QAccessibleEditableTextInterface {
public:
    explicit AccessibleTextWidget(QWidget* widget)
        : QAccessibleWidget(widget, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
};

} // namespace textboundaries
