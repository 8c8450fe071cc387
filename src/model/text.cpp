#include "text.h"

#include "zahl_lesen.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace Proc {

double Val(std::string_view text) {
    return lesen::zahl_lesen(text.data(), text.data() + text.size(), false).wert;
}

double ValKomma(std::string_view text) {
    return lesen::zahl_lesen(text.data(), text.data() + text.size(), true).wert;
}

int32_t CountFields(std::string_view text, std::string_view separator) {
    if (separator.empty())
        return 1;
    int64_t felder = 1;
    for (std::size_t pos = text.find(separator); pos != std::string_view::npos;
         pos = text.find(separator, pos + separator.size()))
        ++felder;
    return static_cast<int32_t>(std::min<int64_t>(felder, std::numeric_limits<int32_t>::max()));
}

std::string NthField(std::string_view text, std::string_view separator, int32_t n) {
    if (n < 1)
        return {};
    if (separator.empty())
        return n == 1 ? std::string(text) : std::string();
    std::size_t anfang = 0;
    for (int32_t feld = 1; feld < n; ++feld) {
        const std::size_t pos = text.find(separator, anfang);
        if (pos == std::string_view::npos)
            return {};
        anfang = pos + separator.size();
    }
    const std::size_t ende = text.find(separator, anfang);
    return std::string(text.substr(anfang, ende == std::string_view::npos ? ende : ende - anfang));
}

std::vector<std::string_view> alle_felder(std::string_view text, std::string_view separator) {
    std::vector<std::string_view> felder;
    if (separator.empty()) {
        felder.push_back(text);
        return felder;
    }
    std::size_t anfang = 0;
    for (std::size_t pos = text.find(separator); pos != std::string_view::npos;
         pos = text.find(separator, anfang)) {
        felder.push_back(text.substr(anfang, pos - anfang));
        anfang = pos + separator.size();
    }
    felder.push_back(text.substr(anfang));
    return felder;
}

int32_t whole(double x) {
    if (std::isnan(x))
        return 0;
    const double gerundet = std::round(x);
    if (gerundet >= static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (gerundet <= static_cast<double>(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(gerundet);
}

} // namespace Proc
