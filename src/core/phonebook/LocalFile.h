#pragma once

// The local phonebook file: a copy of the phonebooks read so far, one
// section per kind ("[SIM]", "[INT]", "[FDN]"), each entry a line
// "location,name,number" with the kind's name suffix. The message list and
// the command mode load it as a name directory to show names for senders
// without reading the phone.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Reporter.h"
#include "phonebook/Phonebook.h"

namespace vondrix::phonebook {

constexpr const char* kLocalFileName = "Vondrix.phb";
// The replacement is written under this name beside the file, then renamed
// over it. When a file of this name is already there (left by a crash, or
// put there by someone else), it is left alone and a unique name beside it
// is used instead.
constexpr const char* kLocalTempName = "Vondrix.$$$";
// The name directory holds at most this many records; later lines are ignored.
constexpr std::size_t kNameDirectorySize = 600;

// The file's new content: `oldContent` (the old file's bytes, CR LF, LF or
// CR line ends) with the section of `book.kind` replaced by the current entry table, the
// other sections kept in place. `oldExists` false means there was no file.
// Every line ends in CR LF.
std::string replaceSection(std::string_view oldContent, bool oldExists,
                           const CurrentPhonebook& book);

// Writes the current phonebook into its section of the file at `path`,
// keeping the other sections. The new content goes to a temporary file in
// the same directory first (files::replaceFileAtomically, preferring
// kLocalTempName) and is renamed over `path`, so a failed save leaves the
// old file as it was; a symlink at `path` is replaced, not followed.
// Message 104 when `path` is not a regular file (a FIFO is never opened
// for long enough to block), 105 when the file cannot be read or written.
bool saveToLocalFile(const CurrentPhonebook& book, const std::string& path, Reporter& reporter);

// The name directory from the file's content: every line without "[" that
// has a comma, in file order, all sections together. Location before the
// first comma, number after the last one, name in between (so a name with a
// comma reads back whole); a line with one comma gives an empty name and
// number. Names keep their "+", "*" and "!" suffixes; `type` is 0. Fields
// are cut to kMaxField characters; at most kNameDirectorySize records.
// Accepts CR LF, LF and CR line ends and a last line without one.
std::vector<PhonebookEntry> parseNameDirectory(std::string_view content);

// The name directory from the file at `path`; empty when there is no
// regular file to read (quietly: a missing file is the normal case).
std::vector<PhonebookEntry> loadNameDirectory(const std::string& path);

}  // namespace vondrix::phonebook
