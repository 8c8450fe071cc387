#include "controls.h"

#include <QMimeData>
#include <QStringEncoder>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTextDocument>

EditField::EditField(QWidget* parent) : Feld<QLineEdit>(parent) {
    connect(this, &QLineEdit::textChanged, this, &EditField::textaenderung_melden);
}

void EditField::SetText(const QString& text) {
    if (text == QLineEdit::text())
        textaenderung_melden();
    else
        setText(text);
}

MultiLineEditField::MultiLineEditField(QWidget* parent) : Feld<QPlainTextEdit>(parent) {
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(this, &QPlainTextEdit::textChanged, this, &MultiLineEditField::textaenderung_melden);
}

// The value text may be megabytes long: it is taken from the document once, its separators
// are replaced in place, and it is converted to UTF-8 once.
std::string MultiLineEditField::Text() const {
    QString zeilen = document()->toRawText();
    for (QChar& zeichen : zeilen) {
        // Paragraphs (Return) and line breaks (Shift+Return) both end a line; a no-break
        // space is a space, as in the document's plain text.
        if (zeichen == QChar::ParagraphSeparator || zeichen == QChar::LineSeparator)
            zeichen = QLatin1Char('\r');
        else if (zeichen == QChar::Nbsp)
            zeichen = QLatin1Char(' ');
    }
    QStringEncoder utf8(QStringEncoder::Utf8);
    std::string text(std::size_t(utf8.requiredSpace(zeilen.size())), '\0');
    char* ende = utf8.appendToBuffer(text.data(), zeilen);
    text.resize(std::size_t(ende - text.data()));
    return text;
}

void MultiLineEditField::SetText(std::string_view text) {
    QString zeilen = QString::fromUtf8(text.data(), qsizetype(text.size()));
    zeilen.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    setPlainText(zeilen);
}

// Text from other programs ends its lines with CR LF, LF or CR; each becomes one line break.
void MultiLineEditField::insertFromMimeData(const QMimeData* source) {
    if (!source->hasText())
        return QPlainTextEdit::insertFromMimeData(source);
    QString text = source->text();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    insertPlainText(text);
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
    maler.drawText(textfeld, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, text());
}

bool CheckBox::hitButton(const QPoint& pos) const {
    return umbrechen_ ? rect().contains(pos) : QCheckBox::hitButton(pos);
}

BevelButton::BevelButton(QWidget* parent) : QToolButton(parent) {
    setCheckable(true);
    // The pressed button stands out in the selection colour, on every style.
    setStyleSheet(QStringLiteral("BevelButton:checked { background: palette(highlight);"
                                 " color: palette(highlighted-text);"
                                 " border: 1px solid palette(shadow); border-radius: 3px; }"));
    setFocusPolicy(Qt::NoFocus);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
}

UpDownArrows::UpDownArrows(QWidget* parent)
    : QWidget(parent), hoch_(new QToolButton(this)), runter_(new QToolButton(this)) {
    setFocusPolicy(Qt::NoFocus);
    for (QToolButton* knopf : {hoch_, runter_}) {
        knopf->setFocusPolicy(Qt::NoFocus);
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
