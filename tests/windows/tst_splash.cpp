// The splash and about window: version string, beta mark, closing by timer and by click.
#include "windows/win_splash.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

namespace {

void version_setzen(int stufe) {
    const std::pair<const char*, int> teile[] = {{"MajorVersion", 1},
                                                 {"MinorVersion", 2},
                                                 {"BugVersion", 0},
                                                 {"StageCode", stufe},
                                                 {"NonReleaseVersion", 5}};
    for (const auto& [name, wert] : teile)
        qApp->setProperty(name, wert);
}

// Runs fn with the splash window once its modal event loop runs.
template <typename Fn> void im_fenster(int ms, Fn fn) {
    QTimer::singleShot(ms, qApp, [fn] { fn(WIsplash::offen()); });
}

} // namespace

class TstSplash : public QObject {
    Q_OBJECT
private slots:
    void versionstext_data();
    void versionstext();
    void fenster_data();
    void fenster();
    void splash_schliesst_sich_nach_zwei_sekunden();
    void infofenster_bleibt_bis_zum_klick();
};

void TstSplash::versionstext_data() {
    QTest::addColumn<int>("stufe");
    QTest::addColumn<QString>("text");
    QTest::newRow("development") << 0 << "1.2.0 dev 5";
    QTest::newRow("alpha") << 1 << "1.2.0 a 5";
    QTest::newRow("beta") << 2 << "1.2.0 b 5";
    QTest::newRow("final") << 3 << "1.2.0 (5)";
    QTest::newRow("unknown stage") << 7 << "1.2.0";
}

void TstSplash::versionstext() {
    QFETCH(int, stufe);
    QFETCH(QString, text);
    QCOMPARE(BuildVersion(1, 2, 0, stufe, 5), text);
    version_setzen(stufe);
    QCOMPARE(BuildVersion(), text);
    QCOMPARE(BuildVersion(-1, 10, 3, 0, -2), QStringLiteral("-1.10.3 dev -2"));
}

void TstSplash::fenster_data() {
    QTest::addColumn<int>("stufe");
    QTest::addColumn<bool>("beta");
    for (int stufe : {0, 1, 2, 3})
        QTest::newRow(qPrintable(QString("stage %1").arg(stufe))) << stufe << (stufe == 2);
}

void TstSplash::fenster() {
    QFETCH(int, stufe);
    QFETCH(bool, beta);
    version_setzen(stufe);
    bool geprueft = false;
    im_fenster(0, [&](WIsplash* s) {
        QCOMPARE(s->size(), QSize(200, 233));
        QVERIFY(s->isModal());
        QCOMPARE(s->palette().color(QPalette::Window), QColor(Qt::white));
        QCOMPARE(s->STappver->text(), BuildVersion(1, 2, 0, stufe, 5));
        QCOMPARE(s->StaticText1->text(), QStringLiteral("Velmora"));
        QCOMPARE(s->StaticText1->geometry(), QRect(50, 193, 100, 20));
        QVERIFY(s->StaticText1->font().bold());
        QCOMPARE(s->Canvas1->geometry(), QRect(20, 23, 160, 160));
        QVERIFY(s->STpackinfo->text().contains("Velmora"));
        QVERIFY(s->STpackinfo->text().contains(QRegularExpression("20\\d\\d")));
        QCOMPARE(s->STbeta->isVisible(), beta);
        QCOMPARE(s->STbeta->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QCOMPARE(s->STbeta->geometry(), QRect(153, 23, 43, 20));
        geprueft = true;
        s->close();
    });
    WIsplash::instance()->Update(false);
    QVERIFY(geprueft);
    QTRY_VERIFY(!WIsplash::offen()); // released once closed
}

void TstSplash::splash_schliesst_sich_nach_zwei_sekunden() {
    QElapsedTimer uhr;
    uhr.start();
    WIsplash::instance()->Update(true);
    QVERIFY2(uhr.elapsed() >= 1900 && uhr.elapsed() < 6000,
             qPrintable(QString::number(uhr.elapsed())));

    // A click closes it at once.
    im_fenster(100, [](WIsplash* s) { QTest::mouseClick(s->Canvas1, Qt::LeftButton); });
    uhr.restart();
    WIsplash::instance()->Update(true);
    QVERIFY(uhr.elapsed() < 1500);
}

void TstSplash::infofenster_bleibt_bis_zum_klick() {
    bool noch_offen = false;
    im_fenster(2500, [&](WIsplash* s) {
        noch_offen = s && s->isVisible() && !s->Timer1->isActive();
        QTest::mouseClick(s, Qt::LeftButton, {}, QPoint(5, 5));
    });
    WIsplash::instance()->Update(false);
    QVERIFY(noch_offen);
}

QTEST_MAIN(TstSplash)
#include "tst_splash.moc"
