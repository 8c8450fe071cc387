#include "texteditor.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <QToolTip>

#include <cmath>

namespace {

constexpr int margin = 4; // between the frame and the text, as in Qt's text widgets
constexpr TextBuffer::Position pieceBytes = 1024; // of a long line, laid out in a fraction of a ms
constexpr TextBuffer::Position stretch = 256;     // bytes each side, for character edges

// The start of the character holding byte i of a UTF-8 text, or i where it starts one.
std::size_t characterStart(std::string_view text, std::size_t i) {
    while (i > 0 && i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
        --i;
    return i;
}

// The character starting at byte i of a UTF-8 text, and where the next one starts.
std::pair<char32_t, std::size_t> characterAt(std::string_view text, std::size_t i) {
    const auto byte = [text](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    if (byte(i) < 0x80)
        return {byte(i), i + 1};
    const std::size_t length = byte(i) >= 0xF0 ? 4 : byte(i) >= 0xE0 ? 3 : 2;
    char32_t c = byte(i) & (0x7F >> length);
    std::size_t next = i + 1;
    for (; next < std::min(text.size(), i + length); ++next)
        c = (c << 6) | (byte(next) & 0x3F);
    return {c, next};
}

// Words as Qt's text layouts step over them: runs of letters or of the punctuation that
// separates words, and the white space between.
enum class WordClass { Space, Separator, Letter };

WordClass wordClass(std::string_view text, std::size_t i) {
    constexpr std::string_view separators = ".,?!@#$:;-<>[](){}=/+%&^*'\"`~|";
    const char32_t c = characterAt(text, i).first;
    if (QChar::isSpace(c))
        return WordClass::Space;
    return c < 0x80 && separators.find(char(c)) != std::string_view::npos ? WordClass::Separator
                                                                          : WordClass::Letter;
}

std::size_t skipForward(std::string_view line, std::size_t i, WordClass kind) {
    while (i < line.size() && wordClass(line, i) == kind)
        i = characterAt(line, i).second;
    return i;
}

std::size_t skipBack(std::string_view line, std::size_t i, WordClass kind) {
    while (i > 0 && wordClass(line, characterStart(line, i - 1)) == kind)
        i = characterStart(line, i - 1);
    return i;
}

// Within one line: over a run of letters or separators and the white space after it; back
// over white space and the run before it.
std::size_t nextWord(std::string_view line, std::size_t i) {
    if (i < line.size() && wordClass(line, i) != WordClass::Space)
        i = skipForward(line, i, wordClass(line, i));
    return skipForward(line, i, WordClass::Space);
}

std::size_t previousWord(std::string_view line, std::size_t i) {
    i = skipBack(line, i, WordClass::Space);
    return i > 0 ? skipBack(line, i, wordClass(line, characterStart(line, i - 1))) : i;
}

// UTF-8, encoded piece by piece into a string that grows as it needs: no room for three bytes a
// character, and no other whole copy of a long text.
std::string encoded(QStringView text) {
    constexpr qsizetype piece = 1 << 16;
    QStringEncoder encoder(QStringEncoder::Utf8);
    std::vector<char> buffer(std::size_t(encoder.requiredSpace(piece)));
    std::string bytes;
    bytes.reserve(std::size_t(text.size())); // exact for ASCII, as a value list is
    for (qsizetype at = 0; at < text.size(); at += piece) {
        const char* end = encoder.appendToBuffer(buffer.data(), text.mid(at, piece));
        bytes.append(buffer.data(), std::size_t(end - buffer.data()));
    }
    return bytes;
}

// The same with carriage returns between lines.
std::string toUtf8(QStringView text) {
    std::string bytes = encoded(text);
    normalizeLineEnds(bytes);
    return bytes;
}

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// Typed text, as Qt's text fields take it: printable characters (beyond the Basic Multilingual
// Plane too), format characters such as the zero-width non-joiner, characters of private use and
// the tab, but no control character some keys carry, and no character with Ctrl (a shortcut),
// unless a format character, which some keyboards type with Ctrl+Shift.
bool isTyping(const QKeyEvent* event) {
    const QString text = event->text();
    if (text.isEmpty() || !text.isValidUtf16())
        return false;
    const QList<uint> characters = text.toUcs4();
    const auto all = [&](auto test) {
        return std::all_of(characters.begin(), characters.end(), test);
    };
    const auto isFormat = [](uint c) { return QChar::category(c) == QChar::Other_Format; };
    const bool typable = all([&](uint c) {
        return QChar::isPrint(c) || isFormat(c) || QChar::category(c) == QChar::Other_PrivateUse ||
               c == '\t';
    });
    const Qt::KeyboardModifiers shortcut = event->modifiers() & ~Qt::ShiftModifier;
    return all(isFormat) || (typable && shortcut != Qt::ControlModifier);
}

} // namespace

void installTextEditorAccessibility(); // in texteditor_accessible.cpp

TextEditor::TextEditor(QWidget* parent) : QAbstractScrollArea(parent) {
    installTextEditorAccessibility();
    setAttribute(Qt::WA_InputMethodEnabled);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    verticalScrollBar()->setSingleStep(1);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &TextEditor::updateWidth);
    updateScrollBars();
}

void TextEditor::setText(std::string_view text) {
    std::string lines(text);
    normalizeLineEnds(lines);
    undo_.clear();
    preedit_.clear();
    apply(0, buffer_.size(), std::move(lines), 0, 0);
}

void TextEditor::setSelection(Position anchor, Position position) {
    const auto clamped = [this](Position p) {
        p = std::clamp<Position>(p, 0, buffer_.size());
        return p < buffer_.size() ? previousCharacter(p + 1) : p; // not inside a character
    };
    const Position lineBefore = cursorLine();
    anchor_ = clamped(anchor);
    cursor_ = clamped(position);
    goalX_.reset();
    if (!selecting_) // the mouse points into the view, which follows it by the autoscroll
        ensureCursorVisible(cursorLine() != lineBefore);
    restartCaret();
    notifyCursor();
    updateCursorNote();
    // Where the desktop has a selection to paste with the middle button (X11), it is this one.
    if (QClipboard* clipboard = QApplication::clipboard();
        hasSelection() && clipboard->supportsSelection())
        clipboard->setMimeData(new SelectionData(this), QClipboard::Selection);
}

// A long selection (a million lines) would cost a copy at each step of selecting it; it is made
// into text only when a program asks for it, and then holds the text selected at the time, or
// nothing after an edit. A short one is copied at once and outlives edits.
TextEditor::SelectionData::SelectionData(const TextEditor* editor)
    : editor_(editor), from_(editor->selectionStart()), to_(editor->selectionEnd()),
      edits_(editor->edits_) {
    if (to_ - from_ <= pieceBytes * 1024)
        copy_ = editor->selectedText();
}

QStringList TextEditor::SelectionData::formats() const {
    return {QStringLiteral("text/plain")};
}

QVariant TextEditor::SelectionData::retrieveData(const QString& mimeType, QMetaType type) const {
    if (mimeType != QLatin1String("text/plain"))
        return QMimeData::retrieveData(mimeType, type);
    if (copy_ || !editor_ || editor_->edits_ != edits_)
        return copy_.value_or(QString());
    return editor_->textBetween(from_, to_);
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
    edit(from, to, toUtf8(text));
}

void TextEditor::insertUtf8(std::string text) {
    normalizeLineEnds(text);
    edit(selectionStart(), selectionEnd(), std::move(text));
}

void TextEditor::setMaximumSize(Position bytes) {
    maximumSize_ = std::clamp<Position>(bytes, 0, TextBuffer::maximumSize);
}

// An edit that would make the text longer than it may be is refused, and told. One too large
// for the undo history is carried out without a copy for it, and the history is forgotten:
// its steps no longer lead back from the text.
void TextEditor::edit(Position from, Position to, std::string text, EditHistory::Kind kind) {
    from = std::clamp<Position>(from, 0, buffer_.size());
    to = std::clamp<Position>(to, from, buffer_.size());
    if (from == to && text.empty())
        return;
    const auto inserted = Position(text.size());
    const auto end = from + inserted;
    if (buffer_.size() - (to - from) > maximumSize_ - inserted)
        return emit refused(buffer_.size() - (to - from) + inserted);
    if (std::size_t(to - from + inserted) > undo_.budget()) {
        undo_.clear();
        return apply(from, to, std::move(text), end, end);
    }
    const Position anchorBefore = anchor_, cursorBefore = cursor_;
    EditHistory::Edit done{from, buffer_.text().substr(std::size_t(from), std::size_t(to - from)),
                           text};
    apply(from, to, std::move(text), end, end);
    undo_.record(std::move(done), kind, anchorBefore, cursorBefore);
}

void TextEditor::undo() {
    if (const EditHistory::Step* step = undo_.undo())
        for (auto edit = step->edits.rbegin(); edit != step->edits.rend(); ++edit)
            apply(edit->at, edit->at + Position(edit->inserted.size()), edit->removed,
                  step->anchorBefore, step->cursorBefore);
}

void TextEditor::redo() {
    if (const EditHistory::Step* step = undo_.redo())
        for (const EditHistory::Edit& edit : step->edits) {
            const Position end = edit.at + Position(edit.inserted.size());
            apply(edit.at, edit.at + Position(edit.removed.size()), edit.inserted, end, end);
        }
}

void TextEditor::apply(Position from, Position to, std::string text, Position anchor,
                       Position position) {
    const bool tellReader = QAccessible::isActive();
    const Position at = tellReader ? utf16Offset(from) : 0;
    const QString before = tellReader ? textBetween(from, to) : QString();
    const auto inserted = Position(text.size());
    followEdit(from, to, text);
    buffer_.replace(from, to, std::move(text));
    ++edits_;
    updateScrollBars();
    setSelection(anchor, position);
    viewport()->update();
    if (tellReader) {
        const QString after = textBetween(from, from + inserted);
        QAccessibleTextUpdateEvent changed(this, int(at), before, after);
        QAccessible::updateAccessibility(&changed);
    }
    emit edited(from, to - from, inserted);
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
    const BusyCursor busy;
    QElapsedTimer clock;
    clock.start();
    if (const QMimeData* source = QApplication::clipboard()->mimeData();
        source && canInsertFromMimeData(source))
        insertFromMimeData(source);
    lastPasteSlow_ = clock.elapsed() > 100;
}

// Ctrl+V held down pastes again and again only while a paste is quick: the repeats the keyboard
// sends while a long list goes in (a second or more at millions of lines) would each paste it
// once more, the text and the memory growing several times over before anything shows.
void TextEditor::pasteByKey(bool repeated) {
    if (!repeated || !lastPasteSlow_)
        paste();
}

bool TextEditor::canInsertFromMimeData(const QMimeData* source) const {
    return source->hasText();
}

// The text as UTF-8 bytes where the source offers them, else through Qt's string (as from X11's
// UTF8_STRING, which Qt hands over as a string only); each is fetched once, as each fetch from
// another program transfers the whole text again.
void TextEditor::insertFromMimeData(const QMimeData* source) {
    const QString utf8 = QStringLiteral("text/plain;charset=utf-8");
    if (source->hasFormat(utf8)) {
        const QByteArray bytes = source->data(utf8);
        if (isValidUtf8(std::string_view(bytes.constData(), std::size_t(bytes.size()))))
            return insertUtf8(bytes.toStdString());
    }
    std::string bytes = encoded(source->text()); // Qt's string goes before the edit
    insertUtf8(std::move(bytes));
}

BusyCursor::BusyCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}

