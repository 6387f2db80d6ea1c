// Start-up read of Vondrix.ini: every key start-up reads (options, the 50
// predefined texts, the column widths) from a 1 MB and a 5 MB file whose
// real keys come at its end. Median of several runs, milliseconds.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "foundation/IniFile.h"
#include "foundation/Settings.h"

namespace {

// Sections and unknown keys first, the real keys last.
std::string largeIni(std::size_t bytes) {
    std::string text;
    text.reserve(bytes + 4096);
    for (int s = 0; text.size() < bytes / 2; ++s) {
        text += "[Other" + std::to_string(s) + "]\r\n";
        for (int k = 0; k < 16; ++k)
            text += "Key" + std::to_string(k) + "=some value\r\n";
    }
    text += "[Vondrix]\r\n";
    for (int i = 0; text.size() < bytes; ++i)
        text += "Unknown" + std::to_string(i) + "=" + std::string(40, 'u') + "\r\n";
    text += "Port=1\r\nReadB=1\r\nTPref=0049\r\nWaitSec=9\r\nPtxt0=Hello\r\nTCol1=80\r\n";
    return text;
}

}  // namespace

int main() {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "vondrix-bench-ini";
    fs::create_directories(dir);
    const std::string path = (dir / "Vondrix.ini").string();
    constexpr int kRuns = 7;

    for (const std::size_t megabytes : {1u, 5u}) {
        std::ofstream(path, std::ios::binary) << largeIni(megabytes << 20);
        std::vector<double> ms;
        int sink = 0;
        for (int run = 0; run < kRuns; ++run) {
            const auto start = std::chrono::steady_clock::now();
            const vondrix::IniFile ini(path);
            vondrix::Settings settings;
            settings.readOptions(ini);
            settings.readTextsAndColumns(ini);
            ms.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count());
            sink += settings.port + settings.tCol[1];
        }
        std::sort(ms.begin(), ms.end());
        std::printf(
            "start-up read of a %zu MB Vondrix.ini: median %.1f ms (min %.1f, max %.1f)%s\n",
            megabytes, ms[ms.size() / 2], ms.front(), ms.back(),
            sink == kRuns * 81 ? "" : " WRONG VALUES");
    }
    fs::remove_all(dir);
    return 0;
}
