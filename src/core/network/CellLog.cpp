#include "network/CellLog.h"

#include "files/Files.h"

#include <cstdio>
#include <system_error>

#include "text/Latin1.h"

namespace vondrix::network {

std::string formatCellLogLine(std::chrono::system_clock::time_point when, const LoggedCell& cell,
                              std::optional<int> dbm, std::string_view stateText) {
    using namespace std::chrono;
    const auto day = floor<days>(when);
    const year_month_day date{day};
    const hh_mm_ss time{floor<seconds>(when - day)};
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04d/%02u/%02u,%02d:%02d:%02d,'%04X,'%04X,%u,",
                  static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), static_cast<int>(time.hours().count()),
                  static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()), cell.cellId, cell.lac, cell.code);
    std::string line = stamp;
    if (dbm)
        line += "-" + std::to_string(*dbm) + " dBm";
    line += ',';
    line += utf8ToLatin1(stateText);
    return line;
}

bool appendToCellLog(const std::string& path, std::string_view header, std::string_view text) {
    // A FIFO or device would block or swallow the lines; a directory cannot be written.
    const files::FileKind kind = files::fileKind(path);
    if (kind == files::FileKind::Other)
        return false;
    std::string lines;
    if (kind == files::FileKind::Missing) {
        lines.append(header);
        lines += "\r\n";
    }
    lines.append(text);
    return files::appendToFile(path, lines) == files::FileError::None;
}

}  // namespace vondrix::network
