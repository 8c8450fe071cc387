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

EditField::EditField(QWidget* parent) : Feld<QLineEdit>(parent) {
    setMaxLength(std::numeric_limits<int>::max());
    connect(this, &QLineEdit::textChanged, this, &EditField::textaenderung_melden);
}

void EditField::SetText(const QString& text) {
    if (text == QLineEdit::text()) {
        textaenderung_melden();
    } else {
        setText(text);
        setCursorPosition(0);
    }
}

namespace {

// A number in fixed notation written with an exponent: "-0.00123" becomes "-1.23e-03".
QString mit_exponent(const QString& zahl) {
    const qsizetype vorzeichen = zahl.startsWith(QLatin1Char('-')) ? 1 : 0;
    const qsizetype punkt = zahl.indexOf(QLatin1Char('.'));
    const qsizetype ganze = (punkt < 0 ? zahl.size() : punkt) - vorzeichen;
    const QString ziffern = zahl.mid(vorzeichen).remove(QLatin1Char('.'));
    const qsizetype erste = std::max<qsizetype>(0, ziffern.indexOf(QRegularExpression("[1-9]")));
    const qsizetype exponent = ganze - 1 - erste;
    return zahl.left(vorzeichen) + ziffern[erste] + QLatin1Char('.') + ziffern.mid(erste + 1) +
           QStringLiteral("e%1%2")
               .arg(QLatin1Char(exponent < 0 ? '-' : '+'))
               .arg(std::abs(exponent), 2, 10, QLatin1Char('0'));
}

const QChar auslassung(0x2026);

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
std::optional<QString> zahl_kuerzen(QString text, const QFontMetricsF& masse, qreal breite) {
    const auto passt = [&](const QString& t) { return masse.horizontalAdvance(t) <= breite; };
    if (passt(text))
        return text;
    if (!text.contains(QLatin1Char('e'))) {
        const qsizetype punkt = text.indexOf(QLatin1Char('.'));
        const qsizetype erste = text.indexOf(QRegularExpression("[1-9]"));
        const qsizetype traeger = std::max(punkt < 0 ? text.size() : punkt, erste + 1);
        if (!passt(text.left(traeger) + auslassung))
            text = mit_exponent(text);
    }
    // The exponent without its leading zero ("e-4" for "e-04").
    const qsizetype e = text.indexOf(QLatin1Char('e'));
    const QString exponent =
        e < 0 ? QString() : text.mid(e).replace(QRegularExpression("([-+])0(\\d)"), "\\1\\2");
    QString mantisse = withoutTrailingZeros(e < 0 ? text : text.left(e));
    if (passt(mantisse + exponent))
        return mantisse + exponent;
    const qsizetype kleinste = mantisse.startsWith(QLatin1Char('-')) ? 2 : 1;
    while (mantisse.size() > kleinste &&
           !passt(withoutTrailingZeros(mantisse) + auslassung + exponent))
        mantisse.chop(1);
    const QString shortened = withoutTrailingZeros(mantisse) + auslassung + exponent;
    return passt(shortened) ? std::optional(shortened) : std::nullopt;
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
        if (auto shown = zahl_kuerzen(text(), QFontMetricsF(font, this), width))
            return {*shown, font};
        font.setPixelSize(std::max(pixels - 1, 1));
    }
    return {QString(auslassung), this->font()};
}

QString NumberText::shown() const {
    return presentation().first;
}

QFont NumberText::shownFont() const {
    return presentation().second;
}

void NumberText::paintEvent(QPaintEvent*) {
    const auto [shown, font] = presentation();
    QPainter maler(this);
    maler.setFont(font);
    style()->drawItemText(&maler, contentsRect(), int(alignment()), palette(), isEnabled(), shown,
                          foregroundRole());
}

void NumberText::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    SetText(text());
}

MultiLineEditField::MultiLineEditField(QWidget* parent) : Feld<TextEditor>(parent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(this, &TextEditor::textChanged, this, &MultiLineEditField::textaenderung_melden);
}

