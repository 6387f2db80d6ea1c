// The main window's opening traffic against the simulated phone.

#include <gtest/gtest.h>

#include "SessionRig.h"
#include "session/MainWindowSession.h"

namespace vondrix {
namespace {

using namespace std::chrono_literals;

using Rig = test::EngineRig<>;

TEST(OpeningSequence, FillsEveryFieldInOrder) {
    Rig rig;
    rig.settings.smsStat = true;
    rig.sim.withState([](phonesim::PhoneState& s) {
        s.rssi = 20;
        s.batteryCharge = 99;
        s.ringTone = 5;
        s.ringVolume = 3;
        s.handsFree = 1;
        s.speakerVolume = 2;
    });
    const MainWindowState st = runOpeningSequence(rig.engine, rig.settings);
    EXPECT_EQ(rig.sim.receivedLines(),
              (std::vector<std::string>{"AT+CMEE=0", "AT+CSMS=1", "AT+CNMI=1,0,0,2", "AT+CGMI",
                                        "AT+CGMM", "AT+CGMR", "AT+CGSN", "AT+CBC", "AT+CREG?",
                                        "AT+CSQ", "AT+COPS?", "AT+CIMI", "AT^SCID", "AT^SRTC=?",
                                        "AT^SRTC?", "AT^SNFS?", "AT^SNFV?"}));
    EXPECT_EQ(st.device.manufacturer, "SIEMENS");
    EXPECT_EQ(st.device.model, "S35i");
    EXPECT_EQ(st.device.revision, "21");
    EXPECT_EQ(st.device.imei, "449107284530215");
    EXPECT_EQ(st.device.imsi, "26201-1234567890");
    EXPECT_EQ(st.device.simSerial, "89490200001234567890");
    EXPECT_EQ(st.network.batteryText, "99%");
    EXPECT_EQ(st.network.batteryBitmap, 130);
    // Siemens phones add location area and cell even in report mode 0.
    EXPECT_EQ(st.network.registration, "0,1,\"5E25\",\"605F\"");
    EXPECT_EQ(st.network.signalText, "-73 dBm / 0.050 nW");
    EXPECT_EQ(st.network.signalBitmap, 135);
    EXPECT_EQ(st.network.operatorText, "0,0,\"D1-TELEKOM\"");
    EXPECT_TRUE(st.audio.rangesRead);
    EXPECT_EQ(st.audio.toneMax, 41);
    EXPECT_EQ(st.audio.volumeMax, 4);
    EXPECT_EQ(st.audio.ringTone, 5);
    EXPECT_EQ(st.audio.volume, 3);
    EXPECT_FALSE(st.audio.ringOff);
    EXPECT_TRUE(st.audio.handsFree);
    EXPECT_EQ(st.audio.speakerVolume, 2);
}

TEST(OpeningSequence, FailedTransactionsLeaveTheirFieldsEmpty) {
    Rig rig;
    rig.sim.withState([](phonesim::PhoneState& s) {
        for (const char* c : {"AT+CGMM", "AT+CSQ", "AT+CIMI", "AT^SRTC=?", "AT+COPS"})
            s.failing.insert(c);
    });
    const MainWindowState st = runOpeningSequence(rig.engine, Settings{});
    EXPECT_EQ(st.device.manufacturer, "SIEMENS");
    EXPECT_EQ(st.device.model, "");
    EXPECT_EQ(st.device.revision, "21");
    EXPECT_EQ(st.device.imsi, "");
    EXPECT_FALSE(st.network.rssi.has_value());
    EXPECT_EQ(st.network.signalText, "");
    EXPECT_FALSE(st.network.operatorText.has_value());
    EXPECT_FALSE(st.audio.rangesRead);
    // Without the ranges the current ring tone is not asked for.
    for (const auto& line : rig.sim.receivedLines())
        EXPECT_NE(line, "AT^SRTC?");
}

TEST(OpeningSequence, RingToneZeroMeansRingToneOff) {
    Rig rig;
    rig.sim.withState([](phonesim::PhoneState& s) { s.ringTone = 0; });
    const MainWindowState st = runOpeningSequence(rig.engine, Settings{});
    EXPECT_EQ(st.audio.ringTone, 0);
    EXPECT_TRUE(st.audio.ringOff);
}

TEST(OpeningSequence, SignalAndBatteryExtremes) {
    struct Case {
        int rssi, battery;
        bool known;
        int signalBitmap, batteryBitmap;
    };
    for (const Case c : {Case{0, 24, true, 132, 127}, Case{31, 100, true, 136, 131},
                         Case{99, 99, false, 132, 130}}) {
        Rig rig;
        rig.sim.withState([&](phonesim::PhoneState& s) {
            s.rssi = c.rssi;
            s.batteryCharge = c.battery;
        });
        NetworkStatus st;
        refreshNetworkInfo(rig.engine, st);
        EXPECT_EQ(st.rssi, c.rssi);
        EXPECT_EQ(st.signalKnown, c.known) << c.rssi;
        EXPECT_EQ(st.signalBitmap, c.signalBitmap) << c.rssi;
        EXPECT_EQ(st.batteryBitmap, c.batteryBitmap) << c.battery;
    }
}

TEST(OpeningSequence, WorksOverChunkedSlowWire) {
    phonesim::WireOptions wire;
    wire.chunkSize = 3;
    wire.chunkGapMs = 1;
    wire.latencyMs = 5;
    Rig rig({}, wire);
    const MainWindowState st = runOpeningSequence(rig.engine, Settings{});
    EXPECT_EQ(st.device.imei, "449107284530215");
    EXPECT_EQ(st.network.operatorText, "0,0,\"D1-TELEKOM\"");
}

TEST(SimulatorFaults, EngineFailsBoundedOnStallDropAndGarbage) {
    using Kind = phonesim::Fault::Kind;
    struct Case {
        const char* situation;
        phonesim::Fault fault;
        AtEngine::Status status;
    };
    const Case cases[] = {
        {"a stall", {Kind::Stall, "AT+CSQ", 4, 0}, AtEngine::Status::LinkFailed},
        {"a dropped link", {Kind::Drop, "AT+CGMI", 5, 0}, AtEngine::Status::LinkFailed},
        // Garbage before the reply does not hide the answer word.
        {"garbage", {Kind::Garbage, "AT+CGMI", 0, 64}, AtEngine::Status::Ok},
        {"an oversized reply", {Kind::Oversized, "AT+CGMR", 0, 30000}, AtEngine::Status::Ok},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.situation);
        Rig rig;
        if (c.status == AtEngine::Status::LinkFailed)
            rig.engine.setTimeouts(800ms, 800ms);
        rig.sim.injectFault(c.fault);
        const AtEngine::Result r = rig.engine.standard(c.fault.commandPrefix);
        EXPECT_EQ(r.status, c.status);
        if (c.fault.kind == Kind::Oversized) {
            EXPECT_GT(r.raw.size(), 30000u);
        }
    }
}

}  // namespace
}  // namespace vondrix
