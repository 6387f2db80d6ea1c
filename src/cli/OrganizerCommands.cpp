// "organizer": the organizer window's commands on the command line, with the
// window's phone traffic and messages. Every command opens the window (the
// reading of all 30 slots), works on its list, and closes it again.

#include <ctime>
#include <ostream>

#include "cli/Cli.h"
#include "cli/Json.h"
#include "foundation/CalendarTime.h"
#include "foundation/Catalogue.h"
#include "organizer/Names.h"
#include "organizer/VCalendar.h"
#include "session/OrganizerWindowSession.h"
#include "text/Latin1.h"

namespace vondrix::cli {

using organizer::EntryFields;
using organizer::Row;
using WriteResult = organizer::OrganizerService::WriteResult;

namespace {

constexpr const char* kOrganizerHelp =
    R"(The organizer window's commands. Each one reads the phone's 30 organizer
slots, as the window does when it opens, then does its work.

Subcommands:
  list      print every slot
  add       store a new entry in the first free slot
  edit      change the entry of a slot
  delete    empty a slot
  clear     empty every slot
  export    write the entries as CSV, XML or iCalendar
  import    store the entries of a CSV file as new entries

Texts on the command line and in the output are UTF-8; the phone keeps
descriptions of at most 16 characters of ISO 8859-1.

Exit status: 0 success, 1 the operation failed (a message was shown, the
phone refused, or a question was answered No), 2 usage error,
3 no link to the phone.
)";

constexpr const char* kListHelp =
    R"(Prints one line per slot the phone answered for, in slot order:

  slot;type;alarm;date;time;category;description

as the window's list shows them: type is the recurrence (Daily, Weekly,
Monthly, Yearly; empty for a one-time entry), alarm '*' or empty, date
YYYY/MM/DD, time HH:MM, category and type in the language of the run
(--lang). A free slot has only its number. An entry that another program
wrote without a start (a to-do, say) has an empty date too but is not free;
neither is a slot whose reply could not be read (its description says
Unreadable, in the language of the run): add never overwrites it.

With --json: {"slots": [...]}, each slot an object with slot, free, unreadable,
recurrence (0-4), type, alarm, date, time, category (0-3, or null), categoryName
and description.

Exit status: 0 success, 1 the slots could not be read, 2 usage error,
3 no link to the phone.
)";

constexpr const char* kAddHelp =
    R"(Stores a new entry in the first free slot, as the window's enter button does.
TEXT is the description: the phone keeps its first 16 characters (a longer
one is cut, after the window's warning). A phone call needs a TEXT that begins
with '+' or a digit. Put '--' before a TEXT that begins with '--'.

Prints the entry written as 'slot;type;alarm;date;time;category;description'
(with --json as an object, as 'organizer list --json' gives it).

Exit status: 0 written, 1 no free slot, the phone refused the entry (its slot
then shows what the phone holds), 2 usage error, 3 no link to the phone.
)";

constexpr const char* kEditHelp =
    R"(Writes the entry of SLOT (1-30) again, as the window's edit dialog does: it
starts from what the slot shows and takes every value given instead. A slot
without a date (free, or written by another program without a start) needs
--date and --time.

Prints the entry written as 'slot;type;alarm;date;time;category;description'.

Exit status: 0 written, 1 the slot could not be read, has no date to keep,
or the phone refused the entry, 2 usage error, 3 no link to the phone.
)";

constexpr const char* kDeleteHelp =
    R"(Empties SLOT (1-30) after the window's question 'really delete?', which
--yes or --no answers (else the terminal asks; without one the answer is No).

Exit status: 0 deleted, 1 not deleted (the slot holds no entry, answered No,
or the phone refused), 2 usage error, 3 no link to the phone.
)";

constexpr const char* kClearHelp =
    R"(Empties all 30 slots after the window's question (--yes, --no or the
terminal answers it; without one the answer is No).

