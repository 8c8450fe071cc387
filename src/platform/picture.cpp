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
constexpr int64_t coordinateLimit = int64_t{1} << 20;
constexpr int32_t largestTextSize = 4096;
// Pictures that draw pictures that draw pictures ... end somewhere.
constexpr int nestingLimit = 8;

bool withinLimit(int64_t value) {
    return value > -coordinateLimit && value < coordinateLimit;
}

// A pen of that many logical pixels in device pixels: never thinner than one.
int64_t devicePen(int32_t pixel, double ratio) {
    return std::max<int64_t>(1, std::llround(pixel * ratio));
}

// The fewest device pixels a span of that many logical pixels covers, wherever it starts.
int64_t deviceSpan(int32_t pixel, double ratio) {
    return static_cast<int64_t>(std::floor(pixel * ratio));
}

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The application's font, named by the family it resolves to, so that vector files name a
// font that exists.
QFont textFont(int32_t size) {
    static const QString family = QFontInfo(QGuiApplication::font()).family();
    QFont font = QGuiApplication::font();
    font.setFamily(family);
    font.setPixelSize(std::clamp(size, 1, largestTextSize));
    return font;
}

} // namespace

// Draws recorded pictures onto a painter whose unit is one device pixel, ratio device
// pixels to the logical pixel.
class Player {
public:
    Player(QPainter& painter, double ratio, QRect area)
        : painter_(painter), ratio_(ratio), bounds_(area) {
        painter_.setRenderHint(QPainter::Antialiasing, false);
        painter_.setRenderHint(QPainter::TextAntialiasing, true);
    }

    void play(const Picture& picture, std::size_t from = 0) {
        const auto& all = picture.drawings();
        for (std::size_t i = from; i < all.size(); ++i)
            draw(all[i]);
    }

private:
    // The device pixel of a logical position, and the device size of a pen.
    int64_t g(int64_t logical, int64_t offset) const {
        return std::llround(double(logical + offset) * ratio_);
    }
    int64_t gx(int64_t x) const { return g(x, offsetX_); }
    int64_t gy(int64_t y) const { return g(y, offsetY_); }
    int64_t pen(int32_t pixel) const { return devicePen(pixel, ratio_); }

    void draw(const Drawing& drawing);
    void fillDeviceRect(int64_t left, int64_t top, int64_t right, int64_t bottom,
                        const QColor& color);
    void outline(const Drawing& drawing);
    void line(const Drawing& drawing);
    void oval(const Drawing& drawing, bool filled);
    void polygon(const Drawing& drawing);
    void text(const Drawing& drawing);
    void picture(const Drawing& drawing);

    QPainter& painter_;
    double ratio_;
    QRect bounds_; // device pixels that may be drawn
    int64_t offsetX_ = 0;
    int64_t offsetY_ = 0;
    bool inkOnly_ = false;
    int depth_ = 0;
};

void Player::draw(const Drawing& drawing) {
    if (inkOnly_ && drawing.color == Qt::white && drawing.kind != Drawing::Kind::DrawPicture)
        return;
    switch (drawing.kind) {
    case Drawing::Kind::FillRect:
        if (drawing.width > 0 && drawing.height > 0)
            fillDeviceRect(gx(drawing.x), gy(drawing.y), gx(int64_t{drawing.x} + drawing.width),
                           gy(int64_t{drawing.y} + drawing.height), drawing.color);
        return;
    case Drawing::Kind::DrawRect:
        return outline(drawing);
    case Drawing::Kind::DrawLine:
        return line(drawing);
    case Drawing::Kind::FillOval:
    case Drawing::Kind::DrawOval:
        return oval(drawing, drawing.kind == Drawing::Kind::FillOval);
    case Drawing::Kind::FillPolygon:
        return polygon(drawing);
    case Drawing::Kind::DrawString:
        return text(drawing);
    case Drawing::Kind::DrawPicture:
        return picture(drawing);
    }
}

