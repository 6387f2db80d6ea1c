#pragma once

// Import of a vCard file into the current phonebook: each number of each
// card becomes an entry in a free location (planVcardImport), written with
// the store write.

#include <string>

#include "phonebook/PhonebookWriter.h"
#include "phonebook/Vcard.h"

namespace vondrix::phonebook {

// The largest vCard file read.
constexpr std::size_t kMaxVcardFile = 4 * 1024 * 1024;

struct VcardImportResult {
    enum class End {
        Completed,       // every planned entry was dealt with
        FileError,       // message 36, 104 or 158
        NoCards,         // message 156
        NoFreeLocation,  // the free locations ran out: the rest is listed in `unwritten`
        PinFailed,       // message 47 or 48 (fixed dialling)
        LinkFailed,
    };
    End end = End::Completed;
    VcardPlan plan;
    int written = 0;
    int refused = 0;  // the phone refused (message 49 each)
    // Planned entries that were not written for want of a free location
    // (with --dry-run: would not be); listed, never cut.
    std::vector<VcardPlan::Entry> unwritten;
};

// Reads the file (a regular file of at most kMaxVcardFile bytes), plans the
// import against the current phonebook and, unless `dryRun`, selects the
// current kind and writes the entries into free locations, adding each to
// the entry table and the rows.
VcardImportResult importVcard(PhonebookWriter& writer, const std::string& path, bool dryRun);

}  // namespace vondrix::phonebook
