#pragma once

// The organizer's two small tables: the categories and the recurrences, with
// the names the vCalendar object carries and the names the list shows in
// each user-interface language (ISO 8859-1 text, like the rest of the rows).

#include <optional>
#include <string_view>

#include "foundation/Language.h"

namespace vondrix::organizer {

// The name after "CATEGORIES:": "ANNIVERSARY", "MEETING", "MISCELLANEOUS",
// "PHONE CALL"; empty for an index outside 0..3.
std::string_view categoryObjectName(int category);
// The rule after "RRULE:": "D1", "W1", "M1", "Y1" for 1..4; empty otherwise.
std::string_view recurrenceRule(int recurrence);

// The names the list and the choice lists show. Index 0 of the recurrences
// ("Date") appears only in the choice list. Empty for an index out of range.
std::string_view categoryName(int category, Language language);
std::string_view recurrenceName(int recurrence, Language language);

// The index whose display name is exactly `name`; nothing when none is.
std::optional<int> categoryIndexOf(std::string_view name, Language language);
// Recurrences 1..4 only: the Type column never shows index 0.
std::optional<int> recurrenceIndexOf(std::string_view name, Language language);

// The header of list column 0..6 ("#", "Type", ... "Description" in
// English); empty for a column out of range.
std::string_view columnHeader(int column, Language language);

}  // namespace vondrix::organizer
