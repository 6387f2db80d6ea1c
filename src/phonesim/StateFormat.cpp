#include "phonesim/StateFormat.h"

#include <map>

#include "phonesim/Commands.h"
#include "phonesim/GsmText.h"

namespace phonesim {

StateField field(std::string key, std::string PhoneState::*member,
                 bool (*valid)(std::string_view)) {
    return StateField{std::move(key), [member](const PhoneState& s) { return s.*member; },
                      [member, valid](PhoneState& s, const std::string& v) {
                          if (valid != nullptr && !valid(v)) {
                              return false;
                          }
                          s.*member = v;
                          return true;
                      }};
}

StateField field(std::string key, int PhoneState::*member) {
    return StateField{std::move(key),
                      [member](const PhoneState& s) { return std::to_string(s.*member); },
                      [member](PhoneState& s, const std::string& v) {
                          // Negative values are allowed in the file, e.g. for a range bound.
                          const bool negative = !v.empty() && v.front() == '-';
                          const auto n = parseNumber(negative ? v.substr(1) : v);
                          if (!n) {
                              return false;
                          }
                          s.*member = negative ? -*n : *n;
                          return true;
                      }};
}

StateField field(std::string key, bool PhoneState::*member) {
    return StateField{std::move(key),
                      [member](const PhoneState& s) { return std::string(s.*member ? "1" : "0"); },
                      [member](PhoneState& s, const std::string& v) {
                          if (v == "1" || v == "true") {
                              s.*member = true;
                          } else if (v == "0" || v == "false") {
                              s.*member = false;
                          } else {
                              return false;
                          }
                          return true;
                      }};
}

StateSection fieldSection(std::string name, std::string comment, std::vector<StateField> fields) {
    StateSection section;
    section.name = std::move(name);
    section.comment = std::move(comment);
    section.write = [fields](const PhoneState& s, KeyValues& out) {
        for (const StateField& f : fields) {
            out.emplace_back(f.key, f.get(s));
        }
    };
    section.read = [fields](PhoneState& s, const std::string& key, const std::string& value,
                            std::string& error) {
        for (const StateField& f : fields) {
            if (f.key == key) {
                if (!f.set(s, value)) {
                    error = "bad value for '" + key + "'";
                    return false;
                }
                return true;
            }
        }
        error = "unknown key '" + key + "'";
        return false;
    };
    return section;
}

namespace {

bool isControl(unsigned char c) {
    return c < 0x20 || c == 0x7f;
}

}  // namespace

std::string encodeValue(std::string_view value) {
    bool quote = value.empty() || value.front() == ' ' || value.back() == ' ' ||
                 value.front() == '\t' || value.back() == '\t' || value.front() == '"';
    for (const char c : value) {
        quote = quote || isControl(static_cast<unsigned char>(c));
    }
    if (!quote) {
        return std::string(value);
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (const char c : value) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (isControl(u)) {
                    out += "\\x";
                    out += kHex[u >> 4];
                    out += kHex[u & 0x0f];
                } else {
                    out += c;
                }
        }
    }
    out += '"';
    return out;
}

std::optional<std::string> decodeValue(std::string_view text) {
    if (text.empty() || text.front() != '"') {
        return std::string(text);
    }
    if (text.size() < 2 || text.back() != '"') {
        return std::nullopt;
    }
    text = text.substr(1, text.size() - 2);
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            return std::nullopt;  // an inner quote must be escaped
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i >= text.size()) {
            return std::nullopt;
        }
        switch (text[i]) {
            case '"':
                out += '"';
                break;
            case '\\':
                out += '\\';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'x': {
                const std::optional<int> byte = hexByte(text, i + 1);
                if (!byte) {
                    return std::nullopt;
                }
                out += static_cast<char>(*byte);
                i += 2;
                break;
            }
            default:
                return std::nullopt;
        }
    }
    return out;
}

}  // namespace phonesim
