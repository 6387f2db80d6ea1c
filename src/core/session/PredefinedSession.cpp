#include "session/PredefinedSession.h"

#include <algorithm>

namespace vondrix {
namespace {

std::string pick(Language lang, std::initializer_list<std::pair<Language, const char*>> texts,
                 const char* others) {
    for (const auto& [l, t] : texts)
        if (l == lang)
            return t;
    return others;
}

}  // namespace

PredefinedSession::PredefinedSession(Session& session, Reporter& reporter)
    : session_(session),
      service_(session.engine, reporter, session.settings, session.sms),
      list_(session.settings) {}

std::array<std::string, PredefinedSession::kColumns> PredefinedSession::headers() const {
    using L = Language;
    const Language lang = session_.language;
    return {pick(lang,
                 {{L::German, "Text"},
                  {L::French, "Text"},
                  {L::Spanish, "Testo"},
                  {L::Italian, "Testo"},
                  {L::Dutch, "Tekst"},
                  {L::Norwegian, "Tekst"},
                  {L::Portuguese, "Texto"}},
                 "Text"),
            pick(lang, {{L::German, "Nr."}, {L::Dutch, "Nr."}}, "#")};
}

std::array<int, PredefinedSession::kColumns> PredefinedSession::columnWidths(
    const std::array<int, kColumns>& fitting) const {
    std::array<int, kColumns> widths{};
    for (std::size_t c = 0; c < widths.size(); ++c)
        widths[c] = session_.settings.pCol[c] != 0 ? session_.settings.pCol[c]
                                                   : std::max(kDefaultWidths[c], fitting[c]);
    return widths;
}

bool PredefinedSession::save() {
    return list_.save(session_.ini);
}

sms::SendReport PredefinedSession::store(int k) {
    const std::string text = list_.row(k);
    if (text.empty())
        return {};
    return service_.storePredefined(text);
}

bool PredefinedSession::close(const std::vector<int>& widths) {
    Settings& s = session_.settings;
    s.setColumns(Settings::Columns::P, widths);
    return s.writeColumns(session_.ini, Settings::Columns::P);
}

}  // namespace vondrix
