#include "media/LogoPreparation.h"

#include <new>

#include "media/Bmp.h"
#include "media/Gif.h"
#include "media/ObjectFile.h"

namespace vondrix::media {

GifConversion convertGifToBmp(const std::string& gifPath, const std::string& bmpPath) {
    Image image;
    image.path = gifPath;
    if (const ImageResult info = gifInfo(image); info != ImageResult::Ok)
        return {info, false};
    PixelBuffer buffer;
    if (!buffer.allocate(image))
        return {ImageResult::OutOfMemory, false};
    if (const ImageResult load = gifLoad(image, buffer.sink()); load != ImageResult::Ok)
        return {load, false};

    // The bitmap is made in memory and written in one piece, so that a
    // failure never leaves half a file.
    std::vector<std::uint8_t> bmp;
    ImageResult saved = ImageResult::Ok;
    try {
        saved = writeBmp(image, buffer.source(), [&bmp](std::span<const std::uint8_t> bytes) {
            bmp.insert(bmp.end(), bytes.begin(), bytes.end());
            return true;
        });
    } catch (const std::bad_alloc&) {
        saved = ImageResult::OutOfMemory;
    }
    if (saved != ImageResult::Ok)
        return {saved, true};
    buffer.release();
    if (!writeObjectFile(bmpPath, bmp))
        return {ImageResult::CannotCreate, true};
    return {ImageResult::Ok, true};
}

}  // namespace vondrix::media
