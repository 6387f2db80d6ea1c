// The pure parts of the logo and ringtone transfers: the read reply's
// blocks, the progress with its times, the logo file check, the GIF rule of
// the main window, the ring tone range after a melody upload, the private
// temporary folder and the GIF conversion.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "ImageTools.h"
#include "files/TemporaryFolder.h"
#include "link/SharedReplies.h"
#include "media/LogoPreparation.h"
#include "media/TransferService.h"
#include "session/TransferSession.h"
#include "support/FileTraps.h"
#include "support/RecordingReporter.h"
#include "support/RunProcess.h"

namespace vondrix::media {
namespace {

using Block = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

TEST(SbnrRead, OnlyAWholeObjectIsRead) {
    using State = at::ObjectRead::State;
    struct Case {
        const char* name;
        std::string reply;
        State state;
        std::vector<Block> packets = {};
    };
    const std::string one = "^SBNR: \"bmp\",0,1,3\r\n424D\r\n";
    const std::string two = "^SBNR: \"bmp\",0,2,3\r\n00ff\r\n";
    const std::string three = "^SBNR: \"bmp\",0,3,3\r\n7F\r\n";
    const std::vector<Block> whole = {{0x42, 0x4D}, {0x00, 0xFF}, {0x7F}};
    const std::vector<Case> cases = {
        {"three packets, either case of digits", "\r\n" + one + two + three + "\r\nOK\r\n",
         State::Whole, whole},
        {"no information line: no object", "\r\nOK\r\n", State::Absent},
        {"the echo of the command", "AT^SBNR=bmp,0\r\r\n" + one + two + three + "OK\r\n",
         State::Whole, whole},
        {"a blank line between header and data",
         "^SBNR: bmp,0,1,1\r\n\r\n41\r\nOK\r\n",
         State::Whole,
         {{0x41}}},
        {"LF-only and CR LF LF line ends",
         "^SBNR: bmp,0,1,2\n41\n^SBNR: bmp,0,2,2\r\n\n42\r\n\nOK\n",
         State::Whole,
         {{0x41}, {0x42}}},
        {"no blank after the colon, blanks after commas",
         "^SBNR:bmp, 0, 1, 1 \r\n41 \r\nOK\r\n",
         State::Whole,
         {{0x41}}},
        {"a packet missing", "\r\n" + one + three + "OK\r\n", State::Broken},
        {"the last packet missing", "\r\n" + one + two + "OK\r\n", State::Broken},
        {"packets swapped", "\r\n" + one + three + two + "OK\r\n", State::Broken},
        {"a packet repeated", "\r\n" + one + two + two + three + "OK\r\n", State::Broken},
        {"a header without data", "^SBNR: bmp,0,1,2\r\n^SBNR: bmp,0,2,2\r\n42\r\nOK\r\n",
         State::Broken},
        {"a header at the end", "^SBNR: bmp,0,1,1\r\n\r\nOK\r\n", State::Broken},
        {"another count later", "^SBNR: bmp,0,1,2\r\n41\r\n^SBNR: bmp,0,2,9\r\n42\r\n",
         State::Broken},
        {"count 0", "^SBNR: bmp,0,1,0\r\n41\r\nOK\r\n", State::Broken},
        {"no count", "^SBNR: bmp,0\r\n41\r\nOK\r\n", State::Broken},
        {"odd digits", "^SBNR: bmp,0,1,1\r\n414\r\nOK\r\n", State::Broken},
        {"not hexadecimal", "^SBNR: bmp,0,1,1\r\n4G\r\nOK\r\n", State::Broken},
        {"a header without its colon", "^SBNR bmp,0,1,1\r\n41\r\nOK\r\n", State::Broken},
        {"another object type", "^SBNR: mid,0,1,1\r\n41\r\nOK\r\n", State::Broken},
        {"another index", "^SBNR: bmp,1,1,1\r\n41\r\nOK\r\n", State::Broken},
        {"a line of no packet", "RING\r\n" + one + two + three + "OK\r\n", State::Broken},
    };
    for (const Case& c : cases) {
        const at::ObjectRead read = at::parseSbnrRead(c.reply, "bmp", 0);
        EXPECT_EQ(read.state, c.state) << c.name;
        EXPECT_EQ(read.packets, c.packets) << c.name;
        if (read.whole()) {
            EXPECT_EQ(read.count, static_cast<int>(c.packets.size())) << c.name;
        }
    }
}

// A clock the test moves.
struct FakeClock {
    TransferProgress::Clock::time_point now{};
    TransferProgress::Now function() {
        return [this] { return now; };
    }
    void advance(int seconds) { now += std::chrono::seconds(seconds); }
};

TEST(TransferProgressTimes, PercentagesAndEstimates) {
    vondrix::test::RecordingReporter reporter;
    FakeClock clock;
    {
        TransferProgress progress(reporter, clock.function());
        EXPECT_TRUE(reporter.progressOpen);
        EXPECT_EQ(reporter.progressDisplay, Reporter::Display::Transfer);
        for (int k = 1; k <= 5; ++k) {
            progress.at(k, 5);
            clock.advance(3);
        }
    }
    EXPECT_FALSE(reporter.progressOpen);
    EXPECT_EQ(reporter.progress, (std::vector<int>{20, 40, 60, 80, 100}));
    // Elapsed 0, 3, 6, 9, 12 s; estimate elapsed * 100 / percentage.
    std::vector<std::pair<int, int>> times;
    for (const auto& t : reporter.times)
        times.emplace_back(t.elapsed, t.estimated);
    EXPECT_EQ(times,
              (std::vector<std::pair<int, int>>{{0, 0}, {3, 7}, {6, 10}, {9, 11}, {12, 12}}));
}

TEST(TransferProgressTimes, NothingShownAtZeroOrWithoutACount) {
    vondrix::test::RecordingReporter reporter;
    FakeClock clock;
    TransferProgress progress(reporter, clock.function());
    progress.at(1, 150);  // 0 %: no step, no estimate
    clock.advance(2);
    progress.at(2, 150);    // 1 %
    progress.at(3, 150);    // still 2 % after rounding down? 300 / 150 = 2
    progress.at(4, 0);      // a reply without a count
    progress.at(400, 150);  // more blocks than announced
    EXPECT_EQ(reporter.progress, (std::vector<int>{1, 2, 100}));
    ASSERT_EQ(reporter.times.size(), 3u);
    EXPECT_EQ(reporter.times[0].step, 1);
    EXPECT_EQ(reporter.times[0].elapsed, 2);
    EXPECT_EQ(reporter.times[0].estimated, 200);
}

TEST(LogoCheck, MessagesForTheFileStart) {
    struct Case {
        const char* name;
        std::size_t bytes;
        bool failed;
        const char* start;
        std::optional<msg::Id> problem;
    };
    const Case cases[] = {
        {"a bitmap", 14, false, "BM", std::nullopt},
        {"read failed", 0, true, "", msg::FileSignatureNotRead},
        {"ten bytes", 10, false, "BM", msg::InvalidFileHeader},
        {"a GIF", 14, false, "GI", msg::NotABmpFile},
        {"lower case", 14, false, "bm", msg::NotABmpFile},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(bmpHeaderProblem(c.bytes, c.failed, c.start), c.problem);
    }
}

TEST(LogoCheck, GifRuleAndSegmentCommand) {
    EXPECT_TRUE(isGifPath("C:\\LOGOS\\PHOTO.gif"));
    EXPECT_TRUE(isGifPath("/home/u/TEST.GIF"));
    EXPECT_TRUE(isGifPath("/home/u/a.gif.bmp"));  // the rule looks anywhere in the path
    EXPECT_FALSE(isGifPath("/home/u/photo.Gif"));
    EXPECT_FALSE(isGifPath("/home/u/gif/logo.bmp"));
    EXPECT_EQ(segmentCommand(objectType(ObjectKind::Logo), 3, 10), "AT^SBNW=bmp,0,3,10");
    EXPECT_EQ(segmentCommand(objectType(ObjectKind::Ringtone), 1, 150), "AT^SBNW=mid,0,1,150");
}

TEST(RingToneRange, GrowsOnlyFrom20And41) {
    struct Case {
        bool read;
        int max;
        int after;
    };
    for (const Case& c : {Case{true, 20, 21}, Case{true, 41, 42}, Case{true, 30, 30},
                          Case{true, 42, 42}, Case{false, 41, 41}}) {
        AudioState audio;
        audio.rangesRead = c.read;
        audio.toneMin = 1;
        audio.toneMax = c.max;
        EXPECT_EQ(raiseRingToneRange(audio), c.after != c.max) << c.max;
        EXPECT_EQ(audio.toneMax, c.after) << c.max;
        EXPECT_EQ(audio.toneMin, 1);
    }
    EXPECT_TRUE(melodyReachedPhone(TransferResult::Done));
    EXPECT_TRUE(melodyReachedPhone(TransferResult::PhoneRefused));  // also after a failed segment
    EXPECT_FALSE(melodyReachedPhone(TransferResult::Cancelled));    // deleted again
    EXPECT_FALSE(melodyReachedPhone(TransferResult::FileFailed));
}

TEST(TemporaryFolderTest, PrivateAndRemovedWithItsFiles) {
    VONDRIX_NEEDS_FILE_TRAPS();
    std::string path;
    {
        auto folder = files::TemporaryFolder::create("vondrix-test-");
        ASSERT_TRUE(folder);
        path = folder->path();
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u);
        std::ofstream(folder->file("logo.bmp")) << "BM";
        auto other = files::TemporaryFolder::create("vondrix-test-");
        ASSERT_TRUE(other);
        EXPECT_NE(other->path(), path);
        files::TemporaryFolder moved = std::move(*folder);
        EXPECT_EQ(moved.path(), path);
        EXPECT_TRUE(fs::exists(moved.file("logo.bmp")));
    }
    EXPECT_FALSE(fs::exists(path));
}

TEST(GifConversion, WritesTheBitmapOnlyForAGoodGif) {
    const std::string dir = vondrix::test::makeTempDir("gif2bmp");
    const std::string gif = dir + "/logo.gif";
    const std::string bmp = dir + "/logo.bmp";
    test::writeFile(gif, test::buildGif({.width = 97,
                                         .height = 26,
                                         .globalTable = {{0, 0, 0}, {255, 255, 255}},
                                         .indices = test::Bytes(97 * 26, 1)}));
    GifConversion done = convertGifToBmp(gif, bmp);
    EXPECT_EQ(done.result, ImageResult::Ok);
    EXPECT_TRUE(done.decoded);
    EXPECT_EQ(fs::file_size(bmp), 478u);

    // Refused: code size 9. The old bitmap stays as it was.
    test::writeFile(bmp, {'o', 'l', 'd'});
    test::writeFile(gif, test::buildGif({.width = 4,
                                         .height = 1,
                                         .globalTable = {{0, 0, 0}, {255, 255, 255}},
                                         .minCodeSize = 9,
                                         .indices = test::Bytes(4, 0)}));
    const GifConversion refused = convertGifToBmp(gif, bmp);
    EXPECT_EQ(refused.result, ImageResult::BadFormat);
    EXPECT_FALSE(refused.decoded);
    EXPECT_EQ(test::readFile(bmp), (test::Bytes{'o', 'l', 'd'}));
    EXPECT_EQ(convertGifToBmp(dir + "/none.gif", dir + "/none.bmp").result,
              ImageResult::CannotOpen);
    EXPECT_FALSE(fs::exists(dir + "/none.bmp"));

    // A bitmap that cannot be written: decoded, then refused.
    test::writeFile(gif, test::buildGif({.width = 4,
                                         .height = 1,
                                         .globalTable = {{0, 0, 0}, {255, 255, 255}},
                                         .indices = test::Bytes(4, 0)}));
    const GifConversion unwritten = convertGifToBmp(gif, dir + "/missing/logo.bmp");
    EXPECT_EQ(unwritten.result, ImageResult::CannotCreate);
    EXPECT_TRUE(unwritten.decoded);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace vondrix::media