// A filled rectangle given by its device edges, cut to what may be drawn.
void Player::fillDeviceRect(int64_t left, int64_t top, int64_t right, int64_t bottom,
                            const QColor& color) {
    left = std::max<int64_t>(left, bounds_.left());
    top = std::max<int64_t>(top, bounds_.top());
    right = std::min<int64_t>(right, int64_t{bounds_.right()} + 1);
    bottom = std::min<int64_t>(bottom, int64_t{bounds_.bottom()} + 1);
    if (left < right && top < bottom)
        painter_.fillRect(QRect(int(left), int(top), int(right - left), int(bottom - top)), color);
}

// The outline lies inside the rectangle; a negative size draws the rectangle it spans.
void Player::outline(const Drawing& drawing) {
    if (drawing.penWidth <= 0 || drawing.penHeight <= 0)
        return;
    int64_t x = drawing.x, y = drawing.y, width = drawing.width, height = drawing.height;
    if (width < 0) {
        x += width;
        width = -width;
    }
    if (height < 0) {
        y += height;
        height = -height;
    }
    const int64_t left = gx(x), top = gy(y), right = gx(x + width), bottom = gy(y + height);
    if (2 * int64_t{drawing.penWidth} >= width || 2 * int64_t{drawing.penHeight} >= height)
        return fillDeviceRect(left, top, right, bottom, drawing.color);
    const int64_t penX = pen(drawing.penWidth), penY = pen(drawing.penHeight);
    fillDeviceRect(left, top, right, top + penY, drawing.color);
    fillDeviceRect(left, bottom - penY, right, bottom, drawing.color);
    fillDeviceRect(left, top, left + penX, bottom, drawing.color);
    fillDeviceRect(right - penX, top, right, bottom, drawing.color);
}

void Player::line(const Drawing& drawing) {
    if (drawing.penWidth <= 0 || drawing.penHeight <= 0)
        return;
    if (drawing.x == drawing.x2 || drawing.y == drawing.y2) {
        // The pen swept along a straight line covers one rectangle.
        fillDeviceRect(gx(std::min(drawing.x, drawing.x2)), gy(std::min(drawing.y, drawing.y2)),
                       gx(std::max(drawing.x, drawing.x2)) + pen(drawing.penWidth),
                       gy(std::max(drawing.y, drawing.y2)) + pen(drawing.penHeight), drawing.color);
        return;
    }
    // Slanted lines (the chart draws none) are drawn only near the picture.
    const int64_t x1 = gx(drawing.x), y1 = gy(drawing.y), x2 = gx(drawing.x2), y2 = gy(drawing.y2);
    if (!withinLimit(x1) || !withinLimit(y1) || !withinLimit(x2) || !withinLimit(y2))
        return;
    const double width = double(pen(std::max(drawing.penWidth, drawing.penHeight)));
    const QPointF penCentre(width / 2, width / 2);
    painter_.setPen(QPen(drawing.color, width, Qt::SolidLine, Qt::SquareCap));
    painter_.drawLine(QPointF(x1, y1) + penCentre, QPointF(x2, y2) + penCentre);
}

void Player::oval(const Drawing& drawing, bool filled) {
    if (drawing.width <= 0 || drawing.height <= 0)
        return;
    if (!filled && (drawing.penWidth <= 0 || drawing.penHeight <= 0))
        return;
    const int64_t left = gx(drawing.x), top = gy(drawing.y),
                  right = gx(int64_t{drawing.x} + drawing.width),
                  bottom = gy(int64_t{drawing.y} + drawing.height);
    if (!withinLimit(left) || !withinLimit(top) || !withinLimit(right) || !withinLimit(bottom))
        return;
    const QRectF frame(double(left), double(top), double(right - left), double(bottom - top));
    // An outline whose pen fills the oval is the filled oval.
    if (filled || 2 * int64_t{drawing.penWidth} >= drawing.width ||
        2 * int64_t{drawing.penHeight} >= drawing.height) {
        painter_.setPen(Qt::NoPen);
        painter_.setBrush(drawing.color);
        painter_.drawEllipse(frame.toRect());
        return;
    }
    // The outline lies inside the rectangle: the pen runs along a path half a pen inside.
    const double penSize = double(pen(drawing.penWidth));
    painter_.setPen(QPen(drawing.color, penSize));
    painter_.setBrush(Qt::NoBrush);
    painter_.drawEllipse(frame.adjusted(penSize / 2, penSize / 2, -penSize / 2, -penSize / 2));
}

