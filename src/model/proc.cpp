#include "proc.h"

#include <cassert>

namespace Proc {

namespace {

bool im_bereich(int32_t index, int32_t hoechster) {
    return index >= 0 && index <= hoechster;
}

// Scratch element for a programming error in a release build: reset at every hand-out so
// that a stray read sees the load value and a stray write goes nowhere.
template <typename T> T& ausweichelement() {
    static T element{};
    element = T{};
    return element;
}

} // namespace

void ladewerte_setzen() {
    zustand = Ladewerte{};
}

int32_t& daten_satzart(int32_t satz) {
    assert(im_bereich(satz, max_satz));
    if (!im_bereich(satz, max_satz))
        return ausweichelement<int32_t>();
    return zustand.satzart[satz];
}

std::string& daten_werteliste(int32_t satz) {
    assert(im_bereich(satz, max_satz));
    if (!im_bereich(satz, max_satz))
        return ausweichelement<std::string>();
    return zustand.werteliste[satz];
}

double& daten_basiswert(int32_t satz, int32_t spalte) {
    assert(im_bereich(satz, max_satz) && im_bereich(spalte, max_basiswert_spalte));
    if (!im_bereich(satz, max_satz) || !im_bereich(spalte, max_basiswert_spalte))
        return ausweichelement<double>();
    return zustand.basiswert[satz][spalte];
}

std::string& daten_ausreisser(int32_t satz, int32_t spalte) {
    assert(im_bereich(satz, max_satz) && im_bereich(spalte, max_ausreisser_spalte));
    if (!im_bereich(satz, max_satz) || !im_bereich(spalte, max_ausreisser_spalte))
        return ausweichelement<std::string>();
    return zustand.ausreisser[satz][spalte];
}

} // namespace Proc
