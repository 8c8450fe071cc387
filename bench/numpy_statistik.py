# What NumPy needs for the statistics of a value list, for comparison in bench_statistik: the
# text's lines split and read into a float64 array, then the same quartiles (medians of the
# halves), mean, fences and sorted outliers. The fastest of the ways of reading is found
# first and its name printed; then each line read from stdin asks for two more runs, the first
# to wake the processor after waiting (untimed), the second timed and its time in ms printed,
# so that the caller can take turns with it.
import sys
import time
import warnings

import numpy as np

warnings.simplefilter("ignore")  # fromstring with a separator is not deprecated, others are


def gelesen_fromstring(text):
    return np.fromstring(text.replace(",", "."), sep="\r")


def gelesen_leerzeichen(text):  # blanks between the numbers: fromstring reads them its own way
    return np.fromstring(text.replace(",", ".").replace("\r", " "), sep=" ")


def gelesen_split(text):
    return np.array(text.replace(",", ".").split("\r")[:-1], dtype=np.float64)


def statistik(x):
    n = x.size
    m = n // 2
    raenge = sorted({m // 2 - 1, m // 2, n // 2 - 1, n // 2, n - m + m // 2 - 1, n - m + m // 2})
    teil = np.partition(x, raenge)  # the ranks needed, no full sort

    def median(von, bis):
        mitte = von + (bis - von) // 2
        return teil[mitte] if (bis - von) % 2 else (teil[mitte - 1] + teil[mitte]) / 2

    q1, q3 = median(0, m), median(n - m, n)
    abstand = (q3 - q1) * 1.5
    innen = (x >= q1 - abstand) & (x <= q3 + abstand)
    return (x.min(), q1, median(0, n), q3, x.max(), round(float(x.mean()), 2), x[innen].min(),
            x[innen].max(), np.sort(x[~innen]))


def zeit(lesen, text):
    anfang = time.perf_counter()
    statistik(lesen(text))
    return (time.perf_counter() - anfang) * 1000


def main():
    with open(sys.argv[1], newline="") as datei:
        text = datei.read()
    wege = (("fromstring", gelesen_fromstring), ("fromstring-blanks", gelesen_leerzeichen),
            ("split", gelesen_split))
    name, lesen = min(wege, key=lambda weg: min(zeit(weg[1], text) for _ in range(5)))
    print(name, flush=True)
    for _ in sys.stdin:
        zeit(lesen, text)
        print("%.3f" % zeit(lesen, text), flush=True)


main()