Exit status: 0 every slot empty, 1 answered No or slots remain, 2 usage
error, 3 no link to the phone.
)";

constexpr const char* kExportHelp =
    R"(Writes the entries that have a date, in slot order:
  csv  'DATE;TIME;ALARM;CATEGORY;TEXT;RRULE' and one line per entry, added
       at the end of FILE (ISO 8859-1, CR LF)
  xml  the <ORGANIZER> document, replacing FILE (ISO 8859-1, CR LF)
  ics  an iCalendar 2.0 calendar for today's calendar programs, replacing
       FILE (UTF-8)
The file is not opened afterwards.

Exit status: 0 written, 1 FILE could not be written, 2 usage error, 3 no link.
)";

constexpr const char* kImportHelp =
    R"(Stores every line of a CSV file as a new entry, as the window's import does.
The first line must hold 'DATE;TIME;ALARM;CATEGORY;TEXT' (or with ',', and
optionally ';RRULE'); each further line 'DATE;TIME;ALARM;CATEGORY;TEXT[;RRULE]'.
DATE is read in the system's short date format (from LC_ALL, LC_TIME or LANG;
VONDRIX_DATEFMT, e.g. dd.MM.yyyy, overrides it). A line whose date or time
cannot be read keeps the date or time of the line before (at first today and
the current time), as the window's calendar and time picker do.

Prints 'written N, refused N, skipped N': entries stored, entries refused
(a message each), lines that ended before their TEXT.

With --format ics FILE is an iCalendar file: each VEVENT goes into a free
slot. Start times in UTC or in a time zone of fixed offset become local time;
RRULE FREQ=DAILY, WEEKLY, MONTHLY, YEARLY become the phone's recurrences; a
VALARM sets the alarm; SUMMARY (or DESCRIPTION) is cut to 16 characters. What
could not be kept is listed on stderr; events without a free slot are listed,
not written. --dry-run lists without writing. Prints 'written N, skipped N,
no room N'.

Exit status: 0 every complete line written, 1 FILE could not be read, has no
header, or an entry was refused, 2 usage error, 3 no link to the phone.
)";

// A text of the list as UTF-8 on one output line.
std::string shown(std::string_view latin1) {
    std::string line(latin1);
    for (char& c : line)
        if (static_cast<unsigned char>(c) < 0x20 || c == '\x7f')
            c = ' ';
    return latin1ToUtf8(line);
}

void printRow(std::ostream& out, const Row& row, Language language) {
    for (int c = 0; c < organizer::kColumns; ++c) {
        if (c != 0)
            out << ';';
        out << shown(organizer::columnText(row, c, language));
    }
    out << '\n';
}

void jsonRow(JsonWriter& j, const Row& row, Language language) {
    j.beginObject();
    j.key("slot").value(row.slot);
    j.key("free").value(row.isFree());
    j.key("unreadable").value(row.unreadable);
    j.key("recurrence").value(row.recurrence);
    j.key("type").value(shown(organizer::columnText(row, organizer::kType, language)));
    j.key("alarm").value(row.alarm);
    j.key("date").value(row.date);
    j.key("time").value(row.time);
    j.key("category");
    if (row.category)
        j.value(*row.category);
    else
        j.null();
    j.key("categoryName").value(shown(organizer::columnText(row, organizer::kCategory, language)));
    j.key("description").value(shown(row.description));
    j.endObject();
}

// The value of a slot word: 1 to 30.
std::optional<int> slotWord(const Invocation& inv, const std::string& word, int& slot) {
    const auto value = numberInRange(word, 1, organizer::kSlots);
    if (!value)
        return inv.usageError("not a slot (1-30): '" + word + "'");
    slot = *value;
    return std::nullopt;
}

// What the options of add and edit give; unset where not given.
struct EntryOptions {
    std::optional<organizer::Date> date;
    std::optional<organizer::TimeOfDay> time;
    std::optional<int> category, recurrence;
    std::optional<bool> alarm;
    std::optional<std::string> text;  // ISO 8859-1
};

