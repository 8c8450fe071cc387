#include "textbuffer.h"

#include <algorithm>
#include <cstring>

namespace {

// UTF-16 code units of the character a UTF-8 byte begins: 2 for four-byte sequences.
TextBuffer::Position unitsOf(char byte) {
    const auto b = static_cast<unsigned char>(byte);
    return (b & 0xC0) == 0x80 ? 0 : b >= 0xF0 ? 2 : 1;
}

} // namespace

// The starts after each carriage return in text, which begins at the given start.
void TextBuffer::appendLineStarts(std::string_view text, LineStart at,
                                  std::vector<LineStart>& starts) {
    for (std::size_t from = 0, cr; (cr = text.find(separator, from)) != std::string_view::npos;
         from = cr + 1) {
        at.units += utf16Length(text.substr(from, cr + 1 - from));
        at.bytes += Position(cr + 1 - from);
        starts.push_back(at);
    }
}

void TextBuffer::replace(Position from, Position to, std::string_view text) {
    const std::string_view removed =
        std::string_view(text_).substr(std::size_t(from), std::size_t(to - from));
    const LineStart at{from, utf16Offset(from)};
    const LineStart shift{Position(text.size()) - (to - from),
                          utf16Length(text) - utf16Length(removed)};
    const Position firstLine = lineOf(from);
    const Position lastLine = lineOf(to);
    text_.replace(std::size_t(from), std::size_t(to - from), text);
    units_ += shift.units;

    std::vector<LineStart> added;
    appendLineStarts(text, at, added);
    const auto first = lineStarts_.begin() + firstLine + 1;
    const auto after = lineStarts_.insert(
        lineStarts_.erase(first, lineStarts_.begin() + lastLine + 1), added.begin(), added.end());
    std::for_each(after + Position(added.size()), lineStarts_.end(), [shift](LineStart& start) {
        start.bytes += shift.bytes;
        start.units += shift.units;
    });
}

TextBuffer::Position TextBuffer::lineOf(Position position) const {
    return Position(std::ranges::upper_bound(lineStarts_, position, {}, &LineStart::bytes) -
                    lineStarts_.begin()) -
           1;
}

TextBuffer::Position TextBuffer::lineEnd(Position line) const {
    return line + 1 < lineCount() ? lineStart(line + 1) - 1 : size();
}

std::string_view TextBuffer::lineText(Position line) const {
    const Position start = lineStart(line);
    return std::string_view(text_).substr(std::size_t(start), std::size_t(lineEnd(line) - start));
}

TextBuffer::LineStart TextBuffer::nextLineStart(Position line) const {
    return line + 1 < lineCount() ? lineStarts_[std::size_t(line + 1)] : LineStart{size(), units_};
}

bool TextBuffer::isAscii(Position line) const {
    const LineStart start = lineStarts_[std::size_t(line)], next = nextLineStart(line);
    return next.bytes - start.bytes == next.units - start.units;
}

TextBuffer::Position TextBuffer::utf16Offset(Position position) const {
    position = std::clamp<Position>(position, 0, size());
    const Position line = lineOf(position);
    const LineStart start = lineStarts_[std::size_t(line)];
    const Position bytes = position - start.bytes;
    return start.units + (isAscii(line) ? bytes
                                        : utf16Length(std::string_view(text_).substr(
                                              std::size_t(start.bytes), std::size_t(bytes))));
}

TextBuffer::Position TextBuffer::position(Position utf16Offset) const {
    const Position units = std::clamp<Position>(utf16Offset, 0, units_);
    const Position line =
        Position(std::ranges::upper_bound(lineStarts_, units, {}, &LineStart::units) -
                 lineStarts_.begin()) -
        1;
    const LineStart start = lineStarts_[std::size_t(line)];
    const Position wanted = units - start.units;
    return start.bytes +
           (isAscii(line)
                ? wanted
                : bytesFor(std::string_view(text_).substr(std::size_t(start.bytes)), wanted));
}

TextBuffer::Position TextBuffer::utf16Length(std::string_view text) {
    Position units = 0;
    for (char byte : text) // no early exit, so that the compiler counts many bytes at a time
        units += unitsOf(byte);
    return units;
}

TextBuffer::Position TextBuffer::bytesFor(std::string_view text, Position wanted) {
    Position i = 0;
    for (Position units = 0; i < Position(text.size()); ++i) {
        const Position unitsHere = unitsOf(text[std::size_t(i)]);
        if (unitsHere > 0 && units + unitsHere > wanted)
            break;
        units += unitsHere;
    }
    return i;
}

void normalizeLineEnds(std::string& text) {
    std::size_t out = 0;
    const std::size_t n = text.size();
    const auto at = [&](std::size_t i, const char* bytes) {
        return text.compare(i, std::strlen(bytes), bytes) == 0;
    };
    for (std::size_t i = 0; i < n; ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            text[out++] = '\r';
            if (c == '\r' && i + 1 < n && text[i + 1] == '\n')
                ++i;
        } else if (c == '\xC2' && at(i, "\xC2\xA0")) { // no-break space
            text[out++] = ' ';
            ++i;
        } else if (c == '\xE2' && (at(i, "\xE2\x80\xA8") || at(i, "\xE2\x80\xA9"))) {
            text[out++] = '\r';
            i += 2;
        } else {
            text[out++] = c;
        }
    }
    text.resize(out);
}
