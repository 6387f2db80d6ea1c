#pragma once

// The logo and the ringtone: the two objects of the phone's object store at
// index 0 that the main window sends and fetches. Uploads go in segments of
// hexadecimal text, each announced with "AT^SBNW=<type>,0,<k>,<count>" and
// sent after the phone's prompt; a download is one "AT^SBNR=<type>,0" whose
// reply holds the object in blocks. Every transfer shows the transfer
// progress window and stops between segments when the user cancels.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "foundation/Messages.h"
#include "foundation/Reporter.h"
#include "link/AtEngine.h"
#include "media/TransferProgress.h"

namespace vondrix::media {

enum class ObjectKind { Logo, Ringtone };

struct ObjectType {
    std::string_view code;     // the store's type: "bmp", "mid"
    std::size_t segmentBytes;  // object bytes per uploaded segment
    msg::Id uploadFailed;      // the phone refused a segment
    msg::Id downloadFailed;    // the phone refused the read, holds no object, or
                               // its reply is not the whole object
};
const ObjectType& objectType(ObjectKind kind);

enum class TransferResult {
    Done,
    Cancelled,         // the user stopped it: the object on the phone was deleted,
                       // or the download's file was not written
    FileFailed,        // the file could not be opened or written, is no regular
                       // file, or the logo is no BMP (message 36, 104, 37, 39 or 40)
    SourceUnreadable,  // reading the file failed half-way; nothing shown
    PhoneRefused,      // the phone refused a segment or the read (message shown)
    LinkFailed,        // the link failed; its message is shown when the operation ends
    NotConverted,      // the GIF's bitmap could not be made (memory, temporary
                       // file); nothing shown
};

// Whether the main window takes `path` for a GIF: when it contains ".gif"
// or ".GIF". Other spellings (".Gif") go to the phone as bitmaps.
bool isGifPath(std::string_view path);

// The logo check on the start of a file: `headerBytes` read of the 14-byte
// file header (`readFailed` when the read itself failed) beginning with
// `firstTwo`. Message 39 for a failed read, 37 for fewer than 14 bytes, 40
// for a header that does not begin with "BM"; nothing for a BMP.
std::optional<msg::Id> bmpHeaderProblem(std::size_t headerBytes, bool readFailed,
                                        std::string_view firstTwo);

// The prompted command of segment k of count, e.g. "AT^SBNW=bmp,0,3,10".
std::string segmentCommand(const ObjectType& type, std::int64_t k, std::int64_t count);

class TransferService {
  public:
    TransferService(AtEngine& engine, Reporter& reporter) : engine_(engine), reporter_(reporter) {}

    // Sends the file at `path` as the logo or the ringtone, replacing the
    // object on the phone (it is deleted before the first segment). A logo
    // must start with a BMP header; a ringtone is sent as it is.
    TransferResult upload(ObjectKind kind, const std::string& path);
    // The send-logo command: a GIF (by isGifPath) is converted to a bitmap
    // in a private temporary folder, which is removed afterwards; the GIF
    // itself is never touched. Message 36 for a GIF that cannot be read.
    TransferResult sendLogo(const std::string& path);
    // Reads the object and writes it to `path`. The file is written only
    // when the whole object arrived (every packet, in order, hexadecimal);
    // an existing file is replaced then, and left as it was otherwise. A
    // phone without the object, or a reply that is not the whole object,
    // shows the type's download message (PhoneRefused).
    TransferResult download(ObjectKind kind, const std::string& path);

    // The pause after each downloaded block (100 ms, so that the progress
    // can be seen); tests shorten it.
    void setBlockPause(std::chrono::milliseconds pause) { blockPause_ = pause; }
    // The clock of the progress times (tests give their own).
    void setClock(TransferProgress::Now now) { now_ = std::move(now); }

  private:
    TransferResult uploadConvertedGif(const std::string& gifPath);
    // The end of a failed exchange: the phone's refusal gets the type's
    // message, a link failure its own once the operation ends.
    TransferResult failed(msg::Id refusal);
    bool linkFailed() const { return engine_.failure() != AtEngine::Failure::None; }

    AtEngine& engine_;
    Reporter& reporter_;
    std::chrono::milliseconds blockPause_{100};
    TransferProgress::Now now_ = TransferProgress::Clock::now;
};

}  // namespace vondrix::media
