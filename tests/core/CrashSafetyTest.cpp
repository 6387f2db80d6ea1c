// A process killed with SIGKILL at any moment of a save leaves the target
// file with either its complete old or its complete new content, and
// whatever the killed save left behind does not stop the next one.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <filesystem>
#include <functional>
#include <random>
#include <string>

#include "foundation/IniFile.h"
#include "phonebook/LocalFile.h"
#include "support/FileTraps.h"
#include "support/PhonebookEntries.h"
#include "support/RecordingReporter.h"
#include "support/RunProcess.h"

namespace vondrix {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Outcome {
    int trials = 0;
    int badContent = 0;   // the target was neither version whole
    int failedSaves = 0;  // the save after a kill did not work
    int midSave = 0;      // kills that left a temporary file: the save was under way
};

// Kills need not wait for the disk: a folder in memory when there is one.
std::string scratchDir(const std::string& tag) {
    std::string pattern = "/dev/shm/vondrix-" + tag + "-XXXXXX";
    if (::access("/dev/shm", W_OK) == 0 && ::mkdtemp(pattern.data()))
        return pattern;
    return test::makeTempDir(tag);
}

// `save(v)` writes version v (0 or 1) of `target`, whose complete contents
// are `versions`. A child saves both versions in turn until it is killed:
// every other trial at a random moment, the others at a random moment while
// its temporary file exists. After each kill the target must hold one
// version whole, and a save in this process must still work.
Outcome killDuringSaves(const std::string& target, const std::array<std::string, 2>& versions,
                        const std::function<bool(int)>& save, int trials, Clock::duration budget) {
    Outcome out;
    const Clock::time_point start = Clock::now();
    // Kill within a span of a few saves, so that every step of one is hit;
    // the first saves of a run are slower than the rest.
    auto oneSave = Clock::duration::max();
    for (int i = 0; i < 5; ++i) {
        const Clock::time_point before = Clock::now();
        if (!save(0))
            return out;
        oneSave = std::min(oneSave, Clock::now() - before);
    }
    std::mt19937 random(12345);
    const long span = std::chrono::duration_cast<std::chrono::microseconds>(oneSave).count();
    std::uniform_int_distribution<long> delay(0, 3 * span), probe(0, span / 4 + 1);

    const auto entries = [folder = fs::path(target).parent_path()] {
        return std::distance(fs::directory_iterator(folder), fs::directory_iterator{});
    };
    auto before = entries();
    while (out.trials < trials && Clock::now() - start < budget) {
        int ready[2];
        if (::pipe(ready) != 0)
            break;
        const pid_t child = ::fork();
        if (child == 0) {
            ::alarm(10);  // never outlive a failed test
            ::close(ready[0]);
            const char byte = 1;
            (void)!::write(ready[1], &byte, 1);
            for (int v = 1;; v ^= 1)
                save(v);
        }
        ::close(ready[1]);
        if (child < 0) {
            ::close(ready[0]);
            break;
        }
        char byte = 0;
        (void)!::read(ready[0], &byte, 1);  // the child is about to save
        ::close(ready[0]);
        int status = 0;
        if (out.trials % 2 == 0) {
            ::usleep(static_cast<useconds_t>(delay(random)));
        } else {
            // The temporary file exists only for a short stretch of a save:
            // stop the child at random moments until one falls inside it.
            for (int attempt = 0; attempt < 2000; ++attempt) {
                ::usleep(static_cast<useconds_t>(probe(random)));
                ::kill(child, SIGSTOP);
                ::waitpid(child, &status, WUNTRACED);
                if (entries() > before)
                    break;
                ::kill(child, SIGCONT);
            }
        }
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        ++out.trials;
        const auto after = entries();
        if (after > before)
            ++out.midSave;  // a leftover is never removed
        before = after;

        const std::string now = test::fileText(target);
        if (now != versions[0] && now != versions[1])
            ++out.badContent;
        const int next = out.trials % 2;
        if (!save(next) || test::fileText(target) != versions[static_cast<std::size_t>(next)])
            ++out.failedSaves;
    }
    ::testing::Test::RecordProperty("trials", out.trials);
    ::testing::Test::RecordProperty("killsDuringTheWrite", out.midSave);
    return out;
}

TEST(CrashSafety, KilledPhonebookSaveLeavesOldOrNewFile) {
    const std::string dir = scratchDir("kill-phb");
    const std::string path = dir + "/" + phonebook::kLocalFileName;
    std::array<phonebook::CurrentPhonebook, 2> books;
    for (int i = 1; i <= 250; ++i) {
        books[0].entries.push_back(
            test::entry(i, "Old name " + std::to_string(i), "0301" + std::to_string(i)));
        if (i <= 120)
            books[1].entries.push_back(
                test::entry(i, "New " + std::to_string(i), "+49" + std::to_string(i)));
    }
    const std::array<std::string, 2> versions = {phonebook::replaceSection({}, false, books[0]),
                                                 phonebook::replaceSection({}, false, books[1])};
    test::RecordingReporter reporter;
    const Outcome o = killDuringSaves(
        path, versions,
        [&](int v) {
            return phonebook::saveToLocalFile(books[static_cast<std::size_t>(v)], path, reporter);
        },
        100, std::chrono::seconds(3));
    EXPECT_GE(o.midSave, o.trials / 2) << "kills meant for a save in progress missed it";
    EXPECT_EQ(o.badContent, 0);
    EXPECT_EQ(o.failedSaves, 0);
    fs::remove_all(dir);
}

TEST(CrashSafety, KilledIniWriteLeavesOldOrNewFile) {
    const std::string dir = scratchDir("kill-ini");
    const std::string path = dir + "/Vondrix.ini";
    std::string base = "[Other]\r\n";
    for (int i = 0; i < 100; ++i)
        base += "Key" + std::to_string(i) + "=some value\r\n";
    base += "[Vondrix]\r\nPort=0\r\n";
    ASSERT_TRUE(test::writeText(path, base));
    const std::array<std::string, 2> versions = {iniUpdate(base, "Vondrix", "Port", "0"),
                                                 iniUpdate(base, "Vondrix", "Port", "1")};
    IniFile ini(path);
    const Outcome o = killDuringSaves(
        path, versions,
        [&](int v) { return ini.writeString("Vondrix", "Port", std::to_string(v)); }, 100,
        std::chrono::seconds(3));
    EXPECT_GE(o.midSave, o.trials / 2) << "kills meant for a save in progress missed it";
    EXPECT_EQ(o.badContent, 0);
    EXPECT_EQ(o.failedSaves, 0);
    EXPECT_EQ(IniFile(path).getInt("Vondrix", "Port", -1), o.trials % 2);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace vondrix
