#include "win_splash.h"

#include "windows/anwendung.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>

namespace {

const QString dank_zeile = QStringLiteral("© 2026 Velmora");
constexpr int stufe_beta = 2;

StaticText* text(QWidget* eltern, const char* name, QRect lage, const QString& inhalt, int pixel,
                 bool fett, Qt::Alignment ausrichtung) {
    auto* element = new StaticText(eltern);
    element->setObjectName(QLatin1String(name));
    element->setGeometry(lage);
    element->setText(inhalt);
    QFont schrift = element->font();
    schrift.setPixelSize(pixel);
    schrift.setBold(fett);
    element->setFont(schrift);
    element->setAlignment(ausrichtung | Qt::AlignVCenter);
    return element;
}

// The logo at the given device pixel ratio: drawn from its vector original where the
// resources hold it, so that it is as sharp as the text beside it, else the 160 x 160 picture.
PicturePtr logo(double verhaeltnis) {
    if (Proc::LogoVelmora && Proc::LogoVelmora->devicePixelRatio() == verhaeltnis)
        return Proc::LogoVelmora;
    QSvgRenderer vorlage(QStringLiteral(":/velmora/org.velmora.Velmora.svg"));
    QImage bild(QSize(160, 160) * verhaeltnis, QImage::Format_ARGB32_Premultiplied);
    if (vorlage.isValid() && !bild.isNull()) {
        bild.fill(Qt::transparent);
        QPainter maler(&bild);
        vorlage.render(&maler);
        bild.setDevicePixelRatio(verhaeltnis);
    } else {
        bild.load(QStringLiteral(":/velmora/LogoVelmora.png"));
    }
    if (!bild.isNull()) {
        Proc::LogoVelmora = std::make_shared<Picture>(std::move(bild));
        Proc::LogoVelmora->setText(QStringLiteral("Logo von Velmora"), QString());
    }
    return Proc::LogoVelmora;
}

Versionsteile version() {
    const Anwendung* laufende = anwendung();
    return laufende ? laufende->version() : Versionsteile{};
}

} // namespace

QString BuildVersion(int haupt, int neben, int fehler, int stufe, int vorabversion) {
    QString s = QStringLiteral("%1.%2.%3").arg(haupt).arg(neben).arg(fehler);
    const QString n = QString::number(vorabversion);
    switch (stufe) {
    case 0:
        return s + QStringLiteral(" dev ") + n;
    case 1:
        return s + QStringLiteral(" a ") + n;
    case 2:
        return s + QStringLiteral(" b ") + n;
    case 3:
        return s + QStringLiteral(" (") + n + QStringLiteral(")");
    default:
        return s;
    }
}

QString BuildVersion() {
    const Versionsteile v = version();
    return BuildVersion(v.MajorVersion, v.MinorVersion, v.BugVersion, v.StageCode,
                        v.NonReleaseVersion);
}

// A small white window without a frame.
WIsplash::WIsplash() : QDialog(nullptr, Qt::Dialog | Qt::FramelessWindowHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Untitled"));
    setModal(true);
    setFixedSize(200, 233);
    QPalette weiss = palette();
    weiss.setColor(QPalette::Window, Qt::white);
    weiss.setColor(QPalette::WindowText, Qt::black);
    setPalette(weiss);
    setAutoFillBackground(true);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(2000);
    connect(Timer1, &QTimer::timeout, this, &QDialog::close);

    StaticText1 = text(this, "StaticText1", {50, 193, 100, 20}, QStringLiteral("Velmora"), 14, true,
                       Qt::AlignHCenter);
    STappver =
        text(this, "STappver", {132, 2, 55, 20}, QStringLiteral("-"), 9, false, Qt::AlignRight);
    STpackinfo =
        text(this, "STpackinfo", {5, 214, 128, 20}, QStringLiteral("-"), 9, false, Qt::AlignLeft);
    Canvas1 = new Canvas(this);
    Canvas1->setObjectName(QStringLiteral("Canvas1"));
    Canvas1->setGeometry(20, 23, 160, 160);
    Canvas1->SetBackdrop(logo(Canvas1->devicePixelRatioF()));
    STbeta =
        text(this, "STbeta", {153, 23, 43, 20}, QStringLiteral("BETA"), 14, true, Qt::AlignLeft);
    QPalette rot = STbeta->palette();
    rot.setColor(QPalette::WindowText, QColor(255, 0, 0));
    STbeta->setPalette(rot);
    STbeta->hide();
}

void WIsplash::Update(bool splash) {
    if (splash)
        Timer1->start();
    else
        Timer1->stop();
    STappver->setText(BuildVersion());
    STappver->setAccessibleName("Version " + BuildVersion());
    STpackinfo->setText(dank_zeile);
    // The window's title is not shown; a screen reader names it by what it is.
    setAccessibleName(splash ? QStringLiteral("Velmora") : QStringLiteral("Über Velmora"));
    STbeta->setVisible(version().StageCode == stufe_beta);
    if (const QScreen* bildschirm = QGuiApplication::primaryScreen())
        move(bildschirm->availableGeometry().center() - rect().center());
    exec();
}

// Escape and Return close the window like a click, for those who work without a mouse.
void WIsplash::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter)
        close();
    else
        QDialog::keyPressEvent(event);
}

void WIsplash::mousePressEvent(QMouseEvent* event) {
    close();
    event->ignore();
}
