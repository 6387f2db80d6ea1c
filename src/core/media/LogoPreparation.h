#pragma once

#include <string>

#include "media/Image.h"

// A GIF picked as a logo becomes the BMP the phone takes.
namespace vondrix::media {

struct GifConversion {
    ImageResult result = ImageResult::Ok;
    // The GIF was read in full; a failure after that is the BMP's (memory,
    // writing), which the main window does not report.
    bool decoded = false;
};

// Decodes the first image of the GIF at `gifPath` and writes it to
// `bmpPath` as a bitmap of its colour depth class (2 colours: 1 bit, up to
// 16: 4 bits, up to 256: 8 bits). Nothing is written unless the whole GIF
// decoded; an existing file at `bmpPath` is replaced only by a complete
// bitmap.
GifConversion convertGifToBmp(const std::string& gifPath, const std::string& bmpPath);

}  // namespace vondrix::media