void Player::polygon(const Drawing& drawing) {
    QPolygonF corners;
    bool allWithin = true;
    for (std::size_t i = 0; i + 1 < drawing.points.size(); i += 2) {
        const int64_t x = gx(drawing.points[i]), y = gy(drawing.points[i + 1]);
        corners << QPointF(double(x), double(y));
        allWithin = allWithin && withinLimit(x) && withinLimit(y);
    }
    if (corners.size() < 3)
        return;
    if (!allWithin)
        corners = corners.intersected(QRectF(bounds_.adjusted(-1, -1, 1, 1)));
    if (corners.isEmpty())
        return;
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(drawing.color);
    painter_.drawPolygon(corners);
}

void Player::text(const Drawing& drawing) {
    if (drawing.text.empty() || drawing.textSize <= 0)
        return;
    // Text entirely above, below or right of what may be drawn is left out; so is text that
    // starts so far to the left that the rasteriser's coordinates would overflow.
    const QFont font = textFont(drawing.textSize);
    const int64_t x = gx(drawing.x), y = gy(drawing.y);
    const double margin = 2.0 * font.pixelSize() * ratio_;
    if (double(y) + margin < bounds_.top() || double(y) - margin > bounds_.bottom() + 1 ||
        x > bounds_.right())
        return;
    const QString content = fromUtf8(drawing.text);
    if (x < bounds_.left() &&
        (!withinLimit(x) ||
         double(x) + QFontMetricsF(font).horizontalAdvance(content) * ratio_ < bounds_.left()))
        return;
    painter_.save();
    painter_.setPen(drawing.color);
    painter_.setFont(font);
    painter_.translate(double(x), double(y));
    if (ratio_ != 1.0)
        painter_.scale(ratio_, ratio_); // glyphs drawn at the full device resolution
    painter_.drawText(QPointF(0, 0), content);
    painter_.restore();
}

// Another picture, cut to its own extent: its drawings, or its raster when it is one.
void Player::picture(const Drawing& drawing) {
    const Picture* source = drawing.picture.get();
    if (!source || depth_ >= nestingLimit)
        return;
    const int64_t left = gx(drawing.x), top = gy(drawing.y);
    const int64_t right = gx(int64_t{drawing.x} + source->width()),
                  bottom = gy(int64_t{drawing.y} + source->height());
    const int64_t cutLeft = std::max<int64_t>(left, bounds_.left());
    const int64_t cutTop = std::max<int64_t>(top, bounds_.top());
    const int64_t cutRight = std::min<int64_t>(right, int64_t{bounds_.right()} + 1);
    const int64_t cutBottom = std::min<int64_t>(bottom, int64_t{bounds_.bottom()} + 1);
    if (cutLeft >= cutRight || cutTop >= cutBottom)
        return;
    const QRect target(int(cutLeft), int(cutTop), int(cutRight - cutLeft), int(cutBottom - cutTop));
    painter_.save();
    painter_.setClipRect(target, Qt::IntersectClip);
    if (source->isRaster()) {
        if (withinLimit(left) && withinLimit(top) && withinLimit(right) && withinLimit(bottom))
            painter_.drawImage(
                QRectF(double(left), double(top), double(right - left), double(bottom - top)),
                source->image());
    } else {
        const auto before = std::tuple{bounds_, offsetX_, offsetY_, inkOnly_};
        bounds_ = target;
        offsetX_ += drawing.x;
        offsetY_ += drawing.y;
        inkOnly_ = inkOnly_ || drawing.inkOnly;
        ++depth_;
        play(*source);
        --depth_;
        std::tie(bounds_, offsetX_, offsetY_, inkOnly_) = before;
    }
    painter_.restore();
}

