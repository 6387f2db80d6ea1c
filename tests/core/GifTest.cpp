// The GIF reader against pictures that ImageMagick encodes and decodes, and
// against streams of our own for the cases no encoder produces.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "ImageTools.h"
#include "media/Bmp.h"
#include "media/ByteSource.h"
#include "media/Gif.h"
#include "support/RunProcess.h"

namespace vondrix::media::test {
namespace {

const ImageMagick& magick() {
    static const ImageMagick tool;
    return tool;
}

class WithImageMagick : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(magick().program().empty())
            << "ImageMagick's converter is missing; scripts/deps.sh installs it";
    }
};

std::vector<Rgb> tableOf(const RgbPicture& picture, Bytes& indices) {
    std::vector<Rgb> table;
    for (std::size_t i = 0; i < picture.rgb.size(); i += 3) {
        const Rgb c{picture.rgb[i], picture.rgb[i + 1], picture.rgb[i + 2]};
        auto at = std::find(table.begin(), table.end(), c);
        if (at == table.end())
            at = table.insert(table.end(), c);
        indices.push_back(static_cast<std::uint8_t>(at - table.begin()));
    }
    std::size_t size = 2;
    while (size < table.size())
        size *= 2;
    table.resize(size);
    return table;
}

// Our builder's GIF of `picture`, its colours in order of appearance.
GifPlan specOf(const RgbPicture& picture) {
    GifPlan plan;
    plan.width = static_cast<std::uint16_t>(picture.width);
    plan.height = static_cast<std::uint16_t>(picture.height);
    plan.globalTable = tableOf(picture, plan.indices);
    return plan;
}

// ---- Depth classes and the bitmap they give --------------------------------

struct DepthCase {
    const char* name;
    unsigned colours;
    std::uint32_t sourceBits;
    std::uint32_t bmpBits;
    std::uint32_t dataOffset;
    std::size_t fileSize;
};

std::uint32_t le32(const Bytes& b, std::size_t at) {
    return b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 |
           static_cast<std::uint32_t>(b.at(at + 3)) << 24;
}

TEST_F(WithImageMagick, GifBecomesABitmapOfItsClass) {
    for (const DepthCase& c : {DepthCase{"two colours", 2, 1, 1, 62, 478},
                               DepthCase{"sixteen colours", 16, 4, 4, 118, 1470},
                               DepthCase{"256 colours", 256, 8, 8, 1078, 3678}}) {
        SCOPED_TRACE(c.name);
        const RgbPicture picture = pattern(97, 26, c.colours, 7);
        const Decoded d = decode(giflibEncode(picture));
        ASSERT_EQ(d.info, ImageResult::Ok);
        ASSERT_EQ(d.load, ImageResult::Ok);
        EXPECT_EQ(d.image.sourceBits, c.sourceBits);
        EXPECT_EQ(d.image.width, 97u);
        EXPECT_EQ(d.image.height, 26u);
        EXPECT_EQ(toRgb(d.image, d.buffer), picture.rgb);

        const std::string dir = vondrix::test::makeTempDir("bmp");
        const std::string path = dir + "/logo.bmp";
        ASSERT_EQ(bmpSave(d.image, path, d.buffer.source()), ImageResult::Ok);
        const Bytes bmp = readFile(path);
        std::filesystem::remove_all(dir);
        EXPECT_EQ(bmp.size(), c.fileSize);
        EXPECT_EQ(le32(bmp, 2), c.fileSize);
        EXPECT_EQ(le32(bmp, 10), c.dataOffset);
        EXPECT_EQ(bmp.at(28), c.bmpBits);
        EXPECT_EQ(magick().decodeToRgb(bmp, "bmp"), picture.rgb);
    }
}

// ---- Pixel for pixel against ImageMagick ------------------------------------

struct PictureCase {
    const char* name;
    std::uint32_t width;
    std::uint32_t height;
    unsigned colours;
    bool interlaced;
    bool byImageMagick;  // else by giflib
};

