#include "canvas.h"

#include <QAccessibleWidget>
#include <QPainter>

namespace {

// Assistive technology sees a canvas as a picture (an image to AT-SPI), not as an empty pane.
QAccessibleInterface* accessibleCanvas(const QString& className, QObject* object) {
    if (className == QLatin1String("Canvas") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Graphic);
    return nullptr;
}

} // namespace

Canvas::Canvas(QWidget* parent) : QWidget(parent) {
    QAccessible::installFactory(accessibleCanvas); // Qt keeps a factory once
    setFocusPolicy(Qt::NoFocus);
    // The canvas paints every pixel itself: Qt need not fill it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

// Setting a widget's accessible name or description tells assistive technology of the change;
// only a real change is told, not every recomposition at a resize step.
void Canvas::setBackdrop(PicturePtr picture) {
    backdrop_ = std::move(picture);
    const QString title = backdrop_ ? backdrop_->title() : QString();
    const QString description = backdrop_ ? backdrop_->description() : QString();
    if (title != accessibleName())
        setAccessibleName(title);
    if (description != accessibleDescription())
        setAccessibleDescription(description);
}

void Canvas::Refresh(bool erase) {
    erase_ = erase;
    update();
}

// The backdrop at the top-left corner, in device pixels as it was made; with erasing on, the
// background where the backdrop does not reach or lets it show through.
void Canvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QImage* picture =
        backdrop_ && !backdrop_->image().isNull() ? &backdrop_->image() : nullptr;
    QRegion background(rect());
    if (picture && !picture->hasAlphaChannel())
        background -= QRect(QPoint(0, 0), picture->deviceIndependentSize().toSize());
    if (erase_)
        for (const QRect& part : background)
            painter.fillRect(part, palette().window());
    if (picture)
        painter.drawImage(QPoint(0, 0), *picture);
}
