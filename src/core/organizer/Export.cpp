#include "organizer/Export.h"

#include <algorithm>

#include "organizer/FileAccess.h"
#include "text/Xml.h"

namespace vondrix::organizer {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
// Characters of a column the export fetches.
constexpr std::size_t kTextColumn = 29;
constexpr std::size_t kTimeColumn = 9;

std::string cut(std::string_view text, std::size_t length) {
    return std::string(text.substr(0, std::min(text.size(), length)));
}

bool isControl(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == '\x7f';
}

void addLine(std::string& out, std::string_view line) {
    out += line;
    out += kLineEnd;
}

template <typename Fn>
void forEachExported(const OrganizerList& list, Fn fn) {
    for (const Row& row : list.rows())
        if (!row.date.empty())
            fn(row);
}

bool writeOrReport(const std::string& path, std::string_view content, FileWrite mode,
                   Reporter& reporter) {
    files::FileError error{};
    if (writeFile(path, content, mode, &error))
        return true;
    reporter.message(
        msg::fileWriteMessage(error, msg::ExportFileNotOpened, msg::ExportFileNotOpened),
        Caption::Error);
    return false;
}

}  // namespace

ExportedEntry exportedEntry(const Row& row) {
    ExportedEntry e;
    e.date = cut(row.date, kTextColumn);
    e.time = cut(row.time, kTimeColumn);
    e.alarm = row.alarm ? "1" : "0";
    e.category = std::to_string(row.category.value_or(0));
    e.text = cut(row.description, kTextColumn);
    // A separator or a line end inside the text would shift the fields.
    for (char& c : e.text)
        if (c == ',' || c == ';' || isControl(c))
            c = ' ';
    e.rrule = std::to_string(row.recurrence);
    return e;
}

std::string csvText(const OrganizerList& list) {
    std::string out;
    addLine(out, "DATE;TIME;ALARM;CATEGORY;TEXT;RRULE");
    forEachExported(list, [&](const Row& row) {
        const ExportedEntry e = exportedEntry(row);
        addLine(out, e.date + ";" + e.time + ";" + e.alarm + ";" + e.category + ";" + e.text + ";" +
                         e.rrule);
    });
    return out;
}

std::string xmlText(const OrganizerList& list) {
    std::string out;
    addLine(out, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>");
    addLine(out, "<ORGANIZER>");
    forEachExported(list, [&](const Row& row) {
        const ExportedEntry e = exportedEntry(row);
        addLine(out, "<ENTRY>");
        addLine(out, "<DATE>" + xmlEscaped(e.date) + "</DATE>");
        addLine(out, "<TIME>" + xmlEscaped(e.time) + "</TIME>");
        addLine(out, "<ALARM>" + e.alarm + "</ALARM>");
        addLine(out, "<CATEGORY>" + e.category + "</CATEGORY>");
        addLine(out, "<TEXT>" + xmlEscaped(e.text) + "</TEXT>");
        addLine(out, "<RRULE>" + e.rrule + "</RRULE>");
        addLine(out, "</ENTRY>");
    });
    addLine(out, "</ORGANIZER>");
    return out;
}

bool exportCsv(const OrganizerList& list, const std::string& path, Reporter& reporter) {
    return writeOrReport(path, csvText(list), FileWrite::Append, reporter);
}

bool exportXml(const OrganizerList& list, const std::string& path, Reporter& reporter) {
    return writeOrReport(path, xmlText(list), FileWrite::Replace, reporter);
}

bool exportIcalendar(const OrganizerList& list, const std::string& path, const std::tm& stampUtc,
                     Reporter& reporter) {
    return writeOrReport(path, icalendarText(list, stampUtc), FileWrite::Replace, reporter);
}

}  // namespace vondrix::organizer
