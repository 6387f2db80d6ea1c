#include "text/Xml.h"

namespace vondrix {

std::string xmlEscaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>' && i >= 2 && text.substr(i - 2, 2) == "]]")
            out += "&gt;";
        else
            out += c;
    }
    return out;
}

}  // namespace vondrix
