#pragma once

// The cell log "Vondrix.log": a header line, then one line per change of
// cell, location area, operator or registration state. Latin-1 text with
// CR LF line ends.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace vondrix::network {

inline constexpr const char* kCellLogName = "Vondrix.log";
inline constexpr std::string_view kCellLogHeader = "date,time,cellid,lai,net,state";

// The four values a log line is written for when one of them changes.
struct LoggedCell {
    unsigned cellId = 0;
    unsigned lac = 0;
    unsigned code = 0;
    int state = 0;

    bool operator==(const LoggedCell&) const = default;
    bool empty() const { return *this == LoggedCell{}; }
};

// One data line without its line end:
// "2024/03/01,12:00:05,'605F,'5E25,26201,-79 dBm,Logged in" (time in UTC).
// `dbm` is the magnitude of the last reception level; without one the field
// stays empty. `stateText` is UTF-8 and written as Latin-1.
std::string formatCellLogLine(std::chrono::system_clock::time_point when, const LoggedCell& cell,
                              std::optional<int> dbm, std::string_view stateText);

// The log's only file access: appends `text` (whole lines with their line
// ends, or nothing) to the file at `path`. A file that does not exist yet is
// created with `header` and a line end first. False, with nothing written,
// when the path is no regular file or cannot be opened for appending.
bool appendToCellLog(const std::string& path, std::string_view header, std::string_view text);

}  // namespace vondrix::network
