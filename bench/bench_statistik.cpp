// Werte_aus_daten_berechnen alone. Value lists as pasted (two decimals, decimal commas) of
// 100,000 and 1,000,000 values, the latter against NumPy on the same text where NumPy is
// installed (Debian's python3-numpy, used for this comparison only). Then lists of 1,000,000
// values written with 15 digits and spread in ways hard for reading, for the selection of
// quartiles and median and for the outlier texts (the last one built to be the slowest for
// the selection), each against the ordinary list written the same way, with the selection
// alone and a plain sort for comparison; each spread list is timed by turns with the ordinary
// one. Given a word, only the cases whose names hold it run.
#include "messung.h"

#include "model/auswahl.h"
#include "model/proc.h"
#include "model/statistik.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <utility>

namespace {

const char* auswahl = nullptr;

bool gewaehlt(const std::string& name) {
    return auswahl == nullptr || name.find(auswahl) != std::string::npos;
}

// The statistics of the current value list of set 1, timed; the median, or 0 when not chosen.
double statistik_messen(const std::string& name, int laeufe) {
    if (!gewaehlt(name))
        return 0.0;
    return messen(name.c_str(), laeufe, [] { Proc::Werte_aus_daten_berechnen(1); });
}

// NumPy's fastest way on the same text (bench/numpy_statistik.py), printed like messen; the
// median, or 0 where there is no Python with NumPy.
double numpy_messen(const std::string& name, const std::string& text, int laeufe) {
    if (!gewaehlt(name))
        return 0.0;
    const auto datei = std::filesystem::temp_directory_path() /
                       ("velmora-bench-" + std::to_string(getpid()) + ".txt");
    std::ofstream(datei, std::ios::binary) << text;
    double median = 0.0, schnellster = 0.0, langsamster = 0.0;
    char weg[32] = {};
    for (const char* python : {"/usr/bin/python3", "python3"}) {
        const std::string befehl = std::string(python) +
                                   " '" VELMORA_BENCH_DIR "/numpy_statistik.py' '" +
                                   datei.string() + "' " + std::to_string(laeufe) + " 2>/dev/null";
        FILE* ausgabe = popen(befehl.c_str(), "r");
        const bool gelesen =
            ausgabe != nullptr &&
            std::fscanf(ausgabe, "%31s %lf %lf %lf", weg, &median, &schnellster, &langsamster) == 4;
        if (ausgabe != nullptr)
            pclose(ausgabe);
        if (gelesen)
            break;
        median = 0.0;
    }
    std::filesystem::remove(datei);
    if (median == 0.0) {
        std::printf("%-58s skipped: no python3 with NumPy (python3-numpy)\n", name.c_str());
        return 0.0;
    }
    static bool gesagt = false;
    if (!std::exchange(gesagt, true))
        std::printf("(NumPy from python3-numpy, used for this comparison only: the text's lines "
                    "read into an array, the same quartiles, mean, fences and sorted outliers)\n");
    const std::string zeile = name + " (" + weg + ")";
    std::printf("%-58s median %9.3f ms   min %9.3f ms   max %9.3f ms   runs %d\n", zeile.c_str(),
                median, schnellster, langsamster, laeufe);
    return median;
}

void verhaeltnis(const char* wie, double zaehler, double nenner) {
    if (zaehler > 0.0 && nenner > 0.0)
        std::printf("  %-56s %9.2f x\n", wie, zaehler / nenner);
}

double median(std::vector<double> werte) {
    std::sort(werte.begin(), werte.end());
    return werte[werte.size() / 2];
}

// The statistics of set 1 against those of set 2 (the ordinary list), taken by turns so that
// both meet the same load of the machine: set 1's times, and the median of the ratios of
// each pair of runs, with the share of outliers in set 1.
void gegen_gewoehnlich_messen(const std::string& name, int laeufe) {
    if (!gewaehlt(name))
        return;
    const auto dauer = [](int32_t satz) {
        const auto anfang = std::chrono::steady_clock::now();
        Proc::Werte_aus_daten_berechnen(satz);
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - anfang)
            .count();
    };
    std::vector<double> zeiten, verhaeltnisse;
    for (int i = 0; i < laeufe; ++i) {
        const double gewoehnlich = dauer(2);
        zeiten.push_back(dauer(1));
        verhaeltnisse.push_back(zeiten.back() / gewoehnlich);
    }
    std::printf("%-58s median %9.3f ms   min %9.3f ms   max %9.3f ms   runs %d\n", name.c_str(),
                median(zeiten), *std::min_element(zeiten.begin(), zeiten.end()),
                *std::max_element(zeiten.begin(), zeiten.end()), laeufe);
    const std::string& liste = Proc::daten_ausreisser(1, Proc::ausreisser_liste);
    const auto ausreisser = std::count(liste.begin(), liste.end(), ';') + !liste.empty();
    const std::string wie = "against the ordinary list, run by run; outliers " +
                            std::to_string(ausreisser * 100 / 1'000'000) + " %";
    std::printf("  %-56s %9.2f x\n", wie.c_str(), median(verhaeltnisse));
}

} // namespace

