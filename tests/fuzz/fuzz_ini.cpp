// INI contents: lookups and updates never crash, and an update is read back.
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "foundation/IniFile.h"
#include "link/IrdaStack.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string content(reinterpret_cast<const char*>(data), size);
    (void)vondrix::iniLookup(content, "Vondrix", "Port", "-1");
    (void)vondrix::parseIrDevices(content);
    const std::string updated = vondrix::iniUpdate(content, "Vondrix", "Port", "3");
    check(vondrix::iniLookup(updated, "Vondrix", "Port", "-1") == "3");
    return 0;
}
