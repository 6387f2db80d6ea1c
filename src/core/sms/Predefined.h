#pragma once

// The 50 predefined texts: the "#k#" marker that inserts text k while a
// message is typed, and the list the predefined-messages window edits.
// The texts themselves are Settings::ptxt (slots 0 … 49, shown as 1 … 50).

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "foundation/IniFile.h"
#include "foundation/Settings.h"

namespace vondrix::sms {

// Longest text an edit keeps.
constexpr std::size_t kPredefinedEditMax = 160;

// The marker rule: the first "#" and the next "#" after it enclose a number;
// when it is 1 … 50 and text k is not empty, the text becomes what stood
// before the first "#" followed by text k (whatever followed the second "#"
// is dropped). Nothing when the text holds no such marker.
std::optional<std::string> insertPredefined(
    std::string_view text, const std::array<std::string, Settings::kPredefinedTexts>& texts);

// The predefined-messages window's rows. Edits stay in the rows until save();
// clearing a row empties its slot at once but not the settings file, so a
// cleared text is back after the next start.
class PredefinedList {
  public:
    explicit PredefinedList(Settings& settings);

    static constexpr int kCount = Settings::kPredefinedTexts;
    // Row k (0 … 49) shows text number k + 1.
    const std::string& row(int k) const;
    // An edit in place: the text cut to 160 characters becomes the row's text.
    void edit(int k, std::string_view text);
    // Empties row k and its slot (the settings file keeps the old text).
    void clear(int k);
    // Copies every non-empty row into its slot and writes it as "Ptxt<k>";
    // empty rows are skipped. False when the settings file could not be written.
    bool save(IniFile& ini);

  private:
    Settings& settings_;
    std::array<std::string, Settings::kPredefinedTexts> rows_;
};

}  // namespace vondrix::sms
