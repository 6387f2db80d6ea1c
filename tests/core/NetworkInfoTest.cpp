#include <gtest/gtest.h>

#include "device/Replies.h"

#include "network/NetworkInfo.h"
#include "session/MainWindowSession.h"
#include "text/Latin1.h"

namespace vondrix {
namespace {

TEST(Reception, TextQualityAndBitmap) {
    struct Case {
        int rssi;
        bool known;
        const char* text;
        int quality;
        int bitmap;
    };
    const std::vector<Case> cases = {
        {20, true, "-73 dBm / 0.050 nW", 66, 135},
        {31, true, "-51 dBm / 7.943 nW", 103, 136},
        {0, true, "-113 dBm / 0.000 nW", 0, 132},
        {6, true, "-101 dBm / 0.000 nW", 20, 133},
        {12, true, "-89 dBm / 0.001 nW", 40, 134},
        {18, true, "-77 dBm / 0.020 nW", 60, 135},
        {24, true, "-65 dBm / 0.316 nW", 80, 136},
        // "not known": no level rather than a level of +85 dBm.
        {99, false, "", 0, 132},
        {-1, false, "", 0, 132},
    };
    for (const auto& c : cases) {
        NetworkStatus s;
        applyRssi(s, c.rssi);
        EXPECT_EQ(s.signalKnown, c.known) << c.rssi;
        EXPECT_EQ(s.signalText, c.text) << c.rssi;
        EXPECT_EQ(s.qualityPercent, c.quality) << c.rssi;
        EXPECT_EQ(s.signalBitmap, c.bitmap) << c.rssi;
    }
}

TEST(Battery, BitmapThresholds) {
    const std::vector<std::pair<int, int>> cases = {{0, 127},  {24, 127}, {25, 128},
                                                    {49, 128}, {50, 129}, {74, 129},
                                                    {75, 130}, {99, 130}, {100, 131}};
    for (const auto& [charge, bitmap] : cases)
        EXPECT_EQ(batteryBitmapFor(charge), bitmap) << charge;
}

TEST(NetworkReplies, OperatorTextIsCutAtControlAndHighBytes) {
    const std::vector<std::pair<std::string, std::optional<std::string>>> cases = {
        {"\r\n+COPS: 0,0,\"D1-TELEKOM\"\r\n\r\nOK\r\n", "0,0,\"D1-TELEKOM\""},
        {"\r\n+COPS: 0,0,\"Caf\xE9\"\r\n\r\nOK\r\n", "0,0,\"Caf"},
        {"\r\n+COPS: 0\r\n\r\nOK\r\n", "0"},
        {"\r\n+COPS:", ""},  // nothing after the tag: no read past the reply
        {"\r\nOK\r\n", std::nullopt},
    };
    for (const auto& [reply, text] : cases) {
        NetworkStatus s;
        applyOperatorReply(s, reply);
        EXPECT_EQ(s.operatorText, text) << reply;
    }
}

TEST(NetworkReplies, BatteryNeedsTheComma) {
    NetworkStatus s;
    applyBatteryReply(s, "\r\n+CBC: 0,80\r\n\r\nOK\r\n");
    EXPECT_EQ(s.batteryText, "80%");
    EXPECT_EQ(s.batteryBitmap, 130);
    applyBatteryReply(s, "\r\n+CBC: 55\r\n\r\nOK\r\n");  // no comma: unchanged
    EXPECT_EQ(s.batteryText, "80%");
}

TEST(AudioReplies, RangesAndCurrentTone) {
    AudioState a;
    a.volumeMax = 9;
    parseSrtcTest(a, "\r\n^SRTC: (1-41)\r\n\r\nOK\r\n");
    EXPECT_EQ(a.toneMin, 1);
    EXPECT_EQ(a.toneMax, 41);
    EXPECT_EQ(a.volumeMax, 9);  // the second range is missing: kept
    parseSrtcQuery(a, "\r\n^SRTC: 0,3,0\r\n\r\nOK\r\n");
    EXPECT_EQ(a.ringTone, 0);
    EXPECT_TRUE(a.ringOff);
    EXPECT_EQ(a.volume, 3);
}

TEST(Latin1, RoundTripsAndReplacesWhatDoesNotFit) {
    const std::string latin1 = "M\xFCller \xE9t\xE9 \xDF";
    EXPECT_EQ(latin1ToUtf8(latin1), "Müller été ß");
    EXPECT_EQ(utf8ToLatin1("Müller été ß"), latin1);
    EXPECT_EQ(utf8ToLatin1("€ and 日本"), "? and ??");
    // Bytes that are no UTF-8 are taken as Latin-1 already.
    EXPECT_EQ(utf8ToLatin1(latin1), latin1);
}

}  // namespace
}  // namespace vondrix
