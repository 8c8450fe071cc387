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

// No control character a text has not (a picture, a workbook holds them): in UTF-8 each is
// one byte below 32, which no other character has.
bool ist_text(std::string_view utf8) {
    return std::none_of(utf8.begin(), utf8.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r' &&
               c != '\f';
    });
}

// The text of a file in UTF-8: UTF-8 as it is, in bytes (a byte order mark dropped), UTF-16 or
// UTF-32 with a byte order mark converted, or else Latin-1 as older spreadsheets save it.
// Nothing when the file cannot be read, is larger than a value list can be, or is not text.
std::optional<std::string> text_der_datei(const QString& pfad) {
    QFile datei(pfad);
    if (datei.size() > MultiLineEditField::maximumText || !datei.open(QIODevice::ReadOnly))
        return std::nullopt;
    std::string bytes(std::size_t(datei.size()), '\0');
    bytes.resize(std::size_t(std::max<qint64>(datei.read(bytes.data(), datei.size()), 0)));
    const QByteArrayView ansicht(bytes.data(), qsizetype(bytes.size()));
    const auto kodierung = QStringDecoder::encodingForData(ansicht);
    if (kodierung.value_or(QStringDecoder::Utf8) == QStringDecoder::Utf8 && isValidUtf8(bytes)) {
        if (bytes.starts_with("\xEF\xBB\xBF"))
            bytes.erase(0, 3);
    } else {
        QStringDecoder dekoder(kodierung.value_or(QStringDecoder::Latin1));
        QString text = dekoder(ansicht);
        if (dekoder.hasError())
            text = QString::fromLatin1(ansicht);
        bytes = text.toStdString();
    }
    return ist_text(bytes) ? std::optional<std::string>(std::move(bytes)) : std::nullopt;
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
std::optional<std::string> WinDaten::EFDaten_FilesDropped(const QStringList& dateien) {
    std::string alle;
    for (const QString& pfad : dateien) {
        std::optional<std::string> text = text_der_datei(pfad);
        if (!text) {
            QMessageBox::warning(this, QStringLiteral("Datei nicht eingefügt"),
                                 QStringLiteral("„%1“ ist keine Textdatei oder größer als eine "
                                                "Werteliste sein kann. Die Werteliste bleibt, "
                                                "wie sie war.")
                                     .arg(QFileInfo(pfad).fileName()));
            return std::nullopt;
        }
        if (alle.empty())
            alle = std::move(*text);
        else
            alle += *text;
        if (!alle.empty() && !alle.ends_with('\n') && !alle.ends_with('\r'))
            alle += '\n';
    }
    return alle;
}

// A paste or drop that would make the value list longer than it can be.
void WinDaten::EFDaten_TooLarge() {
    QMessageBox::warning(this, QStringLiteral("Text nicht eingefügt"),
                         QStringLiteral("Eine Werteliste fasst höchstens %1 MiB Text. Die "
                                        "Werteliste bleibt, wie sie war.")
                             .arg(MultiLineEditField::maximumText >> 20));
}

void WinDaten::EFDaten_TextChange() {
    if (eingabe_aktiv)
        return;
    daten_werteliste(daten_akt_satz) = EFDaten->Text();
    Werte_aus_daten_berechnen(daten_akt_satz);
    werte_anzeigen();
    zeichnen_wenn_automatisch();
}

// Every edit of the list has been taken as it came: the list is read again only where the
// set's text is not the list's, so that leaving a list of millions of lines costs no reading.
void WinDaten::EFDaten_LostFocus() {
    if (!eingabe_aktiv && daten_werteliste(daten_akt_satz) != EFDaten->Text())
        EFDaten_TextChange();
}

// The same as a text change, with the set's text changed as the list's was: the model reads
// again only the lines that changed. Where the set's text was not the list's before (the
// list shows another set's text while a set is being selected), it takes the whole text.
void WinDaten::EFDaten_TextEdited(TextEditor::Position an, TextEditor::Position entfernt,
                                  TextEditor::Position eingefuegt) {
    if (eingabe_aktiv)
        return;
    const std::string& liste = EFDaten->Text();
    const std::string& text = daten_werteliste(daten_akt_satz);
    // The list shows the set's own text, as when the set has just been selected: read already.
    if (std::size_t(eingefuegt) == liste.size() && text == liste)
        return;
    if (text.size() + std::size_t(eingefuegt - entfernt) != liste.size())
        return EFDaten_TextChange();
    werteliste_aendern(daten_akt_satz, std::size_t(an), std::size_t(an + entfernt),
                       std::string_view(liste).substr(std::size_t(an), std::size_t(eingefuegt)));
    werte_anzeigen();
    zeichnen_wenn_automatisch();
}

namespace {

// Runs arbeit with the busy cursor where the set's value list is long enough for reading it to
// take a moment (some two million values and more).
template <typename Arbeit> void mit_wartecursor_wenn_lang(int32_t satz, Arbeit arbeit) {
    constexpr std::size_t lang_ab = std::size_t(16) << 20; // bytes
    std::optional<BusyCursor> beschaeftigt;
    if (daten_werteliste(satz).size() >= lang_ab)
        beschaeftigt.emplace();
    arbeit();
}

} // namespace

void WinDaten::RBsatz_Action(RadioButton& knopf) {
    mit_wartecursor_wenn_lang(knopf.Index, [&knopf] { satz_aendern(knopf.Index); });
}

void WinDaten::BBsatzart_Action(BevelButton& knopf) {
    mit_wartecursor_wenn_lang(daten_akt_satz, [&knopf] {
        eingabe_aktiv = knopf.Index == 1;
        eingabe_aktivieren_deaktivieren();
    });
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
