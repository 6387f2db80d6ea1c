// The short message commands of the simulated phone, byte for byte: the
// listing in PDU mode, sending and writing with the data prompt and the
// length check of GSM 07.05, deleting, the memory counts and state; the
// PDU builders and checks they rest on; the message memory in the state file.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PhonebookTestSupport.h"
#include "phonesim/SmsPdu.h"
#include "phonesim/SmsStore.h"

namespace phonesim {
namespace {

using namespace phonesim::testing;

// A phone with two messages and extended error reports.
struct SmsPhone : PbPhone {
    SmsPhone() : PbPhone(small()) { (*this)("AT+CMEE=1"); }
    static PhoneState small() {
        PhoneState s = PhoneState::demo();
        s.sms = SmsStore{};
        s.sms.capacity = 3;
        s.sms.messages[1] = {0, kDeliver};
        s.sms.messages[3] = {2, kSubmit};
        return s;
    }
    // Sends `line`, then `pdu` and Ctrl-Z after the prompt; both replies.
    std::string prompted(const std::string& line, const std::string& pdu) {
        const std::string first = (*this)(line);
        if (first != kPrompt)
            return first;
        return first + data(pdu);
    }
    static inline const std::string kDeliver =
        deliverPdu("+491710760000", addressField("+49123456789"), 0x00,
                   timestampField("010412134500"), gsmUserData("hellohello"));
    static inline const std::string kSubmit =
        submitPdu("", 0, "0123456789", 0x00, gsmUserData("Hallo"));
};

TEST(SmsPduBuilders, FieldsAsGsm0340SpellsThem) {
    EXPECT_EQ(addressField("+49123456789"), "0B919421436587F9");
    EXPECT_EQ(addressField("0123456789"), "0A811032547698");
    EXPECT_EQ(serviceCentreField(""), "00");
    EXPECT_EQ(serviceCentreField("+491710760000"), "0791947101670000");
    EXPECT_EQ(timestampField("010412134500"), "10402131540040");
    EXPECT_EQ(timestampField("010412134500", -8), "10402131540088");
    const UserData hello = gsmUserData("hellohello");
    EXPECT_EQ(hello.length, 10);
    EXPECT_EQ(toHex(hello.octets), "E8329BFD4697D9EC37");
    // A concatenation header takes 7 septets (six octets and one fill bit).
    const UserData part = gsmUserData("A", PartOf{0x2A, 3, 1});
    EXPECT_EQ(part.length, 8);
    EXPECT_EQ(toHex(part.octets), "0500032A030182");
    EXPECT_EQ(alphanumericAddressField("D1"), "04D0C418");
}

TEST(SmsPduCheck, TakesCompletePdusAndMeasuresTheTpdu) {
    struct Case {
        const char* situation;
        std::string pdu;
        std::optional<std::size_t> tpdu;
    };
    const std::string submit =
        submitPdu("+491710760000", 0, "+49123456789", 0x00, gsmUserData("hellohello"));
    const std::string deliver = SmsPhone::kDeliver;
    const std::string report = statusReportPdu("", 7, "+4930123456", timestampField("010321101500"),
                                               timestampField("010321101512"), 0);
    const std::vector<Case> cases = {
        {"submit with a service centre", submit, 1 + 1 + 8 + 1 + 1 + 1 + 1 + 9},
        {"submit without one", "00" + submit.substr(16), 23},
        {"deliver", deliver, deliver.size() / 2 - 8},
        {"status report", report, report.size() / 2 - 1},
        {"8-bit data", submitPdu("", 1, "0301", 0xF6, octetUserData("abc")), 13},
        {"7-bit with an escape pair", submitPdu("", 1, "0301", 0x00, gsmUserData("a{")), 13},
        {"UCS2", submitPdu("", 1, "0301", 0x08, ucs2UserData(u"é€")), 14},
        {"lower-case hex", "001100040181100000AA0AE8329bfd4697d9ec37", 19},
        {"one octet short", submit.substr(0, submit.size() - 2), std::nullopt},
        {"one octet too many", submit + "00", std::nullopt},
        {"odd length", submit + "0", std::nullopt},
        {"not hex", "0011000A8110325476980000AA05C8329BFD0G", std::nullopt},
        {"service centre longer than 12 octets", "0C" + std::string(24, '1') + "1100",
         std::nullopt},
        {"nothing after the service centre", "0791947101670000", std::nullopt},
        {"reserved message type", "0003", std::nullopt},
        {"empty", "", std::nullopt},
    };
    for (const Case& c : cases) {
        const auto layout = inspectPdu(c.pdu);
        ASSERT_EQ(layout.has_value(), c.tpdu.has_value()) << c.situation;
        if (layout) {
            EXPECT_EQ(layout->tpduOctets, *c.tpdu) << c.situation;
        }
    }
}

TEST(SmsList, ListsInPduModeAndMarksUnreadAsRead) {
    SmsPhone phone;
    const std::string deliver = SmsPhone::kDeliver;
    const std::string all = "\r\n+CMGL: 1,0,," + std::to_string(deliver.size() / 2 - 8) + "\r\n" +
                            deliver + "\r\n+CMGL: 3,2,,18\r\n" + SmsPhone::kSubmit + "\r\n" + kOk;
    EXPECT_EQ(phone("AT+CMGL=4"), all);
    EXPECT_EQ(phone.state.sms.messages[1].status, 1);
    EXPECT_EQ(phone("AT+CMGL=0"), kOk);
    EXPECT_EQ(phone("AT+CMGL=2"), "\r\n+CMGL: 3,2,,18\r\n" + SmsPhone::kSubmit + "\r\n" + kOk);
    EXPECT_EQ(phone("AT+CMGL=5"), cmsError(304));
    EXPECT_EQ(phone("AT+CMGL=\"ALL\""), cmsError(304));
    EXPECT_EQ(phone("AT+CMGL=?"), info("+CMGL: (0-4)"));
}

TEST(SmsSend, LengthMustCountTheTpduOctets) {
    const std::string pdu =
        submitPdu("+491710760000", 0, "+49123456789", 0x00, gsmUserData("hellohello"));
    struct Case {
        const char* situation;
        std::string line;
        std::string data;
        std::string reply;
    };
    const std::vector<Case> cases = {
        {"the TPDU length", "AT+CMGS=23", pdu, kPrompt + info("+CMGS: 0")},
        {"the old constant 140", "AT+CMGS=140", pdu, kPrompt + cmsError(304)},
        {"the whole PDU's octets", "AT+CMGS=31", pdu, kPrompt + cmsError(304)},
        {"bad hex", "AT+CMGS=23", pdu.substr(0, 44) + "ZZ", kPrompt + cmsError(304)},
        {"a DELIVER", "AT+CMGS=" + std::to_string(SmsPhone::kDeliver.size() / 2 - 8),
         SmsPhone::kDeliver, kPrompt + cmsError(304)},
        {"no length", "AT+CMGS", "", cmsError(304)},
        {"a length of 0", "AT+CMGS=0", "", cmsError(304)},
    };
    for (const Case& c : cases) {
        SmsPhone phone;
        EXPECT_EQ(phone.prompted(c.line, c.data), c.reply) << c.situation;
        const bool sent = c.reply.find("+CMGS:") != std::string::npos;
        EXPECT_EQ(phone.state.sms.sent.size(), sent ? 1u : 0u) << c.situation;
    }
}

TEST(SmsSend, RecordsSentMessagesWithRisingReferences) {
    SmsPhone phone;
    const std::string pdu = submitPdu("", 0, "0301", 0x00, gsmUserData("hi"));
    const std::string line = "AT+CMGS=" + std::to_string(pdu.size() / 2 - 1);
    EXPECT_EQ(phone.prompted(line, pdu), kPrompt + info("+CMGS: 0"));
    EXPECT_EQ(phone.prompted(line, pdu), kPrompt + info("+CMGS: 1"));
    EXPECT_EQ(phone.state.sms.sent, (std::vector<std::string>{pdu, pdu}));
    // Without a network the phone cannot send.
    phone.state.regStatus = 0;
    EXPECT_EQ(phone.prompted(line, pdu), kPrompt + cmsError(331));
    // Without a service centre in the PDU or the phone, neither.
    phone.state.regStatus = 1;
    phone.state.serviceCentre.clear();
    EXPECT_EQ(phone.prompted(line, pdu), kPrompt + cmsError(330));
    EXPECT_EQ(phone.state.sms.sent.size(), 2u);
    // Esc cancels after the prompt.
    EXPECT_EQ(phone(line), kPrompt);
    EXPECT_EQ(phone.in.exchange(pdu + "\x1b"), kOk);
}

TEST(SmsWrite, StoresInTheFirstFreeIndexUntilFull) {
    SmsPhone phone;
    const std::string pdu = submitPdu("", 0, "0301", 0x00, gsmUserData("hi"));
    const std::string length = std::to_string(pdu.size() / 2 - 1);
    EXPECT_EQ(phone.prompted("AT+CMGW=" + length, pdu), kPrompt + info("+CMGW: 2"));
    EXPECT_EQ(phone.state.sms.messages[2], (StoredMessage{2, pdu}));
    EXPECT_EQ(phone("AT+CMGW=" + length + ",3"), cmsError(322));
    EXPECT_EQ(phone("AT^SMGO?"), info("^SMGO: 0,1"));
    phone.state.sms.messageWaiting = true;
    EXPECT_EQ(phone("AT^SMGO?"), info("^SMGO: 0,2"));
    EXPECT_EQ(phone("AT+CMGD=1"), kOk);
    EXPECT_EQ(phone.prompted("AT+CMGW=" + length + ",3", pdu), kPrompt + info("+CMGW: 1"));
    EXPECT_EQ(phone.state.sms.messages[1].status, 3);
    EXPECT_EQ(phone("AT+CMGD=1"), kOk);
    EXPECT_EQ(phone.prompted("AT+CMGW=140,2", pdu), kPrompt + cmsError(304));
    EXPECT_EQ(phone("AT+CMGW=" + length + ",4"), cmsError(304));
}

TEST(SmsDelete, DeletesOccupiedIndexesOnly) {
    SmsPhone phone;
    EXPECT_EQ(phone("AT+CMGD=3"), kOk);
    EXPECT_EQ(phone("AT+CMGD=3"), cmsError(321));
    EXPECT_EQ(phone("AT+CMGD=2"), cmsError(321));
    EXPECT_EQ(phone("AT+CMGD=0"), cmsError(321));
    EXPECT_EQ(phone("AT+CMGD=1,1"), cmsError(321));
    EXPECT_EQ(phone("AT+CPMS?"), info("+CPMS: \"SM\",1,3,\"SM\",1,3,\"SM\",1,3"));
    EXPECT_EQ(phone("AT+CPMS=\"SM\""), info("+CPMS: 1,3,1,3,1,3"));
    EXPECT_EQ(phone("AT+CPMS=\"ME\""), cmsError(302));
}

TEST(SmsState, DemoIsNearlyFullAndEveryPduIsWellFormed) {
    const PhoneState s = PhoneState::demo();
    EXPECT_EQ(s.sms.capacity, 20);
    EXPECT_EQ(s.sms.used(), 18);
    EXPECT_EQ(s.sms.memoryState(), 0);
    for (const auto& [index, m] : s.sms.messages) {
        EXPECT_TRUE(inspectPdu(m.pdu).has_value()) << index;
    }
}

TEST(SmsState, MessagesSurviveTheStateFile) {
    PhoneState s = SmsPhone::small();
    s.sms.sent = {SmsPhone::kSubmit};
    s.sms.nextReference = 9;
    s.sms.messageWaiting = true;
    const PhoneState back = readBack(s);
    EXPECT_EQ(back.sms.capacity, 3);
    EXPECT_EQ(back.sms.messages, s.sms.messages);
    EXPECT_EQ(back.sms.sent, s.sms.sent);
    EXPECT_EQ(back.sms.nextReference, 9);
    EXPECT_TRUE(back.sms.messageWaiting);

    expectRefused("[messages]",
                  {"message = 1,4,0011", "message = 0,1,0011", "message = 1,1,001",
                   "message = 1,1,00GG", "message = 1,1", "capacity = 256", "sent = 0"});
}

}  // namespace
}  // namespace phonesim
