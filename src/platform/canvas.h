// A control that shows a backdrop picture at its top-left corner, unscaled. To a screen reader
// it is a picture named and described by its backdrop's text alternative. Parts of the picture
// can be its items, which the keyboard focuses one at a time: a screen reader reads the focused
// item like a focused list item, and a mark in the highlight colour shows it on the screen,
// over the picture, never in it.
#pragma once

#include "platform/picture.h"

#include <QAccessible>
#include <QList>
#include <QRectF>
#include <QWidget>

#include <functional>

class Canvas : public QWidget {
    Q_OBJECT
public:
    explicit Canvas(QWidget* parent = nullptr);
    ~Canvas() override;

    // The canvas keeps its own reference to the picture until it is given the next one. A
    // change of the picture's title or description is announced to assistive technology.
    void SetBackdrop(PicturePtr picture);
    const PicturePtr& Backdrop() const { return backdrop_; }

    // Repaints; with erase the background is cleared first.
    void Refresh(bool erase = true);

    // A part of the picture: its name for assistive technology and the rectangle that its line
    // or mark covers, in the canvas's coordinates; round for a round mark.
    struct Item {
        QString name;
        QRectF rect;
        bool round = false;
    };
    // The items and which of them is current (none when out of range). They are the canvas's
    // accessible children, in this order.
    void setItems(QList<Item> items, int current);
    const QList<Item>& items() const { return items_; }
    int currentItem() const { return current_; }
    // Tells assistive technology that the current item has the focus, while the canvas has it.
    void announceCurrentItem();

    // A key pressed on the canvas; a handler that returns true has used it.
    std::function<bool(int key)> KeyDown;

    // The accessible interface of an item, made once and kept while the item exists.
    QAccessibleInterface* accessibleItem(int index) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void paintFocusMark(QPainter& painter) const;

    PicturePtr backdrop_;
    bool erase_ = true;
    QList<Item> items_;
    int current_ = -1;
    mutable QList<QAccessible::Id> accessibleItems_;
};
