#include "files/SerialPort.h"

namespace vondrix::files {

std::string serialPortDevice(int index) {
    return "COM" + std::to_string(index + 1);
}

}  // namespace vondrix::files
