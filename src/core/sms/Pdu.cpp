#include "sms/Pdu.h"

#include <algorithm>
#include <array>

#include "text/GsmAlphabet.h"
#include "text/Hex.h"

namespace vondrix::sms {
using namespace gsm;

namespace {

// Reads octets out of PDU text by index. A read past the end or over a
// non-hex digit gives 0 (a non-hex digit counts as 0) and marks the text
// as malformed, so a garbled PDU still decodes without reading outside it.
class OctetReader {
  public:
    explicit OctetReader(std::string_view hex) : hex_(hex) {}

    std::size_t count() const { return hex_.size() / 2; }
    bool ok() const { return ok_; }
    void fail() { ok_ = false; }

    unsigned get(std::size_t i) {
        if (i >= count()) {
            ok_ = false;
            return 0;
        }
        const int hi = hexDigit(hex_[2 * i]);
        const int lo = hexDigit(hex_[2 * i + 1]);
        if (hi < 0 || lo < 0)
            ok_ = false;
        return static_cast<unsigned>((hi < 0 ? 0 : hi) << 4 | (lo < 0 ? 0 : lo));
    }

    // Like get(), without judging the text: for optional look-ahead.
    std::optional<unsigned> peek(std::size_t i) const {
        if (i >= count())
            return std::nullopt;
        const int hi = hexDigit(hex_[2 * i]);
        const int lo = hexDigit(hex_[2 * i + 1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        return static_cast<unsigned>(hi << 4 | lo);
    }

    // Marks the text malformed unless octets [i, i + n) are all present.
    void need(std::size_t i, std::size_t n) {
        if (i > count() || n > count() - i)
            ok_ = false;
    }

    // The text of octets [i, i + n), clipped to what is there.
    std::string_view text(std::size_t i, std::size_t n) const {
        const std::size_t from = std::min(2 * i, hex_.size());
        return hex_.substr(from, std::min(2 * n, hex_.size() - from));
    }

  private:
    std::string_view hex_;
    bool ok_ = true;
};

// Unpacks `count` septets from octet `start` on; fewer when the text ends.
std::string unpackAt(OctetReader& in, std::size_t start, std::size_t count) {
    std::string out;
    out.reserve(count);
    unsigned acc = 0;
    unsigned bits = 0;
    std::size_t next = start;
    while (out.size() < count) {
        if (bits < 7) {
            if (next >= in.count()) {
                in.fail();
                break;
            }
            acc |= in.get(next++) << bits;
            bits += 8;
        }
        out.push_back(static_cast<char>(acc & 0x7F));
        acc >>= 7;
        bits -= 7;
    }
    return out;
}

// Digit pairs swapped back, cut at the first "F" (the filler of an odd
// number of digits). Other hex-like digits are kept as they stand.
void appendSwappedDigits(std::string& out, std::string_view digits) {
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        for (char c : {digits[i + 1], digits[i]}) {
            if (c == 'F' || c == 'f')
                return;
            out.push_back(c);
        }
    }
}

bool isAlphanumeric(unsigned type) {
    return (type & 0x70) == 0x50;
}

// The number of an address whose type octet is at `typeAt`, followed by
// `semiOctets` semi-octets (rounded up to whole octets).
std::string addressBody(OctetReader& in, std::size_t typeAt, unsigned type, unsigned semiOctets) {
    const std::size_t octets = (semiOctets + 1) / 2;
    in.need(typeAt + 1, octets);
    std::string number;
    if (isAlphanumeric(type)) {
        number = unpackAt(in, typeAt + 1, semiOctets * 4 / 7);
        gsmDecodeTextInPlace(number);
        return number;
    }
    if (type == 0x91)
        number.push_back('+');
    appendSwappedDigits(number, in.text(typeAt + 1, octets));
    return number;
}

std::string timestampAt(OctetReader& in, std::size_t at, bool swapD) {
    in.need(at, 7);
    return decodeTimestamp(in.text(at, 7), swapD);
}

// Octets of the validity period of a SUBMIT, by its first octet's format bits.
std::size_t validityLength(unsigned firstOctet) {
    switch ((firstOctet >> 3) & 0x03) {
        case 0:
            return 0;  // absent
        case 2:
            return 1;  // relative
        default:
            return 7;  // enhanced or absolute
    }
}

std::optional<Concatenation> findConcatenation(const OctetReader& in, std::size_t ud) {
    const auto headerLength = in.peek(ud);
    if (!headerLength)
        return std::nullopt;
    const std::size_t end = ud + 1 + *headerLength;
    std::size_t i = ud + 1;
    while (i + 2 <= end) {
        const auto id = in.peek(i);
        const auto len = in.peek(i + 1);
        if (!id || !len || i + 2 + *len > end)
            break;
        std::array<unsigned, 4> d{};
        bool present = true;
        for (std::size_t k = 0; k < *len && k < d.size(); ++k) {
            const auto v = in.peek(i + 2 + k);
            present = present && v.has_value();
            d[k] = v.value_or(0);
        }
        if (present && *id == 0x00 && *len == 3) {
            return Concatenation{static_cast<int>(d[0]), static_cast<int>(d[2]),
                                 static_cast<int>(d[1])};
        }
        if (present && *id == 0x08 && *len == 4) {
            return Concatenation{static_cast<int>(d[0] << 8 | d[1]), static_cast<int>(d[3]),
                                 static_cast<int>(d[2])};
        }
        i += 2 + *len;
    }
    return std::nullopt;
}

void appendUcs2AsLatin1(std::string& out, OctetReader& in, std::size_t from, std::size_t pairs) {
    for (std::size_t k = 0; k < pairs; ++k) {
        const unsigned unit = in.get(from + 2 * k) << 8 | in.get(from + 2 * k + 1);
        if (unit < 0x100) {
            out.push_back(static_cast<char>(unit));
            continue;
        }
        out.push_back('?');
        // A surrogate pair is one character.
        if (unit >= 0xD800 && unit < 0xDC00 && k + 1 < pairs) {
            const auto next = in.peek(from + 2 * k + 2);
            if (next && *next >= 0xDC && *next < 0xE0)
                ++k;
        }
    }
}

void decodeUserData(DecodedMessage& m, OctetReader& in, std::size_t ud, unsigned udl,
                    TextForm form) {
    const bool header = (m.firstOctet & 0x40) != 0;
    const std::size_t available = in.count() > ud ? in.count() - ud : 0;
    const std::size_t headerOctets = header ? in.peek(ud).value_or(0) + 1 : 0;
    if (header)
        m.concatenation = findConcatenation(in, ud);

    switch (alphabetOf(m.dataCoding)) {
        case Alphabet::Gsm7Bit: {
            m.text = unpackAt(in, ud, udl);
            m.headerChars = std::min(m.text.size(), (headerOctets * 8 + 6) / 7);
            if (form == TextForm::Pc) {
                // The header's septets are no text: an escape code there
                // must not take the first character of the body with it.
                std::string body = m.text.substr(m.headerChars);
                gsmDecodeTextInPlace(body);
                m.text.resize(m.headerChars);
                for (char& c : m.text)
                    c = gsmAlphabet()[static_cast<unsigned char>(c) & 0x7F];
                m.text += body;
            }
            break;
        }
        case Alphabet::EightBit: {
            const std::size_t n = std::min<std::size_t>(udl, available);
            if (n < udl)
                in.fail();
            m.text.reserve(n);
            for (std::size_t i = 0; i < n; ++i)
                m.text.push_back(static_cast<char>(in.get(ud + i)));
            if (form == TextForm::Pc)
                gsmDecodeNameInPlace(m.text);
            m.headerChars = std::min(m.text.size(), headerOctets);
            break;
        }
        case Alphabet::Ucs2: {
            // The header is octets, not UCS2: it is taken like 8-bit data so
            // that the characters after it stay in step.
            const std::size_t h = std::min({headerOctets, std::size_t{udl}, available});
            for (std::size_t i = 0; i < h; ++i)
                m.text.push_back(static_cast<char>(in.get(ud + i)));
            if (form == TextForm::Pc)
                gsmDecodeNameInPlace(m.text);
            m.headerChars = h;
            const std::size_t bodyOctets = udl - h;
            if (bodyOctets % 2 != 0)
                in.fail();
            in.need(ud + h, bodyOctets);
            const std::size_t pairs = std::min(bodyOctets, available - h) / 2;
            appendUcs2AsLatin1(m.text, in, ud + h, pairs);
            break;
        }
    }
}

}  // namespace

// ---- Building blocks ------------------------------------------------------

std::string encodeAddress(std::string_view number, AddressKind kind,
                          const CodecSettings& settings) {
    std::string digits;
    bool international = true;
    if (number.starts_with('+')) {
        digits = number.substr(1);
    } else if (number.starts_with("00")) {
        digits = number.substr(2);
    } else if (settings.intPrefix && !settings.tPref.empty() && !number.empty()) {
        std::string_view prefix = settings.tPref;
        if (prefix.starts_with('+'))
            prefix.remove_prefix(1);
        if (number.starts_with('0'))
            number.remove_prefix(1);
        digits.reserve(prefix.size() + number.size());
        digits.append(prefix).append(number);
    } else {
        digits = number;
        international = false;
    }

    std::string swapped;
    swapped.reserve(digits.size() + 1);
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        swapped.push_back(digits[i + 1]);
        swapped.push_back(digits[i]);
    }
    if (digits.size() % 2 != 0) {
        swapped.push_back('F');
        swapped.push_back(digits.back());
    }

