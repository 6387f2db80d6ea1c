#pragma once

// Exports of the current phonebook: a semicolon-separated file and an XML
// file of the entry table, and a vCard 2.1 file of one row. Every line ends
// in CR LF; texts stay in the PC character set (ISO 8859-1). Opening the
// file afterwards is the caller's business.

#include <ctime>
#include <string>
#include <string_view>

#include "foundation/Reporter.h"
#include "phonebook/Phonebook.h"

namespace vondrix::phonebook {

constexpr const char* kExportBaseName = "Vondrix";

// "Vondrix_SM.csv", "Vondrix_ME.xml", "Vondrix_FD.csv", ...; `extension`
// without its dot.
std::string defaultExportName(Kind kind, std::string_view extension);
// The vCard's suggested file name: the name as shown plus ".vcf", with
// characters a file name cannot hold ("/", NUL) as "_"; "Vondrix.vcf" for
// an empty name.
std::string defaultVcardName(std::string_view shownName);

// The name as the CSV and XML files show it: a Redbook member loses its
// trailing "!" marker.
std::string exportName(std::string_view name);

// The file contents. Entries come in table order (the order of reading),
// entries deleted since the last read left out.
std::string csvText(const CurrentPhonebook& book);
std::string xmlText(const CurrentPhonebook& book);
// One entry; `localTime` gives the REV stamp (local time, marked "Z").
std::string vcardText(std::string_view name, std::string_view number, const std::tm& localTime);

// Write the files. Each file is replaced whole (files::replaceFileAtomically):
// a failed export creates no file and leaves an existing one as it was; a
// symlink at `path` is replaced by the new file. Message 104 when `path` is
// a FIFO, device or directory, 25 when the file cannot be written.
bool exportCsv(const CurrentPhonebook& book, const std::string& path, Reporter& reporter);
bool exportXml(const CurrentPhonebook& book, const std::string& path, Reporter& reporter);
// The vCard of `row` (name and number as the list shows them), written the
// same way. No message on failure.
bool exportVcard(const Row& row, const std::string& path, const std::tm& localTime);

}  // namespace vondrix::phonebook
