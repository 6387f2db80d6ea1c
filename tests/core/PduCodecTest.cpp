#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "sms/Pdu.h"
#include "text/GsmAlphabet.h"
#include "text/Hex.h"
#include "text/Latin1.h"

namespace vondrix::sms {
using gsm::gsmEncode;
using gsm::packSeptets;
namespace {

CodecSettings prefixSettings(std::string tPref) {
    CodecSettings s;
    s.intPrefix = true;
    s.tPref = std::move(tPref);
    return s;
}

// ---- Address encoder and decoder -------------------------------------------

struct AddressCase {
    const char* number;
    AddressKind kind;
    CodecSettings settings;
    const char* field;
};

class AddressEncoding : public ::testing::TestWithParam<AddressCase> {};

TEST_P(AddressEncoding, GivesTheField) {
    const AddressCase& c = GetParam();
    EXPECT_EQ(encodeAddress(c.number, c.kind, c.settings), c.field) << c.number;
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, AddressEncoding,
    ::testing::Values(
        AddressCase{"+49123456789", AddressKind::Destination, {}, "0B919421436587F9"},
        AddressCase{"0123456789", AddressKind::Destination, {}, "0A811032547698"},
        AddressCase{"0123456789", AddressKind::Destination, prefixSettings("+49"),
                    "0B919421436587F9"},
        AddressCase{"0123456789", AddressKind::Destination, prefixSettings("49"),
                    "0B919421436587F9"},
        // Only one leading zero goes; numbers with "+"/"00" keep their own prefix.
        AddressCase{"123", AddressKind::Destination, prefixSettings("+49"), "05919421F3"},
        AddressCase{"+33612", AddressKind::Destination, prefixSettings("+49"), "05913316F2"},
        AddressCase{"0049123", AddressKind::Destination, prefixSettings("+41"), "05919421F3"},
        AddressCase{"0049123", AddressKind::Destination, {}, "05919421F3"},
        // IntPrefix without TPref changes nothing.
        AddressCase{"0123", AddressKind::Destination, prefixSettings(""), "04811032"},
        AddressCase{"", AddressKind::ServiceCentre, {}, "0181"},
        AddressCase{"", AddressKind::ServiceCentre, prefixSettings("+49"), "0181"},
        AddressCase{"+491722270333", AddressKind::ServiceCentre, {}, "0791947122723033"},
        AddressCase{"+9876543210", AddressKind::ServiceCentre, {}, "06918967452301"},
        AddressCase{"+987654321", AddressKind::ServiceCentre, {}, "069189674523F1"},
        AddressCase{"9037029920", AddressKind::ServiceCentre, {}, "06810973209902"}));

struct AddressDecodeCase {
    const char* field;
    AddressKind kind;
    const char* number;
    int type;
    std::size_t chars;
};

class AddressDecoding : public ::testing::TestWithParam<AddressDecodeCase> {};

TEST_P(AddressDecoding, GivesNumberTypeAndLength) {
    const auto& c = GetParam();
    const DecodedAddress a = decodeAddressField(c.field, c.kind);
    EXPECT_EQ(a.number, c.number);
    EXPECT_EQ(a.type, c.type);
    EXPECT_EQ(a.chars, c.chars);
    EXPECT_TRUE(a.complete);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, AddressDecoding,
    ::testing::Values(
        AddressDecodeCase{"0B919421436587F9", AddressKind::Destination, "+49123456789", 0x91, 16},
        AddressDecodeCase{"0A811032547698", AddressKind::Destination, "0123456789", 0x81, 14},
        // Trailing text after the field is not part of it.
        AddressDecodeCase{"0A918967452301000000", AddressKind::Destination, "+9876543210", 0x91,
                          14},
        AddressDecodeCase{"0181", AddressKind::ServiceCentre, "", 0x81, 4},
        AddressDecodeCase{"00", AddressKind::ServiceCentre, "", 0, 2},
        AddressDecodeCase{"069189674523F1", AddressKind::ServiceCentre, "+987654321", 0x91, 14},
        // Alphanumeric addresses (python-gsmmodem test values).
        AddressDecodeCase{"0ED04669D0397C26A7", AddressKind::Destination, "FRANCOIS", 0xD0, 18},
        AddressDecodeCase{"06D061F118D3F1FF0032", AddressKind::Destination, "abc", 0xD0, 10}));

TEST(AddressCodec, TruncatedFieldKeepsWhatIsThereAndSaysSo) {
    const auto a = decodeAddressField("0B9194214365", AddressKind::Destination);
    EXPECT_EQ(a.number, "+49123456");
    EXPECT_FALSE(a.complete);
    EXPECT_FALSE(decodeAddressField("0B91942143658XF9", AddressKind::Destination).complete);
    EXPECT_FALSE(decodeAddressField("", AddressKind::Destination).complete);
}

// ---- Timestamp --------------------------------------------------------------

TEST(Timestamp, DecodesBothWaysShowingDigitsAsReceivedAndMissingOnesAsQuestionMarks) {
    EXPECT_EQ(decodeTimestamp("10402131540080", false), "01/04/12 13:45:00");
    EXPECT_EQ(decodeTimestamp("10402131540080", true), "12/04/01 13:45:00");
    EXPECT_EQ(decodeTimestamp("1040", false), "01/04/?? ??:??:??");
    EXPECT_EQ(decodeTimestamp("A0402131540080", false), "0A/04/12 13:45:00");
    EXPECT_EQ(decodeTimestamp("", true), "\?\?/\?\?/?? ??:??:??");
}

// ---- Parts and the SUBMIT builder -------------------------------------------

TEST(SubmitBuilder, SplitsLikeTheSendDialogs) {
    EXPECT_TRUE(splitIntoParts("", false).empty());
    EXPECT_EQ(splitIntoParts(std::string(160, 'a'), false).size(), 1u);
    const auto two = splitIntoParts(std::string(160, 'a') + "b", false);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[1], "b");
    const auto eight = splitIntoParts(std::string(141, 'a'), true);
    ASSERT_EQ(eight.size(), 2u);
    EXPECT_EQ(eight[0].size(), 140u);
}

TEST(SubmitBuilder, ExtensionCharactersRoundTripAsTwoSeptetsAndStayWholeInAPart) {
    // UDL follows service centre, first octet, reference, destination, PID,
    // data coding and validity.
    const std::size_t udl = std::string_view("018111000181F10000AA").size();
    for (const char c : std::string_view("\f^{}\\[~]|\x80")) {
        const std::string text = std::string("a") + c + "b";
        const std::string pdu = buildSubmitPdu({"", "1", text, 0, {}}, {});
        EXPECT_EQ(pdu.substr(udl, 2), "04") << text;
        EXPECT_EQ(decodeListedMessage(2, pdu, {}).text, text);
    }
    struct Row {
        const char* situation;
        std::string text;
        bool eightBit;
        std::vector<std::size_t> partSizes;  // characters of each part
    };
    const std::vector<Row> rows = {
        {"the pair ends the part exactly", std::string(158, 'a') + "{", false, {159}},
        {"the pair would be cut: it opens part two", std::string(159, 'a') + "{b", false, {159, 2}},
        {"8-bit: one byte each", std::string(139, 'a') + "{", true, {140}},
    };
    for (const Row& r : rows) {
        std::vector<std::size_t> sizes;
        for (const std::string& part : splitIntoParts(r.text, r.eightBit))
            sizes.push_back(part.size());
        EXPECT_EQ(sizes, r.partSizes) << r.situation;
    }
}

TEST(SubmitBuilder, BuildsTheWorkedExample) {
    const SubmitPart part{"", "+49123456789", "hellohello", 0, {}};
    // SC, first octet, reference, destination, PID, coding, validity, UDL, text.
    EXPECT_EQ(buildSubmitPdu(part, {}), "018111000B919421436587F90000AA0AE8329BFD4697D9EC37");
}

struct OptionCase {
    SubmitOptions options;
    int index;
    const char* firstOctetAndReference;
    const char* codingAndValidity;
};

class SubmitOptionOctets : public ::testing::TestWithParam<OptionCase> {};

TEST_P(SubmitOptionOctets, LandInTheirFields) {
    const auto& c = GetParam();
    const std::string pdu = buildSubmitPdu({"+4917", "0123", "A", c.index, c.options}, {});
    // SC "0391 4971", then first octet and reference, destination "04811032", PID.
    ASSERT_EQ(pdu.substr(0, 8), "03919471");
    EXPECT_EQ(pdu.substr(8, 4), c.firstOctetAndReference);
    ASSERT_EQ(pdu.substr(12, 10), "0481103200");
    EXPECT_EQ(pdu.substr(22, 4), c.codingAndValidity);
}

SubmitOptions opts(bool report, bool eightBit, bool flash, int days) {
    return {report, eightBit, flash, days};
}

INSTANTIATE_TEST_SUITE_P(
    Options, SubmitOptionOctets,
    ::testing::Values(OptionCase{opts(false, false, false, 4), 0, "1100", "00AA"},
                      OptionCase{opts(true, false, false, 4), 0, "3100", "00AA"},
                      OptionCase{opts(false, false, false, 1), 2, "1102", "00A7"},
                      OptionCase{opts(false, false, false, 2), 9, "1109", "00A8"},
                      OptionCase{opts(false, false, false, 3), 0, "1100", "00A9"},
                      OptionCase{opts(false, false, false, 0), 0, "1100", "00AA"},
                      OptionCase{opts(false, false, false, 5), 0, "1100", "00AA"},
                      OptionCase{opts(false, true, false, 4), 0, "1100", "F6AA"},
                      OptionCase{opts(false, false, true, 4), 0, "1100", "F0AA"},
                      OptionCase{opts(true, true, true, 1), 1, "3101", "F4A7"}));

TEST(SubmitBuilder, EightBitTextGoesThroughTheAlphabetOnlyWithGsmConv) {
    SubmitPart part{"", "1", "a@$\xE9", 0, {}};
    part.options.eightBit = true;
    const std::string plain = buildSubmitPdu(part, {});
    EXPECT_EQ(plain.substr(plain.size() - 10), "04614024E9");
    CodecSettings conv;
    conv.gsmConv = true;
    const std::string converted = buildSubmitPdu(part, conv);
    EXPECT_EQ(converted.substr(converted.size() - 10), "0461000205");
}

TEST(SubmitBuilder, UserDataLengthCountsCharactersAndALongerTextIsCutToOnePart) {
    const std::string pdu = buildSubmitPdu({"", "1", std::string(170, 'a'), 0, {}}, {});
    // Service centre, first octet, reference, destination, PID, data coding, validity.
    const std::size_t udl = std::string_view("018111000181F10000AA").size();
    EXPECT_EQ(pdu.substr(udl, 2), "A0");
    EXPECT_EQ(pdu.size(), udl + 2 + 2 * 140);
    // The user data length counts characters before conversion.
    const std::string ats = buildSubmitPdu({"", "1", "@@", 0, {}}, {});
    EXPECT_EQ(ats.substr(ats.size() - 6), "020000");
}

TEST(SubmitBuilder, StoredPredefinedMessageHasFixedFields) {
    EXPECT_EQ(buildStoredPredefinedPdu("hellohello", 2, prefixSettings("+49")),
              "00110200000000AA0AE8329BFD4697D9EC37");
}

// ---- Listed-message decoder -------------------------------------------------

constexpr const char* kTimestamp = "10402131540080";

// A DELIVER from +49123456789 without service centre.
std::string deliverPdu(int dataCoding, const std::string& userDataHex, std::size_t udl,
                       int firstOctet = 0x04) {
    std::string pdu = "00";
    appendHexByte(pdu, static_cast<unsigned>(firstOctet));
    pdu += "0B919421436587F9";
    pdu += "00";
    appendHexByte(pdu, static_cast<unsigned>(dataCoding));
    pdu += kTimestamp;
    appendHexByte(pdu, static_cast<unsigned>(udl));
    return pdu + userDataHex;
}

std::string deliver7Bit(const std::string& pcText) {
    return deliverPdu(0x00, hexText(packSeptets(gsmEncode(pcText))), pcText.size());
}

TEST(ListedDecoder, ReceivedTextOfWholeSeptetGroupsConvertsItsLastCharacter) {
    for (std::size_t n = 8; n <= 160; n += 8) {
        const std::string text = std::string(n - 1, '\xFC') + "\xA1";  // ü...¡
        const auto m = decodeListedMessage(1, deliver7Bit(text), {});
        ASSERT_TRUE(m.wellFormed) << n;
        EXPECT_EQ(m.text, text) << n;
    }
}

// Destination, timestamps and an empty status of a report, after its reference.
const std::string kReportBody =
    std::string("0B919421436587F9") + kTimestamp + "10402131541080" + "00";

TEST(ListedDecoder, AddressLengthAbove24MarksAStatusReport) {
    // First octet 0x04 (not the status-report type): only the length rule applies.
    const auto report = decodeListedMessage(1, "000419" + kReportBody, {});
    EXPECT_EQ(report.kind, MessageKind::StatusReport);
    EXPECT_EQ(report.number, "+49123456789");
    EXPECT_EQ(report.date, "01/04/12 13:45:00");
    EXPECT_EQ(report.discharge, "01/04/12 13:45:01");
    EXPECT_TRUE(report.text.empty());
    EXPECT_TRUE(report.wellFormed);

    // 0x18 is still an address length.
    EXPECT_EQ(decodeListedMessage(0, "000418" + kReportBody, {}).kind, MessageKind::Received);
    // Stored entries stay stored, but the number is still found.
    const auto stored = decodeListedMessage(2, "00110019" + kReportBody, {});
    EXPECT_EQ(stored.kind, MessageKind::Stored);
    EXPECT_EQ(stored.number, "+49123456789");
}

TEST(ListedDecoder, StatusReportTypeWithSmallReferenceIsAStatusReport) {
    const auto m = decodeListedMessage(0, "000605" + kReportBody, {});
    EXPECT_EQ(m.kind, MessageKind::StatusReport);
    EXPECT_EQ(m.number, "+49123456789");
    EXPECT_EQ(m.discharge, "01/04/12 13:45:01");
    EXPECT_TRUE(m.wellFormed);
}

TEST(ListedDecoder, SwapDAppliesToDateAndDischarge) {
    CodecSettings s;
    s.swapD = true;
    EXPECT_EQ(decodeListedMessage(1, deliver7Bit("x"), s).date, "12/04/01 13:45:00");
    EXPECT_EQ(decodeListedMessage(1, "000630" + kReportBody, s).discharge, "12/04/01 13:45:01");
}

TEST(ListedDecoder, ScansSeveralEntriesOfAListing) {
    const std::string listing = "+CMGL: 1,1,,20\r\n" + deliver7Bit("one") +
                                "\r\n+CMGL: 2,1,,20\r\n" + deliver7Bit("two") + "\r\n\r\nOK\r\n";
    std::vector<std::string> texts;
    std::size_t at = 0;
    while ((at = listing.find("+CMGL:", at)) != std::string::npos) {
        at = listing.find('\n', at) + 1;
        const auto m = decodeListedMessage(1, std::string_view(listing).substr(at), {});
        texts.push_back(m.text);
        at += m.lineLength;
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"one", "two"}));
}

