// A plain-text editor made for long lists of short lines: its text is one UTF-8 string with
// a carriage return between lines and an index of the line starts (TextBuffer), and only the
// lines in view are laid out and painted, of a long line only the pieces in view. A million
// lines take a few megabytes and a paste of them a fraction of a second. It edits like Qt's
// text widgets: keyboard and mouse selection, undo and redo, cut, copy and paste, drag and
// drop, input methods, a context menu, and it speaks to screen readers through Qt's
// accessible text interfaces.
#pragma once

#include "edithistory.h"
#include "textbuffer.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QMimeData>
#include <QPointer>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

class QPainter;
class QTextLayout;

// The busy cursor while it lives, for a step that may take long (a paste, a drop, reading a
// long list); what waits to be painted is painted first, so that no window stays blank.
struct BusyCursor {
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

class TextEditor : public QAbstractScrollArea {
    Q_OBJECT
public:
    using Position = TextBuffer::Position; // a byte offset into text()
    // Where the cursor goes by the keys: Start and Finish are the ends of the text.
    enum class Move {
        Left,
        Right,
        WordLeft,
        WordRight,
        Up,
        Down,
        PageUp,
        PageDown,
        Home,
        End,
        Start,
        Finish
    };

    explicit TextEditor(QWidget* parent = nullptr);

    // The text as UTF-8, a carriage return between lines.
    const std::string& text() const { return buffer_.text(); }
    const TextBuffer& buffer() const { return buffer_; }
    Position lineCount() const { return buffer_.lineCount(); }

    Position cursorPosition() const { return cursor_; }
    Position anchor() const { return anchor_; }
    // Selects from anchor to position, the cursor at position; both end up at the starts of
    // characters within the text.
    void setSelection(Position anchor, Position position);
    bool hasSelection() const { return anchor_ != cursor_; }
    // The selected text with line feeds between lines, as other programs take it.
    QString selectedText() const;
    // The text between two positions with line feeds between lines.
    QString textBetween(Position from, Position to) const;
    // Replaces from..to with text, one step of the undo history; its line ends become carriage
    // returns. The cursor ends after the new text.
    void replace(Position from, Position to, const QString& text);
    // Replaces the selection with text, as if typed.
    void insert(const QString& text) { replace(selectionStart(), selectionEnd(), text); }
    // The same with UTF-8 bytes, which go in without a conversion (valid UTF-8 is the
    // caller's to see to).
    void insertUtf8(std::string text);
    // How long the text may grow, in bytes: an edit beyond is refused (see refused).
    Position maximumSize() const { return maximumSize_; }
    void setMaximumSize(Position bytes);

    // Offsets in UTF-16 code units (how Qt's strings count) over the whole text, and back.
    Position utf16Offset(Position position) const { return buffer_.utf16Offset(position); }
    Position position(Position utf16Offset) const { return buffer_.position(utf16Offset); }
    // The position nearest to a point of the viewport, and where a character stands in it.
    Position positionAt(QPoint point) const;
    QRect characterRect(Position position) const;

    // A note on a line from whoever shows the text, what the line means to it: a short mark
    // drawn after the line's text, behind a small triangle, and a sentence shown as the line's
    // tooltip and told as cursorNote while the cursor is on the line. Most lines have none; it
    // is asked for the lines in view and the cursor's line only.
    struct LineNote {
        QString mark;
        QString text;
    };
    using LineNotes = std::function<LineNote(Position line, std::string_view text)>;
    void setLineNotes(LineNotes notes);
    LineNote lineNote(Position line) const;
    const QString& cursorNote() const { return cursorNote_; }

    // The undo history, for what it holds; undo() and redo() carry its steps out.
    const EditHistory& undoHistory() const { return undo_; }
    void setUndoBudget(std::size_t bytes) { undo_.setBudget(bytes); }
    // What an input method sees: the surrounding text is the cursor's line, up to a few hundred
    // bytes each side of the cursor (a line may hold millions of characters).
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

public slots:
    void undo();
    void redo();
    void cut();
    void copy() const;
    void paste();
    void selectAll() { setSelection(0, buffer_.size()); }
    void removeSelectedText() { insert({}); }

signals:
    // The bytes from `at` on, removedBytes of them, were replaced by insertedBytes new ones;
    // raised before textChanged, for whoever keeps something per line in step with the text.
    void edited(Position at, Position removedBytes, Position insertedBytes);
    void textChanged();
    // An edit was refused as it would have made the text longer than maximumSize (bytes).
    void refused(Position bytes);
    // The note of the cursor's line changed, by a move to another line or an edit.
    void cursorNoteChanged(const QString& note);

protected:
    // Replaces the whole text (its line ends become carriage returns), forgets the undo
    // history and puts the cursor at the start; raises textChanged.
    void setText(std::string_view text);

    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