// Reads and checks every option and TEXT (`textWord`, when given); a usage
// error's status, or nothing when all are good.
std::optional<int> readEntryOptions(const Invocation& inv, const std::string* textWord,
                                    EntryOptions& o) {
    const CommandLine& line = inv.line;
    if (const std::string* v = line.value("--date")) {
        o.date = dateValue(*v);
        if (!o.date)
            return inv.usageError("--date needs a day as YYYY-MM-DD (1601-9999), not '" + *v + "'");
    }
    if (const std::string* v = line.value("--time")) {
        o.time = timeValue(*v);
        if (!o.time)
            return inv.usageError("--time needs HH:MM (00:00-23:59), not '" + *v + "'");
    }
    if (const std::string* v = line.value("--category")) {
        o.category = numberInRange(*v, 0, organizer::kCategories - 1);
        if (!o.category)
            return inv.usageError("--category needs 0, 1, 2 or 3, not '" + *v + "'");
    }
    if (const std::string* v = line.value("--recurrence")) {
        o.recurrence = numberInRange(*v, 0, organizer::kRecurrences - 1);
        if (!o.recurrence)
            return inv.usageError("--recurrence needs 0 to 4, not '" + *v + "'");
    }
    // Only an edit has an alarm to take away.
    const bool noAlarm = inv.entry.option("--no-alarm") && line.has("--no-alarm");
    if (line.has("--alarm") && noAlarm)
        return inv.usageError("give --alarm or --no-alarm, not both");
    if (line.has("--alarm"))
        o.alarm = true;
    else if (noAlarm)
        o.alarm = false;
    if (textWord) {
        const std::string latin1 = utf8ToLatin1(*textWord);
        if (latin1ToUtf8(latin1) != *textWord)
            return inv.usageError("TEXT holds characters outside ISO 8859-1");
        for (const char c : latin1)
            if (static_cast<unsigned char>(c) < 0x20 || c == '\x7f')
                return inv.usageError("TEXT holds a control character");
        o.text = latin1;
    }
    return std::nullopt;
}

// A phone call's description must be a number; checked before any traffic.
std::optional<int> checkPhoneCall(const Invocation& inv, const EntryFields& f) {
    if (f.category == organizer::kPhoneCall && !organizer::beginsWithNumber(f.description))
        return inv.usageError("a phone call (--category 3) needs a TEXT beginning with + or 0-9");
    return std::nullopt;
}

EntryFields applied(EntryFields f, const EntryOptions& o) {
    if (o.date)
        f.date = *o.date;
    if (o.time)
        f.time = *o.time;
    if (o.category)
        f.category = *o.category;
    if (o.recurrence)
        f.recurrence = *o.recurrence;
    if (o.alarm)
        f.alarm = *o.alarm;
    if (o.text)
        f.description = *o.text;
    return f;
}

// Status of an operation that gave `ok`: 0 when it worked and showed no
// error; 1 when a message or an answer said why it did not, else after a
// line of ours that says it.
int finish(const Invocation& inv, bool ok, const CountingReporter::Tally& before,
           const std::string& why) {
    const CountingReporter::Tally now = inv.reporter->tally();
    if (ok && now.errors == before.errors)
        return kExitOk;
    if (now.errors != before.errors || now.declined != before.declined)
        return kExitFailed;
    return inv.fail(why);
}

// Runs `body` with the organizer window open (its 30 slots read).
int withOrganizer(Invocation& inv, const std::function<int(OrganizerWindowSession&)>& body) {
    if (inv.ctx.settings.noModem) {
        inv.ctx.err << "vondrix-cli: the organizer is not available while NoModem is set in "
                    << inv.ctx.ini.path() << '\n';
        return kExitFailed;
    }
    return inv.withSession([&] {
        OrganizerWindowSession window(inv.main->session(), *inv.reporter);
        if (!window.open())
            return kExitFailed;  // the link message said why
        return body(window);
    });
}

