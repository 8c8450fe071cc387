// The data window: the main window, in which sets are chosen, counted, typed and switched
// between their two kinds, and the scale and display options are set.
#pragma once

#include "platform/controls.h"
#include "windows/einzelfenster.h"
#include "windows/zahltext.h"

#include <QMainWindow>

class UpDownArrows;

// WinDaten::fenster() gives the data window, created on first use, when the start-up
// (init_all) runs; offen() the open one or none.
class WinDaten : public QMainWindow, public Einzelfenster<WinDaten> {
    Q_OBJECT
public:
    ~WinDaten() override;

    // Controls, in the order they are created.
    GroupBox* GroupBox4 = nullptr;
    GroupBox* GroupBox3 = nullptr;
    ControlArray<EditField> EFbasis;
    EditField* EFskalamax = nullptr;
    EditField* EFskalamin = nullptr;
    EditField* EFskalamark = nullptr;
    GroupBox* GroupBox2 = nullptr;
    GroupBox* GroupBox1 = nullptr;
    PushButton* PushButton1 = nullptr;
    MultiLineEditField* EFDaten = nullptr;
    PushButton* PBberechnen = nullptr;
    ControlArray<Zahltext> STbasis;
    ControlArray<RadioButton> RBsatz;
    ControlArray<BevelButton> BBsatzart;
    UpDownArrows* UpDownArrows1 = nullptr;
    StaticText* STsatzanz = nullptr;
    StaticText* StaticText14 = nullptr;
    CheckBox* CBshowall = nullptr;
    CheckBox* CBautomatik = nullptr;
    StaticText* StaticText15 = nullptr;
    CheckBox* CBereitert = nullptr;
    CheckBox* CBmittelwert = nullptr;
    CheckBox* CBwerteanzeigen = nullptr;

    // The caption of a row of box values, by its index.
    QString zeilenname(int index) const;

    // Event handlers.
    void EFbasis_TextChange(EditField& feld);
    void EFbasis_LostFocus(EditField& feld) { EFbasis_TextChange(feld); }
    bool EFbasis_KeyDown(EditField& feld);
    void EFskalamax_TextChange();
    void EFskalamin_TextChange();
    void EFskalamark_TextChange();
    bool EFDaten_KeyDown();
    void EFDaten_TextChange();
    void EFDaten_TextEdited(TextEditor::Position an, TextEditor::Position entfernt,
                            TextEditor::Position eingefuegt);
    std::optional<QString> EFDaten_FilesDropped(const QStringList& dateien);
    void RBsatz_Action(RadioButton& knopf);
    void BBsatzart_Action(BevelButton& knopf);
    void UpDownArrows1_Up();
    void UpDownArrows1_Down();
    void CBshowall_Action();
    void CBereitert_Action();
    void CBmittelwert_Action();
    void CBwerteanzeigen_Action();
    void CBautomatik_Action();
    void PBberechnen_Action();
    void PushButton1_Action();
    void Event_Open();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    friend Einzelfenster<WinDaten>;
    WinDaten();
    void erstmals_zeigen() { Event_Open(); }
    void steuerelemente_anlegen();
    void handler_verbinden();
    void benennen();
    void zeilen_vermerken();
    void tabreihenfolge_setzen();
    QLabel* beschriftung(const char* name) const;

    QWidget* inhalt_ = nullptr;
};
