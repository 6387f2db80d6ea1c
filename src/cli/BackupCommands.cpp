// backup and restore: the whole phone into a folder and back.

#include <algorithm>
#include <ctime>
#include <ostream>

#include "cli/Cli.h"
#include "cli/Json.h"
#include "files/Files.h"
#include "session/Backup.h"
#include "session/Restore.h"

namespace vondrix::cli {
namespace {

constexpr const char* kBackupHelp =
    R"(Reads every store of the phone (the SIM, phone and fixed-dialling
phonebooks, the own numbers, the Redbook, the call lists, all short messages,
the organizer, the logo and the ringtone) with one progress display and
writes them into the new folder DIR, which must not exist or be empty:
  contacts.vcf   vCard 3.0, one card per entry (X-VONDRIX-STORE, -LOCATION)
  organizer.ics  iCalendar 2.0
  messages.xml   the XML of "SMS Backup & Restore", which Android phones import
  messages.mbox  one mail per message
  backup.json    everything the restore needs (raw PDUs, raw vCalendar objects)
  manifest       counts, and SHA-256 checksums as sha256sum -c reads them
The files are written into a folder beside DIR that takes DIR's name only
when all of them are complete: a failure leaves no DIR behind.

Prints the counts; with --json {"folder", "phonebookEntries", "messages",
"organizer", "logo", "ringtone"}.

Exit status: 0 written, 1 the phone could not be read or the folder not
written, 2 usage error, 3 no link to the phone.
)";

constexpr const char* kRestoreHelp =
    R"(Compares the backup in DIR with the phone and lists what would change, one
line each: 'STORE WHERE: add|change|remove|does not fit DETAIL'. Then asks
before it writes (--yes answers yes; without a terminal the answer is no).
Entries the phone can no longer take (a name too long, a location beyond its
phonebook, a status report) are listed as 'does not fit' and not written.
The call lists and the Redbook follow from the phone's own record and the
names; they are not written. Prints 'added N, changed N, removed N, does not
fit N'; after writing 'written N, refused N'. With --json one document:
{"changes": [{"store", "where", "action", "detail"}], "added", "changed",
"removed", "doesNotFit", "written", "refused"} (written and refused null when
nothing was written).

Exit status: 0 the phone now holds the backup, 1 the backup is damaged,
something was refused, did not fit or was declined, 2 usage error, 3 no link.
)";

int runBackup(Invocation& inv) {
    const std::string dir = inv.line.words[0];
    if (dir.empty())
        return inv.usageError("DIR is empty");
    if (files::folderTargetFree(dir) != files::FileError::None)
        return inv.fail(dir + " exists and is not an empty folder");
    return inv.withSession([&] {
        const auto before = inv.reporter->tally();
        BackupData data;
        const BackupResult result = backupPhone(inv.main->session(), *inv.reporter, dir,
                                                inv.main->state().device, backupStampNow(), &data);
        if (result == BackupResult::ReadFailed && !inv.errorShownSince(before))
            return inv.fail("the phone did not give every store; nothing was written");
        if (result != BackupResult::Written)
            return kExitFailed;
        std::size_t entries = 0;
        for (const auto& p : data.phonebooks)
            entries += p.entries.size();
        if (inv.line.has("--json")) {
            JsonWriter j(inv.ctx.out);
            j.beginObject().key("folder").value(dir);
            j.key("phonebookEntries").value(static_cast<long long>(entries));
            j.key("messages").value(static_cast<long long>(data.messages.size()));
            j.key("organizer").value(static_cast<long long>(data.organizer.size()));
            j.key("logo").value(data.logo.has_value());
            j.key("ringtone").value(data.ringtone.has_value());
            j.endObject().finish();
            inv.ctx.out.flush();
            return kExitOk;
        }
        inv.ctx.out << "phonebook entries " << entries << ", messages " << data.messages.size()
                    << ", organizer " << data.organizer.size() << ", logo " << (data.logo ? 1 : 0)
                    << ", ringtone " << (data.ringtone ? 1 : 0) << '\n';
        inv.ctx.out.flush();
        return kExitOk;
    });
}

