#include "session/SmsNames.h"

namespace vondrix {

sms::NameDirectory loadSmsNameDirectory(const std::string& path) {
    std::vector<sms::NameRecord> records;
    for (phonebook::PhonebookEntry& e : phonebook::loadNameDirectory(path))
        records.push_back({e.index, std::move(e.name), std::move(e.number)});
    return sms::NameDirectory(std::move(records));
}

}  // namespace vondrix
