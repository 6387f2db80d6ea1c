#include "organizer/Names.h"

#include <array>

namespace vondrix::organizer {
namespace {

using Names4 = std::array<std::string_view, 4>;
using Names5 = std::array<std::string_view, 5>;

constexpr Names4 kObjectCategories = {"ANNIVERSARY", "MEETING", "MISCELLANEOUS", "PHONE CALL"};
constexpr Names5 kRules = {"", "D1", "W1", "M1", "Y1"};

struct LanguageNames {
    Names4 categories;
    Names5 recurrences;
};

// ISO 8859-1 bytes written as escapes, so the file's own encoding does not matter.
const LanguageNames& namesOf(Language language) {
    static const LanguageNames english{kObjectCategories,
                                       {"Date", "Daily", "Weekly", "Monthly", "Yearly"}};
    static const LanguageNames german{{"Geburtstag", "Meeting", "Diverse", "Anruf"},
                                      {"Datum", "T\xE4glich",
                                       "W\xF6"
                                       "chentlich",
                                       "Monatlich", "J\xE4hrlich"}};
    static const LanguageNames spanish{{"Aniversario", "Reuni\xF3n", "Varios", "Llamar"},
                                       {"Fecha", "Diario", "Semanal", "Monthly", "Anual"}};
    static const LanguageNames french{{"Anniversaire", "R\xE9union", "Divers", "Appel"},
                                      {"Date", "Quotidien", "Hebdomadaire", "Monthly", "Annuel"}};
    static const LanguageNames italian{
        {"Anniversario", "Riunione", "Varie", "Telefonata"},
        {"Data", "Giornaliero", "Settimanale", "Mensile", "Annuale"}};
    static const LanguageNames dutch{{"Verjaardag", "Vergadering", "Diversen", "Telefoongesprek"},
                                     {"Datum", "Dagelijks", "Wekelijks", "Monthly", "Jaarlijks"}};
    static const LanguageNames norwegian{{"Bursdag", "M\xF8te", "Diverse", "Telefon"},
                                         {"Dato", "Daglig", "Ukentlig", "Monthly", "\xC5rlig"}};
    static const LanguageNames portuguese{
        {"Anivers\xE1rio", "Reuni\xE3o", "Diversos", "PHONE CALL"},
        {"Data", "Di\xE1rio", "Semanal", "Monthly", "Anual"}};
    switch (language) {
        case Language::German:
            return german;
        case Language::Spanish:
            return spanish;
        case Language::French:
            return french;
        case Language::Italian:
            return italian;
        case Language::Dutch:
            return dutch;
        case Language::Norwegian:
            return norwegian;
        case Language::Portuguese:
            return portuguese;
        case Language::English:
            break;
    }
    return english;
}

template <typename Names>
std::string_view at(const Names& names, int index) {
    return index >= 0 && index < static_cast<int>(names.size())
               ? names[static_cast<std::size_t>(index)]
               : std::string_view();
}

using Headers = std::array<std::string_view, 7>;

// The list headers follow the same language rule as the two tables.
const Headers& headersOf(Language language) {
    static const Headers english{"#", "Type", "Alarm", "Date", "Time", "Category", "Description"};
    static const Headers german{"Nr.",  "Typ",       "Alarm",       "Datum",
                                "Zeit", "Kategorie", "Beschreibung"};
    static const Headers spanish{"Nr.",
                                 "Tipo",
                                 "Alarma",
                                 "Fecha",
                                 "Hora",
                                 "Categor\xED"
                                 "a",
                                 "Descrizione"};
    static const Headers french{"Nr.",   "Type",         "Alarme",     "Date",
                                "Heure", "Cat\xE9gorie", "Description"};
    static const Headers italian{"Nr.", "Tipo",      "Allarme",    "Data",
                                 "Ora", "Categoria", "Descrizione"};
    static const Headers dutch{"Nr.",  "Type",      "Alarm",       "Datum",
                               "Tijd", "Categorie", "Omschrijving"};
    static const Headers norwegian{"#", "Type", "Alarm", "Dato", "Tid", "Kategori", "Beskrivelse"};
    static const Headers portuguese{"#",    "Tipo",      "Alarme",          "Data",
                                    "Hora", "Categoria", "Descrip\xE7\xE3o"};
    switch (language) {
        case Language::German:
            return german;
        case Language::Spanish:
            return spanish;
        case Language::French:
            return french;
        case Language::Italian:
            return italian;
        case Language::Dutch:
            return dutch;
        case Language::Norwegian:
            return norwegian;
        case Language::Portuguese:
            return portuguese;
        case Language::English:
            break;
    }
    return english;
}

}  // namespace

std::string_view categoryObjectName(int category) {
    return at(kObjectCategories, category);
}
std::string_view recurrenceRule(int recurrence) {
    return at(kRules, recurrence);
}

std::string_view categoryName(int category, Language language) {
    return at(namesOf(language).categories, category);
}

std::string_view recurrenceName(int recurrence, Language language) {
    return at(namesOf(language).recurrences, recurrence);
}

std::optional<int> categoryIndexOf(std::string_view name, Language language) {
    const Names4& names = namesOf(language).categories;
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == name)
            return static_cast<int>(i);
    return std::nullopt;
}

std::optional<int> recurrenceIndexOf(std::string_view name, Language language) {
    const Names5& names = namesOf(language).recurrences;
    for (std::size_t i = 1; i < names.size(); ++i)
        if (names[i] == name)
            return static_cast<int>(i);
    return std::nullopt;
}

std::string_view columnHeader(int column, Language language) {
    return at(headersOf(language), column);
}

}  // namespace vondrix::organizer
