#include "media/Gif.h"

#include <algorithm>

#include "media/GifStream.h"

namespace vondrix::media {

namespace {

using gif::BufferedReader;

constexpr int kImageIntroducer = 0x2C;       // ","
constexpr int kExtensionIntroducer = 0x21;   // "!"
constexpr std::size_t kHeaderBytes = 13;     // signature and logical screen descriptor
constexpr std::size_t kDescriptorBytes = 9;  // after the introducer

std::uint32_t le16(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0] | p[1] << 8);
}

struct Screen {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t bits = 0;
    std::uint8_t background = 0;
    bool hasColourTable = false;
};

// Reads and checks the signature and the logical screen descriptor.
bool readHeader(BufferedReader& in, Screen& screen, std::string* signature) {
    std::array<std::uint8_t, kHeaderBytes> h{};
    if (in.read(h) != h.size() || h[0] != 'G' || h[1] != 'I' || h[2] != 'F')
        return false;
    if (signature)
        signature->assign(h.begin(), h.begin() + 6);
    screen.width = le16(&h[6]);
    screen.height = le16(&h[8]);
    screen.bits = (h[10] & 7u) + 1;
    screen.hasColourTable = (h[10] & 0x80) != 0;
    screen.background = h[11];
    return true;
}

std::size_t colourTableBytes(std::uint32_t bits) {
    return std::size_t{3} << bits;
}

bool readColourTable(BufferedReader& in, std::uint32_t bits, Palette& palette) {
    std::array<std::uint8_t, 3 * 256> table{};
    const std::size_t bytes = colourTableBytes(bits);
    if (in.read(std::span(table).first(bytes)) != bytes)
        return false;
    for (std::size_t i = 0; i < bytes / 3; ++i)
        palette[i] = Rgb{table[3 * i], table[3 * i + 1], table[3 * i + 2]};
    return true;
}

// Passes over an extension after its introducer: the label, then data
// sub-blocks up to the empty one. Every extension (graphic control, comment,
// plain text, application, unknown) is framed this way, so a block of an
// unusual size does not throw the walk off.
void skipExtension(BufferedReader& in) {
    if (in.byte() < 0)
        return;
    for (;;) {
        const int len = in.byte();
        if (len <= 0)
            return;
        if (in.skip(static_cast<std::size_t>(len)) != static_cast<std::size_t>(len))
            return;
    }
}

unsigned luma(const Rgb& c) {
    return 299u * c.red + 587u * c.green + 114u * c.blue;
}

std::string fileNameOf(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

ImageResult gifInfo(Image& image) {
    FileSource file(image.path);
    if (!file.isOpen()) {
        image.displayName = fileNameOf(image.path);
        return ImageResult::CannotOpen;
    }
    return gifInfo(image, file);
}

ImageResult gifInfo(Image& image, ByteSource& source) {
    image.displayName = fileNameOf(image.path);
    image.fileSize = source.size();
    BufferedReader in(source);
    Screen screen;
    if (!readHeader(in, screen, &image.signature))
        return ImageResult::BadFormat;
    image.width = screen.width;
    image.height = screen.height;
    image.sourceBits = screen.bits;
    image.background = screen.background;
    if (screen.hasColourTable && !readColourTable(in, screen.bits, image.palette))
        return ImageResult::Truncated;

    for (;;) {
        const int introducer = in.byte();
        if (introducer == kExtensionIntroducer) {
            skipExtension(in);
            continue;
        }
        if (introducer == 0)
            continue;
        if (introducer != kImageIntroducer)
            return ImageResult::Ok;  // no image (or the trailer): the screen describes it

        std::array<std::uint8_t, kDescriptorBytes> d{};
        if (in.read(d) != d.size())
            return ImageResult::Truncated;
        // The image's position on the screen does not matter for a logo.
        image.width = le16(&d[4]);
        image.height = le16(&d[6]);
        image.imageFlags = d[8];
        if ((d[8] & kLocalColourTableFlag) != 0) {
            const std::uint32_t bits = (d[8] & 7u) + 1;
            if (!readColourTable(in, bits, image.palette))
                return ImageResult::Truncated;
            image.sourceBits = bits;
        }
        image.imageDataSize =
            (std::uint64_t{image.width} + 7) / 8 * image.height * image.sourceBits;
        if (image.sourceBits == 1) {
            image.palette[0] = Rgb{0, 0, 0};
            image.palette[1] = Rgb{255, 255, 255};
        }
        return ImageResult::Ok;
    }
}

ImageResult gifLoad(Image& image, const RowSink& putRow) {
    FileSource file(image.path);
    if (!file.isOpen())
        return ImageResult::CannotOpen;
    return gifLoad(image, file, putRow);
}

ImageResult gifLoad(Image& image, ByteSource& source, const RowSink& putRow) {
    BufferedReader in(source);
    Screen screen;
    if (!readHeader(in, screen, nullptr))
        return ImageResult::BadFormat;
    image.background = screen.background;
    std::uint32_t bits = screen.bits;
    // The tables are read here only to see which of two colours is the light one.
    Palette table{};
    bool hasTable = screen.hasColourTable;
    if (hasTable)
        readColourTable(in, bits, table);

    for (;;) {
        const int introducer = in.byte();
        if (introducer == kImageIntroducer)
            break;
        if (introducer == kExtensionIntroducer)
            skipExtension(in);
        else if (introducer <= 0)
            return ImageResult::BadFormat;  // the trailer's place or the end: no image
        // any other byte is passed over
    }

    std::array<std::uint8_t, kDescriptorBytes> d{};
    if (in.read(d) != d.size())
        return ImageResult::Truncated;
    const std::uint32_t width = le16(&d[4]);
    const std::uint32_t height = le16(&d[6]);
    if ((d[8] & kLocalColourTableFlag) != 0) {
        bits = (d[8] & 7u) + 1;
        hasTable = true;
        readColourTable(in, bits, table);
    }
    const int minCodeSize = in.byte();
    if (minCodeSize < 0)
        return ImageResult::BadFormat;
    image.imageFlags = d[8];

    // The caller sized its rows from the record; a first image that does not
    // match it (info stopped at other bytes than this walk) cannot go there.
    if (width != image.width || height != image.height || bits != image.sourceBits)
        return ImageResult::BadFormat;
    // A 1-bit bitmap is always black (0) and white (1); a table that lists
    // the light colour first has its bits inverted so the picture keeps its look.
    const bool lightFirst = bits == 1 && hasTable && luma(table[0]) > luma(table[1]);
    return gif::decodeImageData(in, static_cast<unsigned>(minCodeSize), image, putRow, lightFirst);
}

}  // namespace vondrix::media