TEST_F(WithImageMagick, DecodesEveryPixelAlike) {
    for (const PictureCase& c :
         {PictureCase{"one pixel", 1, 1, 2, false, false},
          PictureCase{"four colours, odd width", 7, 5, 4, false, false},
          PictureCase{"five colours interlaced", 33, 17, 5, true, false},
          PictureCase{"thirty-two colours", 64, 40, 32, false, false},
          PictureCase{"tall, sixteen colours", 9, 130, 16, false, false},
          PictureCase{"wide interlaced", 301, 23, 256, true, false},
          PictureCase{"large, with clear codes", 320, 240, 250, false, false},
          PictureCase{"ImageMagick's interlaced", 150, 45, 200, true, true}}) {
        SCOPED_TRACE(c.name);
        const RgbPicture picture = pattern(c.width, c.height, c.colours, c.width);
        const Bytes gif =
            c.byImageMagick
                ? magick().encode(picture, c.interlaced
                                               ? std::vector<std::string>{"-interlace", "GIF"}
                                               : std::vector<std::string>{})
                : giflibEncode(picture, {.interlaced = c.interlaced});
        const Decoded d = decode(gif);
        ASSERT_EQ(d.info, ImageResult::Ok);
        ASSERT_EQ(d.load, ImageResult::Ok);
        const Bytes reference = magick().decodeToRgb(gif, "gif");
        ASSERT_EQ(reference, picture.rgb);  // the encoder kept every colour
        EXPECT_EQ(toRgb(d.image, d.buffer), reference);
    }
}

TEST(GifReader, Gif87aIsTakenLikeGif89a) {
    const RgbPicture picture = pattern(30, 10, 8, 3);
    for (const bool gif89 : {false, true}) {
        const Decoded d = decode(giflibEncode(picture, {.gif89 = gif89}));
        EXPECT_EQ(d.image.signature, gif89 ? "GIF89a" : "GIF87a");
        ASSERT_EQ(d.load, ImageResult::Ok);
        EXPECT_EQ(toRgb(d.image, d.buffer), picture.rgb);
    }
}

TEST_F(WithImageMagick, FirstImageSmallerThanTheScreenGivesItsOwnSize) {
    const RgbPicture picture = pattern(97, 26, 16, 3);
    const Bytes gif = giflibEncode(
        picture,
        {.screenWidth = 200, .screenHeight = 100, .left = 10, .top = 5, .secondImage = true});
    const Decoded d = decode(gif);
    ASSERT_EQ(d.load, ImageResult::Ok);
    EXPECT_EQ(d.image.width, 97u);
    EXPECT_EQ(d.image.height, 26u);
    EXPECT_EQ(toRgb(d.image, d.buffer), picture.rgb);
    EXPECT_EQ(magick().decodeToRgb(gif, "gif"), picture.rgb);
}

// ---- Interlace order ---------------------------------------------------------

struct InterlaceCase {
    std::uint32_t height;
    std::vector<std::uint32_t> order;
};

TEST(GifReader, InterlacedRowsArriveInPassOrderAndLandInPictureOrder) {
    for (const InterlaceCase& c :
         {InterlaceCase{10, {0, 8, 4, 2, 6, 1, 3, 5, 7, 9}}, InterlaceCase{3, {0, 2, 1}},
          InterlaceCase{2, {0, 1}}, InterlaceCase{1, {0}}}) {
        SCOPED_TRACE(c.height);
        const RgbPicture picture = pattern(13, c.height, 16, c.height);
        const Decoded d = decode(giflibEncode(picture, {.interlaced = true}));
        ASSERT_EQ(d.load, ImageResult::Ok);
        EXPECT_TRUE(d.image.interlaced());
        EXPECT_EQ(d.rowOrder, c.order);
        EXPECT_EQ(toRgb(d.image, d.buffer), picture.rgb);
    }
}

// ---- Streams no encoder writes -----------------------------------------------

// A full table with no clear code: the rest of the stream uses 12-bit codes.
struct FullTableCase {
    const char* name;
    std::uint32_t width;
    std::uint32_t height;
    unsigned colours;
};

