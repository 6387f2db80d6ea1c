#include "phonesim/Interpreter.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "phonesim/Commands.h"

namespace phonesim {

namespace {

constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr char kBackspace = '\b';
constexpr char kCtrlZ = '\x1a';
constexpr char kEsc = '\x1b';

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

// Characters allowed in an extended command name after its "+" or "^" (V.25ter 5.4.1).
bool isNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '!' || c == '%' || c == '-' ||
           c == '.' || c == '/' || c == ':' || c == '_';
}

bool isExtendedPrefix(char c) {
    return c == '+' || c == '^' || c == '%' || c == '$';
}

// Splits the text after "AT" into its commands; nothing on a syntax error.
std::optional<std::vector<Command>> parseCommands(std::string_view body, const std::string& line) {
    std::vector<Command> commands;
    std::size_t i = 0;
    const std::size_t n = body.size();
    while (i < n) {
        const char c = body[i];
        if (isBlank(c) || c == ';') {
            ++i;
            continue;
        }
        Command cmd;
        cmd.line = line;
        if (isExtendedPrefix(c)) {
            std::size_t j = i + 1;
            while (j < n && isNameChar(body[j])) {
                ++j;
            }
            if (j == i + 1) {
                return std::nullopt;
            }
            cmd.name = upper(body.substr(i, j - i));
            if (body.substr(j, 2) == "=?") {
                cmd.form = Command::Form::Test;
                j += 2;
            } else if (j < n && body[j] == '?') {
                cmd.form = Command::Form::Query;
                ++j;
            } else if (j < n && body[j] == '=') {
                cmd.form = Command::Form::Set;
                ++j;
                const std::size_t start = j;
                bool quoted = false;
                while (j < n && (quoted || body[j] != ';')) {
                    if (body[j] == '"') {
                        quoted = !quoted;
                    }
                    ++j;
                }
                if (quoted) {
                    return std::nullopt;
                }
                cmd.args = std::string(trim(body.substr(start, j - start)));
            }
            while (j < n && isBlank(body[j])) {
                ++j;
            }
            if (j < n && body[j] != ';') {
                return std::nullopt;
            }
            i = j;
        } else if (c == 'D' || c == 'd') {
            // The dial command runs to the end of the line or through a ";"
            // (V.25ter 6.3.1): its dial string holds blanks, "+", ">" and letters.
            std::size_t j = i + 1;
            bool quoted = false;
            while (j < n && (quoted || body[j] != ';')) {
                if (body[j] == '"') {
                    quoted = !quoted;
                }
                ++j;
            }
            if (j < n) {
                ++j;  // the ";" stays in the dial string: it makes the call a voice call
            }
            cmd.name = "D";
            cmd.args = std::string(body.substr(i + 1, j - i - 1));
            i = j;
        } else if (std::isalpha(static_cast<unsigned char>(c)) != 0 || c == '&') {
            // Basic command: a letter (or "&" and a letter) and an optional number.
            std::size_t j = i + 1;
            if (c == '&') {
                if (j >= n || std::isalpha(static_cast<unsigned char>(body[j])) == 0) {
                    return std::nullopt;
                }
                ++j;
            }
            cmd.name = upper(body.substr(i, j - i));
            if (j < n && body[j] == '?') {
                cmd.form = Command::Form::Query;
                ++j;
            } else {
                const std::size_t start = j;
                while (j < n && std::isdigit(static_cast<unsigned char>(body[j])) != 0) {
                    ++j;
                }
                cmd.args = std::string(body.substr(start, j - start));
            }
            i = j;
        } else {
            return std::nullopt;
        }
        commands.push_back(std::move(cmd));
    }
    return commands;
}

struct ErrorName {
    int code;
    const char* text;
};

// GSM 07.07 9.2 texts.
constexpr ErrorName kCmeTexts[] = {
    {0, "phone failure"},
    {1, "no connection to phone"},
    {2, "phone-adaptor link reserved"},
    {3, "operation not allowed"},
    {4, "operation not supported"},
    {5, "PH-SIM PIN required"},
    {10, "SIM not inserted"},
    {11, "SIM PIN required"},
    {12, "SIM PUK required"},
    {13, "SIM failure"},
    {14, "SIM busy"},
    {15, "SIM wrong"},
    {16, "incorrect password"},
    {17, "SIM PIN2 required"},
    {18, "SIM PUK2 required"},
    {20, "memory full"},
    {21, "invalid index"},
    {22, "not found"},
    {23, "memory failure"},
    {24, "text string too long"},
    {25, "invalid characters in text string"},
    {26, "dial string too long"},
    {27, "invalid characters in dial string"},
    {30, "no network service"},
    {31, "network timeout"},
    {32, "network not allowed - emergency calls only"},
    {40, "network personalization PIN required"},
    {41, "network personalization PUK required"},
    {42, "network subset personalization PIN required"},
    {43, "network subset personalization PUK required"},
    {44, "service provider personalization PIN required"},
    {45, "service provider personalization PUK required"},
    {46, "corporate personalization PIN required"},
    {47, "corporate personalization PUK required"},
    {100, "unknown"},
};

// GSM 07.05 3.2.5 ME and TA failures.
constexpr ErrorName kCmsTexts[] = {
    {300, "ME failure"},
    {301, "SMS service of ME reserved"},
    {302, "operation not allowed"},
    {303, "operation not supported"},
    {304, "invalid PDU mode parameter"},
    {305, "invalid text mode parameter"},
    {310, "SIM not inserted"},
    {311, "SIM PIN required"},
    {312, "PH-SIM PIN required"},
    {313, "SIM failure"},
    {314, "SIM busy"},
    {315, "SIM wrong"},
    {316, "SIM PUK required"},
    {317, "SIM PIN2 required"},
    {318, "SIM PUK2 required"},
    {320, "memory failure"},
    {321, "invalid memory index"},
    {322, "memory full"},
    {330, "SMSC address unknown"},
    {331, "no network service"},
    {332, "network timeout"},
    {340, "no +CNMA acknowledgement expected"},
    {500, "unknown error"},
};

// The "unknown" code of each class, used where no better one applies.
int unknownCode(ErrorClass cls) {
    return cls == ErrorClass::Cms ? cms::UnknownError : cme::Unknown;
}

}  // namespace

