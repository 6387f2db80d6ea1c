#include "foundation/Catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vondrix {
namespace {

constexpr Language kAllLanguages[] = {
    Language::German,  Language::English, Language::Spanish,   Language::French,
    Language::Italian, Language::Dutch,   Language::Norwegian, Language::Portuguese,
};

// Code points of `s`, or nullopt when `s` is not well-formed UTF-8.
std::optional<std::vector<std::uint32_t>> decodeUtf8(std::string_view s) {
    std::vector<std::uint32_t> out;
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const std::size_t len = b < 0x80           ? 1
                                : (b >> 5) == 0x6  ? 2
                                : (b >> 4) == 0xE  ? 3
                                : (b >> 3) == 0x1E ? 4
                                                   : 0;
        if (len == 0 || i + len > s.size()) {
            return std::nullopt;
        }
        std::uint32_t cp = len == 1 ? b : b & (0x7Fu >> len);
        for (std::size_t k = 1; k < len; ++k) {
            const auto c = static_cast<unsigned char>(s[i + k]);
            if ((c & 0xC0) != 0x80) {
                return std::nullopt;
            }
            cp = (cp << 6) | (c & 0x3Fu);
        }
        constexpr std::uint32_t kMinForLength[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kMinForLength[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            return std::nullopt;
        }
        out.push_back(cp);
        i += len;
    }
    return out;
}

TEST(Utf8Helper, RejectsMalformedInput) {
    EXPECT_TRUE(decodeUtf8("Tsch\xC3\xBC\xC3\x9F").has_value());
    EXPECT_FALSE(decodeUtf8("Tsch\xFC").has_value());      // Latin-1 byte
    EXPECT_FALSE(decodeUtf8("\xC3").has_value());          // cut short
    EXPECT_FALSE(decodeUtf8("\xC0\xAF").has_value());      // overlong '/'
    EXPECT_FALSE(decodeUtf8("\xED\xA0\x80").has_value());  // surrogate
}

TEST(Catalogue, EveryUsedNumberHasTextInEveryLanguage) {
    std::vector<int> ids;
    for (int id = kCatalogueFirst; id <= kCatalogueLast; ++id)
        ids.push_back(id);
    // The program's own messages are numbered in blocks, with gaps.
    for (const auto& e : catalogueEntries())
        if (e.id >= kOwnFirst)
            ids.push_back(e.id);
    EXPECT_EQ(ids.back(), kOwnLast);
    for (int id : ids) {
        for (Language lang : kAllLanguages) {
            if (id == 60) {
                EXPECT_TRUE(catalogueText(id, lang).empty());
            } else {
                EXPECT_FALSE(catalogueText(id, lang).empty())
                    << "message " << id << " in " << languageCode(lang);
            }
        }
    }
}

TEST(Catalogue, UnknownNumbersGiveEmptyText) {
    for (int id : {0, 60, 98, 100, kOwnLast + 1, -1, 1000, INT_MIN, INT_MAX}) {
        for (Language lang : kAllLanguages) {
            EXPECT_TRUE(catalogueText(id, lang).empty()) << "message " << id;
        }
    }
}

// Every translation is present in the table itself, not only reached by the
// fallback, and no column is a copy of the English or German one.
TEST(Catalogue, TableHasEveryTranslation) {
    const auto entries = catalogueEntries();
    EXPECT_EQ(std::count_if(entries.begin(), entries.end(),
                            [](const auto& e) { return e.id <= kCatalogueLast; }),
              96);
    int sameAsEnglish[8] = {};
    int sameAsGerman[8] = {};
    for (const auto& e : entries) {
        const std::string_view texts[] = {e.de, e.en, e.es, e.fr, e.it, e.nl, e.no, e.pt};
        for (std::size_t col = 0; col < 8; ++col) {
            EXPECT_FALSE(texts[col].empty()) << "message " << e.id << " column " << col;
            sameAsGerman[col] += texts[col] == e.de ? 1 : 0;
            sameAsEnglish[col] += texts[col] == e.en ? 1 : 0;
        }
    }
    for (std::size_t col = 2; col < 8; ++col) {
        EXPECT_LE(sameAsEnglish[col], 1) << "column " << col;  // only "LAI"
        EXPECT_LE(sameAsGerman[col], 1) << "column " << col;
    }
    EXPECT_LE(sameAsGerman[1], 1);
}

TEST(Catalogue, TextsAreShortLatin1RepresentableUtf8) {
    for (const auto& e : catalogueEntries()) {
        for (Language lang : kAllLanguages) {
            const std::string_view text = catalogueText(e.id, lang);
            const std::string where =
                "message " + std::to_string(e.id) + " in " + std::string(languageCode(lang));
            EXPECT_LE(text.size(), kCatalogueMaxText) << where;
            const auto cps = decodeUtf8(text);
            ASSERT_TRUE(cps.has_value()) << where;
            for (std::uint32_t cp : *cps) {
                // The texts also travel through the PC character set.
                EXPECT_LE(cp, 0xFFu) << where;
                EXPECT_GE(cp, 0x20u) << where;
            }
            EXPECT_NE(text.front(), ' ') << where;
            EXPECT_NE(text.back(), ' ') << where;
        }
    }
}

TEST(Catalogue, EachLanguageReadsItsOwnColumnAndMissingTextFallsBackToEnglishThenGerman) {
    const CatalogueEntry full{.id = 1,
                              .de = "de",
                              .en = "en",
                              .es = "es",
                              .fr = "fr",
                              .it = "it",
                              .nl = "nl",
                              .no = "no",
                              .pt = "pt"};
    for (Language lang : kAllLanguages)
        EXPECT_EQ(catalogueEntryText(full, lang), languageCode(lang));
    const CatalogueEntry noSpanish{.id = 1, .de = "Deutsch", .en = "English"};
    EXPECT_EQ(catalogueEntryText(noSpanish, Language::Spanish), "English");
    const CatalogueEntry germanOnly{.id = 2, .de = "Deutsch"};
    EXPECT_EQ(catalogueEntryText(germanOnly, Language::Dutch), "Deutsch");
    EXPECT_EQ(catalogueEntryText(germanOnly, Language::English), "Deutsch");

    // A language value outside the enumeration reads English.
    EXPECT_EQ(catalogueEntryText(full, static_cast<Language>(0x1d)), "en");
    EXPECT_EQ(catalogueText(70, static_cast<Language>(0x1d)), "Goodbye");
    EXPECT_EQ(catalogueText(70, Language::German), "Und Tsch\xC3\xBC\xC3\x9F");
}

}  // namespace
}  // namespace vondrix
