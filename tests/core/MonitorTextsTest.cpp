// The network monitor's fields as texts, which the window and the command
// line both show: formats, languages, and values outside the text tables.

#include <gtest/gtest.h>

#include <functional>

#include "network/NetworkInfo.h"
#include "session/NetworkMonitorSession.h"

namespace vondrix {
namespace {

using network::CurrentCall;
using network::MonitorView;

struct Row {
    const char* situation;
    std::function<void(MonitorView&)> prepare;
    Language language;
    std::function<void(const MonitorTexts&)> check;
};

TEST(MonitorTexts, FieldsByTheirRules) {
    const Row rows[] = {
        {"nothing read yet leaves every field empty", [](MonitorView&) {}, Language::English,
         [](const MonitorTexts& t) {
             EXPECT_EQ(t.operatorCode, "");
             EXPECT_EQ(t.cellHex, "");
             EXPECT_EQ(t.registration, "");
             EXPECT_EQ(t.signalBitmap, 0);
             EXPECT_TRUE(t.calls.empty());
         }},
        {"cell and area in four hexadecimal digits and in decimal",
         [](MonitorView& v) {
             v.cellId = 0xAB;
             v.lac = 0x5E25;
         },
         Language::English,
         [](const MonitorTexts& t) {
             EXPECT_EQ(t.cellHex, "00AB");
             EXPECT_EQ(t.cellDecimal, "171");
             EXPECT_EQ(t.lacHex, "5E25");
             EXPECT_EQ(t.lacDecimal, "24101");
         }},
        {"operator name from the phone in Latin-1",
         [](MonitorView& v) {
             v.operatorName =
                 "T\xE9l\xE9"
                 "com";
             v.operatorCode = 20801;
         },
         Language::French,
         [](const MonitorTexts& t) {
             EXPECT_EQ(t.operatorName, "Télécom");
             EXPECT_EQ(t.operatorCode, "20801");
         }},
        {"roaming in German", [](MonitorView& v) { v.registrationState = 5; }, Language::German,
         [](const MonitorTexts& t) { EXPECT_EQ(t.registration, "Roaming"); }},
        {"a registration state above the table shows its number",
         [](MonitorView& v) { v.registrationState = 9; }, Language::English,
         [](const MonitorTexts& t) { EXPECT_EQ(t.registration, "9"); }},
        {"activity 5 is outside the table", [](MonitorView& v) { v.activity = 5; },
         Language::English, [](const MonitorTexts& t) { EXPECT_EQ(t.activity, "5"); }},
        {"reception 99 is no level", [](MonitorView& v) { applyRssi(v.reception, 99); },
         Language::English,
         [](const MonitorTexts& t) {
             EXPECT_TRUE(t.receptionUnknown);
             EXPECT_EQ(t.reception, "");
             EXPECT_EQ(t.signalBitmap, 132);
         }},
        {"reception 20", [](MonitorView& v) { applyRssi(v.reception, 20); }, Language::English,
         [](const MonitorTexts& t) {
             EXPECT_FALSE(t.receptionUnknown);
             EXPECT_EQ(t.reception, "-73 dBm / 0.050 nW");
             EXPECT_EQ(t.signalBitmap, 135);
         }},
        {"calls in Spanish, one state and one mode outside their tables",
         [](MonitorView& v) {
             v.calls = {CurrentCall{1, 1, 4, 0, "+4930123456"}, CurrentCall{2, 0, 8, 12, ""}};
         },
         Language::Spanish,
         [](const MonitorTexts& t) {
             ASSERT_EQ(t.calls.size(), 2u);
             EXPECT_EQ(t.calls[0].index, "1");
             EXPECT_EQ(t.calls[0].direction, ">");
             EXPECT_EQ(t.calls[0].state, "Entrante");
             EXPECT_EQ(t.calls[0].mode, "Voz");
             EXPECT_EQ(t.calls[0].number, "+4930123456");
             EXPECT_EQ(t.calls[1].direction, "<");
             EXPECT_EQ(t.calls[1].state, "8");
             EXPECT_EQ(t.calls[1].mode, "12");
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.situation);
        MonitorView view;
        row.prepare(view);
        row.check(monitorTexts(view, row.language));
    }
}

}  // namespace
}  // namespace vondrix