TEST(ListedDecoder, TextByDataCodingAndForm) {
    struct Row {
        const char* situation;
        std::string pdu;
        TextForm form;
        std::string text;
    };
    const std::vector<Row> rows = {
        {"7-bit code 40 is the inverted exclamation mark", deliverPdu(0x00, "40", 1), TextForm::Pc,
         "\xA1"},
        {"8-bit keeps zero bytes and reads code 40 as @", deliverPdu(0x04, "6100624063E9", 6),
         TextForm::Pc, "a@b@c\xE9"},
        {"8-bit bytes as received", deliverPdu(0x04, "6100624063E9", 6), TextForm::GsmCodes,
         std::string("a\0b\x40"
                     "c\xE9",
                     6)},
        {"7-bit codes for the command mode", deliver7Bit("@\xA1$"), TextForm::GsmCodes,
         std::string("\x00\x40\x02", 3)},
        // "äöü€" then a surrogate pair (one character outside the BMP).
        {"UCS2 becomes Latin-1 where representable",
         deliverPdu(0x08, "00E400F600FC20ACD83DDC000041", 14), TextForm::Pc, "\xE4\xF6\xFC??A"},
        {"class-marked UCS2 (group 00, class 1)", deliverPdu(0x19, "00E9", 2), TextForm::Pc,
         "\xE9"},
    };
    for (const Row& r : rows) {
        const auto m = decodeListedMessage(1, r.pdu, {}, r.form);
        EXPECT_EQ(m.text, r.text) << r.situation;
        EXPECT_TRUE(m.wellFormed) << r.situation;
    }
    // Group F is never UCS2.
    EXPECT_EQ(alphabetOf(0xF8), Alphabet::Gsm7Bit);
    EXPECT_EQ(alphabetOf(0x0C), Alphabet::EightBit);
    EXPECT_FALSE(decodeListedMessage(1, deliverPdu(0x08, "00E900", 3), {}).wellFormed);
}

