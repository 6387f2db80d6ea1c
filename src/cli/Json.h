#pragma once

// A small writer for the --json output: objects, arrays, strings (UTF-8,
// escaped), numbers, booleans and null, written as they come.

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace vondrix::cli {

class JsonWriter {
  public:
    explicit JsonWriter(std::ostream& out) : out_(out) {}

    JsonWriter& beginObject() { return open('{'); }
    JsonWriter& endObject() { return close('}'); }
    JsonWriter& beginArray() { return open('['); }
    JsonWriter& endArray() { return close(']'); }
    // The name of the next member of an object.
    JsonWriter& key(std::string_view name) {
        separate();
        writeString(name);
        out_ << ':';
        afterKey_ = true;
        return *this;
    }
    JsonWriter& value(std::string_view utf8) {
        separate();
        writeString(utf8);
        return *this;
    }
    JsonWriter& value(const char* utf8) { return value(std::string_view(utf8)); }
    JsonWriter& value(long long number) {
        separate();
        out_ << number;
        return *this;
    }
    JsonWriter& value(int number) { return value(static_cast<long long>(number)); }
    JsonWriter& value(bool b) {
        separate();
        out_ << (b ? "true" : "false");
        return *this;
    }
    JsonWriter& null() {
        separate();
        out_ << "null";
        return *this;
    }
    // Ends the document with a line end.
    void finish() { out_ << '\n'; }

  private:
    JsonWriter& open(char c) {
        separate();
        out_ << c;
        first_.push_back(true);
        return *this;
    }
    JsonWriter& close(char c) {
        out_ << c;
        if (!first_.empty())
            first_.pop_back();
        return *this;
    }
    void separate() {
        if (afterKey_) {
            afterKey_ = false;
            return;
        }
        if (first_.empty())
            return;
        if (!first_.back())
            out_ << ',';
        first_.back() = false;
    }
    void writeString(std::string_view s) {
        out_ << '"';
        for (const char ch : s) {
            const auto c = static_cast<unsigned char>(ch);
            switch (c) {
                case '"':
                    out_ << "\\\"";
                    break;
                case '\\':
                    out_ << "\\\\";
                    break;
                case '\n':
                    out_ << "\\n";
                    break;
                case '\r':
                    out_ << "\\r";
                    break;
                case '\t':
                    out_ << "\\t";
                    break;
                default:
                    if (c < 0x20) {
                        static const char* hex = "0123456789abcdef";
                        out_ << "\\u00" << hex[c >> 4] << hex[c & 15];
                    } else {
                        out_ << ch;
                    }
            }
        }
        out_ << '"';
    }

    std::ostream& out_;
    std::vector<bool> first_;
    bool afterKey_ = false;
};

}  // namespace vondrix::cli
