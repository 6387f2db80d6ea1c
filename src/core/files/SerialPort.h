#pragma once

// How the system names its serial ports.

#include <string>

namespace vondrix::files {

// The device of serial port `index` (0 for the first): /dev/ttyS0 and on
// here, COM1 and on under Windows.
std::string serialPortDevice(int index);

}  // namespace vondrix::files
