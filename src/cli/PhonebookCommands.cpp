// "phonebook": the phonebook window's commands on the command line, with the
// window's phone traffic and messages. Every command opens the window (its
// whole reading sequence), works, and closes it with the local file save.

#include <algorithm>
#include <ctime>
#include <ostream>

#include "cli/Cli.h"
#include "cli/Json.h"
#include "foundation/CalendarTime.h"
#include "phonebook/Export.h"
#include "phonebook/FileLines.h"
#include "phonebook/Import.h"
#include "phonebook/LocalFile.h"
#include "phonebook/VcardImport.h"
#include "text/Latin1.h"

namespace vondrix::cli {

using phonebook::CurrentPhonebook;
using phonebook::Kind;
using phonebook::kindInfo;

namespace {

constexpr const char* kPhonebookHelp =
    R"(The phonebook window's commands. Each one reads what the window reads when
it opens (own numbers, the SIM phonebook, the Redbook, the call lists, the
service centre), switches to the phonebook chosen with --kind, does its work,
and at the end saves the current phonebook into Vondrix.phb in the working
directory, as the window does when it closes (a failed save makes the exit
status 1). A phonebook the phone did not give is not saved, so that its
section of the file keeps the copy read before.

Subcommands:
  read        print the phonebook, the Redbook, the call lists, the own
              numbers and the service centre
  export      write the phonebook as CSV or XML, or one entry as a vCard
  import      write the entries of a CSV file to the phone
  write       store a new entry or change one
  delete      empty a location
  clear       empty every location
  normalise   put the prefix TPref (Vondrix.ini) before numbers beginning with 0
  redbook     add an entry to the Redbook or remove it

  --kind sim|internal|fixed   the phonebook to work on (default sim): the SIM,
                              the phone's memory, the fixed dialling numbers
  --fast                      read the phonebooks in ranges of locations, as
                              the setting FastRead does, for this run only
                              (Vondrix.ini is not changed); a phone that
                              refuses ranges is read location by location

Writes to the fixed dialling numbers need the PIN2: give it with --pin2, or
the terminal asks for it; without a terminal the question is cancelled.
Texts on the command line and in the output are UTF-8.

Exit status: 0 success, 1 the operation failed (a message was shown, the
phone refused, or a question was answered No), 2 usage error,
3 no link to the phone.
)";

constexpr const char* kReadHelp =
    R"(Prints, each part under its heading line:

  [Phonebook SIM]       the entries as 'location;name;number', sorted by name
                        as the window lists them ([Phonebook Internal],
                        [Phonebook SIM fix] for the other kinds); a name may
                        hold ';' itself: the number follows the last ';'
  [Redbook]             'position;name;number', in the phone's order
  [Dialled calls]       the call lists, one line per call as the window's
  [Missed calls]        lists show it: 'name, number' (a call without a name
  [Received calls]      gives ', number')
  [Own numbers]         'location;number' for each own number (locations 1-6)
  [Service centre]      the SMS service centre number (no line when unknown)

A part the phone did not give is a heading without lines. Line breaks inside
a name or number are printed as blanks, a backslash and other control
characters as \\ and \xHH. With --json the same fields come as
one JSON object (entries, redbook, dialledCalls, missedCalls, receivedCalls,
ownNumbers, serviceCentre).

Exit status: 0 success, 1 the phonebook could not be read or Vondrix.phb
not written, 2 usage error, 3 no link to the phone.
)";

constexpr const char* kExportHelp =
    R"(Writes FILE as the window's exports do, in ISO 8859-1 with CR LF line ends:
  csv    'NR;NAME;TELNUM', then 'location;name;'number' per entry
  xml    the <PHONEBOOK> file with one <ENTRY> per entry
  vcard  a vCard 2.1 of the entry at location N (name and number as listed)
CSV and XML hold the entries in the phone's location order and leave off
the Redbook marker '!'. The file is not opened afterwards.

Exit status: 0 written, 1 FILE could not be written or location N holds no
entry, 2 usage error, 3 no link to the phone.
)";

constexpr const char* kImportHelp =
    R"(Writes the entries of a CSV file (first line 'NR;NAME;TELNUM' or
