#pragma once

// A broken invariant ends the run as a crash, which libFuzzer reports with
// the input that caused it.
inline void check(bool ok) {
    if (!ok)
        __builtin_trap();
}
