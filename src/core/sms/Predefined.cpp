#include "sms/Predefined.h"

#include "text/Decimal.h"

namespace vondrix::sms {
namespace {

bool validRow(int k) {
    return k >= 0 && k < PredefinedList::kCount;
}

}  // namespace

std::optional<std::string> insertPredefined(
    std::string_view text, const std::array<std::string, Settings::kPredefinedTexts>& texts) {
    const std::size_t open = text.find('#');
    if (open == std::string_view::npos)
        return std::nullopt;
    const std::size_t close = text.find('#', open + 1);
    if (close == std::string_view::npos)
        return std::nullopt;
    const int k = decimalValue(text.substr(open + 1, close - open - 1));
    if (k < 1 || k > Settings::kPredefinedTexts)
        return std::nullopt;
    const std::string& inserted = texts[static_cast<std::size_t>(k - 1)];
    if (inserted.empty())
        return std::nullopt;
    return std::string(text.substr(0, open)) + inserted;
}

PredefinedList::PredefinedList(Settings& settings) : settings_(settings), rows_(settings.ptxt) {}

const std::string& PredefinedList::row(int k) const {
    static const std::string none;
    return validRow(k) ? rows_[static_cast<std::size_t>(k)] : none;
}

void PredefinedList::edit(int k, std::string_view text) {
    if (validRow(k))
        rows_[static_cast<std::size_t>(k)] = std::string(text.substr(0, kPredefinedEditMax));
}

void PredefinedList::clear(int k) {
    if (!validRow(k))
        return;
    rows_[static_cast<std::size_t>(k)].clear();
    settings_.ptxt[static_cast<std::size_t>(k)].clear();
}

bool PredefinedList::save(IniFile& ini) {
    bool ok = true;
    for (int k = 0; k < kCount; ++k) {
        const std::string& text = rows_[static_cast<std::size_t>(k)];
        if (!text.empty())
            ok = writePredefinedText(ini, settings_, k, text) && ok;
    }
    return ok;
}

}  // namespace vondrix::sms
