#include "phonesim/SmsPdu.h"

#include "phonesim/GsmText.h"

namespace phonesim {

namespace {

std::optional<std::vector<std::uint8_t>> octetsOf(std::string_view hex) {
    if (hex.empty() || hex.size() % 2 != 0) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> out;
    out.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const std::optional<int> byte = hexByte(hex, i);
        if (!byte) {
            return std::nullopt;
        }
        out.push_back(static_cast<std::uint8_t>(*byte));
    }
    return out;
}

// The longest address value GSM 03.40 9.1.2.5 allows: 20 digits.
constexpr std::size_t kMaxAddressDigits = 20;

enum class Alphabet { Gsm, Octets, Ucs2 };

// GSM 03.38 4: the character set a data coding scheme selects.
Alphabet alphabetOf(int dcs) {
    const int group = (dcs >> 4) & 0x0F;
    if (group <= 0x07) {  // general data coding, with or without automatic deletion
        switch ((dcs >> 2) & 0x03) {
            case 1:
                return Alphabet::Octets;
            case 2:
                return Alphabet::Ucs2;
            default:
                return Alphabet::Gsm;
        }
    }
    if (group == 0x0E) {
        return Alphabet::Ucs2;  // message waiting indication, UCS2 stored
    }
    if (group == 0x0F) {
        return (dcs & 0x04) != 0 ? Alphabet::Octets : Alphabet::Gsm;
    }
    return Alphabet::Gsm;
}

// Reads the TPDU field by field; every read past the end marks it bad.
class Cursor {
  public:
    explicit Cursor(const std::vector<std::uint8_t>& octets, std::size_t at)
        : octets_(octets), at_(at) {}

    bool ok() const { return ok_; }
    std::size_t left() const { return at_ <= octets_.size() ? octets_.size() - at_ : 0; }

    int octet() {
        if (at_ >= octets_.size()) {
            ok_ = false;
            return 0;
        }
        return octets_[at_++];
    }
    void skip(std::size_t n) {
        if (n > left()) {
            ok_ = false;
        }
        at_ += n;
    }
    // Length (in semi-octets), type, value.
    void address() {
        const auto digits = static_cast<std::size_t>(octet());
        if (digits > kMaxAddressDigits) {
            ok_ = false;
        }
        skip(1 + (digits + 1) / 2);
    }

  private:
    const std::vector<std::uint8_t>& octets_;
    std::size_t at_;
    bool ok_ = true;
};

// The user data length and the user data, which must fill the TPDU exactly.
bool userDataFits(Cursor& c, int dcs) {
    const int udl = c.octet();
    const int limit = alphabetOf(dcs) == Alphabet::Gsm ? 160 : 140;
    return c.ok() && udl <= limit && c.left() == userDataOctets(dcs, udl);
}

std::size_t validityOctets(int firstOctet) {
    switch ((firstOctet >> 3) & 0x03) {
        case 0:
            return 0;
        case 2:
            return 1;
        default:
            return 7;
    }
}

// Digits as swapped semi-octets, "F" filling an odd last one.
std::string semiOctets(std::string_view digits) {
    std::string out;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        out += i + 1 < digits.size() ? digits[i + 1] : 'F';
        out += digits[i];
    }
    return out;
}

std::string hexOctet(int value) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    return {kHex[(value >> 4) & 0x0F], kHex[value & 0x0F]};
}

// Bits in the order GSM 03.38 6.1.2.1 packs septets: least significant first.
class BitWriter {
  public:
    void put(unsigned value, unsigned bits) {
        for (unsigned i = 0; i < bits; ++i) {
            if (bit_ % 8 == 0) {
                octets_.push_back(0);
            }
            if (((value >> i) & 1U) != 0) {
                octets_.back() = static_cast<std::uint8_t>(octets_.back() | (1U << (bit_ % 8)));
            }
            ++bit_;
        }
    }
    std::size_t bits() const { return bit_; }
    std::vector<std::uint8_t> take() { return std::move(octets_); }

  private:
    std::vector<std::uint8_t> octets_;
    std::size_t bit_ = 0;
};

std::vector<std::uint8_t> headerOctets(const PartOf& part) {
    return {0x05,
            0x00,
            0x03,
            static_cast<std::uint8_t>(part.reference),
            static_cast<std::uint8_t>(part.count),
            static_cast<std::uint8_t>(part.sequence)};
}

