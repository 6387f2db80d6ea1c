#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "files/Files.h"

namespace vondrix {

// A private-profile (INI) file with the semantics programs of this kind
// rely on: sections and keys match case-insensitively, a missing file or key
// gives the default, values are read as text of at most 259 characters, the
// file is created by the first write, and writes keep every other line
// (foreign sections, unknown keys, comments) as it was.
//
// The file is read once, on the first lookup, into an index, so that a
// lookup costs the same however large the file is. Each write reads the file
// anew (keeping what other programs changed in the meantime), replaces it
// atomically (a temporary file beside it, then a rename) and from then on
// answers lookups from what it wrote.

// The lookup side of an INI text: the first section of each name and, in
// it, the first line of each key, names compared case-insensitively.
class IniIndex {
  public:
    IniIndex() = default;
    explicit IniIndex(std::string_view content);

    // The value (trimmed, matching quotes removed, at most 259 characters)
    // or `def` (cut the same way).
    std::string lookup(std::string_view section, std::string_view key, std::string_view def) const;

  private:
    using Keys = std::unordered_map<std::string, std::string>;  // lower-case key -> value
    std::unordered_map<std::string, Keys> sections_;            // lower-case name -> keys
};

class IniFile {
  public:
    static constexpr std::size_t kMaxValue = 259;

    explicit IniFile(std::string path) : path_(std::move(path)) {}

    const std::string& path() const { return path_; }

    std::string getString(std::string_view section, std::string_view key,
                          std::string_view def) const;
    // The usual decimal conversion of the text value; non-numeric text gives 0.
    int getInt(std::string_view section, std::string_view key, int def) const;

    // False when the file could not be written (the old file is then
    // intact). A file that is there but cannot be read (not a regular file,
    // no permission) is never replaced.
    bool writeString(std::string_view section, std::string_view key, std::string_view value);
    // Several keys of one section in one replacement of the file: a window
    // that saves its keys as it closes writes the file once.
    using KeyValues = std::vector<std::pair<std::string, std::string>>;
    bool writeStrings(std::string_view section, const KeyValues& values);

    // Why the file could not be read at start (NotFound for a missing file,
    // which simply gives the defaults); None when it was read.
    files::FileError readError() const;

  private:
    const IniIndex& index() const;

    std::string path_;
    mutable std::optional<IniIndex> index_;     // built on the first lookup
    mutable std::optional<std::string> known_;  // the file's content, not indexed yet
    mutable files::FileError readError_ = files::FileError::None;
};

// The same semantics over file contents in memory.
std::string iniLookup(std::string_view content, std::string_view section, std::string_view key,
                      std::string_view def);
std::string iniUpdate(std::string_view content, std::string_view section, std::string_view key,
                      std::string_view value);

}  // namespace vondrix
