#include "support/ScriptedPhone.h"

#include <chrono>

namespace vondrix::test {

void ScriptedPhone::reply(std::vector<Piece> pieces) {
    std::lock_guard lock(mutex_);
    replies_.push_back(std::move(pieces));
}

std::vector<std::string> ScriptedPhone::lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

bool ScriptedPhone::take(std::string_view bytes, std::string& pending) {
    for (const char c : bytes) {
        if (c != '\r' && c != '\x1a') {
            pending.push_back(c);
            continue;
        }
        std::vector<Piece> script;
        {
            std::lock_guard lock(mutex_);
            lines_.push_back(pending);
            if (!replies_.empty()) {
                script = std::move(replies_.front());
                replies_.pop_front();
            }
        }
        pending.clear();
        for (const auto& piece : script) {
            if (piece.delayMs > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(piece.delayMs));
            if (piece.bytes == kHangUp) {
                hangUp();
                return false;
            }
            send(piece.bytes);
        }
    }
    return true;
}

}  // namespace vondrix::test
