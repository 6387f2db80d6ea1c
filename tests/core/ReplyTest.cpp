// The reply layer: lines, whole-line final results, the field reader and
// the command builder's one check.

#include <gtest/gtest.h>

#include "link/Command.h"
#include "link/Reply.h"

namespace vondrix::at {
namespace {

using Lines = std::vector<std::string>;

struct ReplyCase {
    const char* situation;
    std::string raw;
    std::string command;
    Ends ends;
    Final final;
    int code;
    Lines lines;
};

TEST(Reply, SplitsLinesAndFindsTheWholeLineResult) {
    const ReplyCase cases[] = {
        {"plain OK", "\r\nOK\r\n", "AT", Ends::Standard, Final::Ok, -1, {}},
        {"echo on",
         "AT+CSQ\r\r\n+CSQ: 17,99\r\n\r\nOK\r\n",
         "AT+CSQ",
         Ends::Standard,
         Final::Ok,
         -1,
         {"+CSQ: 17,99"}},
        {"echo off",
         "\r\n+CSQ: 17,99\r\n\r\nOK\r\n",
         "AT+CSQ",
         Ends::Standard,
         Final::Ok,
         -1,
         {"+CSQ: 17,99"}},
        {"unsolicited line between information lines",
         "\r\n+CPBR: 1,\"0301\",129,\"Ann\"\r\n+CMTI: \"SM\",3\r\n+CPBR: "
         "2,\"0302\",129,\"Bob\"\r\n\r\nOK\r\n",
         "AT+CPBR=1,2",
         Ends::Standard,
         Final::Ok,
         -1,
         {"+CPBR: 1,\"0301\",129,\"Ann\"", "+CMTI: \"SM\",3", "+CPBR: 2,\"0302\",129,\"Bob\""}},
        {"data line ending in OK inside a phonebook reply",
         "\r\n+CPBR: 1,\"0301\",129,\"LOOK\"\r\nNOTEBOOK\r\n+CPBR: "
         "2,\"0302\",129,\"OK\"\r\n\r\nOK\r\n",
         "AT+CPBR=1,2",
         Ends::Standard,
         Final::Ok,
         -1,
         {"+CPBR: 1,\"0301\",129,\"LOOK\"", "NOTEBOOK", "+CPBR: 2,\"0302\",129,\"OK\""}},
        {"ERROR", "\r\nERROR\r\n", "AT+CPBW=1", Ends::Standard, Final::Error, -1, {}},
        {"+CME ERROR: 21",
         "\r\n+CME ERROR: 21\r\n",
         "AT+CPBR=9",
         Ends::Standard,
         Final::CmeError,
         21,
         {}},
        {"+CMS ERROR: 304",
         "\r\n+CMS ERROR: 304\r\n",
         "AT+CMGS=20",
         Ends::Standard,
         Final::CmsError,
         304,
         {}},
        {"verbose error text",
         "\r\n+CME ERROR: SIM PIN2 required\r\n",
         "AT+CPBW=1",
         Ends::Standard,
         Final::CmeError,
         -1,
         {}},
        {"prompt", "\r\n> ", "AT+CMGS=20", Ends::Prompt, Final::Prompt, -1, {}},
        {"'>' is no prompt outside a prompted command",
         "\r\n> quoted\r\nOK\r\n",
         "ATI",
         Ends::Standard,
         Final::Ok,
         -1,
         {"> quoted"}},
        {"BUSY ends a dial", "\r\nBUSY\r\n", "ATD0301;", Ends::Dial, Final::Busy, -1, {}},
        {"NO CARRIER does not end a standard reply",
         "\r\nNO CARRIER\r\n+CSQ: 9,99\r\n\r\nOK\r\n",
         "AT+CSQ",
         Ends::Standard,
         Final::Ok,
         -1,
         {"NO CARRIER", "+CSQ: 9,99"}},
        {"no final result yet",
         "\r\n+CSQ: 17,99\r\n",
         "AT+CSQ",
         Ends::Standard,
         Final::None,
         -1,
         {"+CSQ: 17,99"}},
        {"line cut off",
         "\r\n+CSQ: 17,9",
         "AT+CSQ",
         Ends::Standard,
         Final::None,
         -1,
         {"+CSQ: 17,9"}},
        {"bytes after the result belong to no one",
         "\r\nOK\r\n+CREG: 1\r\n",
         "AT",
         Ends::Standard,
         Final::Ok,
         -1,
         {}},
        {"blanks around OK",
         "\r\n+COPS: 0,0,\"OK\"\r\n OK \r\n",
         "AT+COPS?",
         Ends::Standard,
         Final::Ok,
         -1,
         {"+COPS: 0,0,\"OK\""}},
    };
    for (const auto& c : cases) {
        const Reply r = parseReply(c.raw, c.command, c.ends);
        EXPECT_EQ(r.final.kind, c.final) << c.situation;
        EXPECT_EQ(r.final.code, c.code) << c.situation;
        EXPECT_EQ(r.lines, c.lines) << c.situation;
    }
}

TEST(Reply, FirstAndAllFindLinesByPrefix) {
    const Reply r =
        parseReply("\r\n+CMTI: \"SM\",1\r\n+CPBR: 1,\"1\"\r\n+CPBR: 2,\"2\"\r\n\r\nOK\r\n");
    EXPECT_EQ(r.first("+CPBR:"), std::string_view("+CPBR: 1,\"1\""));
    EXPECT_EQ(r.all("+CPBR:").size(), 2u);
    EXPECT_FALSE(r.first("+CSCA:"));
}

TEST(FieldReader, ReadsEachFieldKind) {
    auto f = FieldReader::after(
        "+CPBR: 3,\"+49 30,1\",145,\"Doe, John\",,(1-250),(0,1),rest, of it", "+CPBR:");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->number(), 3);
    EXPECT_EQ(f->quoted(), "+49 30,1");  // a comma inside quotes belongs to the field
    EXPECT_FALSE(f->quoted());           // 145 is no quoted field: nothing consumed
    EXPECT_EQ(f->number(), 145);
    EXPECT_EQ(f->quoted(), "Doe, John");
    EXPECT_TRUE(f->omitted());
    const auto range = f->range();
    ASSERT_TRUE(range);
    EXPECT_EQ(range->low, 1);
    EXPECT_EQ(range->high, 250);
    EXPECT_EQ(f->list(), std::string_view("0,1"));
    EXPECT_EQ(f->rest(), std::string_view("rest, of it"));
    EXPECT_EQ(f->field(), std::string_view("rest"));
    EXPECT_EQ(f->field(), std::string_view("of it"));  // without its blanks
    EXPECT_TRUE(f->atEnd());
    EXPECT_FALSE(f->number());
    // A quote closes its field only before a comma or the end; blanks anywhere
    // around fields, none after the colon.
    auto g = FieldReader::after("+CPBR:2 , \"Sam \"Bo\" X\" , 145 ,\"a\"b\"\t ", "+CPBR:");
    EXPECT_EQ(g->number(), 2);
    EXPECT_EQ(g->quoted(), "Sam \"Bo\" X");
    EXPECT_EQ(g->number(), 145);
    EXPECT_EQ(g->quoted(), "a\"b");
    EXPECT_TRUE(g->atEnd());
    EXPECT_EQ(FieldReader("\"cut sh").quoted(FieldReader::Unclosed::ToEnd), "cut sh");
    EXPECT_EQ(hexBytes(" 0aFf "), (std::vector<unsigned char>{0x0A, 0xFF}));
    EXPECT_FALSE(hexBytes("0aF"));
    EXPECT_FALSE(hexBytes(""));
}

TEST(FieldReader, RefusesWhatDoesNotFitAndConsumesNothing) {
    struct Case {
        const char* text;
        bool number, quoted, omitted, range;
    };
    const Case cases[] = {
        {"12x,1", false, false, false, false},    {"\"open,1", false, false, false, false},
        {"\"a\"b,1", false, false, false, false}, {",1", false, false, true, false},
        {"(3),1", false, false, false, true},     {"(a-b),1", false, false, false, false},
        {" 7 ,1", true, false, false, false},
    };
    for (const auto& c : cases) {
        FieldReader f(c.text);
        EXPECT_EQ(f.number().has_value(), c.number) << c.text;
        EXPECT_EQ(f.quoted().has_value(), c.quoted) << c.text;
        EXPECT_EQ(f.omitted(), c.omitted) << c.text;
        if (!c.omitted && !c.number) {
            EXPECT_EQ(f.range().has_value(), c.range) << c.text;
        }
    }
    EXPECT_FALSE(FieldReader::after("+CPBR 1", "+CPBR:"));
}

TEST(FieldReader, GroupsOfAParenthesisedList) {
    const auto groups =
        parenthesisedGroups("(2,\"A (x)\",\"B\",\"26201\"),(3,\"C\",\"D\",\"26202\"),,(0-4),(0,2)");
    ASSERT_EQ(groups.size(), 4u);
    EXPECT_EQ(groups[0], std::string_view("2,\"A (x)\",\"B\",\"26201\""));
    EXPECT_EQ(groups[2], std::string_view("0-4"));
}

TEST(Command, BuildsParametersSeparatedByCommas) {
    EXPECT_EQ(Command("AT+CPBW=")
                  .number(3)
                  .phoneNumber("+49301", 20)
                  .number(145)
                  .quoted("Bob", 14)
                  .text(),
              "AT+CPBW=3,+49301,145,\"Bob\"");
    EXPECT_EQ(Command("AT+CCFC=")
                  .number(0)
                  .number(3)
                  .quotedNumber("+4930")
                  .number(145)
                  .omitted()
                  .number(20)
                  .text(),
              "AT+CCFC=0,3,\"+4930\",145,,20");
    EXPECT_EQ(Command("AT+CLCK=").quoted("AO").number(1).digits("1234", 8, true).text(),
              "AT+CLCK=\"AO\",1,\"1234\"");
    EXPECT_EQ(Command("AT^SBNR=").word("vcs").number(7).text(), "AT^SBNR=vcs,7");
}

TEST(Command, RefusesEveryValueThatCouldAddACommand) {
    struct Case {
        const char* situation;
        Command command;
        ValueError error;
    };
    const Case cases[] = {
        {"';' in a number", Command("AT+CPBW=").number(1).phoneNumber("0301111;+CPBW=1"),
         ValueError::BadCharacter},
        {"',' in a number", Command("AT+CPBW=").number(1).phoneNumber("0301,9"),
         ValueError::BadCharacter},
        {"CR in a number", Command("AT+CPBW=").number(1).phoneNumber("0301\rATZ"),
         ValueError::BadCharacter},
        {"'+' inside a number", Command("AT+CPBW=").phoneNumber("03+01"), ValueError::BadCharacter},
        {"empty number", Command("AT+CPBW=").number(1).phoneNumber(""), ValueError::Empty},
        {"a lone '+'", Command("AT+CCFC=").quotedNumber("+"), ValueError::BadCharacter},
        {"number too long", Command("AT+CPBW=").phoneNumber("012345678901234567890", 20),
         ValueError::TooLong},
        {"quoted number too long", Command("AT+CCFC=").number(0).quotedNumber("+4930", 4),
         ValueError::TooLong},
        {"quote in a name", Command("AT+CPBW=").quoted("A\"B"), ValueError::BadCharacter},
        {"LF in a name", Command("AT+CPBW=").quoted("A\nB"), ValueError::BadCharacter},
        {"Ctrl-Z in a text", Command("AT+CPBW=").quoted("A\x1A"), ValueError::BadCharacter},
        {"ESC in a text", Command("AT+CPBW=").quoted("A\x1B"), ValueError::BadCharacter},
        {"name too long", Command("AT+CPBW=").quoted("123456789012345", 14), ValueError::TooLong},
        {"letters in a password", Command("AT+CLCK=").digits("12a4", 8), ValueError::BadCharacter},
        {"';' in a word", Command("AT^SPBS=").word("SM;+CPBW=1"), ValueError::BadCharacter},
        {"non-hex data", Command("AT^SBNW=").hex("0A1G"), ValueError::BadCharacter},
        {"a huge value", Command("AT+CPBW=").phoneNumber(std::string(10 * 1024 * 1024, '1')),
         ValueError::TooLong},
        {"later values after a refusal", Command("AT+CPBW=").phoneNumber("1;").number(1),
         ValueError::BadCharacter},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(c.command.valid()) << c.situation;
        EXPECT_EQ(c.command.error(), c.error) << c.situation;
        EXPECT_EQ(c.command.text(), "") << c.situation;
    }
}

TEST(Command, SafeLinesForTheEngine) {
    EXPECT_TRUE(isSafeCommandLine("AT+CPBW=1,0301,129,\"A;B\""));  // ';' inside quotes is text
    EXPECT_TRUE(isSafeCommandLine("ATD>5;", true));
    EXPECT_FALSE(isSafeCommandLine("ATD>5;", false));
    EXPECT_FALSE(isSafeCommandLine("ATD0301;+CPBW=1;", true));
    EXPECT_FALSE(isSafeCommandLine("AT+CPBW=1,0301;+CPBW=2"));
    EXPECT_FALSE(isSafeCommandLine("AT+CPBW=1,\"open"));
    EXPECT_FALSE(isSafeCommandLine("AT\rATZ"));
    EXPECT_TRUE(isSafeDataLine("0011000B91\x1A"));
    EXPECT_FALSE(
        isSafeDataLine("00\x1A"
                       "11\x1A"));
    EXPECT_FALSE(isSafeDataLine("00\r11"));
    EXPECT_TRUE(isDialString(" +49 301 p2 #Dd"));
    EXPECT_FALSE(isDialString("0301;ATZ"));
}

}  // namespace
}  // namespace vondrix::at
