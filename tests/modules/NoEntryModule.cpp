// A shared library that loads but exports no "smscom": the command mode
// must refuse it.

extern "C" __attribute__((visibility("default"))) int not_the_entry_point(int value) {
    return value + 1;
}
