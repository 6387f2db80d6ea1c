// Logo and ringtone transfers over a real pty against the simulated phone:
// the exact command lines, the progress, the checks of a logo file, the
// download's blocks, cancelling, and a phone that fails half-way.

#include <gtest/gtest.h>

#include <cstdlib>

#include "SessionRig.h"
#include "media/TransferService.h"
#include "support/Environment.h"
#include "text/Hex.h"

namespace vondrix::media {
namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;
using Bytes = std::string;
using phonesim::PhoneState;
namespace fs = std::filesystem;

// File contents of a given size: the format's magic, then a pattern.
Bytes fileOf(std::size_t size, const std::string& magic) {
    Bytes b = magic.substr(0, size);
    for (std::size_t i = b.size(); i < size; ++i)
        b += static_cast<char>((i * 7 + 3) & 0xFF);
    return b;
}
Bytes bitmapOf(std::size_t size) {
    return fileOf(size, "BM");
}
Bytes midiOf(std::size_t size) {
    return fileOf(size, "MThd");
}

using vondrix::test::readAll;

// A reporter that notes, with every progress step, how many lines the
// phone had received by then.
struct WatchingReporter : test::RecordingReporter {
    void progressStep(int done) override {
        RecordingReporter::progressStep(done);
        linesAtStep.push_back(sim->receivedLines().size());
    }
    const phonesim::Simulator* sim = nullptr;
    std::vector<std::size_t> linesAtStep;
};

struct Rig : test::EngineRig<WatchingReporter> {
    explicit Rig(const std::function<void(PhoneState&)>& prepare = {}) : EngineRig(prepare) {
        reporter.sim = &sim;
        engine.setTimeouts(2s, 2s);
        service.setBlockPause(0ms);
    }
    const std::string* stored(const char* type) {
        stash = phone();
        return stash.objects.find({type, 0});
    }

