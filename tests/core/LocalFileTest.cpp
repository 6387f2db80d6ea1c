// The local phonebook file: section replacement, the atomic save and the
// name-directory loader.

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

#include "phonebook/FileLines.h"
#include "phonebook/LocalFile.h"
#include "support/PhonebookEntries.h"
#include "support/RecordingReporter.h"
#include "support/RunProcess.h"

namespace vondrix::phonebook {
namespace {

namespace fs = std::filesystem;

CurrentPhonebook book(Kind kind, std::vector<PhonebookEntry> entries) {
    CurrentPhonebook b;
    b.kind = kind;
    b.entries = std::move(entries);
    return b;
}

using test::entry;

TEST(LocalFileSection, ReplacesOnlyTheCurrentKindsSection) {
    const std::string simFdn = "[SIM]\r\n1,Old,1\r\n[FDN]\r\n1,Fix*,112\r\n";
    struct Case {
        const char* what;
        bool exists;
        std::string old;
        CurrentPhonebook book;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"first save", false, "",
         book(Kind::Sim, {entry(1, "Anna", "0301"), entry(2, "Bob", "0302")}),
         "[SIM]\r\n1,Anna,0301\r\n2,Bob,0302\r\n"},
        {"INT goes between SIM and FDN", true, simFdn,
         book(Kind::Internal, {entry(4, "Anna", "0301")}),
         "[SIM]\r\n1,Old,1\r\n[INT]\r\n4,Anna+,0301\r\n[FDN]\r\n1,Fix*,112\r\n"},
        {"SIM replaced, FDN kept", true, simFdn, book(Kind::Sim, {entry(2, "Anna!", "+49")}),
         "[SIM]\r\n2,Anna!,+49\r\n[FDN]\r\n1,Fix*,112\r\n"},
        {"FDN replaced at the end", true,
         "[SIM]\r\n1,A,1\r\n[INT]\r\n1,B+,2\r\n[FDN]\r\n1,C*,3\r\n",
         book(Kind::Fixed, {entry(9, "Bob", "110")}),
         "[SIM]\r\n1,A,1\r\n[INT]\r\n1,B+,2\r\n[FDN]\r\n9,Bob*,110\r\n"},
        {"empty table leaves the header", true, simFdn, book(Kind::Fixed, {}),
         "[SIM]\r\n1,Old,1\r\n[FDN]\r\n"},
        {"LF-only file comes back with CR LF", true, "[SIM]\n1,A,1\n[INT]\n2,B+,2\n",
         book(Kind::Internal, {}), "[SIM]\r\n1,A,1\r\n[INT]\r\n"},
        // The old last line must not run into the new header.
        {"last line without line end", true, "[SIM]\r\n1,A,1", book(Kind::Internal, {}),
         "[SIM]\r\n1,A,1\r\n[INT]\r\n"},
        {"line break inside a name", false, "", book(Kind::Sim, {entry(3, "A\nB", "1\r2")}),
         "[SIM]\r\n3,A B,1 2\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(replaceSection(c.old, c.exists, c.book), c.expected) << c.what;
}

TEST(LocalFileDisk, SaveReplacesTheFileWholeOrNotAtAll) {
    const std::string dir = test::makeTempDir("phb"), path = dir + "/" + kLocalFileName;
    const std::string temp = dir + "/" + kLocalTempName;
    test::RecordingReporter reporter;
    EXPECT_TRUE(loadNameDirectory(path).empty());  // no file yet
    ASSERT_TRUE(saveToLocalFile(book(Kind::Fixed, {entry(1, "Fix", "112")}), path, reporter));
    ASSERT_TRUE(saveToLocalFile(book(Kind::Sim, {entry(1, "Anna", "0301")}), path, reporter));
    const std::string saved = "[SIM]\r\n1,Anna,0301\r\n[FDN]\r\n1,Fix*,112\r\n";
    std::string content;
    ASSERT_TRUE(readWholeFile(path, content));
    EXPECT_EQ(content, saved);
    EXPECT_FALSE(fs::exists(temp));
    EXPECT_EQ(loadNameDirectory(path).size(), 2u);

    fs::create_directory(temp);  // the replacement cannot be written
    EXPECT_FALSE(saveToLocalFile(book(Kind::Sim, {}), path, reporter));
    ASSERT_TRUE(readWholeFile(path, content));
    EXPECT_EQ(content, saved);
    EXPECT_FALSE(saveToLocalFile(book(Kind::Sim, {}), dir + "/no/" + kLocalFileName, reporter));
    // A directory where the file should be is an error, not a crash.
    fs::create_directory(dir + "/dir.phb");
    EXPECT_FALSE(readWholeFile(dir + "/dir.phb", content));
    EXPECT_TRUE(loadNameDirectory(dir + "/dir.phb").empty());
    EXPECT_FALSE(saveToLocalFile(book(Kind::Sim, {}), dir + "/dir.phb", reporter));
    EXPECT_EQ(reporter.ids(), (std::vector<int>{25, 25, 25}));
    fs::remove_all(dir);
}

// "index/name/number/type;" per record.
std::string render(const std::vector<PhonebookEntry>& directory) {
    std::string out;
    for (const auto& e : directory)
        out += std::to_string(e.index) + "/" + e.name + "/" + e.number + "/" +
               std::to_string(e.type) + ";";
    return out;
}

TEST(NameDirectory, ParsesLinesOfEveryShape) {
    const std::string n40(40, 'n'), n29(29, 'n');
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"[SIM]\r\n1,Anna+,0301\r\n[FDN]\r\n2,B*,1\r\n", "1/Anna+/0301/0;2/B*/1/0;"},
        {"1,Anna,0301\n2,Bob,0302", "1/Anna/0301/0;2/Bob/0302/0;"},  // LF only, no last line end
        {"5,Bob\r\n", "5///0;"},                                     // one comma
        {"garbage\r\n\r\n3,C,3\r\n", "3/C/3/0;"},
        {"4,Smith, John,0301\r\n", "4/Smith, John/0301/0;"},
        {"6,[Work] Al,1\r\n", ""},  // "[" anywhere marks a header
        {"8," + n40 + "," + n40 + "\r\n", "8/" + n29 + "/" + n29 + "/0;"},
        {"x,A,1\r\n", "0/A/1/0;"},
    };
    for (const auto& [content, expected] : cases)
        EXPECT_EQ(render(parseNameDirectory(content)), expected) << content;
}

TEST(NameDirectory, StopsAt600Records) {
    std::string content = "[SIM]\r\n";
    for (int i = 1; i <= 700; ++i)
        content += std::to_string(i) + ",N,1\r\n";
    const auto got = parseNameDirectory(content);
    ASSERT_EQ(got.size(), kNameDirectorySize);
    EXPECT_EQ(got.back().index, 600);
}

}  // namespace
}  // namespace vondrix::phonebook
