#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "foundation/IniFile.h"
#include "foundation/Settings.h"
#include "support/FileTraps.h"

namespace vondrix {
namespace {

namespace fs = std::filesystem;

class IniTest : public ::testing::Test {
  protected:
    IniTest() {
        dir = fs::temp_directory_path() /
              ("vondrix-ini-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        path = (dir / "Vondrix.ini").string();
    }
    ~IniTest() override { fs::remove_all(dir); }
    void write(const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    std::string read() const {
        std::ifstream in(path, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    fs::path dir;
    std::string path;
};

TEST_F(IniTest, MissingFileGivesDefaultsAndFirstWriteCreatesIt) {
    IniFile ini(path);
    EXPECT_EQ(ini.getString("Vondrix", "TPref", "dflt"), "dflt");
    EXPECT_EQ(ini.getInt("Vondrix", "Port", -1), -1);
    EXPECT_FALSE(fs::exists(path));
    ASSERT_TRUE(ini.writeString("Vondrix", "Port", "1"));
    EXPECT_EQ(read(), "[Vondrix]\r\nPort=1\r\n");
}

TEST_F(IniTest, LookupIsCaseInsensitiveAndTrimsAndUnquotes) {
    write("[other]\nport=5\n[VONDRIX]\n  PORT = 3  \nTPref=\"0049\"\n; Port=9\n");
    IniFile ini(path);
    EXPECT_EQ(ini.getInt("Vondrix", "Port", -1), 3);
    EXPECT_EQ(ini.getString("vondrix", "tpref", ""), "0049");
    EXPECT_EQ(ini.getInt("Vondrix", "Missing", 7), 7);
    EXPECT_EQ(ini.getInt("Vondrix", "TPref", 0), 49);
    // Values are read as at most 259 characters.
    write("[Vondrix]\nPtxt0=" + std::string(400, 'x') + "\n");
    EXPECT_EQ(IniFile(path).getString("Vondrix", "Ptxt0", "").size(), 259u);
}

TEST_F(IniTest, WritesKeepForeignSectionsUnknownKeysAndComments) {
    const std::string original =
        "; my "
        "comment\r\n[Other]\r\nKeep=me\r\n\r\n[Vondrix]\r\nReadB=0\r\nUnknown=x\r\n\r\n[Tail]\r\nA="
        "1\r\n";
    write(original);
    IniFile ini(path);
    ASSERT_TRUE(ini.writeString("Vondrix", "readb", "1"));   // replaced in place
    ASSERT_TRUE(ini.writeString("Vondrix", "TPref", "12"));  // appended to its section
    ASSERT_TRUE(ini.writeString("New", "K", "v"));           // new section at the end
    EXPECT_EQ(read(),
              "; my comment\r\n[Other]\r\nKeep=me\r\n\r\n[Vondrix]\r\nreadb=1\r\nUnknown=x\r\n"
              "TPref=12\r\n\r\n[Tail]\r\nA=1\r\n\r\n[New]\r\nK=v\r\n");
    EXPECT_EQ(ini.getString("Other", "Keep", ""), "me");
}

TEST_F(IniTest, FailedWriteLeavesTheOldFileIntact) {
    VONDRIX_NEEDS_FILE_TRAPS();
    write("[Vondrix]\nPort=2\n");
    IniFile ini(path);
    bool wrote = true;
    {
        const test::FileSizeLimit limit(16);  // the new file cannot be written whole
        wrote = ini.writeString("Vondrix", "TPref", std::string(100, '1'));
    }
    EXPECT_FALSE(wrote);
    EXPECT_EQ(read(), "[Vondrix]\nPort=2\n");
    EXPECT_EQ(ini.getInt("Vondrix", "Port", -1), 2);
    EXPECT_EQ(ini.getString("Vondrix", "TPref", "none"), "none");
    for (const auto& e : fs::directory_iterator(dir))
        EXPECT_EQ(e.path().filename(), "Vondrix.ini") << "temporary file left behind";
}

TEST_F(IniTest, FifoInPlaceOfTheFileGivesDefaultsAndIsNotReplaced) {
    VONDRIX_NEEDS_FILE_TRAPS();
    ASSERT_TRUE(test::makeFifo(path));
    const test::Watchdog watchdog("a FIFO as Vondrix.ini", 10);
    IniFile ini(path);
    EXPECT_EQ(ini.getInt("Vondrix", "Port", -1), -1);
    EXPECT_EQ(ini.readError(), files::FileError::NotRegular);
    EXPECT_FALSE(ini.writeString("Vondrix", "Port", "1"));
    EXPECT_EQ(fs::status(path).type(), fs::file_type::fifo);
}

// Read once; a write reads the file anew, so that lines changed by someone
// else meanwhile are kept, and from then on lookups see what was written.
TEST_F(IniTest, ReadOnceAndAgainOnlyWhenWriting) {
    write("[Vondrix]\r\nPort=2\r\n");
    IniFile ini(path);
    EXPECT_EQ(ini.getInt("Vondrix", "Port", -1), 2);
    write("[Vondrix]\r\nPort=5\r\nReadB=1\r\n");
    EXPECT_EQ(ini.getInt("Vondrix", "Port", -1), 2);
    ASSERT_TRUE(ini.writeString("Vondrix", "SwapD", "1"));
    EXPECT_EQ(read(), "[Vondrix]\r\nPort=5\r\nReadB=1\r\nSwapD=1\r\n");
    EXPECT_EQ(ini.getInt("Vondrix", "Port", -1), 5);
    EXPECT_EQ(ini.getInt("Vondrix", "SwapD", 0), 1);
}

// A 5 MB file whose real keys come at its end, after sections and lines
// that must not match: every start-up key is read right.
TEST_F(IniTest, LargeFileWithTheKeysAtItsEnd) {
    const char* const keys[] = {
        "Debug",   "ReadB",     "SwapD",     "Port",    "MonRef",  "MonProt",  "GSMconv",  "Rem0",
        "SMSstat", "IntPrefix", "Separator", "NoModem", "WaitSec", "CheckSMS", "W2KCable", "TPref"};
    std::string text;
    text.reserve(5u << 20);
    // Other sections holding the same key names.
    for (int s = 0; text.size() < (4u << 20); ++s) {
        text += "[Other" + std::to_string(s) + "]\r\n";
        for (const char* k : keys)
            text += std::string(k) + "=99\r\n";
        text += "; Port=98\r\n";
    }
    text += "[vondrix]\r\n";
    for (int i = 0; text.size() < (5u << 20); ++i)
        text += "Unknown" + std::to_string(i) + "=" + std::string(40, 'u') + "\r\n";
    text +=
        "readb=1\r\nSwapD=1\r\nPort=3\r\nMonRef=7\r\nMonProt=1\r\nGSMconv=1\r\n"
        "Rem0=1\r\nSMSstat=1\r\nIntPrefix=1\r\nSeparator=;\r\nNoModem=1\r\nWaitSec=9\r\n"
        "CheckSMS=1\r\nW2KCable=1\r\nTPref='0049'\r\nDebug=4\r\nPtxt49=Last text\r\n"
        "MCol4=44\r\nGCol0=10\r\nPort=4\r\n";
    text += "[Vondrix]\r\nPort=5\r\nTCol2=55\r\n";  // a second section of the name is ignored
    ASSERT_GE(text.size(), 5u << 20);
    write(text);

    IniFile ini(path);
    Settings s;
    s.readOptions(ini);
    s.readTextsAndColumns(ini);
    EXPECT_EQ(s.debug, 4);
    EXPECT_TRUE(s.readB && s.swapD && s.monProt && s.gsmConv && s.rem0 && s.smsStat &&
                s.intPrefix && s.noModem && s.checkSms && s.w2kCable);
    EXPECT_EQ(s.port, 3);  // the first line of a key wins
    EXPECT_EQ(s.monRef, 7);
    EXPECT_EQ(s.waitSec, 9);
    EXPECT_EQ(s.separator, ';');
    EXPECT_EQ(s.tPref, "0049");
    EXPECT_EQ(s.ptxt[49], "Last text");
    EXPECT_EQ(s.ptxt[48], "");
    EXPECT_EQ(s.mCol[4], 44);
    EXPECT_EQ(s.gCol[0], 10);
    EXPECT_EQ(s.tCol[2], 0);
}

TEST_F(IniTest, SettingsDefaultsConversionsAndCuts) {
    write(
        "[Vondrix]\nTPref=0049123456789\nReadB=yes\nSwapD=2\nPort=abc\nSeparator=;x\n"
        "Ptxt3=" +
        std::string(250, 'p') + "\nMCol3=120\nTimeout=0\n");
    Settings s;
    IniFile ini(path);
    s.readOptions(ini);
    s.readTextsAndColumns(ini);
    EXPECT_EQ(s.tPref, "004912345");  // cut to 9
    EXPECT_FALSE(s.readB);            // non-numeric text is 0
    EXPECT_TRUE(s.swapD);             // any nonzero value is on
    EXPECT_EQ(s.port, 0);             // "abc" converts to 0 = COM1
    EXPECT_EQ(s.separator, ';');
    EXPECT_EQ(s.ptxt[3].size(), 199u);
    EXPECT_EQ(s.mCol[3], 120);
    EXPECT_EQ(s.monRef, 2);
    EXPECT_EQ(s.waitSec, 5);
    EXPECT_EQ(s.timeoutSec, 10);  // a limit of 0 would wait forever
    EXPECT_EQ(s.searchTimeoutSec, 120);
    EXPECT_FALSE(s.fastRead);  // the specified traffic unless asked for
}

TEST_F(IniTest, FastReadIsReadAndWrittenAsAFlag) {
    write("[Vondrix]\r\nFastRead=1\r\n");
    Settings s;
    IniFile ini(path);
    s.readOptions(ini);
    EXPECT_TRUE(s.fastRead);
    s.fastRead = false;
    ASSERT_TRUE(s.write(ini, Settings::Key::FastRead));
    EXPECT_EQ(read(), "[Vondrix]\r\nFastRead=0\r\n");
}

// The limits become milliseconds: a huge value must neither wrap to a
// short limit nor turn negative and wait for ever.
TEST_F(IniTest, TransactionLimitsAreClamped) {
    const struct {
        const char* value;
        int timeout, search;
    } cases[] = {
        {"0", 10, 120},
        {"-5", 10, 120},
        {"30", 30, 30},
        {"4294968", Settings::kMaxTimeoutSec, Settings::kMaxSearchTimeoutSec},
        {"2147484", Settings::kMaxTimeoutSec, Settings::kMaxSearchTimeoutSec},
        {"99999999999999", Settings::kMaxTimeoutSec, Settings::kMaxSearchTimeoutSec},
    };
    for (const auto& c : cases) {
        write(std::string("[Vondrix]\nTimeout=") + c.value + "\nSearchTimeout=" + c.value + "\n");
        Settings s;
        s.readOptions(IniFile(path));
        EXPECT_EQ(s.timeoutSec, c.timeout) << c.value;
        EXPECT_EQ(s.searchTimeoutSec, c.search) << c.value;
    }
}

TEST(SettingsPort, ChosenAndDevicePath) {
    Settings s;
    EXPECT_FALSE(s.portChosen());
    EXPECT_EQ(s.serialDevicePath(), "");
    s.port = 1;
    EXPECT_TRUE(s.portChosen());
#ifdef _WIN32
    EXPECT_EQ(s.serialDevicePath(), "COM2");
#else
    EXPECT_EQ(s.serialDevicePath(), "/dev/ttyS1");
#endif
    s.port = 7;
    EXPECT_FALSE(s.portChosen());
    s.device = "/dev/ttyUSB0";
    EXPECT_TRUE(s.portChosen());
    EXPECT_EQ(s.serialDevicePath(), "/dev/ttyUSB0");
}

}  // namespace
}  // namespace vondrix
