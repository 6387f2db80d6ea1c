#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>

// Where a picture is read from: a file, or bytes already in memory.
namespace vondrix::media {

class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Reads up to out.size() bytes; fewer only at the end of the data or on
    // a read error.
    virtual std::size_t read(std::span<std::uint8_t> out) = 0;
    // Total size in bytes, as far as it is known.
    virtual std::uint64_t size() const = 0;
};

class FileSource final : public ByteSource {
  public:
    explicit FileSource(const std::string& path);
    bool isOpen() const { return file_ != nullptr; }
    std::size_t read(std::span<std::uint8_t> out) override;
    std::uint64_t size() const override { return size_; }
    // A read failed (rather than reaching the end), e.g. on a folder.
    bool failed() const { return file_ && std::ferror(file_.get()) != 0; }
    // Back to the first byte; false when the file cannot seek.
    bool rewind();

  private:
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
    std::uint64_t size_ = 0;
};

class MemorySource final : public ByteSource {
  public:
    explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::size_t read(std::span<std::uint8_t> out) override;
    std::uint64_t size() const override { return bytes_.size(); }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

}  // namespace vondrix::media