TEST(ListedDecoder, ConcatenationHeaderIsReportedAndLeftInTheText) {
    // 8-bit: header 05 00 03 2A 03 02, then "Hi".
    const auto m = decodeListedMessage(1, deliverPdu(0x04, "0500032A03024869", 8, 0x44), {});
    ASSERT_TRUE(m.concatenation);
    EXPECT_EQ(m.concatenation->reference, 0x2A);
    EXPECT_EQ(m.concatenation->part, 2);
    EXPECT_EQ(m.concatenation->count, 3);
    EXPECT_EQ(m.headerChars, 6u);
    EXPECT_EQ(m.text.size(), 8u);
    EXPECT_EQ(m.text.substr(m.headerChars), "Hi");
    // Without the indicator bit the same octets are only text.
    const auto plain = decodeListedMessage(1, deliverPdu(0x04, "0500032A03024869", 8), {});
    EXPECT_FALSE(plain.concatenation);
    EXPECT_EQ(plain.headerChars, 0u);
}

TEST(ListedDecoder, StoredMessagesHonourTheValidityFormat) {
    const std::string da = "0B919421436587F90000";
    const std::string tail = "0AE8329BFD4697D9EC37";
    // Relative (one octet), absent, absolute (seven octets).
    const std::pair<int, std::string> rows[] = {{2, "001107" + da + "AA" + tail},
                                                {3, "000107" + da + tail},
                                                {3, "001907" + da + kTimestamp + tail}};
    for (const auto& [status, pdu] : rows)
        EXPECT_EQ(decodeListedMessage(status, pdu, {}).text, "hellohello") << pdu;
}

