#pragma once

// The per-user folder of a program started from the desktop menu, where no
// working directory of the user's choosing exists: it holds what a terminal
// start keeps in the working directory (settings, local phonebook, cell
// log, exports).

#include <string>

namespace vondrix::files {

// "$XDG_DATA_HOME/vondrix" when that variable holds an absolute path, else
// "$HOME/.local/share/vondrix"; on Windows "%APPDATA%\Vondrix". Empty when
// none can be named.
std::string userDataFolder();
// Why userDataFolder() is empty: which variables are missing.
std::string noUserDataFolderReason();

// Creates `folder` (and its parents; the folder itself for the user alone)
// when missing and makes it the working directory; false with the reason
// in *error otherwise.
bool enterUserFolder(const std::string& folder, std::string* error);

}  // namespace vondrix::files
