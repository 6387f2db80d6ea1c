// The GIF reader and the BMP writer over arbitrary bytes: no read or write
// outside any buffer, every row delivered at most once and inside the
// picture, a successful load gives indices inside the colour table, the
// outcome does not depend on how the bytes arrive, and the bitmap written
// from it has the size its header claims and the rows the reader gave.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "FuzzSupport.h"
#include "media/Bmp.h"
#include "media/ByteSource.h"
#include "media/Gif.h"

namespace {

using namespace vondrix::media;

// Hands out its bytes a few at a time.
class TrickleSource final : public ByteSource {
  public:
    TrickleSource(std::span<const std::uint8_t> bytes, std::size_t step)
        : bytes_(bytes), step_(step) {}
    std::size_t read(std::span<std::uint8_t> out) override {
        const std::size_t n = std::min({out.size(), step_, bytes_.size() - pos_});
        std::memcpy(out.data(), bytes_.data() + pos_, n);
        pos_ += n;
        return n;
    }
    std::uint64_t size() const override { return bytes_.size(); }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t step_;
    std::size_t pos_ = 0;
};

// Pictures above this size are decoded without being stored, so that a
// header claiming 65535 x 65535 pixels does not fill the memory.
constexpr std::uint64_t kMaxStoredPixels = 1u << 18;

struct Outcome {
    ImageResult result;
    PixelBuffer buffer;
};

Outcome load(const Image& info, ByteSource& source) {
    Outcome out;
    const bool store = std::uint64_t{info.width} * info.height <= kMaxStoredPixels;
    if (store)
        check(out.buffer.allocate(info));
    const std::size_t stride = rowStride(info.width, bitmapBitsFor(info.sourceBits));
    std::vector<bool> seen(info.height, false);
    Image image = info;
    out.result = gifLoad(image, source, [&](std::span<const std::uint8_t> row, std::uint32_t y) {
        check(row.size() == stride);
        check(y < info.height);
        check(!seen[y]);
        seen[y] = true;
        return !store || out.buffer.putRow(row, y);
    });
    check(image.width == info.width && image.height == info.height);
    check(out.result == ImageResult::Ok || out.result == ImageResult::BadFormat ||
          out.result == ImageResult::Truncated);
    return out;
}

unsigned indexAt(const PixelBuffer& buffer, std::uint32_t x, std::uint32_t y) {
    const auto row = buffer.row(y);
    switch (buffer.bitsPerPixel()) {
        case 1:
            return (row[x / 8] >> (7 - x % 8)) & 1u;
        case 4:
            return x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0Fu;
        default:
            return row[x];
    }
}

std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    Image info;
    MemorySource forInfo(bytes);
    const ImageResult infoResult = gifInfo(info, forInfo);
    check(infoResult == ImageResult::Ok || infoResult == ImageResult::BadFormat ||
          infoResult == ImageResult::Truncated);
    if (infoResult != ImageResult::Ok)
        return 0;
    check(info.signature.size() == 6 && info.signature.starts_with("GIF"));
    check(info.sourceBits >= 1 && info.sourceBits <= 8);
    check(info.width <= 0xFFFF && info.height <= 0xFFFF);
    check(info.fileSize == size);

    MemorySource forLoad(bytes);
    const Outcome first = load(info, forLoad);
    TrickleSource trickle(bytes, 1 + size % 7);
    const Outcome second = load(info, trickle);
    check(second.result == first.result);
    if (first.result != ImageResult::Ok || !first.buffer.allocated())
        return 0;

    const unsigned colours = 1u << info.sourceBits;
    for (std::uint32_t y = 0; y < info.height; ++y) {
        check(std::equal(first.buffer.row(y).begin(), first.buffer.row(y).end(),
                         second.buffer.row(y).begin()));
        for (std::uint32_t x = 0; x < info.width; ++x)
            check(indexAt(first.buffer, x, y) < colours);
    }

    std::vector<std::uint8_t> bmp;
    check(writeBmp(info, first.buffer.source(), [&bmp](std::span<const std::uint8_t> b) {
              bmp.insert(bmp.end(), b.begin(), b.end());
              return true;
          }) == ImageResult::Ok);
    const auto layout = bmpLayout(info);
    check(layout.has_value());
    check(bmp.size() >= 54 && bmp[0] == 'B' && bmp[1] == 'M');
    check(le32(bmp, 2) == bmp.size() && bmp.size() == layout->fileSize);
    check(le32(bmp, 10) == layout->dataOffset);
    check(layout->stride == first.buffer.stride());
    for (std::uint32_t i = 0; i < info.height; ++i) {
        const auto row = first.buffer.row(info.height - 1 - i);
        check(std::memcmp(bmp.data() + layout->dataOffset + std::size_t{i} * layout->stride,
                          row.data(), row.size()) == 0);
    }
    return 0;
}
