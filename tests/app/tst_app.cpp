// The application shell: start-up, the menu bar, its commands and the edit commands.
#include "app/app.h"
#include "platform/controls.h"
#include "support/golden.h"
#include "support/startwerte.h"
#include "windows/win_boxplot.h"
#include "windows/win_daten.h"
#include "windows/win_splash.h"

#include <QMenuBar>
#include <QMimeData>

namespace {

QAction* eintrag(const QString& name) {
    return app()->MenuBar1->findChild<QAction*>(name);
}

void aktivieren(QWidget* fenster) {
    fenster->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(fenster));
}

} // namespace

class TstApp : public QObject {
    Q_OBJECT
private slots:
    // Start-up with the splash: the data window is the first window (that it carries the menu
    // bar, menues shows), the chart window stands at 450, and the splash is set to close itself
    // after two seconds. Its timer is let run out at once, so the test waits on no clock.
    void start() {
        ladewerte_setzen();
        QStringList fenster_beim_splash;
        bool zwei_sekunden_einmal = false;
        im_modalen_fenster(0, [&](QWidget* splash) {
            for (QWidget* f : QApplication::topLevelWidgets())
                if (f->isVisible() && !qobject_cast<QMenu*>(f))
                    fenster_beim_splash << f->metaObject()->className();
            QTimer* uhr = WIsplash::offen()->Timer1;
            zwei_sekunden_einmal = splash == WIsplash::offen() && uhr->isActive() &&
                                   uhr->isSingleShot() && uhr->interval() == 2000;
            uhr->start(0);
        });
        WinDaten::fenster();
        QVERIFY(zwei_sekunden_einmal);
        fenster_beim_splash.sort();
        QCOMPARE(fenster_beim_splash, (QStringList{"WIsplash", "WinBoxplot", "WinDaten"}));
        QCOMPARE(WinBoxplot::offen()->x(), 450);
    }

