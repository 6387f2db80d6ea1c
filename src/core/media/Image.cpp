#include "media/Image.h"

#include <algorithm>
#include <limits>
#include <new>
#include <stdexcept>

namespace vondrix::media {

std::uint32_t bitmapBitsFor(std::uint32_t sourceBits) {
    if (sourceBits == 1)
        return 1;
    if (sourceBits >= 2 && sourceBits <= 4)
        return 4;
    if (sourceBits >= 5 && sourceBits <= 8)
        return 8;
    return 24;
}

std::uint64_t rowStride(std::uint32_t width, std::uint32_t bitmapBits) {
    return (std::uint64_t{width} * bitmapBits + 31) / 32 * 4;
}

bool PixelBuffer::allocate(const Image& image) {
    release();
    const std::uint64_t stride = rowStride(image.width, bitmapBitsFor(image.sourceBits));
    const std::uint64_t limit = std::numeric_limits<std::ptrdiff_t>::max();
    if (image.height != 0 && stride > limit / image.height)
        return false;
    const std::uint64_t total = stride * image.height;
    try {
        bytes_.assign(static_cast<std::size_t>(total), 0);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    bits_ = bitmapBitsFor(image.sourceBits);
    stride_ = static_cast<std::size_t>(stride);
    rows_ = image.height;
    allocated_ = true;
    return true;
}

void PixelBuffer::release() {
    std::vector<std::uint8_t>().swap(bytes_);
    bits_ = 0;
    stride_ = 0;
    rows_ = 0;
    allocated_ = false;
}

bool PixelBuffer::putRow(std::span<const std::uint8_t> row, std::uint32_t y) {
    if (!allocated_)
        return true;
    if (y >= rows_ || row.size() < stride_)
        return false;
    std::copy_n(row.begin(), stride_, bytes_.begin() + static_cast<std::ptrdiff_t>(offsetOf(y)));
    return true;
}

bool PixelBuffer::getRow(std::span<std::uint8_t> row, std::uint32_t y) const {
    if (!allocated_)
        return true;
    if (y >= rows_ || row.size() < stride_)
        return false;
    const auto from = this->row(y);
    std::copy(from.begin(), from.end(), row.begin());
    return true;
}

std::span<const std::uint8_t> PixelBuffer::row(std::uint32_t y) const {
    return std::span<const std::uint8_t>(bytes_).subspan(offsetOf(y), stride_);
}

RowSink PixelBuffer::sink() {
    return [this](std::span<const std::uint8_t> row, std::uint32_t y) { return putRow(row, y); };
}

RowSource PixelBuffer::source() const {
    return [this](std::span<std::uint8_t> row, std::uint32_t y) { return getRow(row, y); };
}

}  // namespace vondrix::media