TEST_F(WithImageMagick, FullTableDecodesToTheEndWithoutAClearCode) {
    for (const FullTableCase& c :
         {FullTableCase{"code size 8", 120, 100, 256}, FullTableCase{"code size 2", 300, 200, 4}}) {
        SCOPED_TRACE(c.name);
        const RgbPicture picture = pattern(c.width, c.height, c.colours, 11);
        GifPlan plan = specOf(picture);
        plan.lzw.clearWhenFull = true;
        const Bytes cleared = buildGif(plan);
        plan.lzw.clearWhenFull = false;
        const Bytes gif = buildGif(plan);
        ASSERT_NE(gif, cleared) << "the picture is too small to fill the table";

        EXPECT_EQ(magick().decodeToRgb(gif, "gif"), picture.rgb);  // the stream is sound
        const Decoded d = decode(gif);
        ASSERT_EQ(d.load, ImageResult::Ok);
        EXPECT_EQ(toRgb(d.image, d.buffer), picture.rgb);
    }
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// Extensions before the image, each framed as sub-blocks, are passed over.
TEST(GifReader, ExtensionsArePassedOver) {
    const Bytes comment{'!', 0xFE, 3, 'a', 'b', 'c', 2, 'd', 'e', 0};
    const Bytes graphicControl{'!', 0xF9, 4, 0x04, 10, 0, 0, 0};
    const Bytes application{'!', 0xFF, 11,  'N', 'E', 'T', 'S', 'C', 'A', 'P',
                            'E', '2',  '.', '0', 3,   1,   0,   0,   0};
    const Bytes plainText{'!', 0x01, 12, 0, 0, 0,   0,   11,  0,   7, 0,
                          8,   8,    1,  0, 4, 'l', 'o', 'g', 'o', 0};
    const Bytes unknown{'!', 0x77, 2, 0x21, 0x2C, 0};
    const struct {
        const char* name;
        Bytes blocks;
    } cases[] = {
        {"comment", comment},
        {"graphic control", graphicControl},
        {"application", application},
        {"plain text", plainText},
        {"unknown label", unknown},
        {"graphic control of five bytes", {'!', 0xF9, 5, 0, 0, 0, 0, 0x2C, 0}},
        {"all in a row", concat({application, comment, plainText, unknown, graphicControl})},
    };
    const RgbPicture picture = pattern(11, 7, 16, 5);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GifPlan plan = specOf(picture);
        plan.blocksBefore = c.blocks;
        const Decoded d = decode(buildGif(plan));
        EXPECT_EQ(d.info, ImageResult::Ok);
        EXPECT_EQ(d.image.width, 11u);
        ASSERT_EQ(d.load, ImageResult::Ok);
        EXPECT_EQ(toRgb(d.image, d.buffer), picture.rgb);
    }
}

TEST_F(WithImageMagick, LocalColourTableGivesDepthAndColours) {
    const RgbPicture picture = pattern(21, 9, 16, 9);
    GifPlan plan = specOf(picture);
    plan.localTable = plan.globalTable;
    plan.globalTable = {Rgb{255, 0, 0}, Rgb{0, 0, 255}};
    const Bytes gif = buildGif(plan);
    const Decoded d = decode(gif);
    ASSERT_EQ(d.load, ImageResult::Ok);
    EXPECT_EQ(d.image.sourceBits, 4u);
    EXPECT_EQ(d.buffer.bitsPerPixel(), 4u);
    EXPECT_EQ(magick().decodeToRgb(gif, "gif"), picture.rgb);
    EXPECT_EQ(toRgb(d.image, d.buffer), picture.rgb);
}

TEST_F(WithImageMagick, OneBitPictureWithTheLightColourFirstKeepsItsLook) {
    const RgbPicture picture = pattern(19, 6, 2, 4);
    GifPlan plan = specOf(picture);
    ASSERT_EQ(plan.globalTable[0], (Rgb{0, 0, 0}));
    for (auto& i : plan.indices)
        i ^= 1;
    plan.globalTable = {Rgb{255, 255, 255}, Rgb{0, 0, 0}};
    const Bytes gif = buildGif(plan);
    ASSERT_EQ(magick().decodeToRgb(gif, "gif"), picture.rgb);
    const Decoded d = decode(gif);
    ASSERT_EQ(d.load, ImageResult::Ok);
    EXPECT_EQ(d.image.palette[0], (Rgb{0, 0, 0}));  // the bitmap's fixed black and white
    EXPECT_EQ(d.image.palette[1], (Rgb{255, 255, 255}));
    EXPECT_EQ(toRgb(d.image, d.buffer), picture.rgb);
}

// ---- Refused input -------------------------------------------------------------

