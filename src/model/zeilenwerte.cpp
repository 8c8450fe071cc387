#include "zeilenwerte.h"

#include <algorithm>

namespace Proc {

namespace {

constexpr char zeilenende = '\r';

constexpr std::size_t gross_ab = std::size_t(32) << 20; // bytes of text

// Reads every line of a piece of text into werte, an empty last one too (which werte_lesen
// leaves out, as a list's last line); gives how many lines count as 0 without a number.
std::size_t alle_zeilen_lesen(std::string_view stueck, std::vector<double>& werte) {
    std::size_t ohne_zahl = werte_lesen(stueck, werte).ohne_zahl;
    if (stueck.empty() || stueck.back() == zeilenende) {
        werte.push_back(0.0);
        ++ohne_zahl;
    }
    return ohne_zahl;
}

// Replaces the bytes von..bis; the room of a far longer text is given back.
void im_text_ersetzen(std::string& text, std::size_t von, std::size_t bis, std::string_view neu) {
    text.replace(von, bis - von, neu);
    if (text.capacity() > 2 * text.size() + 4096)
        text.shrink_to_fit();
}

std::size_t zeilenenden(std::string_view text, std::size_t von, std::size_t bis) {
    return zeilenenden_zaehlen(text.substr(von, bis - von));
}

} // namespace

void Zeilenwerte::lesen(std::string_view text) {
    // A long list gets room for every line at once: grown as it is read, the room would be
    // copied each time it doubles, and up to half of it kept unused. Counting the lines costs
    // a pass over the text, more than the doubling of a list of a few megabytes. The room of
    // a far longer list is given back.
    if (text.size() > gross_ab) {
        const std::size_t zeilen = zeilenenden_zaehlen(text) + 1;
        if (zeilen_.capacity() > 2 * zeilen + 4096)
            zeilen_ = {};
        zeilen_.reserve(zeilen);
    } else if (zeilen_.capacity() > 2 * text.size() + 4096) {
        zeilen_ = {};
    }
    ueberblick_ = werte_lesen(text, zeilen_);
    letzte_leer_ = text.empty() || text.back() == zeilenende;
    if (letzte_leer_)
        zeilen_.push_back(0.0);
    ohne_zahl_ = ueberblick_.ohne_zahl + letzte_leer_;
    laenge_ = text.size();
    bekannte_stelle_ = bekannte_zeile_ = 0;
}

std::size_t Zeilenwerte::zeile_an(std::string_view text, std::size_t stelle) {
    if (stelle >= bekannte_stelle_)
        return bekannte_zeile_ + zeilenenden(text, bekannte_stelle_, stelle);
    return bekannte_zeile_ - zeilenenden(text, stelle, bekannte_stelle_);
}

void Zeilenwerte::ersetzen(std::string& text, std::size_t von, std::size_t bis,
                           std::string_view neu) {
    bis = std::min(bis, text.size());
    von = std::min(von, bis);
    // The whole lines the change lies in: from the start of the first to the end of the last,
    // without its carriage return.
    const std::size_t davor = von == 0 ? std::string::npos : text.rfind(zeilenende, von - 1);
    const std::size_t anfang = davor == std::string::npos ? 0 : davor + 1;
    const std::size_t ende = std::min(text.find(zeilenende, bis), text.size());
    if (anfang == 0 && ende == text.size()) { // every line: read as a whole, without a copy
        im_text_ersetzen(text, von, bis, neu);
        return lesen(text);
    }
    const std::size_t erste = zeile_an(text, anfang);
    const std::string_view alt(text.data() + anfang, ende - anfang);
    std::vector<double> alte, neue;
    const std::size_t alte_ohne_zahl = alle_zeilen_lesen(alt, alte);

    im_text_ersetzen(text, von, bis, neu);
    const std::size_t neues_ende = ende - (bis - von) + neu.size();
    const std::size_t neue_ohne_zahl =
        alle_zeilen_lesen(std::string_view(text.data() + anfang, neues_ende - anfang), neue);
    const auto stelle = zeilen_.begin() + std::ptrdiff_t(erste);
    if (neue.size() == alte.size())
        std::copy(neue.begin(), neue.end(), stelle);
    else
        zeilen_.insert(zeilen_.erase(stelle, stelle + std::ptrdiff_t(alte.size())), neue.begin(),
                       neue.end());
    ohne_zahl_ = ohne_zahl_ - alte_ohne_zahl + neue_ohne_zahl;
    letzte_leer_ = text.empty() || text.back() == zeilenende;
    laenge_ = text.size();
    bekannte_stelle_ = anfang;
    bekannte_zeile_ = erste;
    ueberblick_ = Proc::ueberblick(werte());
    ueberblick_.ohne_zahl = ohne_zahl_ - letzte_leer_;
}

} // namespace Proc
