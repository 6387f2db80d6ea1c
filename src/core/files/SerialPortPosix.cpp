#include "files/SerialPort.h"

namespace vondrix::files {

std::string serialPortDevice(int index) {
    return "/dev/ttyS" + std::to_string(index);
}

}  // namespace vondrix::files
