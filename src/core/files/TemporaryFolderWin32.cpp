#include "files/TemporaryFolder.h"

#include <windows.h>

#include <chrono>
#include <cstdio>

#include "files/WideText.h"

namespace vondrix::files {

std::optional<TemporaryFolder> TemporaryFolder::create(std::string_view prefix) {
    // The user's temporary folder (TMP, TEMP, else the profile's), which
    // new folders inherit as the user's alone.
    wchar_t base[MAX_PATH + 1];
    const DWORD n = ::GetTempPathW(MAX_PATH + 1, base);
    if (n == 0 || n > MAX_PATH)
        return std::nullopt;
    const std::string folder = utf8Text(std::wstring_view(base, n));
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
        char unique[32];
        std::snprintf(unique, sizeof unique, "%lx%06llx", ::GetCurrentProcessId(),
                      (static_cast<unsigned long long>(now) + attempt) & 0xFFFFFFull);
        std::string path = folder + std::string(prefix) + unique;
        // Made exclusively: an existing folder of that name is never taken.
        if (::CreateDirectoryW(wideText(path).c_str(), nullptr))
            return TemporaryFolder(std::move(path));
        if (::GetLastError() != ERROR_ALREADY_EXISTS)
            return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace vondrix::files