std::string userDataHex(const UserData& data) {
    return hexOctet(data.length) + toHex(data.octets);
}

}  // namespace

std::size_t userDataOctets(int dcs, int userDataLength) {
    const auto n = static_cast<std::size_t>(userDataLength);
    return alphabetOf(dcs) == Alphabet::Gsm ? (n * 7 + 7) / 8 : n;
}

std::optional<PduLayout> inspectPdu(std::string_view hex) {
    const auto octets = octetsOf(hex);
    if (!octets) {
        return std::nullopt;
    }
    const std::size_t scaLength = (*octets)[0];
    if (scaLength > 11 || 1 + scaLength >= octets->size()) {
        return std::nullopt;
    }
    PduLayout layout;
    layout.scaOctets = 1 + scaLength;
    layout.tpduOctets = octets->size() - layout.scaOctets;

    Cursor c(*octets, layout.scaOctets);
    const int first = c.octet();
    bool complete = false;
    switch (first & 0x03) {
        case 0: {  // SMS-DELIVER
            layout.type = PduType::Deliver;
            c.address();
            c.skip(1);  // protocol identifier
            const int dcs = c.octet();
            c.skip(7);  // service-centre time stamp
            complete = userDataFits(c, dcs);
            break;
        }
        case 1: {  // SMS-SUBMIT
            layout.type = PduType::Submit;
            c.skip(1);  // message reference
            c.address();
            c.skip(1);
            const int dcs = c.octet();
            c.skip(validityOctets(first));
            complete = userDataFits(c, dcs);
            break;
        }
        case 2:  // SMS-STATUS-REPORT; optional parameters may follow the status
            layout.type = PduType::StatusReport;
            c.skip(1);
            c.address();
            c.skip(7 + 7 + 1);
            complete = c.ok();
            break;
        default:
            break;
    }
    if (!complete || !c.ok()) {
        return std::nullopt;
    }
    return layout;
}

std::optional<std::string> messageText(std::string_view hex) {
    const std::optional<PduLayout> layout = inspectPdu(hex);
    if (!layout || layout->type == PduType::StatusReport) {
        return std::nullopt;
    }
    const std::vector<std::uint8_t> octets = *octetsOf(hex);
    Cursor c(octets, layout->scaOctets);
    const int first = c.octet();
    if (layout->type == PduType::Submit) {
        c.skip(1);  // message reference
    }
    c.address();
    c.skip(1);  // protocol identifier
    const int dcs = c.octet();
    c.skip(layout->type == PduType::Submit ? validityOctets(first) : 7);
    const auto udl = static_cast<std::size_t>(c.octet());
    const std::size_t ud = octets.size() - c.left();
    const std::size_t header = (first & 0x40) != 0 && ud < octets.size() ? octets[ud] + 1U : 0;
    std::string text;
    switch (alphabetOf(dcs)) {
        case Alphabet::Gsm: {
            // Septets, least significant bit first; the header and its fill
            // bits take whole septets.
            std::string codes;
            for (std::size_t k = (header * 8 + 6) / 7; k < udl; ++k) {
                const std::size_t bit = 7 * k;
                unsigned value = octets[ud + bit / 8] >> (bit % 8);
                if (bit % 8 > 1 && ud + bit / 8 + 1 < octets.size()) {
                    value |= static_cast<unsigned>(octets[ud + bit / 8 + 1]) << (8 - bit % 8);
                }
                codes += static_cast<char>(value & 0x7F);
            }
            return septetsToUtf8(codes);
        }
        case Alphabet::Octets:
            for (std::size_t i = ud + header; i < octets.size(); ++i) {
                appendUtf8(text, octets[i]);
            }
            return text;
        case Alphabet::Ucs2:
            for (std::size_t i = ud + header; i + 1 < octets.size(); i += 2) {
                appendUtf8(text, static_cast<char32_t>(octets[i] << 8 | octets[i + 1]));
            }
            return text;
    }
    return text;
}

std::string toHex(const std::vector<std::uint8_t>& octets) {
    std::string out;
    out.reserve(octets.size() * 2);
    for (const std::uint8_t o : octets) {
        out += hexOctet(o);
    }
    return out;
}

