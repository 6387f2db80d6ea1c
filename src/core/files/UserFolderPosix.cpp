#include "files/UserFolder.h"

#include <cstdlib>

namespace vondrix::files {

std::string userDataFolder() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/')
        return std::string(xdg) + "/vondrix";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return std::string(home) + "/.local/share/vondrix";
    return {};
}

std::string noUserDataFolderReason() {
    return "neither XDG_DATA_HOME nor HOME is set";
}

}  // namespace vondrix::files
