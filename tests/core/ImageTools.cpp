#include "ImageTools.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <unordered_map>

#include "media/ByteSource.h"
#include "media/Gif.h"
#include "support/RunProcess.h"

namespace vondrix::media::test {

namespace {

std::string findOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        const std::string candidate = dir + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}

void replaceAll(std::string& s, const std::string& from, const std::string& to) {
    for (auto at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
}

// Codes least significant bit first.
class BitWriter {
  public:
    void put(unsigned code, unsigned width) {
        bits_ |= std::uint32_t{code} << count_;
        count_ += width;
        while (count_ >= 8) {
            bytes_.push_back(static_cast<std::uint8_t>(bits_));
            bits_ >>= 8;
            count_ -= 8;
        }
    }
    Bytes finish() {
        if (count_ > 0)
            bytes_.push_back(static_cast<std::uint8_t>(bits_));
        return std::move(bytes_);
    }

  private:
    Bytes bytes_;
    std::uint32_t bits_ = 0;
    unsigned count_ = 0;
};

unsigned tableBits(std::size_t entries) {
    unsigned bits = 1;
    while ((std::size_t{1} << bits) < entries)
        ++bits;
    return bits;
}

void appendTable(Bytes& out, const std::vector<Rgb>& table) {
    for (const Rgb& c : table)
        out.insert(out.end(), {c.red, c.green, c.blue});
}

void append16(Bytes& out, unsigned v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

std::size_t skipSubBlocks(const Bytes& gif, std::size_t at) {
    while (at < gif.size() && gif[at] != 0)
        at += gif[at] + 1u;
    return at + 1;
}

}  // namespace

RgbPicture pattern(std::uint32_t width, std::uint32_t height, unsigned colours, unsigned seed) {
    std::vector<Rgb> table(colours);
    for (unsigned c = 0; c < colours; ++c) {
        table[c] = colours == 2
                       ? Rgb{static_cast<std::uint8_t>(c * 255), static_cast<std::uint8_t>(c * 255),
                             static_cast<std::uint8_t>(c * 255)}
                       : Rgb{static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c * 67 + seed),
                             static_cast<std::uint8_t>(c * 151 + 3 * seed)};
    }
    RgbPicture p{width, height, {}};
    std::uint32_t state = seed * 2654435761u + 1;
    unsigned current = 0;
    const std::size_t pixels = std::size_t{width} * height;
    for (std::size_t i = 0; i < pixels; ++i) {
        state = state * 1664525u + 1013904223u;
        if (i < colours)
            current = static_cast<unsigned>(i);  // every colour at least once
        else if ((state >> 28) < 9)              // runs, so that strings repeat
            current = (state >> 8) % colours;
        const Rgb& c = table[current];
        p.rgb.insert(p.rgb.end(), {c.red, c.green, c.blue});
    }
    return p;
}

ImageMagick::ImageMagick() {
    for (const char* name : {"convert-im6.q16", "magick", "convert"}) {
        program_ = findOnPath(name);
        if (!program_.empty())
            break;
    }
    dir_ = vondrix::test::makeTempDir("imagemagick");
}

ImageMagick::~ImageMagick() {
    std::error_code ec;
    if (!dir_.empty())
        std::filesystem::remove_all(dir_, ec);
}

Bytes ImageMagick::run(const Bytes& input, const std::vector<std::string>& args) const {
    const std::string in = dir_ + "/in", out = dir_ + "/out";
    writeFile(in, input);
    std::filesystem::remove(out);
    std::vector<std::string> expanded;
    for (std::string a : args) {
        replaceAll(a, "{in}", in);
        replaceAll(a, "{out}", out);
        expanded.push_back(a);
    }
    const auto r = vondrix::test::runProcess(program_, expanded, dir_);
    EXPECT_EQ(r.exitCode, 0) << program_ << ": " << r.err;
    auto bytes = readFile(out);
    std::filesystem::remove(in);
    std::filesystem::remove(out);
    return bytes;
}

Bytes ImageMagick::encode(const RgbPicture& picture, const std::vector<std::string>& options,
                          const std::string& format) const {
    std::vector<std::string> args{
        "-size", std::to_string(picture.width) + "x" + std::to_string(picture.height), "-depth",
        "8", "rgb:{in}"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(format + ":{out}");
    return run(picture.rgb, args);
}

Bytes ImageMagick::decodeToRgb(const Bytes& file, const std::string& format) const {
    return run(file, {format + ":{in}[0]", "-depth", "8", "rgb:{out}"});
}

Bytes giflibEncode(const RgbPicture& picture, const GiflibOptions& options) {
    static const std::string program = findOnPath("gifbuild");
    EXPECT_FALSE(program.empty()) << "giflib's gifbuild is missing; scripts/deps.sh installs it";
    if (program.empty())
        return {};

    std::vector<Rgb> table;
    Bytes indices;
    for (std::size_t i = 0; i < picture.rgb.size(); i += 3) {
        const Rgb c{picture.rgb[i], picture.rgb[i + 1], picture.rgb[i + 2]};
        auto at = std::find(table.begin(), table.end(), c);
        if (at == table.end())
            at = table.insert(table.end(), c);
        indices.push_back(static_cast<std::uint8_t>(at - table.begin()));
    }
    table.resize(std::size_t{1} << tableBits(table.size()));

    std::ostringstream text;
    text << "screen width " << (options.screenWidth ? options.screenWidth : picture.width)
         << "\nscreen height " << (options.screenHeight ? options.screenHeight : picture.height)
         << "\nscreen colors " << table.size() << "\nscreen background 0\nscreen map\n";
    for (const Rgb& c : table)
        text << "rgb " << int{c.red} << ' ' << int{c.green} << ' ' << int{c.blue} << '\n';
    text << "end\n";
    if (options.gif89)
        text << "comment\nmade for a test\nend\n";
    text << "image # 1\nimage left " << options.left << "\nimage top " << options.top << '\n';
    if (options.interlaced)
        text << "image interlaced\n";
    text << "image bits " << picture.width << " by " << picture.height << " hex\n";
    // Rows in picture order: gifbuild puts them in interlace order itself.
    static const char kHex[] = "0123456789abcdef";
    for (std::uint32_t y = 0; y < picture.height; ++y) {
        for (std::uint32_t x = 0; x < picture.width; ++x) {
            const unsigned i = indices[std::size_t{y} * picture.width + x];
            text << kHex[i >> 4] << kHex[i & 15];
        }
        text << '\n';
    }
    if (options.secondImage)
        text << "image # 2\nimage left 1\nimage top 1\nimage bits 2 by 2 hex\n0101\n0101\n";

    const std::string dir = vondrix::test::makeTempDir("gifbuild");
    const std::string specPath = dir + "/picture.txt";
    const std::string s = text.str();
    writeFile(specPath, Bytes(s.begin(), s.end()));
    const auto r = vondrix::test::runProcess(program, {specPath}, dir);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::filesystem::remove_all(dir);
    return Bytes(r.out.begin(), r.out.end());
}

Bytes lzwEncode(const Bytes& indices, unsigned minCodeSize, const LzwOptions& options) {
    const unsigned clear = 1u << minCodeSize;
    const unsigned end = clear + 1;
    constexpr unsigned kTableSize = 4096;
    BitWriter bits;
    std::unordered_map<std::uint32_t, unsigned> strings;
    unsigned next = clear + 2;
    unsigned sinceClear = 0;  // codes written since the last clear

    // The width the decoder will read the next code with: it adds an entry
    // for every code after the first, and widens when its next code fills
    // the current width.
    const auto width = [&] {
        const unsigned decoderNext =
            std::min(kTableSize, clear + 2 + (sinceClear > 0 ? sinceClear - 1 : 0));
        unsigned w = minCodeSize + 1;
        while (w < 12 && (1u << w) <= decoderNext)
            ++w;
        return w;
    };
    const auto put = [&](unsigned code) {
        bits.put(code, width());
        ++sinceClear;
    };
    const auto putClear = [&] {
        put(clear);
        strings.clear();
        next = clear + 2;
        sinceClear = 0;
    };

    if (options.leadingClear)
        putClear();
    if (!indices.empty()) {
        unsigned current = indices[0];
        for (std::size_t i = 1; i < indices.size(); ++i) {
            const std::uint32_t key = current << 8 | indices[i];
            if (const auto found = strings.find(key); found != strings.end()) {
                current = found->second;
                continue;
            }
            put(current);
            if (next < kTableSize)
                strings.emplace(key, next++);
            else if (options.clearWhenFull)
                putClear();
            current = indices[i];
        }
        put(current);
    }
    if (options.endCode)
        put(end);

    const Bytes packed = bits.finish();
    Bytes out;
    for (std::size_t at = 0; at < packed.size(); at += options.subBlock) {
        const std::size_t n = std::min(options.subBlock, packed.size() - at);
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), packed.begin() + static_cast<std::ptrdiff_t>(at),
                   packed.begin() + static_cast<std::ptrdiff_t>(at + n));
    }
    out.push_back(0);
    return out;
}

