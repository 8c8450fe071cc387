// Off-screen pictures and their drawing context, a thin layer over QImage and QPainter.
//
// Coordinates and sizes are int32 pixels, (0, 0) top left, y growing downwards; whatever
// falls outside a picture is cut off. Lines and outlines use a rectangular pen that hangs
// below and to the right of the point it is drawn at, so they stay crisp at every size;
// outlines of rectangles and ovals lie inside the rectangle given. Text is anti-aliased.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

class Picture;
using PicturePtr = std::shared_ptr<Picture>;

// A colour from red, green and blue components, each 0 to 255.
QColor RGB(int32_t red, int32_t green, int32_t blue);

// The drawing context of one picture. ForeColor, PenWidth, PenHeight and TextSize stay in
// force for every later operation.
class Graphics {
public:
    explicit Graphics(QImage& bild) : bild_(bild) {}

    QColor ForeColor = Qt::black;
    int32_t PenWidth = 1;
    int32_t PenHeight = 1;
    int32_t TextSize = 12; // text height in pixels

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
    double StringWidth(std::string_view text);
    // Copies a whole picture at its own size with its top-left corner at (x, y). With
    // inkOnly the copy only darkens: white lets what is already there show through.
    void DrawPicture(const PicturePtr& picture, int32_t x, int32_t y, bool inkOnly = false);

    // Ends the painting so that the picture can be read; the next operation resumes it.
    void beenden();

private:
    QPainter& maler();
    QFont schrift() const;
    bool rechteck_fuellen(int64_t x, int64_t y, int64_t width, int64_t height);

    QImage& bild_;
    std::optional<QPainter> maler_;
};

class Picture {
public:
    Picture(QImage bild) : bild_(std::move(bild)), graphics_(bild_) {}
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    Graphics& graphics() { return graphics_; }
    // The pixels, with all drawing done so far.
    const QImage& image();

private:
    QImage bild_;
    Graphics graphics_;
};

// Largest picture NewPicture creates, in pixels; beyond it memory would run out.
inline constexpr int64_t max_bildpunkte = int64_t{1} << 27;

// A new picture of width × height pixels; depth 16 gives 16 bits per pixel (RGB 5-6-5),
// anything else 32. Gives nothing when the size is not positive, too large, or the memory
// cannot be had. The contents are undefined until filled.
PicturePtr NewPicture(int32_t width, int32_t height, int32_t depth);

// Writes a picture to a file, replacing an existing file only by a complete new one. The
// format comes from the file name's suffix when Qt can write it, else PNG. Gives the reason
// when the file could not be written, nothing on success.
std::optional<QString> SaveAsPicture(const QString& file, const PicturePtr& picture);
