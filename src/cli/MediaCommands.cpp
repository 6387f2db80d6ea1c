// "logo", "ringtone" and "gif2bmp": the main window's logo and ringtone
// transfers on the command line, with the desktop program's phone traffic
// and messages, and the GIF conversion on its own.

#include <ostream>

#include "cli/Cli.h"
#include "cli/CliReporter.h"
#include "device/DeviceCommands.h"
#include "media/LogoPreparation.h"
#include "media/ObjectFile.h"
#include "session/TransferSession.h"

namespace vondrix::cli {

namespace {

using media::TransferResult;

constexpr const char* kLogoHelp =
    R"(The operator logo in the phone's object store.

Subcommands:
  upload FILE     send FILE as the logo: a Windows bitmap (BMP), or a GIF
                  when the name contains ".gif" or ".GIF", which is converted
                  to a bitmap first (in a private temporary folder; FILE is
                  never changed)
  download FILE   write the phone's logo to FILE
  delete          delete the logo on the phone

A transfer shows its progress on a terminal; Ctrl-C stops it after the
current segment (an upload then deletes what it left on the phone, a
download writes nothing).
Exit status: 0 success, 1 the transfer failed or was stopped (a message
says why), 2 usage error, 3 no link to the phone.
)";

constexpr const char* kLogoUploadHelp =
    R"(Sends FILE as the phone's operator logo, in segments of 50 bytes, after
deleting the logo stored before. FILE must be a Windows bitmap ("BM"
header), or a GIF when its name contains ".gif" or ".GIF" (other spellings
such as ".Gif" are sent as bitmaps): the first image of the GIF is
converted to a bitmap of the same colour depth class in a private
temporary folder, which is removed afterwards.
Ctrl-C stops the upload after the current segment and deletes the logo.
Exit status: 0 sent, 1 failed or stopped, 2 usage error, 3 no link.
)";

constexpr const char* kLogoDownloadHelp =
    R"(Reads the phone's operator logo and writes it to FILE (a Windows bitmap).
FILE is written only when the whole logo arrived; an existing FILE is
replaced then and left as it was otherwise (a phone without a logo, or a
reply with a block missing or out of order, is a failure).
Exit status: 0 written, 1 failed or stopped, 2 usage error, 3 no link.
)";

const std::string kLogoDeleteHelp = std::string(R"(Deletes the operator logo on the phone ()") +
                                    kDeleteLogoCommand +
                                    R"(). As in the desktop
program, the phone's answer is not examined.
Exit status: 0 sent, 1 the phone did not answer, 2 usage error, 3 no link.
)";

constexpr const char* kRingtoneHelp =
    R"(The ring tone melody (a MIDI file) in the phone's object store.

Subcommands:
  upload FILE     send FILE as the melody (sent as it is, in segments of
                  100 bytes); afterwards the ring tone range printed by
                  'audio' grows by one when it ended at 20 or 41, and the
                  new range is printed
  download FILE   write the phone's melody to FILE

A transfer shows its progress on a terminal; Ctrl-C stops it after the
current segment (an upload then deletes what it left on the phone, a
download writes nothing).
Exit status: 0 success, 1 the transfer failed or was stopped (a message
says why), 2 usage error, 3 no link to the phone.
)";

constexpr const char* kRingtoneUploadHelp =
    R"(Sends FILE as the phone's ring tone melody, in segments of 100 bytes,
after deleting the melody stored before. When the ring tone range read from
the phone ends at 20 or 41, the uploaded melody is one more tone: the new
range is printed as 'Ring tone range: LOW-HIGH'.
Ctrl-C stops the upload after the current segment and deletes the melody.
Exit status: 0 sent, 1 failed or stopped, 2 usage error, 3 no link.
)";

constexpr const char* kRingtoneDownloadHelp =
    R"(Reads the phone's ring tone melody and writes it to FILE (a MIDI file).
FILE is written only when the whole melody arrived; an existing FILE is
replaced then and left as it was otherwise (a phone without a melody, or a
reply with a block missing or out of order, is a failure).
Exit status: 0 written, 1 failed or stopped, 2 usage error, 3 no link.
)";

constexpr const char* kGif2BmpHelp =
    R"(Converts the first image of a GIF into the Windows bitmap that 'logo
upload' would send: a GIF with 2 colours gives a 1-bit bitmap, up to 16
colours a 4-bit one, up to 256 an 8-bit one. No phone is needed.
OUT.bmp is written only when the whole GIF could be decoded; an existing
OUT.bmp is replaced then and left as it was otherwise.
Exit status: 0 converted, 1 IN.gif cannot be read or decoded or OUT.bmp
cannot be written, 2 usage error.
)";

// The desktop program disables the transfers when NoModem is set.
int refusedWithNoModem(const Invocation& inv) {
    inv.ctx.err << "vondrix-cli: " << inv.entry.name << " is not available while NoModem is set in "
                << inv.ctx.ini.path() << '\n';
    return kExitFailed;
}

int checkedFile(const Invocation& inv) {
    if (inv.line.words.front().empty())
        return inv.usageError("FILE must not be empty");
    if (inv.ctx.settings.noModem)
        return refusedWithNoModem(inv);
    return kExitOk;
}

