// Phone replies through the reply layer and every reply parser. Besides not
// crashing, each parser keeps to what its callers rely on.
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "device/Replies.h"
#include "link/Parsers.h"
#include "link/Reply.h"
#include "link/SharedReplies.h"
#include "network/NetworkInfo.h"
#include "phonebook/Replies.h"
#include "text/Decimal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vondrix;
    const std::string reply(reinterpret_cast<const char*>(data), size);

    // The canonical form is canonical: a second pass changes nothing.
    const std::string canonical = canonicalReply(reply);
    check(canonicalReply(canonical) == canonical);
    const auto word = lastAnswerWord(reply);
    check(!word || word->size() <= reply.size());
    int a = 0, b = 0, c = 0, d = 0;
    parseRangeAndLengths(reply, a, b, c, d);
    (void)numberAfter(reply, "^SRTC:");

    // The reply layer: lines never hold a line end, and the result is one
    // the transaction kind can end with.
    for (const auto ends : {at::Ends::Standard, at::Ends::Dial, at::Ends::Prompt}) {
        const at::Reply r = at::parseReply(reply, "AT+CPBR=1", ends);
        for (const auto& line : r.lines)
            check(isOneLine(line));
        check(r.final.kind == at::Final::None || at::endsTransaction(r.final, ends));
        for (const auto& line : r.lines) {
            at::FieldReader f(line);
            std::size_t left = line.size() + 1;
            while (!f.atEnd()) {
                (void)f.number();
                (void)f.quoted();
                (void)f.range();
                (void)f.omitted();
                (void)f.field();
                check(f.rest().size() < left);  // every round moves on
                left = f.rest().size();
            }
        }
    }

    // The phonebook's parsers: fields fit the table, the location is the asked one.
    if (const auto e = phonebook::parseCpbrRead(reply, 7)) {
        check(e->index == 7);
        check(e->number.size() <= phonebook::kMaxField && e->name.size() <= phonebook::kMaxField);
    }
    // A trusted range reply: ascending locations inside the range, each
    // record a piece of the reply that the single rules read as an entry.
    if (const auto records = phonebook::splitRangeReply(reply, "+CPBR:", 3, 40, "AT+CPBR=3,40")) {
        int previous = 2;
        for (const auto& r : *records) {
            check(r.location > previous && r.location <= 40);
            previous = r.location;
            check(r.text.substr(0, 6) == "+CPBR:");
            check(r.text.data() >= reply.data() &&
                  r.text.data() + r.text.size() <= reply.data() + reply.size());
            check(phonebook::parseCpbrRead(r.text, r.location).has_value());
        }
    }
    check(at::parseCscaQuery(reply).size() <= at::kMaxServiceCentre);
    // A size is read only from a range "(a-b)".
    if (phonebook::parseCpbrTest(reply, phonebook::Range{}))
        check(reply.find('(') != std::string::npos && reply.find('-') != std::string::npos);
    if (const auto own = phonebook::parseOwnNumber(reply))
        check(own->size() <= phonebook::kMaxOwnNumber);

    NetworkStatus status;
    applyBatteryReply(status, reply);
    applyRegistrationReply(status, reply);
    applySignalReply(status, reply);
    applyOperatorReply(status, reply);
    check(!status.signalKnown || (*status.rssi >= 0 && *status.rssi <= 31));
    AudioState audio;
    parseSrtcTest(audio, reply);
    parseSrtcQuery(audio, reply);
    (void)parseSnfsQuery(reply);
    (void)parseSnfvQuery(reply);
    (void)batteryBitmapFor(decimalValue(reply));
    return 0;
}
