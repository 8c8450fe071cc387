// Pixel probes of pictures.
#pragma once

#include "model/text.h"
#include "platform/picture.h"

#include <QImage>
#include <QRect>

#include <string>

inline bool schwarz(const QImage& bild, int x, int y) {
    return bild.rect().contains(x, y) && bild.pixelColor(x, y) == Qt::black;
}

inline bool weiss(const QImage& bild, int x, int y) {
    return bild.rect().contains(x, y) && bild.pixelColor(x, y) == Qt::white;
}

inline int nicht_weisse_punkte(const QImage& bild, const QRect& bereich) {
    int anzahl = 0;
    const QRect r = bereich.intersected(bild.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            anzahl += bild.pixelColor(x, y) != Qt::white;
    return anzahl;
}

// The smallest rectangle holding every pixel that is not white.
inline QRect tinte(const QImage& bild) {
    QRect r;
    for (int y = 0; y < bild.height(); ++y)
        for (int x = 0; x < bild.width(); ++x)
            if (bild.pixelColor(x, y) != Qt::white)
                r |= QRect(x, y, 1, 1);
    return r;
}

// Whether the picture shows exactly the given text, at the given size with its baseline's
// left end at (x, y): the text is drawn once more through the same facade on white, and the
// two pictures must agree around its ink, with a margin of one pixel.
inline bool zeigt_text(const QImage& bild, const std::string& text, int x, int y, int groesse) {
    PicturePtr vergleich = NewPicture(bild.width(), bild.height(), 16);
    Graphics& g = vergleich->graphics();
    g.ForeColor = RGB(255, 255, 255);
    g.FillRect(0, 0, bild.width(), bild.height());
    g.ForeColor = RGB(0, 0, 0);
    g.TextSize = groesse;
    g.DrawString(text, x, y);
    const QImage& soll = vergleich->image();
    const QRect bereich = tinte(soll).adjusted(-1, -1, 1, 1).intersected(bild.rect());
    if (bereich.isEmpty())
        return false;
    for (int py = bereich.top(); py <= bereich.bottom(); ++py)
        for (int px = bereich.left(); px <= bereich.right(); ++px)
            if (bild.pixel(px, py) != soll.pixel(px, py))
                return false;
    return true;
}
