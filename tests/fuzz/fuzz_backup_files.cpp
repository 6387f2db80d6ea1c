// The readers of the backup and the imports: vCard cards, iCalendar events
// and backup.json. Whatever the bytes, every planned entry must fit the
// phone (names and numbers within their fields, descriptions within 16
// characters, real days and times), and a backup.json that is read must
// write out to a document that reads back the same.
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "organizer/IcsImport.h"
#include "phonebook/Vcard.h"
#include "session/Backup.h"
#include "text/Json.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vondrix;
    if (size < 1 || size > 65536)
        return 0;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    switch (data[0] % 3) {
        case 0: {
            const phonebook::CurrentPhonebook book;
            const auto plan =
                phonebook::planVcardImport(phonebook::parseVcards(text), book, 14, 20);
            for (const auto& e : plan.entries)
                check(e.name.size() <= 14 && !e.number.empty() && e.number.size() <= 20);
            break;
        }
        case 1: {
            const auto plan = organizer::planIcsImport(text, organizer::systemLocalTime);
            for (const auto& f : plan.entries) {
                check(f.description.size() <= organizer::kMaxDescription);
                check(organizer::isValidDate(f.date) && organizer::isValidTime(f.time));
                check(f.recurrence >= 0 && f.recurrence <= 4 && f.category >= 0 && f.category <= 3);
            }
            break;
        }
        default: {
            const auto json = Json::parse(text);
            if (!json)
                break;
            const auto again = Json::parse(json->dump());
            check(again && again->dump() == json->dump());
            if (const auto backup = backupFromJson(*json)) {
                const auto round = backupFromJson(*Json::parse(backupJson(*backup).dump()));
                check(round && round->messages == backup->messages &&
                      round->organizer == backup->organizer && round->logo == backup->logo);
            }
        }
    }
    return 0;
}
