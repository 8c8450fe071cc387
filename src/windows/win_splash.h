// The splash and about window: logo, name, version and credit line.
#pragma once

#include "chart/bilder.h"
#include "platform/canvas.h"
#include "platform/controls.h"
#include "windows/einzelfenster.h"

#include <QDialog>
#include <QTimer>

// The version string of the given components: "1.2.0 b 5" for a beta, "1.2.0 (5)" for a
// final release.
QString BuildVersion(int haupt, int neben, int fehler, int stufe, int vorabversion);
// The version string of this application, from the version components the application
// object carries.
QString BuildVersion();

// WIsplash::fenster() gives the open splash window or a new one, shown by Update; offen() the
// open one or none.
class WIsplash : public QDialog, public Einzelfenster<WIsplash> {
    Q_OBJECT
public:
    // Shows the window modally and returns when it has closed: as the splash (true) it
    // closes itself after two seconds, as the about window (false) it waits for a click,
    // Escape or Return.
    void Update(bool splash);

    QTimer* Timer1 = nullptr;
    StaticText* StaticText1 = nullptr;
    StaticText* STappver = nullptr;
    StaticText* STpackinfo = nullptr;
    Canvas* Canvas1 = nullptr;
    StaticText* STbeta = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    friend Einzelfenster<WIsplash>;
    WIsplash();
    void erstmals_zeigen() {}
};
