#include "foundation/Language.h"
#include "support/Environment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace vondrix {
namespace {

constexpr Language kAllLanguages[] = {
    Language::German,  Language::English, Language::Spanish,   Language::French,
    Language::Italian, Language::Dutch,   Language::Norwegian, Language::Portuguese,
};

// Sets or unsets environment variables for one test and restores them after.
class EnvGuard {
  public:
    explicit EnvGuard(std::vector<std::pair<const char*, const char*>> values) {
        for (const auto& [name, value] : values) {
            const char* old = std::getenv(name);
            saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
            apply(name, value);
        }
    }
    ~EnvGuard() {
        for (const auto& [name, old] : saved_) {
            apply(name.c_str(), old ? old->c_str() : nullptr);
        }
    }
    EnvGuard(const EnvGuard&) = delete;
    EnvGuard& operator=(const EnvGuard&) = delete;

  private:
    static void apply(const char* name, const char* value) {
        if (value) {
            test::setEnv(name, value);
        } else {
            test::unsetEnv(name);
        }
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST(Language, PrimaryIdMapping) {
    const std::pair<int, Language> cases[] = {
        {0x07, Language::German},
        {0x09, Language::English},
        {0x0a, Language::Spanish},
        {0x0c, Language::French},
        {0x10, Language::Italian},
        {0x13, Language::Dutch},
        {0x14, Language::Norwegian},
        {0x16, Language::Portuguese},
        // Languages without in-code texts read English.
        {0x1d, Language::English},
        {0x06, Language::English},
        {0x00, Language::English},
        {-1, Language::English},
        // Whole LCIDs: only the primary language counts.
        {0x0407, Language::German},
        {0x0c07, Language::German},
        {0x0816, Language::Portuguese},
        {0x0416, Language::Portuguese},
        {0x0814, Language::Norwegian},
        {0x041d, Language::English},
    };
    for (const auto& [id, lang] : cases) {
        EXPECT_EQ(languageFromPrimaryId(id), lang) << std::hex << id;
    }
}

TEST(Language, LocaleNameMapping) {
    const std::pair<const char*, Language> cases[] = {
        {"de", Language::German},
        {"de_DE.UTF-8", Language::German},
        {"de-AT", Language::German},
        {"DE_ch", Language::German},
        {"de_DE@euro", Language::German},
        {"en_US.UTF-8", Language::English},
        {"es_ES", Language::Spanish},
        {"es-MX", Language::Spanish},
        {"fr_FR.ISO-8859-1", Language::French},
        {"fr-CA", Language::French},
        {"it_IT", Language::Italian},
        {"nl_NL", Language::Dutch},
        {"nl_BE.UTF-8", Language::Dutch},
        {"nb_NO", Language::Norwegian},
        {"no", Language::Norwegian},
        {"nn_NO", Language::Norwegian},
        {"NB-no.utf8", Language::Norwegian},
        {"pt_PT", Language::Portuguese},
        {"pt_BR", Language::Portuguese},
        {"PT", Language::Portuguese},
        {"C", Language::English},
        {"POSIX", Language::English},
        {"C.UTF-8", Language::English},
        {"", Language::English},
        {"sv_SE", Language::English},
        {"da_DK.UTF-8", Language::English},
        // A three-letter code is not "de" with a suffix.
        {"deu", Language::English},
        {"d", Language::English},
    };
    for (const auto& [name, lang] : cases) {
        EXPECT_EQ(languageFromLocaleName(name), lang) << '"' << name << '"';
    }
}

TEST(Language, CodesAreDistinctAndReadBack) {
    std::set<std::string_view> seen;
    for (Language lang : kAllLanguages) {
        const std::string_view code = languageCode(lang);
        EXPECT_EQ(code.size(), 2u);
        EXPECT_TRUE(seen.insert(code).second) << code;
        EXPECT_EQ(languageFromLocaleName(code), lang) << code;
    }
    EXPECT_EQ(languageCode(Language::Norwegian), "no");
    EXPECT_EQ(languageCode(Language::Portuguese), "pt");
    EXPECT_EQ(helpFileName(Language::German), "palladode.hlp");
    EXPECT_EQ(helpFileName(Language::French), "pallado.hlp");
}

TEST(Language, ShortDateFormatOfLocale) {
    const std::pair<const char*, const char*> cases[] = {
        {"de_DE.UTF-8", "dd.MM.yyyy"},
        {"de_AT", "dd.MM.yyyy"},
        {"de-CH", "dd.MM.yyyy"},
        {"en_US.UTF-8", "M/d/yyyy"},
        {"C", "M/d/yyyy"},
        {"POSIX", "M/d/yyyy"},
        {"", "M/d/yyyy"},
        {"en_GB.UTF-8", "dd/MM/yyyy"},
        {"en-gb", "dd/MM/yyyy"},
        {"en_AU", "d/MM/yyyy"},
        {"fr_FR", "dd/MM/yyyy"},
        {"fr_CA", "yyyy-MM-dd"},
        {"fr_CH", "dd.MM.yyyy"},
        {"es_ES", "dd/MM/yyyy"},
        {"it_IT", "dd/MM/yyyy"},
        {"it_CH", "dd.MM.yyyy"},
        {"nl_NL", "d-M-yyyy"},
        {"nl_BE", "d/MM/yyyy"},
        {"nb_NO", "dd.MM.yyyy"},
        {"nn_NO", "dd.MM.yyyy"},
        {"pt_PT", "dd/MM/yyyy"},
        {"pt_BR", "dd/MM/yyyy"},
        {"sv_SE", "M/d/yyyy"},
    };
    for (const auto& [name, format] : cases) {
        EXPECT_EQ(shortDateFormatFor(name), format) << '"' << name << '"';
    }
}

struct DetectCase {
    const char* forced;
    const char* vondrixLang;
    const char* lcAll;
    const char* lcMessages;
    const char* lang;
    const char* lcTime;
    Language expected;
};

TEST(Language, DetectLanguagePrecedence) {
    const DetectCase cases[] = {
        {"de", "fr", "it", "nl", "pt", nullptr, Language::German},
        {nullptr, "fr", "it", "nl", "pt", nullptr, Language::French},
        {nullptr, nullptr, "it_IT.UTF-8", "nl", "pt", nullptr, Language::Italian},
        {nullptr, "", "", "nl_NL", "pt", nullptr, Language::Dutch},
        {nullptr, nullptr, nullptr, nullptr, "pt_PT.UTF-8", nullptr, Language::Portuguese},
        // The time locale says nothing about the language.
        {nullptr, nullptr, nullptr, nullptr, "es_ES", "de_DE", Language::Spanish},
        {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, Language::English},
        {"sv", "de", nullptr, nullptr, nullptr, nullptr, Language::English},
    };
    for (const auto& c : cases) {
        const EnvGuard env({{"VONDRIX_LANG", c.vondrixLang},
                            {"LC_ALL", c.lcAll},
                            {"LC_MESSAGES", c.lcMessages},
                            {"LANG", c.lang},
                            {"LC_TIME", c.lcTime}});
        const std::string_view forced = c.forced ? c.forced : "";
        EXPECT_EQ(detectLanguage(forced), c.expected) << "override \"" << forced << '"';
    }
}

struct DateCase {
    const char* fixed;
    const char* lcAll;
    const char* lcTime;
    const char* lang;
    const char* lcMessages;
    const char* expected;
};

TEST(Language, DetectShortDateFormatPrecedence) {
    const DateCase cases[] = {
        {"yy/MM/dd", "de_DE", "nl_NL", "en_GB", nullptr, "yy/MM/dd"},
        {nullptr, "de_DE", "nl_NL", "en_GB", nullptr, "dd.MM.yyyy"},
        {"", "", "nl_NL", "en_GB", nullptr, "d-M-yyyy"},
        {nullptr, nullptr, nullptr, "en_GB.UTF-8", nullptr, "dd/MM/yyyy"},
        // The message locale says nothing about dates.
        {nullptr, nullptr, nullptr, "fr_FR", "de_DE", "dd/MM/yyyy"},
        {nullptr, nullptr, nullptr, nullptr, nullptr, "M/d/yyyy"},
    };
    for (const auto& c : cases) {
        const EnvGuard env({{"VONDRIX_DATEFMT", c.fixed},
                            {"LC_ALL", c.lcAll},
                            {"LC_TIME", c.lcTime},
                            {"LANG", c.lang},
                            {"LC_MESSAGES", c.lcMessages}});
        EXPECT_EQ(detectShortDateFormat(), c.expected);
    }
}

}  // namespace
}  // namespace vondrix
