// The application shell: start-up, the menu bar, its commands and the edit commands.
#include "app.h"
#include "support/startwerte.h"
#include "windows/win_boxplot.h"
#include "windows/win_daten.h"
#include "windows/win_splash.h"

#include <QElapsedTimer>
#include <QFileDialog>
#include <QMenuBar>
#include <QMimeData>

namespace {

QAction* eintrag(const QString& name) {
    return app()->MenuBar1->findChild<QAction*>(name);
}

QString zwischenablage() {
    return QApplication::clipboard()->text();
}

} // namespace

class TstApp : public QObject {
    Q_OBJECT
private slots:
    void menueleiste_data();
    void menueleiste();
    void start();
    void bearbeiten_wenn_ein_menue_den_fokus_hat();
    void kopieren_im_diagrammfenster();
    void befehle_aus_dem_diagrammfenster();
    void beenden();
};

void TstApp::menueleiste_data() {
    QTest::addColumn<int>("menue");
    QTest::addColumn<QStringList>("namen");
    QTest::addColumn<QStringList>("texte");
    QTest::addColumn<QStringList>("kurzbefehle");
    QTest::newRow("File") << 0 << QStringList{"MEInfo", "FileBildspeichern", "FileQuit"}
                          << QStringList{"Über Velmora... ", "Bild speichern...", "&Quit"}
                          << QStringList{"Ctrl+I", "Ctrl+S", "Ctrl+Q"};
    QTest::newRow("Edit")
        << 1 << QStringList{"EditUndo",  "UntitledMenu1", "EditCut",       "EditCopy",
                            "EditPaste", "EditClear",     "UntitledMenu0", "EditSelectAll"}
        << QStringList{"&Undo", "", "Cu&t", "&Copy", "&Paste", "&Delete", "", "Select &All"}
        << QStringList{"Ctrl+Z", "", "Ctrl+X", "Ctrl+C", "Ctrl+V", "", "", "Ctrl+A"};
}

void TstApp::menueleiste() {
    QFETCH(int, menue);
    QFETCH(QStringList, namen);
    QFETCH(QStringList, texte);
    QFETCH(QStringList, kurzbefehle);
    const QList<QAction*> menues = app()->MenuBar1->actions();
    QCOMPARE(menues.size(), 2);
    QCOMPARE(menues[menue]->text(), menue == 0 ? QStringLiteral("&File") : QStringLiteral("&Edit"));
    QStringList n, t, k;
    for (QAction* a : menues[menue]->menu()->actions()) {
        n << a->objectName();
        t << (a->isSeparator() ? QString() : a->text());
        k << a->shortcut().toString();
    }
    QCOMPARE(n, namen);
    QCOMPARE(t, texte);
    QCOMPARE(k, kurzbefehle);
    QCOMPARE(eintrag("MEInfo")->menuRole(), QAction::AboutRole);
    QCOMPARE(eintrag("FileQuit")->menuRole(), QAction::QuitRole);
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
    QVERIFY2(uhr.elapsed() >= 1900 && uhr.elapsed() < 6000,
             qPrintable(QString::number(uhr.elapsed())));
    QVERIFY(!WIsplash::offen() || !WIsplash::offen()->isVisible());
    fenster_beim_splash.sort();
    QCOMPARE(fenster_beim_splash, (QStringList{"WinBoxplot", "WinDaten"}));
    QCOMPARE(daten->menuBar(), app()->MenuBar1.data());
    QCOMPARE(WinBoxplot::offen()->x(), 450);
}

// Every edit command is available and acts on the field that had the focus, also while the
// menu bar holds it (as after Escape in an open menu).
void TstApp::bearbeiten_wenn_ein_menue_den_fokus_hat() {
    WinDaten* daten = WinDaten::instance();
    EditField& feld = *daten->EFskalamark;
    daten->activateWindow();
    feld.setFocus();
    QTRY_VERIFY(feld.hasFocus());
    app()->MenuBar1->setFocus();
    QTRY_VERIFY(!feld.hasFocus());
    QMenu* bearbeiten = app()->MenuBar1->findChild<QMenu*>("EditMenu");
    bearbeiten->popup(QPoint());
    QTRY_VERIFY(bearbeiten->isVisible());
    for (QAction* aktion : bearbeiten->actions())
        QVERIFY2(aktion->isEnabled(), qPrintable(aktion->objectName()));
    const std::pair<const char*, QString> schritte[] = {
        {"EditSelectAll", "10"}, {"EditCopy", "10"}, {"EditCut", ""},    {"EditUndo", "10"},
        {"EditSelectAll", "10"}, {"EditClear", ""},  {"EditPaste", "10"}};
    for (const auto& [befehl, text] : schritte) {
        eintrag(befehl)->trigger();
        QCOMPARE(feld.text(), text);
    }
    QCOMPARE(zwischenablage(), QStringLiteral("10"));
    bearbeiten->close();
}

// Copy in the chart window puts the chart on the clipboard as a picture at its device ratio
// and as SVG; in a field it still copies the selected text.
void TstApp::kopieren_im_diagrammfenster() {
    WinDaten* daten = WinDaten::instance();
    WinBoxplot* diagramm = WinBoxplot::instance();
    diagramm->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(diagramm));
    QTest::keyClick(diagramm, Qt::Key_C, Qt::ControlModifier);
    const QMimeData* inhalt = QApplication::clipboard()->mimeData();
    QVERIFY(inhalt->hasImage());
    QCOMPARE(qvariant_cast<QImage>(inhalt->imageData()).size(),
             Proc::bild_ergebnis->image().size());
    QVERIFY(inhalt->data("image/svg+xml").contains("</svg>"));

    daten->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(daten));
    daten->EFbasis(5).setFocus();
    daten->EFbasis(5).setSelection(0, 1);
    QTest::keyClick(&daten->EFbasis(5), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(zwischenablage(), QStringLiteral("8"));
}

// Saving and the about window work from the chart window too, through their shortcuts.
void TstApp::befehle_aus_dem_diagrammfenster() {
    WinBoxplot* diagramm = WinBoxplot::instance();
    QStringList gesehen;
    for (Qt::Key taste : {Qt::Key_S, Qt::Key_I}) {
        diagramm->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(diagramm));
        im_modalen_fenster(100, [&](QWidget* fenster) {
            gesehen << fenster->metaObject()->className();
            if (auto* info = qobject_cast<WIsplash*>(fenster))
                QVERIFY(!info->Timer1->isActive()); // the about window waits for a click
            QTest::mouseClick(fenster, Qt::LeftButton, {}, QPoint(5, 5));
            if (auto* dialog = qobject_cast<QDialog*>(fenster); dialog && dialog->isVisible())
                dialog->reject();
        });
        QTest::keyClick(diagramm, taste, Qt::ControlModifier);
    }
    QCOMPARE(gesehen, (QStringList{"QFileDialog", "WIsplash"}));
    QVERIFY(!app()->HandleMenu("EditCut")); // no handler of the application
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
