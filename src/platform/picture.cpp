#include "picture.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <tuple>

namespace {

// Coordinates handed to QPainter stay well inside what its rasteriser handles exactly.
constexpr int64_t koordinatengrenze = int64_t{1} << 20;
constexpr int32_t groesste_schrift = 4096;
// Pictures that draw pictures that draw pictures ... end somewhere.
constexpr int schachtelungsgrenze = 8;

bool innerhalb_der_grenze(int64_t wert) {
    return wert > -koordinatengrenze && wert < koordinatengrenze;
}

QString utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The application's font, named by the family it resolves to, so that vector files name a
// font that exists.
QFont schrift(int32_t groesse) {
    static const QString familie = QFontInfo(QGuiApplication::font()).family();
    QFont schrift = QGuiApplication::font();
    schrift.setFamily(familie);
    schrift.setPixelSize(std::clamp(groesse, 1, groesste_schrift));
    return schrift;
}

} // namespace

// Draws recorded pictures onto a painter whose unit is one device pixel, verhaeltnis device
// pixels to the logical pixel.
class Abspieler {
public:
    Abspieler(QPainter& maler, double verhaeltnis, QRect flaeche)
        : m_(maler), r_(verhaeltnis), grenzen_(flaeche) {
        m_.setRenderHint(QPainter::Antialiasing, false);
        m_.setRenderHint(QPainter::TextAntialiasing, true);
    }

    void abspielen(const Picture& bild, std::size_t ab = 0) {
        const auto& alle = bild.zeichnungen();
        for (std::size_t i = ab; i < alle.size(); ++i)
            zeichnen(alle[i]);
    }

private:
    // The device pixel of a logical position, and the device size of a pen.
    int64_t g(int64_t logisch, int64_t versatz) const {
        return std::llround(double(logisch + versatz) * r_);
    }
    int64_t gx(int64_t x) const { return g(x, versatz_x_); }
    int64_t gy(int64_t y) const { return g(y, versatz_y_); }
    int64_t stift(int32_t pixel) const { return std::max<int64_t>(1, std::llround(pixel * r_)); }

    void zeichnen(const Zeichnung& z);
    void rechteck(int64_t links, int64_t oben, int64_t rechts, int64_t unten, const QColor& farbe);
    void umriss(const Zeichnung& z);
    void linie(const Zeichnung& z);
    void oval(const Zeichnung& z, bool gefuellt);
    void vieleck(const Zeichnung& z);
    void text(const Zeichnung& z);
    void bild(const Zeichnung& z);

    QPainter& m_;
    double r_;
    QRect grenzen_; // device pixels that may be drawn
    int64_t versatz_x_ = 0;
    int64_t versatz_y_ = 0;
    bool nur_tinte_ = false;
    int tiefe_ = 0;
};

void Abspieler::zeichnen(const Zeichnung& z) {
    if (nur_tinte_ && z.farbe == Qt::white && z.art != Zeichnung::Art::DrawPicture)
        return;
    switch (z.art) {
    case Zeichnung::Art::FillRect:
        if (z.c > 0 && z.d > 0)
            rechteck(gx(z.a), gy(z.b), gx(int64_t{z.a} + z.c), gy(int64_t{z.b} + z.d), z.farbe);
        return;
    case Zeichnung::Art::DrawRect:
        return umriss(z);
    case Zeichnung::Art::DrawLine:
        return linie(z);
    case Zeichnung::Art::FillOval:
    case Zeichnung::Art::DrawOval:
        return oval(z, z.art == Zeichnung::Art::FillOval);
    case Zeichnung::Art::FillPolygon:
        return vieleck(z);
    case Zeichnung::Art::DrawString:
        return text(z);
    case Zeichnung::Art::DrawPicture:
        return bild(z);
    }
}

// A filled rectangle given by its device edges, cut to what may be drawn.
void Abspieler::rechteck(int64_t links, int64_t oben, int64_t rechts, int64_t unten,
                         const QColor& farbe) {
    links = std::max<int64_t>(links, grenzen_.left());
    oben = std::max<int64_t>(oben, grenzen_.top());
    rechts = std::min<int64_t>(rechts, int64_t{grenzen_.right()} + 1);
    unten = std::min<int64_t>(unten, int64_t{grenzen_.bottom()} + 1);
    if (links < rechts && oben < unten)
        m_.fillRect(QRect(int(links), int(oben), int(rechts - links), int(unten - oben)), farbe);
}

