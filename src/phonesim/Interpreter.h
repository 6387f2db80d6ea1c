#pragma once

// The phone's command interpreter, free of any I/O: bytes in, echo and replies
// out. Commands live in a table keyed by name, so each feature registers its
// own handlers (see Commands.h).

#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "phonesim/PhoneState.h"

namespace phonesim {

// Which family of extended error reports a command uses when AT+CMEE is on.
enum class ErrorClass {
    Cme,  // GSM 07.07: "+CME ERROR: <n>"
    Cms,  // GSM 07.05 message commands: "+CMS ERROR: <n>"
};

// Error codes used by the built-in commands.
namespace cme {
inline constexpr int PhoneFailure = 0;
inline constexpr int OperationNotAllowed = 3;
inline constexpr int OperationNotSupported = 4;
inline constexpr int Unknown = 100;
}  // namespace cme
namespace cms {
inline constexpr int OperationNotAllowed = 302;
inline constexpr int OperationNotSupported = 303;
inline constexpr int UnknownError = 500;
}  // namespace cms

// The verbose text of an error code (AT+CMEE=2); "unknown" for codes without one.
std::string errorText(ErrorClass cls, int code);

// One parameter of a command's argument list.
struct Param {
    std::string text;  // without surrounding quotes, escapes left as sent
    bool quoted = false;
    bool empty() const { return text.empty() && !quoted; }
};

// One command of a command line, after the "AT" prefix has been taken off.
struct Command {
    enum class Form {
        Action,  // "AT+CGMI", or a basic command such as "ATE0" (digits in `args`);
                 // the dial command "D" takes its dial string with any ";" as `args`
        Query,   // "AT+CREG?"
        Test,    // "AT^SRTC=?"
        Set,     // "AT+CMEE=1" (everything after "=" in `args`)
    };
    std::string name;  // upper case: "+CGMI", "^SRTC", "E", "Z"
    Form form = Form::Action;
    std::string args;
    std::string line;  // the whole command line as received

    // `args` split at commas outside double quotes, blanks around each trimmed.
    std::vector<Param> params() const;
};

struct Context;
struct Reply;
using Handler = std::function<Reply(Context&, const Command&)>;
// Receives what the client sent after a "> " prompt, up to (not including) Ctrl-Z.
using DataHandler = std::function<Reply(Context&, const std::string& data)>;

// What a handler answers.
struct Reply {
    enum class Kind { Ok, Error, Prompt, Result };
    Kind kind = Kind::Ok;
    std::vector<std::string> info;  // information lines, framed as one response
    int errorCode = 0;
    std::optional<ErrorClass> errorClass;  // unset: the command's own class
    DataHandler onData;                    // Prompt only
    std::string resultCode;                // Result only
    // How long the phone works before it answers (a network search); the
    // reply of the whole command line waits the sum of its commands' delays.
    std::chrono::milliseconds delay{0};

    static Reply ok(std::vector<std::string> info = {});
    static Reply error(int code);
    static Reply error(ErrorClass cls, int code);
    static Reply prompt(DataHandler onData);
    // A final result code other than OK and the error reports, such as the dial
    // command's "BUSY" or "NO CARRIER": sent as it stands whatever the error
    // mode, and like an error it ends the command line.
    static Reply result(std::string code);
};

// Settings of the interpreter that ATZ restores.
struct Modes {
    bool echo = true;
    int cmee = 0;
};

struct Context {
    PhoneState& state;
    Modes& modes;
};

class CommandTable {
  public:
    struct Entry {
        Handler handler;
        ErrorClass errors = ErrorClass::Cme;
    };
    // `name` as written after "AT": "+CGMI", "^SRTC", "E", "&F"; case does not matter.
    // A later registration of the same name replaces the earlier one.
    void add(std::string_view name, Handler handler, ErrorClass errors = ErrorClass::Cme);
    const Entry* find(std::string_view name) const;

  private:
    std::map<std::string, Entry, std::less<>> entries_;
};

class Interpreter {
  public:
    // What the interpreter wants sent, in order.
    struct Event {
        enum class Kind {
            Echo,  // echoed input bytes, due as soon as they have arrived
            Line,  // a complete line (command line or prompt data) and its reply
        };
        Kind kind = Kind::Echo;
        std::string bytes;   // echo, or the framed reply (empty when the phone says nothing)
        std::string line;    // Line: the received line without its CR / Ctrl-Z / ESC
        std::size_t at = 0;  // index in the fed bytes of the byte that caused the event
        std::chrono::milliseconds delay{0};  // Line: how long the reply waits (Reply::delay)
    };

    // Longest command line and prompt data kept; the rest is dropped and the
    // line answered with an error, as the phone's buffer would overflow.
    static constexpr std::size_t kMaxLine = 2048;
    static constexpr std::size_t kMaxData = 65536;

    // Registers the standard commands; `state` must outlive the interpreter.
    explicit Interpreter(PhoneState& state);

    CommandTable& commands() { return table_; }
    const Modes& modes() const { return modes_; }

    std::vector<Event> feed(std::string_view bytes);
    // Feeds `bytes` and returns everything sent back, concatenated.
    std::string exchange(std::string_view bytes);

    // The link went down: forget a half-received line and any pending prompt.
    void resetLink();

  private:
    void onCommandByte(char c, std::size_t at, std::vector<Event>& out);
    void onDataByte(char c, std::size_t at, std::vector<Event>& out);
    std::string runLine(const std::string& line);
    // Frames a handler's reply; a prompt switches to data mode.
    std::string finish(Reply reply, ErrorClass cls);
    static std::string renderInfo(const std::vector<std::string>& info);
    std::string renderError(ErrorClass cls, int code) const;

    PhoneState& state_;
    Modes modes_;
    CommandTable table_;

    std::string line_;
    bool lineOverflow_ = false;
    std::chrono::milliseconds lineDelay_{0};  // delays of the line being run
    bool lastWasCr_ = false;

    bool inData_ = false;
    std::string data_;
    bool dataOverflow_ = false;
    DataHandler onData_;
    ErrorClass dataErrors_ = ErrorClass::Cme;
};

}  // namespace phonesim
