#include "media/Bmp.h"

#include <array>
#include <cstdio>
#include <limits>
#include <memory>
#include <new>
#include <vector>

namespace vondrix::media {

namespace {

constexpr std::uint32_t kHeaderBytes = 54;  // file header 14, information header 40

void put16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void put32(std::uint8_t* p, std::uint32_t v) {
    put16(p, v);
    put16(p + 2, v >> 16);
}

std::array<std::uint8_t, kHeaderBytes> header(const Image& image, const BmpLayout& layout) {
    std::array<std::uint8_t, kHeaderBytes> h{};
    h[0] = 'B';
    h[1] = 'M';
    put32(&h[2], layout.fileSize);
    put32(&h[10], layout.dataOffset);
    put32(&h[14], 40);
    put32(&h[18], image.width);
    put32(&h[22], image.height);  // positive: the rows run bottom-up
    put16(&h[26], 1);             // planes
    put16(&h[28], layout.bitsPerPixel);
    // Compression, image size, resolutions and colour counts stay 0.
    return h;
}

std::vector<std::uint8_t> colourTable(const Image& image, std::uint32_t bitsPerPixel) {
    if (bitsPerPixel == 1)
        return {0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00};
    if (bitsPerPixel == 24)
        return {};
    const std::size_t entries = bitsPerPixel == 4 ? 16 : 256;
    std::vector<std::uint8_t> table;
    table.reserve(entries * 4);
    for (std::size_t i = 0; i < entries; ++i) {
        const Rgb& c = image.palette[i];
        table.insert(table.end(), {c.blue, c.green, c.red, 0});
    }
    return table;
}

}  // namespace

std::optional<BmpLayout> bmpLayout(const Image& image) {
    constexpr std::uint64_t kMaxField = std::numeric_limits<std::int32_t>::max();
    if (image.width > kMaxField || image.height > kMaxField)
        return std::nullopt;
    BmpLayout layout;
    layout.bitsPerPixel = bitmapBitsFor(image.sourceBits);
    const std::uint64_t stride = rowStride(image.width, layout.bitsPerPixel);
    layout.dataOffset = kHeaderBytes + (layout.bitsPerPixel == 1   ? 8
                                        : layout.bitsPerPixel == 4 ? 64
                                        : layout.bitsPerPixel == 8 ? 1024
                                                                   : 0);
    const std::uint64_t fileSize = stride * image.height + layout.dataOffset;
    if (stride > std::numeric_limits<std::uint32_t>::max() ||
        fileSize > std::numeric_limits<std::uint32_t>::max())
        return std::nullopt;
    layout.stride = static_cast<std::uint32_t>(stride);
    layout.fileSize = static_cast<std::uint32_t>(fileSize);
    return layout;
}

ImageResult writeBmp(const Image& image, const RowSource& getRow, const ByteWriter& write) {
    const auto layout = bmpLayout(image);
    if (!layout)
        return ImageResult::BadFormat;
    std::vector<std::uint8_t> row;
    try {
        row.resize(layout->stride);
    } catch (const std::bad_alloc&) {
        return ImageResult::OutOfMemory;
    }
    if (!write(header(image, *layout)))
        return ImageResult::WriteFailed;
    const auto table = colourTable(image, layout->bitsPerPixel);
    if (!table.empty() && !write(table))
        return ImageResult::WriteFailed;
    for (std::uint32_t i = 0; i < image.height; ++i) {
        std::fill(row.begin(), row.end(), std::uint8_t{0});
        if (!getRow(row, image.height - 1 - i))
            return ImageResult::RowRefused;
        if (!write(row))
            return ImageResult::WriteFailed;
    }
    return ImageResult::Ok;
}

ImageResult bmpSave(const Image& image, const std::string& outputPath, const RowSource& getRow) {
    if (!bmpLayout(image))
        return ImageResult::BadFormat;
    std::FILE* file = std::fopen(outputPath.c_str(), "wb");
    if (!file)
        return ImageResult::CannotCreate;
    ImageResult result = writeBmp(image, getRow, [file](std::span<const std::uint8_t> bytes) {
        return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    });
    // Buffered data reaches the disk on close, so a full disk may only show here.
    if (std::fclose(file) != 0 && result == ImageResult::Ok)
        result = ImageResult::WriteFailed;
    if (result != ImageResult::Ok)
        std::remove(outputPath.c_str());
    return result;
}

std::string replaceExtension(std::string_view path, std::string_view extension) {
    const auto nameStart = path.find_last_of("/\\");
    const auto dot = path.find('.', nameStart == std::string_view::npos ? 0 : nameStart + 1);
    std::string out(path.substr(0, dot));
    out += '.';
    out += extension;
    return out;
}

}  // namespace vondrix::media
