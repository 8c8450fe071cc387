// Off-screen pictures and their drawing context, a thin layer over QPainter.
//
// A picture records what is drawn into it, in logical pixels, and plays it back: onto a raster
// image at the picture's device pixel ratio, or onto any other paint device (SVG, PDF) at one
// unit per logical pixel. Coordinates and sizes are int32 logical pixels, (0, 0) top left, y
// growing downwards; whatever falls outside a picture is cut off. Lines and outlines use a
// rectangular pen that hangs below and to the right of the point it is drawn at, and outlines
// of rectangles and ovals lie inside the rectangle given. On a raster every position is rounded
// to a whole device pixel and every pen is a whole number of device pixels, so lines stay crisp
// at any ratio; text is anti-aliased.
#pragma once

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QString>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QPainter;
class Picture;
using PicturePtr = std::shared_ptr<Picture>;

// A colour from red, green and blue components, each 0 to 255.
QColor RGB(int32_t red, int32_t green, int32_t blue);

// One call of the drawing context as it was made, with the context's settings at that moment.
struct Drawing {
    enum class Kind {
        FillRect,
        DrawRect,
        DrawLine,
        FillOval,
        DrawOval,
        FillPolygon,
        DrawString,
        DrawPicture
    };
    Kind kind = Kind::FillRect;
    QColor color;
    int32_t penWidth = 1;
    int32_t penHeight = 1;
    int32_t textSize = 0;
    // Where it stands: the top-left corner of a rectangle, an oval or a picture, the start of a
    // line, the left end of a text's baseline.
    int32_t x = 0, y = 0;
    int32_t width = 0, height = 0; // FillRect, DrawRect, FillOval, DrawOval
    int32_t x2 = 0, y2 = 0;        // DrawLine: its end
    std::vector<int32_t> points;   // FillPolygon
    std::string text;              // DrawString
    PicturePtr picture;            // DrawPicture
    bool inkOnly = false;          // DrawPicture
};

// Rectangles in logical pixels that together cover whatever a drawing inks: a line with its
// pen, the four sides of an outline, the box around an oval or a polygon, and a text from its
// baseline up to the height of its digits across its width. None for white or a picture.
std::vector<QRectF> inkRects(const Drawing& drawing);

// The drawing context of one picture. ForeColor, PenWidth, PenHeight and TextSize stay in
// force for every later operation.
class Graphics {
public:
    explicit Graphics(Picture& picture) : picture_(picture) {}

    QColor ForeColor = Qt::black;
    int32_t PenWidth = 1;
    int32_t PenHeight = 1;
    int32_t TextSize = 12; // text height in logical pixels

    void FillRect(int32_t x, int32_t y, int32_t width, int32_t height);
    void DrawRect(int32_t x, int32_t y, int32_t width, int32_t height);
    void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    void FillOval(int32_t x, int32_t y, int32_t width, int32_t height);
    void DrawOval(int32_t x, int32_t y, int32_t width, int32_t height);
    // Corners as x1, y1, x2, y2, ...
    void FillPolygon(const std::vector<int32_t>& points);
    // UTF-8 text with the left end of its baseline at (x, y). Wrapping and condensing are
    // not supported: wrapWidth must be 0 and condense false.
    void DrawString(std::string_view text, int32_t x, int32_t y, int32_t wrapWidth = 0,
                    bool condense = false);
    // The width of a text and the height of capitals and digits above the baseline, in
    // logical pixels at the current text size.
    double StringWidth(std::string_view text) const;
    double TextHeight() const;
    // At the picture's device pixel ratio: the smallest diameter at which DrawOval with the
    // current pen leaves a hole of at least two device pixels, and the smallest distance at
    // which horizontal lines of the current pen stand two device pixels apart with at least
    // one device pixel between them.
    int32_t SmallestHollowOval() const;
    int32_t SmallestLineSpacing() const;
    // Draws a whole picture at its own size with its top-left corner at (x, y). With inkOnly
    // what the picture draws in white is left out, so that what is already there shows
    // through its white background.
    void DrawPicture(const PicturePtr& picture, int32_t x, int32_t y, bool inkOnly = false);

private:
    Drawing drawing(Drawing::Kind kind, int32_t x, int32_t y) const;
    // A rectangle or an oval.
    void add(Drawing::Kind kind, int32_t x, int32_t y, int32_t width, int32_t height);

    Picture& picture_;
};

class Picture {
public:
    // An empty picture of width × height logical pixels, shown at the given device pixel
    // ratio in the given raster format.
    Picture(int32_t width, int32_t height, double devicePixelRatio, QImage::Format format);
    // A finished raster picture, such as the logo.
    explicit Picture(QImage picture);
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    Graphics& graphics() { return graphics_; }
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    double devicePixelRatio() const { return ratio_; }

    // The pixels at the picture's device pixel ratio, with everything drawn so far. Null when
    // the memory for them cannot be had.
    const QImage& image() const;
    // Plays everything drawn onto a painter whose unit is one logical pixel, as vectors.
    void play(QPainter& painter) const;
    const std::vector<Drawing>& drawings() const { return drawings_; }
    // Whether the picture is a finished raster rather than a recording.
    bool isRaster() const { return finishedRaster_; }

    // A text alternative of what the picture shows, for those who cannot see it: a short title
    // and a description. A canvas showing the picture speaks them, and SVG and PDF files carry
    // them.
    void setText(QString title, QString description);
    const QString& title() const { return title_; }
    const QString& description() const { return description_; }

private:
    friend class Graphics;

    int32_t width_;
    int32_t height_;
    double ratio_;
    Graphics graphics_;
    std::vector<Drawing> drawings_;
    // The raster in device pixels, made and painted up to the drawings already on it when
    // asked for: a picture only drawn into another one never needs it.
    QImage::Format format_ = QImage::Format_RGB32;
    mutable QImage raster_;
    mutable std::size_t painted_ = 0;
    bool finishedRaster_ = false;
    QString title_;
    QString description_;
};

// Largest picture NewPicture creates, in device pixels; beyond it memory would run out.
inline constexpr int64_t maxPixels = int64_t{1} << 27;

// A new picture of width × height logical pixels at the given device pixel ratio; depth 16
// gives 16 bits per pixel (RGB 5-6-5), anything else 32. Gives nothing when the size is not
// positive or too large, or the ratio not a sensible one. The contents are undefined until
// filled.
PicturePtr NewPicture(int32_t width, int32_t height, int32_t depth, double devicePixelRatio = 1.0);
