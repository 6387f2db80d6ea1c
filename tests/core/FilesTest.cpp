// The file helpers under hostile conditions: links and leftovers where the
// temporary file goes, FIFOs and folders where a file belongs, and writes
// that fail half-way.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "files/Files.h"
#include "files/UserFolder.h"
#include "support/FileTraps.h"
#include "support/RunProcess.h"

namespace vondrix::files {
namespace {

namespace fs = std::filesystem;
using test::fileText;
using test::writeText;

class FilesTest : public ::testing::Test {
  protected:
    ~FilesTest() override { fs::remove_all(dir); }
    std::string at(const std::string& name) const { return dir + "/" + name; }
    // How many entries the folder holds.
    long entries() const {
        return std::distance(fs::directory_iterator(dir), fs::directory_iterator{});
    }
    std::string dir = test::makeTempDir("files");
};

TEST_F(FilesTest, ReadsOnlyRegularFilesAndNeverBlocks) {
    VONDRIX_NEEDS_FILE_TRAPS();
    ASSERT_TRUE(writeText(at("plain"), "a\r\nb"));
    fs::create_directory(at("folder"));
    ASSERT_TRUE(test::makeFifo(at("fifo")));
    struct Case {
        std::string path;
        FileError error;
        std::string content;
    };
    const std::vector<Case> cases = {
        {at("plain"), FileError::None, "a\r\nb"},
        {at("missing"), FileError::NotFound, ""},
        {at("missing/x"), FileError::NotFound, ""},
        {at("plain/x"), FileError::NotFound, ""},
        {at("folder"), FileError::NotRegular, ""},
        {at("fifo"), FileError::NotRegular, ""},   // no writer: would block for ever
        {"/dev/zero", FileError::NotRegular, ""},  // would never end
    };
    const test::Watchdog watchdog("reading a FIFO", 10);
    for (const Case& c : cases) {
        const ReadResult r = readRegularFile(c.path);
        EXPECT_EQ(r.error, c.error) << c.path;
        EXPECT_EQ(r.content, c.content) << c.path;
    }
}

TEST_F(FilesTest, ReplacementKeepsPermissionBits) {
    ASSERT_TRUE(writeText(at("private"), "old"));
    fs::permissions(at("private"), fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_EQ(replaceFileAtomically(at("private"), "new"), FileError::None);
    EXPECT_EQ(fs::status(at("private")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(FilesTest, NonRegularTargetsAreRefusedWithoutBlocking) {
    VONDRIX_NEEDS_FILE_TRAPS();
    fs::create_directory(at("folder"));
    ASSERT_TRUE(test::makeFifo(at("fifo")));
    const test::Watchdog watchdog("writing a FIFO", 10);
    for (const std::string name : {"folder", "fifo"}) {
        EXPECT_EQ(replaceFileAtomically(at(name), "x", "Vondrix.$$$"), FileError::NotRegular)
            << name;
        EXPECT_EQ(appendToFile(at(name), "x"), FileError::NotRegular) << name;
    }
    EXPECT_EQ(fs::status(at("fifo")).type(), fs::file_type::fifo);
    EXPECT_EQ(entries(), 2) << "a temporary file was left behind";
    EXPECT_EQ(appendToFile("/dev/null", "x"), FileError::NotRegular);
    EXPECT_EQ(replaceFileAtomically(at("missing/x"), "x"), FileError::CannotOpen);
    EXPECT_EQ(appendToFile(at("missing/x"), "x"), FileError::CannotOpen);
}

// A start from the menu: XDG_DATA_HOME counts only when absolute; the
// folder is created for the user alone and becomes the working directory.
TEST_F(FilesTest, UserFolderFollowsXdgAndIsCreatedPrivate) {
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    const struct {
        const char* xdg;  // nullptr: unset
        std::string folder;
    } cases[] = {
        {"/srv/data", "/srv/data/vondrix"},
        {"relative/data", "/home/u/.local/share/vondrix"},
        {nullptr, "/home/u/.local/share/vondrix"},
    };
    ::setenv("HOME", "/home/u", 1);
    for (const auto& c : cases) {
        c.xdg ? ::setenv("XDG_DATA_HOME", c.xdg, 1) : ::unsetenv("XDG_DATA_HOME");
        EXPECT_EQ(userDataFolder(), c.folder) << (c.xdg ? c.xdg : "unset");
    }
    ::unsetenv("XDG_DATA_HOME");
    ::setenv("HOME", home.c_str(), 1);
    const fs::path before = fs::current_path();
    const std::string folder = dir + "/share/vondrix";
    ASSERT_TRUE(enterUserFolder(folder, nullptr));
    EXPECT_EQ(fs::current_path(), fs::path(folder));
    EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all);
    fs::current_path(before);
}

TEST_F(FilesTest, AppendCreatesThenAppends) {
    ASSERT_EQ(appendToFile(at("log"), "one\r\n"), FileError::None);
    ASSERT_EQ(appendToFile(at("log"), "two\r\n"), FileError::None);
    EXPECT_EQ(fileText(at("log")), "one\r\ntwo\r\n");
}

// Writes that fail half-way (the file size limit stops them after 16 bytes,
// whoever runs the test) never leave a new file and never cost an old one.
TEST_F(FilesTest, FailedWritesLeaveNoNewFileAndKeepOldOnes) {
    VONDRIX_NEEDS_FILE_TRAPS();
    const std::string big(4096, 'x');
    ASSERT_TRUE(writeText(at("old-replace"), "old content"));
    ASSERT_TRUE(writeText(at("old-append"), "old content"));
    struct Case {
        const char* what;
        std::function<FileError()> write;
        std::string path, after;  // after: "<missing>" for no file
    };
    const std::vector<Case> cases = {
        {"replace, new file", [&] { return replaceFileAtomically(at("new-replace"), big, "t"); },
         at("new-replace"), "<missing>"},
        {"replace, old file", [&] { return replaceFileAtomically(at("old-replace"), big, "t"); },
         at("old-replace"), "old content"},
        {"append, new file", [&] { return appendToFile(at("new-append"), big); }, at("new-append"),
         "<missing>"},
        // What did fit is cut off again: no partial line stays.
        {"append, old file", [&] { return appendToFile(at("old-append"), big); }, at("old-append"),
         "old content"},
    };
    for (const Case& c : cases) {
        FileError error;
        {
            const test::FileSizeLimit limit(16);
            error = c.write();
        }
        EXPECT_EQ(error, FileError::NoSpace) << c.what;  // not "could not be opened"
        EXPECT_EQ(fileText(c.path), c.after) << c.what;
    }
    EXPECT_EQ(entries(), 2) << "a temporary file was left behind";
}

// What a writer killed between creating its temporary file and renaming it
// left behind goes on the next save of that file; nothing else does.
TEST_F(FilesTest, StaleTemporariesOfTheTargetGoOnItsNextSave) {
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
    const std::string live = std::to_string(::getpid());
    struct Case {
        const char* situation;
        std::string name;
        bool aged;
        bool removed;
    };
    const std::vector<Case> cases = {
        {"a dead writer's, old", "out.csv.999999999.3.1a2b", true, true},
        {"the preferred name, old", "out.$$$", true, true},
        {"a dead writer's, fresh", "out.csv.999999999.4.1a2b", false, false},
        {"a live writer's, old", "out.csv." + live + ".5.1a2b", true, false},
        {"another file of the user's", "out.csv.backup", true, false},
        {"another target's", "other.csv.999999999.3.1a2b", true, false},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(writeText(at(c.name), "part"));
        if (c.aged)
            fs::last_write_time(at(c.name), old);
    }
    ASSERT_EQ(replaceFileAtomically(at("out.csv"), "new", "out.$$$"), FileError::None);
    for (const Case& c : cases)
        EXPECT_EQ(fs::exists(at(c.name)), !c.removed) << c.situation;
}

}  // namespace
}  // namespace vondrix::files
