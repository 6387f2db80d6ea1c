// A phone that slips unsolicited result codes (RING, +CMTI, +CREG, a routed
// message with its PDU, ...) into its replies: every window reads what a
// phone that sends none gives, and the files it writes are the same.

#include <gtest/gtest.h>

#include <map>

#include "SessionRig.h"
#include "device/Device.h"
#include "session/MessageListSession.h"
#include "session/OrganizerWindowSession.h"
#include "session/PhonebookWindowSession.h"
#include "session/TransferSession.h"

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
    test::SessionRig rig("unsolicited");
    phonesim::WireOptions wire;
    wire.unsolicitedPercent = percent;
    wire.unsolicitedSeed = 7;
    rig.sim.setWire(wire);
    Session& session = rig.session;
    session.engine.setTimeouts(2000ms, 2000ms);
    session.engine.setOverallExtra(AtEngine::kDefaultOverallExtra);
    test::RecordingReporter& reporter = rig.reporter;

    PhonebookWindowSession phonebook(session, reporter, rig.localFile());
    phonebook.open();
    phonebook.close({50, 100, 100}, {50, 100, 100});
    MessageListSession messages(session, reporter, rig.localFile());
    messages.open();
    messages.exportXml(rig.dir + "/sms.xml");
    OrganizerWindowSession organizer(session, reporter);
    organizer.open();
    organizer.exportCsv(rig.dir + "/organizer.csv");
    AudioState audio;
    TransferSession(session, reporter, audio).downloadLogo(rig.dir + "/logo.bmp");

    Outcome out;
    for (const char* name : {"Vondrix.phb", "sms.xml", "organizer.csv", "logo.bmp"})
        out.files[name] = rig.read(rig.dir + "/" + name);
    out.messages = reporter.ids();
    out.lines = rig.lines();
    out.setAside = session.engine.unsolicitedCount();
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
