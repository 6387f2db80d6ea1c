#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "foundation/IniFile.h"
#include "foundation/Settings.h"

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
}

TEST_F(IniTest, ValuesAreReadAsAtMost259Characters) {
    write("[Vondrix]\nPtxt0=" + std::string(400, 'x') + "\n");
    EXPECT_EQ(IniFile(path).getString("Vondrix", "Ptxt0", "").size(), 259u);
}

TEST_F(IniTest, WritesKeepForeignSectionsUnknownKeysAndComments) {
    const std::string original =
        "; my comment\r\n[Other]\r\nKeep=me\r\n\r\n[Vondrix]\r\nReadB=0\r\nUnknown=x\r\n\r\n[Tail]\r\nA=1\r\n";
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
    write("[Vondrix]\nPort=2\n");
    IniFile ini(path);
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    const bool wrote = ini.writeString("Vondrix", "Port", "3");
    fs::permissions(dir, fs::perms::owner_all);
    if (::geteuid() != 0) EXPECT_FALSE(wrote);  // root ignores directory permissions
    EXPECT_EQ(ini.getInt("Vondrix", "Port", -1), wrote ? 3 : 2);
    for (const auto& e : fs::directory_iterator(dir))
        EXPECT_EQ(e.path().filename(), "Vondrix.ini") << "temporary file left behind";
}

TEST_F(IniTest, SettingsDefaultsConversionsAndCuts) {
    write("[Vondrix]\nTPref=0049123456789\nReadB=yes\nSwapD=2\nPort=abc\nSeparator=;x\n"
          "Ptxt3=" + std::string(250, 'p') + "\nMCol3=120\nTimeout=0\n");
    Settings s;
    IniFile ini(path);
    s.readOptions(ini);
    s.readTextsAndColumns(ini);
    EXPECT_EQ(s.tPref, "004912345");   // cut to 9
    EXPECT_FALSE(s.readB);             // non-numeric text is 0
    EXPECT_TRUE(s.swapD);              // any nonzero value is on
    EXPECT_EQ(s.port, 0);              // "abc" converts to 0 = COM1
    EXPECT_EQ(s.separator, ';');
    EXPECT_EQ(s.ptxt[3].size(), 199u);
    EXPECT_EQ(s.mCol[3], 120);
    EXPECT_EQ(s.monRef, 2);
    EXPECT_EQ(s.waitSec, 5);
    EXPECT_EQ(s.timeoutSec, 10);       // a limit of 0 would wait forever
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
    EXPECT_EQ(s.serialDevicePath(), "/dev/ttyS1");
    s.port = 7;
    EXPECT_FALSE(s.portChosen());
    s.device = "/dev/ttyUSB0";
    EXPECT_TRUE(s.portChosen());
    EXPECT_EQ(s.serialDevicePath(), "/dev/ttyUSB0");
}

}  // namespace
}  // namespace vondrix
