#include "sms/Archive.h"

#include <cstdio>
#include <ctime>

#include "foundation/CalendarTime.h"
#include "link/Command.h"
#include "link/LinkOperation.h"
#include "sms/Replies.h"
#include "sms/SmsService.h"
#include "text/Decimal.h"
#include "text/Hex.h"
#include "text/Latin1.h"

namespace vondrix::sms {
namespace {

constexpr char kCtrlZ = '\x1A';

// An XML attribute value: the five special characters and the line ends
// as references, so that the text comes back as it was.
std::string attribute(std::string_view utf8) {
    std::string out;
    for (const char c : utf8) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\n':
                out += "&#10;";
                break;
            case '\r':
                out += "&#13;";
                break;
            case '\t':
                out += "&#9;";
                break;
            default:
                // Other control characters are not allowed in XML 1.0.
                if (static_cast<unsigned char>(c) < 0x20)
                    out += ' ';
                else
                    out += c;
        }
    }
    return out;
}

// The body as UTF-8 with LF line ends (the GSM alphabet's CR LF swap undone
// by the codec already).
std::string bodyOf(const MessageRow& row) {
    return latin1ToUtf8(row.body.empty() ? row.text : row.body);
}

bool received(const MessageRow& row) {
    return row.statusValue == 0 || row.statusValue == 1;
}

std::tm utcOf(std::int64_t ms) {
    return utcCalendar(static_cast<std::time_t>(ms / 1000));
}

std::tm localOf(std::int64_t ms) {
    return localCalendar(static_cast<std::time_t>(ms / 1000));
}

}  // namespace

std::optional<std::vector<RawMessage>> readRawMessages(AtEngine& engine, Reporter& reporter) {
    LinkOperation operation(engine, reporter);
    const AtEngine::Result listed = engine.list("AT+CMGL=4");
    if (!listed) {
        if (engine.failure() == AtEngine::Failure::None)
            reporter.message(msg::MessageListNotRead, Caption::Error);
        return std::nullopt;
    }
    std::vector<RawMessage> messages;
    for (const ListedEntry& entry : parseCmglList(listed.raw)) {
        RawMessage m;
        m.index = decimalValue(entry.index);
        m.status = decimalValue(entry.status);
        m.pdu = entry.pdu;
        messages.push_back(std::move(m));
    }
    return messages;
}

bool isStorablePdu(const RawMessage& message) {
    const std::string& pdu = message.pdu;
    if (pdu.size() < 4 || pdu.size() % 2 != 0 || pdu.size() + 1 > AtEngine::kMaxCommandLine)
        return false;
    if (!allHexDigits(pdu))
        return false;
    if (message.status < 0 || message.status > 3)
        return false;
    // The first octet after the service-centre field tells the kind: a
    // status report (message type 2) cannot be stored.
    const std::size_t sca =
        2 + 2 * static_cast<std::size_t>(hexDigit(pdu[0]) * 16 + hexDigit(pdu[1]));
    if (sca + 2 > pdu.size())
        return false;
    const int firstOctet = hexDigit(pdu[sca]) * 16 + hexDigit(pdu[sca + 1]);
    return (firstOctet & 0x03) != 2;
}

std::optional<int> storeRawMessage(AtEngine& engine, const RawMessage& message) {
    if (!isStorablePdu(message))
        return std::nullopt;
    const at::Command command =
        at::Command("AT+CMGW=").number(tpduLength(message.pdu)).number(message.status);
    const at::Command data = at::Command("").hex(message.pdu, AtEngine::kMaxCommandLine - 1);
    if (!command.valid() || !data.valid())
        return std::nullopt;
    if (engine.prompt(command.text()).status != AtEngine::Status::Prompt)
        return std::nullopt;
    const AtEngine::Result stored = engine.prompt(data.text() + kCtrlZ, true);
    if (stored.status != AtEngine::Status::Ok)
        return std::nullopt;
    return parseCmgwReply(stored.raw);
}

bool deleteRawMessage(AtEngine& engine, int index) {
    const at::Command command = at::Command("AT+CMGD=").number(index);
    return command.valid() && engine.standard(command.text()).ok();
}

std::vector<MessageRow> archiveRows(const std::vector<RawMessage>& messages) {
    std::vector<MessageRow> rows;
    const NameDirectory names;
    const CodecSettings plain;
    int position = 0;
    for (const RawMessage& m : messages) {
        const ListedEntry entry{std::to_string(m.index), std::to_string(m.status), m.pdu};
        MessageRow row = rowOf(entry, position++, names, plain);
        if (row.kind != MessageKind::StatusReport)
            rows.push_back(std::move(row));
    }
    return joinedRows(rows);
}

