// The value displays of the data window.
#pragma once

#include <QLabel>

#include <utility>

// A static text showing a number, never cut and never shown as another number: a number too
// long for the control loses digits at the end of its mantissa, marked by "…", keeps its sign,
// first digit and exponent (in a smaller font where need be), and shows in full as its tooltip.
class Zahltext : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    int Index = 0;
    void SetText(const QString& text);
    // What the control shows of its text, and in which font.
    QString gezeigt() const;
    QFont gezeigte_schrift() const;

protected:
    void paintEvent(QPaintEvent* ereignis) override;
    void resizeEvent(QResizeEvent* ereignis) override;

private:
    std::pair<QString, QFont> darstellung() const;
};
