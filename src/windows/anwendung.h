// What the windows need of the application object: its version and its menu bar. The
// application object implements this; declared here, it keeps the windows independent of the
// application layer.
#pragma once

#include <QCoreApplication>

class QMenuBar;

struct Versionsteile {
    int MajorVersion = 0;
    int MinorVersion = 0;
    int BugVersion = 0;
    int StageCode = 0; // 0 development, 1 alpha, 2 beta, 3 final release
    int NonReleaseVersion = 0;
};

class Anwendung {
public:
    virtual ~Anwendung() = default;
    virtual Versionsteile version() const = 0;
    // The menu bar the data window carries where the platform has no global one.
    virtual QMenuBar* menueleiste() const = 0;
};

// The running application object, or nothing where it is not one of ours (tests of single
// windows).
inline Anwendung* anwendung() {
    return dynamic_cast<Anwendung*>(QCoreApplication::instance());
}
