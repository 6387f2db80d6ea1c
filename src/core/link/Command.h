#pragma once

// The one check every value passes before it goes into a command line.
// Numbers from a file or the command line, names, texts and passwords are
// added as parameters of a Command; a value that could end the line, start a
// second command or shift the fields makes the whole command invalid, so it
// is never sent.

#include <cstddef>
#include <string>
#include <string_view>

namespace vondrix::at {

enum class ValueError {
    None,
    Empty,         // a value that must not be empty
    TooLong,       // longer than the phone takes
    BadCharacter,  // a character outside the parameter's alphabet
};

// The characters a stored phone number may hold: digits, '+' (only first),
// '*', '#', and the pause and wait letters p/P and w/W. Nothing that could
// end the parameter (',') or the command (';', CR). A lone '+' is no number.
bool isPhoneNumber(std::string_view number);
// The digits a message's address field holds (GSM 03.40): 1 to
// kMaxAddressDigits digits, optionally after one '+'.
constexpr std::size_t kMaxAddressDigits = 20;
bool isAddress(std::string_view number);
// A dial string as "ATD" takes it: a phone number plus the letters A to D,
// the CLIR and CUG modifiers I/i and G/g, and blanks.
bool isDialString(std::string_view text);
// Text that may stand between quotes: printable, no quote, no control
// character (CR, LF, Ctrl-Z and ESC included).
bool isQuotable(std::string_view text);
// A parameter without quotes that is a plain word: letters, digits, and
// "-_.:/+" (e.g. "SM", "vcs", a date "00/06/12,08:17:29" is built from numbers).
bool isPlainWord(std::string_view text);

// Builds "PREFIX" followed by its parameters separated by commas:
//   Command("AT+CPBW=").number(3).phoneNumber("0301", 20).number(129).quoted("Bob", 14)
// gives AT+CPBW=3,0301,129,"Bob". The first refused value makes the command
// invalid; text() is then empty and error() says why.
class Command {
  public:
    // The fixed command text, e.g. "AT+CPBW=" or "AT^SBNW=".
    explicit Command(std::string_view prefix) : text_(prefix) {}

    Command& number(long long value);
    // A stored phone number, unquoted, of at most maxLength characters
    // (0: no limit of the phone known; kMaxValue applies).
    Command& phoneNumber(std::string_view number, std::size_t maxLength = 0);
    // A phone number in quotes ("AT+CCFC=...,\"+49...\"").
    Command& quotedNumber(std::string_view number, std::size_t maxLength = 0);
    // A text in quotes, of at most maxLength bytes.
    Command& quoted(std::string_view text, std::size_t maxLength = 0);
    // A digits-only secret such as a PIN2 or a barring password; quoted when asked.
    Command& digits(std::string_view text, std::size_t maxLength, bool inQuotes = false);
    // A plain word: a phonebook code, an object type.
    Command& word(std::string_view text);
    // An empty parameter ("1,,3").
    Command& omitted();
    // Hexadecimal data: digits and A-F only.
    Command& hex(std::string_view text, std::size_t maxLength = 0);

    bool valid() const { return error_ == ValueError::None; }
    ValueError error() const { return error_; }
    // The command line without its CR; empty when invalid.
    std::string text() const { return valid() ? text_ : std::string(); }

    // Longest value any parameter may have, whatever the phone says.
    static constexpr std::size_t kMaxValue = 400;

  private:
    Command& add(std::string_view value, bool ok, std::size_t maxLength, bool mayBeEmpty = true);
    std::string text_;
    bool first_ = true;
    ValueError error_ = ValueError::None;
};

// A ready command line that the engine may send: no control character, no
// ';' outside quotes (except one ending a dial command when `dial`), quotes
// balanced. The engine refuses any other line.
bool isSafeCommandLine(std::string_view line, bool dial = false);
// The data of a prompted transaction: printable characters, optionally one
// Ctrl-Z (or ESC) as the very last byte.
bool isSafeDataLine(std::string_view data);

}  // namespace vondrix::at
