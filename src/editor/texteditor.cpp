#include "texteditor.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStringEncoder>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <QToolTip>

#include <cmath>

namespace {

constexpr int margin = 4;                // between the frame and the text, as in Qt's text widgets
constexpr std::size_t shownBytes = 4096; // of a line, laid out in a few milliseconds
constexpr TextBuffer::Position stretch = 256; // bytes each side, for character and word edges
const QString ellipsis = QStringLiteral("\u2026");

// The start of the character holding byte i of a UTF-8 text, or i where it starts one.
std::size_t characterStart(std::string_view text, std::size_t i) {
    while (i > 0 && i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
        --i;
    return i;
}

std::string utf8(QStringView text) {
    QStringEncoder encoder(QStringEncoder::Utf8);
    std::string bytes(std::size_t(encoder.requiredSpace(text.size())), '\0');
    bytes.resize(std::size_t(encoder.appendToBuffer(bytes.data(), text) - bytes.data()));
    normalizeLineEnds(bytes);
    bytes.shrink_to_fit(); // room for three bytes a character, kept by the undo history else
    return bytes;
}

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// Typed text: printable characters, not the control characters some keys carry, nor a
// character with Ctrl (a shortcut).
bool isTyping(const QKeyEvent* event) {
    const QString text = event->text();
    const Qt::KeyboardModifiers shortcut = event->modifiers() & ~Qt::ShiftModifier;
    return !text.isEmpty() && (text.front().isPrint() || text.front() == QLatin1Char('\t')) &&
           shortcut != Qt::ControlModifier;
}

} // namespace

void installTextEditorAccessibility(); // in texteditor_accessible.cpp

// One edit with what it replaced and the selection before, undone and redone by the undo
// stack. Characters typed one after another are one step.
class EditCommand : public QUndoCommand {
public:
    EditCommand(TextEditor& editor, TextEditor::Position from, TextEditor::Position to,
                std::string text, bool typed)
        : editor_(editor), at_(from),
          removed_(editor.text().substr(std::size_t(from), std::size_t(to - from))),
          inserted_(std::move(text)), anchorBefore_(editor.anchor()),
          cursorBefore_(editor.cursorPosition()), typed_(typed) {}

