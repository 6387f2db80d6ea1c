#include "files/UserFolder.h"

#include <filesystem>
#include <system_error>

#include "files/Paths.h"

namespace vondrix::files {

bool enterUserFolder(const std::string& folder, std::string* error) {
    const auto fail = [&](const std::string& why) {
        if (error)
            *error = why;
        return false;
    };
    if (folder.empty())
        return fail("no per-user folder: " + noUserDataFolderReason());
    std::error_code ec;
    const std::filesystem::path path = fsPath(folder);
    // A new folder is the user's alone: it holds their phonebook and messages.
    if (std::filesystem::create_directories(path, ec))
        std::filesystem::permissions(path, std::filesystem::perms::owner_all, ec);
    if (ec)
        return fail("cannot create " + folder + ": " + ec.message());
    std::filesystem::current_path(path, ec);
    if (ec)
        return fail("cannot enter " + folder + ": " + ec.message());
    return true;
}

}  // namespace vondrix::files