// Writes `fields` (into `slot`, or a new entry when 0) and prints the row.
int writeEntry(Invocation& inv, OrganizerWindowSession& window, int slot,
               const EntryFields& fields) {
    // The window warns while the description is typed; the entry is written
    // all the same, cut to the phone's length: a warning, not a failure.
    if (fields.description.size() > organizer::kMaxDescription) {
        inv.ctx.err << "vondrix-cli " << inv.entry.name
                    << ": warning: " << catalogueText(msg::TextOver16Characters, inv.ctx.language)
                    << "; the entry keeps '"
                    << escapedText(fields.description.substr(0, organizer::kMaxDescription))
                    << "'\n";
        inv.ctx.err.flush();
    }
    const auto before = inv.reporter->tally();
    const auto outcome = slot == 0 ? window.enterNew(fields) : window.edit(slot, fields);
    const int status =
        finish(inv, outcome.result == WriteResult::Written, before,
               "the phone refused the entry for slot " + std::to_string(outcome.slot));
    if (status != kExitOk)
        return status;
    if (const Row* row = window.row(outcome.slot)) {
        if (inv.line.has("--json")) {
            JsonWriter j(inv.ctx.out);
            jsonRow(j, *row, window.language());
            j.finish();
        } else {
            printRow(inv.ctx.out, *row, window.language());
        }
        inv.ctx.out.flush();
    }
    return kExitOk;
}

// --- the commands ----------------------------------------------------------

int runList(Invocation& inv) {
    return withOrganizer(inv, [&](OrganizerWindowSession& window) {
        std::ostream& out = inv.ctx.out;
        if (inv.line.has("--json")) {
            JsonWriter j(out);
            j.beginObject().key("slots").beginArray();
            for (const Row& row : window.list().rows())
                jsonRow(j, row, window.language());
            j.endArray().endObject().finish();
        } else {
            for (const Row& row : window.list().rows())
                printRow(out, row, window.language());
        }
        out.flush();
        return kExitOk;
    });
}

int runAdd(Invocation& inv) {
    EntryOptions o;
    if (const auto s = readEntryOptions(inv, &inv.line.words[0], o))
        return *s;
    if (!o.date)
        return inv.usageError("--date is missing");
    if (!o.time)
        return inv.usageError("--time is missing");
    // The window's choice lists start at their first items.
    const EntryFields fields = applied(EntryFields{}, o);
    if (const auto s = checkPhoneCall(inv, fields))
        return *s;
    return withOrganizer(
        inv, [&](OrganizerWindowSession& window) { return writeEntry(inv, window, 0, fields); });
}

int runEdit(Invocation& inv) {
    int slot = 0;
    if (const auto s = slotWord(inv, inv.line.words[0], slot))
        return *s;
    const std::string* text = inv.line.words.size() > 1 ? &inv.line.words[1] : nullptr;
    EntryOptions o;
    if (const auto s = readEntryOptions(inv, text, o))
        return *s;
    // What can be checked before the slot is known: a phone call given
    // here with its description.
    if (o.category == organizer::kPhoneCall && o.text) {
        EntryFields call;
        call.category = organizer::kPhoneCall;
        call.description = *o.text;
        if (const auto s = checkPhoneCall(inv, call))
            return *s;
    }
    return withOrganizer(inv, [&](OrganizerWindowSession& window) {
        if (window.row(slot) == nullptr)
            return inv.fail("slot " + std::to_string(slot) + " could not be read");
        // The edit dialog, filled from the slot's row.
        const organizer::EditForm form = window.editForm(slot);
        if ((!form.date && !o.date) || (!form.time && !o.time)) {
            return inv.fail("slot " + std::to_string(slot) +
                            " shows no date or time to keep: give --date and --time");
        }
        EntryFields fields;
        fields.category = form.category;
        fields.recurrence = form.recurrence;
        fields.alarm = form.alarm;
        fields.date = form.date.value_or(organizer::Date{});
        fields.time = form.time.value_or(organizer::TimeOfDay{});
        fields.description = form.description;
        fields = applied(fields, o);
        // A phone call without a number: the write shows message 31 and
        // leaves the slot as it is.
        return writeEntry(inv, window, slot, fields);
    });
}

