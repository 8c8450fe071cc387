// The text of a plain-text editor as one UTF-8 string with a carriage return (character 13)
// between lines, and an index of where each line starts in bytes, and in UTF-16 code units
// where the text holds more than ASCII: a million lines cost one string and 4 bytes a line
// (8 with other characters), not an object per line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

class TextBuffer {
public:
    using Position = std::ptrdiff_t; // a byte offset into the text

    static constexpr char separator = '\r';
    // The index counts in 32 bits: a text holds at most 4 GiB.
    static constexpr Position maximumSize = std::numeric_limits<std::uint32_t>::max();

    const std::string& text() const { return text_; }
    Position size() const { return Position(text_.size()); }
    Position lineCount() const { return Position(byteStarts_.size()); }

    // Replaces the bytes from..to with the given text, which has its line ends as carriage
    // returns already (see normalizeLineEnds); a text that replaces all is taken over, not
    // copied. The text stays within maximumSize.
    void replace(Position from, Position to, std::string text);

    // The line holding a position; a carriage return belongs to the line it ends.
    Position lineOf(Position position) const;
    Position lineStart(Position line) const { return byteStarts_[std::size_t(line)]; }
    // Where a line's text ends: at its carriage return, or at the end of the text.
    Position lineEnd(Position line) const;
    std::string_view lineText(Position line) const;

    // Offsets counted in UTF-16 code units, as Qt's strings count them, and back (to the start
    // of the character holding the unit). The index gives the line; only a line holding more
    // than ASCII is scanned, from its start.
    Position utf16Offset(Position position) const;
    Position position(Position utf16Offset) const;
    Position utf16Size() const { return units_; }

    // The UTF-16 code units of a UTF-8 text, and how many of its bytes make the first units.
    static Position utf16Length(std::string_view text);
    static Position bytesFor(std::string_view text, Position units);

private:
    struct LineStart {
        Position bytes;
        Position units; // UTF-16 code units before the line
    };
    using Starts = std::vector<std::uint32_t>;
    // Puts the starts after each carriage return of text, counted in bytes or in UTF-16 units
    // from start on, in place of the starts from first on, as many as text has carriage returns.
    static void fillStarts(std::string_view text, std::uint32_t start, bool units,
                           Starts::iterator first);
    // Replaces the starts of the lines after firstLine up to lastLine with those of text
    // (which begins at start), and moves those after by shift.
    static void replaceStarts(Starts& starts, Position firstLine, Position lastLine,
                              std::string_view text, std::uint32_t start, bool units,
                              std::uint32_t shift);
    bool allAscii() const { return unitStarts_.empty(); }
    LineStart startOf(Position line) const;
    // Where the next line starts, or the end of the text after the last line.
    LineStart nextLineStart(Position line) const;
    // A line of ASCII alone, where a byte is a code unit (any other character has more bytes).
    bool isAscii(Position line) const;

    std::string text_;
    Starts byteStarts_{0};
    Starts unitStarts_;  // none while the text is ASCII alone, where units are bytes
    Position units_ = 0; // the text's length in UTF-16 code units
};

// Turns every kind of line end into one carriage return: CR LF, LF, CR and the Unicode line
// and paragraph separators; a no-break space becomes a blank. In place, in one pass.
void normalizeLineEnds(std::string& text);

// Whether a text is valid UTF-8, checked piece by piece (no copy of a long text).
bool isValidUtf8(std::string_view text);
