#include "phonebook/VcardImport.h"

#include "files/Files.h"
#include "link/LinkOperation.h"

namespace vondrix::phonebook {

VcardImportResult importVcard(PhonebookWriter& writer, const std::string& path, bool dryRun) {
    PhonebookReader& reader = writer.reader();
    using End = VcardImportResult::End;
    VcardImportResult result;
    Reporter& reporter = reader.reporter();
    CurrentPhonebook& book = reader.model().current;
    const files::ReadResult file = files::readRegularFile(path, kMaxVcardFile);
    if (!file.ok()) {
        reporter.message(msg::fileReadMessage(file), Caption::Error);
        result.end = End::FileError;
        return result;
    }
    const std::vector<Vcard> cards = parseVcards(file.content);
    if (cards.empty()) {
        reporter.message(msg::NoVcardInFile, Caption::Error);
        result.end = End::NoCards;
        return result;
    }
    result.plan = planVcardImport(cards, book, static_cast<std::size_t>(book.range.textLength),
                                  static_cast<std::size_t>(book.range.numberLength));
    if (dryRun) {
        // As many as there are free locations would be written.
        std::size_t free = book.freeLocations.size();
        for (const auto& entry : result.plan.entries) {
            if (free > 0)
                --free;
            else
                result.unwritten.push_back(entry);
        }
        if (!result.unwritten.empty())
            result.end = End::NoFreeLocation;
        return result;
    }

    LinkOperation operation(reader.engine(), reporter);
    if (result.plan.entries.empty())
        return result;
    reader.selectCurrent();  // a refusal shows in the writes
    for (std::size_t i = 0; i < result.plan.entries.size(); ++i) {
        const VcardPlan::Entry& entry = result.plan.entries[i];
        const int location = book.firstFreeLocation();
        if (location == 0 || book.entries.size() >= kMaxEntries) {
            result.unwritten.assign(result.plan.entries.begin() + static_cast<std::ptrdiff_t>(i),
                                    result.plan.entries.end());
            result.end = End::NoFreeLocation;
            break;
        }
        if (book.kind == Kind::Fixed) {
            const auto pin = writer.ensurePin2();
            if (pin != PhonebookWriter::WriteResult::Ok) {
                result.end = End::PinFailed;
                break;
            }
        }
        const auto written = writer.store(location, entry.number, entry.type, entry.name);
        if (written == PhonebookWriter::WriteResult::Ok) {
            ++result.written;
            book.addEntry(PhonebookEntry{location, entry.number, entry.type, entry.name});
        } else if (written == PhonebookWriter::WriteResult::LinkFailed) {
            result.end = End::LinkFailed;
            break;
        } else if (written == PhonebookWriter::WriteResult::InvalidPin ||
                   written == PhonebookWriter::WriteResult::PinRejected) {
            result.end = End::PinFailed;
            break;
        } else {
            if (written == PhonebookWriter::WriteResult::Failed)
                reporter.message(msg::NewEntryNotWritten, Caption::Error);
            ++result.refused;
            // The location stays free on the phone, but this run does not try it again.
            book.takeFreeLocation(location);
        }
        reporter.pump();
    }
    sortRows(book.rows, 1);
    return result;
}

}  // namespace vondrix::phonebook