    void redo() override {
        const auto end = at_ + TextEditor::Position(inserted_.size());
        editor_.apply(at_, at_ + TextEditor::Position(removed_.size()), inserted_, end, end);
    }
    void undo() override {
        editor_.apply(at_, at_ + TextEditor::Position(inserted_.size()), removed_, anchorBefore_,
                      cursorBefore_);
    }
    int id() const override { return typed_ ? 1 : -1; }
    bool mergeWith(const QUndoCommand* other) override {
        const auto& next = static_cast<const EditCommand&>(*other);
        // A new line starts a new step.
        const auto newLine = [](const std::string& text) {
            return text.find(TextBuffer::separator) != std::string::npos;
        };
        if (next.at_ != at_ + TextEditor::Position(inserted_.size()) || !next.removed_.empty() ||
            newLine(inserted_) || newLine(next.inserted_))
            return false;
        inserted_ += next.inserted_;
        return true;
    }

private:
    TextEditor& editor_;
    TextEditor::Position at_;
    std::string removed_;
    std::string inserted_;
    TextEditor::Position anchorBefore_;
    TextEditor::Position cursorBefore_;
    bool typed_;
};

TextEditor::TextEditor(QWidget* parent) : QAbstractScrollArea(parent) {
    installTextEditorAccessibility();
    setAttribute(Qt::WA_InputMethodEnabled);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    verticalScrollBar()->setSingleStep(1);
    updateScrollBars();
}

void TextEditor::setText(std::string_view text) {
    std::string lines(text);
    normalizeLineEnds(lines);
    undo_.clear();
    preedit_.clear();
    apply(0, buffer_.size(), lines, 0, 0);
}

void TextEditor::setSelection(Position anchor, Position position) {
    const auto clamped = [this](Position p) {
        p = std::clamp<Position>(p, 0, buffer_.size());
        return p < buffer_.size() ? previousCharacter(p + 1) : p; // not inside a character
    };
    anchor_ = clamped(anchor);
    cursor_ = clamped(position);
    goalX_.reset();
    ensureCursorVisible();
    restartCaret();
    notifyCursor();
    updateCursorNote();
    // Where the desktop has a selection to paste with the middle button (X11), it is this one.
    if (QClipboard* clipboard = QApplication::clipboard();
        hasSelection() && clipboard->supportsSelection())
        clipboard->setText(selectedText(), QClipboard::Selection);
}

QString TextEditor::textBetween(Position from, Position to) const {
    QString between =
        fromUtf8(std::string_view(text()).substr(std::size_t(from), std::size_t(to - from)));
    return between.replace(QLatin1Char(TextBuffer::separator), QLatin1Char('\n'));
}

QString TextEditor::selectedText() const {
    return textBetween(selectionStart(), selectionEnd());
}

void TextEditor::replace(Position from, Position to, const QString& text) {
    edit(from, to, utf8(text));
}

void TextEditor::edit(Position from, Position to, std::string text, bool typed) {
    from = std::clamp<Position>(from, 0, buffer_.size());
    to = std::clamp<Position>(to, from, buffer_.size());
    if (from == to && text.empty())
        return;
    undo_.push(new EditCommand(*this, from, to, std::move(text), typed));
}

void TextEditor::apply(Position from, Position to, std::string_view text, Position anchor,
                       Position position) {
    const bool tellReader = QAccessible::isActive();
    const Position at = tellReader ? utf16Offset(from) : 0;
    const QString before = tellReader ? textBetween(from, to) : QString();
    buffer_.replace(from, to, text);
    updateScrollBars();
    setSelection(anchor, position);
    viewport()->update();
    if (tellReader) {
        const QString after = textBetween(from, from + Position(text.size()));
        QAccessibleTextUpdateEvent changed(this, int(at), before, after);
        QAccessible::updateAccessibility(&changed);
    }
    emit textChanged();
}

void TextEditor::cut() {
    copy();
    removeSelectedText();
}

void TextEditor::copy() const {
    if (hasSelection())
        QApplication::clipboard()->setText(selectedText());
}

void TextEditor::paste() {
    if (const QMimeData* source = QApplication::clipboard()->mimeData();
        source && canInsertFromMimeData(source))
        insertFromMimeData(source);
}

bool TextEditor::canInsertFromMimeData(const QMimeData* source) const {
    return source->hasText();
}

void TextEditor::insertFromMimeData(const QMimeData* source) {
    insert(source->text());
}

// Keys ---------------------------------------------------------------------------------------

namespace {

using Move = TextEditor::Move;

const struct MoveKey {
    QKeySequence::StandardKey key;
    Move move;
    bool select;
} moveKeys[] = {
    {QKeySequence::MoveToNextChar, Move::Right, false},
    {QKeySequence::MoveToPreviousChar, Move::Left, false},
    {QKeySequence::MoveToNextWord, Move::WordRight, false},
    {QKeySequence::MoveToPreviousWord, Move::WordLeft, false},
    {QKeySequence::MoveToNextLine, Move::Down, false},
    {QKeySequence::MoveToPreviousLine, Move::Up, false},
    {QKeySequence::MoveToNextPage, Move::PageDown, false},
    {QKeySequence::MoveToPreviousPage, Move::PageUp, false},
    {QKeySequence::MoveToStartOfLine, Move::Home, false},
    {QKeySequence::MoveToEndOfLine, Move::End, false},
    {QKeySequence::MoveToStartOfBlock, Move::Home, false},
    {QKeySequence::MoveToEndOfBlock, Move::End, false},
    {QKeySequence::MoveToStartOfDocument, Move::Start, false},
    {QKeySequence::MoveToEndOfDocument, Move::Finish, false},
    {QKeySequence::SelectNextChar, Move::Right, true},
    {QKeySequence::SelectPreviousChar, Move::Left, true},
    {QKeySequence::SelectNextWord, Move::WordRight, true},
    {QKeySequence::SelectPreviousWord, Move::WordLeft, true},
    {QKeySequence::SelectNextLine, Move::Down, true},
    {QKeySequence::SelectPreviousLine, Move::Up, true},
    {QKeySequence::SelectNextPage, Move::PageDown, true},
    {QKeySequence::SelectPreviousPage, Move::PageUp, true},
    {QKeySequence::SelectStartOfLine, Move::Home, true},
    {QKeySequence::SelectEndOfLine, Move::End, true},
    {QKeySequence::SelectStartOfBlock, Move::Home, true},
    {QKeySequence::SelectEndOfBlock, Move::End, true},
    {QKeySequence::SelectStartOfDocument, Move::Start, true},
    {QKeySequence::SelectEndOfDocument, Move::Finish, true},
};

const QKeySequence::StandardKey editKeys[] = {
    QKeySequence::Undo,
    QKeySequence::Redo,
    QKeySequence::Cut,
    QKeySequence::Copy,
    QKeySequence::Paste,
    QKeySequence::SelectAll,
    QKeySequence::Delete,
    QKeySequence::DeleteStartOfWord,
    QKeySequence::DeleteEndOfWord,
    QKeySequence::InsertParagraphSeparator,
    QKeySequence::InsertLineSeparator,
    QKeySequence::Backspace,
};

} // namespace

// The editor claims its keys before any shortcut of a menu, so that Ctrl+V pastes here; a
// letter with Alt is left to the menu bar.
bool TextEditor::handlesKey(QKeyEvent* event) const {
    const bool plain = (event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == 0;
    return (plain && isTyping(event)) || event->key() == Qt::Key_Backspace ||
           std::any_of(std::begin(moveKeys), std::end(moveKeys),
                       [event](const MoveKey& m) { return event->matches(m.key); }) ||
           std::any_of(std::begin(editKeys), std::end(editKeys),
                       [event](auto key) { return event->matches(key); });
}

bool TextEditor::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && handlesKey(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QAbstractScrollArea::event(event);
}

void TextEditor::keyPressEvent(QKeyEvent* event) {
    for (const MoveKey& m : moveKeys) {
        if (event->matches(m.key))
            return moveCursor(m.move, m.select);
    }
    if (!editByKey(event))
        event->ignore();
}

bool TextEditor::editByKey(QKeyEvent* event) {
    const auto removeOr = [this](Position other) {
        if (hasSelection())
            removeSelectedText();
        else
            edit(std::min(cursor_, other), std::max(cursor_, other), {});
    };
    if (event->matches(QKeySequence::Undo))
        undo();
    else if (event->matches(QKeySequence::Redo))
        redo();
    else if (event->matches(QKeySequence::Cut))
        cut();
    else if (event->matches(QKeySequence::Copy))
        copy();
    else if (event->matches(QKeySequence::Paste))
        paste();
    else if (event->matches(QKeySequence::SelectAll))
        selectAll();
    else if (event->matches(QKeySequence::Delete))
        removeOr(target(Move::Right));
    else if (event->matches(QKeySequence::DeleteStartOfWord))
        removeOr(wordEdge(cursor_, false));
    else if (event->matches(QKeySequence::DeleteEndOfWord))
        removeOr(wordEdge(cursor_, true));
    else if (event->key() == Qt::Key_Backspace) // the last character, not the last cluster
        removeOr(previousCharacter(cursor_));
    else if (event->matches(QKeySequence::InsertParagraphSeparator) ||
             event->matches(QKeySequence::InsertLineSeparator))
        edit(selectionStart(), selectionEnd(), std::string(1, TextBuffer::separator), true);
    else if (isTyping(event))
        edit(selectionStart(), selectionEnd(), utf8(event->text()), true);
    else
        return false;
    return true;
}

// Moving ------------------------------------------------------------------------------------

TextEditor::Position TextEditor::previousCharacter(Position position) const {
    do
        --position;
    while (position > 0 &&
           (static_cast<unsigned char>(text()[std::size_t(position)]) & 0xC0) == 0x80);
    return std::max<Position>(position, 0);
}

TextEditor::Position TextEditor::wordEdge(Position position, bool forward) const {
    const Position line = buffer_.lineOf(position);
    if (position == (forward ? buffer_.lineEnd(line) : buffer_.lineStart(line))) // over the end
        return std::clamp<Position>(position + (forward ? 1 : -1), 0, buffer_.size());
    const Stretch around = stretchAround(position);
    QTextBoundaryFinder words(QTextBoundaryFinder::Word, around.text);
    words.setPosition(around.at);
    for (;;) {
        const qsizetype edge = forward ? words.toNextBoundary() : words.toPreviousBoundary();
        if (edge <= 0 || edge >= around.text.size() ||
            (words.boundaryReasons() &
             (forward ? QTextBoundaryFinder::EndOfItem : QTextBoundaryFinder::StartOfItem)))
            return around.start +
                   TextBuffer::bytesFor(std::string_view(text()).substr(std::size_t(around.start)),
                                        std::clamp<qsizetype>(edge, 0, around.text.size()));
    }
}

TextEditor::Position TextEditor::target(Move move) const {
    const Position line = cursorLine();
    const auto graphemeEdge = [&](bool forward) {
        const Stretch around = stretchAround(cursor_);
        QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, around.text);
        characters.setPosition(around.at);
        const qsizetype edge =
            forward ? characters.toNextBoundary() : characters.toPreviousBoundary();
        return around.start +
               TextBuffer::bytesFor(std::string_view(text()).substr(std::size_t(around.start)),
                                    std::max<qsizetype>(edge, 0));
    };
    const auto onLine = [&](Position other) {
        other = std::clamp<Position>(other, 0, buffer_.lineCount() - 1);
        QTextLayout layout;
        layOut(other, layout);
        return shownPosition(other, layout.lineAt(0).xToCursor(goalX_.value_or(cursorX(cursor_))));
    };
    switch (move) {
    case Move::Right:
        return cursor_ == buffer_.lineEnd(line) ? std::min(cursor_ + 1, buffer_.size())
                                                : graphemeEdge(true);
    case Move::Left:
        return cursor_ == buffer_.lineStart(line) ? std::max<Position>(cursor_ - 1, 0)
                                                  : graphemeEdge(false);
    case Move::WordRight:
        return wordEdge(cursor_, true);
    case Move::WordLeft:
        return wordEdge(cursor_, false);
    case Move::Down:
        return line + 1 < buffer_.lineCount() ? onLine(line + 1) : buffer_.size();
    case Move::Up:
        return line > 0 ? onLine(line - 1) : 0;
    case Move::PageDown:
        return onLine(line + linesInView());
    case Move::PageUp:
        return onLine(line - linesInView());
    case Move::Home:
        return buffer_.lineStart(line);
    case Move::End:
        return buffer_.lineEnd(line);
    case Move::Start:
        return 0;
    case Move::Finish:
        return buffer_.size();
    }
    return cursor_;
}

void TextEditor::moveCursor(Move move, bool select) {
    const bool vertical =
        move == Move::Up || move == Move::Down || move == Move::PageUp || move == Move::PageDown;
    // An arrow without Shift leaves a selection at its edge.
    if (hasSelection() && !select && (move == Move::Left || move == Move::Right))
        return setSelection(move == Move::Left ? selectionStart() : selectionEnd(),
                            move == Move::Left ? selectionStart() : selectionEnd());
    const qreal x = goalX_.value_or(cursorX(cursor_));
    const Position to = target(move);
    setSelection(select ? anchor_ : to, to);
    if (vertical)
        goalX_ = x;
}

// Input methods -----------------------------------------------------------------------------

void TextEditor::inputMethodEvent(QInputMethodEvent* event) {
    if (!event->commitString().isEmpty() || event->replacementLength() > 0) {
        Position from = selectionStart(), to = selectionEnd();
        if (!hasSelection() && event->replacementLength() > 0) { // within the line
            const Position line = cursorLine();
            const Stretch around = stretchAround(cursor_);
            const auto at = [&](int units) {
                return std::min(buffer_.lineEnd(line),
                                around.start + TextBuffer::bytesFor(std::string_view(text()).substr(
                                                                        std::size_t(around.start)),
                                                                    std::max(units, 0)));
            };
            from = at(around.at + event->replacementStart());
            to = at(around.at + event->replacementStart() + event->replacementLength());
        }
        edit(from, to, utf8(event->commitString()), true);
    }
    preedit_ = event->preeditString();
    preeditCursor_ = int(preedit_.size());
    for (const QInputMethodEvent::Attribute& a : event->attributes())
        if (a.type == QInputMethodEvent::Cursor)
            preeditCursor_ = std::clamp(a.start, 0, int(preedit_.size()));
    viewport()->update();
    event->accept();
}

// The input method sees the stretch of the line around the cursor as the surrounding text.
QVariant TextEditor::inputMethodQuery(Qt::InputMethodQuery query) const {
    const Stretch around = stretchAround(cursor_);
    switch (query) {
    case Qt::ImEnabled:
        return isEnabled();
    case Qt::ImHints:
        return int(Qt::ImhMultiLine);
    case Qt::ImCursorRectangle:
        return cursorRect().translated(viewport()->pos());
    case Qt::ImFont:
        return font();
    case Qt::ImCursorPosition:
        return around.at;
    case Qt::ImAnchorPosition: {
        const Position anchor = std::clamp(anchor_, around.start, around.end);
        return int(TextBuffer::utf16Length(std::string_view(text()).substr(
            std::size_t(around.start), std::size_t(anchor - around.start))));
    }
    case Qt::ImSurroundingText:
        return around.text;
    case Qt::ImCurrentSelection:
        return selectedText();
    case Qt::ImTextBeforeCursor:
        return around.text.left(around.at);
    case Qt::ImTextAfterCursor:
        return around.text.mid(around.at);
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}

// Layout and painting -----------------------------------------------------------------------

qreal TextEditor::lineHeight() const {
    return QFontMetricsF(font()).lineSpacing();
}

int TextEditor::linesInView() const {
    return std::max(1, int((viewport()->height() - margin) / lineHeight()));
}

QPointF TextEditor::lineOrigin(Position line) const {
    return {qreal(margin - horizontalScrollBar()->value()),
            margin + qreal(line - verticalScrollBar()->value()) * lineHeight()};
}

std::string_view TextEditor::shownText(Position line) const {
    const std::string_view whole = buffer_.lineText(line);
    return whole.substr(0, characterStart(whole, std::min(whole.size(), shownBytes)));
}

int TextEditor::shownColumn(Position position) const {
    const Position line = buffer_.lineOf(position);
    const std::string_view shown = shownText(line);
    const Position inLine = position - buffer_.lineStart(line);
    if (inLine > Position(shown.size()))
        return int(TextBuffer::utf16Length(shown) + ellipsis.size());
    return int(TextBuffer::utf16Length(shown.substr(0, std::size_t(inLine))));
}

TextEditor::Position TextEditor::shownPosition(Position line, int at) const {
    const std::string_view shown = shownText(line);
    if (shown.size() < buffer_.lineText(line).size() && at > TextBuffer::utf16Length(shown))
        return buffer_.lineEnd(line);
    return buffer_.lineStart(line) + TextBuffer::bytesFor(shown, at);
}

TextEditor::Stretch TextEditor::stretchAround(Position position) const {
    const Position line = buffer_.lineOf(position);
    const std::string_view all = text();
    const auto from = Position(
        characterStart(all, std::size_t(std::max(buffer_.lineStart(line), position - stretch))));
    const auto to = Position(
        characterStart(all, std::size_t(std::min(buffer_.lineEnd(line), position + stretch))));
    const std::string_view before = all.substr(std::size_t(from), std::size_t(position - from));
    return {from, to, fromUtf8(all.substr(std::size_t(from), std::size_t(to - from))),
            int(TextBuffer::utf16Length(before))};
}

void TextEditor::layOut(Position line, QTextLayout& layout, bool withPreedit) const {
    const std::string_view shown = shownText(line);
    layout.setText(shown.size() < buffer_.lineText(line).size() ? fromUtf8(shown) + ellipsis
                                                                : fromUtf8(shown));
    layout.setFont(font());
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    if (withPreedit && !preedit_.isEmpty()) {
        layout.setPreeditArea(shownColumn(cursor_), preedit_);
        QTextCharFormat underlined;
        underlined.setFontUnderline(true);
        layout.setFormats({{shownColumn(cursor_), int(preedit_.size()), underlined}});
    }
    layout.beginLayout();
    QTextLine textLine = layout.createLine();
    textLine.setLeadingIncluded(true);
    textLine.setLineWidth(1e6); // no wrapping
    textLine.setPosition({});
    layout.endLayout();
}

qreal TextEditor::cursorX(Position position) const {
    QTextLayout layout;
    layOut(buffer_.lineOf(position), layout);
    return layout.lineAt(0).cursorToX(shownColumn(position));
}

QRect TextEditor::cursorRect() const {
    const QPointF origin = lineOrigin(cursorLine());
    return QRectF(origin.x() + cursorX(cursor_), origin.y(), 1, lineHeight()).toAlignedRect();
}

QRect TextEditor::characterRect(Position position) const {
    const Position line = buffer_.lineOf(position);
    const QPointF origin = lineOrigin(line);
    const qreal x = cursorX(position);
    const qreal next = position < buffer_.lineEnd(line) ? cursorX(target(Move::Right)) : x;
    return QRectF(origin.x() + x, origin.y(), std::max<qreal>(next - x, 1), lineHeight())
        .toAlignedRect();
}

TextEditor::Position TextEditor::positionAt(QPoint point) const {
    const Position line = std::clamp<Position>(
        verticalScrollBar()->value() + Position(std::floor((point.y() - margin) / lineHeight())), 0,
        buffer_.lineCount() - 1);
    QTextLayout layout;
    layOut(line, layout);
    return shownPosition(line, layout.lineAt(0).xToCursor(point.x() - lineOrigin(line).x()));
}

void TextEditor::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const QPalette colours = palette();
    painter.setPen(colours.color(QPalette::Text));
    const Position first = verticalScrollBar()->value();
    const Position end = std::min(buffer_.lineCount(), first + linesInView() + 2);
    const Position cursorAt = cursorLine();
    for (Position line = first; line < end; ++line) {
        QTextLayout layout;
        layOut(line, layout, line == cursorAt);
        QList<QTextLayout::FormatRange> selection;
        const Position start = buffer_.lineStart(line), lineEnd = buffer_.lineEnd(line);
        const QPointF origin = lineOrigin(line);
        if (hasSelection() && selectionStart() <= lineEnd && selectionEnd() > start) {
            QTextCharFormat highlighted;
            highlighted.setBackground(colours.brush(QPalette::Highlight));
            highlighted.setForeground(colours.brush(QPalette::HighlightedText));
            const int from = shownColumn(std::max(selectionStart(), start));
            selection.append(
                {from, shownColumn(std::min(selectionEnd(), lineEnd)) - from, highlighted});
            if (selectionEnd() > lineEnd) // a selected line end: the rest of the line
                painter.fillRect(QRectF(origin.x() + layout.lineAt(0).naturalTextWidth(),
                                        origin.y(), viewport()->width(), lineHeight()),
                                 colours.brush(QPalette::Highlight));
        }
        layout.draw(&painter, origin, selection);
        if (line == cursorAt && caretOn_ && hasFocus())
            layout.drawCursor(&painter, origin, shownColumn(cursor_) + preeditCursor_);
        if (dropAt_ && buffer_.lineOf(*dropAt_) == line)
            layout.drawCursor(&painter, origin, shownColumn(*dropAt_));
        paintLineNote(painter, line, layout.lineAt(0).naturalTextWidth(), origin);
    }
    // The focus mark: a frame in the selection colour, clear at any device pixel ratio.
    if (hasFocus()) {
        painter.setPen(QPen(colours.color(QPalette::Highlight), 2));
        painter.drawRect(QRectF(viewport()->rect()).adjusted(1, 1, -1, -1));
    }
}

void TextEditor::updateScrollBars() {
    QScrollBar* bar = verticalScrollBar();
    bar->setPageStep(linesInView());
    bar->setRange(0, int(std::max<Position>(0, buffer_.lineCount() - linesInView())));
}

void TextEditor::ensureCursorVisible() {
    QScrollBar* bar = verticalScrollBar();
    const Position line = cursorLine();
    if (line < bar->value())
        bar->setValue(int(line));
    else if (line >= bar->value() + linesInView())
        bar->setValue(int(line - linesInView() + 1));
    // Sideways, a long line scrolls to keep the cursor in view.
    QScrollBar* across = horizontalScrollBar();
    const int x = int(std::ceil(cursorX(cursor_)));
    const int room = viewport()->width() - 2 * margin - 1;
    across->setRange(0, std::max({across->value(), x - room, 0}));
    if (x < across->value())
        across->setValue(x);
    else if (x > across->value() + room)
        across->setValue(x - room);
}

void TextEditor::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void TextEditor::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        updateScrollBars();
}

