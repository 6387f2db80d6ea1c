// A phone that slips unsolicited result codes (RING, +CMTI, +CREG, a routed
// message with its PDU, ...) into its replies: every window reads what a
// phone that sends none gives, and the files it writes are the same.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "device/Device.h"
#include "phonesim/Simulator.h"
#include "session/MessageListSession.h"
#include "session/OrganizerWindowSession.h"
#include "session/PhonebookWindowSession.h"
#include "session/TransferSession.h"
#include "support/RecordingReporter.h"
#include "support/RunProcess.h"
#include "support/SimulatorLink.h"

namespace vondrix {
namespace {

using namespace std::chrono_literals;

struct Outcome {
    std::map<std::string, std::string> files;
    std::vector<int> messages;
    std::vector<std::string> lines;  // the command lines the phone received
    std::size_t setAside = 0;
};

Outcome runWindows(int percent) {
    const std::string dir = test::makeTempDir("unsolicited");
    phonesim::WireOptions wire;
    wire.unsolicitedPercent = percent;
    wire.unsolicitedSeed = 7;
    phonesim::Simulator sim(phonesim::PhoneState::demo(), wire);
    Session session(dir + "/Vondrix.ini");
    session.link = test::simulatorLink(sim);
    session.engine.setTimeouts(2000ms, 2000ms);
    test::RecordingReporter reporter;
    const std::string local = dir + "/Vondrix.phb";

    PhonebookWindowSession phonebook(session, reporter, local);
    phonebook.open();
    phonebook.close({50, 100, 100}, {50, 100, 100});
    MessageListSession messages(session, reporter, local);
    messages.open();
    messages.exportXml(dir + "/sms.xml");
    OrganizerWindowSession organizer(session, reporter);
    organizer.open();
    organizer.exportCsv(dir + "/organizer.csv");
    AudioState audio;
    TransferSession(session, reporter, audio).downloadLogo(dir + "/logo.bmp");

    Outcome out;
    for (const char* name : {"Vondrix.phb", "sms.xml", "organizer.csv", "logo.bmp"}) {
        std::ifstream in(dir + "/" + name, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        out.files[name] = bytes.str();
    }
    out.messages = reporter.ids();
    out.lines = sim.receivedLines();
    out.setAside = session.engine.unsolicitedCount();
    std::filesystem::remove_all(dir);
    return out;
}

TEST(UnsolicitedCodes, ChangeNoResultOfAnyWindow) {
    const Outcome clean = runWindows(0);
    ASSERT_EQ(clean.setAside, 0u);
    for (const auto& [name, bytes] : clean.files)
        ASSERT_FALSE(bytes.empty()) << name;
    const Outcome noisy = runWindows(60);
    EXPECT_GT(noisy.setAside, 20u);
    EXPECT_EQ(noisy.files, clean.files);
    EXPECT_EQ(noisy.messages, clean.messages);
    // Not one command more: no re-synchronising for codes the phone may send.
    EXPECT_EQ(noisy.lines, clean.lines);
}

}  // namespace
}  // namespace vondrix
