// vondrix-cli backup and restore, run as processes on simulated phones:
// the exit statuses, what is printed, and the question before writing.

#include <gtest/gtest.h>

#include "phonesim/PhoneState.h"
#include "support/SimulatedCliTest.h"

namespace vondrix {
namespace {

using phonesim::PhoneState;
using BackupCliTest = test::SimulatedCliTest;

TEST_F(BackupCliTest, BackupThenRestoreAsksBeforeWriting) {
    auto r = run(PhoneState::demo(), {"backup", "out"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "phonebook entries 12, messages 18, organizer 8, logo 1, ringtone 1\n");
    EXPECT_TRUE(exists("out/manifest"));
    // The folder holds something now: refused before the phone is asked.
    r = run(PhoneState::demo(), {"backup", "out"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "vondrix-cli backup: out exists and is not an empty folder\n");

    const PhoneState empty;
    r = run(empty, {"restore", "out", "--only", "organizer,logo", "--dry-run"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("organizer slot 2: add 2001/03/15 14:30 \"Team\"\n"), std::string::npos);
    EXPECT_NE(r.out.find("\nadded 9, changed 0, removed 0, does not fit 0\n"), std::string::npos);
    EXPECT_TRUE(phoneAfter().organizer.objects.empty());
    // Without a terminal the question is answered No: nothing is written.
    r = run(empty, {"restore", "out", "--only", "organizer"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(phoneAfter().organizer.objects.empty());
    r = run(empty, {"--yes", "restore", "out", "--only", "organizer"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(phoneAfter().organizer.objects.size(), 8u);

    r = run(empty, {"restore", "out", "--only", "logo", "--json", "--dry-run"});
    EXPECT_EQ(r.out,
              "{\"changes\":[{\"store\":\"logo\",\"where\":\"\",\"action\":\"add\",\"detail\":"
              "\"478 bytes\"}],\"added\":1,\"changed\":0,\"removed\":0,\"doesNotFit\":0,"
              "\"written\":null,\"refused\":null}\n");
    EXPECT_EQ(run(empty, {"restore", "out", "--only", "calls"}).exitCode, 2);
    writeFile("out/backup.json", "{}");  // no longer what the manifest says
    r = run(empty, {"restore", "out", "--dry-run"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("The backup is incomplete or damaged"), std::string::npos);
}

}  // namespace
}  // namespace vondrix
