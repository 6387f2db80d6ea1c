#pragma once

// The command mode's communication module: the shared library "smscom.so"
// ("smscom.dll" on Windows) and its entry point (see SmscomApi.h), with the buffers the contract
// promises. The module only ever sees buffers of exactly the promised sizes
// and the program reads back no more than fits in them.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/SharedLibrary.h"
#include "sms/SmscomApi.h"

namespace vondrix::sms {

// "smscom" with the platform's suffix for a loadable module.
inline const std::string kModuleFileName = std::string("smscom") + kModuleSuffix;
// How much of the module's status text is shown.
constexpr std::size_t kModuleStatusMax = 259;

class CommunicationModule {
  public:
    enum class LoadError { None, NotFound, NoEntryPoint, Untrusted };

    // Loads kModuleFileName from the first of `directories` that holds a
    // loadable one (each by its absolute path; never through a search path)
    // and looks up its entry point. A module that another user owns or that
    // others may write is never loaded (Untrusted; see SharedLibrary::open).
    static CommunicationModule load(const std::vector<std::string>& directories, LoadError& error);
    // The directories looked in by default: the working directory, the
    // program's own (the build tree), then where the package installs the
    // example module, found from the program's directory.
    static std::vector<std::string> defaultDirectories();

    bool loaded() const { return entry_ != nullptr; }
    // The file that was loaded.
    const std::string& path() const { return path_; }

    // The text buffer: the text handed over on the next call, and after a
    // call the module's answer. It keeps its content between calls.
    void setText(std::string_view text);
    std::string text() const;

    struct Result {
        int code = 1;             // 0: handled
        std::string replyNumber;  // the first 25 characters the module wrote
    };
    // Calls the module with `sender` (cut to 49 characters; empty when no
    // message is handed over), a zeroed reply number buffer and the text
    // buffer.
    Result call(std::string_view sender);

    // The module's status text (up to kModuleStatusMax characters), when it
    // has set one.
    std::optional<std::string> status() const;

    void unload();

  private:
    SharedLibrary library_;
    smscom_fn entry_ = nullptr;
    std::string path_;
    std::array<char, SMSCOM_TEXT_SIZE> text_{};
    const char* status_ = nullptr;
};

}  // namespace vondrix::sms
