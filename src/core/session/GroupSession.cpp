#include "session/GroupSession.h"

#include <algorithm>

namespace vondrix {

GroupSession::GroupSession(Session& session, Reporter& reporter)
    : session_(session),
      reporter_(reporter),
      service_(session.engine, reporter, session.settings, session.sms) {}

void GroupSession::open() {
    service_.readServiceCentre();
}

std::array<std::string, GroupSession::kColumns> GroupSession::headers() const {
    switch (session_.language) {
        case Language::German:
            return {"Name", "Nummer"};
        case Language::Spanish:
            return {"Nombre", "Numero"};
        case Language::French:
            return {"Nom", "Numéro"};
        case Language::Italian:
        case Language::Portuguese:
            return {"Nome", "Numero"};
        case Language::Dutch:
            return {"Naam", "Nummer"};
        case Language::Norwegian:
            return {"Navn", "Nummer"};
        case Language::English:
            break;
    }
    return {"Name", "Number"};
}

std::array<int, GroupSession::kColumns> GroupSession::columnWidths(
    const std::array<int, kColumns>& fitting) const {
    std::array<int, kColumns> widths{};
    for (std::size_t c = 0; c < widths.size(); ++c)
        widths[c] = session_.settings.gCol[c] != 0 ? session_.settings.gCol[c]
                                                   : std::max(kDefaultWidths[c], fitting[c]);
    return widths;
}

std::vector<sms::NameRecord> GroupSession::source(int column) const {
    return sms::groupSource(session_.sms.names, column);
}

std::optional<SendDialogSession> GroupSession::sendDialog() {
    if (group_.empty())
        return std::nullopt;
    std::optional<SendDialogSession> dialog(std::in_place, session_, reporter_);
    dialog->openForGroup(group_.members());
    return dialog;
}

bool GroupSession::close(const std::vector<int>& widths) {
    Settings& s = session_.settings;
    s.setColumns(Settings::Columns::G, widths);
    return s.writeColumns(session_.ini, Settings::Columns::G);
}

}  // namespace vondrix