'NR,NAME,TELNUM', then 'location;name;'number' lines) to the phone, as the
window's import does, with exactly one of --overwrite and --append.
Prints 'written N, refused N, skipped N': lines stored, lines the phone
refused (message each), malformed lines and lines whose PIN2 question was
cancelled; each line not written is named on stderr as 'FILE: Line N: why'.

With --format vcard FILE is a vCard file (2.1 or 3.0, as address books and
phones write it): each number of each card becomes an entry in the next free
location, named after the card (with ' M', ' H', ' W', ' F' or its position
when a card has several numbers). Names go into the phone's character set;
what it cannot show, names cut to its length, numbers it cannot store and
entries the phonebook already holds (same name and number, skipped) are
listed on stderr. --dry-run lists and counts without writing. Prints
'written N, duplicates N, unusable N, no room N'; entries without a free
location are listed, not cut.

Exit status: 0 every line written, 1 the file could not be read, a line
was skipped or refused, a PIN2 question was cancelled or the import ended
early (no free location, PIN2 rejected), 2 usage error, 3 no link.
)";

constexpr const char* kWriteHelp =
    R"(Without --location, stores a new entry in the first free location, as the
window's new-entry command does. With --location N, changes the entry at
location N. The window cannot write a new entry to a location of the user's
choosing, so an N that holds no entry is refused. A number beginning with
'+' is stored as international (type 145). Put '--' before a NUMBER or NAME
that begins with '--'.

Prints the entry written as 'location;name;number'.

Exit status: 0 written, 1 the phone refused or a message was shown (no free
location, location N holds no entry, PIN2 cancelled or rejected), 2 usage
error, 3 no link to the phone.
)";

constexpr const char* kDeleteHelp =
    R"(Empties LOCATION after the window's question 'really delete?', which --yes
or --no answers (else the terminal asks; without one the answer is No).

Exit status: 0 deleted, 1 not deleted (no entry there, answered No, the
phone refused, PIN2 cancelled or rejected), 2 usage error, 3 no link.
)";

constexpr const char* kClearHelp =
    R"(Empties every location of the phonebook after the window's question (--yes,
--no or the terminal answers it; without one the answer is No), then reads
the phonebook again.

Exit status: 0 every location empty, 1 answered No, PIN2 cancelled or
rejected, or entries remain, 2 usage error, 3 no link to the phone.
)";

constexpr const char* kNormaliseHelp =
    R"(Puts the prefix TPref of Vondrix.ini before every number that begins with 0
and does not hold the prefix already: in place of the 0, or before it when
Rem0 is set. A write the phone refuses keeps that entry's old number.

Exit status: 0 every number normalised, 1 TPref is empty, the phone refused
a write, or PIN2 cancelled or rejected, 2 usage error, 3 no link.
)";

constexpr const char* kRedbookHelp =
    R"(  add LOCATION     adds the entry at LOCATION to the Redbook: its name gets
                   the Redbook marker '!'
  remove LOCATION  takes the entry at LOCATION out of the Redbook: the '!' at
                   the end of its name goes

Exit status: 0 done, 1 no entry at LOCATION, already in the Redbook, not in
the Redbook, or the phone refused, 2 usage error, 3 no link to the phone.
)";

// The row that shows the live entry at `location`.
std::optional<std::size_t> rowOf(const CurrentPhonebook& book, int location) {
    const std::size_t position = book.findLocation(location);
    if (position == CurrentPhonebook::npos)
        return std::nullopt;
    for (std::size_t r = 0; r < book.rows.size(); ++r)
        if (book.rows[r].entry == position)
            return r;
    return std::nullopt;
}

// A text of the model as one output line: UTF-8, line breaks as blanks,
// other control characters escaped as everywhere else.
std::string shown(std::string_view latin1) {
    return escapedText(phonebook::oneLine(latin1));
}

void printEntry(std::ostream& out, int location, std::string_view name, std::string_view number) {
    out << location << ';' << shown(name) << ';' << shown(number) << '\n';
}

std::optional<int> locationWord(const Invocation& inv, const std::string& word, int& location) {
    const auto value = locationValue(word);
    if (!value)
        return inv.usageError("not a location: '" + word + "'");
    location = *value;
    return std::nullopt;
}

int noEntryAt(const Invocation& inv, int location) {
    return inv.fail("location " + std::to_string(location) + " of the " +
                    kindInfo(inv.model().current.kind).label + " phonebook holds no entry");
}

