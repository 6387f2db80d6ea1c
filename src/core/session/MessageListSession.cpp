#include "session/MessageListSession.h"

#include <algorithm>

#include "session/SmsNames.h"
#include "sms/Export.h"
#include "sms/Texts.h"

namespace vondrix {

std::size_t loadSmsNames(Session& session, const std::string& localFile) {
    session.sms.names = loadSmsNameDirectory(localFile);
    return session.sms.names.records().size();
}

MessageListSession::MessageListSession(Session& session, Reporter& reporter, std::string localFile)
    : session_(session),
      reporter_(reporter),
      localFile_(std::move(localFile)),
      service_(session.engine, reporter, session.settings, session.sms) {}

bool MessageListSession::open() {
    loadSmsNames(session_, localFile_);
    return refresh();
}

bool MessageListSession::refresh() {
    return service_.readMessages();
}

std::array<std::string, MessageListSession::kColumns> MessageListSession::headers() const {
    return sms::listColumnHeaders(session_.language);
}

std::array<int, MessageListSession::kColumns> MessageListSession::columnWidths(
    const std::array<int, kColumns>& fitting) const {
    std::array<int, kColumns> widths{};
    for (std::size_t c = 0; c < widths.size(); ++c)
        widths[c] = session_.settings.sCol[c] != 0 ? session_.settings.sCol[c]
                                                   : std::max(kDefaultWidths[c], fitting[c]);
    return widths;
}

std::string MessageListSession::memoryStateText() const {
    const auto& state = session_.sms.list.memory.state;
    return state ? sms::memoryStateText(session_.language, *state) : std::string();
}

void MessageListSession::sortBy(int column) {
    sms::sortRows(list().rows, column);
}

sms::DeleteReport MessageListSession::deleteRows(const std::vector<std::size_t>& rows) {
    return service_.deleteRows(rows);
}

std::optional<MessageView> MessageListSession::view(std::size_t row) const {
    const auto& all = rows();
    if (row >= all.size())
        return std::nullopt;
    const sms::MessageRow& r = all[row];
    MessageView v;
    v.text = r.text;
    v.sender = r.name.empty() ? r.number : r.name;
    v.date = r.date;
    v.status = sms::statusMessageOf(r.statusValue);
    if (auto whole = sms::wholeMessageOf(all, row)) {
        v.text = whole->text;
        v.whole = std::move(whole);
    }
    return v;
}

std::optional<std::string> MessageListSession::numberForPhonebook(std::size_t row) {
    if (!session_.phonebook.phonebookRead) {
        reporter_.message(msg::ReadPhonebookFirst, Caption::Error);
        return std::nullopt;
    }
    if (row >= rows().size() || rows()[row].number.empty())
        return std::nullopt;
    return rows()[row].number;
}

bool MessageListSession::exportCsv(const std::string& path) {
    return sms::exportCsv(rows(), path, reporter_);
}

bool MessageListSession::exportXml(const std::string& path) {
    return sms::exportXml(rows(), path, reporter_);
}

bool MessageListSession::close(const std::vector<int>& widths) {
    Settings& s = session_.settings;
    s.setColumns(Settings::Columns::S, widths);
    return s.writeColumns(session_.ini, Settings::Columns::S);
}

}  // namespace vondrix
