// Werte_aus_daten_berechnen alone. Value lists as pasted (two decimals, decimal commas) of
// 100,000 and 1,000,000 values, the latter by turns with NumPy on the same text where NumPy is
// installed (Debian's python3-numpy, used for this comparison only). Then lists of 1,000,000
// values written with 15 digits (the whole range of doubles with 17) and spread in ways hard
// for reading, for the selection of quartiles and median and for the outlier texts (the last
// one built to be the slowest for the selection), each against the ordinary list written with
// as many digits, with the selection alone and a plain sort for comparison; each spread list
// is timed by turns with the ordinary one, and the ordinary one by turns with NumPy. Given a
// word, only the cases whose names hold it run.
#include "messung.h"

#include "model/auswahl.h"
#include "model/proc.h"
#include "model/statistik.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

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

// The statistics of a set, timed once.
double dauer(int32_t satz) {
    const auto anfang = std::chrono::steady_clock::now();
    Proc::Werte_aus_daten_berechnen(satz);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - anfang)
        .count();
}

double median(std::vector<double> werte) {
    std::sort(werte.begin(), werte.end());
    return werte[werte.size() / 2];
}

void zeiten_drucken(const std::string& name, const std::vector<double>& zeiten) {
    std::printf("%-58s median %9.3f ms   min %9.3f ms   max %9.3f ms   runs %zu\n", name.c_str(),
                median(zeiten), *std::min_element(zeiten.begin(), zeiten.end()),
                *std::max_element(zeiten.begin(), zeiten.end()), zeiten.size());
}

// NumPy in a child process (bench/numpy_statistik.py) on a copy of the text, asked for one
// run at a time. weg is the way of reading it found fastest, empty where there is no Python
// with NumPy.
class NumPy {
public:
    explicit NumPy(const std::string& text) {
        std::ofstream(datei, std::ios::binary) << text;
        int hin[2] = {-1, -1}, her[2] = {-1, -1};
        if (pipe(hin) != 0 || pipe(her) != 0 || (kind = fork()) < 0) {
            for (int fd : {hin[0], hin[1], her[0], her[1]})
                if (fd >= 0)
                    close(fd);
            return;
        }
        if (kind == 0)
            starten(hin, her);
        close(hin[0]);
        close(her[1]);
        nach = fdopen(hin[1], "w");
        von = fdopen(her[0], "r");
        char name[32] = {};
        if (nach != nullptr && von != nullptr && std::fscanf(von, "%31s", name) == 1)
            weg = name;
    }
    ~NumPy() {
        if (nach != nullptr)
            std::fclose(nach); // the end of its input ends the child
        if (von != nullptr)
            std::fclose(von);
        if (kind > 0)
            waitpid(kind, nullptr, 0);
        std::filesystem::remove(datei);
    }
    NumPy(const NumPy&) = delete;
    NumPy& operator=(const NumPy&) = delete;

    // One run, in ms; 0 where the child gave no answer.
    double lauf() {
        double ms = 0.0;
        if (std::fputs("\n", nach) < 0 || std::fflush(nach) != 0 ||
            std::fscanf(von, "%lf", &ms) != 1)
            return 0.0;
        return ms;
    }

    std::string weg;

private:
    [[noreturn]] void starten(const int hin[2], const int her[2]) {
        dup2(hin[0], 0);
        dup2(her[1], 1);
        const int nichts = open("/dev/null", O_WRONLY);
        dup2(nichts, 2);
        for (int fd : {hin[0], hin[1], her[0], her[1], nichts})
            close(fd);
        const char* skript = VELMORA_BENCH_DIR "/numpy_statistik.py";
        // Debian's Python first, which has python3-numpy; else whichever is on the path.
        execl("/usr/bin/python3", "python3", skript, datei.c_str(), nullptr);
        execlp("python3", "python3", skript, datei.c_str(), nullptr);
        _exit(127);
    }

    const std::filesystem::path datei = std::filesystem::temp_directory_path() /
                                        ("velmora-bench-" + std::to_string(getpid()) + ".txt");
    pid_t kind = -1;
    FILE* nach = nullptr;
    FILE* von = nullptr;
};

