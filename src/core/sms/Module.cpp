#include "sms/Module.h"

#include <algorithm>
#include <filesystem>

#include "files/Files.h"
#include "files/Paths.h"

namespace vondrix::sms {
namespace {

// Copies `text` into `buffer`, cut so that its terminator fits.
template <std::size_t N>
void fill(std::array<char, N>& buffer, std::string_view text) {
    buffer.fill('\0');
    const std::size_t n = std::min(text.size(), N - 1);
    std::copy_n(text.data(), n, buffer.data());
}

// The text in `buffer` up to its first NUL, at most `max` characters.
template <std::size_t N>
std::string textOf(const std::array<char, N>& buffer, std::size_t max) {
    const auto end = std::find(buffer.begin(), buffer.end(), '\0');
    const auto length = static_cast<std::size_t>(end - buffer.begin());
    return std::string(buffer.data(), std::min(length, max));
}

}  // namespace

CommunicationModule CommunicationModule::load(const std::vector<std::string>& directories,
                                              LoadError& error) {
    CommunicationModule module;
    for (const std::string& dir : directories) {
        if (dir.empty())
            continue;
        // Both directories are absolute (see currentDirectory/programDirectory).
        const std::string path = dir + "/" + kModuleFileName;
        if (files::fileKind(path) != files::FileKind::Regular)
            continue;
        SharedLibrary::Refusal refusal = SharedLibrary::Refusal::None;
        SharedLibrary library = SharedLibrary::open(path, nullptr, &refusal);
        if (refusal == SharedLibrary::Refusal::Untrusted) {
            // Never passed over for the next folder's: the user is told.
            error = LoadError::Untrusted;
            return module;
        }
        if (!library.loaded())
            continue;
        auto* entry = reinterpret_cast<smscom_fn>(library.symbol(SMSCOM_ENTRY_NAME));
        if (!entry) {
            error = LoadError::NoEntryPoint;
            return module;
        }
        module.library_ = std::move(library);
        module.entry_ = entry;
        module.path_ = path;
        error = LoadError::None;
        return module;
    }
    error = LoadError::NotFound;
    return module;
}

std::vector<std::string> CommunicationModule::defaultDirectories() {
    const std::string program = programDirectory();
    std::string installed;
    if (!program.empty())
        installed =
            files::utf8Path((files::fsPath(program) / VONDRIX_MODULE_FROM_BIN).lexically_normal());
    return {currentDirectory(), program, installed};
}

void CommunicationModule::setText(std::string_view text) {
    fill(text_, text);
}

std::string CommunicationModule::text() const {
    return textOf(text_, text_.size() - 1);
}

CommunicationModule::Result CommunicationModule::call(std::string_view sender) {
    Result result;
    if (!entry_)
        return result;
    const std::string senderText(sender.substr(0, SMSCOM_SENDER_MAX));
    std::array<char, SMSCOM_REPLY_NUMBER_SIZE> replyNumber{};
    text_.back() = '\0';
    result.code = entry_(0, senderText.c_str(), replyNumber.data(), text_.data(), &status_);
    // Whatever the module did, both buffers end inside their bounds.
    replyNumber.back() = '\0';
    text_.back() = '\0';
    result.replyNumber = textOf(replyNumber, SMSCOM_REPLY_NUMBER_USED);
    return result;
}

std::optional<std::string> CommunicationModule::status() const {
    if (!status_)
        return std::nullopt;
    // The module owns the text and promises no length: read no further
    // than what is shown.
    std::size_t n = 0;
    while (n < kModuleStatusMax && status_[n] != '\0')
        ++n;
    return std::string(status_, n);
}

void CommunicationModule::unload() {
    entry_ = nullptr;
    status_ = nullptr;
    library_.close();
}

}  // namespace vondrix::sms
