// The chart window: its frame, its canvas following the window, and recomposition.
#include "chart/pictures.h"
#include "support/startwerte.h"
#include "windows/win_boxplot.h"

#include <QTest>

using namespace Proc;

class TstWinBoxplot : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void fenster_und_leinwand();
    void zeigt_das_zuletzt_gezeichnete_bild();
    void groessenaenderung_zeichnet_neu_data();
    void groessenaenderung_zeichnet_neu();
    void geschlossenes_fenster_oeffnet_neu();
};

void TstWinBoxplot::init() {
    startwerte_setzen();
}

void TstWinBoxplot::cleanup() {
    delete WinBoxplot::offen();
}

void TstWinBoxplot::fenster_und_leinwand() {
    boxplot_zeichnen();
    WinBoxplot* fenster = WinBoxplot::offen();
    QVERIFY(fenster && fenster->isVisible());
    QCOMPARE(fenster->windowTitle(), QStringLiteral("Boxplot"));
    QCOMPARE(fenster->size(), QSize(190, 434));
    QCOMPARE(fenster->minimumSize(), QSize(150, 200));
    QCOMPARE(fenster->maximumSize(), QSize(32000, 32000));
    QVERIFY(!(fenster->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(fenster->windowFlags() & Qt::WindowMinimizeButtonHint);
    QCOMPARE(fenster->CAbox->geometry(), QRect(20, 14, 150, 400));
    QCOMPARE(fenster->CAbox->focusPolicy(), Qt::NoFocus);
    QCOMPARE(WinBoxplot::instance(), fenster);
}

void TstWinBoxplot::zeigt_das_zuletzt_gezeichnete_bild() {
    boxplot_zeichnen();
    QCOMPARE(WinBoxplot::offen()->CAbox->Backdrop(), bild_ergebnis);
    const QImage gezeigt = WinBoxplot::offen()->CAbox->grab().toImage();
    QCOMPARE(gezeigt.convertToFormat(QImage::Format_RGB32),
             bild_ergebnis->image().convertToFormat(QImage::Format_RGB32));
}

void TstWinBoxplot::groessenaenderung_zeichnet_neu_data() {
    QTest::addColumn<QSize>("fenster");
    QTest::addColumn<QSize>("bild");
    QTest::newRow("minimum size") << QSize(150, 200) << QSize(110, 166);
    QTest::newRow("larger") << QSize(640, 480) << QSize(600, 446);
    QTest::newRow("below the minimum is held at it") << QSize(10, 10) << QSize(110, 166);
}

void TstWinBoxplot::groessenaenderung_zeichnet_neu() {
    QFETCH(QSize, fenster);
    QFETCH(QSize, bild);
    boxplot_zeichnen();
    const PicturePtr vorher = bild_ergebnis;
    WinBoxplot::offen()->resize(fenster);
    QCOMPARE(QSize(breite_bild, hoehe_bild), bild);
    QCOMPARE(WinBoxplot::offen()->CAbox->size(), bild);
    QVERIFY(bild_ergebnis != vorher);
    QCOMPARE(bild_ergebnis->image().size(), bild);
    QCOMPARE(WinBoxplot::offen()->CAbox->Backdrop(), bild_ergebnis);
}

void TstWinBoxplot::geschlossenes_fenster_oeffnet_neu() {
    boxplot_zeichnen();
    QPointer<WinBoxplot> erstes = WinBoxplot::offen();
    erstes->close();
    QTRY_VERIFY(erstes.isNull()); // released when closed
    QVERIFY(!WinBoxplot::offen());
    boxplot_zeichnen();
    QVERIFY(WinBoxplot::offen() && WinBoxplot::offen()->isVisible());
    QCOMPARE(WinBoxplot::offen()->CAbox->Backdrop(), bild_ergebnis);
}

QTEST_MAIN(TstWinBoxplot)
#include "tst_win_boxplot.moc"