int runRestore(Invocation& inv) {
    const std::string dir = inv.line.words[0];
    std::vector<Store> stores(std::begin(kAllStores), std::end(kAllStores));
    if (const std::string* only = inv.line.value("--only")) {
        stores.clear();
        std::string_view rest = *only;
        while (true) {
            const auto comma = rest.find(',');
            const auto store = storeNamed(rest.substr(0, comma));
            if (!store)
                return inv.usageError(
                    "--only takes phonebook, own-numbers, sms, organizer, logo, "
                    "ringtone");
            stores.push_back(*store);
            if (comma == std::string_view::npos)
                break;
            rest.remove_prefix(comma + 1);
        }
    }
    if (inv.line.has("--yes"))
        inv.ctx.answers = CliContext::Answers::Yes;
    const bool dryRun = inv.line.has("--dry-run");
    return inv.withSession([&] {
        const auto before = inv.reporter->tally();
        const auto backup = readBackupFolder(dir, *inv.reporter);
        if (!backup)
            return kExitFailed;
        const auto phone = readPhone(inv.main->session(), *inv.reporter, stores);
        if (!phone) {
            if (inv.errorShownSince(before))
                return kExitFailed;
            return inv.fail("the phone did not give every store; nothing was written");
        }
        const RestorePlan plan = planRestore(*backup, *phone, stores);
        using Action = RestoreChange::Action;
        const bool json = inv.line.has("--json");
        // The list, and what was written (nothing: no report).
        const auto print = [&](const RestoreReport* report) {
            std::ostream& out = inv.ctx.out;
            if (json) {
                JsonWriter j(out);
                j.beginObject().key("changes").beginArray();
                for (const RestoreChange& c : plan.changes) {
                    j.beginObject().key("store").value(storeName(c.store));
                    j.key("where").value(c.where).key("action").value(actionName(c.action));
                    j.key("detail").value(c.detail).endObject();
                }
                j.endArray();
                j.key("added").value(plan.count(Action::Add));
                j.key("changed").value(plan.count(Action::Change));
                j.key("removed").value(plan.count(Action::Remove));
                j.key("doesNotFit").value(plan.count(Action::DoesNotFit));
                j.key("written");
                report ? j.value(report->written) : j.null();
                j.key("refused");
                report ? j.value(report->refused) : j.null();
                j.endObject().finish();
            } else if (!report) {
                for (const std::string& line : plan.lines())
                    out << line << '\n';
                out << "added " << plan.count(Action::Add) << ", changed "
                    << plan.count(Action::Change) << ", removed " << plan.count(Action::Remove)
                    << ", does not fit " << plan.count(Action::DoesNotFit) << '\n';
            } else {
                out << "written " << report->written << ", refused " << report->refused << '\n';
            }
            out.flush();
        };
        if (!json)
            print(nullptr);
        const bool fits = plan.count(Action::DoesNotFit) == 0;
        if (dryRun || !plan.writes() ||
            inv.reporter->message(msg::ConfirmRestore, Caption::Info, Buttons::YesNo) !=
                Answer::Yes) {
            if (json)
                print(nullptr);
            return (dryRun || !plan.writes()) && fits ? kExitOk : kExitFailed;
        }
        const RestoreReport report = applyRestore(inv.main->session(), *inv.reporter, plan);
        for (const std::string& line : report.failures)
            inv.ctx.err << "vondrix-cli restore: refused: " << line << '\n';
        print(&report);
        return !report.linkFailed && report.refused == 0 && fits ? kExitOk : kExitFailed;
    });
}

}  // namespace

std::vector<CommandEntry> backupCommands() {
    return {
        {"backup",
         "read every store of the phone into a backup folder",
         {"DIR"},
         kBackupHelp,
         {{"--json", "", "print the counts as one JSON object"}},
         1,
         1,
         Needs::MainWindow,
         false,
         runBackup},
        {"restore",
         "put a backup folder back on the phone",
         {"DIR"},
         kRestoreHelp,
         {{"--only", "STORES",
           "a comma list of phonebook, own-numbers, sms, organizer, logo, ringtone (default: all "
           "of them)"},
          {"--dry-run", "", "list only; nothing is written to the phone"},
          {"--yes", "", "write without asking"},
          {"--json", "", "print the changes and counts as one JSON document"}},
         1,
         1,
         Needs::MainWindow,
         false,
         runRestore},
    };
}

}  // namespace vondrix::cli