// --- read ------------------------------------------------------------------

void printJson(std::ostream& out, const phonebook::PhonebookModel& m) {
    JsonWriter j(out);
    const auto entry = [&](int location, const std::string& name, const std::string& number) {
        j.beginObject();
        j.key("location").value(location);
        j.key("name").value(latin1ToUtf8(name));
        j.key("number").value(latin1ToUtf8(number));
        j.endObject();
    };
    j.beginObject();
    j.key("phonebook").value(kindInfo(m.current.kind).label);
    j.key("entries").beginArray();
    for (const phonebook::Row& row : m.current.rows)
        entry(row.location, row.name, row.number);
    j.endArray();
    j.key("redbook").beginArray();
    for (const phonebook::PhonebookEntry& e : m.redbook)
        entry(e.index, e.name, e.number);
    j.endArray();
    const std::pair<const char*, const phonebook::CallList*> lists[] = {
        {"dialledCalls", &m.dialled}, {"missedCalls", &m.missed}, {"receivedCalls", &m.received}};
    for (const auto& [name, list] : lists) {
        j.key(name).beginArray();
        for (const std::string& text : list->lines)
            j.value(latin1ToUtf8(text));
        j.endArray();
    }
    j.key("ownNumbers").beginArray();
    for (std::size_t i = 0; i < m.ownNumbers.size(); ++i) {
        if (m.ownNumbers[i].empty())
            continue;
        j.beginObject();
        j.key("location").value(static_cast<int>(i + 1));
        j.key("number").value(latin1ToUtf8(m.ownNumbers[i]));
        j.endObject();
    }
    j.endArray();
    j.key("serviceCentre");
    if (m.serviceCentre.number.empty())
        j.null();
    else
        j.value(latin1ToUtf8(m.serviceCentre.number));
    j.endObject().finish();
}

int runRead(Invocation& inv) {
    return inv.withSession([&] {
        const phonebook::PhonebookModel& m = inv.model();
        std::ostream& out = inv.ctx.out;
        if (inv.line.has("--json")) {
            printJson(out, m);
            out.flush();
            return kExitOk;
        }
        out << "[Phonebook " << kindInfo(m.current.kind).label << "]\n";
        for (const phonebook::Row& row : m.current.rows)
            printEntry(out, row.location, row.name, row.number);
        out << "[Redbook]\n";
        for (const phonebook::PhonebookEntry& e : m.redbook)
            printEntry(out, e.index, e.name, e.number);
        const std::pair<const char*, const phonebook::CallList*> lists[] = {
            {"[Dialled calls]", &m.dialled},
            {"[Missed calls]", &m.missed},
            {"[Received calls]", &m.received}};
        for (const auto& [heading, list] : lists) {
            out << heading << '\n';
            for (const std::string& text : list->lines)
                out << shown(text) << '\n';
        }
        out << "[Own numbers]\n";
        for (std::size_t i = 0; i < m.ownNumbers.size(); ++i)
            if (!m.ownNumbers[i].empty())
                out << i + 1 << ';' << shown(m.ownNumbers[i]) << '\n';
        out << "[Service centre]\n";
        if (!m.serviceCentre.number.empty())
            out << shown(m.serviceCentre.number) << '\n';
        out.flush();
        return kExitOk;
    });
}

// --- export ----------------------------------------------------------------

int runExport(Invocation& inv) {
    const std::string* format = inv.line.value("--format");
    if (format == nullptr)
        return inv.usageError("--format is missing");
    if (*format != "csv" && *format != "xml" && *format != "vcard")
        return inv.usageError("--format needs csv, xml or vcard");
    const bool vcard = *format == "vcard";
    int location = 0;
    if (const std::string* text = inv.line.value("--location")) {
        if (!vcard)
            return inv.usageError("--location only goes with vcard");
        if (const auto s = locationWord(inv, *text, location))
            return *s;
    } else if (vcard) {
        return inv.usageError("--format vcard needs --location");
    }
    const std::string file = inv.line.words[0];
    if (file.empty())
        return inv.usageError("FILE is empty");

    return inv.withSession([&] {
        const CurrentPhonebook& book = inv.model().current;
        const auto before = inv.reporter->tally();
        if (*format == "csv")
            return inv.status(exportCsv(book, file, *inv.reporter), before);
        if (*format == "xml")
            return inv.status(exportXml(book, file, *inv.reporter), before);
        const auto row = rowOf(book, location);
        if (!row)
            return noEntryAt(inv, location);
        const std::tm local = localCalendar(std::time(nullptr));
        // The window says nothing when the vCard cannot be written.
        if (!exportVcard(book.rows[*row], file, local))
            return inv.fail("cannot write " + file);
        return kExitOk;
    });
}

