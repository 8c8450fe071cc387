#include "controls.h"

#include <QFile>
#include <QMessageBox>
#include <QMimeData>
#include <QStringEncoder>
#include <QStyleOptionButton>
#include <QStylePainter>

#include <limits>
#include <optional>

void installControlsAccessibility(); // in controls_accessible.cpp

EditField::EditField(QWidget* parent) : Field<QLineEdit>(parent) {
    installControlsAccessibility(); // Qt keeps a factory once
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

ChoiceGroup::ChoiceGroup(QWidget* parent) : QWidget(parent) {
    installControlsAccessibility();
    setFocusPolicy(Qt::NoFocus);
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