namespace {

QList<QUrl> dateien(const QMimeData* source) {
    QList<QUrl> urls = source->urls();
    urls.removeIf([](const QUrl& url) { return !url.isLocalFile(); });
    return urls;
}

// The text of a file: UTF-8, or UTF-16 or UTF-32 with a byte order mark, or else Latin-1 as
// older spreadsheets save it. Nothing when the file cannot be read, is larger than any value
// list (1 GiB) or holds control characters a text has not (a picture, a workbook).
std::optional<QString> textdatei(const QString& pfad) {
    QFile datei(pfad);
    if (datei.size() > (qint64(1) << 30) || !datei.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = datei.readAll();
    QStringDecoder lesen(QStringDecoder::encodingForData(bytes).value_or(QStringDecoder::Utf8));
    QString text = lesen(bytes);
    if (lesen.hasError())
        text = QString::fromLatin1(bytes);
    const bool steuerzeichen = std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        return c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\n') &&
               c != QLatin1Char('\r') && c != QLatin1Char('\f');
    });
    return steuerzeichen ? std::nullopt : std::optional<QString>(text);
}

} // namespace

bool MultiLineEditField::canInsertFromMimeData(const QMimeData* source) const {
    return !dateien(source).isEmpty() || TextEditor::canInsertFromMimeData(source);
}

// Files go in one after another, each ending its last line; a file that is not text stops
// all of them.
void MultiLineEditField::insertFromMimeData(const QMimeData* source) {
    const QList<QUrl> urls = dateien(source);
    if (urls.isEmpty())
        return TextEditor::insertFromMimeData(source);
    QString alle;
    for (const QUrl& url : urls) {
        const std::optional<QString> text = textdatei(url.toLocalFile());
        if (!text) {
            QMessageBox::warning(this, QStringLiteral("Datei nicht eingefügt"),
                                 QStringLiteral("„%1“ ist keine Textdatei. Die Werteliste "
                                                "bleibt, wie sie war.")
                                     .arg(url.fileName()));
            return;
        }
        alle += *text;
        if (!alle.isEmpty() && !alle.endsWith(QLatin1Char('\n')) &&
            !alle.endsWith(QLatin1Char('\r')))
            alle += QLatin1Char('\n');
    }
    insert(alle);
}

void CheckBox::setWordWrap(bool wrap) {
    umbrechen_ = wrap;
    update();
}

void CheckBox::paintEvent(QPaintEvent* event) {
    if (!umbrechen_)
        return QCheckBox::paintEvent(event);
    QStylePainter maler(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    maler.drawControl(QStyle::CE_CheckBox, option);
    const QRect kasten = style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, this);
    const QRect textfeld = rect().adjusted(kasten.right() + 4, 0, 0, 0);
    maler.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    const int ausrichtung = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;
    maler.drawText(textfeld, ausrichtung, text());
    // The focus mark around the caption, where the style puts it on a box of its own.
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect fokus;
        fokus.QStyleOption::operator=(option);
        fokus.rect = maler.boundingRect(textfeld, ausrichtung, text()).adjusted(-1, 0, 1, 0);
        maler.drawPrimitive(QStyle::PE_FrameFocusRect, fokus);
    }
}

bool CheckBox::hitButton(const QPoint& pos) const {
    return umbrechen_ ? rect().contains(pos) : QCheckBox::hitButton(pos);
}

BevelButton::BevelButton(QWidget* parent) : QToolButton(parent) {
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
    : QWidget(parent), hoch_(new QToolButton(this)), runter_(new QToolButton(this)) {
    setFocusPolicy(Qt::NoFocus);
    // Each arrow is reached by Tab and pressed with Space; a click leaves the focus where it is.
    for (QToolButton* knopf : {hoch_, runter_}) {
        knopf->setFocusPolicy(Qt::TabFocus);
        knopf->setAutoRepeat(true);
    }
    hoch_->setArrowType(Qt::UpArrow);
    runter_->setArrowType(Qt::DownArrow);
    connect(hoch_, &QToolButton::clicked, this, &UpDownArrows::Up);
    connect(runter_, &QToolButton::clicked, this, &UpDownArrows::Down);
}

void UpDownArrows::resizeEvent(QResizeEvent*) {
    const int mitte = height() / 2;
    hoch_->setGeometry(0, 0, width(), mitte);
    runter_->setGeometry(0, mitte, width(), height() - mitte);
}
