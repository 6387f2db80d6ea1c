// The whole phone into a backup folder and back, against the simulated
// phone: the files read back by independent readers (sha256sum, Debian's
// python3-vobject and python3-icalendar, python3's XML parser and mailbox
// module), a restore into an empty phone, a dry run, a broken link.

#include <gtest/gtest.h>

#include "SessionRig.h"
#include "foundation/CalendarTime.h"
#include "organizer/IcsImport.h"
#include "phonebook/VcardImport.h"
#include "session/Backup.h"
#include "session/Restore.h"

namespace vondrix {
namespace {

namespace fs = std::filesystem;

using Rig = test::SessionRig;

std::tm stamp() {
    return test::calendarTime(2026, 12, 7, 12);
}

using test::python;
using test::pythonHas;
using test::readAll;

// The stores a restore puts back: everything but the call lists (the
// phone's own record), the indexes the phone gives the messages, and the
// status reports (only the network makes them).
struct Restorable {
    std::vector<PhonebookStoreData> books;
    std::vector<std::pair<int, std::string>> own;
    std::vector<std::pair<int, std::string>> messages;  // status, PDU
    std::vector<organizer::RawSlot> organizer;
    std::optional<std::string> logo, ringtone;
    std::vector<std::string> redbook;
};
Restorable restorable(const BackupData& d) {
    Restorable r;
    r.books = d.phonebooks;
    for (const auto& e : d.ownNumbers)
        r.own.emplace_back(e.index, e.number);
    for (const auto& m : d.messages) {
        if (sms::isStorablePdu(m))
            r.messages.emplace_back(m.status, m.pdu);
    }
    r.organizer = d.organizer;
    r.logo = d.logo;
    r.ringtone = d.ringtone;
    for (const auto& e : d.redbook)
        r.redbook.push_back(e.name + "/" + e.number);
    return r;
}
void expectSame(const Restorable& a, const Restorable& b) {
    ASSERT_EQ(a.books.size(), b.books.size());
    for (std::size_t i = 0; i < a.books.size(); ++i) {
        SCOPED_TRACE(a.books[i].store);
        ASSERT_EQ(a.books[i].entries.size(), b.books[i].entries.size());
        for (std::size_t k = 0; k < a.books[i].entries.size(); ++k) {
            const auto &x = a.books[i].entries[k], &y = b.books[i].entries[k];
            EXPECT_EQ(std::tie(x.index, x.number, x.type, x.name),
                      std::tie(y.index, y.number, y.type, y.name));
        }
    }
    EXPECT_EQ(a.own, b.own);
    EXPECT_EQ(a.messages, b.messages);
    EXPECT_EQ(a.organizer, b.organizer);
    EXPECT_EQ(a.logo, b.logo);
    EXPECT_EQ(a.ringtone, b.ringtone);
    EXPECT_EQ(a.redbook, b.redbook);
}

bool isWrite(const std::string& line) {
    for (const char* prefix : {"AT+CPBW", "AT+CMGW", "AT+CMGD", "AT^SBNW", "AT+CMGS"}) {
        if (line.rfind(prefix, 0) == 0)
            return true;
    }
    return false;
}

TEST(Backup, DemoPhoneFolderReadBackByIndependentReaders) {
    VONDRIX_NEEDS_CHILD_PROCESSES();
    Rig rig;
    const std::string folder = rig.dir + "/out";
    BackupData data;
    ASSERT_EQ(backupPhone(rig.session, rig.reporter, folder,
                          DeviceInfo{"SIEMENS", "S35i", "21", "", "", ""}, stamp(), &data),
              BackupResult::Written);
    EXPECT_EQ(rig.reporter.ids(), std::vector<int>{msg::BackupDone});
    // One progress display over every store, never going back.
    EXPECT_EQ(rig.reporter.tasks.size(), 1u);
    EXPECT_TRUE(std::is_sorted(rig.reporter.progress.begin(), rig.reporter.progress.end()));
    EXPECT_EQ(rig.reporter.progress.back(), rig.reporter.progressTotal);

    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"backup.json", "contacts.vcf", "manifest",
                                               "messages.mbox", "messages.xml", "organizer.ics"}));
    // Nothing left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(rig.dir), fs::directory_iterator()), 1);

    const std::string manifest = readAll(folder + "/manifest");
    for (const char* count :
         {"# phonebook SM: 7\n", "# phonebook ME: 3\n", "# phonebook FD: 2\n", "# own numbers: 2\n",
          "# redbook: 1\n", "# dialled calls: 10\n", "# messages: 18\n", "# organizer: 8\n",
          "# logo: 1\n", "# ringtone: 1\n"})
        EXPECT_NE(manifest.find(count), std::string::npos) << count;
    const auto sums = test::runProcess("/usr/bin/sha256sum", {"-c", "manifest"}, folder, {});
    EXPECT_EQ(sums.exitCode, 0) << sums.out << sums.err;
    EXPECT_EQ(std::count(sums.out.begin(), sums.out.end(), '\n'), 5) << sums.out;

    if (!pythonHas("vobject, icalendar, mailbox, xml.dom.minidom"))
        GTEST_SKIP() << "python3-vobject or python3-icalendar is missing (scripts/deps.sh)";
    const std::string read = python(R"(
import vobject, icalendar, mailbox, xml.dom.minidom
cards = list(vobject.readComponents(open('out/contacts.vcf', encoding='utf-8').read()))
print(len(cards), cards[0].fn.value, cards[0].tel.value,
      cards[0].contents['x-vondrix-store'][0].value,
      cards[-1].contents['x-vondrix-location'][0].value)
cal = icalendar.Calendar.from_ical(open('out/organizer.ics', 'rb').read())
print(len(cal.walk('VEVENT')), cal.walk('VEVENT')[0].get('SUMMARY'))
doc = xml.dom.minidom.parse('out/messages.xml')
root = doc.documentElement
smses = root.getElementsByTagName('sms')
required = ['protocol', 'address', 'date', 'type', 'subject', 'body', 'toa', 'sc_toa',
            'service_center', 'read', 'status', 'locked', 'date_sent', 'readable_date']
print(root.tagName, root.getAttribute('count'), len(smses),
      all(s.hasAttribute(a) for s in smses for a in required),
      sorted(set(s.getAttribute('type') for s in smses)),
      all(s.getAttribute('date').isdigit() for s in smses),
      sorted(set(s.getAttribute('read') for s in smses)))
print(smses[1].getAttribute('body'))
box = mailbox.mbox('out/messages.mbox')
mails = list(box)
print(len(mails), mails[0]['Subject'], mails[1].get_payload(decode=True).decode('utf-8'))
)",
                                    rig.dir);
    EXPECT_EQ(read,
              "12 M\xC3\xBCller +4930123456 SM 2\n"
              "8 Geburtstag Anna\n"
              "smses 15 15 True ['1', '2', '3'] True ['0', '1']\n"
              "Gr\xC3\xBC\xC3\x9F"
              "e aus M\xC3\xBCnchen! Sch\xC3\xB6ne Tage noch, J\xC3\xBCrgen. "
              "PS: Der K\xC3\xA4se war k\xC3\xB6stlich.\n"
              "15 SMS from +4930123456 Gr\xC3\xBC\xC3\x9F"
              "e aus M\xC3\xBCnchen! Sch\xC3\xB6ne "
              "Tage noch, J\xC3\xBCrgen. PS: Der K\xC3\xA4se war k\xC3\xB6stlich.\n\n");
}