int main(int argc, char* argv[]) {
    using namespace Proc;
    auswahl = argc > 1 ? argv[1] : nullptr;
    daten_werteliste(1) = werteliste(100'000);
    statistik_messen("statistics, 100,000 values", 21);
    daten_werteliste(1) = werteliste(1'000'000, 0.05);
    statistik_messen("statistics, 1,000,000 values, 5 % outliers", 21);
    daten_werteliste(1) = werteliste(1'000'000);
    const double velmora = statistik_messen("statistics, 1,000,000 values", 21);
    const double numpy = numpy_messen("NumPy, 1,000,000 values", daten_werteliste(1), 11);
    verhaeltnis("NumPy's time over Velmora's", numpy, velmora);

    // The positions of quartiles and median in an even count of 1,000,000.
    const std::size_t raenge[] = {249'999, 250'000, 499'999, 500'000, 749'999, 750'000};
    const std::pair<std::vector<double>, const char*> listen[] = {
        {spreizwerte(1'000'000, Spreizung::gewoehnlich), "ordinary, 15 digits"},
        {spreizwerte(1'000'000, Spreizung::binaden), "2^-1000..2^999, random signs"},
        {spreizwerte(1'000'000, Spreizung::binaden_positiv), "2^-1000..2^999, positive"},
        {spreizwerte(1'000'000, Spreizung::zehnerpotenzen), "powers of ten 1..1e15"},
        {spreizwerte(1'000'000, Spreizung::ganz), "whole range of doubles"},
        {spreizwerte(1'000'000, Spreizung::ausreisser), "10 % outliers at 1e3..1e300"},
        {verschachtelt(1'000'000), "nested at the bin edges"}};
    daten_werteliste(2) = als_werteliste(listen[0].first);
    for (const auto& [werte, art] : listen) {
        const std::string zeile = std::string(", 1,000,000 values, ") + art;
        daten_werteliste(1) = als_werteliste(werte);
        if (&werte == &listen[0].first) {
            const double zeit = statistik_messen("statistics" + zeile, 21);
            verhaeltnis("NumPy's time over Velmora's",
                        numpy_messen("NumPy" + zeile, daten_werteliste(1), 11), zeit);
        } else {
            gegen_gewoehnlich_messen("statistics" + zeile, 21);
        }
        const double kleinster = *std::min_element(werte.begin(), werte.end());
        const double groesster = *std::max_element(werte.begin(), werte.end());
        std::vector<double> kopie;
        if (gewaehlt("selection" + zeile))
            messen(("selection" + zeile).c_str(), 11, [&] {
                kopie = werte;
                werte_an_raengen(kopie, kleinster, groesster, raenge);
            });
        if (gewaehlt("sort" + zeile))
            messen(("sort" + zeile).c_str(), 11, [&] {
                kopie = werte;
                std::sort(kopie.begin(), kopie.end());
            });
    }
}
