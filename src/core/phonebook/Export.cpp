#include "phonebook/Export.h"

#include <cstdio>

#include "files/Files.h"
#include "phonebook/FileLines.h"
#include "text/Xml.h"

namespace vondrix::phonebook {
namespace {

void addLine(std::string& out, std::string_view line) {
    out += line;
    out += kLineEnd;
}

// The file is replaced whole: a failed export leaves no new file behind and
// an existing one as it was.
bool writeExport(const std::string& path, std::string_view content, Reporter& reporter) {
    const files::FileError error = files::replaceFileAtomically(path, content);
    if (error == files::FileError::None)
        return true;
    reporter.message(msg::fileWriteMessage(error, msg::ExportFileNotOpened), Caption::Error);
    return false;
}

template <typename Fn>
void forEachExported(const CurrentPhonebook& book, Fn fn) {
    for (std::size_t i = 0; i < book.entries.size(); ++i)
        if (!book.isDeleted(i))
            fn(book.entries[i]);
}

}  // namespace

std::string defaultExportName(Kind kind, std::string_view extension) {
    return std::string(kExportBaseName) + "_" + kindInfo(kind).code + "." + std::string(extension);
}

std::string defaultVcardName(std::string_view shownName) {
    if (shownName.empty())
        return std::string(kExportBaseName) + ".vcf";
    std::string name(shownName);
    for (char& c : name)
        if (c == '/' || c == '\0')
            c = '_';
    return name + ".vcf";
}

std::string exportName(std::string_view name) {
    // Only a trailing "!" is the Redbook marker; one elsewhere is part of
    // the name and must not cost its last letter.
    if (!name.empty() && name.back() == '!')
        name.remove_suffix(1);
    return oneLine(name);
}

std::string csvText(const CurrentPhonebook& book) {
    std::string out;
    addLine(out, "NR;NAME;TELNUM");
    forEachExported(book, [&](const PhonebookEntry& e) {
        addLine(out, std::to_string(e.index) + ";" + exportName(e.name) + ";'" + oneLine(e.number));
    });
    return out;
}

std::string xmlText(const CurrentPhonebook& book) {
    std::string out;
    addLine(out, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>");
    addLine(out, "<PHONEBOOK>");
    forEachExported(book, [&](const PhonebookEntry& e) {
        addLine(out, "<ENTRY>");
        addLine(out, "<NO>" + std::to_string(e.index) + "</NO>");
        addLine(out, "<NAME>" + xmlEscaped(exportName(e.name)) + "</NAME>");
        addLine(out, "<TELNUMBER>" + xmlEscaped(oneLine(e.number)) + "</TELNUMBER>");
        addLine(out, "</ENTRY>");
    });
    addLine(out, "</PHONEBOOK>");
    return out;
}

std::string vcardText(std::string_view name, std::string_view number, const std::tm& localTime) {
    char stamp[96];  // room for six ints of any value
    std::snprintf(stamp, sizeof stamp, "%4ld%02d%02dT%02d%02d%02dZ",
                  static_cast<long>(localTime.tm_year) + 1900, localTime.tm_mon + 1,
                  localTime.tm_mday, localTime.tm_hour, localTime.tm_min, localTime.tm_sec);
    const std::string shownName = oneLine(name);
    std::string out;
    addLine(out, "BEGIN:VCARD");
    addLine(out, "VERSION:2.1");
    addLine(out, "N:" + shownName);
    addLine(out, "FN:" + shownName);
    addLine(out, "TEL;HOME;VOICE:" + oneLine(number));
    addLine(out, std::string("REV:") + stamp);
    addLine(out, "END:VCARD");
    return out;
}

bool exportCsv(const CurrentPhonebook& book, const std::string& path, Reporter& reporter) {
    return writeExport(path, csvText(book), reporter);
}

bool exportXml(const CurrentPhonebook& book, const std::string& path, Reporter& reporter) {
    return writeExport(path, xmlText(book), reporter);
}

bool exportVcard(const Row& row, const std::string& path, const std::tm& localTime) {
    return files::replaceFileAtomically(path, vcardText(row.name, row.number, localTime)) ==
           files::FileError::None;
}

}  // namespace vondrix::phonebook
