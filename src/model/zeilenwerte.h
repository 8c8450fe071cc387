// The values of a value list's lines, kept from edit to edit: an edit reads again only the
// lines it touched, and what the values then give is exactly what reading the whole text gives.
#pragma once

#include "werte_lesen.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace Proc {

class Zeilenwerte {
public:
    // Reads every line of text.
    void lesen(std::string_view text);

    // Replaces the bytes von..bis of text with neu and reads again the lines that changed.
    // The values must be those of text as it is (read by lesen, or kept up by ersetzen).
    void ersetzen(std::string& text, std::size_t von, std::size_t bis, std::string_view neu);

    // Whether the values may be those of text: they were read from a text of its length. Text
    // set otherwise in between is to be read again with lesen.
    bool passt_zu(std::string_view text) const { return text.size() == laenge_; }

    // The list's values: one per line, all but an empty last line (after the carriage return
    // that ends the text, or of an empty text).
    std::span<const double> werte() const {
        return std::span(zeilen_).first(zeilen_.size() - letzte_leer_);
    }
    // Their sum in line order, smallest and largest, and the lines counted as 0 without
    // beginning with a number, as werte_lesen gives them.
    const Ueberblick& ueberblick() const { return ueberblick_; }

private:
    std::size_t zeile_an(std::string_view text, std::size_t stelle);

    std::vector<double> zeilen_{0.0}; // one per line, the empty last one too
    std::size_t ohne_zahl_ = 1;       // among all lines
    bool letzte_leer_ = true;
    std::size_t laenge_ = 0;
    Ueberblick ueberblick_;
    // A place whose line is known: finding the line of the next edit counts only the line
    // ends between the two, as edits come mostly near each other.
    std::size_t bekannte_stelle_ = 0;
    std::size_t bekannte_zeile_ = 0;
};

} // namespace Proc
