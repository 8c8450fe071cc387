#include "textbuffer.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include <QStringDecoder>

namespace {

// UTF-16 code units of the character a UTF-8 byte begins: 2 for four-byte sequences.
TextBuffer::Position unitsOf(char byte) {
    const auto b = static_cast<unsigned char>(byte);
    return (b & 0xC0) == 0x80 ? 0 : b >= 0xF0 ? 2 : 1;
}

} // namespace

void TextBuffer::fillStarts(std::string_view text, std::uint32_t start, bool units,
                            Starts::iterator first) {
    if (!units || utf16Length(text) == Position(text.size())) {
        // Bytes, or units of ASCII: the carriage returns are found 16 bytes at a time (a list
        // of millions of short lines), each found one after another in the bits of a mask.
        const std::size_t n = text.size();
        std::size_t i = 0;
        for (; i + 16 <= n; i += 16) {
            unsigned mask = 0;
            for (unsigned j = 0; j < 16; ++j)
                mask |= unsigned(text[i + j] == separator) << j;
            for (; mask != 0; mask &= mask - 1)
                *first++ = start + std::uint32_t(i + unsigned(std::countr_zero(mask)) + 1);
        }
        for (; i < n; ++i)
            if (text[i] == separator)
                *first++ = start + std::uint32_t(i + 1);
        return;
    }
    for (std::size_t from = 0, cr; (cr = text.find(separator, from)) != std::string_view::npos;
         from = cr + 1)
        *first++ = start += std::uint32_t(utf16Length(text.substr(from, cr + 1 - from)));
}

void TextBuffer::replaceStarts(Starts& starts, Position firstLine, Position lastLine,
                               std::string_view text, std::uint32_t start, bool units,
                               std::uint32_t shift) {
    const auto first = starts.erase(starts.begin() + firstLine + 1, starts.begin() + lastLine + 1);
    const auto count = std::count(text.begin(), text.end(), separator);
    const auto after = starts.insert(first, std::size_t(count), 0) + count;
    fillStarts(text, start, units, after - count);
    std::for_each(after, starts.end(), [shift](std::uint32_t& s) { s += shift; });
    if (starts.capacity() > 2 * starts.size() + 4096) // a long text gone
        starts.shrink_to_fit();
}

void TextBuffer::replace(Position from, Position to, std::string text) {
    const std::string_view removed =
        std::string_view(text_).substr(std::size_t(from), std::size_t(to - from));
    const auto unitsAt = std::uint32_t(utf16Offset(from));
    // Added to the starts after the edit, modulo 2^32 as the starts are counted.
    const auto shiftBytes = std::uint32_t(Position(text.size()) - (to - from));
    const Position unitsAdded = utf16Length(text) - utf16Length(removed);
    const Position firstLine = lineOf(from);
    const Position lastLine = lineOf(to);
    const auto inserted = std::size_t(text.size());
    if (from == 0 && to == size())
        text_ = std::move(text);
    else
        text_.replace(std::size_t(from), std::size_t(to - from), text);
    units_ += unitsAdded;
    const std::string_view added = std::string_view(text_).substr(std::size_t(from), inserted);

    if (units_ == size()) { // ASCII alone again, or still
        unitStarts_ = {};
    } else {
        if (allAscii()) // the units so far are the bytes
            unitStarts_ = byteStarts_;
        replaceStarts(unitStarts_, firstLine, lastLine, added, unitsAt, true,
                      std::uint32_t(unitsAdded));
    }
    replaceStarts(byteStarts_, firstLine, lastLine, added, std::uint32_t(from), false, shiftBytes);
}

TextBuffer::Position TextBuffer::lineOf(Position position) const {
    return Position(std::ranges::upper_bound(byteStarts_, position) - byteStarts_.begin()) - 1;
}

TextBuffer::Position TextBuffer::lineEnd(Position line) const {
    return line + 1 < lineCount() ? lineStart(line + 1) - 1 : size();
}

std::string_view TextBuffer::lineText(Position line) const {
    const Position start = lineStart(line);
    return std::string_view(text_).substr(std::size_t(start), std::size_t(lineEnd(line) - start));
}

TextBuffer::LineStart TextBuffer::startOf(Position line) const {
    const Position bytes = byteStarts_[std::size_t(line)];
    return {bytes, allAscii() ? bytes : Position(unitStarts_[std::size_t(line)])};
}

TextBuffer::LineStart TextBuffer::nextLineStart(Position line) const {
    return line + 1 < lineCount() ? startOf(line + 1) : LineStart{size(), units_};
}

bool TextBuffer::isAscii(Position line) const {
    const LineStart start = startOf(line), next = nextLineStart(line);
    return next.bytes - start.bytes == next.units - start.units;
}

TextBuffer::Position TextBuffer::utf16Offset(Position position) const {
    position = std::clamp<Position>(position, 0, size());
    const Position line = lineOf(position);
    const LineStart start = startOf(line);
    const Position bytes = position - start.bytes;
    return start.units + (isAscii(line) ? bytes
                                        : utf16Length(std::string_view(text_).substr(
                                              std::size_t(start.bytes), std::size_t(bytes))));
}

TextBuffer::Position TextBuffer::position(Position utf16Offset) const {
    const Position units = std::clamp<Position>(utf16Offset, 0, units_);
    const Starts& starts = allAscii() ? byteStarts_ : unitStarts_;
    const Position line = Position(std::ranges::upper_bound(starts, units) - starts.begin()) - 1;
    const LineStart start = startOf(line);
    const Position wanted = units - start.units;
    return start.bytes +
           (isAscii(line)
                ? wanted
                : bytesFor(std::string_view(text_).substr(std::size_t(start.bytes)), wanted));
}

TextBuffer::Position TextBuffer::utf16Length(std::string_view text) {
    Position units = 0;
    for (char byte : text) { // no early exit nor branch: the compiler counts many bytes at once
        const auto b = static_cast<unsigned char>(byte);
        units += Position((b & 0xC0) != 0x80) + Position(b >= 0xF0);
    }
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
    // The common case, line feeds alone (as another program or a file gives them), at once.
    const auto has = [&text](char c) { return text.find(c) != std::string::npos; };
    if (!has('\r') && !has('\xC2') && !has('\xE2')) {
        for (char& c : text) // without a branch, many bytes at once
            c = c == '\n' ? TextBuffer::separator : c;
        return;
    }
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

bool isValidUtf8(std::string_view text) {
    constexpr std::size_t piece = 1 << 16;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    std::vector<QChar> decoded(piece + 1);
    for (std::size_t from = 0, to; from < text.size(); from = to) {
        to = std::min(text.size(), from + piece);
        // A piece ends before a character, so that none is cut; a valid text starts one within
        // every four bytes.
        while (to < text.size() && to > from &&
               (static_cast<unsigned char>(text[to]) & 0xC0) == 0x80)
            --to;
        if (to == from)
            return false;
        decoder.appendToBuffer(decoded.data(),
                               QByteArrayView(text.data() + from, qsizetype(to - from)));
        if (decoder.hasError())
            return false;
    }
    return true;
}
