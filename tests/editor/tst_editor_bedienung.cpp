// The editor operated as a user does, with real key and mouse events: its word steps and keys
// against Qt's own plain-text editor, clicks and drags of the mouse, scrolling by the page and
// while selecting or dragging, and long lines shown and reached whole.
#include "editor/editorchecks.h"
#include "editor/texteditor.h"
#include "support/testumgebung.h"

#include <QMimeData>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformtheme.h>

#include <memory>
#include <random>

namespace {

using Position = TextEditor::Position;

// Qt's key bindings on X11 (Ctrl+K deletes to the end of the line) on any test platform.
class X11Keys : public QPlatformTheme {
public:
    explicit X11Keys(QPlatformTheme* base) : base_(base) {}
    QVariant themeHint(ThemeHint hint) const override {
        return hint == KeyboardScheme ? QVariant(int(X11KeyboardScheme)) : base_->themeHint(hint);
    }

private:
    std::unique_ptr<QPlatformTheme> base_;
};

QString marked(const QPlainTextEdit& editor) {
    return marked(editor.toPlainText(), editor.textCursor().anchor(),
                  editor.textCursor().position());
}

void setText(TextEditor& editor, const QString& text, int cursor = 0) {
    editor.replace(0, Position(editor.text().size()), text);
    editor.setSelection(editor.position(cursor), editor.position(cursor));
}

// The middle of the left half of character c of line l: the click lands before it.
QPoint at(const TextEditor& editor, int l, int c) {
    const QString line = editor.textBetween(0, Position(editor.text().size())).split('\n')[l];
    const QFontMetricsF metrics(editor.font());
    return QPointF(4 + metrics.horizontalAdvance(line.left(c)) +
                       metrics.horizontalAdvance(line.mid(c, 1)) / 4,
                   4 + metrics.lineSpacing() * (l + 0.5))
        .toPoint();
}

int cursorLine(const TextEditor& editor) {
    return int(
        std::count(editor.text().begin(), editor.text().begin() + editor.cursorPosition(), '\r'));
}

} // namespace

class TstEditorBedienung : public QObject {
    Q_OBJECT
    TextEditor* editor_ = nullptr;

private slots:
    void initTestCase() {
        testumgebung_einrichten();
        QGuiApplicationPrivate::platform_theme =
            new X11Keys(QGuiApplicationPrivate::platformTheme());
    }
    void init() {
        editor_ = new TextEditor;
        editor_->resize(200, 120);
        editor_->show();
        QVERIFY(QTest::qWaitForWindowExposed(editor_));
    }
    void cleanup() { delete editor_; }

