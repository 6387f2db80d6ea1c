#include "support/RunProcess.h"

#include <filesystem>
#include <random>

namespace vondrix::test {

std::string makeTempDir(const std::string& tag) {
    // A new name until one is free: create_directory tells whether it made it.
    std::random_device seed;
    std::mt19937 random(seed());
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto dir = base / ("vondrix-" + tag + "-" + std::to_string(random() % 1000000000));
        std::error_code ec;
        if (std::filesystem::create_directory(dir, ec))
            return dir.string();
    }
    return {};
}

}  // namespace vondrix::test
