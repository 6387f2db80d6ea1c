#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "media/Image.h"

// The BMP writer: uncompressed Windows bitmaps at 1, 4, 8 or 24 bits a
// pixel, rows bottom-up, each padded to a multiple of 4 bytes.
namespace vondrix::media {

struct BmpLayout {
    std::uint32_t bitsPerPixel = 0;  // from the source bits: 1, 4, 8 or 24
    std::uint32_t stride = 0;        // bytes a row
    std::uint32_t dataOffset = 0;    // headers and colour table: 62, 118, 1078 or 54
    std::uint32_t fileSize = 0;
};

// The file's layout for `image`; none when the picture is too large for the
// format's 32-bit fields.
std::optional<BmpLayout> bmpLayout(const Image& image);

using ByteWriter = std::function<bool(std::span<const std::uint8_t> bytes)>;

// Writes the bitmap of `image` to `write`: the 54-byte header, the colour
// table (black and white for 1 bit, the image's palette for 4 and 8 bits,
// none for 24), then the rows from the bottom of the picture up, each
// fetched with `getRow` (picture row y, stride bytes). Ok, BadFormat (too
// large for the format), OutOfMemory, WriteFailed, RowRefused.
ImageResult writeBmp(const Image& image, const RowSource& getRow, const ByteWriter& write);

// writeBmp into the file `outputPath`. CannotCreate when it cannot be
// created; on any failure after that the partly written file is deleted.
ImageResult bmpSave(const Image& image, const std::string& outputPath, const RowSource& getRow);

// `path` with everything from the first "." of its file name on replaced by
// "." and `extension` (added when the name has no "."): "C:\LOGOS\TEST.GIF"
// and "BMP" give "C:\LOGOS\TEST.BMP". Dots in directory names are left alone.
std::string replaceExtension(std::string_view path, std::string_view extension);

}  // namespace vondrix::media