// The exit status of a transfer; a line of our own where the desktop
// program says nothing.
int statusOf(const Invocation& inv, TransferResult result, bool upload) {
    const std::string& file = inv.line.words.front();
    switch (result) {
        case TransferResult::Done:
            return kExitOk;
        case TransferResult::Cancelled:
            return inv.fail(upload ? "stopped; what was sent has been deleted from the phone"
                                   : "stopped; " + file + " was not written");
        case TransferResult::SourceUnreadable:
            return inv.fail("reading " + file + " failed");
        case TransferResult::NotConverted:
            return inv.fail("the bitmap of " + file + " could not be made");
        case TransferResult::FileFailed:
        case TransferResult::PhoneRefused:
        case TransferResult::LinkFailed:
            break;  // the message says it
    }
    return kExitFailed;
}

int transfer(Invocation& inv, bool upload, const char* what,
             TransferResult (TransferSession::*operation)(const std::string&)) {
    if (const int refused = checkedFile(inv))
        return refused;
    // The link and the main window's opening come first: say at once what is coming.
    announce(inv.ctx.err, std::string(upload ? "Sending the " : "Fetching the ") + what +
                              (upload ? " to the phone\u2026" : " from the phone\u2026"));
    return inv.withSession([&] {
        AudioState& audio = inv.main->state().audio;
        const int before = audio.toneMax;
        TransferSession transfers(inv.main->session(), *inv.reporter, audio);
        const TransferResult result = (transfers.*operation)(inv.line.words.front());
        if (audio.toneMax != before) {
            inv.ctx.out << "Ring tone range: " << audio.toneMin << '-' << audio.toneMax << '\n';
            inv.ctx.out.flush();
        }
        return statusOf(inv, result, upload);
    });
}

int runLogoUpload(Invocation& inv) {
    return transfer(inv, true, "logo", &TransferSession::sendLogo);
}
int runLogoDownload(Invocation& inv) {
    return transfer(inv, false, "logo", &TransferSession::downloadLogo);
}
int runRingtoneUpload(Invocation& inv) {
    return transfer(inv, true, "ringtone", &TransferSession::sendRingtone);
}
int runRingtoneDownload(Invocation& inv) {
    return transfer(inv, false, "ringtone", &TransferSession::downloadRingtone);
}

int runLogoDelete(Invocation& inv) {
    if (inv.ctx.settings.noModem)
        return refusedWithNoModem(inv);
    return inv.withSession([&] {
        const auto before = inv.reporter->tally();
        inv.main->deleteLogo();
        return inv.errorShownSince(before) ? kExitFailed : kExitOk;
    });
}

int runFamily(Invocation& inv) {
    if (inv.line.words.empty())
        return inv.usageError("a subcommand is missing");
    return inv.usageError("unknown subcommand '" + inv.line.words.front() + "'");
}

int runGif2Bmp(Invocation& inv) {
    const std::string& in = inv.line.words[0];
    const std::string& out = inv.line.words[1];
    if (in.empty() || out.empty())
        return inv.usageError("file names must not be empty");
    if (!media::mayReadAsFile(in))
        return inv.fail(in + " is not a regular file");
    const media::GifConversion conversion = media::convertGifToBmp(in, out);
    switch (conversion.result) {
        case media::ImageResult::Ok:
            return kExitOk;
        case media::ImageResult::CannotOpen:
            return inv.fail("cannot open " + in);
        case media::ImageResult::OutOfMemory:
            return inv.fail("out of memory");
        case media::ImageResult::CannotCreate:
        case media::ImageResult::WriteFailed:
            return inv.fail("cannot write " + out);
        case media::ImageResult::BadFormat:
        case media::ImageResult::Truncated:
        case media::ImageResult::RowRefused:
            break;
    }
    return inv.fail(conversion.decoded ? "the picture of " + in + " is too large for a bitmap"
                                       : in + " is not a GIF, or it is damaged or cut short");
}

}  // namespace

std::vector<CommandEntry> mediaCommands() {
    const Needs W = Needs::MainWindow;
    return {
        {"logo",
         "upload, download or delete the operator logo\n"
         "                  (logo SUBCOMMAND --help)",
         {"SUBCOMMAND [ARGS]"},
         kLogoHelp,
         {},
         0,
         99,
         Needs::Nothing,
         false,
         runFamily},
        {"logo upload", "", {"FILE"}, kLogoUploadHelp, {}, 1, 1, W, false, runLogoUpload},
        {"logo download", "", {"FILE"}, kLogoDownloadHelp, {}, 1, 1, W, false, runLogoDownload},
        {"logo delete", "", {""}, kLogoDeleteHelp.c_str(), {}, 0, 0, W, false, runLogoDelete},
        {"ringtone",
         "upload or download the ring tone melody\n"
         "                  (ringtone SUBCOMMAND --help)",
         {"SUBCOMMAND FILE"},
         kRingtoneHelp,
         {},
         0,
         99,
         Needs::Nothing,
         false,
         runFamily},
        {"ringtone upload",
         "",
         {"FILE"},
         kRingtoneUploadHelp,
         {},
         1,
         1,
         W,
         false,
         runRingtoneUpload},
        {"ringtone download",
         "",
         {"FILE"},
         kRingtoneDownloadHelp,
         {},
         1,
         1,
         W,
         false,
         runRingtoneDownload},
        {"gif2bmp",
         "convert a GIF into the bitmap a logo upload sends",
         {"IN.gif OUT.bmp"},
         kGif2BmpHelp,
         {},
         2,
         2,
         Needs::Nothing,
         false,
         runGif2Bmp},
    };
}

}  // namespace vondrix::cli
