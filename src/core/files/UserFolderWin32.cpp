#include "files/UserFolder.h"

#include <windows.h>

#include <filesystem>

#include "files/Paths.h"
#include "files/WideText.h"

namespace vondrix::files {

std::string userDataFolder() {
    // The roaming application data, where Windows programs keep what
    // follows the user from one computer to the next.
    wchar_t appData[32768];
    const DWORD n = ::GetEnvironmentVariableW(L"APPDATA", appData, 32768);
    if (n == 0 || n >= 32768)
        return {};
    const std::filesystem::path base(std::wstring(appData, n));
    if (!base.is_absolute())
        return {};
    return utf8Path(base / L"Vondrix");
}

std::string noUserDataFolderReason() {
    return "APPDATA is not set";
}

}  // namespace vondrix::files
