#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// GSM 03.40 transfer PDUs as upper-case hexadecimal text ("PDU text"): the
// SUBMIT builder for outgoing parts and the decoder of one listed message.
// Every text here is in the PC character set (ISO 8859-1).
namespace vondrix::sms {

// The settings the codec depends on, as plain values: the codec reads no
// settings file (sms/CodecOptions.h fills this from the program's settings).
struct CodecSettings {
    bool swapD = false;      // dates as DD/MM/YY instead of YY/MM/DD
    bool gsmConv = false;    // 8-bit text goes through the GSM alphabet too
    bool intPrefix = false;  // numbers without "+"/"00" get TPref in front
    std::string tPref;       // e.g. "+49"
};

// ---- Building blocks ------------------------------------------------------

enum class AddressKind {
    ServiceCentre,  // length field counts octets (type included)
    Destination,    // length field counts digits
};

// Address field text: length, type ("91" international, else "81"), swapped
// digits with "F" filling an odd last one. "+..." and "00..." are
// international; with IntPrefix and a TPref, any other number is made
// international (TPref without "+", then the number less one leading "0").
// An empty number stays empty: "0181" as service centre, "0081" as
// destination. Numbers are expected to hold digits only.
std::string encodeAddress(std::string_view number, AddressKind kind,
                          const CodecSettings& settings = {});

struct DecodedAddress {
    std::string number;     // "+" for type 0x91, digits up to the first "F";
                            // alphanumeric addresses as text
    int type = 0;           // type-of-address octet
    std::size_t chars = 0;  // characters of the field text it occupies
    bool complete = false;  // all its characters were present and hex
};

// Reads an address field (length, type, digits) from the start of `field`.
// Alphanumeric addresses (type of number 101, e.g. 0xD0) decode as GSM text.
DecodedAddress decodeAddressField(std::string_view field, AddressKind kind);

// Service-centre timestamp or discharge time, 14 hex digits (semi-octets
// swapped) to "YY/MM/DD hh:mm:ss", or "DD/MM/YY hh:mm:ss" with SwapD. The
// time zone is ignored; digits are shown as received and missing ones as "?".
std::string decodeTimestamp(std::string_view hex14, bool swapD);

// ---- SUBMIT builder -------------------------------------------------------

constexpr std::size_t kPartSize7Bit = 160;
constexpr std::size_t kPartSize8Bit = 140;

inline std::size_t partSize(bool eightBit) {
    return eightBit ? kPartSize8Bit : kPartSize7Bit;
}

// What a part's size counts of a text: 8-bit bytes, or 7-bit septets, two
// for each character of the extension table (gsm::septetsOf).
std::size_t partUnits(std::string_view text, bool eightBit);

// How many characters of `text` the first part takes: as many as fit in
// partSize(eightBit) units; an escape pair is never cut.
std::size_t charactersOfFirstPart(std::string_view text, bool eightBit);

// Cuts a text into the parts the send dialogs send, each at most
// partSize(eightBit) units; an empty text has no parts.
std::vector<std::string> splitIntoParts(std::string_view text, bool eightBit);

struct SubmitOptions {
    bool statusReport = false;
    bool eightBit = false;
    bool flash = false;
    int validityDays = 4;  // 1..4; any other value means 4
};

struct SubmitPart {
    std::string serviceCentre;  // as read with AT+CSCA; empty gives "0181"
    std::string recipient;
    std::string text;  // this part's text; cut to charactersOfFirstPart() if longer
    int index = 0;     // part index k (0 = first), sent as message reference
    SubmitOptions options;
};

// One SUBMIT PDU: service centre, first octet 0x11 (0x31 with status report),
// reference, destination, PID 0x00, data coding (0x00 7-bit, 0xF6 8-bit,
// flash 0xF0/0xF4), relative validity 0xA6 + days, UDL, user data.
std::string buildSubmitPdu(const SubmitPart& part, const CodecSettings& settings);

// A predefined message stored into the phone: fixed service-centre field
// "00" and destination field "0000", 7-bit, no options, 4 days.
std::string buildStoredPredefinedPdu(std::string_view text, int index,
                                     const CodecSettings& settings);

// ---- Listed-message decoder -----------------------------------------------

enum class MessageKind { Received, StatusReport, Stored };

enum class Alphabet { Gsm7Bit, EightBit, Ucs2 };

// 8-bit when bit 0x04 is set; UCS2 for the general data coding groups with
// alphabet bits 10 (0x08 under mask 0x8C); 7-bit otherwise.
Alphabet alphabetOf(int dataCoding);

// Which form the text takes.
enum class TextForm {
    Pc,        // PC characters (GSM decode applied)
    GsmCodes,  // 7-bit codes / 8-bit bytes as received (command-mode hand-over)
};

// User data header information element of a concatenated message.
struct Concatenation {
    int reference = 0;  // 8- or 16-bit reference shared by the parts
    int part = 0;       // 1-based sequence number
    int count = 0;      // number of parts
};

struct DecodedMessage {
    MessageKind kind = MessageKind::Received;
    std::string number;
    int numberType = 0;     // type-of-address octet of the number
    std::string date;       // received messages and status reports
    std::string discharge;  // status reports only
    int firstOctet = 0;
    int dataCoding = 0;
    std::string text;  // empty for status reports and UDL 0
    // Leading characters of `text` that stem from the user data header (the
    // header is decoded as text like the rest); the message body is
    // text.substr(headerChars).
    std::size_t headerChars = 0;
    std::optional<Concatenation> concatenation;
    // Characters of the input up to the end of the PDU line (its CR, LF or
    // the end of the input); the caller continues scanning from there.
    std::size_t lineLength = 0;
    // False when the line was not even-length hex or ended before a field
    // the decoder needed; the fields are then partly garbled.
    bool wellFormed = true;
};

// Decodes the PDU line of one "+CMGL:" entry. `status` is the entry's stat
// value: 2 and 3 are stored (SUBMIT) messages, anything else received ones.
// `pduText` may run on past the line; decoding stops at the first CR or LF.
DecodedMessage decodeListedMessage(int status, std::string_view pduText,
                                   const CodecSettings& settings, TextForm form = TextForm::Pc);

}  // namespace vondrix::sms
