// Module state of Velmora: every variable the application keeps, in one namespace.
//
// The per-set stores are addressed one element at a time, with 1-based set numbers and
// columns: Proc::daten_basiswert(satz, 3) = 50.0;
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace Proc {

// Highest set number and columns the stores are declared for; index 0 is never used.
inline constexpr int32_t max_satz = 10;
// At most five sets are ever in use, one per set button.
inline constexpr int32_t hoechste_satzanzahl = 5;
inline constexpr int32_t max_basiswert_spalte = 8;
inline constexpr int32_t max_ausreisser_spalte = 3;

// Kinds of a data set.
inline constexpr int32_t satzart_neu = 0;        // never selected yet
inline constexpr int32_t satzart_boxwerte = 1;   // "Box-Werte": base values typed
inline constexpr int32_t satzart_datenreihe = 2; // "Datenreihe": computed from a value list

// Columns of daten_basiswert.
enum Basiswert : int32_t {
    minimum = 1,
    unteres_quartil = 2,
    median = 3,
    oberes_quartil = 4,
    maximum = 5,
    mittelwert = 6,
    spannweite = 7,
    anzahl = 8,
};

// Columns of daten_ausreisser.
enum Ausreisser : int32_t {
    whisker_unten = 1,
    whisker_oben = 2,
    ausreisser_liste = 3,
};

// All module variables with the values they have when the application is loaded.
struct Ladewerte {
    std::array<int32_t, max_satz + 1> satzart{};
    std::array<std::string, max_satz + 1> werteliste{};
    std::array<std::array<double, max_basiswert_spalte + 1>, max_satz + 1> basiswert{};
    std::array<std::array<std::string, max_ausreisser_spalte + 1>, max_satz + 1> ausreisser{};
    std::array<std::size_t, max_satz + 1> ohne_zahl{};

    std::string daten_reihenname = "A;B;C;D;E";
    int32_t daten_akt_satz = 0;
    int32_t daten_max_satz_anzahl = 0;
    bool eingabe_aktiv = false;

    bool auto_zeichnen = true;
    bool daten_alle_saetze_zeichnen = false;
    bool boxplot_erweitert = true;
    bool mittelwert_anzeigen = true;
    bool box_werte_anzeigen = true;

    double startwert = 0.0;
    double endwert = 0.0;
    double skala_mark = 0.0;

    int32_t breite_bild = 0;
    int32_t hoehe_bild = 0;
    double pos_rand_l = 0.0;
    double pos_text_breite = 0.0;
    double pos_pfeil_breite = 0.0;
    double pos_abst_pfeil_box = 0.0;
    double pos_box_breite = 0.0;
    double pos_rand_r = 0.0;
    double whisker_breite = 0.0;
    double pos_rand_o = 0.0;
    double pos_rand_u = 0.0;
    double pos_pfeil_hoehe = 0.0;
    double schrift_hoehe = 0.0;

    int32_t Pref_SplashAtStart = 1;
};

inline Ladewerte zustand;

// Gives every module variable its load value again.
void ladewerte_setzen();

// The start values that start-up assigns, in the order it assigns them: the picture size; set 1
// current, of kind "Box-Werte", alone in use, all sets drawn; the display options on; the layout
// fractions, with top and bottom margins as wide as the left one at the start-up size; set 1's
// box values; the scale from 0 to 100 with a mark every 10.
void startgroesse_setzen();
void startauswahl_setzen();
void anzeigeoptionen_setzen();
void layout_setzen();
void startbasiswerte_setzen();
void startskala_setzen();
// All of them: the module state as start-up leaves it, for the chart without the data window.
void startwerte_setzen();

// One element of a per-set store. An index outside the declared range is a programming
// error: debug builds stop at an assertion, release builds hand out a scratch element so
// that nothing outside the store is ever read or written.
int32_t& daten_satzart(int32_t satz);
std::string& daten_werteliste(int32_t satz);
double& daten_basiswert(int32_t satz, int32_t spalte);
std::string& daten_ausreisser(int32_t satz, int32_t spalte);
// How many lines of a set's value list count as 0 without beginning with a number (empty
// lines, words), as its statistics last found.
std::size_t& daten_ohne_zahl(int32_t satz);

// Set names, one field per set, separated by ";".
inline std::string& daten_reihenname = zustand.daten_reihenname;

// Selection and entry state.
inline int32_t& daten_akt_satz = zustand.daten_akt_satz;
inline int32_t& daten_max_satz_anzahl = zustand.daten_max_satz_anzahl;
inline bool& eingabe_aktiv = zustand.eingabe_aktiv;

// Display settings.
inline bool& auto_zeichnen = zustand.auto_zeichnen;
inline bool& daten_alle_saetze_zeichnen = zustand.daten_alle_saetze_zeichnen;
inline bool& boxplot_erweitert = zustand.boxplot_erweitert;
inline bool& mittelwert_anzeigen = zustand.mittelwert_anzeigen;
inline bool& box_werte_anzeigen = zustand.box_werte_anzeigen;

// Value scale of the chart.
inline double& startwert = zustand.startwert;
inline double& endwert = zustand.endwert;
inline double& skala_mark = zustand.skala_mark;

// Chart picture size and the fractions that lay out one box plot.
inline int32_t& breite_bild = zustand.breite_bild;
inline int32_t& hoehe_bild = zustand.hoehe_bild;
inline double& pos_rand_l = zustand.pos_rand_l;
inline double& pos_text_breite = zustand.pos_text_breite;
inline double& pos_pfeil_breite = zustand.pos_pfeil_breite;
inline double& pos_abst_pfeil_box = zustand.pos_abst_pfeil_box;
inline double& pos_box_breite = zustand.pos_box_breite;
inline double& pos_rand_r = zustand.pos_rand_r;
inline double& whisker_breite = zustand.whisker_breite;
inline double& pos_rand_o = zustand.pos_rand_o;
inline double& pos_rand_u = zustand.pos_rand_u;
inline double& pos_pfeil_hoehe = zustand.pos_pfeil_hoehe;
inline double& schrift_hoehe = zustand.schrift_hoehe;

// Start-up preference: 1 shows the splash window at start-up.
inline int32_t& Pref_SplashAtStart = zustand.Pref_SplashAtStart;

} // namespace Proc
