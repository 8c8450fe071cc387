// The pieces of a text a screen reader asks for: the character, word, sentence, line or
// paragraph before, at or after an offset, as Qt's accessible text interfaces answer them.
// Every offset from 0 to the text's end is answered, in time linear in the text.
#pragma once

#include <QAccessible>
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

} // namespace textboundaries