// The caret blinks while the editor has the focus, and shows at once after each move.
void TextEditor::restartCaret() {
    caretOn_ = hasFocus();
    const int flash = QApplication::cursorFlashTime();
    if (caretOn_ && flash > 0)
        caretBlink_.start(flash / 2, this);
    else
        caretBlink_.stop();
    viewport()->update();
}

void TextEditor::timerEvent(QTimerEvent* event) {
    if (event->timerId() != caretBlink_.timerId())
        return QAbstractScrollArea::timerEvent(event);
    caretOn_ = !caretOn_;
    viewport()->update(cursorRect());
}

void TextEditor::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    restartCaret();
}

void TextEditor::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    restartCaret();
}

// Mouse, menu, drag and drop ----------------------------------------------------------------

void TextEditor::mousePressEvent(QMouseEvent* event) {
    const Position at = positionAt(event->position().toPoint());
    if (QClipboard* clipboard = QApplication::clipboard();
        event->button() == Qt::MiddleButton && clipboard->supportsSelection()) {
        setSelection(at, at);
        return insert(clipboard->text(QClipboard::Selection));
    }
    if (event->button() != Qt::LeftButton)
        return;
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    if (!extend && hasSelection() && selectionStart() <= at && at < selectionEnd()) {
        dragStart_ = event->position().toPoint();
        return;
    }
    setSelection(extend ? anchor_ : at, at);
    selecting_ = true;
}

