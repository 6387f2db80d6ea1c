#pragma once

// CSV import into the current phonebook: each line "location;name;'number"
// (commas accepted in place of semicolons, line by line) is written to the
// phone with the store write.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Language.h"
#include "foundation/Messages.h"

#include "phonebook/PhonebookWriter.h"

namespace vondrix::phonebook {

// Overwrite writes each line to the location it names; Append writes it to
// the next free location and ignores the line's location. The caller asks
// the user (message 76: Yes = overwrite).
enum class ImportMode { Append, Overwrite };

// One data line of the file as read, before any cut.
struct CsvLine {
    int location = 0;
    std::string name;
    std::string number;
};

// True when the first line holds "NR;NAME;TELNUM" or "NR,NAME,TELNUM".
bool isCsvHeader(std::string_view line);

// A data line (without its line end): the location before the first ";"
// (or, when the line has none, the first ","), the name up to the next ";"
// (or ","), then an apostrophe and the number. nullopt when a separator or
// the apostrophe is missing. Control characters in name and number (which
// would end or split the phone's command line) become spaces. The line
// ends at a NUL byte.
std::optional<CsvLine> parseCsvLine(std::string_view line);

// Why an import line was skipped or refused.
enum class LineProblem {
    NoSeparators,  // fewer than two separators (";" or ",")
    NoApostrophe,  // the number does not begin with an apostrophe
    PinCancelled,  // the PIN2 dialog was cancelled (fixed dialling)
    ValueRefused,  // a value no command line may carry (message 106)
    PhoneRefused,  // the phone refused the write (message 49)
};

// Which of the first two problems makes parseCsvLine refuse `line`.
LineProblem csvLineProblem(std::string_view line);

// A line of the file that was not written, and why.
struct LineIssue {
    int line = 0;  // line number in the file, the header being line 1
    LineProblem problem = LineProblem::NoSeparators;
    bool operator==(const LineIssue&) const = default;
};

// The catalogue message that says a problem.
msg::Id messageOf(LineProblem problem);

// "Line 7: The number lacks the apostrophe in front", in `language` (UTF-8).
std::string issueText(const LineIssue& issue, Language language);

struct ImportResult {
    enum class End {
        Completed,       // every line was dealt with
        FileError,       // message 36 (could not be opened) or 104 (not a regular file)
        BadHeader,       // message 37: empty file or wrong first line
        NoFreeLocation,  // message 32 (append mode)
        TableFull,       // message 22: the entry table holds kMaxEntries (append mode)
        PinFailed,       // message 47 or 48 (fixed dialling)
        LinkFailed,      // the link failed: the rest of the file was not written
    };
    End end = End::Completed;
    int written = 0;      // lines stored on the phone
    int refused = 0;      // lines the phone refused (message 49 each)
    int skipped = 0;      // malformed lines, lines whose PIN2 dialog was cancelled, and
                          // lines with a value no command line may carry (message 106)
    bool reread = false;  // the phonebook was read again (overwrite mode)
    // Every skipped or refused line, in file order: the import says which
    // and why, where the window says nothing for a skipped line.
    std::vector<LineIssue> issues;
};

// Imports the file at `path` into the current phonebook of `writer`'s
// model: selects the current kind, checks the header, then writes line by
// line with PhonebookWriter::store (which encodes the name and, for fixed
// dialling, runs the PIN2 protocol; ensurePin2 runs first for each line, so
// a cancelled dialog skips only that line). A name longer than the
// phonebook's text length (when known) is cut to it. Lines may end in CR
// LF, LF or CR. Messages 36 or 104, 37, 22, 32, 49 here, 47 and 48 from
// the writer.
//
// Append mode adds each written entry to the entry table and the rows
// (sorted by name at the end) and uses up its free location. Overwrite
// mode changes locations the table may hold, so once a write has been
// attempted it selects the current kind again and, when that works, reads
// the phonebook anew with the window's progress bar (ImportResult::reread).
ImportResult importCsv(PhonebookWriter& writer, const std::string& path, ImportMode mode);

}  // namespace vondrix::phonebook
