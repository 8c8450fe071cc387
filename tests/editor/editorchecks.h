// What the editor's tests and its fuzzer check: a TextBuffer against a plain string of the same
// text, and what the editor tells a screen reader.
#pragma once

#include "editor/texteditor.h"

#include <QAccessible>
#include <QStringList>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

inline QAccessibleTextInterface& reader(TextEditor& editor) {
    return *QAccessible::queryAccessibleInterface(&editor)->textInterface();
}

// A text with the cursor marked by |, a selection by [ ], in UTF-16 offsets.
inline QString marked(QString text, int anchor, int cursor) {
    if (anchor == cursor)
        return text.insert(cursor, '|');
    return text.insert(std::max(anchor, cursor), ']').insert(std::min(anchor, cursor), '[');
}

// The text as a screen reader reads it, marked.
inline QString marked(TextEditor& editor) {
    QAccessibleTextInterface& text = reader(editor);
    int start = text.cursorPosition(), end = start;
    if (text.selectionCount() > 0)
        text.selection(0, &start, &end);
    return marked(text.text(0, text.characterCount()), start, end);
}

// An editor whose text a test sets directly.
class Editor : public TextEditor {
public:
    using TextEditor::setText;
};

inline QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// What disagrees of the buffer's lines, where they start, and every offset in UTF-16 units and
// back as QString counts them; empty when all agree.
inline QString bufferDisagreement(const TextBuffer& buffer, const std::string& plain) {
    using Position = TextBuffer::Position;
    if (buffer.text() != plain)
        return "text";
    const QString units = QString::fromStdString(plain);
    const QStringList lines = units.split(QChar(TextBuffer::separator));
    if (buffer.lineCount() != lines.size())
        return "line count";
    Position start = 0;
    for (Position line = 0; line < buffer.lineCount(); ++line) {
        const QByteArray text = lines[line].toUtf8();
        if (buffer.lineStart(line) != start ||
            buffer.lineText(line) != std::string_view(text.data(), std::size_t(text.size())))
            return QString("line %1").arg(line);
        start += text.size() + 1;
    }
    if (buffer.utf16Size() != units.size())
        return "UTF-16 size";
    // Each character's first byte and first unit map to each other; a unit inside a pair maps
    // to the pair's start.
    Position bytes = 0;
    for (qsizetype u = 0; u <= units.size();) {
        const qsizetype width = u + 1 < units.size() && units[u].isHighSurrogate() ? 2 : 1;
        if (buffer.utf16Offset(bytes) != u || buffer.position(u) != bytes ||
            (width == 2 && buffer.position(u + 1) != bytes))
            return QString("offsets at unit %1, byte %2").arg(u).arg(bytes);
        if (u == units.size())
            break;
        const char16_t c = units[u].unicode();
        bytes += width == 2 ? 4 : c < 0x80 ? 1 : c < 0x800 ? 2 : 3; // as UTF-8 encodes them
        u += width;
    }
    return {};
}

// The text rebuilt from what the editor told a screen reader, and where it said the cursor went.
inline QString followed;
inline int followedAt = 0;

// Switches accessibility on, as a screen reader does (Qt tells of changes only while one
// listens), and follows what the editor tells.
inline void followReader() {
    QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
    QAccessible::installUpdateHandler([](QAccessibleEvent* e) {
        if (e->type() == QAccessible::TextUpdated) {
            const auto* t = static_cast<QAccessibleTextUpdateEvent*>(e);
            followed.replace(t->changePosition(), t->textRemoved().size(), t->textInserted());
        } else if (e->type() == QAccessible::TextCaretMoved) {
            followedAt = static_cast<QAccessibleTextCursorEvent*>(e)->cursorPosition();
        }
    });
}
