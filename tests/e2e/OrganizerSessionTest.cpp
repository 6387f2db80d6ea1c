// The organizer window's session against the simulated phone: what the
// desktop program and the command line both rely on when the window opens,
// imports and closes.

#include <gtest/gtest.h>

#include "OrganizerRig.h"
#include "organizer/Names.h"
#include "session/OrganizerWindowSession.h"

namespace vondrix {
namespace {

using namespace std::chrono_literals;

struct Rig : test::SessionRig {
    Rig() : SessionRig("organizer-session") {
        session.engine.setTimeouts(3s, 3s);
        session.engine.setOverallExtra(AtEngine::kDefaultOverallExtra);
    }
    std::map<int, std::string> objects() { return phone().organizer.objects; }
};

TEST(OrganizerWindowSession, OpeningReadsEverySlotWithTheOrganizerProgress) {
    Rig rig;
    rig.session.language = Language::German;
    OrganizerWindowSession window(rig.session, rig.reporter);
    ASSERT_TRUE(window.open());
    EXPECT_EQ(rig.sim.receivedLines().size(), 30u);
    EXPECT_EQ(rig.reporter.tasks, (std::vector<Reporter::Task>{Reporter::Task::ReadingOrganizer}));
    EXPECT_EQ(rig.reporter.progress.back(), 100);
    EXPECT_EQ(window.list().rows().size(), 30u);
    // The list speaks the run's language.
    EXPECT_EQ(organizer::columnText(*window.row(2), organizer::kType, window.language()),
              "W\xF6"
              "chentlich");
    EXPECT_EQ(window.editForm(2).recurrence, 2);
}

TEST(OrganizerWindowSession, ClosingStoresTheColumnWidthsForTheNextOpening) {
    Rig rig;
    OrganizerWindowSession window(rig.session, rig.reporter);
    ASSERT_TRUE(window.open());
    EXPECT_EQ(organizerColumnWidths(rig.session.settings),
              (std::vector<int>{30, 50, 30, 80, 50, 120, 160}));
    ASSERT_TRUE(window.close({30, 50, 30, 0, 50, 120, 240}));
    const std::string ini = rig.read(rig.dir + "/Vondrix.ini");
    EXPECT_NE(ini.find("\r\nOCol3=0\r\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("\r\nOCol6=240\r\n"), std::string::npos) << ini;

    // The next start-up reads them back; 0 keeps the default.
    Settings next;
    next.readTextsAndColumns(IniFile(rig.dir + "/Vondrix.ini"));
    EXPECT_EQ(organizerColumnWidths(next), (std::vector<int>{30, 50, 30, 80, 50, 120, 240}));
}

TEST(OrganizerWindowSession, ImportUsesTheShortDateFormatKeptAtStartUp) {
    const struct {
        const char* format;
        const char* line;
    } cases[] = {
        {"dd.MM.yyyy", "15.03.2001;14:30;1;1;Team;2"},
        {"M/d/yyyy", "3/15/2001;14:30;1;1;Team;2"},
        {"yyyy/MM/dd", "2001/03/15;14:30;1;1;Team;2"},
        {"dd.MM.yy", "15.03.01;14:30;1;1;Team;2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        Rig rig;
        rig.session.shortDateFormat = c.format;
        const std::string path = rig.dir + "/in.csv";
        std::ofstream(path, std::ios::binary) << "DATE;TIME;ALARM;CATEGORY;TEXT;RRULE\r\n"
                                              << c.line << "\r\n";
        OrganizerWindowSession window(rig.session, rig.reporter);
        ASSERT_TRUE(window.open());
        organizer::EntryFields form;
        form.date = {2020, 1, 1};
        const organizer::ImportResult r = window.importCsv(path, form);
        EXPECT_EQ(r.written, 1);
        EXPECT_EQ(form.date, (organizer::Date{2001, 3, 15}));
        EXPECT_EQ(window.row(4)->date, "2001/03/15");
        EXPECT_NE(rig.objects()[4].find("DTSTART:20010315T143000"), std::string::npos);
    }
}

}  // namespace
}  // namespace vondrix