TEST(Backup, RestoreIntoAnEmptyPhoneGivesTheSameStores) {
    Rig demo;
    const std::string folder = demo.dir + "/out";
    ASSERT_EQ(backupPhone(demo.session, demo.reporter, folder, {}, stamp()), BackupResult::Written);

    Rig empty("empty", {}, phonesim::PhoneState{});
    empty.reporter.pins.push_back("1234");  // the fixed dialling numbers ask for it
    const auto backup = readBackupFolder(folder, empty.reporter);
    ASSERT_TRUE(backup);
    const std::vector<Store> all(std::begin(kAllStores), std::end(kAllStores));
    const auto before = readPhone(empty.session, empty.reporter, all);
    ASSERT_TRUE(before);
    const RestorePlan plan = planRestore(*backup, *before, all);
    EXPECT_EQ(plan.count(RestoreChange::Action::Remove), 0);
    EXPECT_EQ(plan.count(RestoreChange::Action::DoesNotFit), 1);  // the status report
    const RestoreReport report = applyRestore(empty.session, empty.reporter, plan);
    EXPECT_EQ(report.refused, 0) << (report.failures.empty() ? "" : report.failures[0]);
    EXPECT_FALSE(report.linkFailed);

    const auto after = readPhone(empty.session, empty.reporter, all);
    ASSERT_TRUE(after);
    expectSame(restorable(*backup), restorable(*after));
    // A second restore finds nothing to write.
    EXPECT_FALSE(planRestore(*backup, *after, all).writes());
}

