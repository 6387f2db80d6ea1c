#include "foundation/Language.h"

#include <array>
#include <cstdlib>
#include <initializer_list>

namespace vondrix {
namespace {

std::string toLower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

// "de_AT.UTF-8@euro" -> {"de", "at"}: the encoding and modifier say nothing
// about language or date order; '-' is accepted as well as '_' for BCP 47 tags.
struct LocaleParts {
    std::string language;
    std::string region;
};

LocaleParts splitLocale(std::string_view name) {
    name = name.substr(0, name.find_first_of(".@"));
    const auto sep = name.find_first_of("_-");
    LocaleParts parts;
    parts.language = toLower(name.substr(0, sep));
    if (sep != std::string_view::npos) {
        parts.region = toLower(name.substr(sep + 1));
    }
    return parts;
}

struct LanguageName {
    std::string_view code;
    Language language;
};

// Bokmål ("nb"), Nynorsk ("nn") and the older plain "no" all get the
// Norwegian texts.
constexpr std::array kLanguageNames{
    LanguageName{"de", Language::German},    LanguageName{"en", Language::English},
    LanguageName{"es", Language::Spanish},   LanguageName{"fr", Language::French},
    LanguageName{"it", Language::Italian},   LanguageName{"nl", Language::Dutch},
    LanguageName{"nb", Language::Norwegian}, LanguageName{"nn", Language::Norwegian},
    LanguageName{"no", Language::Norwegian}, LanguageName{"pt", Language::Portuguese},
};

// Windows' default short date of each locale. A rule with an empty region
// covers every region of its language not listed before it.
struct DateRule {
    std::string_view language;
    std::string_view region;
    std::string_view format;
};

constexpr std::array kDateRules{
    DateRule{"en", "gb", "dd/MM/yyyy"}, DateRule{"en", "au", "d/MM/yyyy"},
    DateRule{"fr", "ca", "yyyy-MM-dd"}, DateRule{"fr", "ch", "dd.MM.yyyy"},
    DateRule{"it", "ch", "dd.MM.yyyy"}, DateRule{"nl", "be", "d/MM/yyyy"},
    DateRule{"de", "", "dd.MM.yyyy"},   DateRule{"en", "", "M/d/yyyy"},
    DateRule{"es", "", "dd/MM/yyyy"},   DateRule{"fr", "", "dd/MM/yyyy"},
    DateRule{"it", "", "dd/MM/yyyy"},   DateRule{"nl", "", "d-M-yyyy"},
    DateRule{"nb", "", "dd.MM.yyyy"},   DateRule{"nn", "", "dd.MM.yyyy"},
    DateRule{"no", "", "dd.MM.yyyy"},   DateRule{"pt", "", "dd/MM/yyyy"},
};

// The en-US format, also used for "C", "POSIX" and unknown locales.
constexpr std::string_view kDefaultDateFormat = "M/d/yyyy";

// First set and non-empty variable; an empty value counts as unset, as it
// does for the C library's own locale lookup.
std::string_view firstSetEnv(std::initializer_list<const char*> names) {
    for (const char* name : names) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return value;
        }
    }
    return {};
}

}  // namespace

Language languageFromPrimaryId(int primaryId) {
    // Tolerates a full LCID: its sublanguage bits sit above the low ten.
    switch (primaryId & 0x3FF) {
        case 0x07:
            return Language::German;
        case 0x0a:
            return Language::Spanish;
        case 0x0c:
            return Language::French;
        case 0x10:
            return Language::Italian;
        case 0x13:
            return Language::Dutch;
        case 0x14:
            return Language::Norwegian;
        case 0x16:
            return Language::Portuguese;
        default:
            return Language::English;
    }
}

Language languageFromLocaleName(std::string_view name) {
    const std::string language = splitLocale(name).language;
    for (const auto& entry : kLanguageNames) {
        if (entry.code == language) {
            return entry.language;
        }
    }
    return Language::English;
}

Language detectLanguage(std::string_view override) {
    if (!override.empty()) {
        return languageFromLocaleName(override);
    }
    return languageFromLocaleName(firstSetEnv({"VONDRIX_LANG", "LC_ALL", "LC_MESSAGES", "LANG"}));
}

std::string helpFileName(Language lang) {
    return lang == Language::German ? "palladode.hlp" : "pallado.hlp";
}

std::string shortDateFormatFor(std::string_view localeName) {
    const LocaleParts parts = splitLocale(localeName);
    for (const auto& rule : kDateRules) {
        if (rule.language == parts.language &&
            (rule.region.empty() || rule.region == parts.region)) {
            return std::string(rule.format);
        }
    }
    return std::string(kDefaultDateFormat);
}

std::string detectShortDateFormat() {
    if (const std::string_view fixed = firstSetEnv({"VONDRIX_DATEFMT"}); !fixed.empty()) {
        return std::string(fixed);
    }
    return shortDateFormatFor(firstSetEnv({"LC_ALL", "LC_TIME", "LANG"}));
}

std::string_view languageCode(Language lang) {
    switch (lang) {
        case Language::German:
            return "de";
        case Language::Spanish:
            return "es";
        case Language::French:
            return "fr";
        case Language::Italian:
            return "it";
        case Language::Dutch:
            return "nl";
        case Language::Norwegian:
            return "no";
        case Language::Portuguese:
            return "pt";
        case Language::English:
            break;
    }
    return "en";
}

}  // namespace vondrix
