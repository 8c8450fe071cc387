#include "controls.h"

#include <QFile>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QStyleOptionButton>
#include <QStylePainter>

#include <limits>
#include <optional>

EditField::EditField(QWidget* parent) : Field<QLineEdit>(parent) {
    setMaxLength(std::numeric_limits<int>::max());
    connect(this, &QLineEdit::textChanged, this, &EditField::reportTextChange);
}

void EditField::SetText(const QString& text) {
    if (text == QLineEdit::text()) {
        reportTextChange();
    } else {
        setText(text);
        setCursorPosition(0);
    }
}

namespace {

// A number in fixed notation written with an exponent: "-0.00123" becomes "-1.23e-03".
QString withExponent(const QString& number) {
    const qsizetype sign = number.startsWith(QLatin1Char('-')) ? 1 : 0;
    const qsizetype point = number.indexOf(QLatin1Char('.'));
    const qsizetype wholeDigits = (point < 0 ? number.size() : point) - sign;
    const QString digits = number.mid(sign).remove(QLatin1Char('.'));
    const qsizetype first = std::max<qsizetype>(0, digits.indexOf(QRegularExpression("[1-9]")));
    const qsizetype exponent = wholeDigits - 1 - first;
    return number.left(sign) + digits[first] + QLatin1Char('.') + digits.mid(first + 1) +
           QStringLiteral("e%1%2")
               .arg(QLatin1Char(exponent < 0 ? '-' : '+'))
               .arg(std::abs(exponent), 2, 10, QLatin1Char('0'));
}

const QChar ellipsis(0x2026);

// A mantissa without the zeros that end its fraction: "1.2500" is "1.25", "3.000" is "3".
QString withoutTrailingZeros(QString mantissa) {
    if (mantissa.contains(QLatin1Char('.'))) {
        while (mantissa.endsWith(QLatin1Char('0')))
            mantissa.chop(1);
        if (mantissa.endsWith(QLatin1Char('.')))
            mantissa.chop(1);
    }
    return mantissa;
}

// A number text shortened to the width: digits go from the end of the mantissa, marked by
// "…" where digits are left out, and an exponent stays. A number whose magnitude would not
// show (its whole part, or the zeros before its first significant digit) is written with an
// exponent first. Nothing when not even the sign, the first digit and the exponent fit.
std::optional<QString> shortenNumber(QString text, const QFontMetricsF& metrics, qreal width) {
    const auto fits = [&](const QString& t) { return metrics.horizontalAdvance(t) <= width; };
    if (fits(text))
        return text;
    if (!text.contains(QLatin1Char('e'))) {
        const qsizetype point = text.indexOf(QLatin1Char('.'));
        const qsizetype first = text.indexOf(QRegularExpression("[1-9]"));
        const qsizetype magnitudeEnd = std::max(point < 0 ? text.size() : point, first + 1);
        if (!fits(text.left(magnitudeEnd) + ellipsis))
            text = withExponent(text);
    }
    // The exponent without its leading zero ("e-4" for "e-04").
    const qsizetype e = text.indexOf(QLatin1Char('e'));
    const QString exponent =
        e < 0 ? QString() : text.mid(e).replace(QRegularExpression("([-+])0(\\d)"), "\\1\\2");
    QString mantissa = withoutTrailingZeros(e < 0 ? text : text.left(e));
    if (fits(mantissa + exponent))
        return mantissa + exponent;
    const qsizetype shortest = mantissa.startsWith(QLatin1Char('-')) ? 2 : 1;
    while (mantissa.size() > shortest &&
           !fits(withoutTrailingZeros(mantissa) + ellipsis + exponent))
        mantissa.chop(1);
    const QString shortened = withoutTrailingZeros(mantissa) + ellipsis + exponent;
    return fits(shortened) ? std::optional(shortened) : std::nullopt;
}

} // namespace

void NumberText::SetText(const QString& text) {
    setText(text);
    setToolTip(shown() == text ? QString() : text);
}

// Where not even the sign, the first digit and the exponent fit, the font shrinks pixel by
// pixel down to half its size; a number that fits in none shows as "…" alone.
std::pair<QString, QFont> NumberText::presentation() const {
    const qreal width = contentsRect().width();
    QFont font = this->font();
    for (int pixels = QFontInfo(font).pixelSize(), smallest = pixels / 2; pixels >= smallest;
         --pixels) {
        if (auto shown = shortenNumber(text(), QFontMetricsF(font, this), width))
            return {*shown, font};
        font.setPixelSize(std::max(pixels - 1, 1));
    }
    return {QString(ellipsis), this->font()};
}

QString NumberText::shown() const {
    return presentation().first;
}

QFont NumberText::shownFont() const {
    return presentation().second;
}

void NumberText::paintEvent(QPaintEvent*) {
    const auto [shown, font] = presentation();
    QPainter painter(this);
    painter.setFont(font);
    style()->drawItemText(&painter, contentsRect(), int(alignment()), palette(), isEnabled(), shown,
                          foregroundRole());
}

