#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "media/Image.h"
#include "support/RunProcess.h"

// Test helpers for the picture codec: ImageMagick as the independent GIF
// encoder and decoder, a small GIF writer of our own for streams no encoder
// makes (no clear code, odd extensions, cut-off data), and our decoder's
// result as RGB for comparison.
namespace vondrix::media::test {

using Bytes = std::vector<std::uint8_t>;

struct RgbPicture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    Bytes rgb;  // 3 bytes a pixel, rows top-down
};

// A picture of exactly `colours` distinct colours (black and white for 2),
// each used at least once, scattered by `seed`.
RgbPicture pattern(std::uint32_t width, std::uint32_t height, unsigned colours, unsigned seed);

// The comparisons with ImageMagick need it installed (scripts/deps.sh); the
// Windows test build cannot start it.
#define VONDRIX_NEEDS_IMAGEMAGICK(magick) \
    VONDRIX_NEEDS_CHILD_PROCESSES();      \
    ASSERT_FALSE((magick).program().empty()) << "scripts/deps.sh installs ImageMagick"

// ImageMagick's command-line converter, found on PATH.
class ImageMagick {
  public:
    ImageMagick();
    ~ImageMagick();
    ImageMagick(const ImageMagick&) = delete;
    ImageMagick& operator=(const ImageMagick&) = delete;
    const std::string& program() const { return program_; }  // empty when missing

    // Encodes `picture` as `format` ("gif", "gif87", "bmp") with extra options
    // (e.g. "-interlace", "GIF"); the options come after the input.
    Bytes encode(const RgbPicture& picture, const std::vector<std::string>& options,
                 const std::string& format = "gif") const;
    // The first frame of a picture file in the given format, as RGB.
    Bytes decodeToRgb(const Bytes& file, const std::string& format) const;
    // Runs the converter on arbitrary arguments; "IN" stands for the input
    // file, "OUT" for the output file. Returns the output file's bytes.
    Bytes run(const Bytes& input, const std::vector<std::string>& args) const;

  private:
    std::string program_;
    std::string dir_;
};

// giflib's gifbuild as a second independent encoder. The colour table holds
// the picture's colours in order of appearance, padded to a power of two.
struct GiflibOptions {
    bool interlaced = false;
    bool gif89 = true;  // a comment block before the image; without it giflib writes GIF87a
    std::uint16_t screenWidth = 0;  // 0: the picture's
    std::uint16_t screenHeight = 0;
    std::uint16_t left = 0;
    std::uint16_t top = 0;
    bool secondImage = false;  // a small image after the picture
};
// Empty (and a test failure) when gifbuild is missing or fails.
Bytes giflibEncode(const RgbPicture& picture, const GiflibOptions& options = {});

// Our LZW encoder: plain GIF LZW with a choice of when to clear.
struct LzwOptions {
    bool leadingClear = true;
    bool clearWhenFull = true;  // false: keep coding with the full table
    bool endCode = true;
    std::size_t subBlock = 255;  // bytes a data sub-block
};
Bytes lzwEncode(const Bytes& indices, unsigned minCodeSize, const LzwOptions& options = {});

struct GifPlan {
    std::string signature = "GIF89a";
    std::uint16_t screenWidth = 0;  // 0: the image's
    std::uint16_t screenHeight = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::vector<Rgb> globalTable;  // 2^n entries, or none
    std::vector<Rgb> localTable;
    std::uint8_t background = 0;
    bool interlaced = false;
    unsigned minCodeSize = 0;  // 0: from the table size, at least 2
    Bytes blocksBefore;        // raw bytes between the tables and the image
    Bytes indices;             // in picture order; written in interlace order when interlaced
    LzwOptions lzw;
    Bytes data;  // when not empty: the image data after the code size, as is
};
Bytes buildGif(const GifPlan& plan);

// Where things are in a GIF, for cutting and patching.
struct GifLayout {
    std::size_t imageDescriptor = 0;  // offset of the ","
    std::size_t minCodeSize = 0;      // offset of the code size byte
    std::size_t end = 0;              // offset of the trailer
};
GifLayout layoutOf(const Bytes& gif);

struct Decoded {
    ImageResult info = ImageResult::Ok;
    ImageResult load = ImageResult::Ok;
    Image image;
    PixelBuffer buffer;
    std::vector<std::uint32_t> rowOrder;  // rows as the decoder delivered them
};
// gifInfo, then gifLoad into a pixel buffer, from memory.
Decoded decode(const Bytes& gif);

// Palette index of pixel (x, y) of the buffer, at its bit depth.
unsigned indexAt(const PixelBuffer& buffer, std::uint32_t x, std::uint32_t y);
// The decoded picture through its palette as RGB, rows top-down.
Bytes toRgb(const Image& image, const PixelBuffer& buffer);

Bytes readFile(const std::string& path);
void writeFile(const std::string& path, const Bytes& bytes);

}  // namespace vondrix::media::test