    // What a paste or a drop may insert, and inserting it in place of the selection.
    virtual bool canInsertFromMimeData(const QMimeData* source) const;
    virtual void insertFromMimeData(const QMimeData* source);

private:
    class SelectionData;
    Position selectionStart() const { return std::min(anchor_, cursor_); }
    Position selectionEnd() const { return std::max(anchor_, cursor_); }
    Position cursorLine() const { return buffer_.lineOf(cursor_); }
    // Carries out one edit and its undo: the text, the selection, the view, the notices.
    void apply(Position from, Position to, std::string text, Position anchor, Position position);
    void edit(Position from, Position to, std::string text,
              EditHistory::Kind kind = EditHistory::Kind::Other);

    void pasteByKey(bool repeated);
    bool handlesKey(QKeyEvent* event) const;
    bool editByKey(QKeyEvent* event);
    Position target(Move move) const;
    void moveCursor(Move move, bool select);
    // Qt's word steps: to the start of the next word, or of this or the previous one. And the
    // word a double click selects, from its start to its end.
    Position wordEdge(Position position, bool forward) const;
    std::pair<Position, Position> wordAt(Position position) const;

    qreal lineHeight() const;
    int linesInView() const;
    QPointF lineOrigin(Position line) const;
    // A line is laid out in pieces side by side: a short line whole, a long one (a pasted row
    // of values, millions of characters) in pieces of about a kilobyte, of which a keystroke
    // lays out only those in view. Where the pieces of a long line end and how wide each is
    // stays known (LongLine) and follows each edit.
    struct Piece {
        Position start;
        Position end;
        qreal left; // where it starts in its line
    };
    struct LongLine {
        std::vector<Position> ends; // of the pieces, bytes from the line's start
        std::vector<qreal> rights;  // where the pieces end in the line
    };
    const LongLine* longLine(Position line) const; // none for a short line
    void followEdit(Position from, Position to, std::string_view text);
    LongLine recut(const LongLine& line, Position start, Position from, Position to,
                   std::string_view text) const;
    Piece pieceOf(Position line, std::size_t k) const; // the k-th piece of a line
    Piece pieceAt(Position position) const;
    std::size_t pieceAtX(Position line, qreal x) const;
    qreal lineWidth(Position line) const;
    // Lays out one piece; the piece of the cursor with the input method's pending text.
    void layOut(const Piece& piece, QTextLayout& layout, bool withPreedit = false) const;
    // Where a position stands in its piece's layout (UTF-16 units), and the position there.
    int column(const Piece& piece, Position position) const;
    Position positionIn(const Piece& piece, int column) const;
    Position positionInLine(Position line, qreal x) const;
    // A stretch of a line around a position, for finding the edges of characters without
    // converting a long line whole: where it starts and ends, its text, and the
    // position in it (UTF-16 units).
    struct Stretch {
        Position start;
        Position end;
        QString text;
        int at;
    };
    Stretch stretchAround(Position position) const;
    Position previousCharacter(Position position) const;
    Position graphemeEdge(Position position, bool forward) const;
    qreal cursorX(Position position) const;
    QRect cursorRect() const;
    // Scrolls the least that shows the cursor; on another line, sideways as far left as shows
    // it, so that the starts of the lines show.
    void ensureCursorVisible(bool otherLine = false);
    void updateScrollBars();
    void updateWidth(); // the sideways range: as wide as the widest line in view
    // The mouse selects by characters, by words after a double click, by lines after a triple
    // one: from the unit first clicked to the one at a position.
    void extendSelection(Position position);
    void autoScroll();
    void restartCaret();
    void startDrag();
    void notifyCursor() const;
    void updateCursorNote();
    void paintLineNote(QPainter& painter, Position line, QPointF origin) const;

    TextBuffer buffer_;
    Position maximumSize_ = TextBuffer::maximumSize;
    EditHistory undo_;
    Position anchor_ = 0;
    Position cursor_ = 0;
    std::optional<qreal> goalX_; // kept while moving up and down
    QString preedit_;            // the input method's text not yet committed
    int preeditCursor_ = 0;
    std::optional<Position> dropAt_;  // where a dragged text would go
    std::optional<QPoint> dragStart_; // a press in the selection that may start a drag
    bool selecting_ = false; // by the mouse: the view stays under it, but for the autoscroll
    enum class Unit { Character, Word, Line } unit_ = Unit::Character;
    std::pair<Position, Position> unitClicked_; // the word or line selected by the clicks
    QBasicTimer tripleClick_;                   // runs after a double click
    QPoint tripleClickAt_;
    QBasicTimer autoScroll_; // while the mouse selects or drags beyond the edge
    QPoint mouseAt_;
    bool caretOn_ = false;
    bool lastPasteSlow_ = false;
    quint64 edits_ = 0; // how many edits were made, to tell whether the text is the same
    QBasicTimer caretBlink_;
    mutable std::map<Position, LongLine> longLines_; // by where they start
    LineNotes lineNotes_;
    QString cursorNote_;
};

// The selection for the X11 primary selection (see TextEditor::setSelection).
class TextEditor::SelectionData : public QMimeData {
public:
    explicit SelectionData(const TextEditor* editor);
    QStringList formats() const override;

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

private:
    QPointer<const TextEditor> editor_;
    Position from_;
    Position to_;
    quint64 edits_;
    std::optional<QString> copy_; // of a short selection
};
