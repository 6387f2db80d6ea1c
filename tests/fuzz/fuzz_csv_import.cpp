// The CSV import's line parser over any bytes: a parsed line holds no
// control character (nothing that could end the phone's command line) and
// reads back the same when written in the export's form.
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "phonebook/FileLines.h"
#include "phonebook/Import.h"

using namespace vondrix::phonebook;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string content(reinterpret_cast<const char*>(data), size);
    for (std::string_view line : splitLines(content)) {
        check(line.find('\n') == std::string_view::npos);
        (void)isCsvHeader(line);
        const auto parsed = parseCsvLine(line);
        if (!parsed)
            continue;
        for (const std::string* field : {&parsed->name, &parsed->number})
            for (char c : *field)
                check(static_cast<unsigned char>(c) >= 0x20);
        if (parsed->name.find(';') != std::string::npos)
            continue;
        const std::string again =
            std::to_string(parsed->location) + ";" + parsed->name + ";'" + parsed->number;
        const auto reparsed = parseCsvLine(again);
        check(reparsed && reparsed->location == parsed->location &&
              reparsed->name == parsed->name && reparsed->number == parsed->number);
    }
    return 0;
}