TEST(Backup, DryRunAndChangedPhone) {
    Rig rig;
    const std::string folder = rig.dir + "/out";
    ASSERT_EQ(backupPhone(rig.session, rig.reporter, folder, {}, stamp()), BackupResult::Written);
    rig.sim.withState([](phonesim::PhoneState& s) {
        s.sim.entries.erase(1);
        s.sim.entries[2].name = "Changed";
        s.sim.entries[9] = {"0309", 129, "New"};
        s.sms.messages.erase(1);
        s.sms.capacity = 17;  // full without message 1
        s.organizer.objects.erase(2);
    });
    rig.sim.clearReceived();
    const auto backup = readBackupFolder(folder, rig.reporter);
    ASSERT_TRUE(backup);
    const std::vector<Store> some = {Store::Phonebook, Store::Sms, Store::Organizer};
    const auto phone = readPhone(rig.session, rig.reporter, some);
    ASSERT_TRUE(phone);
    const RestorePlan plan = planRestore(*backup, *phone, some);
    for (const std::string& line : rig.sim.receivedLines())
        EXPECT_FALSE(isWrite(line)) << line;
    const std::vector<std::string> lines = plan.lines();
    for (const char* expected :
         {"phonebook SM 1: add \"M\xC3\xBCller\" +4930123456",
          "phonebook SM 2: change \"Changed\" 01712345678 -> \"J\xC3\xBCrgen "
          "\xC3\x96zt\xC3\xBCrk\" "
          "01712345678",
          "phonebook SM 9: remove \"New\" 0309", "organizer slot 2: add 2001/03/15 14:30 \"Team\""})
        EXPECT_NE(std::find(lines.begin(), lines.end(), expected), lines.end()) << expected;
    EXPECT_EQ(plan.count(RestoreChange::Action::Add), 2);  // Müller, slot 2
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& l) {
        return l.starts_with("sms message 1: does not fit") &&
               l.ends_with("(the message memory is full)");
    }));
}

// Own numbers the phone did not give are left out of the backup, and its
// restore leaves the phone's own numbers alone instead of removing them.
TEST(Backup, OwnNumbersNotReadAreNeitherKeptNorRemoved) {
    Rig rig;
    const std::string folder = rig.dir + "/out";
    rig.sim.withState([](phonesim::PhoneState& s) { s.failing.insert("AT+CPBS=ON"); });
    ASSERT_EQ(backupPhone(rig.session, rig.reporter, folder, {}, stamp()), BackupResult::Written);
    rig.sim.withState([](phonesim::PhoneState& s) { s.failing.clear(); });
    const auto backup = readBackupFolder(folder, rig.reporter);
    ASSERT_TRUE(backup);
    EXPECT_FALSE(backup->ownNumbersRead);
    const std::vector<Store> own = {Store::OwnNumbers};
    const auto phone = readPhone(rig.session, rig.reporter, own);
    ASSERT_TRUE(phone && phone->ownNumbersRead && !phone->ownNumbers.empty());
    EXPECT_TRUE(planRestore(*backup, *phone, own).changes.empty());
}

