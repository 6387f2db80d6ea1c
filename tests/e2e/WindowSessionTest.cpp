// The window sessions against the simulated phone: what the desktop program
// and the command line both rely on when a window opens and closes.

#include <gtest/gtest.h>

#include "SessionRig.h"
#include "session/MainWindowSession.h"
#include "session/PhonebookWindowSession.h"

namespace vondrix {
namespace {

using namespace std::chrono_literals;
using phonesim::Fault;

using Rig = test::SessionRig;

// The phone stalls or drops the link at the third location of the SIM, or
// gives a size that is no range: the window tells it once and its closing
// save leaves the local copy as it was.
TEST(PhonebookWindowSession, BrokenReadNeverReplacesTheLocalCopy) {
    const std::pair<const char*, std::function<void(phonesim::Simulator&)>> breaks[] = {
        {"stall",
         [](auto& sim) {
             sim.injectFault({Fault::Kind::Stall, "AT+CPBR=3", 0, 0});
         }},
        {"drop",
         [](auto& sim) {
             sim.injectFault({Fault::Kind::Drop, "AT+CPBR=3", 5, 0});
         }},
        {"a size that is no range",
         [](auto& sim) {
             sim.addCommand("+CPBR", [](phonesim::Context&, const phonesim::Command&) {
                 return phonesim::Reply::ok({"+CPBR: 1-100,20,14"});
             });
         }},
    };
    for (const auto& [name, breakRead] : breaks) {
        SCOPED_TRACE(name);
        Rig rig;
        const std::string old = "[SIM]\r\n1,Old entry,0301\r\n[INT]\r\n2,Kept,0302\r\n";
        std::ofstream(rig.localFile(), std::ios::binary) << old;
        breakRead(rig.sim);
        PhonebookWindowSession window(rig.session, rig.reporter, rig.localFile());
        const auto t0 = std::chrono::steady_clock::now();
        window.open();
        EXPECT_LT(std::chrono::steady_clock::now() - t0, 3s);
        EXPECT_FALSE(window.model().current.complete);
        EXPECT_TRUE(window.model().current.rows.empty());
        EXPECT_TRUE(window.close({50, 100, 100}, {50, 100, 100}));
        EXPECT_EQ(rig.read(rig.localFile()), old);
        ASSERT_EQ(rig.reporter.ids().size(), 1u);
        EXPECT_TRUE(rig.reporter.ids()[0] == msg::PhoneNotAnswering ||
                    rig.reporter.ids()[0] == msg::LinkLost ||
                    rig.reporter.ids()[0] == msg::PhonebookSizeUnreadable);
        // Nothing was asked after the broken location.
        for (const auto& line : rig.sim.receivedLines())
            EXPECT_NE(line, "AT+CPBR=4");
    }
}

TEST(PhonebookWindowSession, CompleteReadIsSavedOnClose) {
    Rig rig;
    PhonebookWindowSession window(rig.session, rig.reporter, rig.localFile());
    window.open();
    ASSERT_TRUE(window.model().current.complete);
    EXPECT_TRUE(window.close({40, 120, 110}, {40, 120, 110}));
    EXPECT_EQ(rig.read(rig.localFile()).rfind("[SIM]\r\n", 0), 0u);
    EXPECT_EQ(rig.session.settings.tCol, (std::array<int, 3>{40, 120, 110}));
    EXPECT_NE(rig.read(rig.dir + "/Vondrix.ini").find("TCol1=120"), std::string::npos);
}

TEST(MainWindowSession, OpeningStopsAtALinkFailureAndClosingDoesNotWaitAgain) {
    Rig rig;
    rig.session.settings.smsStat = true;
    rig.sim.injectFault({Fault::Kind::Stall, "AT+CGMM", 0, 0});
    MainWindowSession window(rig.session, rig.reporter);
    EXPECT_FALSE(window.open());
    EXPECT_EQ(window.state().device.manufacturer, "SIEMENS");
    EXPECT_EQ(window.state().device.model, "");
    EXPECT_EQ(rig.reporter.ids(), std::vector<int>{msg::PhoneNotAnswering});
    const auto sent = rig.sim.receivedLines();
    EXPECT_EQ(sent.back(), "AT+CGMM");
    rig.sim.clearReceived();
    window.close();  // the phone did not answer: no second wait
    EXPECT_TRUE(rig.sim.receivedLines().empty());
}

TEST(MainWindowSession, OptionsAreWrittenInTheirOrderAndRoutingIsSent) {
    Rig rig;
    OptionsForm form;
    form.port = 1;
    form.readB = true;
    form.smsStat = true;
    form.tPref = "+4912345678999";
    applyOptions(rig.session, rig.reporter, form);
    EXPECT_EQ(rig.sim.receivedLines(), std::vector<std::string>{"AT+CNMI=1,0,0,2"});
    EXPECT_EQ(rig.read(rig.dir + "/Vondrix.ini"),
              "[Vondrix]\r\nPort=1\r\nReadB=1\r\nSwapD=0\r\nGSMconv=0\r\nIntPrefix=0\r\nRem0=0\r\n"
              "NoModem=0\r\nW2KCable=0\r\nSMSstat=1\r\nTPref=+49123456\r\n");
    EXPECT_EQ(rig.session.settings.tPref, "+49123456");
}

}  // namespace
}  // namespace vondrix