// The outline lies inside the rectangle; a negative size draws the rectangle it spans.
void Abspieler::umriss(const Zeichnung& z) {
    if (z.stift_breite <= 0 || z.stift_hoehe <= 0)
        return;
    int64_t x = z.a, y = z.b, breite = z.c, hoehe = z.d;
    if (breite < 0) {
        x += breite;
        breite = -breite;
    }
    if (hoehe < 0) {
        y += hoehe;
        hoehe = -hoehe;
    }
    const int64_t l = gx(x), o = gy(y), r = gx(x + breite), u = gy(y + hoehe);
    if (2 * int64_t{z.stift_breite} >= breite || 2 * int64_t{z.stift_hoehe} >= hoehe)
        return rechteck(l, o, r, u, z.farbe);
    const int64_t sb = stift(z.stift_breite), sh = stift(z.stift_hoehe);
    rechteck(l, o, r, o + sh, z.farbe);
    rechteck(l, u - sh, r, u, z.farbe);
    rechteck(l, o, l + sb, u, z.farbe);
    rechteck(r - sb, o, r, u, z.farbe);
}

void Abspieler::linie(const Zeichnung& z) {
    if (z.stift_breite <= 0 || z.stift_hoehe <= 0)
        return;
    if (z.a == z.c || z.b == z.d) {
        // The pen swept along a straight line covers one rectangle.
        rechteck(gx(std::min(z.a, z.c)), gy(std::min(z.b, z.d)),
                 gx(std::max(z.a, z.c)) + stift(z.stift_breite),
                 gy(std::max(z.b, z.d)) + stift(z.stift_hoehe), z.farbe);
        return;
    }
    // Slanted lines (the chart draws none) are drawn only near the picture.
    const int64_t x1 = gx(z.a), y1 = gy(z.b), x2 = gx(z.c), y2 = gy(z.d);
    if (!innerhalb_der_grenze(x1) || !innerhalb_der_grenze(y1) || !innerhalb_der_grenze(x2) ||
        !innerhalb_der_grenze(y2))
        return;
    const double breite = double(stift(std::max(z.stift_breite, z.stift_hoehe)));
    const QPointF stiftmitte(breite / 2, breite / 2);
    m_.setPen(QPen(z.farbe, breite, Qt::SolidLine, Qt::SquareCap));
    m_.drawLine(QPointF(x1, y1) + stiftmitte, QPointF(x2, y2) + stiftmitte);
}

void Abspieler::oval(const Zeichnung& z, bool gefuellt) {
    if (z.c <= 0 || z.d <= 0)
        return;
    if (!gefuellt && (z.stift_breite <= 0 || z.stift_hoehe <= 0))
        return;
    const int64_t l = gx(z.a), o = gy(z.b), r = gx(int64_t{z.a} + z.c), u = gy(int64_t{z.b} + z.d);
    if (!innerhalb_der_grenze(l) || !innerhalb_der_grenze(o) || !innerhalb_der_grenze(r) ||
        !innerhalb_der_grenze(u))
        return;
    const QRectF rahmen(double(l), double(o), double(r - l), double(u - o));
    // An outline whose pen fills the oval is the filled oval.
    if (gefuellt || 2 * int64_t{z.stift_breite} >= z.c || 2 * int64_t{z.stift_hoehe} >= z.d) {
        m_.setPen(Qt::NoPen);
        m_.setBrush(z.farbe);
        m_.drawEllipse(rahmen.toRect());
        return;
    }
    // The outline lies inside the rectangle: the pen runs along a path half a pen inside.
    const double stift_ = double(stift(z.stift_breite));
    m_.setPen(QPen(z.farbe, stift_));
    m_.setBrush(Qt::NoBrush);
    m_.drawEllipse(rahmen.adjusted(stift_ / 2, stift_ / 2, -stift_ / 2, -stift_ / 2));
}

void Abspieler::vieleck(const Zeichnung& z) {
    QPolygonF ecken;
    bool alle_innerhalb = true;
    for (std::size_t i = 0; i + 1 < z.punkte.size(); i += 2) {
        const int64_t x = gx(z.punkte[i]), y = gy(z.punkte[i + 1]);
        ecken << QPointF(double(x), double(y));
        alle_innerhalb = alle_innerhalb && innerhalb_der_grenze(x) && innerhalb_der_grenze(y);
    }
    if (ecken.size() < 3)
        return;
    if (!alle_innerhalb)
        ecken = ecken.intersected(QRectF(grenzen_.adjusted(-1, -1, 1, 1)));
    if (ecken.isEmpty())
        return;
    m_.setPen(Qt::NoPen);
    m_.setBrush(z.farbe);
    m_.drawPolygon(ecken);
}