std::string errorText(ErrorClass cls, int code) {
    if (cls == ErrorClass::Cms) {
        for (const auto& e : kCmsTexts) {
            if (e.code == code) {
                return e.text;
            }
        }
        return "unknown error";
    }
    for (const auto& e : kCmeTexts) {
        if (e.code == code) {
            return e.text;
        }
    }
    return "unknown";
}

std::vector<Param> Command::params() const {
    std::vector<Param> out;
    if (trim(args).empty()) {
        return out;
    }
    std::size_t start = 0;
    bool quoted = false;
    for (std::size_t i = 0; i <= args.size(); ++i) {
        if (i < args.size() && args[i] == '"') {
            quoted = !quoted;
        }
        if (i == args.size() || (args[i] == ',' && !quoted)) {
            std::string_view piece = trim(std::string_view(args).substr(start, i - start));
            Param p;
            if (piece.size() >= 2 && piece.front() == '"' && piece.back() == '"') {
                p.quoted = true;
                piece = piece.substr(1, piece.size() - 2);
            }
            p.text = std::string(piece);
            out.push_back(std::move(p));
            start = i + 1;
        }
    }
    return out;
}

Reply Reply::ok(std::vector<std::string> info) {
    Reply r;
    r.info = std::move(info);
    return r;
}

Reply Reply::error(int code) {
    Reply r;
    r.kind = Kind::Error;
    r.errorCode = code;
    return r;
}

Reply Reply::error(ErrorClass cls, int code) {
    Reply r = error(code);
    r.errorClass = cls;
    return r;
}

