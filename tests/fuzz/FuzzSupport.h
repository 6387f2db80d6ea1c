#pragma once

// What the fuzz targets share.

#include <cstddef>
#include <string_view>

// A broken invariant ends the run as a crash, which libFuzzer reports with
// the input that caused it.
inline void check(bool ok) {
    if (!ok)
        __builtin_trap();
}

// Whether `s` holds no line end.
inline bool isOneLine(std::string_view s) {
    return s.find_first_of("\r\n") == std::string_view::npos;
}

// How often `what` occurs in `text`.
inline std::size_t count(std::string_view text, std::string_view what) {
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string_view::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}
