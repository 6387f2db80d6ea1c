#pragma once

// Setting and removing environment variables in a test, on both systems.

#include <cstdlib>

namespace vondrix::test {

inline void setEnv(const char* name, const char* value) {
#ifdef _WIN32
    _putenv_s(name, value);
#else
    ::setenv(name, value, 1);
#endif
}

inline void unsetEnv(const char* name) {
#ifdef _WIN32
    _putenv_s(name, "");  // an empty value removes it there
#else
    ::unsetenv(name);
#endif
}

}  // namespace vondrix::test