TEST(GifReader, CodeSizesOutsideTwoToEightAreRefused) {
    const Bytes gif = giflibEncode(pattern(12, 4, 4, 1));
    const std::size_t at = layoutOf(gif).minCodeSize;
    for (const std::uint8_t size :
         {std::uint8_t{0}, std::uint8_t{1}, std::uint8_t{9}, std::uint8_t{12}}) {
        Bytes patched = gif;
        patched[at] = size;
        EXPECT_EQ(decode(patched).load, ImageResult::BadFormat) << "code size " << int{size};
    }
}

TEST(GifReader, TruncatedIsRefusedWithItsCode) {
    using Keep = std::function<std::size_t(const GifLayout&)>;
    const struct {
        const char* name;
        Keep keep;
        ImageResult info;
        ImageResult load;
    } cases[] = {
        {"empty", [](const GifLayout&) { return 0; }, ImageResult::BadFormat,
         ImageResult::BadFormat},
        {"in the header", [](const GifLayout&) { return 12; }, ImageResult::BadFormat,
         ImageResult::BadFormat},
        {"in the colour table", [](const GifLayout&) { return 13 + 47; }, ImageResult::Truncated,
         ImageResult::BadFormat},
        {"in the image descriptor", [](const GifLayout& l) { return l.imageDescriptor + 5; },
         ImageResult::Truncated, ImageResult::Truncated},
        {"before the code size", [](const GifLayout& l) { return l.minCodeSize; }, ImageResult::Ok,
         ImageResult::BadFormat},
        {"after the code size", [](const GifLayout& l) { return l.minCodeSize + 1; },
         ImageResult::Ok, ImageResult::BadFormat},
        {"in the image data", [](const GifLayout& l) { return (l.minCodeSize + l.end) / 2; },
         ImageResult::Ok, ImageResult::BadFormat},
        {"in the last sub-block", [](const GifLayout& l) { return l.end - 2; }, ImageResult::Ok,
         ImageResult::BadFormat},
    };
    const Bytes gif = giflibEncode(pattern(40, 20, 16, 2), {.interlaced = true});
    const Decoded whole = decode(gif);
    ASSERT_EQ(whole.load, ImageResult::Ok);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes cut(gif.begin(),
                        gif.begin() + static_cast<std::ptrdiff_t>(c.keep(layoutOf(gif))));
        Image fresh;
        MemorySource forInfo(cut);
        EXPECT_EQ(gifInfo(fresh, forInfo), c.info);
        Image image = whole.image;  // as info found the whole file
        PixelBuffer buffer;
        ASSERT_TRUE(buffer.allocate(image));
        MemorySource forLoad(cut);
        EXPECT_EQ(gifLoad(image, forLoad, buffer.sink()), c.load);
    }
}

TEST(GifReader, CorruptDataIsRefused) {
    const struct {
        const char* name;
        std::function<void(GifPlan&)> spoil;
    } cases[] = {
        {"no end code", [](GifPlan& s) { s.lzw.endCode = false; }},
        {"no data at all", [](GifPlan& s) { s.data = {0}; }},
        // Clear (4), then 7 while the next free code is 6.
        {"code beyond the next free",
         [](GifPlan& s) {
             s.data = {1, 0x3C, 0};
         }},
        // Clear (4), then 6, the next free code, with no string before it.
        {"next free code first",
         [](GifPlan& s) {
             s.data = {1, 0x34, 0};
         }},
        // A 2-colour table, code size 2: clear, literal 3, end.
        {"index outside the colour table",
         [](GifPlan& s) {
             s.globalTable.erase(s.globalTable.begin() + 2, s.globalTable.end());
             s.data = {2, 0x5C, 0x01, 0};
         }},
        {"zero width",
         [](GifPlan& s) {
             s.width = 0;
             s.indices.clear();
         }},
    };
    const RgbPicture picture = pattern(6, 5, 4, 3);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GifPlan plan = specOf(picture);
        c.spoil(plan);
        const Decoded d = decode(buildGif(plan));
        ASSERT_EQ(d.info, ImageResult::Ok);
        EXPECT_EQ(d.load, ImageResult::BadFormat);
    }
}

