// The controls the windows are built from: Qt's widgets, with the few behaviours the windows
// rely on that Qt's own widgets lack.
//
// Every control can be a member of a control array and then carries its 1-based Index. A
// control reports its events through function members named after them (Action, TextChange,
// LostFocus, KeyDown, Up, Down), which the window sets; a key-down handler that returns true
// drops the key.
#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QToolButton>

#include "editor/texteditor.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// What an edit field reports to its window: text changed, focus lost, and key down, whose
// handler drops the key by returning true. Shortcuts that edit the text (paste, cut, undo)
// arrive as key presses too, since the field claims them before the menu's shortcuts.
template <typename Base> class Field : public Base {
public:
    using Base::Base;

    int Index = 0;
    std::function<void()> TextChange;
    std::function<void()> LostFocus;
    std::function<bool()> KeyDown;

protected:
    void reportTextChange() {
        if (TextChange)
            TextChange();
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (KeyDown && KeyDown())
            return event->accept();
        Base::keyPressEvent(event);
    }
    void inputMethodEvent(QInputMethodEvent* event) override {
        if (KeyDown && KeyDown())
            return event->accept();
        Base::inputMethodEvent(event);
    }
    void focusOutEvent(QFocusEvent* event) override {
        Base::focusOutEvent(event);
        if (LostFocus)
            LostFocus();
    }
};

// A single-line edit field without a length limit. Setting its text from code raises
// TextChange like typing does, also when the text stays the same, and shows the text's start.
class EditField : public Field<QLineEdit> {
    Q_OBJECT
public:
    explicit EditField(QWidget* parent = nullptr);
    void SetText(const QString& text);

private:
    using QLineEdit::setText; // SetText is the one way to set the text from code
};

// A multi-line edit field whose text has one carriage return (character 13) between lines,
// whatever line ends arrive in it by typing, pasting or dropping. Files dropped onto it (or
// pasted from a file manager) go in as the text FilesDropped gives for them (UTF-8), where it
// gives one; else they change nothing. It holds at most maximumText bytes: a paste or drop
// beyond is refused and reported by TooLarge.
class MultiLineEditField : public Field<TextEditor> {
    Q_OBJECT
public:
    explicit MultiLineEditField(QWidget* parent = nullptr);

    // The text as UTF-8 with carriage returns between lines.
    const std::string& Text() const { return text(); }
    // Shows a text with carriage returns between lines; raises TextChange.
    void SetText(std::string_view text) { setText(text); }

    // The text that files (local paths) go in as, in UTF-8, or nothing to refuse them.
    std::function<std::optional<std::string>(const QStringList& files)> FilesDropped;
    std::function<void()> TooLarge;

    static constexpr Position maximumText = Position(1) << 28; // 256 MiB, some 25 million values

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
};

// A Qt control that can be a member of a control array.
template <typename Base> class Indexed : public Base {
public:
    using Base::Base;
    int Index = 0;
};

using StaticText = Indexed<QLabel>;

// A button that reports Action when the user presses it (a click, or Space where it has the
// focus); setting its state from code reports nothing.
template <typename Base> class Button : public Indexed<Base> {
public:
    explicit Button(QWidget* parent = nullptr) : Indexed<Base>(parent) {
        QObject::connect(this, &QAbstractButton::clicked, this, [this] {
            if (Action)
                Action();
        });
    }
    std::function<void()> Action;
};

using RadioButton = Button<QRadioButton>;
using PushButton = Button<QPushButton>;

// A check box whose caption may wrap onto further lines when the box is too narrow.
class CheckBox : public Button<QCheckBox> {
    Q_OBJECT
public:
    using Button::Button;
    void setWordWrap(bool wrap);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    bool wrap_ = false;
};

// A button that stays pressed: setting its pressed state from code raises no Action; a click
// does, and so does Space when Tab has brought the focus to it.
class BevelButton : public Button<QToolButton> {
    Q_OBJECT
public:
    explicit BevelButton(QWidget* parent = nullptr);
};

using GroupBox = QGroupBox;

// An invisible frame around buttons of which exactly one is chosen, named after the choice: a
// screen reader hears its checkable buttons as radio buttons of this group.
class ChoiceGroup : public QWidget {
    Q_OBJECT
public:
    explicit ChoiceGroup(QWidget* parent = nullptr);
};

// Two small arrow buttons on top of each other; held down, they repeat. Tab reaches each.
class UpDownArrows : public QWidget {
    Q_OBJECT
public:
    explicit UpDownArrows(QWidget* parent = nullptr);

    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

    std::function<void()> Up;
    std::function<void()> Down;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* up_;
    QToolButton* down_;
};

// Controls sharing one name and one set of handlers, told apart by their 1-based Index.
template <typename Control> class ControlArray {
public:
    Control& operator()(int index) const { return *members_.at(std::size_t(index - 1)); }
    void set(int index, Control* member) {
        if (members_.size() < std::size_t(index))
            members_.resize(std::size_t(index));
        members_[std::size_t(index - 1)] = member;
        member->Index = index;
    }
    int size() const { return int(members_.size()); }

private:
    std::vector<Control*> members_;
};