// --- import ----------------------------------------------------------------

int runVcardImport(Invocation& inv) {
    const std::string file = inv.line.words[0];
    const bool dryRun = inv.line.has("--dry-run");
    return inv.withSession([&] {
        const auto before = inv.reporter->tally();
        const phonebook::VcardImportResult r = importVcard(inv.writer(), file, dryRun);
        if (r.end == phonebook::VcardImportResult::End::FileError ||
            r.end == phonebook::VcardImportResult::End::NoCards)
            return inv.status(false, before);
        for (const std::string& note : r.plan.notes)
            inv.ctx.err << "vondrix-cli phonebook import: " << note << '\n';
        for (const auto& entry : r.unwritten) {
            inv.ctx.err << "vondrix-cli phonebook import: no free location for \""
                        << latin1ToUtf8(entry.name) << "\" " << entry.number << '\n';
        }
        const auto written = dryRun ? r.plan.entries.size() - r.unwritten.size()
                                    : static_cast<std::size_t>(r.written);
        inv.ctx.out << (dryRun ? "would write " : "written ") << written << ", duplicates "
                    << r.plan.duplicates << ", unusable " << r.plan.unusable << ", no room "
                    << r.unwritten.size() << '\n';
        inv.ctx.out.flush();
        const bool ok = r.end == phonebook::VcardImportResult::End::Completed && r.refused == 0;
        return inv.status(ok, before);
    });
}

int runImport(Invocation& inv) {
    if (const std::string* format = inv.line.value("--format")) {
        if (*format == "vcard") {
            if (inv.line.has("--overwrite") || inv.line.has("--append"))
                return inv.usageError("--format vcard writes to free locations only");
            return runVcardImport(inv);
        }
        if (*format != "csv")
            return inv.usageError("--format needs csv or vcard");
    }
    if (inv.line.has("--dry-run"))
        return inv.usageError("--dry-run goes with --format vcard");
    if (inv.line.has("--overwrite") == inv.line.has("--append"))
        return inv.usageError("give exactly one of --overwrite and --append");
    const auto mode = inv.line.has("--overwrite") ? phonebook::ImportMode::Overwrite
                                                  : phonebook::ImportMode::Append;
    const std::string file = inv.line.words[0];

    return inv.withSession([&] {
        const auto before = inv.reporter->tally();
        const phonebook::ImportResult r = importCsv(inv.writer(), file, mode);
        for (const phonebook::LineIssue& issue : r.issues)
            inv.ctx.err << file << ": " << phonebook::issueText(issue, inv.ctx.language) << '\n';
        inv.ctx.out << "written " << r.written << ", refused " << r.refused << ", skipped "
                    << r.skipped << '\n';
        inv.ctx.out.flush();
        const bool ok = r.end == phonebook::ImportResult::End::Completed && r.refused == 0;
        const int status = inv.status(ok, before);
        // A skipped line is a line not written: the import did not do all it was given.
        return status == kExitOk && r.skipped > 0 ? kExitFailed : status;
    });
}

// --- write -----------------------------------------------------------------

