#pragma once

#include <cstddef>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "foundation/Language.h"

namespace vondrix {

// The numbered user messages (1..97, 60 unused) in the eight languages.
constexpr int kCatalogueFirst = 1;
constexpr int kCatalogueLast = 97;
// The program's own messages (foundation/Messages.h) follow, 101 to kOwnLast,
// in blocks of numbers that may leave gaps.
constexpr int kOwnFirst = 101;
constexpr int kOwnLast = 159;
// Longest text in bytes; callers with a 260-byte text buffer can rely on it.
constexpr std::size_t kCatalogueMaxText = 259;

// UTF-8 text of message `id` in `lang`. A text missing in that language falls
// back to English, then to German; an unknown id gives an empty text.
std::string_view catalogueText(int id, Language lang);

// One message with its eight texts side by side; an empty text is missing.
struct CatalogueEntry {
    int id = 0;
    std::string_view de = {};
    std::string_view en = {};
    std::string_view es = {};
    std::string_view fr = {};
    std::string_view it = {};
    std::string_view nl = {};
    std::string_view no = {};
    std::string_view pt = {};
};

// `text` with %1, %2, ... replaced by values[0], values[1], ...
std::string fillIn(std::string_view text, std::initializer_list<std::string_view> values);

// The whole catalogue, ordered by id (for checks and listings).
std::span<const CatalogueEntry> catalogueEntries();

// `entry`'s text in `lang` with the English-then-German fallback.
std::string_view catalogueEntryText(const CatalogueEntry& entry, Language lang);

}  // namespace vondrix