void TextEditor::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (dragStart_ &&
        (point - *dragStart_).manhattanLength() >= QApplication::startDragDistance()) {
        dragStart_.reset();
        startDrag();
    } else if (selecting_ && (event->buttons() & Qt::LeftButton)) {
        setSelection(anchor_, positionAt(point));
    }
}

void TextEditor::mouseReleaseEvent(QMouseEvent* event) {
    if (dragStart_) { // a click into the selection, not a drag
        const Position at = positionAt(event->position().toPoint());
        setSelection(at, at);
    }
    dragStart_.reset();
    selecting_ = false;
}

void TextEditor::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const Position at = positionAt(event->position().toPoint());
    const Stretch around = stretchAround(at);
    QTextBoundaryFinder words(QTextBoundaryFinder::Word, around.text);
    // The word at the click, or before it at the end of the line.
    words.setPosition(
        std::min<qsizetype>(around.at, std::max<qsizetype>(around.text.size() - 1, 0)));
    const qsizetype start = words.isAtBoundary() ? words.position() : words.toPreviousBoundary();
    words.setPosition(start);
    const qsizetype end = std::max(words.toNextBoundary(), start);
    const auto bytes = [&](qsizetype units) {
        return around.start +
               TextBuffer::bytesFor(std::string_view(text()).substr(std::size_t(around.start)),
                                    std::max<qsizetype>(units, 0));
    };
    setSelection(bytes(start), bytes(end));
}

