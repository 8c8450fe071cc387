#include "textbuffer.h"

#include <algorithm>
#include <cstring>

namespace {

// The positions just after each carriage return in text, shifted by offset.
void appendLineStarts(std::string_view text, TextBuffer::Position offset,
                      std::vector<TextBuffer::Position>& starts) {
    const char* begin = text.data();
    const char* end = begin + text.size();
    for (const char* p = begin; (p = static_cast<const char*>(
                                     std::memchr(p, TextBuffer::separator, std::size_t(end - p))));)
        starts.push_back(offset + (++p - begin));
}

// UTF-16 code units of the character a UTF-8 byte begins: 2 for four-byte sequences.
TextBuffer::Position unitsOf(char byte) {
    const auto b = static_cast<unsigned char>(byte);
    return (b & 0xC0) == 0x80 ? 0 : b >= 0xF0 ? 2 : 1;
}

} // namespace

namespace {

TextBuffer::Position nonAsciiBytes(std::string_view text) {
    return std::count_if(text.begin(), text.end(),
                         [](char byte) { return static_cast<unsigned char>(byte) >= 0x80; });
}

} // namespace

void TextBuffer::replace(Position from, Position to, std::string_view text) {
    nonAscii_ +=
        nonAsciiBytes(text) -
        nonAsciiBytes(std::string_view(text_).substr(std::size_t(from), std::size_t(to - from)));
    const Position firstLine = lineOf(from);
    const Position lastLine = lineOf(to);
    const Position shift = Position(text.size()) - (to - from);
    text_.replace(std::size_t(from), std::size_t(to - from), text);

    std::vector<Position> added;
    appendLineStarts(text, from, added);
    const auto first = lineStarts_.begin() + firstLine + 1;
    const auto after = lineStarts_.insert(
        lineStarts_.erase(first, lineStarts_.begin() + lastLine + 1), added.begin(), added.end());
    std::for_each(after + Position(added.size()), lineStarts_.end(),
                  [shift](Position& start) { start += shift; });
}

TextBuffer::Position TextBuffer::lineOf(Position position) const {
    return Position(std::upper_bound(lineStarts_.begin(), lineStarts_.end(), position) -
                    lineStarts_.begin()) -
           1;
}

TextBuffer::Position TextBuffer::lineEnd(Position line) const {
    return line + 1 < lineCount() ? lineStarts_[std::size_t(line + 1)] - 1 : size();
}

std::string_view TextBuffer::lineText(Position line) const {
    const Position start = lineStart(line);
    return std::string_view(text_).substr(std::size_t(start), std::size_t(lineEnd(line) - start));
}

TextBuffer::Position TextBuffer::utf16Offset(Position position) const {
    return nonAscii_ == 0 ? position
                          : utf16Length(std::string_view(text_).substr(0, std::size_t(position)));
}

TextBuffer::Position TextBuffer::position(Position utf16Offset) const {
    return nonAscii_ == 0 ? std::clamp<Position>(utf16Offset, 0, size())
                          : bytesFor(text_, utf16Offset);
}

TextBuffer::Position TextBuffer::utf16Length(std::string_view text) {
    Position units = 0;
    for (char byte : text)
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