TEST(GifReader, PixelsAfterTheLastRowAreDropped) {
    const RgbPicture picture = pattern(6, 5, 4, 3);
    GifPlan plan = specOf(picture);
    const Bytes rows = plan.indices;
    plan.indices.insert(plan.indices.end(), rows.begin(), rows.end());  // ten rows for five
    for (const bool interlaced : {false, true}) {
        plan.interlaced = interlaced;
        const Decoded d = decode(buildGif(plan));
        ASSERT_EQ(d.load, ImageResult::Ok);
        EXPECT_EQ(d.rowOrder.size(), 5u);
        EXPECT_EQ(toRgb(d.image, d.buffer), picture.rgb);
    }
}

TEST(GifReader, AnEarlyEndCodeLeavesTheMissingRowsAtIndexZero) {
    const RgbPicture picture = pattern(6, 5, 4, 3);
    GifPlan plan = specOf(picture);
    plan.indices.resize(6 * 3 + 2);  // three rows and two pixels
    const Decoded d = decode(buildGif(plan));
    ASSERT_EQ(d.load, ImageResult::Ok);
    EXPECT_EQ(d.rowOrder, (std::vector<std::uint32_t>{0, 1, 2}));
    for (std::uint32_t x = 0; x < 6; ++x) {
        EXPECT_EQ(indexAt(d.buffer, x, 2), plan.indices[12 + x]);
        EXPECT_EQ(indexAt(d.buffer, x, 3), 0u);
        EXPECT_EQ(indexAt(d.buffer, x, 4), 0u);
    }
}

TEST(GifReader, ImageOtherThanTheOneInfoFoundIsRefused) {
    // Info stops at the stray byte and reports the 20 x 10 screen; load passes
    // over it and meets a 5 x 3 image that would not fit those rows.
    GifPlan plan = specOf(pattern(5, 3, 4, 1));
    plan.screenWidth = 20;
    plan.screenHeight = 10;
    plan.blocksBefore = {0x55};
    const Decoded d = decode(buildGif(plan));
    ASSERT_EQ(d.info, ImageResult::Ok);
    EXPECT_EQ(d.image.width, 20u);
    EXPECT_EQ(d.load, ImageResult::BadFormat);
}

TEST(GifReader, ARefusedRowStopsTheDecoding) {
    const Bytes gif = buildGif(specOf(pattern(8, 9, 16, 2)));
    Image image;
    MemorySource forInfo(gif);
    ASSERT_EQ(gifInfo(image, forInfo), ImageResult::Ok);
    std::vector<std::uint32_t> rows;
    MemorySource forLoad(gif);
    EXPECT_EQ(gifLoad(image, forLoad,
                      [&rows](std::span<const std::uint8_t>, std::uint32_t y) {
                          rows.push_back(y);
                          return y < 3;
                      }),
              ImageResult::RowRefused);
    EXPECT_EQ(rows, (std::vector<std::uint32_t>{0, 1, 2, 3}));
}

TEST(GifReader, ReadsFromAFileByItsPath) {
    const std::string dir = vondrix::test::makeTempDir("gif");
    const Bytes gif = buildGif(specOf(pattern(10, 4, 16, 8)));
    writeFile(dir + "/Logo.gif", gif);
    Image image;
    image.path = dir + "/Logo.gif";
    EXPECT_EQ(gifInfo(image), ImageResult::Ok);
    EXPECT_EQ(image.displayName, "Logo.gif");
    EXPECT_EQ(image.fileSize, gif.size());
    EXPECT_EQ(image.signature, "GIF89a");
    PixelBuffer buffer;
    ASSERT_TRUE(buffer.allocate(image));
    EXPECT_EQ(gifLoad(image, buffer.sink()), ImageResult::Ok);

    Image missing;
    missing.path = dir + "/none.gif";
    EXPECT_EQ(gifInfo(missing), ImageResult::CannotOpen);
    EXPECT_EQ(gifLoad(missing, buffer.sink()), ImageResult::CannotOpen);
    std::filesystem::remove_all(dir);
}

TEST(GifReader, OtherFormatsAreRefused) {
    Bytes bmp{'B', 'M'};
    bmp.resize(60);
    Image image;
    MemorySource source(bmp);
    EXPECT_EQ(gifInfo(image, source), ImageResult::BadFormat);
}

}  // namespace
}  // namespace vondrix::media::test
