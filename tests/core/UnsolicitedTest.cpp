// Unsolicited result codes inside replies: set aside wherever they fall, so
// every reply parser reads the clean reply, and never taken for the end of
// a reply.

#include <gtest/gtest.h>

#include <functional>

#include "link/Parsers.h"
#include "link/ReplyFramer.h"
#include "link/SharedReplies.h"
#include "link/Unsolicited.h"
#include "network/Replies.h"
#include "phonebook/Replies.h"
#include "sms/Replies.h"

namespace vondrix::at {
namespace {

struct Family {
    const char* command;
    std::string reply;  // as a tidy phone sends it
    std::function<std::string(std::string_view)> value;
    std::string expected;
};

std::string word(std::string_view response) {
    return lastAnswerWord(response).value_or("(none)");
}

std::string entry(const std::optional<phonebook::PhonebookEntry>& e) {
    return e ? std::to_string(e->index) + "," + e->number + "," + e->name : "(none)";
}

const std::string kPdu = "0791947106004034040D91945151214365F700002111012154650003C16010";

// Each family of commands the program sends, with the value its parser takes.
const std::vector<Family>& families() {
    static const std::vector<Family> rows = {
        {"AT+CSQ", "\r\n+CSQ: 17,99\r\n\r\nOK\r\n",
         [](auto r) { return std::to_string(network::parseCsq(r).value_or(-1)); }, "17"},
        {"AT+CBC", "\r\n+CBC: 0,80\r\n\r\nOK\r\n",
         [](auto r) { return network::parseCbc(r).value_or(network::BatteryReading{}).text; },
         "80"},
        {"AT+CREG?", "\r\n+CREG: 0,1\r\n\r\nOK\r\n",
         [](auto r) { return network::parseCregWord(r).value_or("(none)"); }, "0,1"},
        {"AT+COPS?", "\r\n+COPS: 0,0,\"D1-TELEKOM\"\r\n\r\nOK\r\n",
         [](auto r) { return network::parseCopsName(r).value_or("(none)"); }, "D1-TELEKOM"},
        {"AT+CGMI", "\r\nSIEMENS\r\n\r\nOK\r\n", word, "SIEMENS"},
        {"AT+CGMM", "\r\nS35\r\n\r\nOK\r\n", word, "S35"},
        {"AT+CGMR", "\r\n21\r\n\r\nOK\r\n", word, "21"},
        {"AT+CGSN", "\r\n449123456789012\r\n\r\nOK\r\n", word, "449123456789012"},
        {"AT+CPBR=?", "\r\n+CPBR: (1-250),20,14\r\n\r\nOK\r\n",
         [](auto r) {
             return std::to_string(
                 phonebook::parseCpbrTest(r, {}).value_or(phonebook::Range{}).highest);
         },
         "250"},
        {"AT+CPBR=2", "\r\n+CPBR: 2,\"+49301234\",145,\"Bob\"\r\n\r\nOK\r\n",
         [](auto r) { return entry(phonebook::parseCpbrRead(r, 2)); }, "2,+49301234,Bob"},
        {"AT+CPBR=1,3",
         "\r\n+CPBR: 1,\"0301\",129,\"Ann\"\r\n+CPBR: 3,\"0303\",129,\"Cid\"\r\n\r\nOK\r\n",
         [](auto r) {
             std::string out;
             for (const auto& e : phonebook::parseCpbrRange(r, 1, 3, "AT+CPBR=1,3")
                                      .value_or(std::vector<phonebook::PhonebookEntry>{}))
                 out += entry(e) + ";";
             return out;
         },
         "1,0301,Ann;3,0303,Cid;"},
        {"AT+CMGL=4",
         "\r\n+CMGL: 1,1,,24\r\n" + kPdu + "\r\n+CMGL: 3,0,,24\r\n" + kPdu + "\r\n\r\nOK\r\n",
         [](auto r) {
             std::string out;
             for (const auto& e : sms::parseCmglList(r))
                 out += e.index + ":" + e.pdu.substr(0, 4) + ";";
             return out;
         },
         "1:0791;3:0791;"},
        {"AT^SBNR=bmp,0",
         "\r\n^SBNR: \"bmp\",0,1,2\r\n424D10\r\n^SBNR: \"bmp\",0,2,2\r\n0102\r\n\r\nOK\r\n",
         [](auto r) {
             const auto read = at::parseSbnrRead(r, "bmp", 0);
             return std::to_string(read.count) + "/" + std::to_string(read.packets.size()) +
                    (read.whole() ? "" : " broken");
         },
         "2/2"},
        {"AT+CSCA?", "\r\n+CSCA: \"+491710760000\",145\r\n\r\nOK\r\n",
         [](auto r) { return at::parseCscaQuery(r); }, "+491710760000"},
    };
    return rows;
}

// Every code at every line boundary of every reply: before, between and
// after the information lines, between a header and its data line, after
// the final result.
TEST(Unsolicited, SetAsideWhereverTheyFallInEveryReply) {
    const std::string codes[] = {"RING", "+CMTI: \"SM\",4", "+CDSI: \"SM\",3", "+CREG: 1",
                                 "+CMT: ,24\r\n" + kPdu};
    for (const Family& f : families()) {
        ASSERT_EQ(f.value(f.reply), f.expected) << f.command;
        for (const std::string& code : codes) {
            for (std::size_t at = 0; at != std::string::npos; at = f.reply.find('\n', at + 1)) {
                const std::size_t cut = at == 0 ? 0 : at + 1;
                const std::string raw =
                    f.reply.substr(0, cut) + "\r\n" + code + "\r\n" + f.reply.substr(cut);
                SCOPED_TRACE(std::string(f.command) + " with " + code + " at " +
                             std::to_string(cut));
                ReplyFramer framer(Ends::Standard, true, 1 << 20);
                ASSERT_EQ(framer.feed(raw), ReplyFramer::State::Complete);
                const Sorted sorted =
                    setAsideUnsolicited(framer.bytes() + framer.tail(), f.command, Ends::Standard);
                EXPECT_EQ(sorted.reply, f.reply);
                EXPECT_EQ(sorted.unsolicited.size(), 1u);
                EXPECT_EQ(f.value(sorted.reply), f.expected);
            }
        }
    }
}

// What a command asks for itself is its answer, not an unsolicited code.
TEST(Unsolicited, ACommandsOwnPrefixIsItsAnswer) {
    const struct {
        const char* line;
        const char* command;
        Ends ends;
        int lines;
    } cases[] = {
        {"+CREG: 0,1", "AT+CREG?", Ends::Standard, 0},
        {"+CREG: 2,1,\"00C3\",\"1A2B\"", "AT+CREG?", Ends::Standard, 0},
        {"+CREG: 1,\"00C3\",\"1A2B\"", "AT+CREG?", Ends::Standard, 1},
        {"+CREG: 1", "AT+CSQ", Ends::Standard, 1},
        {"^SMGO: 0,0", "AT^SMGO?", Ends::Standard, 0},
        {"^SMGO: 2", "AT+CMGL=4", Ends::Standard, 1},
        {"^SMGO: 2", "", Ends::Standard, 1},  // after a final result, between commands
        {"^SBNW: 1", "0102A0", Ends::Prompt, 0},
        {"NO CARRIER", "ATD0301;", Ends::Dial, 0},
        {"NO CARRIER", "AT+CPBR=1", Ends::Standard, 1},
        {"+CDS: 25", "AT+CSQ", Ends::Standard, 2},
        {"+CPBR: 1,\"0301\",129,\"RING\"", "AT+CSQ", Ends::Standard, 0},
        {"SIEMENS", "AT+CGMI", Ends::Standard, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(unsolicitedLines(c.line, c.command, c.ends), c.lines)
            << c.line << " / " << c.command;
}

}  // namespace
}  // namespace vondrix::at