Bytes buildGif(const GifPlan& plan) {
    Bytes out(plan.signature.begin(), plan.signature.end());
    append16(out, plan.screenWidth ? plan.screenWidth : plan.width);
    append16(out, plan.screenHeight ? plan.screenHeight : plan.height);
    const unsigned globalBits = plan.globalTable.empty() ? 1 : tableBits(plan.globalTable.size());
    out.push_back(
        static_cast<std::uint8_t>((plan.globalTable.empty() ? 0x00 : 0xF0) | (globalBits - 1)));
    out.push_back(plan.background);
    out.push_back(0);
    appendTable(out, plan.globalTable);
    out.insert(out.end(), plan.blocksBefore.begin(), plan.blocksBefore.end());

    out.push_back(',');
    append16(out, 0);
    append16(out, 0);
    append16(out, plan.width);
    append16(out, plan.height);
    const unsigned localBits = plan.localTable.empty() ? 0 : tableBits(plan.localTable.size());
    out.push_back(static_cast<std::uint8_t>((plan.interlaced ? 0x40 : 0) |
                                            (localBits ? 0x80 | (localBits - 1) : 0)));
    appendTable(out, plan.localTable);
    const unsigned bits = localBits ? localBits : globalBits;
    const unsigned codeSize = plan.minCodeSize ? plan.minCodeSize : std::max(2u, bits);
    out.push_back(static_cast<std::uint8_t>(codeSize));

    if (!plan.data.empty()) {
        out.insert(out.end(), plan.data.begin(), plan.data.end());
    } else {
        Bytes ordered;
        if (!plan.interlaced) {
            ordered = plan.indices;
        } else {
            const std::pair<unsigned, unsigned> passes[] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};
            for (const auto& [start, step] : passes)
                for (unsigned y = start; y < plan.height; y += step)
                    ordered.insert(ordered.end(), plan.indices.begin() + y * plan.width,
                                   plan.indices.begin() + (y + 1) * plan.width);
            // Anything beyond the picture follows as it is.
            const std::size_t pixels = std::size_t{plan.width} * plan.height;
            if (plan.indices.size() > pixels)
                ordered.insert(ordered.end(),
                               plan.indices.begin() + static_cast<std::ptrdiff_t>(pixels),
                               plan.indices.end());
        }
        const Bytes data = lzwEncode(ordered, codeSize, plan.lzw);
        out.insert(out.end(), data.begin(), data.end());
    }
    out.push_back(0x3B);
    return out;
}

