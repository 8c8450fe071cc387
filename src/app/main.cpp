#include "model/proc.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    Proc::ladewerte_setzen();
    QApplication app(argc, argv);
    QMainWindow daten;
    daten.setWindowTitle(QStringLiteral("Daten"));
    daten.setFixedSize(406, 463);
    daten.show();
    return app.exec();
}
