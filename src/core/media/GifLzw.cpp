// The GIF variant of LZW: variable-width codes (minimum code size + 1 up to
// 12 bits) packed least significant bit first into sub-blocks of up to 255
// bytes, a clear code and an end code after the literal codes, and a table
// of at most 4096 strings. Rows are handed out as soon as they are complete,
// so the compressed data is never held as a whole.
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "media/GifStream.h"

namespace vondrix::media::gif {

std::size_t BufferedReader::read(std::span<std::uint8_t> out) {
    std::size_t done = 0;
    while (done < out.size()) {
        if (pos_ == end_ && !refill())
            break;
        const std::size_t n = std::min(out.size() - done, end_ - pos_);
        std::memcpy(out.data() + done, buffer_.data() + pos_, n);
        pos_ += n;
        done += n;
    }
    return done;
}

std::size_t BufferedReader::skip(std::size_t n) {
    std::size_t done = 0;
    while (done < n) {
        if (pos_ == end_ && !refill())
            break;
        const std::size_t step = std::min(n - done, end_ - pos_);
        pos_ += step;
        done += step;
    }
    return done;
}

bool BufferedReader::refill() {
    pos_ = 0;
    end_ = source_.read(buffer_);
    return end_ > 0;
}

namespace {

constexpr unsigned kMaxCodeBits = 12;
constexpr unsigned kTableSize = 1u << kMaxCodeBits;

// Codes packed least significant bit first into length-prefixed sub-blocks;
// a code may straddle bytes and sub-blocks.
class CodeReader {
  public:
    explicit CodeReader(BufferedReader& in) : in_(in) {}

    // The next code of `width` bits, or -1 when the data (or its sub-block
    // sequence) ends before the code is complete.
    int next(unsigned width) {
        if (count_ < width && !refill(width))
            return -1;
        const auto code = static_cast<int>(bits_ & ((1u << width) - 1));
        bits_ >>= width;
        count_ -= width;
        return code;
    }

  private:
    // Tops the bit store up to at least `width` bits, four bytes at a time
    // while the sub-block has them.
    bool refill(unsigned width) {
        while (count_ < width) {
            if (pos_ == len_ && !loadBlock())
                return false;
            if (len_ - pos_ >= 4) {
                const std::uint8_t* p = block_.data() + pos_;
                const std::uint64_t four = std::uint64_t{p[0]} | std::uint64_t{p[1]} << 8 |
                                           std::uint64_t{p[2]} << 16 | std::uint64_t{p[3]} << 24;
                bits_ |= four << count_;
                count_ += 32;
                pos_ += 4;
            } else {
                bits_ |= std::uint64_t{block_[pos_++]} << count_;
                count_ += 8;
            }
        }
        return true;
    }

    bool loadBlock() {
        const int len = in_.byte();
        if (len <= 0)
            return false;  // the terminator (or the end of the file) while a code is due
        const auto want = static_cast<std::size_t>(len);
        if (in_.read(std::span(block_).first(want)) != want)
            return false;
        pos_ = 0;
        len_ = want;
        return true;
    }

