#include "phonesim/SmsStore.h"

#include <string_view>

#include "phonesim/Commands.h"
#include "phonesim/GsmText.h"
#include "phonesim/PhoneState.h"
#include "phonesim/SmsPdu.h"
#include "phonesim/StateFormat.h"

namespace phonesim {

int SmsStore::firstFree() const {
    for (int index = 1; index <= capacity; ++index) {
        if (messages.find(index) == messages.end()) {
            return index;
        }
    }
    return 0;
}

int SmsStore::memoryState() const {
    if (firstFree() != 0) {
        return 0;
    }
    return messageWaiting ? 2 : 1;
}

namespace {

// The demo phone's service centre (PhoneState::serviceCentre).
constexpr std::string_view kCentre = "+491710760000";

// UTF-8 text of the demo contents as the ISO 8859-1 the PDU builders take.
std::string latin1(std::string_view utf8) {
    return unquoteFromFile(utf8).value_or("?");
}

std::string received(std::string_view from, std::string_view stamp, std::string_view utf8Text) {
    return deliverPdu(kCentre, addressField(from), 0x00, timestampField(stamp),
                      gsmUserData(latin1(utf8Text)));
}

bool isHexPdu(std::string_view text) {
    if (text.empty() || text.size() % 2 != 0) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); i += 2) {
        if (!hexByte(text, i)) {
            return false;
        }
    }
    return true;
}

// "<index>,<stat>,<PDU>"
bool readMessage(SmsStore& m, const std::string& value) {
    const std::size_t c1 = value.find(',');
    const std::size_t c2 = c1 == std::string::npos ? c1 : value.find(',', c1 + 1);
    if (c2 == std::string::npos) {
        return false;
    }
    const auto index = parseNumber(std::string_view(value).substr(0, c1));
    const auto status = parseNumber(std::string_view(value).substr(c1 + 1, c2 - c1 - 1));
    const std::string pdu = value.substr(c2 + 1);
    if (!index || *index < 1 || *index > SmsStore::kMaxCapacity || !status || *status > 3 ||
        !isHexPdu(pdu)) {
        return false;
    }
    m.messages[*index] = StoredMessage{*status, pdu};
    return true;
}

bool readBounded(int& out, const std::string& value, int low, int high) {
    const auto n = parseNumber(value);
    if (!n || *n < low || *n > high) {
        return false;
    }
    out = *n;
    return true;
}

StateSection messagesSection() {
    StateSection section;
    section.name = "messages";
    section.comment =
        "Short message memory \"SM\" (AT+CMGL, AT+CMGW, AT+CMGD, AT+CPMS, AT^SMGO) in PDU\n"
        "mode: capacity 1..255; one \"message = <index>,<stat>,<PDU>\" per occupied index\n"
        "(stat 0 received unread, 1 received read, 2 stored unsent, 3 stored sent; status\n"
        "reports are received messages); \"sent = <PDU>\" per message sent with AT+CMGS.\n"
        "messageWaiting: the network holds a message the full memory cannot take\n"
        "(AT^SMGO? state 2).";
    section.write = [](const PhoneState& s, KeyValues& out) {
        const SmsStore& m = s.sms;
        out.emplace_back("capacity", std::to_string(m.capacity));
        out.emplace_back("presentation", std::to_string(m.presentation));
        out.emplace_back("messageWaiting", m.messageWaiting ? "1" : "0");
        out.emplace_back("nextReference", std::to_string(m.nextReference));
        for (const auto& [index, message] : m.messages) {
            out.emplace_back("message", std::to_string(index) + "," +
                                            std::to_string(message.status) + "," + message.pdu);
        }
        for (const std::string& pdu : m.sent) {
            out.emplace_back("sent", pdu);
        }
    };
    section.read = [](PhoneState& s, const std::string& key, const std::string& value,
                      std::string& error) {
        SmsStore& m = s.sms;
        bool ok = false;
        if (key == "capacity") {
            ok = readBounded(m.capacity, value, 1, SmsStore::kMaxCapacity);
        } else if (key == "presentation") {
            ok = readBounded(m.presentation, value, 0, 1);
        } else if (key == "nextReference") {
            ok = readBounded(m.nextReference, value, 0, 255);
        } else if (key == "messageWaiting") {
            ok = value == "0" || value == "1";
            m.messageWaiting = value == "1";
        } else if (key == "message") {
            ok = readMessage(m, value);
        } else if (key == "sent") {
            ok = isHexPdu(value);
            if (ok) {
                m.sent.push_back(value);
            }
        } else {
            error = "unknown key '" + key + "'";
            return false;
        }
        if (!ok) {
            error = "bad value for '" + key + "'";
        }
        return ok;
    };
    return section;
}

}  // namespace