Reply Reply::result(std::string code) {
    Reply r;
    r.kind = Kind::Result;
    r.resultCode = std::move(code);
    return r;
}

Reply Reply::prompt(DataHandler onData) {
    Reply r;
    r.kind = Kind::Prompt;
    r.onData = std::move(onData);
    return r;
}

void CommandTable::add(std::string_view name, Handler handler, ErrorClass errors) {
    entries_[upper(name)] = Entry{std::move(handler), errors};
}

const CommandTable::Entry* CommandTable::find(std::string_view name) const {
    const auto it = entries_.find(upper(name));
    return it == entries_.end() ? nullptr : &it->second;
}

Interpreter::Interpreter(PhoneState& state) : state_(state) {
    registerStandardCommands(table_);
}

std::vector<Interpreter::Event> Interpreter::feed(std::string_view bytes) {
    std::vector<Event> out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (inData_) {
            onDataByte(bytes[i], i, out);
        } else {
            onCommandByte(bytes[i], i, out);
        }
    }
    return out;
}

std::string Interpreter::exchange(std::string_view bytes) {
    std::string all;
    for (const Event& e : feed(bytes)) {
        all += e.bytes;
    }
    return all;
}

void Interpreter::resetLink() {
    line_.clear();
    lineOverflow_ = false;
    lastWasCr_ = false;
    inData_ = false;
    data_.clear();
    dataOverflow_ = false;
    onData_ = nullptr;
}

namespace {

// Adds `c` to the echo run being built, or starts a new Echo event.
void echoByte(char c, std::size_t at, std::vector<Interpreter::Event>& out) {
    if (!out.empty() && out.back().kind == Interpreter::Event::Kind::Echo &&
        out.back().at + out.back().bytes.size() == at) {
        out.back().bytes += c;
        return;
    }
    Interpreter::Event e;
    e.kind = Interpreter::Event::Kind::Echo;
    e.bytes.assign(1, c);
    e.at = at;
    out.push_back(std::move(e));
}

}  // namespace

void Interpreter::onCommandByte(char c, std::size_t at, std::vector<Event>& out) {
    const bool afterCr = lastWasCr_;
    lastWasCr_ = (c == kCr);
    const bool on = !state_.poweredOff;
    // The LF of a CR LF pair is neither echoed nor part of the next line.
    if (c == kLf && afterCr) {
        return;
    }
    if (on && modes_.echo) {
        echoByte(c, at, out);
    }
    if (c == kCr) {
        Event e;
        e.kind = Event::Kind::Line;
        e.line = std::move(line_);
        e.at = at;
        const bool overflow = lineOverflow_;
        line_.clear();
        lineOverflow_ = false;
        if (on) {
            lineDelay_ = std::chrono::milliseconds{0};
            e.bytes = overflow ? renderError(ErrorClass::Cme, cme::Unknown) : runLine(e.line);
            e.delay = lineDelay_;
        }
        if (!e.line.empty() || !e.bytes.empty()) {
            out.push_back(std::move(e));
        }
        return;
    }
    if (c == kLf) {
        return;
    }
    if (c == kBackspace) {
        if (!line_.empty()) {
            line_.pop_back();
        }
        return;
    }
    if (line_.size() < kMaxLine) {
        line_ += c;
    } else {
        lineOverflow_ = true;
    }
}

void Interpreter::onDataByte(char c, std::size_t at, std::vector<Event>& out) {
    if (c != kCtrlZ && c != kEsc) {
        if (!state_.poweredOff && modes_.echo) {
            echoByte(c, at, out);
        }
        if (data_.size() < kMaxData) {
            data_ += c;
        } else {
            dataOverflow_ = true;
        }
        return;
    }
    Event e;
    e.kind = Event::Kind::Line;
    e.line = std::move(data_);
    e.at = at;
    const DataHandler handler = std::move(onData_);
    const bool overflow = dataOverflow_;
    const ErrorClass cls = dataErrors_;
    data_.clear();
    dataOverflow_ = false;
    onData_ = nullptr;
    inData_ = false;
    lastWasCr_ = false;
    if (!state_.poweredOff) {
        if (c == kEsc) {
            // Cancelled: the phone drops the data and confirms.
            e.bytes = "\r\nOK\r\n";
        } else if (overflow || !handler) {
            e.bytes = renderError(cls, unknownCode(cls));
        } else {
            Context ctx{state_, modes_};
            e.bytes = finish(handler(ctx, e.line), cls);
        }
    }
    out.push_back(std::move(e));
}