    void like_qt_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("words") << "eins zwei  drei ";
        QTest::newRow("numbers") << "12,5 -3.7e+2;;x\n\n (7) #";
        QTest::newRow("letters") << "ä ö…(ü) 𝄞x a\u0301b\tc\u3000d";
    }
    // The word steps, the word deletions and Ctrl+K, from every place in the text, do what they
    // do in Qt's own plain-text editor.
    void like_qt() {
        QFETCH(QString, text);
        QPlainTextEdit qt;
        qt.setFont(editor_->font());
        for (int place = 0; place <= text.size(); ++place) {
            if (place < text.size() && text[place].isLowSurrogate())
                continue;
            for (const char* keys : {"Ctrl+Right", "Ctrl+Left", "Ctrl+Shift+Right",
                                     "Ctrl+Shift+Left", "Ctrl+Backspace", "Ctrl+Del", "Ctrl+K"}) {
                qt.setPlainText(text);
                QTextCursor cursor = qt.textCursor();
                cursor.setPosition(place);
                qt.setTextCursor(cursor);
                setText(*editor_, text, place);
                QTest::keySequence(&qt, QKeySequence(keys));
                QTest::keySequence(editor_, QKeySequence(keys));
                const QString where = QString("%1 at %2: ").arg(keys).arg(place);
                QCOMPARE(where + marked(*editor_), where + marked(qt));
            }
        }
    }

    // The actions: d double click, c press, s press with Shift, m move (at line,char), r release.
    void mouse_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("actions");
        QTest::addColumn<QString>("after");
        const QString lang(600, '5');
        const std::initializer_list<std::array<QString, 4>> rows = {
            {"triple_click", "eins zwei\ndrei", "d0,2 r c0,2 r", "[eins zwei\n]drei"},
            {"triple_drag", "eins\nzwei\ndrei", "d1,2 r c1,2 m0,1 r", "[eins\nzwei\n]drei"},
            {"word_drag", "eins zwei drei", "d0,6 m0,12 r", "eins [zwei drei]"},
            {"word_drag_back", "eins zwei drei", "d0,6 m0,1 r", "[eins zwei] drei"},
            {"long_word", lang + " x", "d0,590 r", "[" + lang + "] x"},
            {"shift_click", "1\n22\n333", "c0,1 r s2,2 r", "1[\n22\n33]3"},
        };
        for (const auto& [name, text, actions, after] : rows)
            QTest::newRow(qPrintable(name)) << text << actions << after;
    }
    // A triple click selects the line, Shift and a click extend the selection, a drag after a
    // double or triple click grows the selection by words or lines, and a double click takes a word
    // of any length.
    void mouse() {
        QFETCH(QString, text);
        QFETCH(QString, actions);
        QFETCH(QString, after);
        setText(*editor_, text);
        QWidget* view = editor_->viewport();
        for (const QString& action : actions.split(' ')) {
            const QStringList place = action.mid(1).split(',');
            const QPoint point =
                place.size() == 2 ? at(*editor_, place[0].toInt(), place[1].toInt()) : QPoint();
            if (action[0] == 'd')
                QTest::mouseDClick(view, Qt::LeftButton, {}, point);
            else if (action[0] == 'c' || action[0] == 's')
                QTest::mousePress(view, Qt::LeftButton,
                                  action[0] == 's' ? Qt::ShiftModifier : Qt::NoModifier, point);
            else if (action[0] == 'm')
                QTest::mouseMove(view, point);
            else
                QTest::mouseRelease(view, Qt::LeftButton, {}, at(*editor_, 0, 0));
        }
        QCOMPARE(marked(*editor_), after);
    }

    // PageDown scrolls the view a whole page and takes the cursor along; PageUp back. The wheel
    // scrolls the view alone.
    void pages() {
        QStringList lines;
        for (int i = 0; i < 100; ++i)
            lines << QString::number(i);
        setText(*editor_, lines.join('\n'));
        const int page = editor_->verticalScrollBar()->pageStep();
        QVERIFY(page > 2);
        for (const auto& [key, top] : {std::pair(Qt::Key_PageDown, page),
                                       {Qt::Key_PageDown, 2 * page},
                                       {Qt::Key_PageUp, page}}) {
            QTest::keyClick(editor_, key);
            QCOMPARE(editor_->verticalScrollBar()->value(), top);
            QCOMPARE(cursorLine(*editor_), top);
        }
        QWheelEvent wheel({10, 10}, editor_->viewport()->mapToGlobal(QPointF(10, 10)), {},
                          {0, -120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(editor_->viewport(), &wheel);
        QVERIFY(editor_->verticalScrollBar()->value() > page);
        QCOMPARE(cursorLine(*editor_), page);
    }

    // The mouse held below the view while selecting scrolls it, and the selection follows.
    void autoscroll_selecting() {
        setText(*editor_, QString("1\n").repeated(100));
        QTest::mousePress(editor_->viewport(), Qt::LeftButton, {}, at(*editor_, 0, 0));
        QTest::mouseMove(editor_->viewport(), QPoint(20, editor_->viewport()->height() + 30));
        QTRY_VERIFY(editor_->verticalScrollBar()->value() >= 10);
        QTest::mouseRelease(editor_->viewport(), Qt::LeftButton);
        QVERIFY(cursorLine(*editor_) > editor_->verticalScrollBar()->value());
        QCOMPARE(editor_->anchor(), 0);
    }

    // A text dragged near the lower edge scrolls the view, and drops onto a line that was out
    // of view.
    void autoscroll_dragging() {
        setText(*editor_, QString("1\n").repeated(100));
        QMimeData text;
        text.setText("x");
        const QPoint edge(20, editor_->viewport()->height() - 3);
        QDragEnterEvent enter(edge, Qt::CopyAction, &text, Qt::LeftButton, {});
        QDragMoveEvent move(edge, Qt::CopyAction, &text, Qt::LeftButton, {});
        QApplication::sendEvent(editor_->viewport(), &enter);
        QApplication::sendEvent(editor_->viewport(), &move);
        QTRY_VERIFY(editor_->verticalScrollBar()->value() >= 20);
        QDropEvent drop(edge, Qt::CopyAction, &text, Qt::LeftButton, {});
        QApplication::sendEvent(editor_->viewport(), &drop);
        QVERIFY(cursorLine(*editor_) >= 20);
        QVERIFY(editor_->textBetween(0, Position(editor_->text().size())).contains("x"));
    }

    // A line wider than the view brings the sideways scroll bar; on another line the view goes
    // back as far left as shows the cursor.
    void scroll_back() {
        setText(*editor_, "12.3456789012345678901234567890\n67.8901234567891234567\n775", 0);
        QScrollBar* across = editor_->horizontalScrollBar();
        QTRY_VERIFY(across->isVisible());
        QCOMPARE(across->value(), 0);
        QTest::keyClick(editor_, Qt::Key_End);
        QVERIFY(across->value() > 0);
        QTest::keyClick(editor_, Qt::Key_Down);
        QTest::keyClick(editor_, Qt::Key_Down);
        QCOMPARE(across->value(), 0);
        QCOMPARE(marked(*editor_).section('\n', 2), "775|");
    }

    // A line of 240,000 characters is laid out piece by piece: the keys reach all of it, it is
    // as wide as the whole line measured at once after edits at both ends, its end shows what is
    // typed there, and up and down keep the column.
    void long_line() {
        const QString line = QString("12345;").repeated(40000);
        setText(*editor_, "1\n" + line + "\n2");
        for (const char* keys : {"Down", "x", "End", "Left"})
            QTest::keySequence(editor_, QKeySequence(keys));
        const QRect view = editor_->viewport()->rect();
        const QImage before = editor_->viewport()->grab().toImage();
        QTest::keyClicks(editor_, "x");
        QVERIFY(editor_->viewport()->grab().toImage() != before);
        QVERIFY(view.contains(editor_->inputMethodQuery(Qt::ImCursorRectangle).toRect()));
        const QString edited = "x" + line.chopped(1) + "x;";
        const int room = view.width() - 2 * 4 - 1;
        const qreal width = QFontMetricsF(editor_->font()).horizontalAdvance(edited);
        QVERIFY(qAbs(editor_->horizontalScrollBar()->maximum() + room - width) < 2);
        for (const char* keys : {"Up", "Down", "Shift+Home"})
            QTest::keySequence(editor_, QKeySequence(keys));
        QCOMPARE(marked(*editor_), "1\n[" + edited.chopped(1) + "];\n2");
    }

    // Random edits, undos and redos of a few long lines, often at their ends: the sideways range
    // stays that of the widest line measured whole, however the lines' pieces were cut and moved.
    void long_lines_edited() {
        std::mt19937 random(26);
        const auto number = [&](int to) { return int(random() % unsigned(to + 1)); };
        setText(*editor_, QString("12345678;").repeated(400) + "\n" + QString("9;").repeated(900));
        editor_->resize(200, 4000); // every line in view
        const int room = editor_->viewport()->width() - 2 * 4 - 1;
        for (int step = 0; step < 300; ++step) {
            const Position size = Position(editor_->text().size());
            const Position lineEnd =
                Position(std::min(editor_->text().find('\r'), std::size_t(size)));
            const Position from =
                number(2) == 0 ? std::min(lineEnd + number(1), size) : number(int(size));
            const QString text =
                number(1) ? QString(number(300), '7') : QStringList{"\n", "77\n7", ""}[number(2)];
            if (number(4) == 0)
                QTest::keySequence(editor_, QKeySequence(number(1) ? "Ctrl+Z" : "Ctrl+Shift+Z"));
            else
                editor_->replace(from, number(1) ? from : std::min(size, from + number(2000)),
                                 text);
            qreal widest = 0;
            for (const QString& line :
                 editor_->textBetween(0, Position(editor_->text().size())).split('\n'))
                widest = std::max(widest, QFontMetricsF(editor_->font()).horizontalAdvance(line));
            QVERIFY2(qAbs(std::max(editor_->horizontalScrollBar()->maximum() + room, room) -
                          std::max<qreal>(widest, room)) < 2,
                     qPrintable(QString("step %1").arg(step)));
        }
    }
};

QTEST_MAIN(TstEditorBedienung)
#include "tst_editor_bedienung.moc"