// The statistics of set 1 against NumPy's on the same text, taken by turns so that both meet
// the same load of the machine, each timed on its second run of a turn, once the processor
// is awake again: the times of each, and the median of the ratios of each pair of runs.
void gegen_numpy_messen(const std::string& art, int laeufe) {
    const std::string velmora = "statistics, 1,000,000 values" + art;
    const std::string numpy = "NumPy, 1,000,000 values" + art;
    if (!gewaehlt(velmora) && !gewaehlt(numpy))
        return;
    NumPy python(Proc::daten_werteliste(1));
    std::vector<double> eigene, fremde, verhaeltnisse;
    for (int i = 0; i < laeufe; ++i) {
        dauer(1); // after waiting on NumPy the processor runs slower for some milliseconds
        eigene.push_back(dauer(1));
        if (python.weg.empty())
            continue;
        fremde.push_back(python.lauf());
        verhaeltnisse.push_back(fremde.back() / eigene.back());
    }
    zeiten_drucken(velmora, eigene);
    if (python.weg.empty() || *std::min_element(fremde.begin(), fremde.end()) <= 0.0) {
        std::printf("%-58s skipped: no python3 with NumPy (python3-numpy)\n", numpy.c_str());
        return;
    }
    static bool gesagt = false;
    if (!std::exchange(gesagt, true))
        std::printf("(NumPy from python3-numpy, used for this comparison only: the text's lines "
                    "read into an array, the same quartiles, mean, fences and sorted outliers)\n");
    zeiten_drucken(numpy + " (" + python.weg + ")", fremde);
    std::printf("  %-56s %9.2f x\n", "NumPy's time over Velmora's, run by run",
                median(verhaeltnisse));
}

// The statistics of set 1 against those of set 2 (the ordinary list), taken by turns so that
// both meet the same load of the machine: set 1's times, and the median of the ratios of
// each pair of runs, with the share of outliers in set 1.
void gegen_gewoehnlich_messen(const std::string& name, int laeufe) {
    if (!gewaehlt(name))
        return;
    std::vector<double> zeiten, verhaeltnisse;
    for (int i = 0; i < laeufe; ++i) {
        const double gewoehnlich = dauer(2);
        zeiten.push_back(dauer(1));
        verhaeltnisse.push_back(zeiten.back() / gewoehnlich);
    }
    zeiten_drucken(name, zeiten);
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
    std::signal(SIGPIPE, SIG_IGN); // a NumPy child that ends early gives an answer of 0 instead
    daten_werteliste(1) = werteliste(100'000);
    statistik_messen("statistics, 100,000 values", 21);
    daten_werteliste(1) = werteliste(1'000'000, 0.05);
    statistik_messen("statistics, 1,000,000 values, 5 % outliers", 21);
    daten_werteliste(1) = werteliste(1'000'000);
    gegen_numpy_messen("", 21);

    // The positions of quartiles and median in an even count of 1,000,000.
    const std::size_t raenge[] = {249'999, 250'000, 499'999, 500'000, 749'999, 750'000};
    // Each with its significant digits: a list of computed doubles, over their whole range,
    // is written with 17, as it takes that many to give each back.
    struct Liste {
        std::vector<double> werte;
        const char* art;
        int stellen = 15;
    };
    const Liste listen[] = {
        {spreizwerte(1'000'000, Spreizung::gewoehnlich), "ordinary, 15 digits"},
        {spreizwerte(1'000'000, Spreizung::binaden), "2^-1000..2^999, random signs"},
        {spreizwerte(1'000'000, Spreizung::binaden_positiv), "2^-1000..2^999, positive"},
        {spreizwerte(1'000'000, Spreizung::zehnerpotenzen), "powers of ten 1..1e15"},
        {spreizwerte(1'000'000, Spreizung::ganz), "whole range, 17 digits", 17},
        {spreizwerte(1'000'000, Spreizung::ausreisser), "10 % outliers at 1e3..1e300"},
        {verschachtelt(1'000'000), "nested at the bin edges"}};
    int gewoehnlich_stellen = 0;
    for (const auto& [werte, art, stellen] : listen) {
        const std::string zeile = std::string(", 1,000,000 values, ") + art;
        if (!gewaehlt("statistics" + zeile) && !gewaehlt("selection" + zeile) &&
            !gewaehlt("sort" + zeile) && !gewaehlt("NumPy" + zeile))
            continue;
        if (stellen != std::exchange(gewoehnlich_stellen, stellen)) // the ordinary list alike
            daten_werteliste(2) = als_werteliste(listen[0].werte, stellen);
        daten_werteliste(1) = als_werteliste(werte, stellen);
        if (&werte == &listen[0].werte)
            gegen_numpy_messen(std::string(", ") + art, 21);
        else
            gegen_gewoehnlich_messen("statistics" + zeile, 21);
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