std::vector<QRectF> inkRects(const Drawing& drawing) {
    if (drawing.color == Qt::white)
        return {};
    const double x = drawing.x, y = drawing.y, width = drawing.width, height = drawing.height;
    const double penX = drawing.penWidth, penY = drawing.penHeight;
    switch (drawing.kind) {
    case Drawing::Kind::FillRect:
    case Drawing::Kind::FillOval:
    case Drawing::Kind::DrawOval:
        return {QRectF(x, y, width, height).normalized()};
    case Drawing::Kind::DrawRect: {
        const QRectF r = QRectF(x, y, width, height).normalized();
        return {QRectF(r.left(), r.top(), r.width(), penY),
                QRectF(r.left(), r.bottom() - penY, r.width(), penY),
                QRectF(r.left(), r.top(), penX, r.height()),
                QRectF(r.right() - penX, r.top(), penX, r.height())};
    }
    case Drawing::Kind::DrawLine: {
        const double x2 = drawing.x2, y2 = drawing.y2;
        return {QRectF(QPointF(std::min(x, x2), std::min(y, y2)),
                       QPointF(std::max(x, x2) + penX, std::max(y, y2) + penY))};
    }
    case Drawing::Kind::FillPolygon: {
        QPolygonF corners;
        for (std::size_t i = 0; i + 1 < drawing.points.size(); i += 2)
            corners << QPointF(drawing.points[i], drawing.points[i + 1]);
        return {corners.boundingRect()};
    }
    case Drawing::Kind::DrawString: {
        if (drawing.text.empty() || drawing.textSize <= 0)
            return {};
        const QFontMetricsF metrics(textFont(drawing.textSize));
        return {QRectF(x, y - metrics.capHeight(),
                       metrics.horizontalAdvance(fromUtf8(drawing.text)), metrics.capHeight())};
    }
    case Drawing::Kind::DrawPicture:
        break;
    }
    return {};
}

QColor RGB(int32_t red, int32_t green, int32_t blue) {
    return QColor(std::clamp(red, 0, 255), std::clamp(green, 0, 255), std::clamp(blue, 0, 255));
}

Drawing Graphics::drawing(Drawing::Kind kind, int32_t x, int32_t y) const {
    Drawing made;
    made.kind = kind;
    made.color = ForeColor;
    made.penWidth = PenWidth;
    made.penHeight = PenHeight;
    made.textSize = TextSize;
    made.x = x;
    made.y = y;
    return made;
}

void Graphics::add(Drawing::Kind kind, int32_t x, int32_t y, int32_t width, int32_t height) {
    Drawing made = drawing(kind, x, y);
    made.width = width;
    made.height = height;
    picture_.drawings_.push_back(std::move(made));
}

void Graphics::FillRect(int32_t x, int32_t y, int32_t width, int32_t height) {
    add(Drawing::Kind::FillRect, x, y, width, height);
}

void Graphics::DrawRect(int32_t x, int32_t y, int32_t width, int32_t height) {
    add(Drawing::Kind::DrawRect, x, y, width, height);
}

void Graphics::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    Drawing made = drawing(Drawing::Kind::DrawLine, x1, y1);
    made.x2 = x2;
    made.y2 = y2;
    picture_.drawings_.push_back(std::move(made));
}

void Graphics::FillOval(int32_t x, int32_t y, int32_t width, int32_t height) {
    add(Drawing::Kind::FillOval, x, y, width, height);
}

void Graphics::DrawOval(int32_t x, int32_t y, int32_t width, int32_t height) {
    add(Drawing::Kind::DrawOval, x, y, width, height);
}

void Graphics::FillPolygon(const std::vector<int32_t>& points) {
    Drawing made = drawing(Drawing::Kind::FillPolygon, 0, 0);
    made.points = points;
    picture_.drawings_.push_back(std::move(made));
}

void Graphics::DrawString(std::string_view text, int32_t x, int32_t y, int32_t, bool) {
    Drawing made = drawing(Drawing::Kind::DrawString, x, y);
    made.text = text;
    picture_.drawings_.push_back(std::move(made));
}

