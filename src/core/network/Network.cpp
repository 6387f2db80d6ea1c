#include "network/Network.h"

#include <cctype>

namespace vondrix::network {

std::optional<std::size_t> classIndexOf(long long classValue) {
    for (std::size_t i = 0; i < kClassValues.size(); ++i)
        if (kClassValues[i] == classValue)
            return i;
    return std::nullopt;
}

void tickClass(ClassTicks& ticks, std::size_t index, bool on) {
    if (index >= ticks.size())
        return;
    ticks[index] = on;
    if (!on)
        return;
    if (index == kAll)
        ticks[kVoice] = ticks[kData] = ticks[kFax] = false;
    else
        ticks[kAll] = false;
}

std::vector<int> requestedClasses(const ClassTicks& ticks) {
    if (ticks[kAll])
        return {kClassValues[kAll]};
    std::vector<int> classes;
    for (const std::size_t i : {kVoice, kData, kFax})
        if (ticks[i])
            classes.push_back(kClassValues[i]);
    return classes;
}

std::optional<std::size_t> facilityIndexOf(std::string_view code) {
    for (std::size_t i = 0; i < kFacilityCodes.size(); ++i) {
        const std::string_view f = kFacilityCodes[i];
        if (code.size() == f.size() && std::toupper(static_cast<unsigned char>(code[0])) == f[0] &&
            std::toupper(static_cast<unsigned char>(code[1])) == f[1])
            return i;
    }
    return std::nullopt;
}

}  // namespace vondrix::network
