// CSV, XML and vCard exports, byte for byte.

#include <gtest/gtest.h>

#include <filesystem>

#include "phonebook/Export.h"
#include "support/FileTraps.h"
#include "support/PhonebookEntries.h"
#include "support/RecordingReporter.h"
#include "support/RunProcess.h"

namespace vondrix::phonebook {
namespace {

using test::entry;

// Read order 3, 1, 5, 2, 4; the entry at table position 2 was deleted since.
CurrentPhonebook sample() {
    CurrentPhonebook b;
    b.entries = {entry(3, "Anna", "+44"), entry(1, "Bob!", "0301"), entry(5, "Gone", "0303"),
                 entry(2, "Hi! M\xFCller & <Co>", "0304"), entry(4, "Line\r\nBreak", "0305")};
    b.deleted = {2};
    return b;
}

TEST(Export, NamesOfFilesAndEntries) {
    EXPECT_EQ(defaultExportName(Kind::Sim, "csv"), "Vondrix_SM.csv");
    EXPECT_EQ(defaultExportName(Kind::Internal, "xml"), "Vondrix_ME.xml");
    EXPECT_EQ(defaultExportName(Kind::Fixed, "csv"), "Vondrix_FD.csv");
    EXPECT_EQ(defaultVcardName("A/B!"), "A_B!.vcf");
    EXPECT_EQ(defaultVcardName(""), "Vondrix.vcf");
    // Only a trailing "!" is the Redbook marker.
    EXPECT_EQ(exportName("Anna!"), "Anna");
    EXPECT_EQ(exportName("Hi! Tom"), "Hi! Tom");
    EXPECT_EQ(exportName("!"), "");
}

TEST(Export, CsvAndXmlInTableOrderWithoutDeletedEntries) {
    EXPECT_EQ(csvText(sample()),
              "NR;NAME;TELNUM\r\n3;Anna;'+44\r\n1;Bob;'0301\r\n2;Hi! M\xFCller & <Co>;'0304\r\n"
              "4;Line  Break;'0305\r\n");
    EXPECT_EQ(xmlText(sample()),
              "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\r\n<PHONEBOOK>\r\n"
              "<ENTRY>\r\n<NO>3</NO>\r\n<NAME>Anna</NAME>\r\n<TELNUMBER>+44</TELNUMBER>\r\n"
              "</ENTRY>\r\n"
              "<ENTRY>\r\n<NO>1</NO>\r\n<NAME>Bob</NAME>\r\n<TELNUMBER>0301</TELNUMBER>\r\n"
              "</ENTRY>\r\n"
              "<ENTRY>\r\n<NO>2</NO>\r\n<NAME>Hi! M\xFCller &amp; &lt;Co></NAME>\r\n"
              "<TELNUMBER>0304</TELNUMBER>\r\n</ENTRY>\r\n"
              "<ENTRY>\r\n<NO>4</NO>\r\n<NAME>Line  Break</NAME>\r\n"
              "<TELNUMBER>0305</TELNUMBER>\r\n</ENTRY>\r\n"
              "</PHONEBOOK>\r\n");
    EXPECT_EQ(
        xmlText(CurrentPhonebook{}),
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\r\n<PHONEBOOK>\r\n</PHONEBOOK>\r\n");
}

TEST(Export, VcardKeepsTheNameAsShownAndStampsLocalTime) {
    std::tm t{};
    t.tm_year = 2024 - 1900;
    t.tm_mon = 2;
    t.tm_mday = 5;
    t.tm_hour = 7;
    t.tm_min = 8;
    t.tm_sec = 9;
    EXPECT_EQ(vcardText("Anna!", "+44", t),
              "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Anna!\r\nFN:Anna!\r\nTEL;HOME;VOICE:+44\r\n"
              "REV:20240305T070809Z\r\nEND:VCARD\r\n");
}

TEST(Export, WritesTheTextsAndReportsFailures) {
    const std::string dir = test::makeTempDir("export");
    const CurrentPhonebook b = sample();
    test::RecordingReporter reporter;
    std::tm t{};
    ASSERT_TRUE(test::writeText(dir + "/a.csv", "an older, longer export that is replaced"));
    ASSERT_TRUE(exportCsv(b, dir + "/a.csv", reporter));
    ASSERT_TRUE(exportXml(b, dir + "/a.xml", reporter));
    ASSERT_TRUE(exportVcard(Row{3, "Anna", "+44", 0}, dir + "/a.vcf", t));
    EXPECT_EQ(test::fileText(dir + "/a.csv"), csvText(b));
    EXPECT_EQ(test::fileText(dir + "/a.xml"), xmlText(b));
    EXPECT_EQ(test::fileText(dir + "/a.vcf"), vcardText("Anna", "+44", t));
    EXPECT_TRUE(reporter.shown.empty());

    const std::string bad = dir + "/missing/x";
    EXPECT_FALSE(exportCsv(b, bad, reporter));
    EXPECT_FALSE(exportXml(b, bad, reporter));
    EXPECT_FALSE(exportVcard(Row{}, bad, t));  // silently
    EXPECT_EQ(reporter.ids(), (std::vector<int>{25, 25}));
    std::filesystem::remove_all(dir);
}

// A write that fails half-way (here: the file size limit) leaves no new
// file, and an existing file as it was.
TEST(Export, FailedWriteLeavesNoFileAndKeepsAnOldOne) {
    VONDRIX_NEEDS_FILE_TRAPS();
    const std::string dir = test::makeTempDir("export");
    const CurrentPhonebook b = sample();
    ASSERT_TRUE(test::writeText(dir + "/old.xml", "old"));
    test::RecordingReporter reporter;
    std::tm t{};
    bool csv = true, xml = true, vcf = true;
    {
        const test::FileSizeLimit limit(16);
        csv = exportCsv(b, dir + "/new.csv", reporter);
        xml = exportXml(b, dir + "/old.xml", reporter);
        vcf = exportVcard(Row{3, "Anna", "+44", 0}, dir + "/new.vcf", t);
    }
    EXPECT_FALSE(csv || xml || vcf);
    // A full disk says so; the file could be opened.
    EXPECT_EQ(reporter.ids(), (std::vector<int>{msg::DiskFull, msg::DiskFull}));
    std::vector<std::string> left;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        left.push_back(e.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"old.xml"});
    EXPECT_EQ(test::fileText(dir + "/old.xml"), "old");
    std::filesystem::remove_all(dir);
}

TEST(Export, FifoOrFolderAsTargetIsRefused) {
    VONDRIX_NEEDS_FILE_TRAPS();
    const std::string dir = test::makeTempDir("export");
    ASSERT_TRUE(test::makeFifo(dir + "/fifo.csv"));
    test::RecordingReporter reporter;
    std::tm t{};
    const test::Watchdog watchdog("exporting to a FIFO", 10);
    for (const std::string& target : {dir + "/fifo.csv", dir}) {
        EXPECT_FALSE(exportCsv(sample(), target, reporter));
        EXPECT_FALSE(exportXml(sample(), target, reporter));
        EXPECT_FALSE(exportVcard(Row{}, target, t));
    }
    EXPECT_EQ(reporter.ids(), std::vector<int>(4, msg::NotARegularFile));
    EXPECT_EQ(std::filesystem::status(dir + "/fifo.csv").type(), std::filesystem::file_type::fifo);
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace vondrix::phonebook
