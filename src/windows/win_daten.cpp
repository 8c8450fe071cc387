#include "win_daten.h"

#include "chart/beschreibung.h"
#include "model/proc.h"
#include "model/text.h"
#include "model/werte_lesen.h"
#include "windows/anwendung.h"
#include "windows/daten_ablauf.h"
#include "windows/win_boxplot.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLayout>
#include <QMenuBar>
#include <QShortcut>

#include <optional>
#include <string_view>
#include <type_traits>

namespace {

const QString eine_zeile = QStringLiteral("Ein Wert pro Zeile"); // the value list's description

constexpr QSize inhaltsgroesse(406, 463);
constexpr Qt::Alignment links = Qt::AlignLeft | Qt::AlignVCenter;
constexpr Qt::Alignment rechts = Qt::AlignRight | Qt::AlignVCenter;

// Rows of the box values, from top to bottom; the row index is the column of the set's base
// values it shows.
struct Zeile {
    int index;
    int feld_oben;
    int anzeige_links;
    int anzeige_oben;
    const char* beschriftung; // the label left of the row
};
constexpr Zeile zeilen[] = {
    {5, 20, 121, 21, "StaticText4"},    {4, 52, 121, 52, "StaticText2"},
    {3, 84, 121, 85, "StaticText1"},    {2, 118, 121, 119, "StaticText3"},
    {1, 151, 121, 152, "StaticText5"},  {6, 198, 122, 200, "StaticText9"},
    {7, 232, 121, 232, "StaticText11"}, {8, 261, 121, 261, "StaticText12"},
};

const Zeile& zeile(int index) {
    return *std::find_if(std::begin(zeilen), std::end(zeilen),
                         [index](const Zeile& z) { return z.index == index; });
}

// Text size n means text n pixels high, as on a screen where a point is a pixel.
void textgroesse(QWidget* element, int pixel) {
    QFont schrift = element->font();
    schrift.setPixelSize(pixel);
    element->setFont(schrift);
}

// A control with its name, place and caption (a group box's title).
template <typename Element>
Element* anlegen(QWidget* eltern, const char* name, QRect lage, const char* text = "") {
    auto* element = new Element(eltern);
    element->setObjectName(QLatin1String(name));
    element->setGeometry(lage);
    if constexpr (std::is_same_v<Element, GroupBox>)
        element->setTitle(QString::fromUtf8(text));
    else if constexpr (requires { element->setText(QString()); })
        element->setText(QString::fromUtf8(text));
    return element;
}

StaticText* text_anlegen(QWidget* eltern, const char* name, QRect lage, const char* text,
                         Qt::Alignment ausrichtung) {
    auto* element = anlegen<StaticText>(eltern, name, lage, text);
    element->setAlignment(ausrichtung);
    return element;
}

// The labels left of the value rows: 94 × 20, right-aligned.
void beschriften(QWidget* eltern, const char* name, const char* text, int links_, int oben) {
    text_anlegen(eltern, name, {links_, oben, 94, 20}, text, rechts);
}

} // namespace

WinDaten::WinDaten()
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Daten"));
    // The application's menu bar; where the platform has one menu bar for all windows (macOS)
    // it stays there.
    if (const Anwendung* laufende = anwendung()) {
        if (QMenuBar* leiste = laufende->menueleiste(); leiste && !leiste->isNativeMenuBar())
            setMenuBar(leiste);
    }
    inhalt_ = new QWidget(this);
    inhalt_->setFixedSize(inhaltsgroesse);
    setCentralWidget(inhalt_);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    steuerelemente_anlegen();
    handler_verbinden();
    benennen();
    zeilen_vermerken();
    tabreihenfolge_setzen();
    auto* wechseln = new QShortcut(QKeySequence(Qt::Key_F6), this);
    connect(wechseln, &QShortcut::activated, this, [] { nach_vorn(WinBoxplot::fenster()); });
}

// The field with the focus reports its loss while every control still stands, not halfway
// through their destruction.
WinDaten::~WinDaten() {
    if (QWidget* feld = focusWidget())
        feld->clearFocus();
}