void TextEditor::contextMenuEvent(QContextMenuEvent* event) {
    // Qt's own wording, which its translations turn into the user's language.
    const auto text = [](const char* source) {
        return QCoreApplication::translate("QWidgetTextControl", source);
    };
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const auto add = [&](const char* caption, auto slot, QKeySequence::StandardKey key,
                         bool enabled) {
        QAction* action = menu->addAction(text(caption), this, slot);
        action->setShortcut(key);
        action->setEnabled(enabled);
    };
    add("&Undo", &TextEditor::undo, QKeySequence::Undo, undo_.canUndo());
    add("&Redo", &TextEditor::redo, QKeySequence::Redo, undo_.canRedo());
    menu->addSeparator();
    add("Cu&t", &TextEditor::cut, QKeySequence::Cut, hasSelection());
    add("&Copy", &TextEditor::copy, QKeySequence::Copy, hasSelection());
    const QMimeData* clipboard = QApplication::clipboard()->mimeData();
    add("&Paste", &TextEditor::paste, QKeySequence::Paste,
        clipboard && canInsertFromMimeData(clipboard));
    add("Delete", &TextEditor::removeSelectedText, QKeySequence::UnknownKey, hasSelection());
    menu->addSeparator();
    add("Select All", &TextEditor::selectAll, QKeySequence::SelectAll, buffer_.size() > 0);
    menu->popup(event->globalPos());
}