    TransferService service{engine, reporter};
    PhoneState stash;
};

// The lines of an upload of `content` in segments of `size`, from segment 1 on.
Lines segmentLines(const char* type, const Bytes& content, std::size_t size) {
    const std::size_t count = (content.size() + size - 1) / size;
    Lines lines;
    for (std::size_t k = 1; k <= count; ++k) {
        lines.push_back("AT^SBNW=" + std::string(type) + ",0," + std::to_string(k) + "," +
                        std::to_string(count));
        lines.push_back(hexText(std::string_view(content).substr((k - 1) * size, size)));
    }
    return lines;
}

TEST(TransferUpload, BitmapOf250BytesGoesInFiveSegments) {
    Rig rig;
    const Bytes logo = bitmapOf(250);
    EXPECT_EQ(rig.service.upload(ObjectKind::Logo, rig.file("logo.bmp", logo)),
              TransferResult::Done);
    Lines expected{"AT^SBNW=bmp,0,0"};
    for (auto& l : segmentLines("bmp", logo, 50))
        expected.push_back(l);
    EXPECT_EQ(rig.lines(), expected);
    EXPECT_EQ(expected[2].size(), 100u);
    // Each percentage shows before its segment goes out.
    EXPECT_EQ(rig.reporter.progress, (std::vector<int>{20, 40, 60, 80, 100}));
    EXPECT_EQ(rig.reporter.linesAtStep, (std::vector<std::size_t>{1, 3, 5, 7, 9}));
    EXPECT_EQ(rig.reporter.progressDisplay, Reporter::Display::Transfer);
    EXPECT_EQ(rig.reporter.progressTotal, 100);
    EXPECT_FALSE(rig.reporter.progressOpen);
    EXPECT_EQ(rig.reporter.times.size(), 5u);
    ASSERT_NE(rig.stored("bmp"), nullptr);
    EXPECT_EQ(*rig.stored("bmp"), logo);
    EXPECT_TRUE(rig.reporter.shown.empty());
}

TEST(TransferUpload, MidiOf101BytesGoesAsHundredAndOne) {
    Rig rig;
    const Bytes melody = midiOf(101);
    EXPECT_EQ(rig.service.upload(ObjectKind::Ringtone, rig.file("tune.mid", melody)),
              TransferResult::Done);
    const Lines lines = rig.lines();
    EXPECT_EQ(lines, (Lines{"AT^SBNW=mid,0", "AT^SBNW=mid,0,0", "AT^SBNW=mid,0,1,2",
                            hexText(melody.substr(0, 100)), "AT^SBNW=mid,0,2,2",
                            hexText(melody.substr(100))}));
    EXPECT_EQ(lines.back().size(), 2u);
    EXPECT_EQ(rig.reporter.progress, (std::vector<int>{50, 100}));
    EXPECT_EQ(*rig.stored("mid"), melody);
}

TEST(TransferUpload, MidiOf15000BytesFirstMovesBeforeSegmentTwo) {
    Rig rig;
    const Bytes melody = midiOf(15000);
    EXPECT_EQ(rig.service.upload(ObjectKind::Ringtone, rig.file("long.mid", melody)),
              TransferResult::Done);
    EXPECT_EQ(rig.lines().size(), 2u + 2u * 150u);
    const auto& p = rig.reporter.progress;
    ASSERT_EQ(p.size(), 100u);  // 1 % to 100 %, each once
    EXPECT_EQ(p.front(), 1);
    EXPECT_EQ(p.back(), 100);
    // Segment 1 goes out at 0 %, unannounced: the first step comes after
    // its two lines (and the two before it).
    EXPECT_EQ(rig.reporter.linesAtStep.front(), 2u + 2u);
    // Times come only with a step, so never at 0 %.
    ASSERT_EQ(rig.reporter.times.size(), p.size());
    for (const auto& t : rig.reporter.times)
        EXPECT_GT(t.step, 0);
    EXPECT_EQ(*rig.stored("mid"), melody);
}

TEST(TransferUpload, LogoFileChecksComeAfterTheDelete) {
    struct Case {
        const char* name;
        Bytes content;
        int message;
    };
    const Case cases[] = {
        {"GIF content named .bmp", fileOf(300, "GIF89a"), msg::NotABmpFile},
        {"ten bytes", bitmapOf(10), msg::InvalidFileHeader},
        {"empty file", Bytes(), msg::InvalidFileHeader},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        EXPECT_EQ(rig.service.upload(ObjectKind::Logo, rig.file("picture.bmp", c.content)),
                  TransferResult::FileFailed);
        // The stored logo is gone, and no segment was sent.
        EXPECT_EQ(rig.lines(), Lines{"AT^SBNW=bmp,0,0"});
        EXPECT_EQ(rig.reporter.ids(), std::vector<int>{c.message});
        EXPECT_EQ(rig.reporter.shown[0].caption, Caption::Error);
        EXPECT_EQ(rig.stored("bmp"), nullptr);
        EXPECT_FALSE(rig.reporter.progressOpen);
    }
}

TEST(TransferUpload, FilesThatCannotBeReadSendNothing) {
    Rig rig;
    EXPECT_EQ(rig.service.upload(ObjectKind::Ringtone, rig.dir + "/missing.mid"),
              TransferResult::FileFailed);
    EXPECT_EQ(rig.service.upload(ObjectKind::Logo, rig.dir), TransferResult::FileFailed);
    // An empty melody would only delete the phone's own.
    EXPECT_EQ(rig.service.upload(ObjectKind::Ringtone, rig.file("empty.mid", {})),
              TransferResult::FileFailed);
    EXPECT_EQ(rig.reporter.ids(),
              (std::vector<int>{msg::FileNotOpened, msg::NotARegularFile, msg::FileEmpty}));
    EXPECT_TRUE(rig.lines().empty());
    EXPECT_NE(rig.stored("bmp"), nullptr);
}

TEST(TransferUpload, CancelStopsAfterTheSegmentAndDeletesWhatWasSent) {
    Rig rig;
    // Cancel is pressed while segment 2 is on its way.
    rig.reporter.cancel = [&] { return rig.reporter.progress.size() >= 3; };
    const Bytes logo = bitmapOf(250);
    EXPECT_EQ(rig.service.upload(ObjectKind::Logo, rig.file("logo.bmp", logo)),
              TransferResult::Cancelled);
    Lines expected{"AT^SBNW=bmp,0,0"};
    const Lines segments = segmentLines("bmp", logo, 50);
    expected.insert(expected.end(), segments.begin(), segments.begin() + 4);
    expected.push_back("AT^SBNW=bmp,0,0");
    EXPECT_EQ(rig.lines(), expected);
    const PhoneState after = rig.phone();
    EXPECT_EQ(after.objects.find({"bmp", 0}), nullptr);
    EXPECT_TRUE(after.objects.uploads.empty());  // nothing half-written is kept
    EXPECT_TRUE(rig.reporter.shown.empty());
    EXPECT_FALSE(rig.reporter.progressOpen);
}

TEST(TransferUpload, RefusedSegmentShowsTheTypesMessageOnce) {
    struct Case {
        ObjectKind kind;
        const char* failing;
        Bytes content;
        int message;
    };
    const Case cases[] = {
        {ObjectKind::Logo, "AT^SBNW=bmp,0,3", bitmapOf(250), msg::BmpSendFailed},
        {ObjectKind::Ringtone, "AT^SBNW=mid,0,2", midiOf(250), msg::MidiSendFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failing);
        Rig rig([&](PhoneState& s) { s.failing.insert(c.failing); });
        EXPECT_EQ(rig.service.upload(c.kind, rig.file("object", c.content)),
                  TransferResult::PhoneRefused);
        EXPECT_EQ(rig.lines().back().rfind(c.failing, 0), 0u);  // nothing after the refusal
        EXPECT_EQ(rig.reporter.ids(), std::vector<int>{c.message});
        EXPECT_EQ(rig.reporter.shown[0].caption, Caption::Info);
    }
}

TEST(TransferUpload, LinkFailureHalfWayIsReportedOnceAndSendsNothingMore) {
    Rig rig;
    rig.engine.setTimeouts(300ms, 300ms);
    rig.engine.setOverallExtra(300ms);
    rig.sim.injectFault({phonesim::Fault::Kind::Stall, "AT^SBNW=bmp,0,3", 0, 0});
    EXPECT_EQ(rig.service.upload(ObjectKind::Logo, rig.file("logo.bmp", bitmapOf(250))),
              TransferResult::LinkFailed);
    const Lines lines = rig.lines();
    EXPECT_EQ(lines.back(), "AT^SBNW=bmp,0,3,5");
    EXPECT_EQ(lines.size(), 6u);
    EXPECT_EQ(rig.reporter.ids(), std::vector<int>{msg::PhoneNotAnswering});
    // The stored logo was deleted before the first segment; the phone holds
    // no new one.
    EXPECT_EQ(rig.stored("bmp"), nullptr);
}

TEST(TransferUpload, GifIsConvertedInAPrivateFolderAndSurvives) {
    Rig rig;
    const std::string tmp = rig.dir + "/tmp";
    fs::create_directory(tmp);
    const char* oldTmp = std::getenv("TMPDIR");
    const std::string saved = oldTmp ? oldTmp : "";
    test::setEnv("TMPDIR", tmp.c_str());
    const fs::path source =
        fs::path(VONDRIX_SOURCE_DIR) / "tests/fuzz/corpus/fuzz_gif/two_colours.gif";
    const Bytes gif = readAll(source.string());
    ASSERT_FALSE(gif.empty());
    // A bitmap of the same name beside the GIF is the user's and stays.
    const std::string path = rig.file("PHOTO.gif", gif);
    rig.file("PHOTO.BMP", "mine");
    const TransferResult result = rig.service.sendLogo(path);
    oldTmp ? test::setEnv("TMPDIR", saved.c_str()) : test::unsetEnv("TMPDIR");
    EXPECT_EQ(result, TransferResult::Done);
    EXPECT_EQ(readAll(path), gif);
    EXPECT_EQ(readAll(rig.dir + "/PHOTO.BMP"), "mine");
    EXPECT_TRUE(fs::is_empty(tmp));  // the temporary folder is gone
    ASSERT_NE(rig.stored("bmp"), nullptr);
    EXPECT_EQ(rig.stored("bmp")->substr(0, 2), "BM");
    EXPECT_EQ(rig.lines().front(), "AT^SBNW=bmp,0,0");
}

TEST(TransferUpload, GifRuleAndRefusedGif) {
    Rig rig;
    // ".Gif" is no GIF to the main window: the bitmap check refuses it.
    EXPECT_EQ(rig.service.sendLogo(rig.file("photo.Gif", fileOf(100, "GIF89a"))),
              TransferResult::FileFailed);
    EXPECT_EQ(rig.reporter.ids(), std::vector<int>{msg::NotABmpFile});
    // A damaged GIF is refused before anything is sent.
    rig.forget();
    // 10 x 10, two colours, an image whose code size is 9.
    static constexpr char kBroken[] =
        "GIF89a\x0A\x00\x0A\x00\x80\x00\x00\x00\x00\x00\xFF\xFF\xFF"
        ",\x00\x00\x00\x00\x0A\x00\x0A\x00\x00\x09\x02\x00\x00\x00;";
    const Bytes broken(kBroken, sizeof kBroken - 1);
    EXPECT_EQ(rig.service.sendLogo(rig.file("broken.GIF", broken)), TransferResult::FileFailed);
    EXPECT_EQ(rig.reporter.ids(), std::vector<int>{msg::FileNotOpened});
    EXPECT_TRUE(rig.lines().empty());
}

TEST(TransferDownload, ThreeBlocksAreJoined) {
    const Bytes melody = midiOf(600);  // 254 + 254 + 92 bytes
    Rig rig([&](PhoneState& s) { s.objects.objects[{"mid", 0}] = melody; });
    rig.service.setBlockPause(100ms);
    const std::string path = rig.dir + "/out.mid";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(rig.service.download(ObjectKind::Ringtone, path), TransferResult::Done);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
    EXPECT_EQ(rig.lines(), Lines{"AT^SBNR=mid,0"});
    EXPECT_EQ(readAll(path), melody);
    EXPECT_EQ(rig.reporter.progress, (std::vector<int>{33, 66, 100}));
    EXPECT_TRUE(rig.reporter.shown.empty());
}

TEST(TransferDownload, LargeObjectIsNotCut) {
    const Bytes logo = bitmapOf(15000);
    Rig rig([&](PhoneState& s) { s.objects.objects[{"bmp", 0}] = logo; });
    const std::string path = rig.dir + "/big.bmp";
    EXPECT_EQ(rig.service.download(ObjectKind::Logo, path), TransferResult::Done);
    EXPECT_EQ(readAll(path), logo);
}

TEST(TransferDownload, FailureLeavesAnExistingFileAlone) {
    Rig rig([](PhoneState& s) { s.objects.objects.clear(); });
    const std::string path = rig.file("old.bmp", "keep me");
    EXPECT_EQ(rig.service.download(ObjectKind::Logo, path), TransferResult::PhoneRefused);
    EXPECT_EQ(rig.reporter.ids(), std::vector<int>{msg::LogoReadFailed});
    EXPECT_EQ(readAll(path), "keep me");
    EXPECT_EQ(rig.service.download(ObjectKind::Ringtone, rig.dir + "/new.mid"),
              TransferResult::PhoneRefused);
    EXPECT_FALSE(fs::exists(rig.dir + "/new.mid"));
    EXPECT_EQ(rig.reporter.ids().back(), msg::RingtoneReadFailed);
}

TEST(TransferDownload, OnlyAWholeObjectReplacesTheFile) {
    struct Case {
        const char* name;
        std::vector<std::string> info;  // the phone's information lines
        const char* file;               // nullptr: the old file is kept
    };
    const std::string h1 = "^SBNR: \"bmp\",0,1,3", h2 = "^SBNR: \"bmp\",0,2,3",
                      h3 = "^SBNR: \"bmp\",0,3,3";
    const Case cases[] = {
        {"three packets", {h1, "41", h2, "42", h3, "43"}, "ABC"},
        {"a blank line before the data", {"^SBNR: \"bmp\",0,1,1", "", "4142"}, "AB"},
        {"the phone holds no object", {}, nullptr},
        {"a packet missing", {h1, "41", h3, "43"}, nullptr},
        {"packets swapped", {h1, "41", h3, "43", h2, "42"}, nullptr},
        {"a header without data", {h1, h2, "42", h3, "43"}, nullptr},
        {"data that is not hexadecimal", {"^SBNR: \"bmp\",0,1,1", "41G2"}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.sim.addCommand("^SBNR", [&](phonesim::Context&, const phonesim::Command&) {
            return phonesim::Reply::ok(c.info);
        });
        const std::string path = rig.file("logo.bmp", "keep me");
        const bool whole = c.file != nullptr;
        EXPECT_EQ(rig.service.download(ObjectKind::Logo, path),
                  whole ? TransferResult::Done : TransferResult::PhoneRefused);
        EXPECT_EQ(rig.reporter.ids(),
                  whole ? std::vector<int>{} : std::vector<int>{msg::LogoReadFailed});
        EXPECT_EQ(readAll(path), whole ? c.file : "keep me");
    }
}

TEST(TransferDownload, CancelWritesNothing) {
    Rig rig([&](PhoneState& s) { s.objects.objects[{"mid", 0}] = midiOf(600); });
    rig.reporter.cancel = [&] { return !rig.reporter.progress.empty(); };
    const std::string path = rig.dir + "/out.mid";
    EXPECT_EQ(rig.service.download(ObjectKind::Ringtone, path), TransferResult::Cancelled);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(rig.lines(), Lines{"AT^SBNR=mid,0"});
}

TEST(TransferDownload, FileThatCannotBeWrittenGetsMessage36) {
    Rig rig;
    EXPECT_EQ(rig.service.download(ObjectKind::Logo, rig.dir + "/no/such/folder.bmp"),
              TransferResult::FileFailed);
    EXPECT_EQ(rig.reporter.ids(), std::vector<int>{msg::FileNotOpened});
}

}  // namespace
}  // namespace vondrix::media
