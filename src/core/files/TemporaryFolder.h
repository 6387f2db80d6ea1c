#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vondrix::files {

// A folder of our own for temporary files: created fresh and unique (mode
// 0700) under $TMPDIR, else /tmp (on Windows in the user's temporary
// folder, whose permissions it inherits), so that nothing in it can clash
// with a user's file or be read by other users; removed with everything in
// it when the object goes.
class TemporaryFolder {
  public:
    // Nothing when no folder could be made.
    static std::optional<TemporaryFolder> create(std::string_view prefix = "vondrix-");

    TemporaryFolder(TemporaryFolder&& other) noexcept;
    TemporaryFolder& operator=(TemporaryFolder&& other) noexcept;
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    ~TemporaryFolder();

    const std::string& path() const { return path_; }
    // The path of `name` inside the folder.
    std::string file(std::string_view name) const;

  private:
    explicit TemporaryFolder(std::string path) : path_(std::move(path)) {}
    void remove() noexcept;

    std::string path_;  // empty once moved from
};

}  // namespace vondrix::files