void TextEditor::startDrag() {
    auto* drag = new QDrag(this);
    auto* data = new QMimeData;
    data->setText(selectedText());
    drag->setMimeData(data);
    // A move onto this editor is done by its drop; onto another program, here.
    if (drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction) == Qt::MoveAction &&
        drag->target() != viewport())
        removeSelectedText();
}

void TextEditor::dragEnterEvent(QDragEnterEvent* event) {
    if (canInsertFromMimeData(event->mimeData()))
        event->acceptProposedAction();
}

void TextEditor::dragMoveEvent(QDragMoveEvent* event) {
    if (!canInsertFromMimeData(event->mimeData()))
        return event->ignore();
    dropAt_ = positionAt(event->position().toPoint());
    viewport()->update();
    event->acceptProposedAction();
}

void TextEditor::dragLeaveEvent(QDragLeaveEvent*) {
    dropAt_.reset();
    viewport()->update();
}

// A text dragged within the editor moves in one step of the undo history; dropped into itself
// it stays.
void TextEditor::dropEvent(QDropEvent* event) {
    dropAt_.reset();
    Position at = positionAt(event->position().toPoint());
    const bool moving = event->source() == this && event->dropAction() == Qt::MoveAction;
    if (!canInsertFromMimeData(event->mimeData()) ||
        (moving && selectionStart() <= at && at <= selectionEnd()))
        return viewport()->update();
    undo_.beginMacro(QStringLiteral("drop"));
    if (moving) {
        if (at > selectionEnd())
            at -= selectionEnd() - selectionStart();
        removeSelectedText();
    }
    setSelection(at, at);
    insertFromMimeData(event->mimeData());
    undo_.endMacro();
    setSelection(at, cursor_);
    event->acceptProposedAction();
}

