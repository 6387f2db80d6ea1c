// "phonebook": the phonebook window's commands on the command line, with the
// window's phone traffic and messages. Every command opens the window (its
// whole reading sequence), works, and closes it with the local file save.

#include <algorithm>
#include <ctime>
#include <ostream>

#include "cli/Cli.h"
#include "phonebook/Export.h"
#include "phonebook/FileLines.h"
#include "phonebook/Import.h"
#include "phonebook/LocalFile.h"
#include "text/Latin1.h"

namespace vondrix::cli {

using phonebook::CurrentPhonebook;
using phonebook::Kind;
using phonebook::kindInfo;

namespace {

constexpr const char* kPhonebookUsage =
    R"(Usage: vondrix-cli [LINK OPTIONS] phonebook SUBCOMMAND [ARGS]

The phonebook window's commands. Each one reads what the window reads when
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

Writes to the fixed dialling numbers need the PIN2: give it with --pin2, or
the terminal asks for it; without a terminal the question is cancelled.
Texts on the command line and in the output are UTF-8.

Exit status: 0 success, 1 the operation failed (a message was shown, the
phone refused, or a question was answered No), 2 usage error,
3 no link to the phone.
)";

constexpr const char* kReadUsage =
    R"(Usage: vondrix-cli [LINK OPTIONS] phonebook read [--kind sim|internal|fixed]

Prints, each part under its heading line:

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
a name or number are printed as blanks.

Exit status: 0 success, 1 the phonebook could not be read or Vondrix.phb
not written, 2 usage error, 3 no link to the phone.
)";

constexpr const char* kExportUsage =
    R"(Usage: vondrix-cli [LINK OPTIONS] phonebook export --format csv|xml FILE
                                                     [--kind sim|internal|fixed]
       vondrix-cli [LINK OPTIONS] phonebook export --format vcard --location N
                                    FILE [--kind sim|internal|fixed]

Writes FILE as the window's exports do, in ISO 8859-1 with CR LF line ends:
  csv    'NR;NAME;TELNUM', then 'location;name;'number' per entry
  xml    the <PHONEBOOK> file with one <ENTRY> per entry
  vcard  a vCard 2.1 of the entry at location N (name and number as listed)
CSV and XML hold the entries in the phone's location order and leave off
the Redbook marker '!'. The file is not opened afterwards.

Exit status: 0 written, 1 FILE could not be written or location N holds no
entry, 2 usage error, 3 no link to the phone.
)";

constexpr const char* kImportUsage =
    R"(Usage: vondrix-cli [LINK OPTIONS] phonebook import FILE (--overwrite|--append)
                                                     [--kind sim|internal|fixed]

Writes the entries of a CSV file (first line 'NR;NAME;TELNUM' or
'NR,NAME,TELNUM', then 'location;name;'number' lines) to the phone, as the
window's import does. Exactly one of:
  --overwrite  write each line to the location it names (the window's Yes),
               then read the phonebook again
  --append     write each line to the next free location (the window's No)
Prints 'written N, refused N, skipped N': lines stored, lines the phone
refused (message each), malformed lines and lines whose PIN2 question was
cancelled.

Exit status: 0 every well-formed line written, 1 the file could not be read,
the phone refused a line, a PIN2 question was cancelled or the import ended
early (no free location, PIN2 rejected), 2 usage error, 3 no link.
)";

constexpr const char* kWriteUsage =
    R"(Usage: vondrix-cli [LINK OPTIONS] phonebook write [--kind sim|internal|fixed]
                                                    [--location N] NUMBER NAME

Without --location, stores a new entry in the first free location, as the
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

constexpr const char* kDeleteUsage =
    R"(Usage: vondrix-cli [LINK OPTIONS] phonebook delete [--kind sim|internal|fixed]
                                                     LOCATION

Empties LOCATION after the window's question 'really delete?', which --yes
or --no answers (else the terminal asks; without one the answer is No).

Exit status: 0 deleted, 1 not deleted (no entry there, answered No, the
phone refused, PIN2 cancelled or rejected), 2 usage error, 3 no link.
)";

constexpr const char* kClearUsage =
    R"(Usage: vondrix-cli [LINK OPTIONS] phonebook clear [--kind sim|internal|fixed]

Empties every location of the phonebook after the window's question (--yes,
--no or the terminal answers it; without one the answer is No), then reads
the phonebook again.

Exit status: 0 every location empty, 1 answered No, PIN2 cancelled or
rejected, or entries remain, 2 usage error, 3 no link to the phone.
)";

