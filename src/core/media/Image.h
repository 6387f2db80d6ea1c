#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

// The picture record that carries a logo between formats (GIF in, BMP out),
// and the pixel buffer that holds its rows in between.
namespace vondrix::media {

// Outcome of the format operations, with their fixed numbers (7 is unused).
enum class ImageResult : int {
    Ok = 0,
    CannotOpen = 1,  // the source file cannot be opened
    BadFormat = 2,   // not the expected format, or its picture data is corrupt
    Truncated = 3,   // header, image descriptor or a colour table cut short
    OutOfMemory = 4,
    CannotCreate = 5,  // the output file cannot be created
    WriteFailed = 6,
    RowRefused = 8,  // a row callback refused a row
};

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};
using Palette = std::array<Rgb, 256>;

// Bits of the GIF image descriptor's flag byte.
inline constexpr std::uint8_t kInterlacedFlag = 0x40;
inline constexpr std::uint8_t kLocalColourTableFlag = 0x80;

struct Image {
    std::string displayName;  // file name and extension of `path`
    std::string path;
    std::string signature;         // the file's first six bytes, e.g. "GIF89a"
    std::uint32_t width = 0;       // pixels
    std::uint32_t height = 0;      // pixels
    std::uint32_t sourceBits = 0;  // 1 to 8 for a GIF: its colour table has 2^bits entries
    std::uint8_t imageFlags = 0;   // the image descriptor's flag byte
    std::uint8_t background = 0;   // background colour index of the screen
    std::uint64_t fileSize = 0;
    std::uint64_t imageDataSize = 0;  // informative only
    Palette palette{};

    bool interlaced() const { return (imageFlags & kInterlacedFlag) != 0; }
};

// Bits per pixel of the bitmap that keeps the colour depth class of a
// source: 1 stays 1, 2 to 4 become 4, 5 to 8 become 8, anything else 24.
std::uint32_t bitmapBitsFor(std::uint32_t sourceBits);

// Bytes of one bitmap row of `width` pixels at `bitmapBits`, rounded up to a
// multiple of 4 as BMP rows are.
std::uint64_t rowStride(std::uint32_t width, std::uint32_t bitmapBits);

// Row callbacks. `y` counts picture rows from the top. A false answer stops
// the operation with ImageResult::RowRefused.
using RowSink = std::function<bool(std::span<const std::uint8_t> row, std::uint32_t y)>;
using RowSource = std::function<bool(std::span<std::uint8_t> row, std::uint32_t y)>;

// The picture's rows in bitmap layout (packed at the bitmap depth, each row
// padded to the stride), stored bottom-up like a BMP file.
class PixelBuffer {
  public:
    // Takes depth and stride from the image's source bits and reserves
    // height rows of zeros. False when memory is short; the buffer is then
    // left empty.
    bool allocate(const Image& image);
    void release();

    bool allocated() const { return allocated_; }
    std::uint32_t bitsPerPixel() const { return bits_; }
    std::size_t stride() const { return stride_; }
    std::uint32_t rowCount() const { return rows_; }

    // Copies the first stride bytes of `row` into picture row y. Nothing to
    // do (and success) while no buffer is allocated; false for a row outside
    // the picture or shorter than the stride.
    bool putRow(std::span<const std::uint8_t> row, std::uint32_t y);
    // Copies picture row y out into the first stride bytes of `row`, with the
    // same rules.
    bool getRow(std::span<std::uint8_t> row, std::uint32_t y) const;

    // Picture row y (0 at the top), stride bytes; y must be below rowCount().
    std::span<const std::uint8_t> row(std::uint32_t y) const;

    RowSink sink();
    RowSource source() const;

  private:
    std::size_t offsetOf(std::uint32_t y) const { return (rows_ - 1 - y) * stride_; }

    std::vector<std::uint8_t> bytes_;
    std::uint32_t bits_ = 0;
    std::size_t stride_ = 0;
    std::uint32_t rows_ = 0;
    bool allocated_ = false;
};

}  // namespace vondrix::media
