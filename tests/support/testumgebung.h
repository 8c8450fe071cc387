// The same pictures on every machine: the tests draw with a font of their own (tests/fonts, not
// the desktop's), unhinted and without glyphs borrowed from other fonts, in the Fusion style
// with its standard palette, whatever style the desktop prefers. The application itself keeps
// the platform's font and style.
#pragma once

#include <QApplication>
#include <QFontDatabase>
#include <QStyle>
#include <QStyleFactory>

inline void testumgebung_einrichten() {
    for (const char* datei : {"VelmoraTestSans.ttf", "VelmoraTestSans-Bold.ttf"})
        if (QFontDatabase::addApplicationFont(QStringLiteral(VELMORA_TEST_FONTS "/") + datei) < 0)
            qFatal("the test font %s cannot be loaded", datei);
    QFont schrift(QStringLiteral("Velmora Test Sans"));
    schrift.setPixelSize(12); // not in points, which differ with the screen's resolution
    schrift.setHintingPreference(QFont::PreferNoHinting);
    schrift.setStyleStrategy(
        QFont::StyleStrategy(QFont::NoFontMerging | QFont::NoSubpixelAntialias));
    QApplication::setFont(schrift);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(QApplication::style()->standardPalette());
}