TEST(ListedDecoder, BuilderOutputDecodesBackAsAStoredMessage) {
    const std::string text =
        "Gr\xFC\xDF"
        "e @ $5 \xA1Hola!";
    CodecSettings conv;
    conv.gsmConv = true;
    for (const bool eightBit : {false, true}) {
        for (const CodecSettings& s : {CodecSettings{}, conv}) {
            SubmitPart part{"+4917", "+49123456789", text, 1, {}};
            part.options.eightBit = eightBit;
            part.options.flash = true;
            const auto m = decodeListedMessage(2, buildSubmitPdu(part, s), {});
            ASSERT_TRUE(m.wellFormed);
            EXPECT_EQ(m.number, "+49123456789");
            EXPECT_EQ(m.dataCoding, eightBit ? 0xF4 : 0xF0);
            // 8-bit text reads 0x40 as "@": "¡" only survives 7-bit or plain 8-bit.
            const bool convertedEightBit = eightBit && s.gsmConv;
            std::string expected = text;
            if (convertedEightBit)
                expected[expected.find('\xA1')] = '@';
            EXPECT_EQ(m.text, expected) << eightBit << s.gsmConv;
        }
    }
}

TEST(ListedDecoder, EveryPrefixOfAPduDecodesWithinItsBounds) {
    const std::string pdu = deliver7Bit("hellohello");
    for (std::size_t n = 0; n < pdu.size(); ++n) {
        const auto m = decodeListedMessage(1, pdu.substr(0, n), {});
        EXPECT_FALSE(m.wellFormed) << n;
        EXPECT_EQ(m.lineLength, n);
        EXPECT_LE(m.text.size(), 10u);
    }
    for (const char* junk : {"", "Z", "ZZZZ", "FF", "FFFFFFFFFFFF", "00FF19FF"}) {
        const auto m = decodeListedMessage(0, junk, {});
        EXPECT_FALSE(m.wellFormed) << junk;
    }
}

