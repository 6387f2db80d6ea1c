#pragma once

#include <string>
#include <string_view>

namespace vondrix {

// Text for an XML element: "&" and "<" as entity references, and a ">" that
// would close "]]>" as one too, since XML does not allow that sequence in
// text. Other bytes pass as they are.
std::string xmlEscaped(std::string_view text);

}  // namespace vondrix
