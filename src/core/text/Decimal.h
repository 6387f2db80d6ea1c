#pragma once

#include <string_view>

namespace vondrix {

// The usual decimal conversion (atoi) without its undefined overflow:
// leading white space, optional sign, digits up to the first non-digit,
// 0 when there are none; saturates at the int limits.
int decimalValue(std::string_view text);

}  // namespace vondrix
