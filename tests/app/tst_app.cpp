// The application shell: menu bar, menu handlers, editing commands and start-up.
#include "app.h"
#include "chart/pictures.h"
#include "model/proc.h"
#include "windows/win_boxplot.h"
#include "windows/win_daten.h"
#include "windows/win_splash.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

namespace {

QAction* eintrag(const QString& name) {
    return app()->MenuBar1->findChild<QAction*>(name);
}

template <typename Fn> void im_modalen_fenster(int ms, Fn fn) {
    QTimer::singleShot(ms, qApp, [fn] { fn(QApplication::activeModalWidget()); });
}

} // namespace

class TstApp : public QObject {
    Q_OBJECT
private slots:
    void menueleiste_data();
    void menueleiste();
    void start();
    void info_zeigt_das_infofenster();
    void bild_speichern_fragt_nach_dem_namen();
    void speichern_aus_dem_diagrammfenster();
    void bearbeiten_wirkt_auf_das_feld();
    void beenden();
};

void TstApp::menueleiste_data() {
    QTest::addColumn<QString>("menue");
    QTest::addColumn<QStringList>("namen");
    QTest::addColumn<QStringList>("texte");
    QTest::addColumn<QStringList>("kurzbefehle");
    QTest::newRow("File") << "&File" << QStringList{"MEInfo", "FileBildspeichern", "FileQuit"}
                          << QStringList{"Über Velmora... ", "Bild speichern...", "&Quit"}
                          << QStringList{"Ctrl+I", "Ctrl+S", "Ctrl+Q"};
    QTest::newRow("Edit")
        << "&Edit" << QStringList{"EditUndo",  "UntitledMenu1", "EditCut",       "EditCopy",
                                  "EditPaste", "EditClear",     "UntitledMenu0", "EditSelectAll"}
        << QStringList{"&Undo", "", "Cu&t", "&Copy", "&Paste", "&Delete", "", "Select &All"}
        << QStringList{"Ctrl+Z", "", "Ctrl+X", "Ctrl+C", "Ctrl+V", "", "", "Ctrl+A"};
}

void TstApp::menueleiste() {
    QFETCH(QString, menue);
    QFETCH(QStringList, namen);
    QFETCH(QStringList, texte);
    QFETCH(QStringList, kurzbefehle);
    const QList<QAction*> menues = app()->MenuBar1->actions();
    QCOMPARE(menues.size(), 2);
    QCOMPARE(menues[0]->text(), QStringLiteral("&File"));
    QCOMPARE(menues[1]->text(), QStringLiteral("&Edit"));
    const QList<QAction*> eintraege = menues[menue == "&File" ? 0 : 1]->menu()->actions();
    QStringList n, t, k;
    for (QAction* a : eintraege) {
        n << a->objectName();
        t << (a->isSeparator() ? QString() : a->text());
        k << a->shortcut().toString();
        QCOMPARE(a->isSeparator(), a->objectName().startsWith("UntitledMenu"));
    }
    QCOMPARE(n, namen);
    QCOMPARE(t, texte);
    QCOMPARE(k, kurzbefehle);
    QCOMPARE(eintrag("MEInfo")->menuRole(), QAction::AboutRole);
    QCOMPARE(eintrag("FileQuit")->menuRole(), QAction::QuitRole);
    QCOMPARE(eintrag("FileBildspeichern")->menuRole(), QAction::NoRole);
    for (const char* name : {"MEInfo", "FileBildspeichern", "FileQuit"})
        QCOMPARE(eintrag(name)->shortcutContext(), Qt::ApplicationShortcut);
}