void WinDaten::steuerelemente_anlegen() {
    QWidget* w = inhalt_;
    const auto gruppe = [w](const char* name, const char* titel, QRect lage) {
        auto* box = anlegen<GroupBox>(w, name, lage, titel);
        textgroesse(box, 9);
        return box;
    };
    const auto basisfeld = [this, w](int index) {
        EFbasis.set(index, anlegen<EditField>(w, "EFbasis", {116, zeile(index).feld_oben, 52, 22}));
    };

    GroupBox4 = gruppe("GroupBox4", "Satz-Nr.", {337, 3, 57, 227});
    GroupBox3 = gruppe("GroupBox3", "Ausgabe - Skala", {35, 327, 140, 116});
    for (int index : {5, 4, 3, 2, 1, 6})
        basisfeld(index);
    EFskalamax = anlegen<EditField>(w, "EFskalamax", {116, 345, 52, 22});
    EFskalamin = anlegen<EditField>(w, "EFskalamin", {116, 379, 52, 22});
    EFskalamark = anlegen<EditField>(w, "EFskalamark", {116, 413, 52, 22});
    GroupBox2 = gruppe("GroupBox2", "Datenreihe", {187, 3, 140, 292});
    GroupBox1 = gruppe("GroupBox1", "Boxplot-Werte", {35, 3, 140, 292});
    beschriften(w, "StaticText1", "Median", 20, 85);
    beschriften(w, "StaticText2", "ob. Quartil", 20, 54);
    beschriften(w, "StaticText3", "unt.Quartil", 20, 119);
    beschriften(w, "StaticText4", "Maximum", 20, 22);
    beschriften(w, "StaticText5", "Minimum", 20, 153);
    PushButton1 = anlegen<PushButton>(w, "PushButton1", {198, 423, 105, 20}, "Zeichnen");
    beschriften(w, "StaticText6", "Maximum", 20, 346);
    beschriften(w, "StaticText7", "Minimum", 20, 380);
    beschriften(w, "StaticText8", "Markierung", 20, 414);
    beschriften(w, "StaticText9", "Mittelwert", 20, 200);
    EFDaten = anlegen<MultiLineEditField>(w, "EFDaten", {198, 22, 119, 259});
    PBberechnen = anlegen<PushButton>(w, "PBberechnen", {198, 391, 105, 20}, "Berechnen");
    basisfeld(7);
    beschriften(w, "StaticText11", "Spannweite", 16, 233);
    basisfeld(8);
    beschriften(w, "StaticText12", "Anzahl", 16, 261);
    for (int index = 1; index <= 8; ++index) {
        const Zeile& z = zeile(index);
        auto* anzeige =
            anlegen<Zahltext>(w, "STbasis", {z.anzeige_links, z.anzeige_oben, 49, 20}, "-");
        anzeige->setAlignment(links);
        STbasis.set(index, anzeige);
    }
    for (int index = 1; index <= Proc::hoechste_satzanzahl; ++index) {
        const QRect lage(350, 23 + 32 * (index - 1), 36, 20);
        RBsatz.set(index,
                   anlegen<RadioButton>(w, "RBsatz", lage, QByteArray::number(index).constData()));
    }
    // The kind buttons are one choice of two, framed by a group of their own.
    auto* satzart = anlegen<ChoiceGroup>(w, "Satzart", {50, 296, 264, 22});
    BBsatzart.set(1, anlegen<BevelButton>(satzart, "BBsatzart", {0, 0, 116, 22}, "Box-Werte"));
    BBsatzart.set(2, anlegen<BevelButton>(satzart, "BBsatzart", {148, 0, 116, 22}, "Datenreihe"));
    BBsatzart(1).setChecked(true);
    UpDownArrows1 = anlegen<UpDownArrows>(w, "UpDownArrows1", {366, 197, 13, 23});
    STsatzanz = text_anlegen(w, "STsatzanz", {344, 197, 19, 20}, "1", rechts);
    StaticText14 = text_anlegen(w, "StaticText14", {351, 182, 35, 13}, "Anzahl", links);
    textgroesse(StaticText14, 9);
    CBshowall = anlegen<CheckBox>(w, "CBshowall", {337, 233, 62, 30}, "Alle Sätze anzeigen");
    CBshowall->setWordWrap(true);
    textgroesse(CBshowall, 9);
    CBautomatik = anlegen<CheckBox>(w, "CBautomatik", {337, 409, 24, 20});
    StaticText15 = text_anlegen(w, "StaticText15", {318, 391, 68, 20}, "Automatik", links);
    CBereitert = anlegen<CheckBox>(w, "CBereitert", {220, 330, 166, 20}, "Ausreißer markieren");
    CBmittelwert = anlegen<CheckBox>(w, "CBmittelwert", {220, 348, 166, 20}, "Mittelwert anzeigen");
    CBwerteanzeigen =
        anlegen<CheckBox>(w, "CBwerteanzeigen", {220, 367, 179, 20}, "Werte im Boxplot zeigen");

    // Nothing ever shows these.
    for (QWidget* verborgen :
         std::initializer_list<QWidget*>{PBberechnen, PushButton1, CBautomatik, StaticText15})
        verborgen->hide();
    // Group boxes only frame their area: they lie beneath every control, so that none of them
    // hides or swallows the clicks of a control created before it.
    for (GroupBox* box : {GroupBox1, GroupBox2, GroupBox3, GroupBox4})
        box->lower();
}