std::string serviceCentreField(std::string_view number) {
    if (number.empty()) {
        return "00";
    }
    const bool international = number.front() == '+';
    const std::string_view digits = international ? number.substr(1) : number;
    return hexOctet(static_cast<int>(1 + (digits.size() + 1) / 2)) + (international ? "91" : "81") +
           semiOctets(digits);
}

std::string addressField(std::string_view number) {
    const bool international = !number.empty() && number.front() == '+';
    const std::string_view digits = international ? number.substr(1) : number;
    return hexOctet(static_cast<int>(digits.size())) + (international ? "91" : "81") +
           semiOctets(digits);
}

std::string alphanumericAddressField(std::string_view latin1Text) {
    BitWriter bits;
    for (const char c : latin1Text) {
        bits.put(static_cast<unsigned char>(gsmCode(c).value_or('?')), 7);
    }
    const std::size_t nibbles = (bits.bits() + 3) / 4;
    return hexOctet(static_cast<int>(nibbles)) + "D0" + toHex(bits.take());
}

std::string timestampField(std::string_view yymmddhhmmss, int zoneQuarters) {
    std::string out = semiOctets(yymmddhhmmss.substr(0, 12));
    const int quarters = zoneQuarters < 0 ? -zoneQuarters : zoneQuarters;
    const int tens = (quarters / 10) % 10 + (zoneQuarters < 0 ? 8 : 0);
    out += static_cast<char>('0' + quarters % 10);
    out += hexOctet(tens)[1];
    return out;
}

UserData gsmUserData(std::string_view latin1Text, std::optional<PartOf> part) {
    BitWriter bits;
    UserData data;
    if (part) {
        for (const std::uint8_t o : headerOctets(*part)) {
            bits.put(o, 8);
        }
        bits.put(0, static_cast<unsigned>((7 - bits.bits() % 7) % 7));  // fill bits
        data.hasHeader = true;
    }
    for (const char c : latin1Text) {
        const std::optional<char> code = gsmCode(c);
        const std::optional<char> extension = code ? std::nullopt : gsmExtensionCode(c);
        if (extension) {
            bits.put(0x1B, 7);
        }
        bits.put(static_cast<unsigned char>(extension.value_or(code.value_or('?'))), 7);
    }
    data.length = static_cast<int>(bits.bits() / 7);
    data.octets = bits.take();
    return data;
}

UserData ucs2UserData(std::u16string_view text, std::optional<PartOf> part) {
    UserData data;
    if (part) {
        data.octets = headerOctets(*part);
        data.hasHeader = true;
    }
    for (const char16_t unit : text) {
        data.octets.push_back(static_cast<std::uint8_t>(unit >> 8));
        data.octets.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    }
    data.length = static_cast<int>(data.octets.size());
    return data;
}

UserData octetUserData(std::string_view bytes) {
    UserData data;
    data.octets.assign(bytes.begin(), bytes.end());
    data.length = static_cast<int>(data.octets.size());
    return data;
}

std::string deliverPdu(std::string_view serviceCentre, std::string_view originatorField, int dcs,
                       std::string_view timestamp, const UserData& data) {
    // TP-MMS set: no more messages are waiting.
    const int first = 0x04 | (data.hasHeader ? 0x40 : 0);
    return serviceCentreField(serviceCentre) + hexOctet(first) + std::string(originatorField) +
           "00" + hexOctet(dcs) + std::string(timestamp) + userDataHex(data);
}

std::string submitPdu(std::string_view serviceCentre, int reference, std::string_view destination,
                      int dcs, const UserData& data, bool statusReport) {
    // Relative validity period of four days.
    const int first = 0x11 | (statusReport ? 0x20 : 0) | (data.hasHeader ? 0x40 : 0);
    return serviceCentreField(serviceCentre) + hexOctet(first) + hexOctet(reference) +
           addressField(destination) + "00" + hexOctet(dcs) + "AA" + userDataHex(data);
}

std::string statusReportPdu(std::string_view serviceCentre, int reference,
                            std::string_view recipient, std::string_view timestamp,
                            std::string_view dischargeTime, int status) {
    return serviceCentreField(serviceCentre) + "06" + hexOctet(reference) +
           addressField(recipient) + std::string(timestamp) + std::string(dischargeTime) +
           hexOctet(status);
}

}  // namespace phonesim
