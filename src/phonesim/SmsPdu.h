#pragma once

// GSM 03.40 transfer PDUs as the phone handles them in PDU mode (GSM 07.05):
// the checks the phone makes on a PDU given to AT+CMGS and AT+CMGW, and
// builders for the messages of the demo phone and of tests.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace phonesim {

// TP-MTI of the first octet (GSM 03.40 9.2.3.1), for the direction the
// phone's memory holds a message in.
enum class PduType { Deliver = 0, Submit = 1, StatusReport = 2 };

// What a well-formed PDU (service-centre address, then the TPDU) consists of.
struct PduLayout {
    std::size_t scaOctets = 0;   // the service-centre field with its length octet
    std::size_t tpduOctets = 0;  // what the <length> of AT+CMGS/AT+CMGW counts
    PduType type = PduType::Deliver;
};

// Checks `hex` the way the phone does before taking it: hexadecimal digit
// pairs, a service-centre field of at most 12 octets, and a complete TPDU of
// a known type whose user data has exactly the octets its length and data
// coding call for. Nothing when any of this fails.
std::optional<PduLayout> inspectPdu(std::string_view hex);

// The number of octets of `userDataLength` units of user data under data
// coding scheme `dcs` (GSM 03.38 4): septets for the default alphabet,
// octets for 8-bit data and UCS2.
std::size_t userDataOctets(int dcs, int userDataLength);

// The text of a SUBMIT or DELIVER that inspectPdu takes, in UTF-8: 7-bit
// user data through the default alphabet and its extension table, 8-bit
// data as ISO 8859-1, UCS2 as such; a user data header is no text. Nothing
// for a status report or a PDU inspectPdu refuses.
std::optional<std::string> messageText(std::string_view hex);

// ---- Building PDUs (demo contents, tests) ----------------------------------

std::string toHex(const std::vector<std::uint8_t>& octets);

// A service-centre field ("00" for none): length in octets, type, digits.
std::string serviceCentreField(std::string_view number);
// An originating or destination address: length in digits, type 0x91 for a
// leading "+" else 0x81, semi-octets.
std::string addressField(std::string_view number);
// An alphanumeric originating address (type 0xD0): the ISO 8859-1 text
// packed as GSM 7-bit characters; the length counts its semi-octets.
std::string alphanumericAddressField(std::string_view latin1Text);
// A service-centre time stamp from "YYMMDDhhmmss" and the zone in quarter hours.
std::string timestampField(std::string_view yymmddhhmmss, int zoneQuarters = 4);

// A concatenation header element (8-bit reference).
struct PartOf {
    int reference = 0;
    int count = 0;
    int sequence = 0;
};

// User data and its length field, ready to follow the data coding scheme.
struct UserData {
    int length = 0;  // TP-UDL: septets for the default alphabet, else octets
    std::vector<std::uint8_t> octets;
    bool hasHeader = false;
};
// ISO 8859-1 text in the GSM default alphabet, "{" and the other characters
// of its extension table as escape pairs (characters neither has become
// "?"), with an optional concatenation header and its fill bits.
UserData gsmUserData(std::string_view latin1Text, std::optional<PartOf> part = std::nullopt);
UserData ucs2UserData(std::u16string_view text, std::optional<PartOf> part = std::nullopt);
UserData octetUserData(std::string_view bytes);

// SMS-DELIVER as received from the network.
std::string deliverPdu(std::string_view serviceCentre, std::string_view originatorField, int dcs,
                       std::string_view timestamp, const UserData& data);
// SMS-SUBMIT with a relative validity period, as a client stores or sends it.
std::string submitPdu(std::string_view serviceCentre, int reference, std::string_view destination,
                      int dcs, const UserData& data, bool statusReport = false);
// SMS-STATUS-REPORT for message `reference` sent to `recipient`.
std::string statusReportPdu(std::string_view serviceCentre, int reference,
                            std::string_view recipient, std::string_view timestamp,
                            std::string_view dischargeTime, int status);

}  // namespace phonesim
