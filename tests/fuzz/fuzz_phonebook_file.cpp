// The local phonebook file: the name-directory loader over any bytes stays
// within its limits, and replacing a section is stable and keeps CR LF.
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "phonebook/LocalFile.h"

using namespace vondrix::phonebook;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string content(reinterpret_cast<const char*>(data), size);

    const auto directory = parseNameDirectory(content);
    check(directory.size() <= kNameDirectorySize);
    for (const auto& e : directory)
        check(e.name.size() <= kMaxField && e.number.size() <= kMaxField && e.type == 0);

    CurrentPhonebook book;
    book.kind = static_cast<Kind>(size % 3);
    PhonebookEntry a;
    a.index = 1;
    a.name = "Anna";
    a.number = "0301";
    book.entries.push_back(a);
    const std::string once = replaceSection(content, true, book);
    const std::string header = std::string(kindInfo(book.kind).section) + "\r\n1,Anna" +
                               kindInfo(book.kind).nameSuffix + ",0301\r\n";
    check(once.find(header) != std::string::npos);
    check(once.ends_with("\r\n"));
    for (std::size_t i = 0; i < once.size(); ++i)
        check(once[i] != '\n' || (i > 0 && once[i - 1] == '\r'));
    check(replaceSection(once, true, book) == once);
    return 0;
}