void Abspieler::text(const Zeichnung& z) {
    if (z.text.empty() || z.textgroesse <= 0)
        return;
    // Text entirely above, below or right of what may be drawn is left out; so is text that
    // starts so far to the left that the rasteriser's coordinates would overflow.
    const QFont font = schrift(z.textgroesse);
    const int64_t x = gx(z.a), y = gy(z.b);
    const double rand = 2.0 * font.pixelSize() * r_;
    if (double(y) + rand < grenzen_.top() || double(y) - rand > grenzen_.bottom() + 1 ||
        x > grenzen_.right())
        return;
    const QString inhalt = utf8(z.text);
    if (x < grenzen_.left() &&
        (!innerhalb_der_grenze(x) ||
         double(x) + QFontMetricsF(font).horizontalAdvance(inhalt) * r_ < grenzen_.left()))
        return;
    m_.save();
    m_.setPen(z.farbe);
    m_.setFont(font);
    m_.translate(double(x), double(y));
    if (r_ != 1.0)
        m_.scale(r_, r_); // glyphs drawn at the full device resolution
    m_.drawText(QPointF(0, 0), inhalt);
    m_.restore();
}

// Another picture, cut to its own extent: its drawings, or its raster when it is one.
void Abspieler::bild(const Zeichnung& z) {
    const Picture* quelle = z.bild.get();
    if (!quelle || tiefe_ >= schachtelungsgrenze)
        return;
    const int64_t l = gx(z.a), o = gy(z.b);
    const int64_t r = gx(int64_t{z.a} + quelle->width()), u = gy(int64_t{z.b} + quelle->height());
    const int64_t links = std::max<int64_t>(l, grenzen_.left());
    const int64_t oben = std::max<int64_t>(o, grenzen_.top());
    const int64_t rechts = std::min<int64_t>(r, int64_t{grenzen_.right()} + 1);
    const int64_t unten = std::min<int64_t>(u, int64_t{grenzen_.bottom()} + 1);
    if (links >= rechts || oben >= unten)
        return;
    const QRect ziel(int(links), int(oben), int(rechts - links), int(unten - oben));
    m_.save();
    m_.setClipRect(ziel, Qt::IntersectClip);
    if (quelle->istRaster()) {
        if (innerhalb_der_grenze(l) && innerhalb_der_grenze(o) && innerhalb_der_grenze(r) &&
            innerhalb_der_grenze(u))
            m_.drawImage(QRectF(double(l), double(o), double(r - l), double(u - o)),
                         quelle->image());
    } else {
        const auto vorher = std::tuple{grenzen_, versatz_x_, versatz_y_, nur_tinte_};
        grenzen_ = ziel;
        versatz_x_ += z.a;
        versatz_y_ += z.b;
        nur_tinte_ = nur_tinte_ || z.nur_tinte;
        ++tiefe_;
        abspielen(*quelle);
        --tiefe_;
        std::tie(grenzen_, versatz_x_, versatz_y_, nur_tinte_) = vorher;
    }
    m_.restore();
}

QColor RGB(int32_t red, int32_t green, int32_t blue) {
    return QColor(std::clamp(red, 0, 255), std::clamp(green, 0, 255), std::clamp(blue, 0, 255));
}

Zeichnung Graphics::zeichnung(Zeichnung::Art art, int32_t a, int32_t b, int32_t c,
                              int32_t d) const {
    return Zeichnung{art, ForeColor, PenWidth, PenHeight, TextSize, a, b, c, d, {}, {}, {}, false};
}

void Graphics::FillRect(int32_t x, int32_t y, int32_t width, int32_t height) {
    bild_.zeichnungen_.push_back(zeichnung(Zeichnung::Art::FillRect, x, y, width, height));
}

void Graphics::DrawRect(int32_t x, int32_t y, int32_t width, int32_t height) {
    bild_.zeichnungen_.push_back(zeichnung(Zeichnung::Art::DrawRect, x, y, width, height));
}

void Graphics::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    bild_.zeichnungen_.push_back(zeichnung(Zeichnung::Art::DrawLine, x1, y1, x2, y2));
}

