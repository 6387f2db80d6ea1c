// Texts of the logo and ringtone commands and the transfer window in the
// eight languages, by their English source.
#include <array>

#include "gui/UiTranslator.h"

namespace vondrix::gui {
namespace {

// clang-format off
constexpr std::array<UiText, 11> kTexts{{
    // Main window: buttons and menu
    {.en = "Send &logo...",
     .de = "Lo&go senden...",
     .es = "&Enviar logotipo...",
     .fr = "&Envoyer le logo...",
     .it = "Invia &logo...",
     .nl = "Lo&go verzenden...",
     .no = "Send lo&go...",
     .pt = "Enviar logóti&po..."},
    {.en = "Send ri&ng tone...",
     .de = "Klingelton s&enden...",
     .es = "Enviar tono de &llamada...",
     .fr = "Envoyer une sonner&ie...",
     .it = "Invia s&uoneria...",
     .nl = "Beltoon ver&zenden...",
     .no = "Send ringeto&ne...",
     .pt = "Enviar to&que..."},
    {.en = "Download &logo...",
     .de = "&Logo herunterladen...",
     .es = "Descargar &logotipo...",
     .fr = "Télécharger le &logo...",
     .it = "Scarica &logo...",
     .nl = "&Logo downloaden...",
     .no = "Last ned l&ogo...",
     .pt = "Transferir &logótipo..."},
    {.en = "Download ring &tone...",
     .de = "&Klingelton herunterladen...",
     .es = "Descargar &tono de llamada...",
     .fr = "Télécharger la &sonnerie...",
     .it = "Scarica s&uoneria...",
     .nl = "&Beltoon downloaden...",
     .no = "Last ned &ringetone...",
     .pt = "Transferir &toque..."},

    // File dialogs
    {.en = "BMP file (*.bmp)",
     .de = "BMP-Datei (*.bmp)",
     .es = "Archivo BMP (*.bmp)",
     .fr = "Fichier BMP (*.bmp)",
     .it = "File BMP (*.bmp)",
     .nl = "BMP-bestand (*.bmp)",
     .no = "BMP-fil (*.bmp)",
     .pt = "Ficheiro BMP (*.bmp)"},
    {.en = "GIF file (*.gif)",
     .de = "GIF-Datei (*.gif)",
     .es = "Archivo GIF (*.gif)",
     .fr = "Fichier GIF (*.gif)",
     .it = "File GIF (*.gif)",
     .nl = "GIF-bestand (*.gif)",
     .no = "GIF-fil (*.gif)",
     .pt = "Ficheiro GIF (*.gif)"},
    {.en = "MID file (*.mid)",
     .de = "MID-Datei (*.mid)",
     .es = "Archivo MID (*.mid)",
     .fr = "Fichier MID (*.mid)",
     .it = "File MID (*.mid)",
     .nl = "MID-bestand (*.mid)",
     .no = "MID-fil (*.mid)",
     .pt = "Ficheiro MID (*.mid)"},
    {.en = "Midi file (*.mid)",
     .de = "MIDI-Datei (*.mid)",
     .es = "Archivo MIDI (*.mid)",
     .fr = "Fichier MIDI (*.mid)",
     .it = "File MIDI (*.mid)",
     .nl = "MIDI-bestand (*.mid)",
     .no = "MIDI-fil (*.mid)",
     .pt = "Ficheiro MIDI (*.mid)"},

    // The transfer window
    {.en = "Elapsed:",
     .de = "Dauer:",
     .es = "Transcurrido:",
     .fr = "Écoulé :",
     .it = "Trascorso:",
     .nl = "Verstreken:",
     .no = "Brukt tid:",
     .pt = "Decorrido:"},
    {.en = "Estimated time:",
     .de = "Erw. Zeit:",
     .es = "Tiempo estimado:",
     .fr = "Temps estimé :",
     .it = "Tempo stimato:",
     .nl = "Geschatte tijd:",
     .no = "Beregnet tid:",
     .pt = "Tempo estimado:"},
    {.en = "Stopping the transfer...",
     .de = "Übertragung wird abgebrochen...",
     .es = "Deteniendo la transferencia...",
     .fr = "Arrêt du transfert...",
     .it = "Interruzione del trasferimento...",
     .nl = "Overdracht wordt gestopt...",
     .no = "Stopper overføringen...",
     .pt = "A parar a transferência..."},
}};
// clang-format on

}  // namespace

std::span<const UiText> mediaUiTexts() {
    return kTexts;
}

}  // namespace vondrix::gui
