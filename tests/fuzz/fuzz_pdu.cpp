// Listed-message, address and timestamp decoders over arbitrary PDU text:
// no read outside the input, the decoder always ends at the end of the PDU
// line, and what it produces stays within what the PDU can describe.
//
// Input: one control byte, then the PDU. Control bits 0-1: the "+CMGL:"
// status; bit 2: hex-encode the rest first (so mutations act on octets);
// bit 3: SwapD; bit 4: hand over GSM codes instead of PC text.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "sms/Pdu.h"
#include "text/Hex.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vondrix::sms;
    if (size == 0)
        return 0;
    const unsigned control = data[0];
    std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
    std::string hex;
    if ((control & 0x04) != 0) {
        for (char c : input)
            vondrix::appendHexByte(hex, static_cast<unsigned char>(c));
        input = hex;
    }

    CodecSettings settings;
    settings.swapD = (control & 0x08) != 0;
    const TextForm form = (control & 0x10) != 0 ? TextForm::GsmCodes : TextForm::Pc;
    const DecodedMessage m =
        decodeListedMessage(static_cast<int>(control & 0x03), input, settings, form);

    const std::size_t lineEnd = std::min(input.find_first_of("\r\n"), input.size());
    check(m.lineLength == lineEnd);
    check(m.text.size() <= 255);            // the user data length is one octet
    check(m.number.size() <= 1 + 2 * 128);  // "+" and at most 255 semi-octets, rounded up
    check(m.headerChars <= m.text.size());
    check(m.date.empty() || m.date.size() == 17);
    check(m.discharge.empty() || m.discharge.size() == 17);
    if (m.concatenation)
        check(m.concatenation->reference <= 0xFFFF);

    for (const AddressKind kind : {AddressKind::Destination, AddressKind::ServiceCentre}) {
        const DecodedAddress a = decodeAddressField(input, kind);
        check(a.chars >= 2 && a.chars <= 4 + 2 * 255);  // a service centre counts octets
        check(!a.complete || a.chars <= input.size());
    }
    check(decodeTimestamp(input, settings.swapD).size() == 17);

    // A number of digits survives the encoder and the decoder unchanged.
    const std::string_view digits = input.substr(0, std::min<std::size_t>(input.size(), 40));
    if (!digits.empty() &&
        std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        const std::string number = "+" + std::string(digits);
        const auto back = decodeAddressField(encodeAddress(number, AddressKind::Destination),
                                             AddressKind::Destination);
        check(back.complete && back.number == number);
    }
    return 0;
}