    const std::size_t length =
        kind == AddressKind::Destination ? digits.size() : swapped.size() / 2 + 1;
    std::string out;
    out.reserve(4 + swapped.size());
    appendHexByte(out, static_cast<unsigned>(length & 0xFF));
    out += international ? "91" : "81";
    out += swapped;
    return out;
}

DecodedAddress decodeAddressField(std::string_view field, AddressKind kind) {
    DecodedAddress a;
    OctetReader in(field);
    const unsigned length = in.get(0);
    if (kind == AddressKind::ServiceCentre && length == 0) {
        a.chars = 2;
        a.complete = in.ok();
        return a;
    }
    const unsigned semiOctets = kind == AddressKind::Destination ? length : 2 * (length - 1);
    a.type = static_cast<int>(in.get(1));
    a.number = addressBody(in, 1, static_cast<unsigned>(a.type), semiOctets);
    a.chars = 4 + 2 * static_cast<std::size_t>((semiOctets + 1) / 2);
    a.complete = in.ok() && field.size() >= a.chars && allHexDigits(field.substr(0, a.chars));
    return a;
}

std::string decodeTimestamp(std::string_view hex14, bool swapD) {
    const auto digit = [&](std::size_t i) { return i < hex14.size() ? hex14[i] : '?'; };
    // Field k is the k-th digit pair swapped back: YY MM DD hh mm ss.
    std::array<std::array<char, 2>, 6> f{};
    for (std::size_t k = 0; k < f.size(); ++k)
        f[k] = {digit(2 * k + 1), digit(2 * k)};
    if (swapD)
        std::swap(f[0], f[2]);
    std::string out;
    out.reserve(17);
    constexpr char kSeparators[] = "// ::";
    for (std::size_t k = 0; k < f.size(); ++k) {
        if (k > 0)
            out.push_back(kSeparators[k - 1]);
        out.push_back(f[k][0]);
        out.push_back(f[k][1]);
    }
    return out;
}

// ---- SUBMIT builder -------------------------------------------------------

std::size_t partUnits(std::string_view text, bool eightBit) {
    return eightBit ? text.size() : septetCount(text);
}

std::size_t charactersOfFirstPart(std::string_view text, bool eightBit) {
    const std::size_t size = partSize(eightBit);
    if (eightBit)
        return std::min(text.size(), size);
    std::size_t chars = 0;
    for (std::size_t units = 0; chars < text.size(); ++chars) {
        units += septetsOf(text[chars]);
        if (units > size)
            break;
    }
    return chars;
}

std::vector<std::string> splitIntoParts(std::string_view text, bool eightBit) {
    std::vector<std::string> parts;
    while (!text.empty()) {
        const std::size_t n = charactersOfFirstPart(text, eightBit);
        parts.emplace_back(text.substr(0, n));
        text.remove_prefix(n);
    }
    return parts;
}

namespace {

unsigned dataCodingFor(const SubmitOptions& o) {
    if (o.flash)
        return o.eightBit ? 0xF4 : 0xF0;
    return o.eightBit ? 0xF6 : 0x00;
}

unsigned validityFor(int days) {
    return days >= 1 && days <= 4 ? 0xA6u + days : 0xAAu;
}

// Fields 8 and 9: UDL (bytes, or septets with two for each character of the
// extension table) and the user data.
void appendUserData(std::string& out, std::string_view text, bool eightBit,
                    const CodecSettings& settings) {
    text = text.substr(0, charactersOfFirstPart(text, eightBit));
    if (eightBit) {
        appendHexByte(out, static_cast<unsigned>(text.size()));
        const std::string bytes = settings.gsmConv ? gsmEncode(text) : std::string(text);
        for (char c : bytes)
            appendHexByte(out, static_cast<unsigned char>(c));
    } else {
        const std::string septets = gsmEncodeSeptets(text);
        appendHexByte(out, static_cast<unsigned>(septets.size()));
        for (auto o : packSeptets(septets))
            appendHexByte(out, o);
    }
}

}  // namespace

std::string buildSubmitPdu(const SubmitPart& part, const CodecSettings& settings) {
    const SubmitOptions& o = part.options;
    std::string out = encodeAddress(part.serviceCentre, AddressKind::ServiceCentre, settings);
    out.reserve(out.size() + 40 + 2 * kPartSize8Bit);
    appendHexByte(out, o.statusReport ? 0x31 : 0x11);
    appendHexByte(out, static_cast<unsigned>(part.index) & 0xFF);
    out += encodeAddress(part.recipient, AddressKind::Destination, settings);
    appendHexByte(out, 0x00);
    appendHexByte(out, dataCodingFor(o));
    appendHexByte(out, validityFor(o.validityDays));
    appendUserData(out, part.text, o.eightBit, settings);
    return out;
}

std::string buildStoredPredefinedPdu(std::string_view text, int index,
                                     const CodecSettings& settings) {
    std::string out = "0011";
    appendHexByte(out, static_cast<unsigned>(index) & 0xFF);
    out += "0000";
    appendHexByte(out, 0x00);
    appendHexByte(out, 0x00);
    appendHexByte(out, validityFor(4));
    appendUserData(out, text, false, settings);
    return out;
}

// ---- Listed-message decoder -----------------------------------------------

Alphabet alphabetOf(int dataCoding) {
    if ((dataCoding & 0x04) != 0)
        return Alphabet::EightBit;
    if ((dataCoding & 0x8C) == 0x08)
        return Alphabet::Ucs2;
    return Alphabet::Gsm7Bit;
}

DecodedMessage decodeListedMessage(int status, std::string_view pduText,
                                   const CodecSettings& settings, TextForm form) {
    DecodedMessage m;
    m.lineLength = std::min(pduText.find_first_of("\r\n"), pduText.size());
    const std::string_view line = pduText.substr(0, m.lineLength);
    OctetReader in(line);

    const bool stored = status == 2 || status == 3;
    m.kind = stored ? MessageKind::Stored : MessageKind::Received;
    std::size_t p = 1 + in.get(0);  // past the service-centre field
    m.firstOctet = static_cast<int>(in.get(p++));
    if (stored)
        ++p;  // message reference

    unsigned addressLength = in.get(p++);
    // No address is that long: the octet was a status report's reference.
    // The message type bits tell the same for references of 24 or less.
    if (addressLength > 24 || (!stored && (m.firstOctet & 0x03) == 0x02)) {
        addressLength = in.get(p++);
        if (!stored)
            m.kind = MessageKind::StatusReport;
    }
    m.numberType = static_cast<int>(in.get(p));
    m.number = addressBody(in, p, static_cast<unsigned>(m.numberType), addressLength);
    p += 1 + (addressLength + 1) / 2;

    if (m.kind == MessageKind::StatusReport) {
        m.date = timestampAt(in, p, settings.swapD);
        m.discharge = timestampAt(in, p + 7, settings.swapD);
    } else {
        ++p;  // protocol identifier
        m.dataCoding = static_cast<int>(in.get(p++));
        if (stored) {
            p += validityLength(static_cast<unsigned>(m.firstOctet));
        } else {
            m.date = timestampAt(in, p, settings.swapD);
            p += 7;
        }
        const unsigned udl = in.get(p++);
        if (udl > 0)
            decodeUserData(m, in, p, udl, form);
    }
    m.wellFormed = in.ok() && line.size() % 2 == 0 && allHexDigits(line);
    return m;
}

}  // namespace vondrix::sms
