#include "media/ByteSource.h"

#include <algorithm>

namespace vondrix::media {

FileSource::FileSource(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {
    if (!file_)
        return;
    // The size is informative; a stream that cannot seek simply reports 0.
    if (std::fseek(file_.get(), 0, SEEK_END) == 0) {
        const long end = std::ftell(file_.get());
        if (end > 0)
            size_ = static_cast<std::uint64_t>(end);
    }
    std::rewind(file_.get());
}

std::size_t FileSource::read(std::span<std::uint8_t> out) {
    if (!file_ || out.empty())
        return 0;
    return std::fread(out.data(), 1, out.size(), file_.get());
}

bool FileSource::rewind() {
    if (!file_ || std::fseek(file_.get(), 0, SEEK_SET) != 0)
        return false;
    std::clearerr(file_.get());
    return true;
}

std::size_t MemorySource::read(std::span<std::uint8_t> out) {
    const std::size_t n = std::min(out.size(), bytes_.size() - pos_);
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(pos_), n, out.begin());
    pos_ += n;
    return n;
}

}  // namespace vondrix::media