void TextEditor::notifyCursor() const {
    if (!QAccessible::isActive())
        return;
    auto* self = const_cast<TextEditor*>(this);
    QAccessibleTextCursorEvent moved(self, int(utf16Offset(cursor_)));
    QAccessible::updateAccessibility(&moved);
    if (hasSelection()) {
        QAccessibleTextSelectionEvent selected(self, int(utf16Offset(selectionStart())),
                                               int(utf16Offset(selectionEnd())));
        QAccessible::updateAccessibility(&selected);
    }
}

// Line notes ----------------------------------------------------------------------------------

void TextEditor::setLineNotes(LineNotes notes) {
    lineNotes_ = std::move(notes);
    viewport()->update();
    updateCursorNote();
}

TextEditor::LineNote TextEditor::lineNote(Position line) const {
    return lineNotes_ ? lineNotes_(line, buffer_.lineText(line)) : LineNote{};
}

void TextEditor::updateCursorNote() {
    QString note = lineNote(cursorLine()).text;
    if (note == cursorNote_)
        return;
    cursorNote_ = std::move(note);
    emit cursorNoteChanged(cursorNote_);
}

// The mark stands a blank after the line's text; where that is beyond the view (a long line),
// at the view's right edge over the text, so that it is always seen.
void TextEditor::paintLineNote(QPainter& painter, Position line, qreal textWidth,
                               QPointF origin) const {
    const QString mark = lineNote(line).mark;
    if (mark.isEmpty())
        return;
    const QFontMetricsF metrics(font());
    const qreal gap = metrics.horizontalAdvance(QLatin1Char(' '));
    const qreal right = viewport()->width() - margin;
    const QString shown = metrics.elidedText(mark, Qt::ElideRight, right / 2);
    const qreal triangle = metrics.xHeight();
    const qreal width = triangle + gap / 2 + metrics.horizontalAdvance(shown);
    const qreal after = origin.x() + textWidth + gap;
    const QRectF area(std::min(after, right - width), origin.y(), width, lineHeight());
    if (area.left() < after)
        painter.fillRect(area.adjusted(-gap / 2, 0, 0, 0), palette().brush(QPalette::Base));
    const QColor colour = palette().color(QPalette::Link);
    const qreal baseline = origin.y() + metrics.ascent();
    const qreal middle = baseline - metrics.xHeight() / 2;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPolygon(QPolygonF{{area.left(), middle - triangle / 2},
                                  {area.left() + triangle * 0.8, middle},
                                  {area.left(), middle + triangle / 2}});
    painter.setPen(colour);
    painter.drawText(QPointF(area.left() + triangle + gap / 2, baseline), shown);
    painter.restore();
}

// A note's sentence is the tooltip of its line.
bool TextEditor::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return QAbstractScrollArea::viewportEvent(event);
    auto* help = static_cast<QHelpEvent*>(event);
    const Position line =
        verticalScrollBar()->value() + Position(std::floor((help->y() - margin) / lineHeight()));
    const QString note = line >= 0 && line < buffer_.lineCount() ? lineNote(line).text : QString();
    const QRect lineRect =
        QRectF(0, lineOrigin(line).y(), viewport()->width(), lineHeight()).toAlignedRect();
    if (note.isEmpty())
        QToolTip::hideText();
    else // until the mouse leaves the line
        QToolTip::showText(help->globalPos(), note, viewport(), lineRect);
    help->setAccepted(!note.isEmpty()); // as a widget without a tooltip
    return true;
}
