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

// The backdrop at the top-left corner, in device pixels as it was made; with erasing on, the
// background where the backdrop does not reach or lets it show through.
void Canvas::paintEvent(QPaintEvent*) {
    QPainter maler(this);
    const QImage* bild = backdrop_ && !backdrop_->image().isNull() ? &backdrop_->image() : nullptr;
    QRegion hintergrund(rect());
    if (bild && !bild->hasAlphaChannel())
        hintergrund -= QRect(QPoint(0, 0), bild->deviceIndependentSize().toSize());
    if (erase_)
        for (const QRect& teil : hintergrund)
            maler.fillRect(teil, palette().window());
    if (bild)
        maler.drawImage(QPoint(0, 0), *bild);
}
