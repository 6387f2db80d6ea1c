// The command line's progress line: it says what is read, advances, never
// shares its line with a message, and is gone when the work ends.

#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "cli/CliReporter.h"

namespace vondrix::cli {
namespace {

using Task = Reporter::Task;

TEST(CliProgress, SaysWhatAdvancesAndClears) {
    std::ostringstream err;
    CliReporter reporter(Language::English, err, CliReporter::Policy::No);
    reporter.setProgressOnTerminal(true);
    reporter.progressBegin(Reporter::Display::Reading, 100, Task::ReadingSim);
    reporter.progressStep(1);
    reporter.progressStep(42);
    reporter.progressStep(42);  // no change, no redraw
    reporter.progressStep(0);   // the readers' closing step keeps what was reached
    reporter.progressEnd();
    EXPECT_EQ(err.str(),
              "\r\033[KReading the SIM phonebook\u2026 0%"
              "\r\033[KReading the SIM phonebook\u2026 1%"
              "\r\033[KReading the SIM phonebook\u2026 42%"
              "\r\033[K");
}

TEST(CliProgress, MessageGetsItsOwnLineAndTheProgressComesBack) {
    std::ostringstream err;
    CliReporter reporter(Language::English, err, CliReporter::Policy::No);
    reporter.setProgressOnTerminal(true);
    reporter.progressBegin(Reporter::Display::Reading, 200, Task::ReadingRedbook);
    reporter.progressStep(100);
    reporter.message(msg::EntryNotModified, Caption::Error, Buttons::Ok);
    reporter.progressEnd();
    EXPECT_EQ(err.str(),
              "\r\033[KReading the Redbook\u2026 0%"
              "\r\033[KReading the Redbook\u2026 50%"
              "\r\033[K"
              "Vondrix Error: The entry could not be modified\n"
              "\r\033[KReading the Redbook\u2026 50%"
              "\r\033[K");
}

TEST(CliProgress, NothingWhenStderrIsNoTerminal) {
    std::ostringstream err;
    CliReporter reporter(Language::English, err, CliReporter::Policy::No);
    reporter.progressBegin(Reporter::Display::Reading, 100, Task::ReadingSim);
    reporter.progressStep(50);
    reporter.progressEnd();
    EXPECT_EQ(err.str(), "");  // the test's stderr is a pipe or a file
}

TEST(CliProgress, AnnouncedAtOnceOnATerminalOnly) {
    std::ostringstream err;
    announce(err, "Asking the phone for its operator list\u2026", true);
    announce(err, "not shown", false);
    EXPECT_EQ(err.str(), "Asking the phone for its operator list\u2026\n");
}

TEST(CliProgress, EveryTaskHasItsOwnLabel) {
    std::set<std::string> labels;
    for (int t = static_cast<int>(Task::Reading); t <= static_cast<int>(Task::Writing); ++t)
        labels.insert(CliReporter::progressLine(static_cast<Task>(t), 7));
    EXPECT_EQ(labels.size(), static_cast<std::size_t>(Task::Writing) + 1);
}

}  // namespace
}  // namespace vondrix::cli
