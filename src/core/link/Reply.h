#pragma once

// The phone's reply as lines: information lines, then one final result
// recognised only as a whole line, and a field reader over one line in the
// manner of a result iterator. Every per-command reply parser of the
// subsystems (their Replies files) is built on these.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vondrix::at {

enum class Final {
    None,        // no final result (yet)
    Ok,          // "OK"
    Error,       // "ERROR"
    CmeError,    // "+CME ERROR: n"
    CmsError,    // "+CMS ERROR: n"
    Prompt,      // the data prompt "> " at the start of a line
    NoCarrier,   // "NO CARRIER"
    NoDialtone,  // "NO DIALTONE"
    Busy,        // "BUSY"
    NoAnswer,    // "NO ANSWER"
};

struct FinalResult {
    Final kind = Final::None;
    int code = -1;  // the number of +CME ERROR / +CMS ERROR, -1 when not given
};

// The final result that `line` (one line without its CR/LF) is, or nothing.
// Only the whole line counts: "BOOK" or "+CPBR: 1,\"OK\"" are no result.
std::optional<FinalResult> finalResultOf(std::string_view line);

struct Reply {
    FinalResult final;
    std::vector<std::string> lines;  // information lines in arrival order

    bool ok() const { return final.kind == Final::Ok; }
    // The first information line that starts with `prefix`.
    std::optional<std::string_view> first(std::string_view prefix) const;
    // Every information line that starts with `prefix`, in order.
    std::vector<std::string_view> all(std::string_view prefix) const;
};

// Splits raw reply bytes into a reply: lines end at CR or LF; blank lines
// and the echo of `command` are dropped; the first whole-line final result
// ends the reply (later bytes belong to no one). A reply without a final
// result keeps its lines with Final::None. Which lines end a reply depends on
// the transaction: OK and the errors always; the call results only for a
// dial; a line that starts with '>' (the data prompt) only for a prompt.
enum class Ends { Standard, Dial, Prompt };
Reply parseReply(std::string_view raw, std::string_view command = {}, Ends ends = Ends::Standard);
// Whether `result` ends a transaction of that kind.
bool endsTransaction(const FinalResult& result, Ends ends);

struct Range {
    long long low = 0;
    long long high = 0;
};

// Reads the comma-separated fields of one information line in order. Each
// read consumes its field and the comma after it; a read that does not fit
// the field consumes nothing and gives nothing, so a parser can try another
// form. Commas inside quotes and parentheses belong to their field. It takes
// what GSM 07.07 allows and phones send: blanks around fields and at the end
// of the line, no blank after the prefix's colon. A quote closes its field
// only when a comma, the end of the line or (inside parentheses) a ')'
// follows it, blanks aside, so a raw quote inside a name stays in the name.
class FieldReader {
  public:
    explicit FieldReader(std::string_view text);

    // The fields after `prefix` (e.g. "+CPBR:") and the blanks after it;
    // nothing when `line` does not start with the prefix.
    static std::optional<FieldReader> after(std::string_view line, std::string_view prefix);

    bool atEnd() const { return pos_ >= text_.size(); }

    // A decimal number (blanks around it allowed) that fills its field.
    std::optional<long long> number();
    // A quoted text; the quotes are removed. A field that opens a quote but
    // never closes it is no quoted field, unless `Unclosed::ToEnd` takes
    // the rest of the text (a reply cut short keeps what arrived).
    enum class Unclosed { Refuse, ToEnd };
    std::optional<std::string> quoted(Unclosed unclosed = Unclosed::Refuse);
    // True (and consumed) when the next field is empty, e.g. the middle of "1,,3".
    bool omitted();
    // "(a-b)" or "(a)".
    std::optional<Range> range();
    // The text inside "(...)", nested parentheses and quotes kept.
    std::optional<std::string_view> list();
    // The next field's text, whatever it holds, without the blanks around it.
    std::string_view field();
    // Everything not read yet.
    std::string_view rest() const {
        return text_.substr(pos_ < text_.size() ? pos_ : text_.size());
    }

  private:
    std::size_t fieldEnd() const;   // end of the field at pos_
    void consume(std::size_t end);  // to `end` and past one comma

    std::string_view text_;
    std::size_t pos_ = 0;
};

// Whether the quote at `quote` in `text` closes a quoted field: a comma, a
// line end, the end of the text or, with `inParentheses`, a ')' follows it
// (blanks aside).
bool closesQuote(std::string_view text, std::size_t quote, bool inParentheses = false);

// The bytes of a line of hexadecimal digit pairs (either case, blanks
// around the line allowed); nothing for anything else or an empty line.
std::optional<std::vector<unsigned char>> hexBytes(std::string_view line);

// Splits a parenthesised list's inside ("(1,2),(3,4)") into its
// top-level groups without their parentheses; text outside groups is skipped.
std::vector<std::string_view> parenthesisedGroups(std::string_view text);

}  // namespace vondrix::at
