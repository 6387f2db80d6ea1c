#include "phonebook/Import.h"

#include <algorithm>
#include <vector>

#include "files/Files.h"
#include "link/LinkOperation.h"
#include "phonebook/FileLines.h"

namespace vondrix::phonebook {

ImportResult importCsv(PhonebookWriter& writer, const std::string& path, ImportMode mode) {
    PhonebookReader& reader = writer.reader();
    using End = ImportResult::End;
    ImportResult result;
    CurrentPhonebook& book = reader.model().current;
    Reporter& reporter = reader.reporter();
    LinkOperation operation(reader.engine(), reporter);

    reader.selectCurrent();  // as the phone must see it; a failure shows in the writes

    const files::ReadResult file = files::readRegularFile(path);
    if (!file.ok()) {
        reporter.message(msg::fileReadMessage(file), Caption::Error);
        result.end = End::FileError;
        return result;
    }
    // Every line loses only its own line end: a last line without one
    // keeps all its characters.
    const std::vector<std::string_view> lines = splitLines(file.content);
    if (lines.empty() || !isCsvHeader(lines.front())) {
        reporter.message(msg::InvalidFileHeader, Caption::Error);
        result.end = End::BadHeader;
        return result;
    }

    bool sentWrite = false;
    for (std::size_t i = 1; i < lines.size() && result.end == End::Completed; ++i) {
        const auto issue = [&](LineProblem problem) {
            result.issues.push_back({static_cast<int>(i) + 1, problem});
        };
        std::optional<CsvLine> line = parseCsvLine(lines[i]);
        if (!line) {
            ++result.skipped;
            issue(csvLineProblem(lines[i]));
            continue;
        }
        if (book.range.textLength > 0)
            line->name.resize(
                std::min(line->name.size(), static_cast<std::size_t>(book.range.textLength)));
        const int type = numberType(line->number);

        if (book.kind == Kind::Fixed) {
            const auto pin = writer.ensurePin2();
            if (pin == PhonebookWriter::WriteResult::Cancelled) {
                ++result.skipped;
                issue(LineProblem::PinCancelled);
                continue;
            }
            if (pin != PhonebookWriter::WriteResult::Ok) {
                result.end = End::PinFailed;
                break;
            }
        }

        int location = line->location;
        if (mode == ImportMode::Append) {
            // The table could not show what a further write would add.
            if (book.entries.size() >= kMaxEntries) {
                reporter.message(msg::MaxEntriesReached, Caption::Error);
                result.end = End::TableFull;
                break;
            }
            location = book.firstFreeLocation();
            if (location == 0) {
                reporter.message(msg::NoFreeEntry, Caption::Error);
                result.end = End::NoFreeLocation;
                break;
            }
        }

        sentWrite = true;
        switch (writer.store(location, line->number, type, line->name)) {
            case PhonebookWriter::WriteResult::Ok:
                ++result.written;
                if (mode == ImportMode::Append) {
                    PhonebookEntry e;
                    e.index = location;
                    e.number = line->number;
                    e.type = type;
                    e.name = line->name;
                    book.addEntry(std::move(e));  // room was checked above
                }
                break;
            case PhonebookWriter::WriteResult::Failed:
                reporter.message(msg::NewEntryNotWritten, Caption::Error);
                ++result.refused;
                issue(LineProblem::PhoneRefused);
                break;
            case PhonebookWriter::WriteResult::Cancelled:
                ++result.skipped;
                issue(LineProblem::PinCancelled);
                break;
            case PhonebookWriter::WriteResult::Refused:
                ++result.skipped;
                issue(LineProblem::ValueRefused);
                break;
            case PhonebookWriter::WriteResult::LinkFailed:
                result.end = End::LinkFailed;
                break;
            case PhonebookWriter::WriteResult::InvalidPin:
            case PhonebookWriter::WriteResult::PinRejected:
                result.end = End::PinFailed;
                break;
        }
        reporter.pump();
    }

    if (mode == ImportMode::Append) {
        sortRows(book.rows, 1);
    } else if (sentWrite && !operation.failed() && reader.selectCurrent()) {
        result.reread = reader.readCurrent(Reporter::Display::PhonebookBar);
    }
    return result;
}

}  // namespace vondrix::phonebook
