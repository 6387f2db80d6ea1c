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

class DepthClass : public WithImageMagick, public ::testing::WithParamInterface<DepthCase> {};

std::uint32_t le32(const Bytes& b, std::size_t at) {
    return b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 |
           static_cast<std::uint32_t>(b.at(at + 3)) << 24;
}

TEST_P(DepthClass, GifBecomesABitmapOfItsClass) {
    const DepthCase& c = GetParam();
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

INSTANTIATE_TEST_SUITE_P(Logo97x26, DepthClass,
                         ::testing::Values(DepthCase{"TwoColours", 2, 1, 1, 62, 478},
                                           DepthCase{"SixteenColours", 16, 4, 4, 118, 1470},
                                           DepthCase{"TwoHundredFiftySixColours", 256, 8, 8, 1078,
                                                     3678}),
                         [](const auto& row) { return std::string(row.param.name); });

// ---- Pixel for pixel against ImageMagick ------------------------------------

struct PictureCase {
    const char* name;
    std::uint32_t width;
    std::uint32_t height;
    unsigned colours;
    bool interlaced;
    bool byImageMagick;  // else by giflib
};

class SameAsImageMagick : public WithImageMagick,
                          public ::testing::WithParamInterface<PictureCase> {};

TEST_P(SameAsImageMagick, DecodesEveryPixelAlike) {
    const PictureCase& c = GetParam();
    const RgbPicture picture = pattern(c.width, c.height, c.colours, c.width);
    const Bytes gif =
        c.byImageMagick
            ? magick().encode(picture, c.interlaced ? std::vector<std::string>{"-interlace", "GIF"}
                                                    : std::vector<std::string>{})
            : giflibEncode(picture, {.interlaced = c.interlaced});
    const Decoded d = decode(gif);
    ASSERT_EQ(d.info, ImageResult::Ok);
    ASSERT_EQ(d.load, ImageResult::Ok);
    const Bytes reference = magick().decodeToRgb(gif, "gif");
    ASSERT_EQ(reference, picture.rgb);  // the encoder kept every colour
    EXPECT_EQ(toRgb(d.image, d.buffer), reference);
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, SameAsImageMagick,
    ::testing::Values(PictureCase{"OnePixel", 1, 1, 2, false, false},
                      PictureCase{"FourColoursOddWidth", 7, 5, 4, false, false},
                      PictureCase{"FiveColoursInterlaced", 33, 17, 5, true, false},
                      PictureCase{"ThirtyTwoColours", 64, 40, 32, false, false},
                      PictureCase{"TallSixteenColours", 9, 130, 16, false, false},
                      PictureCase{"WideInterlaced", 301, 23, 256, true, false},
                      PictureCase{"LargeWithClearCodes", 320, 240, 250, false, false},
                      PictureCase{"ImageMagickInterlaced", 150, 45, 200, true, true}),
    [](const auto& row) { return std::string(row.param.name); });

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

class Interlaced : public ::testing::TestWithParam<InterlaceCase> {};

TEST_P(Interlaced, RowsArriveInPassOrderAndLandInPictureOrder) {
    const InterlaceCase& c = GetParam();
    const RgbPicture picture = pattern(13, c.height, 16, c.height);
    const Decoded d = decode(giflibEncode(picture, {.interlaced = true}));
    ASSERT_EQ(d.load, ImageResult::Ok);
    EXPECT_TRUE(d.image.interlaced());
    EXPECT_EQ(d.rowOrder, c.order);
    EXPECT_EQ(toRgb(d.image, d.buffer), picture.rgb);
}

INSTANTIATE_TEST_SUITE_P(Heights, Interlaced,
                         ::testing::Values(InterlaceCase{10, {0, 8, 4, 2, 6, 1, 3, 5, 7, 9}},
                                           InterlaceCase{3, {0, 2, 1}}, InterlaceCase{2, {0, 1}},
                                           InterlaceCase{1, {0}}),
                         [](const auto& row) {
                             return "Height" + std::to_string(row.param.height);
                         });

// ---- Streams no encoder writes -----------------------------------------------

// A full table with no clear code: the rest of the stream uses 12-bit codes.
struct FullTableCase {
    const char* name;
    std::uint32_t width;
    std::uint32_t height;
    unsigned colours;
};

class FullTable : public WithImageMagick, public ::testing::WithParamInterface<FullTableCase> {};

TEST_P(FullTable, DecodesToTheEndWithoutAClearCode) {
    const FullTableCase& c = GetParam();
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

INSTANTIATE_TEST_SUITE_P(CodeSizes, FullTable,
                         ::testing::Values(FullTableCase{"CodeSize8", 120, 100, 256},
                                           FullTableCase{"CodeSize2", 300, 200, 4}),
                         [](const auto& row) { return std::string(row.param.name); });

// Extensions before the image, each framed as sub-blocks.
struct ExtensionCase {
    const char* name;
    Bytes blocks;
};

class Extensions : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(Extensions, ArePassedOver) {
    const RgbPicture picture = pattern(11, 7, 16, 5);
    GifPlan plan = specOf(picture);
    plan.blocksBefore = GetParam().blocks;
    const Decoded d = decode(buildGif(plan));
    EXPECT_EQ(d.info, ImageResult::Ok);
    EXPECT_EQ(d.image.width, 11u);
    ASSERT_EQ(d.load, ImageResult::Ok);
    EXPECT_EQ(toRgb(d.image, d.buffer), picture.rgb);
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

const Bytes kComment{'!', 0xFE, 3, 'a', 'b', 'c', 2, 'd', 'e', 0};
const Bytes kGraphicControl{'!', 0xF9, 4, 0x04, 10, 0, 0, 0};
const Bytes kApplication{'!', 0xFF, 11,  'N', 'E', 'T', 'S', 'C', 'A', 'P',
                         'E', '2',  '.', '0', 3,   1,   0,   0,   0};
const Bytes kPlainText{'!', 0x01, 12, 0, 0, 0,   0,   11,  0,   7, 0,
                       8,   8,    1,  0, 4, 'l', 'o', 'g', 'o', 0};
const Bytes kUnknown{'!', 0x77, 2, 0x21, 0x2C, 0};
// A graphic control block of five bytes instead of four.
const Bytes kLongGraphicControl{'!', 0xF9, 5, 0, 0, 0, 0, 0x2C, 0};

INSTANTIATE_TEST_SUITE_P(
    Kinds, Extensions,
    ::testing::Values(ExtensionCase{"Comment", kComment},
                      ExtensionCase{"GraphicControl", kGraphicControl},
                      ExtensionCase{"Application", kApplication},
                      ExtensionCase{"PlainText", kPlainText},
                      ExtensionCase{"UnknownLabel", kUnknown},
                      ExtensionCase{"GraphicControlOfFiveBytes", kLongGraphicControl},
                      ExtensionCase{"AllInARow", concat({kApplication, kComment, kPlainText,
                                                         kUnknown, kGraphicControl})}),
    [](const auto& row) { return std::string(row.param.name); });

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

struct CutCase {
    const char* name;
    std::function<std::size_t(const GifLayout&)> keep;
    ImageResult info;
    ImageResult load;
};

class Truncated : public ::testing::TestWithParam<CutCase> {};

TEST_P(Truncated, IsRefusedWithItsCode) {
    const CutCase& c = GetParam();
    static const Bytes gif = giflibEncode(pattern(40, 20, 16, 2), {.interlaced = true});
    const Decoded whole = decode(gif);
    ASSERT_EQ(whole.load, ImageResult::Ok);
    const Bytes cut(gif.begin(), gif.begin() + static_cast<std::ptrdiff_t>(c.keep(layoutOf(gif))));

    Image fresh;
    MemorySource forInfo(cut);
    EXPECT_EQ(gifInfo(fresh, forInfo), c.info);
    Image image = whole.image;  // as info found the whole file
    PixelBuffer buffer;
    ASSERT_TRUE(buffer.allocate(image));
    MemorySource forLoad(cut);
    EXPECT_EQ(gifLoad(image, forLoad, buffer.sink()), c.load);
}

INSTANTIATE_TEST_SUITE_P(
    Places, Truncated,
    ::testing::Values(
        CutCase{"Empty", [](const GifLayout&) { return 0; }, ImageResult::BadFormat,
                ImageResult::BadFormat},
        CutCase{"InTheHeader", [](const GifLayout&) { return 12; }, ImageResult::BadFormat,
                ImageResult::BadFormat},
        CutCase{"InTheColourTable", [](const GifLayout&) { return 13 + 47; },
                ImageResult::Truncated, ImageResult::BadFormat},
        CutCase{"InTheImageDescriptor", [](const GifLayout& l) { return l.imageDescriptor + 5; },
                ImageResult::Truncated, ImageResult::Truncated},
        CutCase{"BeforeTheCodeSize", [](const GifLayout& l) { return l.minCodeSize; },
                ImageResult::Ok, ImageResult::BadFormat},
        CutCase{"AfterTheCodeSize", [](const GifLayout& l) { return l.minCodeSize + 1; },
                ImageResult::Ok, ImageResult::BadFormat},
        CutCase{"InTheImageData", [](const GifLayout& l) { return (l.minCodeSize + l.end) / 2; },
                ImageResult::Ok, ImageResult::BadFormat},
        CutCase{"InTheLastSubBlock", [](const GifLayout& l) { return l.end - 2; }, ImageResult::Ok,
                ImageResult::BadFormat}),
    [](const auto& row) { return std::string(row.param.name); });

struct CorruptCase {
    const char* name;
    std::function<void(GifPlan&)> spoil;
    ImageResult load;
};

class CorruptData : public ::testing::TestWithParam<CorruptCase> {};

TEST_P(CorruptData, IsRefused) {
    const RgbPicture picture = pattern(6, 5, 4, 3);
    GifPlan plan = specOf(picture);
    GetParam().spoil(plan);
    const Decoded d = decode(buildGif(plan));
    ASSERT_EQ(d.info, ImageResult::Ok);
    EXPECT_EQ(d.load, GetParam().load);
}

INSTANTIATE_TEST_SUITE_P(
    Streams, CorruptData,
    ::testing::Values(
        CorruptCase{"NoEndCode", [](GifPlan& s) { s.lzw.endCode = false; }, ImageResult::BadFormat},
        CorruptCase{"NoDataAtAll", [](GifPlan& s) { s.data = {0}; }, ImageResult::BadFormat},
        // Clear (4), then 7 while the next free code is 6.
        CorruptCase{"CodeBeyondTheNextFree",
                    [](GifPlan& s) {
                        s.data = {1, 0x3C, 0};
                    },
                    ImageResult::BadFormat},
        // Clear (4), then 6, the next free code, with no string before it.
        CorruptCase{"NextFreeCodeFirst",
                    [](GifPlan& s) {
                        s.data = {1, 0x34, 0};
                    },
                    ImageResult::BadFormat},
        // A 2-colour table, code size 2: clear, literal 3, end.
        CorruptCase{"IndexOutsideTheColourTable",
                    [](GifPlan& s) {
                        s.globalTable.erase(s.globalTable.begin() + 2, s.globalTable.end());
                        s.data = {2, 0x5C, 0x01, 0};
                    },
                    ImageResult::BadFormat},
        CorruptCase{"ZeroWidth",
                    [](GifPlan& s) {
                        s.width = 0;
                        s.indices.clear();
                    },
                    ImageResult::BadFormat}),
    [](const auto& row) { return std::string(row.param.name); });

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
