// A window of which at most one is open at a time.
#pragma once

#include <QPointer>

// Fenster derives from Einzelfenster<Fenster>, befriends it for its private constructor, and
// has a member erstmals_zeigen() that shows a new window. Closing deletes the window
// (Qt::WA_DeleteOnClose) and the pointer forgets it.
template <typename Fenster> class Einzelfenster {
public:
    // The open window, or a new one when none is open.
    static Fenster* fenster() {
        if (!offenes()) {
            offenes() = new Fenster();
            offenes()->erstmals_zeigen();
        }
        return offenes().data();
    }
    // The open window, or nothing; creates none.
    static Fenster* offen() { return offenes().data(); }

private:
    static QPointer<Fenster>& offenes() {
        static QPointer<Fenster> fenster;
        return fenster;
    }
};