TEST(Backup, LinkFailureLeavesNoFolder) {
    const std::pair<const char*, phonesim::Fault> faults[] = {
        {"messages", {phonesim::Fault::Kind::Drop, "AT+CMGL", 40, 0}},
        {"organizer", {phonesim::Fault::Kind::Stall, "AT^SBNR=vcs,5", 0, 0}},
    };
    for (const auto& [name, fault] : faults) {
        SCOPED_TRACE(name);
        Rig rig;
        rig.sim.injectFault(fault);
        EXPECT_EQ(backupPhone(rig.session, rig.reporter, rig.dir + "/out", {}, stamp()),
                  BackupResult::ReadFailed);
        EXPECT_EQ(std::distance(fs::directory_iterator(rig.dir), fs::directory_iterator()), 0);
        ASSERT_EQ(rig.reporter.ids().size(), 1u);
        EXPECT_NE(rig.reporter.ids()[0], msg::BackupDone);
    }
    // A folder that holds something is never used.
    Rig rig;
    fs::create_directory(rig.dir + "/out");
    std::ofstream(rig.dir + "/out/keep") << "x";
    EXPECT_EQ(backupPhone(rig.session, rig.reporter, rig.dir + "/out", {}, stamp()),
              BackupResult::TargetNotFree);
    EXPECT_EQ(rig.reporter.ids(), std::vector<int>{msg::BackupTargetNotEmpty});
}

// A vCard file and an iCalendar file as an address book and a calendar
// program write them: a dry run sends no write, the import fills free
// locations and slots only, and what did not fit is listed.
TEST(Backup, VcardAndIcalendarImportsIntoFreePlaces) {
    Rig rig;
    const std::string vcf = rig.dir + "/cards.vcf";
    std::ofstream(vcf, std::ios::binary)
        << "BEGIN:VCARD\r\nVERSION:3.0\r\nN:M\xC3\xBCller;Anna;;;\r\nFN:Anna M\xC3\xBCller\r\n"
           "TEL;TYPE=CELL:+49 170 1234\r\nTEL;TYPE=HOME:030 9876\r\nEND:VCARD\r\n"
           "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Taxi Stra\xDF"
           "e\r\nTEL;WORK:0302223344\r\nEND:VCARD\r\n";
    phonebook::PhonebookModel model;
    phonebook::PhonebookReader reader(rig.session.engine, rig.reporter, rig.session.settings,
                                      model);
    phonebook::PhonebookWriter book(reader);
    ASSERT_TRUE(reader.selectCurrent());
    ASSERT_TRUE(reader.readCurrent());
    rig.sim.clearReceived();
    const auto dry = phonebook::importVcard(book, vcf, true);
    EXPECT_EQ(dry.plan.entries.size(), 2u);  // the taxi is in the phonebook already
    EXPECT_EQ(dry.plan.duplicates, 1);
    for (const std::string& line : rig.sim.receivedLines())
        EXPECT_FALSE(isWrite(line)) << line;
    const auto done = phonebook::importVcard(book, vcf, false);
    EXPECT_EQ(done.written, 2);
    const auto lines = rig.sim.receivedLines();
    EXPECT_NE(
        std::find(lines.begin(), lines.end(), "AT+CPBW=5,+491701234,145,\"Anna M\\7Eller M\""),
        lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "AT+CPBW=9,0309876,129,\"Anna M\\7Eller H\""),
              lines.end());

    const std::string ics = rig.dir + "/cal.ics";
    std::ofstream(ics, std::ios::binary)
        << "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Other//EN\r\nBEGIN:VEVENT\r\n"
           "UID:1\r\nDTSTART:20240315T133000Z\r\nRRULE:FREQ=MONTHLY\r\nSUMMARY:Zahnarzt\r\n"
           "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT10M\r\nEND:VALARM\r\nEND:VEVENT\r\n"
           "END:VCALENDAR\r\n";
    organizer::OrganizerList list;
    organizer::OrganizerService organizerService(rig.session.engine, rig.reporter,
                                                 rig.session.settings, list);
    ASSERT_TRUE(organizerService.readAll());
    const auto utc = [](std::int64_t t) { return utcCalendar(static_cast<std::time_t>(t)); };
    const auto r = organizer::importIcs(organizerService, ics, false, utc);
    EXPECT_EQ(r.written, 1);
    std::string object;
    rig.sim.withState([&](phonesim::PhoneState& s) { object = s.organizer.objects[4]; });
    EXPECT_EQ(object,
              "BEGIN:VCALENDAR\r\nVERSION:1.0\r\nBEGIN:VEVENT\r\nCATEGORIES:MISCELLANEOUS\r\n"
              "RRULE:M1\r\nDTSTART:20240315T133000\r\nDALARM:20240315T133000\r\n"
              "AALARM:20240315T133000\r\nDESCRIPTION:Zahnarzt\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
}

}  // namespace
}  // namespace vondrix