// ---- Received PDUs of several phones and networks ----------------------------

struct ListedCase {
    std::map<std::string, std::string> f;
    int line = 0;
    std::string operator[](const std::string& k) const {
        const auto it = f.find(k);
        return it == f.end() ? std::string() : it->second;
    }
    bool has(const std::string& k) const { return f.count(k) != 0; }
};

std::string unescape(const std::string& utf8) {
    const std::string s = utf8ToLatin1(utf8);
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 == s.size()) {
            out.push_back(s[i]);
            continue;
        }
        const char e = s[++i];
        if (e == 'r') {
            out.push_back('\r');
        } else if (e == 'n') {
            out.push_back('\n');
        } else if (e == 'x' && i + 2 < s.size()) {
            out.push_back(static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16)));
            i += 2;
        } else {
            out.push_back(e);
        }
    }
    return out;
}

std::vector<ListedCase> loadCases() {
    const auto path = std::filesystem::path(VONDRIX_SOURCE_DIR) / "tests/core/data/pdu/listed.txt";
    std::ifstream in(path);
    std::vector<ListedCase> cases;
    ListedCase current;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (line.empty()) {
            if (!current.f.empty())
                cases.push_back(current);
            current = {};
            continue;
        }
        if (line[0] == '#')
            continue;
        const auto eq = line.find(" = ");
        if (eq == std::string::npos)
            continue;
        if (current.f.empty())
            current.line = number;
        current.f[line.substr(0, eq)] = line.substr(eq + 3);
    }
    if (!current.f.empty())
        cases.push_back(current);
    return cases;
}