BusyCursor::~BusyCursor() {
    QApplication::restoreOverrideCursor();
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
    QKeySequence::DeleteEndOfLine,
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
    using Kind = EditHistory::Kind;
    // A run of Backspaces or of Deletes is one step of the undo history.
    const auto removeOr = [this](Position other, Kind kind = Kind::Other) {
        if (hasSelection())
            removeSelectedText();
        else
            edit(std::min(cursor_, other), std::max(cursor_, other), {}, kind);
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
        pasteByKey(event->isAutoRepeat());
    else if (event->matches(QKeySequence::SelectAll))
        selectAll();
    else if (event->matches(QKeySequence::Delete))
        removeOr(target(Move::Right), Kind::Delete);
    else if (event->matches(QKeySequence::DeleteStartOfWord))
        removeOr(wordEdge(cursor_, false));
    else if (event->matches(QKeySequence::DeleteEndOfWord))
        removeOr(wordEdge(cursor_, true));
    else if (const Position end = buffer_.lineEnd(cursorLine());
             event->matches(QKeySequence::DeleteEndOfLine)) // from the anchor, as in Qt's editors
        edit(std::min(anchor_, end), std::max(anchor_, end), {});
    else if (event->key() == Qt::Key_Backspace) // the last character, not the last cluster
        removeOr(previousCharacter(cursor_), Kind::Backspace);
    else if (event->matches(QKeySequence::InsertParagraphSeparator) ||
             event->matches(QKeySequence::InsertLineSeparator))
        edit(selectionStart(), selectionEnd(), std::string(1, TextBuffer::separator), Kind::Typing);
    else if (isTyping(event))
        edit(selectionStart(), selectionEnd(), toUtf8(event->text()), Kind::Typing);
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
    const Position line = buffer_.lineOf(position), start = buffer_.lineStart(line);
    if (position == (forward ? buffer_.lineEnd(line) : start)) // over the line end
        return std::clamp<Position>(position + (forward ? 1 : -1), 0, buffer_.size());
    const std::string_view text = buffer_.lineText(line);
    const auto at = std::size_t(position - start);
    return start + Position(forward ? nextWord(text, at) : previousWord(text, at));
}

// Qt's word under the cursor: back to the start of the word the position is in or follows,
// then to the end of the run that starts there.
std::pair<TextEditor::Position, TextEditor::Position> TextEditor::wordAt(Position position) const {
    const Position lineStart = buffer_.lineStart(buffer_.lineOf(position));
    const std::string_view line = buffer_.lineText(buffer_.lineOf(position));
    auto start = std::size_t(position - lineStart);
    if (start < line.size())
        start = previousWord(line, characterAt(line, start).second);
    else if (start > 0 && wordClass(line, characterStart(line, start - 1)) == WordClass::Letter)
        start = previousWord(line, start);
    const std::size_t end = start < line.size() && wordClass(line, start) != WordClass::Space
                                ? skipForward(line, start, wordClass(line, start))
                                : start;
    return {lineStart + Position(start), lineStart + Position(end)};
}

// The edge of the grapheme cluster after or before a position inside its line.
TextEditor::Position TextEditor::graphemeEdge(Position position, bool forward) const {
    const Stretch around = stretchAround(position);
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, around.text);
    characters.setPosition(around.at);
    const qsizetype edge = forward ? characters.toNextBoundary() : characters.toPreviousBoundary();
    return around.start +
           TextBuffer::bytesFor(std::string_view(text()).substr(std::size_t(around.start)),
                                std::max<qsizetype>(edge, 0));
}

