// A shared library that loads but exports no "smscom": the command mode
// must refuse it. Loading it marks the process, so a test can tell a module
// that was refused before loading from one that was loaded.

#include <cstdlib>

__attribute__((constructor)) static void markLoaded() {
    setenv("VONDRIX_NOENTRY_LOADED", "1", 1);
}

extern "C" __attribute__((visibility("default"))) int not_the_entry_point(int value) {
    return value + 1;
}
