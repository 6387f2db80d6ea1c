#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "media/ByteSource.h"
#include "media/Image.h"

// Pieces of the GIF reader shared by its container walk and its LZW
// decoder; not used outside media/.
namespace vondrix::media::gif {

// Reads a ByteSource through a buffer of its own, so that the byte-wise
// walk over blocks costs no call per byte.
class BufferedReader {
  public:
    explicit BufferedReader(ByteSource& source) : source_(source) {}

    // The next byte, or -1 at the end of the data.
    int byte() {
        if (pos_ == end_ && !refill())
            return -1;
        return buffer_[pos_++];
    }
    // Fills `out` as far as the data goes; returns the bytes copied.
    std::size_t read(std::span<std::uint8_t> out);
    // Passes over up to n bytes; returns how many there were.
    std::size_t skip(std::size_t n);

  private:
    bool refill();

    ByteSource& source_;
    std::array<std::uint8_t, 16384> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
};

// Decodes the LZW image data that follows the minimum code size byte into
// rows of image.width x image.height at the bitmap depth of
// image.sourceBits, handing each to `sink` as it completes. The image must
// have a non-zero size and 1 to 8 source bits. With `invertMono`, the bits
// of a 1-bit picture are set for index 0 instead of index 1.
ImageResult decodeImageData(BufferedReader& in, unsigned minCodeSize, const Image& image,
                            const RowSink& sink, bool invertMono = false);

}  // namespace vondrix::media::gif
