#include "text/Json.h"

#include <cstdio>
#include <limits>

namespace vondrix {
namespace {

void appendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

void appendString(std::string& out, std::string_view s) {
    out.push_back('"');
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(ch);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out.push_back(ch);
        }
    }
    out.push_back('"');
}

class Parser {
  public:
    explicit Parser(std::string_view text) : text_(text) {}

    std::optional<Json> document(std::string* error) {
        auto value = parseValue(0);
        skipBlanks();
        if (value && at_ != text_.size())
            return failed("characters after the document");
        if (!value && error)
            *error = error_ + " at byte " + std::to_string(at_);
        return value;
    }

  private:
    std::optional<Json> failed(const char* why) {
        if (error_.empty())
            error_ = why;
        return std::nullopt;
    }
    void skipBlanks() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' ||
                                      text_[at_] == '\n' || text_[at_] == '\r'))
            ++at_;
    }
    bool take(std::string_view word) {
        if (text_.substr(at_, word.size()) != word)
            return false;
        at_ += word.size();
        return true;
    }

    std::optional<Json> parseValue(int depth) {
        if (depth > Json::kMaxDepth)
            return failed("nested too deeply");
        skipBlanks();
        if (at_ >= text_.size())
            return failed("unexpected end");
        const char c = text_[at_];
        if (c == '{')
            return parseObject(depth);
        if (c == '[')
            return parseArray(depth);
        if (c == '"') {
            auto s = parseString();
            if (!s)
                return std::nullopt;
            return Json(std::move(*s));
        }
        if (take("true"))
            return Json(true);
        if (take("false"))
            return Json(false);
        if (take("null"))
            return Json();
        return parseNumber();
    }

    std::optional<Json> parseNumber() {
        bool negative = false;
        if (at_ < text_.size() && text_[at_] == '-') {
            negative = true;
            ++at_;
        }
        const std::size_t start = at_;
        std::uint64_t value = 0;
        while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') {
            value = value * 10 + static_cast<unsigned>(text_[at_] - '0');
            if (value > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
                return failed("number out of range");
            ++at_;
        }
        if (at_ == start)
            return failed("not a value");
        if (at_ - start > 1 && text_[start] == '0')
            return failed("leading zero");
        if (at_ < text_.size() && (text_[at_] == '.' || text_[at_] == 'e' || text_[at_] == 'E'))
            return failed("only whole numbers are read");
        const auto n = static_cast<std::int64_t>(value);
        return Json(negative ? -n : n);
    }

    std::optional<std::uint32_t> hex4() {
        if (at_ + 4 > text_.size())
            return std::nullopt;
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = text_[at_++];
            v <<= 4;
            if (c >= '0' && c <= '9')
                v |= static_cast<std::uint32_t>(c - '0');
            else if (c >= 'a' && c <= 'f')
                v |= static_cast<std::uint32_t>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                v |= static_cast<std::uint32_t>(c - 'A' + 10);
            else
                return std::nullopt;
        }
        return v;
    }

    std::optional<std::string> parseString() {
        ++at_;  // the opening quote
        std::string out;
        while (at_ < text_.size()) {
            const char c = text_[at_++];
            if (c == '"')
                return out;
            if (static_cast<unsigned char>(c) < 0x20) {
                failed("control character in a string");
                return std::nullopt;
            }
            if (c != '\\') {
                out.push_back(c);
                continue;
            }
            if (at_ >= text_.size())
                break;
            const char e = text_[at_++];
            switch (e) {
                case '"':
                case '\\':
                case '/':
                    out.push_back(e);
                    break;
                case 'b':
                    out.push_back('\b');
                    break;
                case 'f':
                    out.push_back('\f');
                    break;
                case 'n':
                    out.push_back('\n');
                    break;
                case 'r':
                    out.push_back('\r');
                    break;
                case 't':
                    out.push_back('\t');
                    break;
                case 'u': {
                    auto cp = hex4();
                    if (!cp) {
                        failed("bad \\u escape");
                        return std::nullopt;
                    }
                    if (*cp >= 0xD800 && *cp < 0xDC00 && take("\\u")) {
                        const auto low = hex4();
                        if (!low || *low < 0xDC00 || *low > 0xDFFF) {
                            failed("bad surrogate pair");
                            return std::nullopt;
                        }
                        *cp = 0x10000 + ((*cp - 0xD800) << 10) + (*low - 0xDC00);
                    }
                    appendUtf8(out, *cp);
                    break;
                }
                default:
                    failed("bad escape");
                    return std::nullopt;
            }
        }
        failed("unterminated string");
        return std::nullopt;
    }

    std::optional<Json> parseArray(int depth) {
        ++at_;
        Json array = Json::array();
        skipBlanks();
        if (take("]"))
            return array;
        for (;;) {
            auto item = parseValue(depth + 1);
            if (!item)
                return std::nullopt;
            array.push(std::move(*item));
            skipBlanks();
            if (take("]"))
                return array;
            if (!take(","))
                return failed("expected , or ]");
        }
    }

    std::optional<Json> parseObject(int depth) {
        ++at_;
        Json object = Json::object();
        skipBlanks();
        if (take("}"))
            return object;
        for (;;) {
            skipBlanks();
            if (at_ >= text_.size() || text_[at_] != '"')
                return failed("expected a member name");
            auto name = parseString();
            if (!name)
                return std::nullopt;
            skipBlanks();
            if (!take(":"))
                return failed("expected :");
            auto value = parseValue(depth + 1);
            if (!value)
                return std::nullopt;
            object.set(*name, std::move(*value));
            skipBlanks();
            if (take("}"))
                return object;
            if (!take(","))
                return failed("expected , or }");
        }
    }

    std::string_view text_;
    std::size_t at_ = 0;
    std::string error_;
};