constexpr const char* kNormaliseUsage =
    R"(Usage: vondrix-cli [LINK OPTIONS] phonebook normalise
                                               [--kind sim|internal|fixed]

Puts the prefix TPref of Vondrix.ini before every number that begins with 0
and does not hold the prefix already: in place of the 0, or before it when
Rem0 is set. A write the phone refuses keeps that entry's old number.

Exit status: 0 every number normalised, 1 TPref is empty, the phone refused
a write, or PIN2 cancelled or rejected, 2 usage error, 3 no link.
)";

constexpr const char* kRedbookUsage =
    R"(Usage: vondrix-cli [LINK OPTIONS] phonebook redbook add|remove LOCATION
                                                      [--kind sim|internal|fixed]

  add LOCATION     adds the entry at LOCATION to the Redbook: its name gets
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

// A text of the model as one output line: UTF-8, line breaks as blanks.
std::string shown(std::string_view latin1) {
    return latin1ToUtf8(phonebook::oneLine(latin1));
}

void printEntry(std::ostream& out, int location, std::string_view name, std::string_view number) {
    out << location << ';' << shown(name) << ';' << shown(number) << '\n';
}

int noEntryAt(const PhonebookWindow& w, int location) {
    return w.fail("location " + std::to_string(location) + " of the " +
                  kindInfo(w.model.current.kind).label + " phonebook holds no entry");
}

// Reads the command line of a subcommand that takes --kind and exactly
// `wordCount` other words; fills `kind` and `line`. Returns a status to
// stop with.
std::optional<int> readSubcommand(CliContext& ctx, const char* command, const char* usage,
                                  const std::vector<std::string>& args,
                                  std::initializer_list<std::string_view> valued,
                                  std::initializer_list<std::string_view> flags,
                                  std::size_t wordCount, Kind& kind, CommandLine& line) {
    if (const auto status = readCommandLine(ctx, command, usage, args, valued, flags, line))
        return status;
    if (const std::string* name = line.value("--kind")) {
        const auto k = kindFromName(*name);
        if (!k)
            return commandUsageError(ctx, command, "--kind needs sim, internal or fixed");
        kind = *k;
    }
    if (line.words.size() != wordCount) {
        return commandUsageError(
            ctx, command,
            line.words.size() < wordCount ? "missing argument" : "too many arguments");
    }
    return std::nullopt;
}

std::optional<int> locationWord(CliContext& ctx, const char* command, const std::string& word,
                                int& location) {
    const auto value = locationValue(word);
    if (!value)
        return commandUsageError(ctx, command, "not a location: '" + word + "'");
    location = *value;
    return std::nullopt;
}

// --- read ------------------------------------------------------------------