void Graphics::FillOval(int32_t x, int32_t y, int32_t width, int32_t height) {
    bild_.zeichnungen_.push_back(zeichnung(Zeichnung::Art::FillOval, x, y, width, height));
}

void Graphics::DrawOval(int32_t x, int32_t y, int32_t width, int32_t height) {
    bild_.zeichnungen_.push_back(zeichnung(Zeichnung::Art::DrawOval, x, y, width, height));
}

void Graphics::FillPolygon(const std::vector<int32_t>& points) {
    Zeichnung z = zeichnung(Zeichnung::Art::FillPolygon);
    z.punkte = points;
    bild_.zeichnungen_.push_back(std::move(z));
}

void Graphics::DrawString(std::string_view text, int32_t x, int32_t y, int32_t, bool) {
    Zeichnung z = zeichnung(Zeichnung::Art::DrawString, x, y);
    z.text = text;
    bild_.zeichnungen_.push_back(std::move(z));
}

double Graphics::StringWidth(std::string_view text) const {
    if (text.empty() || TextSize <= 0)
        return 0.0;
    return QFontMetricsF(schrift(TextSize)).horizontalAdvance(utf8(text));
}

double Graphics::TextHeight() const {
    return TextSize <= 0 ? 0.0 : QFontMetricsF(schrift(TextSize)).capHeight();
}

void Graphics::DrawPicture(const PicturePtr& picture, int32_t x, int32_t y, bool inkOnly) {
    if (!picture || picture.get() == &bild_)
        return;
    Zeichnung z = zeichnung(Zeichnung::Art::DrawPicture, x, y);
    z.bild = picture;
    z.nur_tinte = inkOnly;
    bild_.zeichnungen_.push_back(std::move(z));
}

Picture::Picture(int32_t width, int32_t height, double devicePixelRatio, QImage::Format format)
    : breite_(width), hoehe_(height), verhaeltnis_(devicePixelRatio), graphics_(*this),
      format_(format) {}

Picture::Picture(QImage bild)
    : breite_(int32_t(std::lround(bild.deviceIndependentSize().width()))),
      hoehe_(int32_t(std::lround(bild.deviceIndependentSize().height()))),
      verhaeltnis_(bild.devicePixelRatio()), graphics_(*this), raster_(std::move(bild)),
      fertiges_raster_(true) {}

void Picture::setText(QString title, QString description) {
    titel_ = std::move(title);
    beschreibung_ = std::move(description);
}

const QImage& Picture::image() const {
    if (raster_.isNull() && !fertiges_raster_) {
        raster_ = QImage(int(std::llround(breite_ * verhaeltnis_)),
                         int(std::llround(hoehe_ * verhaeltnis_)), format_);
        // Documents place the picture at its logical size.
        raster_.setDotsPerMeterX(int(std::lround(raster_.dotsPerMeterX() * verhaeltnis_)));
        raster_.setDotsPerMeterY(int(std::lround(raster_.dotsPerMeterY() * verhaeltnis_)));
        raster_.setDevicePixelRatio(verhaeltnis_);
    }
    if (gemalt_ < zeichnungen_.size() && !raster_.isNull()) {
        // Painted in device pixels: QPainter would scale a picture that has a ratio.
        raster_.setDevicePixelRatio(1.0);
        {
            QPainter maler(&raster_);
            Abspieler(maler, verhaeltnis_, raster_.rect()).abspielen(*this, gemalt_);
        }
        gemalt_ = zeichnungen_.size();
        raster_.setDevicePixelRatio(verhaeltnis_);
    }
    return raster_;
}

void Picture::abspielen(QPainter& maler) const {
    Abspieler(maler, 1.0, QRect(0, 0, breite_, hoehe_)).abspielen(*this);
}

PicturePtr NewPicture(int32_t width, int32_t height, int32_t depth, double devicePixelRatio) {
    if (width <= 0 || height <= 0 || !(devicePixelRatio >= 0.25 && devicePixelRatio <= 16))
        return nullptr;
    const double bildpunkte =
        std::round(width * devicePixelRatio) * std::round(height * devicePixelRatio);
    if (bildpunkte < 1 || bildpunkte > double(max_bildpunkte))
        return nullptr;
    return std::make_shared<Picture>(width, height, devicePixelRatio,
                                     depth == 16 ? QImage::Format_RGB16 : QImage::Format_RGB32);
}
