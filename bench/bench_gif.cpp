// Decoding a large 8-bit GIF: our reader (info, pixel buffer, load) against
// giflib's DGifSlurp on the same file in the same run, median of several
// runs each, taken in turns. The picture is written with giflib first:
// 2000 x 2000 pixels, 256 colours, gradients with noise, so that the LZW
// table fills and clears many times. Both decoders must give the same pixels.
#include <gif_lib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "media/Gif.h"

namespace {

constexpr int kSide = 2000;
constexpr int kRuns = 9;

using Clock = std::chrono::steady_clock;

bool writePicture(const std::string& path) {
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    if (!gif)
        return false;
    GifColorType colours[256];
    for (int i = 0; i < 256; ++i)
        colours[i] = GifColorType{static_cast<GifByteType>(i), static_cast<GifByteType>(255 - i),
                                  static_cast<GifByteType>((i * 7) & 255)};
    ColorMapObject* map = GifMakeMapObject(256, colours);
    bool ok = map && EGifPutScreenDesc(gif, kSide, kSide, 8, 0, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, kSide, kSide, false, nullptr) == GIF_OK;
    std::vector<GifPixelType> row(kSide);
    std::uint32_t state = 12345;
    for (int y = 0; ok && y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            state = state * 1664525u + 1013904223u;
            const int noise = (state >> 29) < 1 ? static_cast<int>((state >> 8) & 7) : 0;
            row[x] = static_cast<GifPixelType>((x / 7 + y / 5 + noise) & 0xFF);
        }
        ok = EGifPutLine(gif, row.data(), kSide) == GIF_OK;
    }
    GifFreeMapObject(map);
    return EGifCloseFile(gif, &error) == GIF_OK && ok;
}

double ours(const std::string& path, std::vector<std::uint8_t>* pixels) {
    const auto start = Clock::now();
    vondrix::media::Image image;
    image.path = path;
    vondrix::media::PixelBuffer buffer;
    if (vondrix::media::gifInfo(image) != vondrix::media::ImageResult::Ok ||
        !buffer.allocate(image) ||
        vondrix::media::gifLoad(image, buffer.sink()) != vondrix::media::ImageResult::Ok) {
        std::fprintf(stderr, "our decoder failed\n");
        std::exit(1);
    }
    const std::chrono::duration<double, std::milli> took = Clock::now() - start;
    if (pixels) {
        pixels->clear();
        for (std::uint32_t y = 0; y < image.height; ++y) {
            const auto row = buffer.row(y);
            pixels->insert(pixels->end(), row.begin(), row.begin() + image.width);
        }
    }
    return took.count();
}

double giflib(const std::string& path, std::vector<std::uint8_t>* pixels) {
    const auto start = Clock::now();
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif || DGifSlurp(gif) != GIF_OK || gif->ImageCount < 1) {
        std::fprintf(stderr, "giflib failed: %s\n", GifErrorString(gif ? gif->Error : error));
        std::exit(1);
    }
    const std::chrono::duration<double, std::milli> took = Clock::now() - start;
    if (pixels) {
        const SavedImage& first = gif->SavedImages[0];
        pixels->assign(first.RasterBits,
                       first.RasterBits + first.ImageDesc.Width * first.ImageDesc.Height);
    }
    DGifCloseFile(gif, &error);
    return took.count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main() {
    const std::string path =
        (std::filesystem::temp_directory_path() / "vondrix-bench-gif.gif").string();
    if (!writePicture(path)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }
    const auto fileSize = std::filesystem::file_size(path);

    std::vector<std::uint8_t> a, b;
    ours(path, &a);
    giflib(path, &b);
    if (a != b) {
        std::fprintf(stderr, "the decoders disagree\n");
        return 1;
    }

    std::vector<double> oursMs, giflibMs;
    for (int run = 0; run < kRuns; ++run) {
        oursMs.push_back(ours(path, nullptr));
        giflibMs.push_back(giflib(path, nullptr));
    }
    std::filesystem::remove(path);

    const double o = median(oursMs), g = median(giflibMs);
    std::printf(
        "gif decode %dx%d, 8 bits, %ju bytes: ours %.1f ms, giflib DGifSlurp %.1f ms "
        "(median of %d runs each); giflib/ours %.2f (above 1: ours is faster)\n",
        kSide, kSide, static_cast<std::uintmax_t>(fileSize), o, g, kRuns, g / o);
    return 0;
}