double Graphics::StringWidth(std::string_view text) const {
    if (text.empty() || TextSize <= 0)
        return 0.0;
    return QFontMetricsF(textFont(TextSize)).horizontalAdvance(fromUtf8(text));
}

double Graphics::TextHeight() const {
    return TextSize <= 0 ? 0.0 : QFontMetricsF(textFont(TextSize)).capHeight();
}

// An outline whose pen meets itself is drawn filled; beyond that the hole grows by about the
// ratio per logical pixel, so the search ends within a few steps.
int32_t Graphics::SmallestHollowOval() const {
    const double r = picture_.devicePixelRatio();
    const int64_t pen = devicePen(PenWidth, r);
    int32_t diameter = 2 * std::clamp(PenWidth, 0, largestTextSize) + 1;
    while (diameter < 4 * largestTextSize && deviceSpan(diameter, r) - 2 * pen < 2)
        ++diameter;
    return diameter;
}

int32_t Graphics::SmallestLineSpacing() const {
    const double r = picture_.devicePixelRatio();
    const int64_t needed = std::max<int64_t>(2, devicePen(PenHeight, r) + 1);
    int32_t spacing = 1;
    while (spacing < 4 * largestTextSize && deviceSpan(spacing, r) < needed)
        ++spacing;
    return spacing;
}

void Graphics::DrawPicture(const PicturePtr& picture, int32_t x, int32_t y, bool inkOnly) {
    if (!picture || picture.get() == &picture_)
        return;
    Drawing made = drawing(Drawing::Kind::DrawPicture, x, y);
    made.picture = picture;
    made.inkOnly = inkOnly;
    picture_.drawings_.push_back(std::move(made));
}

Picture::Picture(int32_t width, int32_t height, double devicePixelRatio, QImage::Format format)
    : width_(width), height_(height), ratio_(devicePixelRatio), graphics_(*this), format_(format) {}

Picture::Picture(QImage picture)
    : width_(int32_t(std::lround(picture.deviceIndependentSize().width()))),
      height_(int32_t(std::lround(picture.deviceIndependentSize().height()))),
      ratio_(picture.devicePixelRatio()), graphics_(*this), raster_(std::move(picture)),
      finishedRaster_(true) {}

void Picture::setText(QString title, QString description) {
    title_ = std::move(title);
    description_ = std::move(description);
}

const QImage& Picture::image() const {
    if (raster_.isNull() && !finishedRaster_) {
        raster_ = QImage(int(std::llround(width_ * ratio_)), int(std::llround(height_ * ratio_)),
                         format_);
        // Documents place the picture at its logical size.
        raster_.setDotsPerMeterX(int(std::lround(raster_.dotsPerMeterX() * ratio_)));
        raster_.setDotsPerMeterY(int(std::lround(raster_.dotsPerMeterY() * ratio_)));
        raster_.setDevicePixelRatio(ratio_);
    }
    if (painted_ < drawings_.size() && !raster_.isNull()) {
        // Painted in device pixels: QPainter would scale a picture that has a ratio.
        raster_.setDevicePixelRatio(1.0);
        {
            QPainter painter(&raster_);
            Player(painter, ratio_, raster_.rect()).play(*this, painted_);
        }
        painted_ = drawings_.size();
        raster_.setDevicePixelRatio(ratio_);
    }
    return raster_;
}

void Picture::play(QPainter& painter) const {
    Player(painter, 1.0, QRect(0, 0, width_, height_)).play(*this);
}

PicturePtr NewPicture(int32_t width, int32_t height, int32_t depth, double devicePixelRatio) {
    if (width <= 0 || height <= 0 || !(devicePixelRatio >= 0.25 && devicePixelRatio <= 16))
        return nullptr;
    const double pixelCount =
        std::round(width * devicePixelRatio) * std::round(height * devicePixelRatio);
    if (pixelCount < 1 || pixelCount > double(maxPixels))
        return nullptr;
    return std::make_shared<Picture>(width, height, devicePixelRatio,
                                     depth == 16 ? QImage::Format_RGB16 : QImage::Format_RGB32);
}
