#include "picture.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPolygonF>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace {

// Coordinates handed to QPainter stay well inside what its rasteriser handles exactly.
constexpr int64_t koordinatengrenze = int64_t{1} << 20;
constexpr int32_t groesste_schrift = 4096;

bool innerhalb_der_grenze(int64_t wert) {
    return wert > -koordinatengrenze && wert < koordinatengrenze;
}

QString utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Darkens a part of a 16-bit picture with a 16-bit source, channel by channel (RGB 5-6-5):
// white in the source leaves the destination as it is. Qt's darkening composition is far
// slower on 16-bit pictures.
void abdunkeln(QImage& ziel, QPoint nach, const QImage& quelle, const QRect& ausschnitt) {
    for (int zeile = 0; zeile < ausschnitt.height(); ++zeile) {
        auto* z = reinterpret_cast<quint16*>(ziel.scanLine(nach.y() + zeile)) + nach.x();
        const auto* q =
            reinterpret_cast<const quint16*>(quelle.constScanLine(ausschnitt.y() + zeile)) +
            ausschnitt.x();
        for (int x = 0; x < ausschnitt.width(); ++x) {
            if (q[x] == 0xFFFF)
                continue;
            const int d = z[x];
            const int s = q[x];
            z[x] = quint16(std::min(d & 0xF800, s & 0xF800) | std::min(d & 0x07E0, s & 0x07E0) |
                           std::min(d & 0x001F, s & 0x001F));
        }
    }
}

} // namespace

QColor RGB(int32_t red, int32_t green, int32_t blue) {
    return QColor(std::clamp(red, 0, 255), std::clamp(green, 0, 255), std::clamp(blue, 0, 255));
}

QPainter& Graphics::maler() {
    if (!maler_) {
        maler_.emplace(&bild_);
        maler_->setRenderHint(QPainter::Antialiasing, false);
        maler_->setRenderHint(QPainter::TextAntialiasing, true);
    }
    return *maler_;
}

void Graphics::beenden() {
    maler_.reset();
}

QFont Graphics::schrift() const {
    QFont schrift = QGuiApplication::font();
    schrift.setPixelSize(std::min(TextSize, groesste_schrift));
    return schrift;
}

bool Graphics::rechteck_fuellen(int64_t x, int64_t y, int64_t width, int64_t height) {
    if (width <= 0 || height <= 0)
        return false;
    const int64_t links = std::max<int64_t>(x, 0);
    const int64_t oben = std::max<int64_t>(y, 0);
    const int64_t rechts = std::min<int64_t>(x + width, bild_.width());
    const int64_t unten = std::min<int64_t>(y + height, bild_.height());
    if (links >= rechts || oben >= unten)
        return false;
    maler().fillRect(QRect(int(links), int(oben), int(rechts - links), int(unten - oben)),
                     ForeColor);
    return true;
}

void Graphics::FillRect(int32_t x, int32_t y, int32_t width, int32_t height) {
    rechteck_fuellen(x, y, width, height);
}

void Graphics::DrawRect(int32_t x, int32_t y, int32_t width, int32_t height) {
    if (PenWidth <= 0 || PenHeight <= 0)
        return;
    // A rectangle given with a negative size is the one it spans.
    int64_t links = x, oben = y, breite = width, hoehe = height;
    if (breite < 0) {
        links += breite;
        breite = -breite;
    }
    if (hoehe < 0) {
        oben += hoehe;
        hoehe = -hoehe;
    }
    if (2 * int64_t{PenWidth} >= breite || 2 * int64_t{PenHeight} >= hoehe) {
        rechteck_fuellen(links, oben, breite, hoehe);
        return;
    }
    rechteck_fuellen(links, oben, breite, PenHeight);
    rechteck_fuellen(links, oben + hoehe - PenHeight, breite, PenHeight);
    rechteck_fuellen(links, oben, PenWidth, hoehe);
    rechteck_fuellen(links + breite - PenWidth, oben, PenWidth, hoehe);
}

void Graphics::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    if (PenWidth <= 0 || PenHeight <= 0)
        return;
    if (x1 == x2 || y1 == y2) {
        // The pen swept along a straight line covers one rectangle.
        const int64_t links = std::min(x1, x2);
        const int64_t oben = std::min(y1, y2);
        rechteck_fuellen(links, oben, std::abs(int64_t{x2} - x1) + PenWidth,
                         std::abs(int64_t{y2} - y1) + PenHeight);
        return;
    }
    // Slanted lines (the chart draws none) are drawn only near the picture.
    if (!innerhalb_der_grenze(x1) || !innerhalb_der_grenze(y1) || !innerhalb_der_grenze(x2) ||
        !innerhalb_der_grenze(y2))
        return;
    const QPointF stiftmitte(PenWidth / 2.0, PenHeight / 2.0);
    QPainter& m = maler();
    m.setPen(QPen(ForeColor, std::max(PenWidth, PenHeight), Qt::SolidLine, Qt::SquareCap));
    m.drawLine(QPointF(x1, y1) + stiftmitte, QPointF(x2, y2) + stiftmitte);
}

void Graphics::FillOval(int32_t x, int32_t y, int32_t width, int32_t height) {
    if (width <= 0 || height <= 0 || !innerhalb_der_grenze(x) || !innerhalb_der_grenze(y) ||
        !innerhalb_der_grenze(int64_t{x} + width) || !innerhalb_der_grenze(int64_t{y} + height))
        return;
    QPainter& m = maler();
    m.setPen(Qt::NoPen);
    m.setBrush(ForeColor);
    m.drawEllipse(QRect(x, y, width, height));
}