GifLayout layoutOf(const Bytes& gif) {
    GifLayout layout;
    std::size_t at = 13;
    if ((gif.at(10) & 0x80) != 0)
        at += std::size_t{3} << ((gif[10] & 7) + 1);
    while (gif.at(at) == '!')
        at = skipSubBlocks(gif, at + 2);
    EXPECT_EQ(gif.at(at), ',');
    layout.imageDescriptor = at;
    at += 10;
    if ((gif.at(at - 1) & 0x80) != 0)
        at += std::size_t{3} << ((gif[at - 1] & 7) + 1);
    layout.minCodeSize = at;
    layout.end = skipSubBlocks(gif, at + 1);
    return layout;
}

Decoded decode(const Bytes& gif) {
    Decoded d;
    MemorySource forInfo(gif);
    d.info = gifInfo(d.image, forInfo);
    if (d.info != ImageResult::Ok)
        return d;
    EXPECT_TRUE(d.buffer.allocate(d.image));
    MemorySource forLoad(gif);
    d.load = gifLoad(d.image, forLoad, [&d](std::span<const std::uint8_t> row, std::uint32_t y) {
        d.rowOrder.push_back(y);
        return d.buffer.putRow(row, y);
    });
    return d;
}

unsigned indexAt(const PixelBuffer& buffer, std::uint32_t x, std::uint32_t y) {
    const auto row = buffer.row(y);
    switch (buffer.bitsPerPixel()) {
        case 1:
            return (row[x / 8] >> (7 - x % 8)) & 1u;
        case 4:
            return x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0Fu;
        default:
            return row[x];
    }
}

Bytes toRgb(const Image& image, const PixelBuffer& buffer) {
    Bytes rgb;
    rgb.reserve(std::size_t{image.width} * image.height * 3);
    for (std::uint32_t y = 0; y < image.height; ++y)
        for (std::uint32_t x = 0; x < image.width; ++x) {
            const Rgb& c = image.palette[indexAt(buffer, x, y)];
            rgb.insert(rgb.end(), {c.red, c.green, c.blue});
        }
    return rgb;
}

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

}  // namespace vondrix::media::test