QLabel* WinDaten::beschriftung(const char* name) const {
    return inhalt_->findChild<QLabel*>(QLatin1String(name), Qt::FindDirectChildrenOnly);
}

QString WinDaten::zeilenname(int index) const {
    return beschriftung(zeile(index).beschriftung)->text();
}

// What a screen reader says for each control, as a sighted user reads the window: a field by
// its caption and its group, which tell the two "Maximum" fields apart. The labels are the
// fields' buddies too, and a screen reader names a field after the label it is labelled by:
// the label bears the field's name. The value displays, the set buttons and the count are
// named with what they show, as it changes.
void WinDaten::benennen() {
    const auto feld = [this](QWidget* element, const char* beschriftung, const QGroupBox* gruppe) {
        QLabel* etikett = this->beschriftung(beschriftung);
        etikett->setBuddy(element);
        element->setAccessibleName(QStringLiteral("%1 (%2)").arg(etikett->text(), gruppe->title()));
        etikett->setAccessibleName(element->accessibleName());
    };
    for (const Zeile& z : zeilen)
        feld(&EFbasis(z.index), z.beschriftung, GroupBox1);
    feld(EFskalamax, "StaticText6", GroupBox3);
    feld(EFskalamin, "StaticText7", GroupBox3);
    feld(EFskalamark, "StaticText8", GroupBox3);
    EFDaten->setAccessibleName(GroupBox2->title());
    EFDaten->setAccessibleDescription(eine_zeile);
    BBsatzart(1).parentWidget()->setAccessibleName(QStringLiteral("Art des Satzes"));
    BBsatzart(1).setAccessibleName(QStringLiteral("Box-Werte eingeben"));
    BBsatzart(1).setAccessibleDescription(
        QStringLiteral("Minimum, Quartile, Median, Maximum und Mittelwert des Satzes eingeben"));
    BBsatzart(2).setAccessibleName(QStringLiteral("Datenreihe eingeben"));
    BBsatzart(2).setAccessibleDescription(
        QStringLiteral("Die Werte des Satzes als Liste eingeben, aus der sie berechnet werden"));
    UpDownArrows1->setAccessibleName(QStringLiteral("Anzahl der Sätze"));
    UpDownArrows1->upButton()->setAccessibleName(QStringLiteral("Anzahl der Sätze erhöhen"));
    UpDownArrows1->downButton()->setAccessibleName(QStringLiteral("Anzahl der Sätze verringern"));
    CBautomatik->setAccessibleName(StaticText15->text());
    StaticText15->setBuddy(CBautomatik);
}

