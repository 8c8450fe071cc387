#include "canvas.h"

#include "editor/accessiblefactory.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>

namespace {

// An item of a canvas to assistive technology: a list item, focused while it is the current one
// and the canvas has the focus.
class CanvasItemAccessible : public QAccessibleInterface {
public:
    CanvasItemAccessible(Canvas* canvas, int index) : canvas_(canvas), index_(index) {}

    bool isValid() const override { return canvas_ && index_ < canvas_->items().size(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return canvas_ ? canvas_->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override {
        return canvas_ ? QAccessible::queryAccessibleInterface(canvas_.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text text) const override {
        return text == QAccessible::Name && isValid() ? item().name : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid())
            return {};
        const QRect onCanvas = item().rect.toAlignedRect();
        return {canvas_->mapToGlobal(onCanvas.topLeft()), onCanvas.size()};
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.invisible = !isValid() || !canvas_->isVisible();
        if (state.invisible)
            return state;
        state.offscreen = !canvas_->rect().intersects(item().rect.toAlignedRect());
        state.focusable = true;
        state.focused = canvas_->currentItem() == index_ && canvas_->hasFocus();
        return state;
    }

private:
    const Canvas::Item& item() const { return canvas_->items()[index_]; }

    QPointer<Canvas> canvas_;
    int index_;
};

// Assistive technology sees a canvas as a picture (an image to AT-SPI), not as an empty pane,
// with its items as children.
class CanvasAccessible : public QAccessibleWidget {
public:
    explicit CanvasAccessible(Canvas* canvas) : QAccessibleWidget(canvas, QAccessible::Graphic) {}

    int childCount() const override { return int(canvas()->items().size()); }
    QAccessibleInterface* child(int index) const override {
        return canvas()->accessibleItem(index);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (int i = 0; i < childCount(); ++i)
            if (canvas()->accessibleItem(i) == child)
                return i;
        return -1;
    }
    QAccessibleInterface* focusChild() const override {
        if (canvas()->hasFocus() && canvas()->accessibleItem(canvas()->currentItem()))
            return canvas()->accessibleItem(canvas()->currentItem());
        return QAccessibleWidget::focusChild();
    }

private:
    Canvas* canvas() const { return static_cast<Canvas*>(widget()); }
};

QAccessibleInterface* accessibleCanvas(QWidget* widget) {
    auto* canvas = qobject_cast<Canvas*>(widget);
    return canvas ? new CanvasAccessible(canvas) : nullptr;
}

// The focus mark stands this far outside what it marks.
constexpr qreal markGap = 2;

} // namespace

Canvas::Canvas(QWidget* parent) : QWidget(parent) {
    installAccessibleFactory<accessibleCanvas>();
    setFocusPolicy(Qt::NoFocus);
    // The canvas paints every pixel itself: Qt need not fill it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

Canvas::~Canvas() {
    for (QAccessible::Id id : std::as_const(accessibleItems_))
        if (id)
            QAccessible::deleteAccessibleInterface(id);
}

// Setting a widget's accessible name or description tells assistive technology of the change;
// only a real change is told, not every recomposition at a resize step.
void Canvas::SetBackdrop(PicturePtr picture) {
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

// The interfaces of items that no longer exist are given up; the others stay, read anew.
void Canvas::setItems(QList<Item> items, int current) {
    items_ = std::move(items);
    current_ = current >= 0 && current < items_.size() ? current : -1;
    while (accessibleItems_.size() > items_.size()) {
        if (accessibleItems_.last())
            QAccessible::deleteAccessibleInterface(accessibleItems_.last());
        accessibleItems_.removeLast();
    }
    update();
}

QAccessibleInterface* Canvas::accessibleItem(int index) const {
    if (index < 0 || index >= items_.size())
        return nullptr;
    if (accessibleItems_.size() <= index)
        accessibleItems_.resize(index + 1, 0);
    if (!accessibleItems_[index])
        accessibleItems_[index] = QAccessible::registerAccessibleInterface(
            new CanvasItemAccessible(const_cast<Canvas*>(this), index));
    return QAccessible::accessibleInterface(accessibleItems_[index]);
}

void Canvas::announceCurrentItem() {
    if (!hasFocus() || current_ < 0)
        return;
    QAccessibleEvent event(this, QAccessible::Focus);
    event.setChild(current_);
    QAccessible::updateAccessibility(&event);
}

void Canvas::keyPressEvent(QKeyEvent* event) {
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && KeyDown && KeyDown(event->key()))
        return event->accept();
    QWidget::keyPressEvent(event);
}

// The focus mark shows only while the canvas has the focus.
void Canvas::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void Canvas::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
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
    paintFocusMark(painter);
}

// A ring in the highlight colour around the current item, its inside tinted. Multiplied with
// the picture, it darkens white and leaves black as it is: a label beneath it stays whole.
void Canvas::paintFocusMark(QPainter& painter) const {
    if (!hasFocus() || current_ < 0)
        return;
    const Item& item = items_[current_];
    const QRectF around = item.rect.adjusted(-markGap, -markGap, markGap, markGap);
    if (!around.intersects(rect()))
        return;
    const QColor colour = palette().color(QPalette::Highlight);
    QColor tint = colour;
    tint.setAlphaF(0.3f);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setCompositionMode(QPainter::CompositionMode_Multiply);
    painter.setPen(QPen(colour, 2));
    painter.setBrush(tint);
    if (item.round)
        painter.drawEllipse(around);
    else
        painter.drawRoundedRect(around, markGap, markGap);
}
