// What the data window's controls do when the user works them.
#include "model/proc.h"
#include "model/statistik.h"
#include "model/text.h"
#include "windows/daten_ablauf.h"
#include "windows/win_boxplot.h"
#include "windows/win_daten.h"

#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringDecoder>

#include <algorithm>
#include <optional>

using namespace Proc;

namespace {

// A numeric field's whole text read as a number, with a decimal comma as in the value lists;
// text that is not a number gives 0.
double zahl(const QLineEdit& feld) {
    return ValKomma(feld.text().toStdString());
}

void zeichnen_wenn_automatisch() {
    if (auto_zeichnen)
        boxplot_zeichnen();
}

// The text of a file: UTF-8, or UTF-16 or UTF-32 with a byte order mark, or else Latin-1 as
// older spreadsheets save it. Nothing when the file cannot be read, is larger than any value
// list (1 GiB) or holds control characters a text has not (a picture, a workbook).
std::optional<QString> text_der_datei(const QString& pfad) {
    QFile datei(pfad);
    if (datei.size() > (qint64(1) << 30) || !datei.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = datei.readAll();
    QStringDecoder dekoder(QStringDecoder::encodingForData(bytes).value_or(QStringDecoder::Utf8));
    QString text = dekoder(bytes);
    if (dekoder.hasError())
        text = QString::fromLatin1(bytes);
    const bool steuerzeichen = std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        return c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\n') &&
               c != QLatin1Char('\r') && c != QLatin1Char('\f');
    });
    return steuerzeichen ? std::nullopt : std::optional<QString>(text);
}

} // namespace

// Typed box values keep their range, maximum minus minimum.
void WinDaten::EFbasis_TextChange(EditField& feld) {
    daten_basiswert(daten_akt_satz, feld.Index) = zahl(feld);
    if (eingabe_aktiv && (feld.Index == minimum || feld.Index == maximum))
        spannweite_zeigen();
    zeichnen_wenn_automatisch();
}

bool WinDaten::EFbasis_KeyDown(EditField&) {
    return !eingabe_aktiv;
}

void WinDaten::EFskalamax_TextChange() {
    endwert = zahl(*EFskalamax);
    zeichnen_wenn_automatisch();
}

void WinDaten::EFskalamin_TextChange() {
    startwert = zahl(*EFskalamin);
    zeichnen_wenn_automatisch();
}

void WinDaten::EFskalamark_TextChange() {
    skala_mark = zahl(*EFskalamark);
    zeichnen_wenn_automatisch();
}

bool WinDaten::EFDaten_KeyDown() {
    return eingabe_aktiv;
}

// Dropped files go into the value list one after another, each ending its last line, as a
// column saved from a spreadsheet; a file that is not text refuses all of them.
std::optional<QString> WinDaten::EFDaten_FilesDropped(const QStringList& dateien) {
    QString alle;
    for (const QString& pfad : dateien) {
        const std::optional<QString> text = text_der_datei(pfad);
        if (!text) {
            QMessageBox::warning(this, QStringLiteral("Datei nicht eingefügt"),
                                 QStringLiteral("„%1“ ist keine Textdatei. Die Werteliste "
                                                "bleibt, wie sie war.")
                                     .arg(QFileInfo(pfad).fileName()));
            return std::nullopt;
        }
        alle += *text;
        if (!alle.isEmpty() && !alle.endsWith(QLatin1Char('\n')) &&
            !alle.endsWith(QLatin1Char('\r')))
            alle += QLatin1Char('\n');
    }
    return alle;
}

void WinDaten::EFDaten_TextChange() {
    if (eingabe_aktiv)
        return;
    daten_werteliste(daten_akt_satz) = EFDaten->Text();
    Werte_aus_daten_berechnen(daten_akt_satz);
    werte_anzeigen();
    zeichnen_wenn_automatisch();
}

// The same as a text change, with the set's text changed as the list's was: the model reads
// again only the lines that changed. Where the set's text was not the list's before (the
// list shows another set's text while a set is being selected), it takes the whole text.
void WinDaten::EFDaten_TextEdited(TextEditor::Position an, TextEditor::Position entfernt,
                                  TextEditor::Position eingefuegt) {
    if (eingabe_aktiv)
        return;
    const std::string& liste = EFDaten->Text();
    if (daten_werteliste(daten_akt_satz).size() + std::size_t(eingefuegt - entfernt) !=
        liste.size())
        return EFDaten_TextChange();
    werteliste_aendern(daten_akt_satz, std::size_t(an), std::size_t(an + entfernt),
                       std::string_view(liste).substr(std::size_t(an), std::size_t(eingefuegt)));
    werte_anzeigen();
    zeichnen_wenn_automatisch();
}

void WinDaten::RBsatz_Action(RadioButton& knopf) {
    satz_aendern(knopf.Index);
}

void WinDaten::BBsatzart_Action(BevelButton& knopf) {
    eingabe_aktiv = knopf.Index == 1;
    eingabe_aktivieren_deaktivieren();
}

void WinDaten::UpDownArrows1_Up() {
    satz_anzahl_aendern_zeigen(1);
}

void WinDaten::UpDownArrows1_Down() {
    satz_anzahl_aendern_zeigen(-1);
}

void WinDaten::CBshowall_Action() {
    daten_alle_saetze_zeichnen = CBshowall->isChecked();
    boxplot_zeichnen();
}

// Outliers are computed with the statistics, so switching them on recomputes every series.
void WinDaten::CBereitert_Action() {
    boxplot_erweitert = CBereitert->isChecked();
    if (boxplot_erweitert) {
        for (int32_t satz = 1; satz <= daten_max_satz_anzahl; ++satz)
            if (daten_satzart(satz) == satzart_datenreihe)
                Werte_aus_daten_berechnen(satz);
    }
    boxplot_zeichnen();
}

void WinDaten::CBmittelwert_Action() {
    mittelwert_anzeigen = CBmittelwert->isChecked();
    boxplot_zeichnen();
}

void WinDaten::CBwerteanzeigen_Action() {
    box_werte_anzeigen = CBwerteanzeigen->isChecked();
    boxplot_zeichnen();
}

void WinDaten::CBautomatik_Action() {
    auto_zeichnen = CBautomatik->isChecked();
}

void WinDaten::PBberechnen_Action() {
    if (!eingabe_aktiv)
        Werte_aus_daten_berechnen(daten_akt_satz);
    werte_anzeigen();
}

void WinDaten::PushButton1_Action() {
    PBberechnen_Action();
    boxplot_zeichnen();
}

void WinDaten::Event_Open() {
    init_all();
}
