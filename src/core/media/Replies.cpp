#include "media/Replies.h"

#include "text/Decimal.h"
#include "text/Hex.h"

namespace vondrix::media {
namespace {

constexpr std::string_view kHeader = "^SBNR:";

// The count after the third comma of a header line.
std::optional<int> countOf(std::string_view header) {
    std::size_t at = 0;
    for (int comma = 0; comma < 3; ++comma) {
        at = header.find(',', at);
        if (at == std::string_view::npos)
            return std::nullopt;
        ++at;
    }
    return decimalValue(header.substr(at));
}

// Decodes digit pairs into `out`; false for anything that is not pairs of
// hexadecimal digits.
bool decodeHex(std::string_view line, std::vector<std::uint8_t>& out) {
    if (line.size() % 2 != 0)
        return false;
    out.reserve(line.size() / 2);
    for (std::size_t i = 0; i < line.size(); i += 2) {
        const int high = hexDigit(line[i]);
        const int low = hexDigit(line[i + 1]);
        if (high < 0 || low < 0)
            return false;
        out.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return true;
}

}  // namespace

SbnrRead parseSbnrRead(std::string_view response) {
    SbnrRead read;
    std::size_t from = 0;
    while (true) {
        const std::size_t header = response.find(kHeader, from);
        if (header == std::string_view::npos)
            break;
        const std::size_t lineFeed = response.find('\n', header);
        if (lineFeed == std::string_view::npos)
            break;  // a header cut off: nothing follows it
        if (read.blocks.empty())
            read.count = countOf(response.substr(header, lineFeed - header));
        const std::size_t start = lineFeed + 1;
        std::size_t end = response.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = response.size();
        std::vector<std::uint8_t> block;
        if (!decodeHex(response.substr(start, end - start), block)) {
            read.damaged = true;
            block.clear();
        }
        read.blocks.push_back(std::move(block));
        from = end;
    }
    return read;
}

std::string hexOf(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (const std::uint8_t b : bytes) {
        hex += kDigits[b >> 4];
        hex += kDigits[b & 0x0F];
    }
    return hex;
}

}  // namespace vondrix::media