    BufferedReader& in_;
    std::array<std::uint8_t, 255> block_{};
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
    std::uint64_t bits_ = 0;  // never more than 11 + 32 bits pending
    unsigned count_ = 0;
};

struct Pass {
    std::uint32_t start;
    std::uint32_t step;
};
// The GIF 89a interlace order.
constexpr std::array<Pass, 4> kPasses{{{0, 8}, {4, 8}, {2, 4}, {1, 2}}};

// One string of the code table: its prefix string plus one byte.
struct Entry {
    std::uint16_t prefix = 0;
    std::uint16_t length = 0;  // never beyond 4096 bytes
    std::uint8_t suffix = 0;   // last byte
    std::uint8_t first = 0;    // first byte
};

class Decoder {
  public:
    Decoder(const Image& image, const RowSink& sink, unsigned minCodeSize, bool invertMono)
        : sink_(sink),
          width_(image.width),
          height_(image.height),
          sourceBits_(image.sourceBits),
          background_(image.background),
          interlaced_(image.interlaced()),
          setBitFor_(invertMono ? 0 : 1),
          colours_(1u << image.sourceBits),
          clear_(1u << minCodeSize),
          end_(clear_ + 1),
          minCodeSize_(minCodeSize) {
        const auto stride = static_cast<std::size_t>(rowStride(width_, bitmapBitsFor(sourceBits_)));
        const std::size_t rowBytes = std::max<std::size_t>(width_, stride);
        stride_ = stride;
        index_.assign(rowBytes, 0);
        if (sourceBits_ < 5)
            packed_.assign(rowBytes, 0);
        for (unsigned c = 0; c < clear_; ++c) {
            const auto byte = static_cast<std::uint8_t>(c);
            table_[c] = Entry{0, 1, byte, byte};
        }
    }

    ImageResult run(BufferedReader& in) {
        CodeReader codes(in);
        reset();
        for (;;) {
            const int read = codes.next(codeWidth_);
            if (read < 0)
                return ImageResult::BadFormat;
            const auto code = static_cast<unsigned>(read);
            if (code == end_)
                return ImageResult::Ok;
            if (code == clear_) {
                reset();
                continue;
            }
            if (code > nextFree_)
                return ImageResult::BadFormat;

            std::uint8_t first;
            if (code == nextFree_) {
                // The string being defined: the previous one plus its own first byte.
                if (!hasPrevious_)
                    return ImageResult::BadFormat;
                first = table_[previous_].first;
                if (!emit(previous_) || !emit(first))
                    return ImageResult::RowRefused;
            } else {
                // Every byte of every string began as a literal read here, so
                // this one test keeps all indices inside the colour table.
                if (code < clear_ && code >= colours_)
                    return ImageResult::BadFormat;
                first = table_[code].first;
                if (!emit(code))
                    return ImageResult::RowRefused;
            }

            if (hasPrevious_ && nextFree_ < kTableSize) {
                const Entry& prefix = table_[previous_];
                table_[nextFree_] =
                    Entry{static_cast<std::uint16_t>(previous_),
                          static_cast<std::uint16_t>(prefix.length + 1), first, prefix.first};
                ++nextFree_;
                if (nextFree_ == widthLimit_ && codeWidth_ < kMaxCodeBits) {
                    ++codeWidth_;
                    widthLimit_ <<= 1;
                }
            }
            // A full table stays as it is, with 12-bit codes, until a clear code.
            previous_ = code;
            hasPrevious_ = true;
        }
    }

  private:
    void reset() {
        nextFree_ = clear_ + 2;
        codeWidth_ = minCodeSize_ + 1;
        widthLimit_ = 1u << codeWidth_;
        hasPrevious_ = false;
    }

    // Writes the string of `code` so that it ends just before `end`. Each
    // entry's prefix is an older entry, so the walk ends at a literal. The
    // table and the clear code come in as values: the byte stores could
    // otherwise alias them and force a reload on every byte.
    static void unwind(const Entry* table, unsigned clear, unsigned code, std::uint8_t* end) {
        while (code >= clear) {
            const Entry& e = table[code];
            *--end = e.suffix;
            code = e.prefix;
        }
        *--end = static_cast<std::uint8_t>(code);
    }

    // Appends the string of `code` to the picture; false when a row was refused.
    [[gnu::always_inline]] bool emit(unsigned code) {
        if (done_)
            return true;  // pixels beyond the last row have no place: dropped
        unsigned len = table_[code].length;
        const std::uint32_t x = x_;
        if (len <= width_ - x) {
            unwind(table_.data(), clear_, code, index_.data() + x + len);
            x_ = x + len;
            return x_ < width_ || completeRow();
        }
        // Crosses the end of the row: spell it out first, then copy it piecewise.
        unwind(table_.data(), clear_, code, scratch_.data() + len);
        const std::uint8_t* from = scratch_.data();
        while (len > 0 && !done_) {
            const unsigned n = std::min(len, width_ - x_);
            std::memcpy(index_.data() + x_, from, n);
            from += n;
            len -= n;
            x_ += n;
            if (x_ == width_ && !completeRow())
                return false;
        }
        return true;
    }

