// A communication module that fills every byte of both buffers, leaves
// no terminator and offers an overlong status text: the program must stay
// within the buffers and read back only what fits.

#include <cstring>

namespace {
char status[2000];
}

extern "C" __attribute__((visibility("default"))) int smscom(int, const char*, char* replyNumber,
                                                             char* text, const char** statusText) {
    std::memset(replyNumber, '7', 50);
    std::memset(text, 'x', 1024);
    std::memset(status, 's', sizeof status - 1);
    *statusText = status;
    return 0;
}