TextEditor::Position TextEditor::target(Move move) const {
    const Position line = cursorLine();
    const auto onLine = [&](Position other) {
        return positionInLine(std::clamp<Position>(other, 0, buffer_.lineCount() - 1),
                              goalX_.value_or(cursorX(cursor_)));
    };
    switch (move) {
    case Move::Right:
        return cursor_ == buffer_.lineEnd(line) ? std::min(cursor_ + 1, buffer_.size())
                                                : graphemeEdge(cursor_, true);
    case Move::Left:
        return cursor_ == buffer_.lineStart(line) ? std::max<Position>(cursor_ - 1, 0)
                                                  : graphemeEdge(cursor_, false);
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
    if (move == Move::PageDown || move == Move::PageUp) { // the view a page, the cursor with it
        QScrollBar* bar = verticalScrollBar();
        bar->setValue(bar->value() + (move == Move::PageDown ? linesInView() : -linesInView()));
    }
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
        edit(from, to, toUtf8(event->commitString()), EditHistory::Kind::Typing);
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

// Long lines -----------------------------------------------------------------------------------

namespace {

// Where a piece of a long line that starts at byte from ends: about pieceBytes on, before an
// ASCII character (no mark joins one to the character before), or at the line's end.
std::size_t pieceEnd(std::string_view line, std::size_t from) {
    const std::size_t end = std::min(line.size(), from + std::size_t(pieceBytes));
    const std::size_t limit = std::min(line.size(), end + std::size_t(pieceBytes));
    const auto ascii = std::size_t(
        std::find_if(line.begin() + qsizetype(end), line.begin() + qsizetype(limit),
                     [](char byte) { return static_cast<unsigned char>(byte) < 0x80; }) -
        line.begin());
    return ascii < limit || limit == line.size() ? ascii : characterStart(line, end);
}

void setUp(QTextLayout& layout, const QString& text, const QFont& font) {
    layout.setText(text);
    layout.setFont(font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
}

void finish(QTextLayout& layout) {
    layout.beginLayout();
    QTextLine textLine = layout.createLine();
    textLine.setLeadingIncluded(true);
    textLine.setPosition({});
    layout.endLayout();
}

qreal widthOf(std::string_view text, const QFont& font) {
    QTextLayout layout;
    setUp(layout, fromUtf8(text), font);
    finish(layout);
    return layout.lineAt(0).naturalTextWidth();
}

// Cuts text into pieces and measures them: their ends (from offset on) and right edges
// (from x on).
void cutInPieces(std::string_view text, TextBuffer::Position offset, qreal x, const QFont& font,
                 std::vector<TextBuffer::Position>& ends, std::vector<qreal>& rights) {
    for (std::size_t from = 0, to; from < text.size(); from = to) {
        to = pieceEnd(text, from);
        x += widthOf(text.substr(from, to - from), font);
        ends.push_back(offset + TextBuffer::Position(to));
        rights.push_back(x);
    }
}

} // namespace

const TextEditor::LongLine* TextEditor::longLine(Position line) const {
    const std::string_view text = buffer_.lineText(line);
    if (Position(text.size()) <= pieceBytes)
        return nullptr;
    if (longLines_.size() > 10000) // lines once in view, measured again when seen again
        longLines_.clear();
    auto [at, added] = longLines_.try_emplace(buffer_.lineStart(line));
    if (added)
        cutInPieces(text, 0, 0, font(), at->second.ends, at->second.rights);
    return &at->second;
}

// Before an edit: long lines after it move, also when new lines go in right before one; a
// long line it changes within is cut and measured again around the change; one that is split
// or joined is forgotten, unless new lines go in right after it.
void TextEditor::followEdit(Position from, Position to, std::string_view text) {
    if (longLines_.empty())
        return;
    const Position shift = Position(text.size()) - (to - from);
    const auto lineEnds = [](std::string_view bytes) {
        return bytes.find(TextBuffer::separator) != std::string_view::npos;
    };
    const bool joinsOrSplits =
        lineEnds(text) ||
        lineEnds(std::string_view(this->text()).substr(std::size_t(from), std::size_t(to - from)));
    std::map<Position, LongLine> kept;
    const bool inserted = from == to && !text.empty();
    for (auto& [start, line] : longLines_) {
        const Position end = start + line.ends.back();
        if (end < from || (inserted && from == end && text.front() == TextBuffer::separator))
            kept.emplace(start, std::move(line));
        else if (start > to || (inserted && to == start && text.back() == TextBuffer::separator))
            kept.emplace(start + shift, std::move(line));
        else if (!joinsOrSplits && end + shift - start > pieceBytes)
            kept.emplace(start, recut(line, start, from - start, to - start, text));
    }
    longLines_ = std::move(kept);
}

// The pieces from the one before the change to the one after it are cut and measured again,
// so that small pieces merge; those after move.
TextEditor::LongLine TextEditor::recut(const LongLine& line, Position start, Position from,
                                       Position to, std::string_view text) const {
    const auto holding = [&](Position at) {
        return std::min<std::size_t>(
            std::size_t(std::upper_bound(line.ends.begin(), line.ends.end(), at) -
                        line.ends.begin()),
            line.ends.size() - 1);
    };
    const std::size_t first = holding(from) > 0 ? holding(from) - 1 : 0;
    const std::size_t last = std::min(holding(to) + 1, line.ends.size() - 1);
    const Position regionStart = first > 0 ? line.ends[first - 1] : 0;
    const Position regionEnd = line.ends[last];
    const qreal left = first > 0 ? line.rights[first - 1] : 0;
    const std::string_view old = std::string_view(this->text()).substr(std::size_t(start));
    std::string region(old.substr(std::size_t(regionStart), std::size_t(from - regionStart)));
    region.append(text).append(old.substr(std::size_t(to), std::size_t(regionEnd - to)));
    LongLine recut{{line.ends.begin(), line.ends.begin() + qsizetype(first)},
                   {line.rights.begin(), line.rights.begin() + qsizetype(first)}};
    cutInPieces(region, regionStart, left, font(), recut.ends, recut.rights);
    const Position shift = Position(text.size()) - (to - from);
    const qreal widening = recut.rights.back() - line.rights[last];
    for (std::size_t k = last + 1; k < line.ends.size(); ++k) {
        recut.ends.push_back(line.ends[k] + shift);
        recut.rights.push_back(line.rights[k] + widening);
    }
    return recut;
}

TextEditor::Piece TextEditor::pieceOf(Position line, std::size_t k) const {
    const Position start = buffer_.lineStart(line);
    const LongLine* pieces = longLine(line);
    if (!pieces)
        return {start, buffer_.lineEnd(line), 0};
    return {start + (k > 0 ? pieces->ends[k - 1] : 0), start + pieces->ends[k],
            k > 0 ? pieces->rights[k - 1] : 0};
}

// At the border of two pieces, a position belongs to the later one.
TextEditor::Piece TextEditor::pieceAt(Position position) const {
    const Position line = buffer_.lineOf(position);
    const LongLine* pieces = longLine(line);
    if (!pieces)
        return pieceOf(line, 0);
    const auto k = std::upper_bound(pieces->ends.begin(), pieces->ends.end(),
                                    position - buffer_.lineStart(line)) -
                   pieces->ends.begin();
    return pieceOf(line, std::min(std::size_t(k), pieces->ends.size() - 1));
}

std::size_t TextEditor::pieceAtX(Position line, qreal x) const {
    const LongLine* pieces = longLine(line);
    if (!pieces)
        return 0;
    const auto k =
        std::upper_bound(pieces->rights.begin(), pieces->rights.end(), x) - pieces->rights.begin();
    return std::min(std::size_t(k), pieces->rights.size() - 1);
}

qreal TextEditor::lineWidth(Position line) const {
    const LongLine* pieces = longLine(line);
    return pieces ? pieces->rights.back() : widthOf(buffer_.lineText(line), font());
}

// Layout ------------------------------------------------------------------------------------

void TextEditor::layOut(const Piece& piece, QTextLayout& layout, bool withPreedit) const {
    setUp(layout,
          fromUtf8(std::string_view(text()).substr(std::size_t(piece.start),
                                                   std::size_t(piece.end - piece.start))),
          font());
    if (withPreedit && !preedit_.isEmpty()) {
        layout.setPreeditArea(column(piece, cursor_), preedit_);
        QTextCharFormat underlined;
        underlined.setFontUnderline(true);
        layout.setFormats({{column(piece, cursor_), int(preedit_.size()), underlined}});
    }
    finish(layout);
}

int TextEditor::column(const Piece& piece, Position position) const {
    position = std::clamp(position, piece.start, piece.end);
    return int(TextBuffer::utf16Length(std::string_view(text()).substr(
        std::size_t(piece.start), std::size_t(position - piece.start))));
}

TextEditor::Position TextEditor::positionIn(const Piece& piece, int column) const {
    return piece.start +
           TextBuffer::bytesFor(std::string_view(text()).substr(
                                    std::size_t(piece.start), std::size_t(piece.end - piece.start)),
                                std::max(column, 0));
}

TextEditor::Position TextEditor::positionInLine(Position line, qreal x) const {
    const Piece piece = pieceOf(line, pieceAtX(line, x));
    QTextLayout layout;
    layOut(piece, layout);
    return positionIn(piece, layout.lineAt(0).xToCursor(x - piece.left));
}

qreal TextEditor::cursorX(Position position) const {
    const Piece piece = pieceAt(position);
    QTextLayout layout;
    layOut(piece, layout);
    return piece.left + layout.lineAt(0).cursorToX(column(piece, position));
}

QRect TextEditor::cursorRect() const {
    const QPointF origin = lineOrigin(cursorLine());
    return QRectF(origin.x() + cursorX(cursor_), origin.y(), 1, lineHeight()).toAlignedRect();
}

QRect TextEditor::characterRect(Position position) const {
    const Position line = buffer_.lineOf(position);
    const QPointF origin = lineOrigin(line);
    const qreal x = cursorX(position);
    const qreal next = position < buffer_.lineEnd(line) ? cursorX(graphemeEdge(position, true)) : x;
    return QRectF(origin.x() + x, origin.y(), std::max<qreal>(next - x, 1), lineHeight())
        .toAlignedRect();
}

TextEditor::Position TextEditor::positionAt(QPoint point) const {
    const Position line = std::clamp<Position>(
        verticalScrollBar()->value() + Position(std::floor((point.y() - margin) / lineHeight())), 0,
        buffer_.lineCount() - 1);
    return positionInLine(line, point.x() - lineOrigin(line).x());
}

// Each line in view is drawn piece by piece, of a long line only the pieces in view.
void TextEditor::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const QPalette colours = palette();
    painter.setPen(colours.color(QPalette::Text));
    QTextCharFormat highlighted;
    highlighted.setBackground(colours.brush(QPalette::Highlight));
    highlighted.setForeground(colours.brush(QPalette::HighlightedText));
    const Position first = verticalScrollBar()->value();
    const Position end = std::min(buffer_.lineCount(), first + linesInView() + 2);
    const qreal scrolled = horizontalScrollBar()->value();
    const Piece cursorPiece = pieceAt(cursor_);
    for (Position line = first; line < end; ++line) {
        const Position lineEnd = buffer_.lineEnd(line);
        const QPointF origin = lineOrigin(line);
        const std::size_t last = pieceAtX(line, scrolled + viewport()->width());
        for (std::size_t k = pieceAtX(line, scrolled - margin); k <= last; ++k) {
            const Piece piece = pieceOf(line, k);
            const bool withCursor = piece.start == cursorPiece.start;
            QTextLayout layout;
            layOut(piece, layout, withCursor);
            const QPointF at = origin + QPointF(piece.left, 0);
            QList<QTextLayout::FormatRange> selection;
            if (hasSelection() && selectionStart() <= piece.end && selectionEnd() > piece.start) {
                const int from = column(piece, selectionStart());
                selection.append({from, column(piece, selectionEnd()) - from, highlighted});
                if (piece.end == lineEnd && selectionEnd() > lineEnd) // the rest of the line
                    painter.fillRect(QRectF(at.x() + layout.lineAt(0).naturalTextWidth(),
                                            origin.y(), viewport()->width(), lineHeight()),
                                     colours.brush(QPalette::Highlight));
            }
            layout.draw(&painter, at, selection);
            if (withCursor && caretOn_ && hasFocus())
                layout.drawCursor(&painter, at, column(piece, cursor_) + preeditCursor_);
            if (dropAt_ && pieceAt(*dropAt_).start == piece.start)
                layout.drawCursor(&painter, at, column(piece, *dropAt_));
        }
        paintLineNote(painter, line, origin);
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
    updateWidth();
}

// Sideways as far as the widest line in view reaches, so that the scroll bar shows whenever
// one is wider than the list. The lines the bar itself covers count, lest it come and go.
void TextEditor::updateWidth() {
    QScrollBar* across = horizontalScrollBar();
    const int room = viewport()->width() - 2 * margin - 1;
    const Position first = verticalScrollBar()->value();
    const int height = viewport()->height() + (across->isVisibleTo(this) ? across->height() : 0);
    const Position end = std::min(buffer_.lineCount(), first + int(height / lineHeight()) + 1);
    qreal widest = 0;
    for (Position line = first; line < end; ++line)
        widest = std::max(widest, lineWidth(line));
    across->setPageStep(std::max(room, 1));
    across->setSingleStep(QFontMetrics(font()).averageCharWidth() * 2);
    across->setRange(0, std::max(0, int(std::ceil(widest)) - room));
}

void TextEditor::ensureCursorVisible(bool otherLine) {
    QScrollBar* bar = verticalScrollBar();
    const Position line = cursorLine();
    if (line < bar->value())
        bar->setValue(int(line));
    else if (line >= bar->value() + linesInView())
        bar->setValue(int(line - linesInView() + 1));
    // Sideways, a long line scrolls to keep the cursor in view; on another line the view goes
    // back as far left as it can, so that the starts of the lines show.
    QScrollBar* across = horizontalScrollBar();
    const int x = int(std::ceil(cursorX(cursor_)));
    const int room = viewport()->width() - 2 * margin - 1;
    if (otherLine)
        across->setValue(x - room);
    else if (x < across->value())
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
    if (event->type() == QEvent::FontChange) {
        longLines_.clear();
        updateScrollBars();
    }
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
    if (event->timerId() == tripleClick_.timerId())
        return tripleClick_.stop();
    if (event->timerId() == autoScroll_.timerId())
        return autoScroll();
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
    const QPoint point = event->position().toPoint();
    const Position at = positionAt(point);
    if (QClipboard* clipboard = QApplication::clipboard();
        event->button() == Qt::MiddleButton && clipboard->supportsSelection()) {
        setSelection(at, at);
        const BusyCursor busy;
        if (const QMimeData* source = clipboard->mimeData(QClipboard::Selection);
            source && canInsertFromMimeData(source))
            insertFromMimeData(source);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    const bool third = tripleClick_.isActive() && (point - tripleClickAt_).manhattanLength() <
                                                      QApplication::startDragDistance();
    tripleClick_.stop();
    if (!third && !extend && hasSelection() && selectionStart() <= at && at < selectionEnd()) {
        dragStart_ = point;
        return;
    }
    selecting_ = true;
    if (third) { // the line with its end
        const Position line = buffer_.lineOf(at);
        unit_ = Unit::Line;
        unitClicked_ = {buffer_.lineStart(line),
                        std::min(buffer_.lineEnd(line) + 1, buffer_.size())};
        setSelection(unitClicked_.first, unitClicked_.second);
    } else {
        unit_ = Unit::Character;
        setSelection(extend ? anchor_ : at, at);
    }
}

void TextEditor::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (dragStart_ &&
        (point - *dragStart_).manhattanLength() >= QApplication::startDragDistance()) {
        dragStart_.reset();
        startDrag();
    } else if (selecting_ && (event->buttons() & Qt::LeftButton)) {
        mouseAt_ = point;
        extendSelection(positionAt(point));
        if (viewport()->rect().contains(point))
            autoScroll_.stop();
        else if (!autoScroll_.isActive())
            autoScroll_.start(100, this);
    }
}

void TextEditor::mouseReleaseEvent(QMouseEvent* event) {
    if (dragStart_) { // a click into the selection, not a drag
        const Position at = positionAt(event->position().toPoint());
        selecting_ = true;
        setSelection(at, at);
    }
    dragStart_.reset();
    selecting_ = false;
    autoScroll_.stop();
}

void TextEditor::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    dragStart_.reset();
    selecting_ = true;
    unit_ = Unit::Word;
    unitClicked_ = wordAt(positionAt(event->position().toPoint()));
    setSelection(unitClicked_.first, unitClicked_.second);
    tripleClickAt_ = event->position().toPoint();
    tripleClick_.start(QApplication::doubleClickInterval(), this);
}

// Beyond the word or line first clicked, the selection grows by whole words or lines, as in
// Qt's editors.
void TextEditor::extendSelection(Position position) {
    const auto [first, last] = unitClicked_;
    if (unit_ == Unit::Character)
        return setSelection(anchor_, position);
    if (first <= position && position <= last)
        return setSelection(first, last);
    const Position line = buffer_.lineOf(position);
    const auto [start, end] = unit_ == Unit::Word
                                  ? wordAt(position)
                                  : std::pair(buffer_.lineStart(line),
                                              std::min(buffer_.lineEnd(line) + 1, buffer_.size()));
    if (position < first)
        setSelection(last, start);
    else
        setSelection(first, end);
}

// While the mouse selects beyond the edge of the view, or drags a text near it, the view
// scrolls towards it, the faster the farther it is, as Qt's editors do.
void TextEditor::autoScroll() {
    const bool dragging = dropAt_.has_value();
    const int inset =
        dragging ? std::min({viewport()->width() / 3, viewport()->height() / 3, 20}) : 0;
    const QRect visible = viewport()->rect().adjusted(inset, inset, -inset, -inset);
    const int beyondY = std::max(visible.top() - mouseAt_.y(), mouseAt_.y() - visible.bottom());
    const int beyondX = std::max(visible.left() - mouseAt_.x(), mouseAt_.x() - visible.right());
    const int beyond = std::max(beyondX, beyondY);
    if (beyond <= 0)
        return autoScroll_.stop();
    autoScroll_.start(4900 / std::max(beyond * beyond, 49), this);
    if (beyondY > 0)
        verticalScrollBar()->triggerAction(mouseAt_.y() < visible.top()
                                               ? QAbstractSlider::SliderSingleStepSub
                                               : QAbstractSlider::SliderSingleStepAdd);
    if (beyondX > 0)
        horizontalScrollBar()->triggerAction(mouseAt_.x() < visible.left()
                                                 ? QAbstractSlider::SliderSingleStepSub
                                                 : QAbstractSlider::SliderSingleStepAdd);
    if (dragging) {
        dropAt_ = positionAt(mouseAt_);
        viewport()->update();
    } else {
        extendSelection(positionAt(mouseAt_));
    }
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
    mouseAt_ = event->position().toPoint();
    dropAt_ = positionAt(mouseAt_);
    if (!autoScroll_.isActive())
        autoScroll_.start(100, this);
    viewport()->update();
    event->acceptProposedAction();
}

void TextEditor::dragLeaveEvent(QDragLeaveEvent*) {
    dropAt_.reset();
    autoScroll_.stop();
    viewport()->update();
}

// A text dragged within the editor moves in one step of the undo history; dropped into itself
// it stays.
void TextEditor::dropEvent(QDropEvent* event) {
    dropAt_.reset();
    autoScroll_.stop();
    Position at = positionAt(event->position().toPoint());
    const bool moving = event->source() == this && event->dropAction() == Qt::MoveAction;
    if (!canInsertFromMimeData(event->mimeData()) ||
        (moving && selectionStart() <= at && at <= selectionEnd()))
        return viewport()->update();
    const BusyCursor busy;
    undo_.beginGroup();
    if (moving) {
        if (at > selectionEnd())
            at -= selectionEnd() - selectionStart();
        removeSelectedText();
    }
    setSelection(at, at);
    insertFromMimeData(event->mimeData());
    undo_.endGroup();
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
void TextEditor::paintLineNote(QPainter& painter, Position line, QPointF origin) const {
    const QString mark = lineNote(line).mark;
    if (mark.isEmpty())
        return;
    const qreal textWidth = lineWidth(line);
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