std::string Interpreter::runLine(const std::string& line) {
    // Anything before "AT" (stray control characters, blanks) is skipped; a line
    // without the prefix is not a command and gets no answer, like on the phone.
    std::size_t start = 0;
    while (start < line.size() && static_cast<unsigned char>(line[start]) <= 0x20) {
        ++start;
    }
    const std::string text = line.substr(start);
    const std::string up = upper(text);
    if (up.size() < 2 || up.compare(0, 2, "AT") != 0) {
        return {};
    }
    const auto commands = parseCommands(std::string_view(text).substr(2), line);

    for (const std::string& prefix : state_.silent) {
        if (!prefix.empty() && up.compare(0, prefix.size(), upper(prefix)) == 0)
            return {};
    }
    for (const std::string& prefix : state_.failing) {
        if (!prefix.empty() && up.compare(0, prefix.size(), upper(prefix)) == 0) {
            ErrorClass cls = ErrorClass::Cme;
            if (commands && !commands->empty()) {
                if (const auto* entry = table_.find(commands->front().name)) {
                    cls = entry->errors;
                }
            }
            return renderError(
                cls, cls == ErrorClass::Cms ? cms::OperationNotAllowed : cme::OperationNotAllowed);
        }
    }
    if (!commands) {
        return renderError(ErrorClass::Cme, cme::Unknown);
    }

    std::string out;
    for (const Command& cmd : *commands) {
        const CommandTable::Entry* entry = table_.find(cmd.name);
        if (entry == nullptr) {
            return out + renderError(ErrorClass::Cme, cme::Unknown);
        }
        Context ctx{state_, modes_};
        Reply reply = entry->handler(ctx, cmd);
        lineDelay_ += reply.delay;
        if (reply.kind != Reply::Kind::Ok) {
            // An error or a prompt ends the line; later commands are not run.
            return out + finish(std::move(reply), entry->errors);
        }
        out += renderInfo(reply.info);
    }
    return out + "\r\nOK\r\n";
}

std::string Interpreter::renderInfo(const std::vector<std::string>& info) {
    std::string out;
    if (!info.empty()) {
        out += "\r\n";
        for (const std::string& l : info) {
            out += l;
            out += "\r\n";
        }
    }
    return out;
}

std::string Interpreter::finish(Reply reply, ErrorClass cls) {
    std::string out = renderInfo(reply.info);
    switch (reply.kind) {
        case Reply::Kind::Ok:
            out += "\r\nOK\r\n";
            break;
        case Reply::Kind::Error:
            out += renderError(reply.errorClass.value_or(cls), reply.errorCode);
            break;
        case Reply::Kind::Result:
            out += "\r\n" + reply.resultCode + "\r\n";
            break;
        case Reply::Kind::Prompt:
            out += "\r\n> ";
            inData_ = true;
            onData_ = std::move(reply.onData);
            dataErrors_ = cls;
            break;
    }
    return out;
}

std::string Interpreter::renderError(ErrorClass cls, int code) const {
    const char* head = cls == ErrorClass::Cms ? "\r\n+CMS ERROR: " : "\r\n+CME ERROR: ";
    switch (modes_.cmee) {
        case 1:
            return head + std::to_string(code) + "\r\n";
        case 2:
            return head + errorText(cls, code) + "\r\n";
        default:
            return "\r\nERROR\r\n";
    }
}

}  // namespace phonesim
