#pragma once

#include <string>
#include <utility>

#include "phonebook/Phonebook.h"

namespace vondrix::test {

// An entry with its type derived from the number, as reading gives it.
inline phonebook::PhonebookEntry entry(int index, std::string name, std::string number) {
    phonebook::PhonebookEntry e;
    e.index = index;
    e.name = std::move(name);
    e.number = std::move(number);
    e.type = phonebook::numberType(e.number);
    return e;
}

}  // namespace vondrix::test