// Start-up with the splash: the data window is the first window and carries the menu bar,
// the chart window stands at 450, and the splash closes itself after two seconds.
void TstApp::start() {
    Proc::ladewerte_setzen();
    QStringList fenster_beim_splash;
    im_modalen_fenster(200, [&](QWidget* splash) {
        QVERIFY(qobject_cast<WIsplash*>(splash));
        for (QWidget* f : QApplication::topLevelWidgets())
            if (f->isVisible() && f != splash && !qobject_cast<QMenu*>(f))
                fenster_beim_splash << f->metaObject()->className();
    });
    QElapsedTimer uhr;
    uhr.start();
    WinDaten* daten = WinDaten::instance();
    QVERIFY2(uhr.elapsed() >= 1900, qPrintable(QString::number(uhr.elapsed())));
    QVERIFY(!WIsplash::offen() || !WIsplash::offen()->isVisible());
    fenster_beim_splash.sort();
    QCOMPARE(fenster_beim_splash, (QStringList{"WinBoxplot", "WinDaten"}));
    QCOMPARE(daten->menuBar(), app()->MenuBar1.data());
    QCOMPARE(WinBoxplot::offen()->x(), 450);
    QCOMPARE(Proc::bild_ergebnis->image().size(), QSize(150, 400));
}

void TstApp::info_zeigt_das_infofenster() {
    bool infofenster = false;
    im_modalen_fenster(300, [&](QWidget* fenster) {
        auto* splash = qobject_cast<WIsplash*>(fenster);
        infofenster = splash && !splash->Timer1->isActive();
        QTest::mouseClick(splash, Qt::LeftButton, {}, QPoint(100, 100));
    });
    QVERIFY(app()->HandleMenu("MEInfo"));
    QVERIFY(infofenster);
}

void TstApp::bild_speichern_fragt_nach_dem_namen() {
    bool dialog = false;
    im_modalen_fenster(0, [&](QWidget* fenster) {
        dialog = qobject_cast<QFileDialog*>(fenster) != nullptr;
        QMetaObject::invokeMethod(fenster, "reject");
    });
    QVERIFY(app()->HandleMenu("FileBildspeichern"));
    QVERIFY(dialog);
    QVERIFY(!app()->HandleMenu("EditCut")); // no handler of the application
}

// The save shortcut works from the chart window too, not only where the menu bar is.
void TstApp::speichern_aus_dem_diagrammfenster() {
    WinDaten::instance();
    WinBoxplot* diagramm = WinBoxplot::instance();
    diagramm->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(diagramm));
    bool dialog = false;
    im_modalen_fenster(0, [&](QWidget* fenster) {
        dialog = qobject_cast<QFileDialog*>(fenster) != nullptr;
        QMetaObject::invokeMethod(fenster, "reject");
    });
    QTest::keyClick(diagramm, Qt::Key_S, Qt::ControlModifier);
    QVERIFY(dialog);
}

void TstApp::bearbeiten_wirkt_auf_das_feld() {
    WinDaten* daten = WinDaten::instance();
    EditField& median = daten->EFbasis(3);
    EditField& maximum = daten->EFbasis(5);
    daten->activateWindow();
    median.setFocus();
    QTRY_VERIFY(median.hasFocus());
    eintrag("EditSelectAll")->trigger();
    eintrag("EditCopy")->trigger();
    QCOMPARE(QApplication::clipboard()->text(), median.text());
    maximum.setFocus();
    QTRY_VERIFY(maximum.hasFocus());
    eintrag("EditSelectAll")->trigger();
    eintrag("EditPaste")->trigger();
    QCOMPARE(maximum.text(), median.text());
    QCOMPARE(Proc::daten_basiswert(1, Proc::maximum), Proc::daten_basiswert(1, Proc::median));
    eintrag("EditUndo")->trigger();
    QCOMPARE(maximum.text(), QStringLiteral("85"));
    eintrag("EditSelectAll")->trigger();
    eintrag("EditClear")->trigger();
    QVERIFY(maximum.text().isEmpty());
}

void TstApp::beenden() {
    QTimer::singleShot(0, eintrag("FileQuit"), &QAction::trigger);
    QCOMPARE(QApplication::exec(), 0);
}

int main(int argc, char* argv[]) {
    App anwendung(argc, argv);
    anwendung.AddMenuHandler("MEInfo", [&anwendung] { return anwendung.MEInfo(); });
    anwendung.AddMenuHandler("FileBildspeichern",
                             [&anwendung] { return anwendung.FileBildspeichern(); });
    TstApp test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_app.moc"
