// The local phonebook file: section replacement, the atomic save and the
// name-directory loader.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <utility>

#include "phonebook/LocalFile.h"
#include "support/FileTraps.h"
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
using test::fileText;

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

class LocalFileDisk : public ::testing::Test {
  protected:
    ~LocalFileDisk() override { fs::remove_all(dir); }
    std::string at(const std::string& name) const { return dir + "/" + name; }
    std::string dir = test::makeTempDir("phb");
    std::string path = at(kLocalFileName), temp = at(kLocalTempName);
    test::RecordingReporter reporter;
};

TEST_F(LocalFileDisk, SaveReplacesTheFileWholeOrNotAtAll) {
    VONDRIX_NEEDS_FILE_TRAPS();
    EXPECT_TRUE(loadNameDirectory(path).empty());  // no file yet
    ASSERT_TRUE(saveToLocalFile(book(Kind::Fixed, {entry(1, "Fix", "112")}), path, reporter));
    ASSERT_TRUE(saveToLocalFile(book(Kind::Sim, {entry(1, "Anna", "0301")}), path, reporter));
    const std::string saved = "[SIM]\r\n1,Anna,0301\r\n[FDN]\r\n1,Fix*,112\r\n";
    EXPECT_EQ(fileText(path), saved);
    EXPECT_FALSE(fs::exists(temp));
    EXPECT_EQ(loadNameDirectory(path).size(), 2u);

    EXPECT_FALSE(saveToLocalFile(book(Kind::Sim, {}), at("no/") + kLocalFileName, reporter));
    {
        // The new content cannot be written whole: the old file stays.
        const test::FileSizeLimit limit(16);
        EXPECT_FALSE(saveToLocalFile(book(Kind::Internal, {}), path, reporter));
    }
    EXPECT_EQ(fileText(path), saved);
    EXPECT_EQ(reporter.ids(), (std::vector<int>{msg::FileNotSaved, msg::DiskFull}));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 1)
        << "a temporary file was left behind";
}

// Whatever is found under the temporary file's name is left alone, and the
// save goes on under a unique name beside it.
TEST_F(LocalFileDisk, AnythingAtTheTemporaryNameIsLeftAlone) {
    VONDRIX_NEEDS_FILE_TRAPS();
    const std::string victim = at("victim");
    struct Case {
        const char* what;
        std::function<void()> plant;
        std::function<bool()> untouched;
    };
    const std::vector<Case> cases = {
        {"a link to another file", [&] { fs::create_symlink(victim, temp); },
         [&] { return fs::is_symlink(temp) && fileText(victim) == "victim"; }},
        {"a dangling link", [&] { fs::create_symlink(at("made"), temp); },
         [&] { return fs::is_symlink(temp) && !fs::exists(at("made")); }},
        {"a file left by a crash", [&] { test::writeText(temp, "[SIM]\r\n1,Half"); },
         [&] { return fileText(temp) == "[SIM]\r\n1,Half"; }},
        {"a folder", [&] { fs::create_directory(temp); }, [&] { return fs::is_directory(temp); }},
    };
    for (const Case& c : cases) {
        fs::remove_all(dir);
        fs::create_directory(dir);
        ASSERT_TRUE(test::writeText(path, "[SIM]\r\n1,Old,1\r\n"));
        ASSERT_TRUE(test::writeText(victim, "victim"));
        c.plant();
        EXPECT_TRUE(saveToLocalFile(book(Kind::Sim, {entry(2, "New", "2")}), path, reporter))
            << c.what;
        EXPECT_EQ(fileText(path), "[SIM]\r\n2,New,2\r\n") << c.what;
        EXPECT_TRUE(c.untouched()) << c.what;
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 3)
            << c.what << ": a temporary file was left behind";
    }
    EXPECT_TRUE(reporter.shown.empty());
}

TEST_F(LocalFileDisk, SymlinkedFileIsReadThroughAndReplaced) {
    VONDRIX_NEEDS_FILE_TRAPS();
    ASSERT_TRUE(test::writeText(at("elsewhere.phb"), "[SIM]\r\n1,A,1\r\n"));
    fs::create_symlink(at("elsewhere.phb"), path);
    ASSERT_TRUE(saveToLocalFile(book(Kind::Internal, {entry(1, "B", "2")}), path, reporter));
    EXPECT_FALSE(fs::is_symlink(path));
    EXPECT_EQ(fileText(path), "[SIM]\r\n1,A,1\r\n[INT]\r\n1,B+,2\r\n");
    EXPECT_EQ(fileText(at("elsewhere.phb")), "[SIM]\r\n1,A,1\r\n");
}

TEST_F(LocalFileDisk, FifoOrFolderInPlaceOfTheFileIsRefused) {
    VONDRIX_NEEDS_FILE_TRAPS();
    ASSERT_TRUE(test::makeFifo(path));
    fs::create_directory(at("dir.phb"));
    const test::Watchdog watchdog("a FIFO as Vondrix.phb", 10);
    for (const std::string& p : {path, at("dir.phb")}) {
        EXPECT_TRUE(loadNameDirectory(p).empty());
        EXPECT_FALSE(saveToLocalFile(book(Kind::Sim, {}), p, reporter));
    }
    EXPECT_EQ(reporter.ids(), (std::vector<int>{msg::NotARegularFile, msg::NotARegularFile}));
    EXPECT_EQ(fs::status(path).type(), fs::file_type::fifo);
    EXPECT_FALSE(fs::exists(temp));
}

TEST_F(LocalFileDisk, OldMacLineEndsAreLineEnds) {
    ASSERT_TRUE(test::writeText(path, "[SIM]\r1,Anna,0301\r[FDN]\r1,Fix*,112\r"));
    EXPECT_EQ(loadNameDirectory(path).size(), 2u);
    ASSERT_TRUE(saveToLocalFile(book(Kind::Internal, {entry(4, "Bo", "7")}), path, reporter));
    EXPECT_EQ(fileText(path),
              "[SIM]\r\n1,Anna,0301\r\n[INT]\r\n4,Bo+,7\r\n[FDN]\r\n1,Fix*,112\r\n");
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