// A line of the value list that is not wholly one number is marked with what it is read as (a
// word or an empty line as 0, "1 000" as 1). A screen reader hears it as the list's description
// while the cursor is on that line: Orca speaks the description of the focused object when it
// changes, while text attributes it reads only when asked.
// The empty field after the last line end is no value and has no mark.
void WinDaten::zeilen_vermerken() {
    connect(EFDaten, &TextEditor::cursorNoteChanged, this, [this](const QString& vermerk) {
        EFDaten->setAccessibleDescription(vermerk.isEmpty() ? eine_zeile : vermerk);
    });
    EFDaten->setLineNotes([this](TextEditor::Position zeile, std::string_view text) {
        const bool nach_dem_letzten = text.empty() && zeile + 1 == EFDaten->lineCount();
        const std::optional<double> wert =
            nach_dem_letzten ? std::nullopt : Proc::gelesen_als(text);
        if (!wert)
            return TextEditor::LineNote{};
        return TextEditor::LineNote{QString::fromStdString(Proc::Str(*wert)),
                                    "gelesen als " +
                                        QString::fromStdString(Proc::zahl_gesprochen(*wert))};
    });
}

// Tab goes through the window as it reads: the box values from top to bottom, the series, the
// set buttons with the count and "Alle Sätze anzeigen", the kind buttons below the groups, the
// scale and the display options.
void WinDaten::tabreihenfolge_setzen() {
    std::vector<QWidget*> reihe;
    for (const Zeile& z : zeilen)
        reihe.push_back(&EFbasis(z.index));
    reihe.push_back(EFDaten);
    for (int i = 1; i <= RBsatz.size(); ++i)
        reihe.push_back(&RBsatz(i));
    reihe.insert(reihe.end(), {UpDownArrows1->upButton(), UpDownArrows1->downButton(), CBshowall,
                               &BBsatzart(1), &BBsatzart(2), EFskalamax, EFskalamin, EFskalamark,
                               CBereitert, CBmittelwert, CBwerteanzeigen});
    for (std::size_t i = 1; i < reihe.size(); ++i)
        setTabOrder(reihe[i - 1], reihe[i]);
}

void WinDaten::handler_verbinden() {
    for (int i = 1; i <= EFbasis.size(); ++i) {
        EditField* feld = &EFbasis(i);
        feld->TextChange = [this, feld] { EFbasis_TextChange(*feld); };
        feld->LostFocus = [this, feld] { EFbasis_LostFocus(*feld); };
        feld->KeyDown = [this, feld] { return EFbasis_KeyDown(*feld); };
    }
    EFskalamax->TextChange = EFskalamax->LostFocus = [this] { EFskalamax_TextChange(); };
    EFskalamin->TextChange = EFskalamin->LostFocus = [this] { EFskalamin_TextChange(); };
    EFskalamark->TextChange = EFskalamark->LostFocus = [this] { EFskalamark_TextChange(); };
    // A change of the value list names the bytes it replaced, so that only the lines it
    // touched are read again.
    connect(EFDaten, &TextEditor::edited, this, &WinDaten::EFDaten_TextEdited);
    EFDaten->LostFocus = [this] { EFDaten_TextChange(); };
    EFDaten->KeyDown = [this] { return EFDaten_KeyDown(); };
    EFDaten->FilesDropped = [this](const QStringList& dateien) {
        return EFDaten_FilesDropped(dateien);
    };
    for (int i = 1; i <= RBsatz.size(); ++i) {
        RadioButton* knopf = &RBsatz(i);
        knopf->Action = [this, knopf] { RBsatz_Action(*knopf); };
    }
    for (int i = 1; i <= BBsatzart.size(); ++i) {
        BevelButton* knopf = &BBsatzart(i);
        knopf->Action = [this, knopf] { BBsatzart_Action(*knopf); };
    }
    UpDownArrows1->Up = [this] { UpDownArrows1_Up(); };
    UpDownArrows1->Down = [this] { UpDownArrows1_Down(); };
    CBshowall->Action = [this] { CBshowall_Action(); };
    CBereitert->Action = [this] { CBereitert_Action(); };
    CBmittelwert->Action = [this] { CBmittelwert_Action(); };
    CBwerteanzeigen->Action = [this] { CBwerteanzeigen_Action(); };
    CBautomatik->Action = [this] { CBautomatik_Action(); };
    PBberechnen->Action = [this] { PBberechnen_Action(); };
    PushButton1->Action = [this] { PushButton1_Action(); };
}

// Closing the data window ends the application, also while other windows are open.
void WinDaten::closeEvent(QCloseEvent* event) {
    event->accept();
    QCoreApplication::quit();
}