int runWrite(Invocation& inv) {
    std::optional<int> location;
    if (const std::string* text = inv.line.value("--location")) {
        int value = 0;
        if (const auto s = locationWord(inv, *text, value))
            return *s;
        location = value;
    }
    const std::string number = utf8ToLatin1(inv.line.words[0]);
    const std::string name = utf8ToLatin1(inv.line.words[1]);
    // The entry dialog's OK refuses these before it writes (messages 27, 29).
    if (name.empty() || !isQuotableValue(name))
        return inv.usageError(
            "NAME must not be empty nor hold a double quote or control character");
    if (!isNumberValue(number))
        return inv.usageError("not a telephone number: '" + inv.line.words[0] + "'");

    return inv.withSession([&] {
        CurrentPhonebook& book = inv.model().current;
        phonebook::PhonebookWriter& writer = inv.writer();
        const auto before = inv.reporter->tally();
        int target = 0;
        if (location) {
            // The edit command on the entry's row.
            const auto row = rowOf(book, *location);
            if (!row) {
                return inv.fail("location " + std::to_string(*location) + " of the " +
                                kindInfo(book.kind).label +
                                " phonebook holds no entry to change; a new entry goes to the "
                                "first free location (leave out --location)");
            }
            const auto form = writer.beginEdit(*row);
            if (!form)
                return inv.status(false, before);
            target = form->location;
        } else if (!writer.canAddEntry()) {
            return inv.status(false, before);
        }
        // What the entry dialog says while the texts are typed; the save
        // goes on all the same, and the phone decides.
        writer.warnNameLength(name);
        writer.warnNumberLength(number);
        const auto typed = inv.reporter->tally();
        if (target == 0)
            target = book.firstFreeLocation();  // where saveEntry puts it
        if (!writer.saveEntry(location.value_or(0), name, number))
            return inv.status(false, typed);
        const std::size_t position = book.findLocation(target);
        if (position != CurrentPhonebook::npos) {
            const phonebook::PhonebookEntry& e = book.entries[position];
            printEntry(inv.ctx.out, e.index, e.name, e.number);
            inv.ctx.out.flush();
        }
        return kExitOk;
    });
}

// --- delete, clear, normalise ----------------------------------------------

int runDelete(Invocation& inv) {
    int location = 0;
    if (const auto s = locationWord(inv, inv.line.words[0], location))
        return *s;
    return inv.withSession([&] {
        const auto row = rowOf(inv.model().current, location);
        if (!row)
            return noEntryAt(inv, location);
        const auto before = inv.reporter->tally();
        return inv.status(inv.writer().confirmDelete(*row, true), before);
    });
}

int runClear(Invocation& inv) {
    return inv.withSession([&] {
        const auto before = inv.reporter->tally();
        const int status = inv.status(inv.writer().confirmClear(), before);
        if (status != kExitOk)
            return status;
        // The window ignores the results of the single writes; the reading
        // afterwards shows whether they worked.
        const std::size_t left = inv.model().current.liveCount();
        if (left != 0)
            return inv.fail("not every location could be emptied (" + std::to_string(left) +
                            " left)");
        return kExitOk;
    });
}

int runNormalise(Invocation& inv) {
    return inv.withSession([&] {
        const auto before = inv.reporter->tally();
        inv.writer().normalise();
        return inv.status(true, before);
    });
}

// --- redbook ---------------------------------------------------------------

bool marked(std::string_view name) {
    return !name.empty() && name.back() == '!';
}

// Whether Redbook record `record` names the phonebook entry called `name`:
// the phone may give the record's name with its marker or without it.
bool recordNames(const phonebook::PhonebookEntry& record, const std::string& name) {
    if (record.name == name)
        return true;
    return !marked(record.name) &&
           std::string(std::string_view(record.name).substr(0, phonebook::kMaxField - 1)) + "!" ==
               name;
}

// Takes the entry at `location` out of the Redbook. The window starts from
// a Redbook record and changes the first marked entry of the table with its
// name; here the entry is given, so its record is looked for, and the
// change must reach that entry and no other.
int removeFromRedbook(Invocation& inv, int location) {
    const CurrentPhonebook& book = inv.model().current;
    const std::size_t position = book.findLocation(location);
    if (position == CurrentPhonebook::npos)
        return noEntryAt(inv, location);
    const phonebook::PhonebookEntry& entry = book.entries[position];
    const auto& redbook = inv.model().redbook;
    auto record = std::find_if(redbook.begin(), redbook.end(), [&](const auto& r) {
        return recordNames(r, entry.name) && r.number == entry.number;
    });
    if (record == redbook.end()) {
        record = std::find_if(redbook.begin(), redbook.end(),
                              [&](const auto& r) { return recordNames(r, entry.name); });
    }
    if (!marked(entry.name) || record == redbook.end())
        return inv.fail("the entry at location " + std::to_string(location) +
                        " is not in the Redbook");
    for (std::size_t i = 0; i < position; ++i) {
        if (!book.isDeleted(i) && book.entries[i].name == entry.name) {
            return inv.fail("the entries at locations " + std::to_string(book.entries[i].index) +
                            " and " + std::to_string(location) + " have the same name '" +
                            shown(entry.name) + "': the Redbook cannot tell them apart");
        }
    }
    const auto before = inv.reporter->tally();
    const auto index = static_cast<std::size_t>(record - redbook.begin());
    return inv.status(inv.writer().removeFromRedbook(index), before);
}

