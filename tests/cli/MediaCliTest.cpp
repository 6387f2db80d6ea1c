// vondrix-cli logo, ringtone and gif2bmp, run as a process on a simulated
// phone whose state file shows what the commands did.

#include <gtest/gtest.h>

#include <filesystem>

#include "foundation/Catalogue.h"
#include "foundation/Reporter.h"
#include "phonesim/PhoneState.h"
#include "support/SimulatedCliTest.h"

namespace vondrix {
namespace {

using phonesim::PhoneState;
using MediaCliTest = test::SimulatedCliTest;
using test::demoWith;
using test::runProcess;

std::string shown(int id, Caption caption) {
    return std::string(captionText(caption)) + ": " +
           std::string(catalogueText(id, Language::English)) + "\n";
}

std::string fileOf(std::size_t size, const std::string& magic) {
    std::string b = magic.substr(0, size);
    while (b.size() < size)
        b += static_cast<char>(b.size() * 7 + 3);
    return b;
}

std::string storedOf(const PhoneState& s, const char* type) {
    const std::string* bytes = s.objects.find({type, 0});
    return bytes ? *bytes : "(none)";
}

TEST_F(MediaCliTest, UploadsReplaceTheObjects) {
    writeFile("logo.bmp", fileOf(130, "BM"));
    auto r = run(PhoneState::demo(), {"logo", "upload", "logo.bmp"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");  // no terminal: no progress line
    EXPECT_EQ(storedOf(phoneAfter(), "bmp"), fileOf(130, "BM"));

    // The demo phone's ring tones end at 41: the melody is tone 42.
    writeFile("tune.mid", fileOf(250, "MThd"));
    r = run(PhoneState::demo(), {"ringtone", "upload", "tune.mid"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Ring tone range: 0-42\n");
    EXPECT_EQ(storedOf(phoneAfter(), "mid"), fileOf(250, "MThd"));
    r = run(demoWith([](PhoneState& s) { s.ringToneMax = 30; }),
            {"ringtone", "upload", "tune.mid"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
}

TEST_F(MediaCliTest, GifLogoIsConvertedAndLeftAlone) {
    const std::filesystem::path source =
        std::filesystem::path(VONDRIX_SOURCE_DIR) / "tests/fuzz/corpus/fuzz_gif/two_colours.gif";
    std::filesystem::copy_file(source, dir + "/logo.GIF");
    const std::string gif = fileText("logo.GIF");
    const auto r = run(PhoneState::demo(), {"logo", "upload", "logo.GIF"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(fileText("logo.GIF"), gif);
    EXPECT_FALSE(exists("logo.BMP"));
    EXPECT_EQ(storedOf(phoneAfter(), "bmp").substr(0, 2), "BM");

    // gif2bmp makes the same bitmap without a phone.
    const auto c = runProcess(VONDRIX_CLI_PATH, {"gif2bmp", "logo.GIF", "out.bmp"}, dir);
    ASSERT_EQ(c.exitCode, 0) << c.err;
    EXPECT_EQ(fileText("out.bmp"), storedOf(phoneAfter(), "bmp"));
}

TEST_F(MediaCliTest, FailuresGiveStatusOneAndTheirMessage) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::string err;
    };
    writeFile("gif.bmp", fileOf(200, "GIF89a"));
    writeFile("short.bmp", "BM34");
    std::filesystem::create_directory(dir + "/folder.gif");
    const std::vector<Case> cases = {
        {"GIF content named .bmp", {"logo", "upload", "gif.bmp"}, shown(40, Caption::Error)},
        {"ten bytes", {"logo", "upload", "short.bmp"}, shown(37, Caption::Error)},
        {"missing file", {"ringtone", "upload", "none.mid"}, shown(36, Caption::Info)},
        {"a folder", {"ringtone", "upload", "."}, shown(104, Caption::Error)},
        {"a folder named .gif", {"logo", "upload", "folder.gif"}, shown(104, Caption::Error)},
        {"download of nothing", {"ringtone", "download", "out.mid"}, shown(72, Caption::Info)},
    };
    const PhoneState phone = demoWith([](PhoneState& s) { s.objects.objects.erase({"mid", 0}); });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto r = run(phone, c.args);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, c.err);
    }
    EXPECT_FALSE(exists("out.mid"));
}

TEST_F(MediaCliTest, DownloadsAndDelete) {
    const std::string logo = fileOf(700, "BM");
    const PhoneState phone = demoWith([&](PhoneState& s) { s.objects.objects[{"bmp", 0}] = logo; });
    auto r = run(phone, {"logo", "download", "out.bmp"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(fileText("out.bmp"), logo);
    r = run(phone, {"ringtone", "download", "out.mid"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(fileText("out.mid"), storedOf(phone, "mid"));
    r = run(phone, {"logo", "delete"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(storedOf(phoneAfter(), "bmp"), "(none)");
    EXPECT_EQ(storedOf(phoneAfter(), "mid"), storedOf(phone, "mid"));
}

TEST_F(MediaCliTest, UsageAndNoModem) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"logo"},
                                                 {"logo", "upload"},
                                                 {"logo", "send", "x"},
                                                 {"logo", "delete", "x"},
                                                 {"ringtone", "upload", "a", "b"},
                                                 {"gif2bmp", "in.gif"}}) {
        const auto r = runProcess(VONDRIX_CLI_PATH, args, dir);
        EXPECT_EQ(r.exitCode, 2) << args.back();
    }
    writeIni("NoModem=1\r\n");
    writeFile("logo.bmp", fileOf(60, "BM"));
    const auto r = run(PhoneState::demo(), {"logo", "upload", "logo.bmp"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("NoModem"), std::string::npos);
    EXPECT_EQ(storedOf(phoneAfter(), "bmp"), storedOf(PhoneState::demo(), "bmp"));
}

TEST_F(MediaCliTest, Gif2BmpRefusesWithoutWriting) {
    // 10 x 10, two colours, an image whose code size is 9.
    static constexpr char kBad[] =
        "GIF89a\x0A\x00\x0A\x00\x80\x00\x00\x00\x00\x00\xFF\xFF\xFF"
        ",\x00\x00\x00\x00\x0A\x00\x0A\x00\x00\x09\x02\x00\x00\x00;";
    writeFile("bad.gif", std::string(kBad, sizeof kBad - 1));
    writeFile("keep.bmp", "mine");
    auto r = runProcess(VONDRIX_CLI_PATH, {"gif2bmp", "bad.gif", "keep.bmp"}, dir);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(fileText("keep.bmp"), "mine");
    r = runProcess(VONDRIX_CLI_PATH, {"gif2bmp", "bad.gif", "new.bmp"}, dir);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(exists("new.bmp"));
    EXPECT_EQ(r.err, "vondrix-cli gif2bmp: bad.gif is not a GIF, or it is damaged or cut short\n");
}

}  // namespace
}  // namespace vondrix
