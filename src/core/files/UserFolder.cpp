#include "files/UserFolder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

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

bool enterUserFolder(const std::string& folder, std::string* error) {
    const auto fail = [&](const std::string& why) {
        if (error)
            *error = why;
        return false;
    };
    if (folder.empty())
        return fail("no per-user folder: neither XDG_DATA_HOME nor HOME is set");
    std::error_code ec;
    // A new folder is the user's alone: it holds their phonebook and messages.
    if (std::filesystem::create_directories(folder, ec))
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all, ec);
    if (ec)
        return fail("cannot create " + folder + ": " + ec.message());
    std::filesystem::current_path(folder, ec);
    if (ec)
        return fail("cannot enter " + folder + ": " + ec.message());
    return true;
}

}  // namespace vondrix::files
