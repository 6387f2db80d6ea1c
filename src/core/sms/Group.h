#pragma once

// Message groups: a recipient list built from the name directory, kept in
// a group file (".srp": one "name,number" line per member).

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Reporter.h"
#include "sms/NameDirectory.h"

namespace vondrix::sms {

constexpr const char* kGroupExtension = "srp";
// Longest name and number a group file line carries.
constexpr std::size_t kGroupNameMax = 259;
constexpr std::size_t kGroupNumberMax = 49;

struct GroupMember {
    std::string name;
    std::string number;

    bool operator==(const GroupMember&) const = default;
};

// "name,number" and CR LF per member, in order (name cut to 259, number to
// 49 characters). A name holding a comma, or starting with a double quote,
// is written in double quotes with its quotes doubled ("Smith, Anna",0301):
// numbers never hold a comma, so only the name needs it.
std::string groupFileText(const std::vector<GroupMember>& members);
// The members of a group file: per line (CR LF or LF ends, a last line
// without one included) a quoted name as written above, else the text
// before the first "," is the name; the rest is the number. A line without
// "," is skipped.
std::vector<GroupMember> parseGroupFile(std::string_view content);

// The group window's source list: the searchable records of the directory,
// sorted by name (column 0) or number (column 1) as unsigned bytes.
std::vector<NameRecord> groupSource(const NameDirectory& names, int column = 0);

class Group {
  public:
    const std::vector<GroupMember>& members() const { return members_; }
    bool empty() const { return members_.empty(); }
    // The group was saved since it was last loaded or emptied.
    bool saved() const { return saved_; }

    // Appends each record whose name no member has yet; returns how many.
    std::size_t add(const std::vector<NameRecord>& records);
    void removeAt(std::size_t position);

    // Writes the group file (only when there are members). The group counts
    // as saved only when the file was written; no message either way.
    bool save(const std::string& path);
    // Replaces the members by the file's (a missing file gives none). With
    // unsaved members, asks message 76 first; false when the user says No.
    bool load(const std::string& path, Reporter& reporter);
    // Empties the group, asking message 76 first while it is unsaved; false
    // when the user says No.
    bool clear(Reporter& reporter);

  private:
    bool mayDiscard(Reporter& reporter) const;

    std::vector<GroupMember> members_;
    bool saved_ = false;
};

}  // namespace vondrix::sms
