#pragma once

#include <optional>
#include <string_view>

namespace vondrix {

// The usual decimal conversion (atoi) without its undefined overflow:
// leading white space, optional sign, digits up to the first non-digit,
// 0 when there are none; saturates at the int limits.
int decimalValue(std::string_view text);

// A whole number written as decimal digits only (no blank, no sign) that
// fits an int; nothing for any other text. Where a value names something to
// act on (a storage index), text that is no number must not become 0.
std::optional<int> wholeNumber(std::string_view text);

}  // namespace vondrix
