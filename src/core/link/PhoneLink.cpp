#include "link/PhoneLink.h"

#include <array>
#include <utility>

namespace vondrix {

PhoneLink::PhoneLink(PhoneLink&& other) noexcept
    : handle_(std::exchange(other.handle_, kNoHandle)),
      mode_(std::exchange(other.mode_, Mode::None)),
      waited_(std::exchange(other.waited_, {})),
      failed_(std::exchange(other.failed_, false)),
      lock_(std::exchange(other.lock_, kNoHandle)) {}

PhoneLink& PhoneLink::operator=(PhoneLink&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = std::exchange(other.handle_, kNoHandle);
        mode_ = std::exchange(other.mode_, Mode::None);
        waited_ = std::exchange(other.waited_, {});
        failed_ = std::exchange(other.failed_, false);
        lock_ = std::exchange(other.lock_, kNoHandle);
    }
    return *this;
}

bool PhoneLink::readAvailable(std::string& into, std::size_t limit) {
    std::array<char, 4096> buf{};
    for (std::size_t drained = 0; drained < limit; drained += buf.size()) {
        if (!waitReadable(std::chrono::milliseconds(0)))
            return true;
        const auto n = read(buf.data(), buf.size());
        if (!n)
            return false;
        into.append(buf.data(), *n);
    }
    return true;
}

}  // namespace vondrix
