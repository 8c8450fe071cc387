#include "controls.h"

#include <QMimeData>
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
    setMaximumSize(maximumText);
    connect(this, &TextEditor::refused, this, [this] {
        if (TooLarge)
            TooLarge();
    });
}

namespace {

QList<QUrl> localFiles(const QMimeData* source) {
    QList<QUrl> urls = source->urls();
    urls.removeIf([](const QUrl& url) { return !url.isLocalFile(); });
    return urls;
}

} // namespace

bool MultiLineEditField::canInsertFromMimeData(const QMimeData* source) const {
    return !localFiles(source).isEmpty() || TextEditor::canInsertFromMimeData(source);
}

// Files go in as the text the window makes of them, where it takes them.
void MultiLineEditField::insertFromMimeData(const QMimeData* source) {
    const QList<QUrl> urls = localFiles(source);
    if (urls.isEmpty())
        return TextEditor::insertFromMimeData(source);
    QStringList files;
    for (const QUrl& url : urls)
        files << url.toLocalFile();
    if (FilesDropped)
        if (std::optional<std::string> text = FilesDropped(files))
            insertUtf8(std::move(*text));
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