TEST(ListedDecoder, DecodesRealPdusOfSeveralPhonesAndNetworks) {
    const auto cases = loadCases();
    ASSERT_GE(cases.size(), 20u) << "test data missing";
    for (const ListedCase& c : cases) {
        SCOPED_TRACE("listed.txt:" + std::to_string(c.line) + " " + c["name"]);
        const std::string pdu = c["pdu"];
        const auto m = decodeListedMessage(std::stoi(c["status"]), pdu + "\r\n", {});
        EXPECT_EQ(m.lineLength, pdu.size());
        EXPECT_EQ(m.wellFormed, c["wellformed"] != "0");
        const char* kinds[] = {"received", "status report", "stored"};
        EXPECT_EQ(kinds[static_cast<int>(m.kind)], c["kind"]);
        EXPECT_EQ(latin1ToUtf8(m.number), c["number"]);
        if (c.has("type")) {
            EXPECT_EQ(m.numberType, std::stoi(c["type"], nullptr, 16));
        }
        EXPECT_EQ(m.date, c["date"]);
        EXPECT_EQ(m.discharge, c["discharge"]);
        if (c.has("coding")) {
            EXPECT_EQ(m.dataCoding, std::stoi(c["coding"], nullptr, 16));
        }
        if (c.has("text")) {
            EXPECT_EQ(m.text, unescape(c["text"]));
        }
        if (c.has("body")) {
            EXPECT_EQ(m.headerChars, std::stoul(c["header"]));
            EXPECT_EQ(m.text.substr(m.headerChars), unescape(c["body"]));
        }
        if (c.has("concat")) {
            ASSERT_TRUE(m.concatenation);
            const auto& k = *m.concatenation;
            EXPECT_EQ(std::to_string(k.reference) + "/" + std::to_string(k.part) + "/" +
                          std::to_string(k.count),
                      c["concat"]);
        } else {
            EXPECT_FALSE(m.concatenation);
        }
    }
}

}  // namespace
}  // namespace vondrix::sms