void Graphics::DrawOval(int32_t x, int32_t y, int32_t width, int32_t height) {
    if (PenWidth <= 0 || PenHeight <= 0)
        return;
    if (2 * int64_t{PenWidth} >= width || 2 * int64_t{PenHeight} >= height) {
        FillOval(x, y, width, height);
        return;
    }
    if (!innerhalb_der_grenze(x) || !innerhalb_der_grenze(y) ||
        !innerhalb_der_grenze(int64_t{x} + width) || !innerhalb_der_grenze(int64_t{y} + height))
        return;
    // The outline lies inside the rectangle: the pen runs along a path half a pen inside.
    const double stift = PenWidth;
    QPainter& m = maler();
    m.setPen(QPen(ForeColor, stift));
    m.setBrush(Qt::NoBrush);
    m.drawEllipse(QRectF(x + stift / 2, y + stift / 2, width - stift, height - stift));
}

void Graphics::FillPolygon(const std::vector<int32_t>& points) {
    if (points.size() < 6)
        return;
    QPolygonF ecken;
    bool alle_innerhalb = true;
    for (std::size_t i = 0; i + 1 < points.size(); i += 2) {
        ecken << QPointF(points[i], points[i + 1]);
        alle_innerhalb = alle_innerhalb && innerhalb_der_grenze(points[i]) &&
                         innerhalb_der_grenze(points[i + 1]);
    }
    if (!alle_innerhalb)
        ecken = ecken.intersected(QRectF(-1, -1, bild_.width() + 2, bild_.height() + 2));
    if (ecken.isEmpty())
        return;
    QPainter& m = maler();
    m.setPen(Qt::NoPen);
    m.setBrush(ForeColor);
    m.drawPolygon(ecken);
}

void Graphics::DrawString(std::string_view text, int32_t x, int32_t y, int32_t, bool) {
    if (text.empty() || TextSize <= 0)
        return;
    // Text entirely above, below or right of the picture is not drawn; neither is text that
    // starts so far to the left that the rasteriser's coordinates would overflow.
    const int64_t rand = 2 * int64_t{std::min(TextSize, groesste_schrift)};
    if (int64_t{y} + rand < 0 || int64_t{y} - rand > bild_.height() || x >= bild_.width())
        return;
    if (x < 0 && (!innerhalb_der_grenze(x) || x + StringWidth(text) < 0))
        return;
    QPainter& m = maler();
    m.setPen(ForeColor);
    m.setFont(schrift());
    m.drawText(QPointF(x, y), utf8(text));
}

double Graphics::StringWidth(std::string_view text) {
    if (text.empty() || TextSize <= 0)
        return 0.0;
    return QFontMetricsF(schrift()).horizontalAdvance(utf8(text));
}

void Graphics::DrawPicture(const PicturePtr& picture, int32_t x, int32_t y, bool inkOnly) {
    if (!picture || &picture->graphics() == this)
        return;
    const QImage& quelle = picture->image();
    const int64_t links = std::max<int64_t>(x, 0);
    const int64_t oben = std::max<int64_t>(y, 0);
    const int64_t rechts = std::min<int64_t>(int64_t{x} + quelle.width(), bild_.width());
    const int64_t unten = std::min<int64_t>(int64_t{y} + quelle.height(), bild_.height());
    if (links >= rechts || oben >= unten)
        return;
    const QRect ausschnitt(int(links - x), int(oben - y), int(rechts - links), int(unten - oben));
    const QPoint nach{int(links), int(oben)};
    if (inkOnly && bild_.format() == QImage::Format_RGB16 &&
        quelle.format() == QImage::Format_RGB16) {
        beenden();
        abdunkeln(bild_, nach, quelle, ausschnitt);
        return;
    }
    QPainter& m = maler();
    m.setCompositionMode(inkOnly ? QPainter::CompositionMode_Darken
                                 : QPainter::CompositionMode_SourceOver);
    m.drawImage(nach, quelle, ausschnitt);
    m.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

const QImage& Picture::image() {
    graphics_.beenden();
    return bild_;
}

PicturePtr NewPicture(int32_t width, int32_t height, int32_t depth) {
    if (width <= 0 || height <= 0 || int64_t{width} * height > max_bildpunkte)
        return nullptr;
    QImage bild(width, height, depth == 16 ? QImage::Format_RGB16 : QImage::Format_RGB32);
    if (bild.isNull())
        return nullptr;
    return std::make_shared<Picture>(std::move(bild));
}

std::optional<QString> SaveAsPicture(const QString& file, const PicturePtr& picture) {
    if (!picture)
        return QStringLiteral("Es gibt noch kein Bild.");
    QByteArray format = QFileInfo(file).suffix().toLower().toLatin1();
    if (!QImageWriter::supportedImageFormats().contains(format))
        format = "png";
    QSaveFile ausgabe(file);
    if (!ausgabe.open(QIODevice::WriteOnly))
        return ausgabe.errorString();
    QImageWriter schreiber(&ausgabe, format);
    if (!schreiber.write(picture->image())) {
        ausgabe.cancelWriting();
        return schreiber.errorString();
    }
    // QSaveFile commits even when flushing its buffer failed (a full disk), so the buffer is
    // flushed and checked here, before the old file is replaced.
    if (!ausgabe.flush() || ausgabe.error() != QFileDevice::NoError) {
        const QString grund = ausgabe.errorString();
        ausgabe.cancelWriting();
        return grund;
    }
    if (!ausgabe.commit())
        return ausgabe.errorString();
    return std::nullopt;
}