int runRedbook(Invocation& inv) {
    const std::string action = inv.line.words[0];
    if (action != "add" && action != "remove")
        return inv.usageError("add or remove, not '" + action + "'");
    int location = 0;
    if (const auto s = locationWord(inv, inv.line.words[1], location))
        return *s;
    return inv.withSession([&] {
        if (action == "remove")
            return removeFromRedbook(inv, location);
        // The double click on the entry's row.
        const auto row = rowOf(inv.model().current, location);
        if (!row)
            return noEntryAt(inv, location);
        const auto before = inv.reporter->tally();
        return inv.status(inv.writer().addToRedbook(*row), before);
    });
}

int runPhonebookFamily(Invocation& inv) {
    if (inv.line.words.empty())
        return inv.usageError("a subcommand is missing");
    return inv.usageError("unknown subcommand '" + inv.line.words.front() + "'");
}

}  // namespace

std::vector<CommandEntry> phonebookCommands() {
    const Needs W = Needs::PhonebookWindow;
    const CommandOption kind = {
        "--kind", "sim|internal|fixed",
        "the phonebook to work on (default sim): the SIM, the phone's memory, the fixed "
        "dialling numbers"};
    const CommandOption fast = {
        "--fast", "",
        "read the phonebooks in ranges of locations, as the setting FastRead does, for this run "
        "only (Vondrix.ini is not changed); a phone that refuses ranges is read location by "
        "location"};
    return {
        {"phonebook",
         "read, export, import, write, delete, clear and normalise\n"
         "                  the phonebooks; the Redbook (phonebook SUBCOMMAND --help)",
         {"SUBCOMMAND [ARGS]"},
         kPhonebookHelp,
         {},
         0,
         99,
         Needs::Nothing,
         false,
         runPhonebookFamily},
        {"phonebook read",
         "",
         {""},
         kReadHelp,
         {kind, fast, {"--json", "", "print the parts as one JSON object"}},
         0,
         0,
         W,
         true,
         runRead},
        {"phonebook export",
         "",
         {"--format csv|xml FILE", "--format vcard --location N FILE"},
         kExportHelp,
         {kind,
          {"--format", "csv|xml|vcard", "the file's format, as above"},
          {"--location", "N", "the entry a vCard holds"},
          fast},
         1,
         1,
         W,
         true,
         runExport},
        {"phonebook import",
         "",
         {"(--overwrite|--append) FILE", "--format vcard [--dry-run] FILE"},
         kImportHelp,
         {kind,
          {"--format", "csv|vcard", "the file's format (default csv)"},
          {"--overwrite", "",
           "write each line to the location it names (the window's Yes), then read the "
           "phonebook again"},
          {"--append", "", "write each line to the next free location (the window's No)"},
          fast,
          {"--dry-run", "", "with vcard: list and count, write nothing"}},
         1,
         1,
         W,
         true,
         runImport},
        {"phonebook write",
         "",
         {"NUMBER NAME"},
         kWriteHelp,
         {kind, fast, {"--location", "N", "change the entry at location N"}},
         2,
         2,
         W,
         true,
         runWrite},
        {"phonebook delete", "", {"LOCATION"}, kDeleteHelp, {kind, fast}, 1, 1, W, true, runDelete},
        {"phonebook clear", "", {""}, kClearHelp, {kind, fast}, 0, 0, W, true, runClear},
        {"phonebook normalise",
         "",
         {""},
         kNormaliseHelp,
         {kind, fast},
         0,
         0,
         W,
         true,
         runNormalise},
        {"phonebook redbook",
         "",
         {"add|remove LOCATION"},
         kRedbookHelp,
         {kind, fast},
         2,
         2,
         W,
         true,
         runRedbook},
    };
}

}  // namespace vondrix::cli
