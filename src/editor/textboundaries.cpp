#include "textboundaries.h"

#include <QTextBoundaryFinder>

#include <algorithm>

namespace textboundaries {

namespace {

// The edges between the pieces of one kind; the text's start and end are always edges.
class Edges {
public:
    Edges(const QString& text, QAccessible::TextBoundaryType boundary)
        : text_(text), length_(int(text.size())), boundary_(boundary),
          finder_(finderType(boundary), text) {}

    // The last edge at or before offset.
    int atOrBefore(int offset) {
        if (isLines())
            return offset <= 0 ? 0 : int(text_.lastIndexOf(QChar::LineFeed, offset - 1)) + 1;
        finder_.setPosition(offset);
        while (finder_.position() > 0 && !isEdge())
            finder_.toPreviousBoundary(); // each step goes back, so the loop ends at 0
        return int(std::max<qsizetype>(finder_.position(), 0));
    }
    // The first edge after offset, which lies before the end.
    int after(int offset) {
        if (isLines()) {
            const qsizetype feed = text_.indexOf(QChar::LineFeed, offset);
            return feed < 0 ? length_ : int(feed) + 1;
        }
        finder_.setPosition(offset);
        while (finder_.toNextBoundary() > 0 && finder_.position() < length_ && !isEdge()) {
        } // each step goes on, and at the end toNextBoundary gives -1
        return finder_.position() < 0 ? length_ : int(finder_.position());
    }

private:
    static QTextBoundaryFinder::BoundaryType finderType(QAccessible::TextBoundaryType boundary) {
        switch (boundary) {
        case QAccessible::WordBoundary:
            return QTextBoundaryFinder::Word;
        case QAccessible::SentenceBoundary:
            return QTextBoundaryFinder::Sentence;
        default:
            return QTextBoundaryFinder::Grapheme;
        }
    }
    bool isLines() const {
        return boundary_ == QAccessible::LineBoundary ||
               boundary_ == QAccessible::ParagraphBoundary;
    }
    // No piece runs on past a line feed.
    bool isEdge() const {
        const qsizetype at = finder_.position();
        return (at > 0 && text_[at - 1] == QChar::LineFeed) ||
               (finder_.boundaryReasons() &
                (QTextBoundaryFinder::StartOfItem | QTextBoundaryFinder::EndOfItem));
    }

    const QString& text_;
    const int length_;
    const QAccessible::TextBoundaryType boundary_;
    QTextBoundaryFinder finder_;
};

Piece between(const QString& text, int start, int end) {
    return {text.mid(start, end - start), start, end};
}

} // namespace

Piece piece(const QString& text, int offset, QAccessible::TextBoundaryType boundary, Side side) {
    const int length = int(text.size());
    if (offset == -1)
        offset = length;
    if (offset < 0 || offset > length)
        return {};
    if (boundary == QAccessible::NoBoundary)
        return side == Side::At ? between(text, 0, length) : Piece();

    Edges edges(text, boundary);
    // The piece at the offset; at the end, the last piece or an empty one.
    const bool emptyAtEnd =
        boundary == QAccessible::CharBoundary || length == 0 || text.back() == QChar::LineFeed;
    const int start = offset < length ? edges.atOrBefore(offset)
                                      : (emptyAtEnd ? length : edges.atOrBefore(length - 1));
    const int end = offset < length ? edges.after(offset) : length;
    switch (side) {
    case Side::At:
        return between(text, start, end);
    case Side::Before:
        return start > 0 ? between(text, edges.atOrBefore(start - 1), start) : Piece();
    case Side::After:
        return end < length ? between(text, end, edges.after(end)) : Piece();
    }
    return {};
}

} // namespace textboundaries
