#pragma once

#include <string>
#include <string_view>

namespace vondrix {

// The language index: the primary language id of the user's locale
// (LCID & 0x3FF). In-code multilingual tables are chosen by it.
enum class Language : int {
    German = 0x07,
    English = 0x09,
    Spanish = 0x0a,
    French = 0x0c,
    Italian = 0x10,
    Dutch = 0x13,
    Norwegian = 0x14,
    Portuguese = 0x16,
};

// Maps a primary language id to a supported language; others give English.
Language languageFromPrimaryId(int primaryId);

// Maps a locale or language name ("de", "de_DE.UTF-8", "pt-PT", "nb_NO",
// "C") to a language; unknown names give English.
Language languageFromLocaleName(std::string_view name);

// The run's language: the override ("--lang", or VONDRIX_LANG) when given,
// else LC_ALL, LC_MESSAGES, LANG of the environment, in that order.
Language detectLanguage(std::string_view override = {});

// "palladode.hlp" for German, "pallado.hlp" otherwise.
std::string helpFileName(Language lang);

// Short date format (Windows picture syntax, e.g. "dd.MM.yyyy") of a locale
// name; VONDRIX_DATEFMT overrides in detectShortDateFormat.
std::string shortDateFormatFor(std::string_view localeName);
std::string detectShortDateFormat();

// Two-letter code used in the command-line options ("de", "en", ...).
std::string_view languageCode(Language lang);

}  // namespace vondrix
