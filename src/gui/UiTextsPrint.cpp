// Texts of phonebook printing in the eight languages, by their English source.
// The page headers are not here: they are fixed texts per language.
#include <array>

#include "gui/UiTranslator.h"

namespace vondrix::gui {
namespace {

// clang-format off
constexpr std::array<UiText, 2> kTexts{{
    {.en = "Printing...",
     .de = "Drucken...",
     .es = "Imprimiendo...",
     .fr = "Impression en cours...",
     .it = "Stampa in corso...",
     .nl = "Bezig met afdrukken...",
     .no = "Skriver ut...",
     .pt = "A imprimir..."},
    {.en = "The phonebook could not be printed.",
     .de = "Das Telefonbuch konnte nicht gedruckt werden.",
     .es = "No se ha podido imprimir la agenda.",
     .fr = "Le répertoire n'a pas pu être imprimé.",
     .it = "Impossibile stampare la rubrica.",
     .nl = "Het telefoonboek kon niet worden afgedrukt.",
     .no = "Telefonboken kunne ikke skrives ut.",
     .pt = "Não foi possível imprimir a lista telefónica."},
}};
// clang-format on

}  // namespace

std::span<const UiText> printUiTexts() {
    return kTexts;
}

}  // namespace vondrix::gui