int runDelete(Invocation& inv) {
    int slot = 0;
    if (const auto s = slotWord(inv, inv.line.words[0], slot))
        return *s;
    return withOrganizer(inv, [&](OrganizerWindowSession& window) {
        const Row* row = window.row(slot);
        if (row == nullptr)
            return inv.fail("slot " + std::to_string(slot) + " could not be read");
        if (row->isFree())
            return inv.fail("slot " + std::to_string(slot) + " holds no entry");
        const auto before = inv.reporter->tally();
        const bool deleted = window.confirmDelete(slot);
        return finish(inv, deleted, before,
                      "the phone refused to empty slot " + std::to_string(slot));
    });
}

int runClear(Invocation& inv) {
    return withOrganizer(inv, [&](OrganizerWindowSession& window) {
        const auto before = inv.reporter->tally();
        const bool cleared = window.confirmClear();
        const int status = finish(inv, cleared, before, "the organizer was not cleared");
        if (status != kExitOk)
            return status;
        // The window ignores the single deletions; the rows show what the
        // phone still holds.
        int left = 0;
        for (const Row& row : window.list().rows())
            left += row.isFree() ? 0 : 1;
        if (left != 0)
            return inv.fail("not every slot could be emptied (" + std::to_string(left) + " left)");
        return kExitOk;
    });
}

int runExport(Invocation& inv) {
    const std::string* format = inv.line.value("--format");
    if (format == nullptr)
        return inv.usageError("--format is missing");
    if (*format != "csv" && *format != "xml" && *format != "ics")
        return inv.usageError("--format needs csv, xml or ics");
    const std::string file = inv.line.words[0];
    if (file.empty())
        return inv.usageError("FILE is empty");
    return withOrganizer(inv, [&](OrganizerWindowSession& window) {
        const auto before = inv.reporter->tally();
        bool written = false;
        if (*format == "csv")
            written = window.exportCsv(file);
        else if (*format == "xml")
            written = window.exportXml(file);
        else
            written = window.exportIcalendar(file, std::time(nullptr));
        return finish(inv, written, before, "cannot write " + file);
    });
}

int runIcsImport(Invocation& inv, const std::string& file) {
    const bool dryRun = inv.line.has("--dry-run");
    return withOrganizer(inv, [&](OrganizerWindowSession& window) {
        const auto before = inv.reporter->tally();
        const organizer::IcsImportResult r = window.importIcalendar(file, dryRun);
        using End = organizer::IcsImportResult::End;
        if (r.end == End::FileError || r.end == End::NoEvents)
            return finish(inv, false, before, "cannot read " + file);
        for (const std::string& note : r.plan.notes)
            inv.ctx.err << "vondrix-cli organizer import: " << note << '\n';
        for (const EntryFields& fields : r.unwritten) {
            inv.ctx.err << "vondrix-cli organizer import: no free slot for \""
                        << shown(fields.description) << "\"\n";
        }
        const std::size_t written = dryRun ? r.plan.entries.size() - r.unwritten.size()
                                           : static_cast<std::size_t>(r.written);
        inv.ctx.out << (dryRun ? "would write " : "written ") << written << ", skipped "
                    << r.plan.skipped << ", no room " << r.unwritten.size() << '\n';
        inv.ctx.out.flush();
        return finish(inv, r.end == End::Completed && r.refused == 0, before,
                      "the import ended early");
    });
}

