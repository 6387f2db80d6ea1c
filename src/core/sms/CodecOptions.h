#pragma once

#include "foundation/Settings.h"
#include "sms/Pdu.h"

namespace vondrix::sms {

// The codec's options as the program's settings give them.
inline CodecSettings codecSettingsFrom(const Settings& s) {
    return {s.swapD, s.gsmConv, s.intPrefix, s.tPref};
}

}  // namespace vondrix::sms
