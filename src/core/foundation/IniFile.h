#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vondrix {

// A private-profile (INI) file with the semantics programs of this kind
// rely on: sections and keys match case-insensitively, a missing file or key
// gives the default, values are read as text of at most 259 characters, the
// file is created by the first write, and writes keep every other line
// (foreign sections, unknown keys, comments) as it was.
//
// The file is re-read for every lookup so that several writers stay in step,
// and each write replaces the file atomically (temporary file, then rename).
class IniFile {
public:
    static constexpr std::size_t kMaxValue = 259;

    explicit IniFile(std::string path) : path_(std::move(path)) {}

    const std::string& path() const { return path_; }

    std::string getString(std::string_view section, std::string_view key,
                          std::string_view def) const;
    // The usual decimal conversion of the text value; non-numeric text gives 0.
    int getInt(std::string_view section, std::string_view key, int def) const;

    // False when the file could not be written (the old file is then intact).
    bool writeString(std::string_view section, std::string_view key, std::string_view value);

private:
    std::string path_;
};

// The same semantics over file contents in memory.
std::string iniLookup(std::string_view content, std::string_view section, std::string_view key,
                      std::string_view def);
std::string iniUpdate(std::string_view content, std::string_view section, std::string_view key,
                      std::string_view value);

}  // namespace vondrix
