#include "phonebook/LocalFile.h"

#include <array>

#include "files/Files.h"
#include "phonebook/FileLines.h"
#include "text/Decimal.h"

namespace vondrix::phonebook {
namespace {

constexpr std::array<Kind, 3> kOrder = {Kind::Sim, Kind::Internal, Kind::Fixed};

// True when `line` holds the header of `from` or of a kind after it.
bool isHeaderFrom(std::string_view line, int from) {
    for (int k = from; k < static_cast<int>(kOrder.size()); ++k)
        if (line.find(kindInfo(kOrder[static_cast<std::size_t>(k)]).section) !=
            std::string_view::npos)
            return true;
    return false;
}

std::string cut(std::string_view text) {
    return std::string(text.substr(0, kMaxField));
}

}  // namespace

std::string replaceSection(std::string_view oldContent, bool oldExists,
                           const CurrentPhonebook& book) {
    const KindInfo& info = kindInfo(book.kind);
    const int kind = static_cast<int>(book.kind);
    const std::vector<std::string_view> lines =
        oldExists ? splitLines(oldContent) : std::vector<std::string_view>{};

    std::string out;
    auto emit = [&out](std::string_view line) {
        out += line;
        out += kLineEnd;
    };

    // Whatever precedes the section of this kind or of a later one stays;
    // before [SIM] nothing does.
    std::size_t at = 0;
    if (kind > 0) {
        while (at < lines.size() && !isHeaderFrom(lines[at], kind))
            emit(lines[at++]);
    }

    emit(info.section);
    for (const PhonebookEntry& e : book.entries) {
        // A line break inside a field would split the record in two.
        emit(std::to_string(e.index) + "," + oneLine(e.name) + info.nameSuffix + "," +
             oneLine(e.number));
    }

    // The sections of the later kinds stay; the old lines of this one go.
    while (at < lines.size() && !isHeaderFrom(lines[at], kind + 1))
        ++at;
    while (at < lines.size())
        emit(lines[at++]);
    return out;
}

bool saveToLocalFile(const CurrentPhonebook& book, const std::string& path, Reporter& reporter) {
    using files::FileError;
    const files::ReadResult old = files::readRegularFile(path);
    if (old.error == FileError::NotRegular) {
        reporter.message(msg::NotARegularFile, Caption::Error);
        return false;
    }
    if (!old.ok() && old.error != FileError::NotFound) {
        // There but unreadable: replacing it would lose the other sections.
        reporter.message(msg::FileNotSaved, Caption::Error);
        return false;
    }
    const std::string content = replaceSection(old.content, old.ok(), book);

    // Never delete the old file first: the complete new content is renamed
    // over it, so at every moment one of the two versions is on disk whole.
    const FileError error = files::replaceFileAtomically(path, content, kLocalTempName);
    if (error == FileError::None)
        return true;
    reporter.message(msg::fileWriteMessage(error, msg::FileNotSaved), Caption::Error);
    return false;
}

std::vector<PhonebookEntry> parseNameDirectory(std::string_view content) {
    std::vector<PhonebookEntry> directory;
    for (std::string_view line : splitLines(content)) {
        if (directory.size() == kNameDirectorySize)
            break;
        if (line.find('[') != std::string_view::npos)
            continue;
        const std::size_t first = line.find(',');
        if (first == std::string_view::npos)
            continue;
        PhonebookEntry e;
        e.index = decimalValue(line.substr(0, first));
        e.type = 0;
        const std::string_view rest = line.substr(first + 1);
        // Numbers never hold a comma, names may: split at the last one.
        const std::size_t last = rest.rfind(',');
        if (last != std::string_view::npos) {
            e.name = cut(rest.substr(0, last));
            e.number = cut(rest.substr(last + 1));
        }
        directory.push_back(std::move(e));
    }
    return directory;
}

std::vector<PhonebookEntry> loadNameDirectory(const std::string& path) {
    const files::ReadResult file = files::readRegularFile(path);
    if (!file.ok())
        return {};
    return parseNameDirectory(file.content);
}

}  // namespace vondrix::phonebook