std::vector<StateSection> smsSections() {
    return {messagesSection()};
}

void addDemoMessages(PhoneState& state) {
    SmsStore& m = state.sms;
    m = SmsStore{};
    m.capacity = 20;
    const auto put = [&m](int index, SmsStatus status, std::string pdu) {
        m.messages[index] = StoredMessage{static_cast<int>(status), std::move(pdu)};
    };
    using S = SmsStatus;

    put(1, S::ReceivedRead,
        received("+4930123456", "010312184510",
                 "Kommst du heute Abend zum Essen? Wir treffen uns um 19 Uhr bei Luigi."));
    put(2, S::ReceivedRead,
        received("01712345678", "010314093002",
                 "Grüße aus München! Schöne Tage noch, Jürgen. PS: Der Käse war köstlich."));
    put(3, S::ReceivedUnread,
        deliverPdu(kCentre, addressField("+33478123456"), 0x08, timestampField("010316201533"),
                   ucs2UserData(u"Très bien reçu, ça coûte 25 € à Lyon.")));
    put(4, S::ReceivedRead,
        deliverPdu(kCentre, alphanumericAddressField("D1-INFO"), 0x00,
                   timestampField("010318080000"),
                   gsmUserData(latin1("Ihr Guthaben beträgt 12,50 EUR. Vielen Dank."))));

    // One message in three parts, stored as they arrived: 1, 3, 2.
    const std::string story = latin1(
        "Hallo mein Schatz, wir sind gut in Hamburg angekommen. Das Wetter ist herrlich, die "
        "Sonne scheint und am Hafen ist viel los. Heute Nachmittag waren wir auf der Elbe "
        "unterwegs und haben die großen Containerschiffe gesehen. Morgen wollen wir in den "
        "Tierpark Hagenbeck, Papa freut sich schon auf die Elefanten. Am Sonntag fahren wir mit "
        "dem Zug zurück, gegen acht Uhr abends sind wir zu Hause. Liebe Grüße, Mama");
    const auto part = [&](int sequence, std::string_view stamp) {
        const std::string text = story.substr(static_cast<std::size_t>(sequence - 1) * 153, 153);
        return deliverPdu(kCentre, addressField("+491701234567"), 0x00, timestampField(stamp),
                          gsmUserData(text, PartOf{0x2A, 3, sequence}));
    };
    put(5, S::ReceivedRead, part(1, "010320171201"));
    put(6, S::ReceivedUnread, part(3, "010320171203"));
    put(7, S::ReceivedRead, part(2, "010320171202"));

    put(8, S::ReceivedRead,
        statusReportPdu(kCentre, 7, "+4930123456", timestampField("010321101500"),
                        timestampField("010321101512"), 0x00));
    put(9, S::StoredUnsent,
        submitPdu(kCentre, 0, "0302223344", 0x00, gsmUserData("Bin in 10 Minuten da.")));
    put(10, S::StoredSent,
        submitPdu(kCentre, 0, "+4989555123", 0x00, gsmUserData("Die Unterlagen sind unterwegs.")));
    put(11, S::ReceivedRead,
        deliverPdu(kCentre, addressField("+491719876543"), 0x04, timestampField("010322113000"),
                   octetUserData("Hallo 8-bit!")));
    put(12, S::ReceivedRead,
        received("0897654321", "010323074500",
                 "Ihr Termin am Dienstag um 9:30 Uhr ist bestätigt. Praxis Dr. Kühn"));
    put(13, S::ReceivedRead,
        received("+4740123456", "010324120000", "Hei! Ses vi i Oslo neste uke? Åse"));
    put(14, S::ReceivedRead,
        received("0304445566", "010325193000",
                 "Ihre Bestellung ist unterwegs: 2x Pizza Margherita."));
    put(15, S::ReceivedRead,
        received("+491701234567", "010326160000", "Vergiss nicht, Blumen mitzubringen!"));
    put(16, S::ReceivedRead, received("+4930987654", "010327000100", "Alles Gute zum Geburtstag!"));
    put(17, S::ReceivedRead,
        deliverPdu(kCentre, addressField("+491711234567"), 0x10, timestampField("010328090000"),
                   gsmUserData("Sie haben 1 neue Sprachnachricht.")));
    put(18, S::ReceivedUnread,
        received("0800330000", "010329140000",
                 "Ihr Paket wird morgen zwischen 10 und 14 Uhr zugestellt."));
}

}  // namespace phonesim