void NumberText::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    SetText(text());
}

MultiLineEditField::MultiLineEditField(QWidget* parent) : Field<TextEditor>(parent) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(this, &TextEditor::textChanged, this, &MultiLineEditField::reportTextChange);
}

namespace {

QList<QUrl> localFiles(const QMimeData* source) {
    QList<QUrl> urls = source->urls();
    urls.removeIf([](const QUrl& url) { return !url.isLocalFile(); });
    return urls;
}

// The text of a file: UTF-8, or UTF-16 or UTF-32 with a byte order mark, or else Latin-1 as
// older spreadsheets save it. Nothing when the file cannot be read, is larger than any value
// list (1 GiB) or holds control characters a text has not (a picture, a workbook).
std::optional<QString> textOfFile(const QString& path) {
    QFile file(path);
    if (file.size() > (qint64(1) << 30) || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    QStringDecoder decoder(QStringDecoder::encodingForData(bytes).value_or(QStringDecoder::Utf8));
    QString text = decoder(bytes);
    if (decoder.hasError())
        text = QString::fromLatin1(bytes);
    const bool hasControlCharacters = std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        return c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\n') &&
               c != QLatin1Char('\r') && c != QLatin1Char('\f');
    });
    return hasControlCharacters ? std::nullopt : std::optional<QString>(text);
}

} // namespace

bool MultiLineEditField::canInsertFromMimeData(const QMimeData* source) const {
    return !localFiles(source).isEmpty() || TextEditor::canInsertFromMimeData(source);
}

// Files go in one after another, each ending its last line; a file that is not text stops
// all of them.
void MultiLineEditField::insertFromMimeData(const QMimeData* source) {
    const QList<QUrl> urls = localFiles(source);
    if (urls.isEmpty())
        return TextEditor::insertFromMimeData(source);
    QString all;
    for (const QUrl& url : urls) {
        const std::optional<QString> text = textOfFile(url.toLocalFile());
        if (!text) {
            QMessageBox::warning(this, QStringLiteral("Datei nicht eingefügt"),
                                 QStringLiteral("„%1“ ist keine Textdatei. Die Werteliste "
                                                "bleibt, wie sie war.")
                                     .arg(url.fileName()));
            return;
        }
        all += *text;
        if (!all.isEmpty() && !all.endsWith(QLatin1Char('\n')) && !all.endsWith(QLatin1Char('\r')))
            all += QLatin1Char('\n');
    }
    insert(all);
}

void CheckBox::setWordWrap(bool wrap) {
    wrap_ = wrap;
    update();
}

void CheckBox::paintEvent(QPaintEvent* event) {
    if (!wrap_)
        return QCheckBox::paintEvent(event);
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_CheckBox, option);
    const QRect box = style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, this);
    const QRect textRect = rect().adjusted(box.right() + 4, 0, 0, 0);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;
    painter.drawText(textRect, flags, text());
    // The focus mark around the caption, where the style puts it on a box of its own.
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focusRect;
        focusRect.QStyleOption::operator=(option);
        focusRect.rect = painter.boundingRect(textRect, flags, text()).adjusted(-1, 0, 1, 0);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focusRect);
    }
}

bool CheckBox::hitButton(const QPoint& pos) const {
    return wrap_ ? rect().contains(pos) : QCheckBox::hitButton(pos);
}

BevelButton::BevelButton(QWidget* parent) : Button(parent) {
    setCheckable(true);
    // The pressed button stands out in the selection colour, on every style; with the focus
    // it has a dark frame, as the style's focus mark would not show on that colour.
    setStyleSheet(QStringLiteral("BevelButton:checked { background: palette(highlight);"
                                 " color: palette(highlighted-text);"
                                 " border: 1px solid palette(shadow); border-radius: 3px; }"
                                 "BevelButton:checked:focus { border: 2px solid"
                                 " palette(window-text); }"));
    // Reached by Tab and pressed with Space, for those who work without a mouse; a click
    // leaves the focus where it is.
    setFocusPolicy(Qt::TabFocus);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
}

UpDownArrows::UpDownArrows(QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
    setFocusPolicy(Qt::NoFocus);
    // Each arrow is reached by Tab and pressed with Space; a click leaves the focus where it is.
    for (QToolButton* button : {up_, down_}) {
        button->setFocusPolicy(Qt::TabFocus);
        button->setAutoRepeat(true);
    }
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    connect(up_, &QToolButton::clicked, this, [this] {
        if (Up)
            Up();
    });
    connect(down_, &QToolButton::clicked, this, [this] {
        if (Down)
            Down();
    });
}

void UpDownArrows::resizeEvent(QResizeEvent*) {
    const int middle = height() / 2;
    up_->setGeometry(0, 0, width(), middle);
    down_->setGeometry(0, middle, width(), height() - middle);
}
