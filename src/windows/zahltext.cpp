#include "zahltext.h"

#include <QPainter>
#include <QRegularExpression>
#include <QStyle>

#include <algorithm>
#include <optional>

namespace {

// A number in fixed notation written with an exponent: "-0.00123" becomes "-1.23e-03".
QString mit_exponent(const QString& zahl) {
    const qsizetype vorzeichen = zahl.startsWith(QLatin1Char('-')) ? 1 : 0;
    const qsizetype punkt = zahl.indexOf(QLatin1Char('.'));
    const qsizetype ganze_stellen = (punkt < 0 ? zahl.size() : punkt) - vorzeichen;
    const QString ziffern = zahl.mid(vorzeichen).remove(QLatin1Char('.'));
    const qsizetype erste = std::max<qsizetype>(0, ziffern.indexOf(QRegularExpression("[1-9]")));
    const qsizetype exponent = ganze_stellen - 1 - erste;
    return zahl.left(vorzeichen) + ziffern[erste] + QLatin1Char('.') + ziffern.mid(erste + 1) +
           QStringLiteral("e%1%2")
               .arg(QLatin1Char(exponent < 0 ? '-' : '+'))
               .arg(std::abs(exponent), 2, 10, QLatin1Char('0'));
}

const QChar auslassung(0x2026);

// A mantissa without the zeros that end its fraction: "1.2500" is "1.25", "3.000" is "3".
QString ohne_endnullen(QString mantisse) {
    if (mantisse.contains(QLatin1Char('.'))) {
        while (mantisse.endsWith(QLatin1Char('0')))
            mantisse.chop(1);
        if (mantisse.endsWith(QLatin1Char('.')))
            mantisse.chop(1);
    }
    return mantisse;
}

// A number text shortened to the width: digits go from the end of the mantissa, marked by
// "…" where digits are left out, and an exponent stays. A number whose magnitude would not
// show (its whole part, or the zeros before its first significant digit) is written with an
// exponent first. Nothing when not even the sign, the first digit and the exponent fit.
std::optional<QString> zahl_kuerzen(QString text, const QFontMetricsF& masse, qreal breite) {
    const auto passt = [&](const QString& t) { return masse.horizontalAdvance(t) <= breite; };
    if (passt(text))
        return text;
    if (!text.contains(QLatin1Char('e'))) {
        const qsizetype punkt = text.indexOf(QLatin1Char('.'));
        const qsizetype erste = text.indexOf(QRegularExpression("[1-9]"));
        const qsizetype groessen_ende = std::max(punkt < 0 ? text.size() : punkt, erste + 1);
        if (!passt(text.left(groessen_ende) + auslassung))
            text = mit_exponent(text);
    }
    // The exponent without its leading zero ("e-4" for "e-04").
    const qsizetype e = text.indexOf(QLatin1Char('e'));
    const QString exponent =
        e < 0 ? QString() : text.mid(e).replace(QRegularExpression("([-+])0(\\d)"), "\\1\\2");
    QString mantisse = ohne_endnullen(e < 0 ? text : text.left(e));
    if (passt(mantisse + exponent))
        return mantisse + exponent;
    const qsizetype kuerzeste = mantisse.startsWith(QLatin1Char('-')) ? 2 : 1;
    while (mantisse.size() > kuerzeste && !passt(ohne_endnullen(mantisse) + auslassung + exponent))
        mantisse.chop(1);
    const QString gekuerzt = ohne_endnullen(mantisse) + auslassung + exponent;
    return passt(gekuerzt) ? std::optional(gekuerzt) : std::nullopt;
}

} // namespace

void Zahltext::SetText(const QString& text) {
    setText(text);
    setToolTip(gezeigt() == text ? QString() : text);
}

// Where not even the sign, the first digit and the exponent fit, the font shrinks pixel by
// pixel down to half its size; a number that fits in none shows as "…" alone.
std::pair<QString, QFont> Zahltext::darstellung() const {
    const qreal breite = contentsRect().width();
    QFont schrift = this->font();
    for (int pixel = QFontInfo(schrift).pixelSize(), kleinste = pixel / 2; pixel >= kleinste;
         --pixel) {
        if (auto gezeigt = zahl_kuerzen(text(), QFontMetricsF(schrift, this), breite))
            return {*gezeigt, schrift};
        schrift.setPixelSize(std::max(pixel - 1, 1));
    }
    return {QString(auslassung), this->font()};
}

QString Zahltext::gezeigt() const {
    return darstellung().first;
}

QFont Zahltext::gezeigte_schrift() const {
    return darstellung().second;
}

void Zahltext::paintEvent(QPaintEvent*) {
    const auto [gezeigt, schrift] = darstellung();
    QPainter maler(this);
    maler.setFont(schrift);
    style()->drawItemText(&maler, contentsRect(), int(alignment()), palette(), isEnabled(), gezeigt,
                          foregroundRole());
}

void Zahltext::resizeEvent(QResizeEvent* ereignis) {
    QLabel::resizeEvent(ereignis);
    SetText(text());
}
