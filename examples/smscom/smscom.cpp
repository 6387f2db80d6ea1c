// An example communication module for the command mode (see SmscomApi.h).
//
// It answers a received message whose text is one of its keywords (case
// does not matter, blanks around it neither) to the sender:
//   PING -> PONG
//   TIME -> the local time, "YYYY-MM-DD hh:mm:ss"
//   HELP -> the list of keywords
// and reports such a message as handled, so the program deletes it. Any
// other text is left alone (result 1): the message stays in the phone.
// Polled without a message, it only updates its status text.

#include <cctype>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "SmscomApi.h"

// The entry point is the module's one export: a DLL names it so, a shared
// object marks it visible.
#ifdef _WIN32
#define SMSCOM_EXPORT __declspec(dllexport)
#else
#define SMSCOM_EXPORT __attribute__((visibility("default")))
#endif

namespace {

char statusText[128] = "idle";
unsigned long answered = 0;

std::string keywordOf(const char* text) {
    std::string word;
    for (const char* p = text; *p != '\0'; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (!std::isspace(c))
            word += static_cast<char>(std::toupper(c));
    }
    return word;
}

std::string localTime() {
    const std::time_t now = std::time(nullptr);
    // The program calls the module on its one thread only, so the shared
    // result of localtime is ours.
    std::tm t{};
    if (const std::tm* local = std::localtime(&now))
        t = *local;
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &t);
    return text;
}

// Copies `text` into a buffer of `size` bytes, always terminated.
void put(char* buffer, std::size_t size, const std::string& text) {
    const std::size_t n = text.size() < size ? text.size() : size - 1;
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

}  // namespace

extern "C" SMSCOM_EXPORT int smscom(int zero, const char* sender, char* replyNumber, char* text,
                                    const char** status) {
    (void)zero;
    *status = statusText;
    if (sender == nullptr || sender[0] == '\0') {
        std::snprintf(statusText, sizeof statusText, "idle, %lu answered", answered);
        return 1;
    }
    const std::string keyword = keywordOf(text);
    std::string reply;
    if (keyword == "PING")
        reply = "PONG";
    else if (keyword == "TIME")
        reply = localTime();
    else if (keyword == "HELP")
        reply = "PING, TIME, HELP";
    else
        return 1;

    put(replyNumber, SMSCOM_REPLY_NUMBER_SIZE, sender);
    put(text, SMSCOM_TEXT_SIZE, reply);
    ++answered;
    std::snprintf(statusText, sizeof statusText, "answered %s", keyword.c_str());
    return 0;
}