    // The menus as a user meets them: opened with Alt and the access key, each shows its items
    // with their shortcuts and separators, and an item reached with the arrow keys does its
    // command on Return: the about window from the first menu, select all from the second.
    void menues() {
        if (app()->MenuBar1->isNativeMenuBar())
            QSKIP("the menus are the platform's own menu bar here");
        WinDaten* daten = WinDaten::fenster();
        QString gesehen;
        im_modalen_fenster(100, [&](QWidget* fenster) {
            gesehen = fenster->metaObject()->className();
            fenster->close();
        });
        for (auto [taste, runter, name] :
             {std::tuple{Qt::Key_F, 0, "menue_file"}, {Qt::Key_E, 5, "menue_edit"}}) {
            aktivieren(daten);
            daten->EFskalamark->setFocus();
            QTest::keyClick(daten, taste, Qt::AltModifier);
            QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()));
            QWidget* menue = QApplication::activePopupWidget();
            VERGLEICHE_GOLDEN(name, menue->grab().toImage(), text_toleranz);
            for (int i = 0; i < runter; ++i)
                QTest::keyClick(menue, Qt::Key_Down);
            QTest::keyClick(menue, Qt::Key_Return);
        }
        QCOMPARE(gesehen, QStringLiteral("WIsplash"));
        QCOMPARE(daten->EFskalamark->selectedText(), QStringLiteral("10"));
    }

    // Every edit command is available and acts on the field that had the focus, also while
    // the menu bar holds it (as after Escape in an open menu): a scale field and the value list.
    void bearbeiten_wenn_ein_menue_den_fokus_hat_data() {
        QTest::addColumn<bool>("werteliste");
        QTest::newRow("EFskalamark") << false;
        QTest::newRow("EFDaten") << true;
    }
    void bearbeiten_wenn_ein_menue_den_fokus_hat() {
        QFETCH(bool, werteliste);
        WinDaten* daten = WinDaten::fenster();
        if (werteliste) { // in a new set 2, a series, left again at the end
            QTest::mouseClick(daten->UpDownArrows1->upButton(), Qt::LeftButton);
            QTest::mouseClick(&daten->RBsatz(2), Qt::LeftButton);
            daten->EFDaten->SetText("10");
        }
        QWidget& feld = werteliste ? static_cast<QWidget&>(*daten->EFDaten) : *daten->EFskalamark;
        const auto text = [&] {
            return werteliste ? QString::fromStdString(daten->EFDaten->Text())
                              : daten->EFskalamark->text();
        };
        aktivieren(daten);
        feld.setFocus();
        QTRY_VERIFY(feld.hasFocus());
        app()->MenuBar1->setFocus();
        QTRY_VERIFY(!feld.hasFocus());
        QMenu* bearbeiten = app()->MenuBar1->findChild<QMenu*>("EditMenu");
        bearbeiten->popup(QPoint());
        QTRY_VERIFY(bearbeiten->isVisible());
        QStringList texte;
        for (const char* befehl : {"EditSelectAll", "EditCopy", "EditCut", "EditUndo",
                                   "EditSelectAll", "EditClear", "EditPaste"}) {
            QVERIFY2(eintrag(befehl)->isEnabled(), befehl);
            eintrag(befehl)->trigger();
            texte << text();
        }
        bearbeiten->close();
        QTest::mouseClick(&daten->RBsatz(1), Qt::LeftButton);
        QCOMPARE(texte, (QStringList{"10", "10", "", "10", "10", "", "10"}));
    }

    // Copy in the chart window puts the chart on the clipboard as a picture at its device
    // ratio and as SVG; in a field it still copies the selected text.
    void kopieren() {
        WinDaten* daten = WinDaten::fenster();
        aktivieren(WinBoxplot::fenster());
        QTest::keyClick(WinBoxplot::fenster(), Qt::Key_C, Qt::ControlModifier);
        const QMimeData* inhalt = QApplication::clipboard()->mimeData();
        QCOMPARE(qvariant_cast<QImage>(inhalt->imageData()).size(), bild_ergebnis->image().size());
        const QString beschreibung = WinBoxplot::offen()->CAbox->accessibleDescription();
        QVERIFY(
            inhalt->data("image/svg+xml").contains("<desc>" + beschreibung.toUtf8() + "</desc>"));
        aktivieren(daten);
        daten->EFbasis(5).setFocus();
        daten->EFbasis(5).setSelection(0, 1);
        QTest::keyClick(&daten->EFbasis(5), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("8"));
    }

    // Saving and the about window work from the chart window too, through their shortcuts;
    // the about window waits for a click, Escape or Return.
    void befehle_aus_dem_diagrammfenster() {
        QStringList gesehen;
        QString abweichung; // checked once the window is closed, so a failure cannot block
        for (const auto& befehl : {std::pair(Qt::Key_S, Qt::Key_unknown),
                                   {Qt::Key_I, Qt::Key_unknown},
                                   {Qt::Key_I, Qt::Key_Escape},
                                   {Qt::Key_I, Qt::Key_Return}}) {
            const Qt::Key schliessen = befehl.second; // a click where unknown
            aktivieren(WinBoxplot::fenster());
            im_modalen_fenster(100, [&](QWidget* fenster) {
                auto* info = qobject_cast<WIsplash*>(fenster);
                gesehen << fenster->metaObject()->className() +
                               QString(info && info->Timer1->isActive() ? " with timer" : "");
                if (info && abweichung.isEmpty()) // logo, name, version and credit line
                    abweichung = golden_abweichung("info", info->grab().toImage(), text_toleranz);
                if (schliessen == Qt::Key_unknown)
                    QTest::mouseClick(fenster, Qt::LeftButton, {}, QPoint(5, 5));
                else
                    QTest::keyClick(fenster, schliessen);
                if (fenster->isVisible()) {
                    gesehen << "still open";
                    qobject_cast<QDialog*>(fenster)->reject();
                }
            });
            QTest::keyClick(WinBoxplot::fenster(), befehl.first, Qt::ControlModifier);
        }
        QCOMPARE(gesehen,
                 (QStringList{"QFileDialog", "still open", "WIsplash", "WIsplash", "WIsplash"}));
        QVERIFY2(abweichung.isEmpty(), qPrintable(abweichung));
        QVERIFY(!app()->menuebefehl_ausfuehren("EditCut")); // no handler of the application
    }

    void beenden() {
        QTimer::singleShot(0, eintrag("FileQuit"), &QAction::trigger);
        QCOMPARE(QApplication::exec(), 0);
    }
};

int main(int argc, char* argv[]) {
    App anwendung(argc, argv);
    testumgebung_einrichten();
    anwendung.menuehandler_anmelden("MEInfo", [&anwendung] { return anwendung.MEInfo(); });
    anwendung.menuehandler_anmelden("FileBildspeichern",
                                    [&anwendung] { return anwendung.FileBildspeichern(); });
    TstApp test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_app.moc"
