#pragma once

// A small JSON document model for the program's own data files (the
// backup's backup.json): null, booleans, whole numbers, UTF-8 strings,
// arrays and objects whose members keep their order. The reader takes
// standard JSON (RFC 8259) within bounds: nesting at most kMaxDepth deep,
// numbers whole and within 64 bits; anything else is refused as a whole.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vondrix {

class Json {
  public:
    enum class Type { Null, Bool, Number, String, Array, Object };
    static constexpr int kMaxDepth = 32;

    Json() = default;
    Json(bool b) : type_(Type::Bool), number_(b ? 1 : 0) {}
    Json(int n) : type_(Type::Number), number_(n) {}
    Json(std::int64_t n) : type_(Type::Number), number_(n) {}
    Json(std::string s) : type_(Type::String), text_(std::move(s)) {}
    Json(const char* s) : Json(std::string(s)) {}
    static Json array() {
        Json j;
        j.type_ = Type::Array;
        return j;
    }
    static Json object() {
        Json j;
        j.type_ = Type::Object;
        return j;
    }

    Type type() const { return type_; }
    bool isNull() const { return type_ == Type::Null; }

    // Values of the expected type, or the fallback.
    bool boolean(bool fallback = false) const {
        return type_ == Type::Bool ? number_ != 0 : fallback;
    }
    std::int64_t number(std::int64_t fallback = 0) const {
        return type_ == Type::Number ? number_ : fallback;
    }
    const std::string& string() const;  // empty unless a string

    // Arrays.
    Json& push(Json value);
    const std::vector<Json>& items() const;  // empty unless an array

    // Objects: set() replaces a member of the same name in its place.
    Json& set(const std::string& name, Json value);
    // The member, or a null value when there is none (or this is no object).
    const Json& operator[](std::string_view name) const;
    const std::vector<std::pair<std::string, Json>>& members() const;

    // Two-space indented text with "\n" line ends; strings escaped as JSON
    // wants (control characters as \uXXXX), other UTF-8 bytes as they are.
    std::string dump() const;

    // The document in `text`, or nothing (with a reason) when it is not
    // JSON within the bounds above or holds trailing characters.
    static std::optional<Json> parse(std::string_view text, std::string* error = nullptr);

  private:
    void dumpTo(std::string& out, int indent) const;

    Type type_ = Type::Null;
    std::int64_t number_ = 0;
    std::string text_;
    std::vector<Json> items_;
    std::vector<std::pair<std::string, Json>> members_;
};

}  // namespace vondrix
