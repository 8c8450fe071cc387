#include "canvas.h"

#include <QPainter>

Canvas::Canvas(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
}

void Canvas::setBackdrop(PicturePtr bild) {
    backdrop_ = std::move(bild);
}

void Canvas::Refresh(bool erase) {
    setAutoFillBackground(erase);
    update();
}

void Canvas::paintEvent(QPaintEvent*) {
    if (!backdrop_)
        return;
    QPainter maler(this);
    maler.drawImage(QPoint(0, 0), backdrop_->image());
}