    bool completeRow() {
        if (!sink_(packRow(), y_))
            return false;
        x_ = 0;
        if (!interlaced_) {
            ++y_;
        } else {
            y_ += kPasses[pass_].step;
            while (y_ >= height_ && pass_ + 1 < kPasses.size()) {
                ++pass_;
                y_ = kPasses[pass_].start;  // a pass that starts below the picture is empty
            }
        }
        done_ = y_ >= height_;
        return true;
    }

    std::span<const std::uint8_t> packRow() {
        const std::uint8_t* index = index_.data();
        if (sourceBits_ == 1) {
            // Most significant bit first; bits after the last pixel stay set.
            std::fill_n(packed_.begin(), stride_, std::uint8_t{0xFF});
            for (std::uint32_t x = 0; x < width_; ++x) {
                const auto mask = static_cast<std::uint8_t>(0x80u >> (x & 7));
                std::uint8_t& b = packed_[x >> 3];
                b = index[x] == setBitFor_ ? static_cast<std::uint8_t>(b | mask)
                                           : static_cast<std::uint8_t>(b & ~mask);
            }
            return std::span(packed_).first(stride_);
        }
        if (sourceBits_ <= 4) {
            // Two pixels a byte, the first in the high nibble.
            std::fill_n(packed_.begin(), stride_, background_);
            std::uint32_t x = 0;
            for (; x + 1 < width_; x += 2)
                packed_[x / 2] = static_cast<std::uint8_t>(index[x] << 4 | (index[x + 1] & 0x0F));
            if (x < width_)
                packed_[x / 2] = static_cast<std::uint8_t>(index[x] << 4);
            return std::span(packed_).first(stride_);
        }
        // One byte a pixel; the padding after the last pixel is never written.
        return std::span(index_).first(stride_);
    }

    const RowSink& sink_;
    const std::uint32_t width_;
    const std::uint32_t height_;
    const std::uint32_t sourceBits_;
    const std::uint8_t background_;
    const bool interlaced_;
    const std::uint8_t setBitFor_;  // the index shown white in a 1-bit picture
    const unsigned colours_;
    const unsigned clear_;
    const unsigned end_;
    const unsigned minCodeSize_;

    std::array<Entry, kTableSize> table_{};
    std::array<std::uint8_t, kTableSize> scratch_{};

    unsigned nextFree_ = 0;
    unsigned codeWidth_ = 0;
    unsigned widthLimit_ = 0;
    unsigned previous_ = 0;
    bool hasPrevious_ = false;

    std::vector<std::uint8_t> index_;   // the current row, one index a pixel
    std::vector<std::uint8_t> packed_;  // the current row at 1 or 4 bits a pixel
    std::size_t stride_ = 0;
    std::uint32_t x_ = 0;
    std::uint32_t y_ = 0;
    std::size_t pass_ = 0;
    bool done_ = false;
};

}  // namespace

ImageResult decodeImageData(BufferedReader& in, unsigned minCodeSize, const Image& image,
                            const RowSink& sink, bool invertMono) {
    if (minCodeSize < 2 || minCodeSize > 8)
        return ImageResult::BadFormat;
    if (image.width == 0 || image.height == 0 || image.sourceBits < 1 || image.sourceBits > 8)
        return ImageResult::BadFormat;
    std::unique_ptr<Decoder> decoder;
    try {
        decoder = std::make_unique<Decoder>(image, sink, minCodeSize, invertMono);
    } catch (const std::bad_alloc&) {
        return ImageResult::OutOfMemory;
    }
    return decoder->run(in);
}

}  // namespace vondrix::media::gif
