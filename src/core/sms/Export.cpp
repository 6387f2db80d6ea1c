#include "sms/Export.h"

#include "sms/TextFiles.h"
#include "text/Xml.h"

namespace vondrix::sms {
namespace {

// Field sizes of the export's buffers, less their terminator.
constexpr std::size_t kIndexMax = 9;
constexpr std::size_t kNameMax = 59;
constexpr std::size_t kNumberMax = 29;
constexpr std::size_t kDateMax = 29;
constexpr std::size_t kTextMax = 511;

std::string cut(std::string_view text, std::size_t max) {
    return std::string(text.substr(0, max));
}

void addLine(std::string& out, std::string_view line) {
    out += line;
    out += kLineEnd;
}

}  // namespace

std::string cleanedText(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c == ',' || c == ';' || c == '\r' || c == '\n')
            c = ' ';
    return out;
}

std::string csvText(const std::vector<MessageRow>& rows) {
    std::string out;
    addLine(out, "NR,NAME,TELNUM,DATE,TEXT");
    for (const MessageRow& r : rows) {
        addLine(out, cut(r.index, kIndexMax) + "," + cut(r.name, kNameMax) + ",'" +
                         cut(r.number, kNumberMax) + "," + cut(r.date, kDateMax) + "," +
                         cleanedText(cut(r.text, kTextMax)));
    }
    return out;
}

std::string xmlText(const std::vector<MessageRow>& rows) {
    std::string out;
    addLine(out, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>");
    addLine(out, "<SMSLIST>");
    for (const MessageRow& r : rows) {
        addLine(out, "<MESSAGE>");
        addLine(out, "<NO>" + xmlEscaped(cut(r.index, kIndexMax)) + "</NO>");
        addLine(out, "<NAME>" + xmlEscaped(cut(r.name, kNameMax)) + "</NAME>");
        addLine(out, "<TELNUM>" + xmlEscaped(cut(r.number, kNumberMax)) + "</TELNUM>");
        addLine(out, "<DATE>" + xmlEscaped(cut(r.date, kDateMax)) + "</DATE>");
        addLine(out, "<TEXT>" + xmlEscaped(cleanedText(cut(r.text, kTextMax))) + "</TEXT>");
        addLine(out, "</MESSAGE>");
    }
    addLine(out, "</SMSLIST>");
    return out;
}

bool exportCsv(const std::vector<MessageRow>& rows, const std::string& path, Reporter& reporter) {
    files::FileError error{};
    if (writeTextFile(path, csvText(rows), WriteMode::Append, &error))
        return true;
    reporter.message(
        msg::fileWriteMessage(error, msg::ExportFileNotOpened, msg::ExportFileNotOpened),
        Caption::Error);
    return false;
}

bool exportXml(const std::vector<MessageRow>& rows, const std::string& path, Reporter& reporter) {
    files::FileError error{};
    if (writeTextFile(path, xmlText(rows), WriteMode::Replace, &error))
        return true;
    reporter.message(
        msg::fileWriteMessage(error, msg::ExportFileNotOpened, msg::ExportFileNotOpened),
        Caption::Error);
    return false;
}

}  // namespace vondrix::sms
