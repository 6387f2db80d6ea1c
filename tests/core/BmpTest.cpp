// The BMP writer, read back by ImageMagick.
#include <gtest/gtest.h>

#include <filesystem>

#include "ImageTools.h"
#include "media/Bmp.h"
#include "support/RunProcess.h"

namespace vondrix::media::test {
namespace {

struct DepthCase {
    const char* name;
    std::uint32_t sourceBits;
    std::uint32_t width;
    std::uint32_t height;
};

// A picture in bitmap layout, packed here independently of the GIF reader,
// with the RGB it must show.
struct Prepared {
    Image image;
    PixelBuffer buffer;
    Bytes rgb;
};

Prepared prepare(const DepthCase& c) {
    Prepared p;
    p.image.width = c.width;
    p.image.height = c.height;
    p.image.sourceBits = c.sourceBits;
    for (unsigned i = 0; i < 256; ++i)
        p.image.palette[i] = Rgb{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                                 static_cast<std::uint8_t>(i * 7)};
    EXPECT_TRUE(p.buffer.allocate(p.image));
    const unsigned colours = c.sourceBits <= 8 ? 1u << c.sourceBits : 0;
    for (std::uint32_t y = 0; y < c.height; ++y) {
        Bytes row(p.buffer.stride(), 0);
        for (std::uint32_t x = 0; x < c.width; ++x) {
            if (c.sourceBits == 24) {
                const Rgb colour{static_cast<std::uint8_t>(x * 40),
                                 static_cast<std::uint8_t>(y * 60),
                                 static_cast<std::uint8_t>(x + y * 10)};
                row[3 * x] = colour.blue;
                row[3 * x + 1] = colour.green;
                row[3 * x + 2] = colour.red;
                p.rgb.insert(p.rgb.end(), {colour.red, colour.green, colour.blue});
                continue;
            }
            const unsigned index = (x * 7 + y * 3) % colours;
            Rgb colour = p.image.palette[index];
            if (c.sourceBits == 1) {
                row[x / 8] |= static_cast<std::uint8_t>(index << (7 - x % 8));
                colour = index ? Rgb{255, 255, 255} : Rgb{0, 0, 0};
            } else if (c.sourceBits <= 4) {
                row[x / 2] |= static_cast<std::uint8_t>(x % 2 ? index : index << 4);
            } else {
                row[x] = static_cast<std::uint8_t>(index);
            }
            p.rgb.insert(p.rgb.end(), {colour.red, colour.green, colour.blue});
        }
        EXPECT_TRUE(p.buffer.putRow(row, y));
    }
    return p;
}

class BmpDepth : public ::testing::TestWithParam<DepthCase> {
  protected:
    void SetUp() override { dir_ = vondrix::test::makeTempDir("bmp"); }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string dir_;
};

TEST_P(BmpDepth, ReadsBackAsTheSamePicture) {
    const DepthCase& c = GetParam();
    const Prepared p = prepare(c);
    const std::string path = dir_ + "/out.bmp";
    ASSERT_EQ(bmpSave(p.image, path, p.buffer.source()), ImageResult::Ok);
    const Bytes bmp = readFile(path);
    const auto layout = bmpLayout(p.image);
    ASSERT_TRUE(layout);
    EXPECT_EQ(bmp.size(), layout->fileSize);
    EXPECT_EQ(bmp.size(), layout->dataOffset + std::size_t{layout->stride} * c.height);
    EXPECT_EQ(layout->stride % 4, 0u);

    const ImageMagick magick;
    VONDRIX_NEEDS_IMAGEMAGICK(magick);
    EXPECT_EQ(magick.decodeToRgb(bmp, "bmp"), p.rgb);
}

INSTANTIATE_TEST_SUITE_P(Depths, BmpDepth,
                         ::testing::Values(DepthCase{"OneBit", 1, 13, 5},
                                           DepthCase{"FourBit", 3, 33, 3},
                                           DepthCase{"EightBit", 6, 7, 4},
                                           DepthCase{"TwentyFourBit", 24, 5, 3}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(BmpWriter, OneBitHeaderAndFixedPalette) {
    const Prepared p = prepare({"", 1, 97, 26});
    Bytes out;
    ASSERT_EQ(writeBmp(p.image, p.buffer.source(),
                       [&out](std::span<const std::uint8_t> b) {
                           out.insert(out.end(), b.begin(), b.end());
                           return true;
                       }),
              ImageResult::Ok);
    ASSERT_EQ(out.size(), 478u);
    const Bytes head(out.begin(), out.begin() + 62);
    const Bytes expected{'B', 'M', 0xDE, 0x01, 0, 0, 0,  0, 0, 0, 62,   0,    0,    0, 40, 0,
                         0,   0,   97,   0,    0, 0, 26, 0, 0, 0, 1,    0,    1,    0, 0,  0,
                         0,   0,   0,    0,    0, 0, 0,  0, 0, 0, 0,    0,    0,    0, 0,  0,
                         0,   0,   0,    0,    0, 0, 0,  0, 0, 0, 0xFF, 0xFF, 0xFF, 0};
    EXPECT_EQ(head, expected);
    // The bottom row comes first.
    EXPECT_TRUE(std::equal(out.begin() + 62, out.begin() + 62 + 16, p.buffer.row(25).begin()));
}

TEST(BmpWriter, FailuresLeaveNoFile) {
    const std::string dir = vondrix::test::makeTempDir("bmp");
    const Prepared p = prepare({"", 8, 9, 4});
    EXPECT_EQ(bmpSave(p.image, dir + "/missing/out.bmp", p.buffer.source()),
              ImageResult::CannotCreate);

    const std::string path = dir + "/out.bmp";
    EXPECT_EQ(
        bmpSave(p.image, path, [](std::span<std::uint8_t>, std::uint32_t y) { return y != 1; }),
        ImageResult::RowRefused);
    EXPECT_FALSE(std::filesystem::exists(path));

    Image huge;
    huge.width = 70000;
    huge.height = 70000;
    huge.sourceBits = 24;  // more than 4 GiB of rows
    EXPECT_EQ(bmpSave(huge, path, [](std::span<std::uint8_t>, std::uint32_t) { return true; }),
              ImageResult::BadFormat);
    EXPECT_FALSE(std::filesystem::exists(path));
    std::filesystem::remove_all(dir);
}

TEST(BmpWriter, AFailedWriteIsReported) {
    const Prepared p = prepare({"", 4, 9, 4});
    for (int failAt : {0, 1, 2, 5}) {  // header, colour table, first and last row
        int calls = 0;
        EXPECT_EQ(writeBmp(p.image, p.buffer.source(),
                           [&](std::span<const std::uint8_t>) { return calls++ != failAt; }),
                  ImageResult::WriteFailed)
            << "write " << failAt;
        EXPECT_EQ(calls, failAt + 1);
    }
}

TEST(BmpWriter, ReplaceExtensionTouchesOnlyTheFileName) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\LOGOS\\TEST.GIF", "C:\\LOGOS\\TEST.BMP"},
        {"/home/a.b/logo.gif", "/home/a.b/logo.BMP"},
        {"C:\\my.logos\\logo.gif", "C:\\my.logos\\logo.BMP"},
        {"logo.v2.gif", "logo.BMP"},
        {"/tmp/x.y/logo", "/tmp/x.y/logo.BMP"},
    };
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(replaceExtension(path, "BMP"), expected) << path;
}

}  // namespace
}  // namespace vondrix::media::test
