#include "session/TransferSession.h"

namespace vondrix {

using media::ObjectKind;
using media::TransferResult;

bool raiseRingToneRange(AudioState& audio) {
    if (!audio.rangesRead || (audio.toneMax != 20 && audio.toneMax != 41))
        return false;
    ++audio.toneMax;
    return true;
}

bool melodyReachedPhone(TransferResult result) {
    switch (result) {
        case TransferResult::Done:
        case TransferResult::PhoneRefused:
        case TransferResult::LinkFailed:
            return true;
        case TransferResult::Cancelled:  // the object was deleted again
        case TransferResult::FileFailed:
        case TransferResult::SourceUnreadable:
        case TransferResult::NotConverted:
            break;
    }
    return false;
}

TransferResult TransferSession::sendLogo(const std::string& path) {
    return service_.sendLogo(path);
}

TransferResult TransferSession::sendRingtone(const std::string& path) {
    const TransferResult result = service_.upload(ObjectKind::Ringtone, path);
    if (melodyReachedPhone(result))
        raiseRingToneRange(audio_);
    return result;
}

TransferResult TransferSession::downloadLogo(const std::string& path) {
    return service_.download(ObjectKind::Logo, path);
}

TransferResult TransferSession::downloadRingtone(const std::string& path) {
    return service_.download(ObjectKind::Ringtone, path);
}

}  // namespace vondrix
