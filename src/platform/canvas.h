// A control that shows a backdrop picture at its top-left corner, unscaled. To a screen reader
// it is a picture named and described by its backdrop's text alternative.
#pragma once

#include "platform/picture.h"

#include <QWidget>

class Canvas : public QWidget {
    Q_OBJECT
public:
    explicit Canvas(QWidget* parent = nullptr);

    // The canvas keeps its own reference to the picture until it is given the next one. A
    // change of the picture's title or description is announced to assistive technology.
    void setBackdrop(PicturePtr picture);
    const PicturePtr& Backdrop() const { return backdrop_; }

    // Repaints; with erase the background is cleared first.
    void Refresh(bool erase = true);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PicturePtr backdrop_;
    bool erase_ = true;
};
