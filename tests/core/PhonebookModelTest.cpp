// The phonebook's pure logic: read replies, the name encoding, the sort
// rule and the bookkeeping of the current phonebook's tables.

#include <gtest/gtest.h>

#include "phonebook/Phonebook.h"
#include "phonebook/Replies.h"
#include "phonebook/Shared.h"

namespace vondrix::phonebook {
namespace {

TEST(ParseReadResponse, Table) {
    struct Case {
        const char* what;
        std::string reply;
        bool occupied;
        std::string number;
        int type;
        std::string name;
    };
    const std::string longDigits(40, '1');
    const std::string longName(35, 'x');
    const std::vector<Case> cases = {
        {"ordinary", "\r\n+CPBR: 1,\"0301234\",129,\"Anna\"\r\n\r\nOK\r\n", true, "0301234", 129,
         "Anna"},
        {"international", "\r\n+CPBR: 2,\"+4930\",145,\"Bob\"\r\n\r\nOK\r\n", true, "+4930", 145,
         "Bob"},
        {"empty location", "\r\nOK\r\n", false, "", 0, ""},
        {"empty name", "\r\n+CPBR: 4,\"030\",129,\"\"\r\n\r\nOK\r\n", true, "030", 129, ""},
        // The engine stores a received NUL as '@'; both mean code 0.
        {"at sign", "\r\n+CPBR: 5,\"1\",129,\"a@b\"\r\n\r\nOK\r\n", true, "1", 129, "a@b"},
        {"gsm codes", "\r\n+CPBR: 6,\"1\",129,\"M~ller \x1E\"\r\n\r\nOK\r\n", true, "1", 129,
         "M\xFCller \xDF"},
        {"type taken as the phone says", "+CPBR: 7,\"+1\",129,\"T\"\r\nOK\r\n", true, "+1", 129,
         "T"},
        {"over-long fields are cut", "+CPBR: 8,\"" + longDigits + "\",129,\"" + longName + "\"",
         true, longDigits.substr(0, 29), 129, longName.substr(0, 29)},
        {"number without closing quote ends at the line", "+CPBR: 9,\"0301\r\nOK\r\n", true, "0301",
         129, ""},
        {"name without closing quote ends at the line", "+CPBR: 9,\"0301\",129,\"Ann\r\nOK\r\n",
         true, "0301", 129, "Ann"},
        {"no type: from the number", "\"+49\"", true, "+49", 145, ""},
        {"a raw quote inside the name", "+CPBR: 3,\"030\",129,\"Sam \"Bo\" X\"\r\nOK\r\n", true,
         "030", 129, "Sam \"Bo\" X"},
        {"the escaped quote; other backslashes stay",
         "+CPBR: 3,\"030\",129,\"\\22x\\22 \\12 \\9\"\r\nOK\r\n", true, "030", 129,
         "\"x\" \xD6"
         "12 \xD6"
         "9"},  // other backslashes are GSM code 0x5C (Ö) as ever
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto e = parseCpbrRead(c.reply, 77);
        ASSERT_EQ(e.has_value(), c.occupied);
        if (!e)
            continue;
        EXPECT_EQ(e->index, 77);  // the location asked for, not the one in the reply
        EXPECT_EQ(e->number, c.number);
        EXPECT_EQ(e->type, c.type);
        EXPECT_EQ(e->name, c.name);
    }
}

TEST(NameEncoding, EveryPairAndTheUntouched) {
    struct Case {
        std::string latin1;
        std::string sent;
    };
    const std::vector<Case> cases = {
        {"M\xFCller", "M\\7Eller"},
        {"a@b", "a\\00b"},
        {"\xF6\xE4\xFC\xDC\xD6\xC4\xDF", "\\7C\\7B\\7E\\5E\\5C\\5B\\1E"},
        {"\xE8\xE9\xF9\xEC\xF2\xD8\xF8\xC5\xE5\xE0", "\\04\\05\\06\\07\\08\\0B\\0C\\0E\\0F\\7F"},
        {"\xC6\xE6", "\\1C\\1D"},
        {"Plain Name 1!", "Plain Name 1!"},
        {"\xC7\xF1", "\xC7\xF1"},  // characters outside the table pass as they are
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(encodeName(c.latin1), c.sent) << c.latin1;
        // A phone that answers with the escapes gives the name back.
        EXPECT_EQ(parseCpbrRead("+CPBR: 1,\"1\",129,\"" + c.sent + "\"", 1)->name, c.latin1);
    }
}

TEST(ReplaceAll, Table) {
    EXPECT_EQ(replaceAll("a-b-c", "-", "+"), "a+b+c");
    EXPECT_EQ(replaceAll("aaa", "a", "aa"), "aaaaaa");  // a replacement is not searched again
    EXPECT_EQ(replaceAll("abcabc", "bc", ""), "aa");
    EXPECT_EQ(replaceAll("abc", "", "x"), "abc");  // an empty search changes nothing
    EXPECT_EQ(replaceAll("", "a", "b"), "");
    const std::string big(1000, '&');
    EXPECT_EQ(replaceAll(big, "&", "&amp;").size(), 5000u);  // no fixed scratch size
}

std::vector<Row> sampleRows() {
    return {
        {3, "bob", "0301", 0}, {1, "Anna", "+4930", 1}, {12, "\xC4rger", "030", 2},
        {2, "Ann", "0301", 3}, {10, "", "", 4},         {-1, "zed", "+1", 5},
    };
}

std::vector<std::size_t> order(const std::vector<Row>& rows) {
    std::vector<std::size_t> out;
    for (const Row& r : rows)
        out.push_back(r.entry);
    return out;
}

TEST(SortRows, ByEachColumn) {
    struct Case {
        int column;
        std::vector<std::size_t> entries;
    };
    const std::vector<Case> cases = {
        {0, {5, 1, 3, 0, 4, 2}},  // locations as signed numbers
        // Names as unsigned bytes: a prefix first, capitals before small
        // letters, 0xC4 after every ASCII letter.
        {1, {4, 3, 1, 0, 5, 2}},
        // Numbers: "+" (0x2B) before the digits; equal numbers keep their order.
        {2, {4, 5, 1, 2, 0, 3}},
        {7, {0, 1, 2, 3, 4, 5}},  // an unknown column leaves the order alone
    };
    for (const Case& c : cases) {
        auto rows = sampleRows();
        sortRows(rows, c.column);
        EXPECT_EQ(order(rows), c.entries) << "column " << c.column;
    }
}

CurrentPhonebook bookWithTwoEntries() {
    CurrentPhonebook b;
    b.range = {1, 5, 20, 14};
    b.entries = {{1, "0301", 129, "Anna"}, {2, "0302", 129, "Bob"}};
    b.rows = {{1, "Anna", "0301", 0}, {2, "Bob", "0302", 1}};
    b.freeLocations = {3, 4, 5};
    return b;
}

TEST(CurrentPhonebook, DeleteThenReuseOfTheLocation) {
    CurrentPhonebook b = bookWithTwoEntries();
    b.releaseLocation(1);
    b.markDeleted(0);
    EXPECT_EQ(b.freeLocations, (std::vector<int>{3, 4, 5, 1}));
    EXPECT_TRUE(b.isDeleted(0));
    EXPECT_EQ(b.rows[0].name, "");
    EXPECT_EQ(b.rows[0].location, 1);
    EXPECT_EQ(b.findLocation(1), CurrentPhonebook::npos);
    EXPECT_EQ(b.liveCount(), 1u);

    // Deleting twice neither lists the location twice nor the position.
    b.releaseLocation(1);
    b.markDeleted(0);
    EXPECT_EQ(b.freeLocations, (std::vector<int>{3, 4, 5, 1}));
    EXPECT_EQ(b.deleted, (std::vector<std::size_t>{0}));

    // A new entry at the freed location gets a fresh position and takes
    // over the empty row; the deleted position stays deleted.
    const std::size_t pos = b.addEntry({1, "0309", 129, "Carl"});
    EXPECT_EQ(pos, 2u);
    EXPECT_EQ(b.findLocation(1), 2u);
    EXPECT_TRUE(b.isDeleted(0));
    EXPECT_FALSE(b.isDeleted(2));
    ASSERT_EQ(b.rows.size(), 2u);
    EXPECT_EQ(b.rows[0].entry, 2u);
    EXPECT_EQ(b.rows[0].name, "Carl");
    EXPECT_EQ(b.freeLocations, (std::vector<int>{3, 4, 5}));
    EXPECT_EQ(b.firstFreeLocation(), 3);

    // Elsewhere a new row is added.
    EXPECT_EQ(b.addEntry({3, "1", 129, std::string(40, 'n')}), 3u);
    EXPECT_EQ(b.rows.size(), 3u);
    EXPECT_EQ(b.entries[3].name.size(), kMaxField);
    EXPECT_EQ(b.rows[2].name.size(), kMaxField);
}

TEST(CurrentPhonebook, TableNeverGrowsPastItsCapacity) {
    CurrentPhonebook b;
    b.range = {1, 600, 20, 14};
    for (int i = 1; i <= 600; ++i)
        b.freeLocations.push_back(i);
    for (int i = 1; i <= static_cast<int>(kMaxEntries); ++i)
        ASSERT_NE(b.addEntry({i, "1", 129, "n"}), CurrentPhonebook::npos);
    EXPECT_EQ(b.addEntry({501, "1", 129, "n"}), CurrentPhonebook::npos);
    EXPECT_EQ(b.entries.size(), kMaxEntries);
    EXPECT_EQ(b.rows.size(), kMaxEntries);
    EXPECT_EQ(b.firstFreeLocation(), 501);  // the refused entry used nothing
}

TEST(CurrentPhonebook, NoFreeLocation) {
    CurrentPhonebook b;
    EXPECT_EQ(b.firstFreeLocation(), 0);
    b.releaseLocation(0);  // never a location
    EXPECT_TRUE(b.freeLocations.empty());
}

}  // namespace
}  // namespace vondrix::phonebook
