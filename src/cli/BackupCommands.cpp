// backup and restore: the whole phone into a folder and back.

#include <algorithm>
#include <ctime>
#include <ostream>

#include "cli/Cli.h"
#include "files/Files.h"
#include "session/Backup.h"
#include "session/Restore.h"

namespace vondrix::cli {
namespace {

constexpr const char* kBackupUsage =
    R"(Usage: vondrix-cli [LINK OPTIONS] backup DIR

Reads every store of the phone (the SIM, phone and fixed-dialling
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

Exit status: 0 written, 1 the phone could not be read or the folder not
written, 2 usage error, 3 no link to the phone.
)";

constexpr const char* kRestoreUsage =
    R"(Usage: vondrix-cli [LINK OPTIONS] restore DIR [--only STORES] [--dry-run] [--yes]

Compares the backup in DIR with the phone and lists what would change, one
line each: 'STORE WHERE: add|change|remove|does not fit DETAIL'. Then asks
before it writes (--yes answers yes; without a terminal the answer is no).
  --only STORES  a comma list of phonebook, own-numbers, sms, organizer,
                 logo, ringtone (default: all of them)
  --dry-run      list only; nothing is written to the phone
Entries the phone can no longer take (a name too long, a location beyond its
phonebook, a status report) are listed as 'does not fit' and not written.
The call lists and the Redbook follow from the phone's own record and the
names; they are not written. Prints 'added N, changed N, removed N, does not
fit N'; after writing 'written N, refused N'.

Exit status: 0 the phone now holds the backup, 1 the backup is damaged,
something was refused, did not fit or was declined, 2 usage error, 3 no link.
)";

std::tm utcNow() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    return utc;
}

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
                                                inv.main->state().device, utcNow(), &data);
        if (result == BackupResult::ReadFailed && !inv.errorShownSince(before))
            return inv.fail("the phone did not give every store; nothing was written");
        if (result != BackupResult::Written)
            return kExitFailed;
        std::size_t entries = 0;
        for (const auto& p : data.phonebooks)
            entries += p.entries.size();
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
        for (const std::string& line : plan.lines())
            inv.ctx.out << line << '\n';
        using Action = RestoreChange::Action;
        inv.ctx.out << "added " << plan.count(Action::Add) << ", changed "
                    << plan.count(Action::Change) << ", removed " << plan.count(Action::Remove)
                    << ", does not fit " << plan.count(Action::DoesNotFit) << '\n';
        inv.ctx.out.flush();
        const bool fits = plan.count(Action::DoesNotFit) == 0;
        if (dryRun || !plan.writes())
            return fits ? kExitOk : kExitFailed;
        if (inv.reporter->message(msg::ConfirmRestore, Caption::Info, Buttons::YesNo) !=
            Answer::Yes)
            return kExitFailed;
        const RestoreReport report = applyRestore(inv.main->session(), *inv.reporter, plan);
        for (const std::string& line : report.failures)
            inv.ctx.err << "vondrix-cli restore: refused: " << line << '\n';
        inv.ctx.out << "written " << report.written << ", refused " << report.refused << '\n';
        inv.ctx.out.flush();
        return !report.linkFailed && report.refused == 0 && fits ? kExitOk : kExitFailed;
    });
}

}  // namespace

std::vector<CommandEntry> backupCommands() {
    return {
        {"backup",
         "read every store of the phone into a backup folder",
         kBackupUsage,
         {},
         {},
         1,
         1,
         Needs::MainWindow,
         false,
         runBackup},
        {"restore",
         "put a backup folder back on the phone",
         kRestoreUsage,
         {"--only"},
         {"--dry-run", "--yes"},
         1,
         1,
         Needs::MainWindow,
         false,
         runRestore},
    };
}

}  // namespace vondrix::cli