const Json kNull;
const std::string kNoText;
const std::vector<Json> kNoItems;
const std::vector<std::pair<std::string, Json>> kNoMembers;

}  // namespace

const std::string& Json::string() const {
    return type_ == Type::String ? text_ : kNoText;
}

Json& Json::push(Json value) {
    items_.push_back(std::move(value));
    return items_.back();
}

const std::vector<Json>& Json::items() const {
    return type_ == Type::Array ? items_ : kNoItems;
}

Json& Json::set(const std::string& name, Json value) {
    for (auto& member : members_) {
        if (member.first == name) {
            member.second = std::move(value);
            return member.second;
        }
    }
    members_.emplace_back(name, std::move(value));
    return members_.back().second;
}

const Json& Json::operator[](std::string_view name) const {
    if (type_ == Type::Object) {
        for (const auto& member : members_) {
            if (member.first == name)
                return member.second;
        }
    }
    return kNull;
}

const std::vector<std::pair<std::string, Json>>& Json::members() const {
    return type_ == Type::Object ? members_ : kNoMembers;
}

std::string Json::dump() const {
    std::string out;
    dumpTo(out, 0);
    out.push_back('\n');
    return out;
}

void Json::dumpTo(std::string& out, int indent) const {
    const auto newline = [&](int level) {
        out.push_back('\n');
        out.append(static_cast<std::size_t>(2 * level), ' ');
    };
    switch (type_) {
        case Type::Null:
            out += "null";
            return;
        case Type::Bool:
            out += number_ ? "true" : "false";
            return;
        case Type::Number:
            out += std::to_string(number_);
            return;
        case Type::String:
            appendString(out, text_);
            return;
        case Type::Array:
            if (items_.empty()) {
                out += "[]";
                return;
            }
            out.push_back('[');
            for (std::size_t i = 0; i < items_.size(); ++i) {
                if (i)
                    out.push_back(',');
                newline(indent + 1);
                items_[i].dumpTo(out, indent + 1);
            }
            newline(indent);
            out.push_back(']');
            return;
        case Type::Object:
            if (members_.empty()) {
                out += "{}";
                return;
            }
            out.push_back('{');
            for (std::size_t i = 0; i < members_.size(); ++i) {
                if (i)
                    out.push_back(',');
                newline(indent + 1);
                appendString(out, members_[i].first);
                out += ": ";
                members_[i].second.dumpTo(out, indent + 1);
            }
            newline(indent);
            out.push_back('}');
            return;
    }
}

std::optional<Json> Json::parse(std::string_view text, std::string* error) {
    return Parser(text).document(error);
}

}  // namespace vondrix