int runRead(CliContext& ctx, const std::vector<std::string>& args) {
    const char* command = "phonebook read";
    Kind kind = Kind::Sim;
    CommandLine line;
    if (const auto s =
            readSubcommand(ctx, command, kReadUsage, args, {"--kind"}, {}, 0, kind, line))
        return *s;
    return withPhonebookWindow(ctx, command, kind, true, [&](PhonebookWindow& w) {
        const phonebook::PhonebookModel& m = w.model;
        std::ostream& out = ctx.out;
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

int runExport(CliContext& ctx, const std::vector<std::string>& args) {
    const char* command = "phonebook export";
    Kind kind = Kind::Sim;
    CommandLine line;
    if (const auto s = readSubcommand(ctx, command, kExportUsage, args,
                                      {"--kind", "--format", "--location"}, {}, 1, kind, line))
        return *s;
    const std::string* format = line.value("--format");
    if (format == nullptr)
        return commandUsageError(ctx, command, "--format is missing");
    if (*format != "csv" && *format != "xml" && *format != "vcard")
        return commandUsageError(ctx, command, "--format needs csv, xml or vcard");
    const bool vcard = *format == "vcard";
    int location = 0;
    if (const std::string* text = line.value("--location")) {
        if (!vcard)
            return commandUsageError(ctx, command, "--location only goes with vcard");
        if (const auto s = locationWord(ctx, command, *text, location))
            return *s;
    } else if (vcard) {
        return commandUsageError(ctx, command, "--format vcard needs --location");
    }
    const std::string file = line.words[0];
    if (file.empty())
        return commandUsageError(ctx, command, "FILE is empty");

    return withPhonebookWindow(ctx, command, kind, true, [&](PhonebookWindow& w) {
        const CurrentPhonebook& book = w.model.current;
        const auto before = w.reporter.tally();
        if (*format == "csv")
            return w.status(exportCsv(book, file, w.reporter), before);
        if (*format == "xml")
            return w.status(exportXml(book, file, w.reporter), before);
        const auto row = rowOf(book, location);
        if (!row)
            return noEntryAt(w, location);
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        // The window says nothing when the vCard cannot be written.
        if (!exportVcard(book.rows[*row], file, local))
            return w.fail("cannot write " + file);
        return kExitOk;
    });
}

// --- import ----------------------------------------------------------------

int runImport(CliContext& ctx, const std::vector<std::string>& args) {
    const char* command = "phonebook import";
    Kind kind = Kind::Sim;
    CommandLine line;
    if (const auto s = readSubcommand(ctx, command, kImportUsage, args, {"--kind"},
                                      {"--overwrite", "--append"}, 1, kind, line))
        return *s;
    if (line.has("--overwrite") == line.has("--append"))
        return commandUsageError(ctx, command, "give exactly one of --overwrite and --append");
    const auto mode =
        line.has("--overwrite") ? phonebook::ImportMode::Overwrite : phonebook::ImportMode::Append;
    const std::string file = line.words[0];

    return withPhonebookWindow(ctx, command, kind, true, [&](PhonebookWindow& w) {
        const auto before = w.reporter.tally();
        const phonebook::ImportResult r = importCsv(w.service, file, mode);
        ctx.out << "written " << r.written << ", refused " << r.refused << ", skipped " << r.skipped
                << '\n';
        ctx.out.flush();
        const bool ok = r.end == phonebook::ImportResult::End::Completed && r.refused == 0;
        return w.status(ok, before);
    });
}

// --- write -----------------------------------------------------------------

int runWrite(CliContext& ctx, const std::vector<std::string>& args) {
    const char* command = "phonebook write";
    Kind kind = Kind::Sim;
    CommandLine line;
    if (const auto s = readSubcommand(ctx, command, kWriteUsage, args, {"--kind", "--location"}, {},
                                      2, kind, line))
        return *s;
    std::optional<int> location;
    if (const std::string* text = line.value("--location")) {
        int value = 0;
        if (const auto s = locationWord(ctx, command, *text, value))
            return *s;
        location = value;
    }
    const std::string number = utf8ToLatin1(line.words[0]);
    const std::string name = utf8ToLatin1(line.words[1]);

    return withPhonebookWindow(ctx, command, kind, true, [&](PhonebookWindow& w) {
        CurrentPhonebook& book = w.model.current;
        const auto before = w.reporter.tally();
        int target = 0;
        if (location) {
            // The edit command on the entry's row.
            const auto row = rowOf(book, *location);
            if (!row) {
                return w.fail("location " + std::to_string(*location) + " of the " +
                              kindInfo(book.kind).label +
                              " phonebook holds no entry to change; a new entry goes to the "
                              "first free location (leave out --location)");
            }
            const auto form = w.service.beginEdit(*row);
            if (!form)
                return w.status(false, before);
            target = form->location;
        } else if (!w.service.canAddEntry()) {
            return w.status(false, before);
        }
        // What the entry dialog says while the texts are typed; the save
        // goes on all the same, and the phone decides.
        w.service.warnNameLength(name);
        w.service.warnNumberLength(number);
        const auto typed = w.reporter.tally();
        if (target == 0)
            target = book.firstFreeLocation();  // where saveEntry puts it
        if (!w.service.saveEntry(location.value_or(0), name, number))
            return w.status(false, typed);
        const std::size_t position = book.findLocation(target);
        if (position != CurrentPhonebook::npos) {
            const phonebook::PhonebookEntry& e = book.entries[position];
            printEntry(ctx.out, e.index, e.name, e.number);
            ctx.out.flush();
        }
        return kExitOk;
    });
}

// --- delete, clear, normalise ----------------------------------------------

int runDelete(CliContext& ctx, const std::vector<std::string>& args) {
    const char* command = "phonebook delete";
    Kind kind = Kind::Sim;
    CommandLine line;
    int location = 0;
    if (const auto s =
            readSubcommand(ctx, command, kDeleteUsage, args, {"--kind"}, {}, 1, kind, line))
        return *s;
    if (const auto s = locationWord(ctx, command, line.words[0], location))
        return *s;

    return withPhonebookWindow(ctx, command, kind, true, [&](PhonebookWindow& w) {
        const auto row = rowOf(w.model.current, location);
        if (!row)
            return noEntryAt(w, location);
        const auto before = w.reporter.tally();
        return w.status(w.service.confirmDelete(*row, true), before);
    });
}

int runClear(CliContext& ctx, const std::vector<std::string>& args) {
    const char* command = "phonebook clear";
    Kind kind = Kind::Sim;
    CommandLine line;
    if (const auto s =
            readSubcommand(ctx, command, kClearUsage, args, {"--kind"}, {}, 0, kind, line))
        return *s;
    return withPhonebookWindow(ctx, command, kind, true, [&](PhonebookWindow& w) {
        const auto before = w.reporter.tally();
        const int status = w.status(w.service.confirmClear(), before);
        if (status != kExitOk)
            return status;
        // The window ignores the results of the single writes; the reading
        // afterwards shows whether they worked.
        const std::size_t left = w.model.current.liveCount();
        if (left != 0) {
            return w.fail("not every location could be emptied (" + std::to_string(left) +
                          " left)");
        }
        return kExitOk;
    });
}

int runNormalise(CliContext& ctx, const std::vector<std::string>& args) {
    const char* command = "phonebook normalise";
    Kind kind = Kind::Sim;
    CommandLine line;
    if (const auto s =
            readSubcommand(ctx, command, kNormaliseUsage, args, {"--kind"}, {}, 0, kind, line))
        return *s;
    return withPhonebookWindow(ctx, command, kind, true, [&](PhonebookWindow& w) {
        const auto before = w.reporter.tally();
        w.service.normalise();
        return w.status(true, before);
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
int removeFromRedbook(PhonebookWindow& w, int location) {
    const CurrentPhonebook& book = w.model.current;
    const std::size_t position = book.findLocation(location);
    if (position == CurrentPhonebook::npos)
        return noEntryAt(w, location);
    const phonebook::PhonebookEntry& entry = book.entries[position];
    const auto& redbook = w.model.redbook;
    auto record = std::find_if(redbook.begin(), redbook.end(), [&](const auto& r) {
        return recordNames(r, entry.name) && r.number == entry.number;
    });
    if (record == redbook.end()) {
        record = std::find_if(redbook.begin(), redbook.end(),
                              [&](const auto& r) { return recordNames(r, entry.name); });
    }
    if (!marked(entry.name) || record == redbook.end()) {
        return w.fail("the entry at location " + std::to_string(location) +
                      " is not in the Redbook");
    }
    for (std::size_t i = 0; i < position; ++i) {
        if (!book.isDeleted(i) && book.entries[i].name == entry.name) {
            return w.fail("the entries at locations " + std::to_string(book.entries[i].index) +
                          " and " + std::to_string(location) + " have the same name '" +
                          shown(entry.name) + "': the Redbook cannot tell them apart");
        }
    }
    const auto before = w.reporter.tally();
    const auto index = static_cast<std::size_t>(record - redbook.begin());
    return w.status(w.service.removeFromRedbook(index), before);
}

int runRedbook(CliContext& ctx, const std::vector<std::string>& args) {
    const char* command = "phonebook redbook";
    Kind kind = Kind::Sim;
    CommandLine line;
    if (const auto s =
            readSubcommand(ctx, command, kRedbookUsage, args, {"--kind"}, {}, 2, kind, line))
        return *s;
    const std::string& action = line.words[0];
    if (action != "add" && action != "remove")
        return commandUsageError(ctx, command, "add or remove, not '" + action + "'");
    int location = 0;
    if (const auto s = locationWord(ctx, command, line.words[1], location))
        return *s;

    return withPhonebookWindow(ctx, command, kind, true, [&](PhonebookWindow& w) {
        if (action == "remove")
            return removeFromRedbook(w, location);
        // The double click on the entry's row.
        const auto row = rowOf(w.model.current, location);
        if (!row)
            return noEntryAt(w, location);
        const auto before = w.reporter.tally();
        return w.status(w.service.addToRedbook(*row), before);
    });
}

struct Subcommand {
    const char* name;
    int (*run)(CliContext&, const std::vector<std::string>&);
};

constexpr Subcommand kSubcommands[] = {
    {"read", runRead},           {"export", runExport},   {"import", runImport},
    {"write", runWrite},         {"delete", runDelete},   {"clear", runClear},
    {"normalise", runNormalise}, {"redbook", runRedbook},
};

}  // namespace

// --- shared by the phonebook window's commands -------------------------------

const std::string* CommandLine::value(const std::string& name) const {
    const auto it = values.find(name);
    return it == values.end() ? nullptr : &it->second;
}

std::optional<int> readCommandLine(CliContext& ctx, const char* command, const char* usage,
                                   const std::vector<std::string>& args,
                                   std::initializer_list<std::string_view> valued,
                                   std::initializer_list<std::string_view> flags,
                                   CommandLine& line) {
    const auto listed = [](std::initializer_list<std::string_view> names, const std::string& n) {
        return std::find(names.begin(), names.end(), n) != names.end();
    };
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnded || !a.starts_with("--")) {
            line.words.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
            continue;
        }
        if (a == "--help") {
            ctx.out << usage;
            return kExitOk;
        }
        const auto eq = a.find('=');
        const std::string name = a.substr(0, eq);
        if (listed(flags, name)) {
            if (eq != std::string::npos)
                return commandUsageError(ctx, command, name + " takes no value");
            line.flags.insert(name);
        } else if (!listed(valued, name)) {
            return commandUsageError(ctx, command, "unknown option " + name);
        } else if (eq != std::string::npos) {
            line.values[name] = a.substr(eq + 1);
        } else if (i + 1 < args.size()) {
            line.values[name] = args[++i];
        } else {
            return commandUsageError(ctx, command, name + " needs a value");
        }
    }
    return std::nullopt;
}

std::optional<int> locationValue(const std::string& text) {
    if (text.empty() || text.size() > 6 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const int value = std::stoi(text);
    if (value == 0)
        return std::nullopt;
    return value;
}

std::optional<Kind> kindFromName(const std::string& name) {
    if (name == "sim")
        return Kind::Sim;
    if (name == "internal")
        return Kind::Internal;
    if (name == "fixed")
        return Kind::Fixed;
    return std::nullopt;
}

int PhonebookWindow::fail(const std::string& text) const {
    ctx.err << "vondrix-cli " << command << ": " << text << '\n';
    ctx.err.flush();
    return kExitFailed;
}

int PhonebookWindow::status(bool ok, const CountingReporter::Tally& before) const {
    const CountingReporter::Tally now = reporter.tally();
    const bool cancelled = now.pinsCancelled != before.pinsCancelled;
    if (ok && now.errors == before.errors && !cancelled)
        return kExitOk;
    if (now.errors != before.errors)
        return kExitFailed;  // the message says it
    if (cancelled) {
        return fail(
            "PIN2 question cancelled: nothing was written to the fixed dialling "
            "numbers (give --pin2)");
    }
    if (now.declined != before.declined)
        return kExitFailed;  // the answer line says it
    return selectionRefused();
}

int PhonebookWindow::selectionRefused() const {
    return fail(std::string("the phone refused ") + kindInfo(model.current.kind).selectCommand);
}

int withPhonebookWindow(CliContext& ctx, const char* command, Kind kind, bool needsTable,
                        const std::function<int(PhonebookWindow&)>& body) {
    return withMainWindow(ctx, [&](MainWindow& main) {
        CountingReporter reporter(main.reporter);
        phonebook::PhonebookModel model;
        phonebook::PhonebookService service(main.session.engine, reporter, main.session.settings,
                                            model);
        PhonebookWindow window{ctx, command, main, reporter, model, service};
        const auto save = [&] {
            return saveToLocalFile(model.current, phonebook::kLocalFileName, reporter);
        };

        service.open();
        // The phone reports a range whenever it gives a phonebook; without
        // one the table holds nothing of this kind, and saving it would wipe
        // the kind's section of the local file.
        bool tableRead = model.current.range.highest > 0;
        bool saved = true;
        if (kind != model.current.kind) {
            // The selector's steps, each checked: after a refused selection
            // the table would still hold the previous kind's entries.
            if (tableRead)
                saved = save();
            model.current.kind = kind;
            tableRead = service.selectCurrent() && service.readCurrent();
        }

        int status = kExitOk;
        if (tableRead || !needsTable) {
            status = body(window);
        } else {
            status = window.fail(std::string("the phone did not give its ") + kindInfo(kind).label +
                                 " phonebook (" + kindInfo(kind).selectCommand + ", AT+CPBR=?)");
        }
        // The close box's save. A failed save (message 25) fails the command.
        if (tableRead)
            saved = save() && saved;
        if (!saved && status == kExitOk)
            status = kExitFailed;
        return status;
    });
}

int runPhonebookCommand(CliContext& ctx, const std::vector<std::string>& args) {
    if (args.empty())
        return commandUsageError(ctx, "phonebook", "a subcommand is missing");
    if (args[0] == "--help") {
        ctx.out << kPhonebookUsage;
        return kExitOk;
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    for (const Subcommand& s : kSubcommands)
        if (args[0] == s.name)
            return s.run(ctx, rest);
    return commandUsageError(ctx, "phonebook", "unknown subcommand '" + args[0] + "'");
}

}  // namespace vondrix::cli
