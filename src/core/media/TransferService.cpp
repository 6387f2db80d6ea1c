#include "media/TransferService.h"

#include <array>
#include <thread>
#include <vector>

#include "files/TemporaryFolder.h"
#include "link/Command.h"
#include "link/LinkOperation.h"
#include "link/SharedReplies.h"
#include "media/ByteSource.h"
#include "media/LogoPreparation.h"
#include "media/ObjectFile.h"
#include "text/Hex.h"

namespace vondrix::media {
namespace {

constexpr char kCtrlZ = '\x1A';
constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kInfoHeaderBytes = 40;

constexpr ObjectType kLogo{"bmp", 50, msg::BmpSendFailed, msg::LogoReadFailed};
constexpr ObjectType kRingtone{"mid", 100, msg::MidiSendFailed, msg::RingtoneReadFailed};

// Deleting the stored object: the form with segment 0 and no count.
std::string deleteCommand(const ObjectType& type) {
    return at::Command("AT^SBNW=").word(type.code).number(0).number(0).text();
}

}  // namespace

const ObjectType& objectType(ObjectKind kind) {
    return kind == ObjectKind::Logo ? kLogo : kRingtone;
}

bool isGifPath(std::string_view path) {
    return path.find(".gif") != std::string_view::npos ||
           path.find(".GIF") != std::string_view::npos;
}

std::optional<msg::Id> bmpHeaderProblem(std::size_t headerBytes, bool readFailed,
                                        std::string_view firstTwo) {
    if (readFailed)
        return msg::FileSignatureNotRead;
    if (headerBytes < kFileHeaderBytes)
        return msg::InvalidFileHeader;
    if (firstTwo != "BM")
        return msg::NotABmpFile;
    return std::nullopt;
}

std::string segmentCommand(const ObjectType& type, std::int64_t k, std::int64_t count) {
    return at::Command("AT^SBNW=").word(type.code).number(0).number(k).number(count).text();
}

TransferResult TransferService::failed(msg::Id refusal) {
    if (linkFailed())
        return TransferResult::LinkFailed;  // the operation tells the user once
    reporter_.message(refusal, Caption::Info);
    return TransferResult::PhoneRefused;
}

TransferResult TransferService::upload(ObjectKind kind, const std::string& path) {
    const ObjectType& type = objectType(kind);
    LinkOperation operation(engine_, reporter_);
    TransferProgress progress(reporter_, now_);

    if (!mayReadAsFile(path)) {
        reporter_.message(msg::NotARegularFile, Caption::Error);
        return TransferResult::FileFailed;
    }
    FileSource file(path);
    if (!file.isOpen()) {
        reporter_.message(msg::FileNotOpened, Caption::Info);
        return TransferResult::FileFailed;
    }
    // An empty melody would only delete the phone's own: refused before
    // any traffic. (A logo's file is checked by its header below.)
    if (kind == ObjectKind::Ringtone && file.size() == 0) {
        reporter_.message(msg::FileEmpty, Caption::Error);
        return TransferResult::FileFailed;
    }
    const std::int64_t count =
        static_cast<std::int64_t>((file.size() + type.segmentBytes - 1) / type.segmentBytes);

    // The commands before the first segment; what the phone answers does
    // not matter, only that it still answers.
    if (kind == ObjectKind::Ringtone)
        engine_.standard(at::Command("AT^SBNW=").word(type.code).number(0).text());
    engine_.standard(deleteCommand(type));
    if (linkFailed())
        return TransferResult::LinkFailed;

    if (kind == ObjectKind::Logo) {
        std::array<std::uint8_t, kFileHeaderBytes> header{};
        const std::size_t got = file.read(header);
        const std::string_view firstTwo(reinterpret_cast<const char*>(header.data()),
                                        std::min<std::size_t>(got, 2));
        auto problem = bmpHeaderProblem(got, file.failed(), firstTwo);
        if (!problem) {
            std::array<std::uint8_t, kInfoHeaderBytes> info{};
            file.read(info);  // read, not examined
            if (file.failed())
                problem = msg::FileSignatureNotRead;
        }
        if (problem) {
            reporter_.message(*problem, Caption::Error);
            return TransferResult::FileFailed;
        }
        if (!file.rewind())
            return TransferResult::SourceUnreadable;
    }

    std::vector<std::uint8_t> segment(type.segmentBytes);
    std::size_t got = file.read(segment);
    for (std::int64_t k = 1; got > 0; ++k) {
        if (file.failed())
            return TransferResult::SourceUnreadable;
        progress.at(k, count);
        reporter_.pump();
        if (reporter_.cancelled()) {
            // Stopped after the segment before: the phone must not keep
            // half an object.
            engine_.standard(deleteCommand(type));
            return TransferResult::Cancelled;
        }
        if (!engine_.prompt(segmentCommand(type, k, count)))
            return failed(type.uploadFailed);
        const at::Command data =
            at::Command("").hex(hexText(std::span(segment.data(), got)), 2 * type.segmentBytes);
        if (!data.valid() || !engine_.prompt(data.text() + kCtrlZ, true))
            return failed(type.uploadFailed);
        got = file.read(segment);
    }
    if (file.failed())
        return TransferResult::SourceUnreadable;
    return TransferResult::Done;
}

TransferResult TransferService::sendLogo(const std::string& path) {
    if (isGifPath(path))
        return uploadConvertedGif(path);
    return upload(ObjectKind::Logo, path);
}

TransferResult TransferService::uploadConvertedGif(const std::string& gifPath) {
    if (!mayReadAsFile(gifPath)) {
        reporter_.message(msg::NotARegularFile, Caption::Error);
        return TransferResult::FileFailed;
    }
    // The bitmap goes into a folder of our own: next to the GIF it could
    // overwrite, and afterwards delete, a file of the user's.
    auto folder = files::TemporaryFolder::create("vondrix-logo-");
    if (!folder)
        return TransferResult::NotConverted;
    const std::string bmpPath = folder->file("logo.bmp");
    const GifConversion conversion = convertGifToBmp(gifPath, bmpPath);
    if (conversion.result != ImageResult::Ok) {
        // A GIF that cannot be read is reported; a bitmap that cannot be
        // made (memory, writing) ends the command without a word.
        if (!conversion.decoded && conversion.result != ImageResult::OutOfMemory) {
            reporter_.message(msg::FileNotOpened, Caption::Info);
            return TransferResult::FileFailed;
        }
        return TransferResult::NotConverted;
    }
    return upload(ObjectKind::Logo, bmpPath);
}

TransferResult TransferService::download(ObjectKind kind, const std::string& path) {
    const ObjectType& type = objectType(kind);
    LinkOperation operation(engine_, reporter_);
    TransferProgress progress(reporter_, now_);
    reporter_.pump();

    const AtEngine::Result sbnr =
        engine_.standard(at::Command("AT^SBNR=").word(type.code).number(0).text());
    if (!sbnr)
        return failed(type.downloadFailed);
    // Only a whole object is written: a phone that holds none, or a reply
    // with a packet missing, repeated or out of order, leaves the file alone.
    const at::ObjectRead read = at::parseSbnrRead(sbnr.raw, type.code, 0);
    if (!read.whole()) {
        reporter_.message(type.downloadFailed, Caption::Info);
        return TransferResult::PhoneRefused;
    }

    std::int64_t k = 0;
    for (std::size_t i = 0; i < read.packets.size(); ++i) {
        progress.at(++k, read.count);
        reporter_.pump();
        if (blockPause_.count() > 0)
            std::this_thread::sleep_for(blockPause_);
        if (reporter_.cancelled())
            return TransferResult::Cancelled;
    }
    const std::vector<std::uint8_t> object = read.bytes();
    if (!writeObjectFile(path, object)) {
        reporter_.message(msg::FileNotOpened, Caption::Info);
        return TransferResult::FileFailed;
    }
    return TransferResult::Done;
}

}  // namespace vondrix::media