int runImport(Invocation& inv) {
    const std::string file = inv.line.words[0];
    if (file.empty())
        return inv.usageError("FILE is empty");
    if (const std::string* format = inv.line.value("--format")) {
        if (*format == "ics")
            return runIcsImport(inv, file);
        if (*format != "csv")
            return inv.usageError("--format needs csv or ics");
    }
    if (inv.line.has("--dry-run"))
        return inv.usageError("--dry-run goes with --format ics");
    return withOrganizer(inv, [&](OrganizerWindowSession& window) {
        // The input controls as the window opens: today in the calendar,
        // the time of day in the picker, the first category and recurrence.
        const std::tm local = localCalendar(std::time(nullptr));
        EntryFields form;
        form.date = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
        form.time = {local.tm_hour, local.tm_min};
        const auto before = inv.reporter->tally();
        const organizer::ImportResult r = window.importCsv(file, form);
        if (r.end == organizer::ImportResult::End::Completed ||
            r.end == organizer::ImportResult::End::LinkFailed) {
            inv.ctx.out << "written " << r.written << ", refused " << r.notWritten << ", skipped "
                        << r.dropped << '\n';
            inv.ctx.out.flush();
        }
        const bool ok = r.end == organizer::ImportResult::End::Completed && r.notWritten == 0;
        return finish(inv, ok, before, "the import ended early");
    });
}

int runOrganizerFamily(Invocation& inv) {
    if (inv.line.words.empty())
        return inv.usageError("a subcommand is missing");
    return inv.usageError("unknown subcommand '" + inv.line.words.front() + "'");
}

}  // namespace

std::vector<CommandEntry> organizerCommands() {
    const Needs W = Needs::MainWindow;
    const CommandOption startDay = {"--date", "YYYY-MM-DD", "the day of the start"};
    const CommandOption startTime = {"--time", "HH:MM", "the time of the start"};
    const CommandOption category = {
        "--category", "0-3", "0 anniversary (default), 1 meeting, 2 miscellaneous, 3 phone call"};
    const CommandOption recurrence = {
        "--recurrence", "0-4", "0 one-time (default), 1 daily, 2 weekly, 3 monthly, 4 yearly"};
    const CommandOption alarm = {"--alarm", "", "an alarm at the start"};
    const CommandOption json = {"--json", "", "print the entry written as one JSON object"};
    return {
        {"organizer",
         "list, add, edit, delete, clear, export and import the\n"
         "                  organizer entries (organizer SUBCOMMAND --help)",
         {"SUBCOMMAND [ARGS]"},
         kOrganizerHelp,
         {},
         0,
         99,
         Needs::Nothing,
         false,
         runOrganizerFamily},
        {"organizer list",
         "",
         {""},
         kListHelp,
         {{"--json", "", "print the slots as one JSON object"}},
         0,
         0,
         W,
         false,
         runList},
        {"organizer add",
         "",
         {"--date YYYY-MM-DD --time HH:MM TEXT"},
         kAddHelp,
         {startDay, startTime, category, recurrence, alarm, json},
         1,
         1,
         W,
         false,
         runAdd},
        {"organizer edit",
         "",
         {"SLOT [TEXT]"},
         kEditHelp,
         {startDay,
          startTime,
          category,
          recurrence,
          alarm,
          {"--no-alarm", "", "take the alarm away", true},
          json},
         1,
         2,
         W,
         false,
         runEdit},
        {"organizer delete", "", {"SLOT"}, kDeleteHelp, {}, 1, 1, W, false, runDelete},
        {"organizer clear", "", {""}, kClearHelp, {}, 0, 0, W, false, runClear},
        {"organizer export",
         "",
         {"--format csv|xml|ics FILE"},
         kExportHelp,
         {{"--format", "csv|xml|ics", "the file's format, as above"}},
         1,
         1,
         W,
         false,
         runExport},
        {"organizer import",
         "",
         {"FILE", "--format ics [--dry-run] FILE"},
         kImportHelp,
         {{"--format", "csv|ics", "the file's format (default csv)"},
          {"--dry-run", "", "with ics: list, write nothing"}},
         1,
         1,
         W,
         false,
         runImport},
    };
}

}  // namespace vondrix::cli
