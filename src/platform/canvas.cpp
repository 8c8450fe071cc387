#include "canvas.h"

#include <QPainter>

Canvas::Canvas(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    // The canvas paints every pixel itself: Qt need not fill it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Canvas::setBackdrop(PicturePtr bild) {
    backdrop_ = std::move(bild);
}

void Canvas::Refresh(bool erase) {
    erase_ = erase;
    update();
}

// The backdrop at the top-left corner, in device pixels as it was made; with erasing on,
// the background where the backdrop does not reach.
void Canvas::paintEvent(QPaintEvent*) {
    QPainter maler(this);
    QRegion rest(rect());
    if (backdrop_ && !backdrop_->image().isNull()) {
        const QImage& bild = backdrop_->image();
        maler.drawImage(QPoint(0, 0), bild);
        rest -= QRect(QPoint(0, 0), bild.deviceIndependentSize().toSize());
    }
    if (erase_)
        for (const QRect& teil : rest)
            maler.fillRect(teil, palette().window());
}