std::optional<std::int64_t> rowTimeMs(const MessageRow& row) {
    int yy = 0, mo = 0, dd = 0, hh = 0, mi = 0, ss = 0;
    if (row.date.size() < 17 ||
        std::sscanf(row.date.c_str(), "%2d/%2d/%2d %2d:%2d:%2d", &yy, &mo, &dd, &hh, &mi, &ss) != 6)
        return std::nullopt;
    std::tm tm{};
    tm.tm_year = (yy < 70 ? 2000 + yy : 1900 + yy) - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = dd;
    tm.tm_hour = hh;
    tm.tm_min = mi;
    tm.tm_sec = ss;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1))
        return std::nullopt;
    return static_cast<std::int64_t>(t) * 1000;
}

std::string smsBackupXml(const std::vector<MessageRow>& rows, std::int64_t fallbackMs) {
    std::string out = "<?xml version='1.0' encoding='UTF-8' standalone='yes' ?>\n";
    out += "<smses count=\"" + std::to_string(rows.size()) + "\">\n";
    for (const MessageRow& row : rows) {
        const std::int64_t ms = rowTimeMs(row).value_or(fallbackMs);
        const int type = received(row) ? 1 : row.statusValue == 3 ? 2 : 3;
        char readable[32];
        const std::tm local = localOf(ms);
        std::strftime(readable, sizeof readable, "%Y-%m-%d %H:%M:%S", &local);
        out += "  <sms protocol=\"0\" address=\"" + attribute(latin1ToUtf8(row.fullNumber)) +
               "\" date=\"" + std::to_string(ms) + "\" type=\"" + std::to_string(type) +
               "\" subject=\"null\" body=\"" + attribute(bodyOf(row)) +
               "\" toa=\"null\" sc_toa=\"null\" service_center=\"null\" read=\"" +
               (row.statusValue == 0 ? "0" : "1") +
               "\" status=\"-1\" locked=\"0\" date_sent=\"0\" readable_date=\"" + readable +
               "\" />\n";
    }
    out += "</smses>\n";
    return out;
}

std::string mboxText(const std::vector<MessageRow>& rows, std::int64_t fallbackMs) {
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::string out;
    for (const MessageRow& row : rows) {
        const std::int64_t ms = rowTimeMs(row).value_or(fallbackMs);
        const std::tm t = utcOf(ms);
        // Room for any int in each field, so that no value is ever cut.
        char fromLine[128], date[128];
        std::snprintf(fromLine, sizeof fromLine, "From vondrix %s %s %2d %02d:%02d:%02d %d\n",
                      kDays[t.tm_wday], kMonths[t.tm_mon], t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec,
                      t.tm_year + 1900);
        std::snprintf(date, sizeof date, "%s, %02d %s %d %02d:%02d:%02d +0000", kDays[t.tm_wday],
                      t.tm_mday, kMonths[t.tm_mon], t.tm_year + 1900, t.tm_hour, t.tm_min,
                      t.tm_sec);
        std::string number;
        for (const char c : latin1ToUtf8(row.fullNumber)) {
            if (static_cast<unsigned char>(c) >= 0x20 && c != '<' && c != '>' && c != '"')
                number += c;
        }
        const bool in = received(row);
        out += fromLine;
        out += "From: " +
               (in ? "\"" + number + "\" <sms@phone.invalid>" : "Vondrix <phone@vondrix.invalid>") +
               "\n";
        out += "To: " +
               (in ? std::string("Vondrix <phone@vondrix.invalid>")
                   : "\"" + number + "\" <sms@phone.invalid>") +
               "\n";
        out += std::string("Date: ") + date + "\n";
        out += "Subject: SMS " + std::string(in ? "from " : "to ") + number + "\n";
        out +=
            "MIME-Version: 1.0\nContent-Type: text/plain; charset=utf-8\n"
            "Content-Transfer-Encoding: 8bit\n";
        out += "X-Vondrix-Status: " + std::to_string(row.statusValue) + "\n";
        out += "X-Vondrix-Index: " + row.index + "\n\n";
        std::string body = bodyOf(row);
        for (char& c : body) {
            if (c == '\r')
                c = '\n';
        }
        std::size_t at = 0;
        while (at <= body.size()) {
            std::size_t end = body.find('\n', at);
            if (end == std::string::npos)
                end = body.size();
            std::string_view line(body.data() + at, end - at);
            // mboxrd: a line that reads as "From " after any ">" gets one more.
            const std::size_t quotes = line.find_first_not_of('>');
            if (quotes != std::string_view::npos && line.substr(quotes).starts_with("From "))
                out += '>';
            out += line;
            out += '\n';
            at = end + 1;
        }
        out += '\n';
    }
    return out;
}

}  // namespace vondrix::sms
