// "clock", "off" and "audio": the main window's device commands on the
// command line, with the desktop program's phone traffic and messages.

#include <algorithm>
#include <chrono>
#include <ctime>
#include <ostream>
#include <thread>

#include "device/DeviceCommands.h"
#include "cli/Cli.h"

namespace vondrix::cli {

namespace {

constexpr const char* kClockUsage = R"(Usage: vondrix-cli [LINK OPTIONS] clock

Sets the phone's clock from this computer's local time (AT+CCLK).
Exit status: 0 clock set, 1 the phone refused the time, 2 usage error,
3 no link to the phone.
)";

constexpr const char* kOffUsage = R"(Usage: vondrix-cli [LINK OPTIONS] off

Switches the phone off (AT^SMSO).
Exit status: 0 switched off, 1 the phone refused, 2 usage error,
3 no link to the phone.
)";

constexpr const char* kAudioUsage =
    R"(Usage: vondrix-cli [LINK OPTIONS] audio [--ringtone N] [--volume V]
             [--seconds S] [--ring on|off] [--handsfree on|off]

Without options, prints the ring tone, the ring volume, whether the ring tone
is off, whether hands-free is on, and the ranges the phone allows.

  --ringtone N        test ring tone N: set it with the volume and play it, as
                      the Test button does (without --volume: current volume)
  --volume V          test the ring tone at volume V (without --ringtone: the
                      current ring tone)
  --seconds S         play the test for S seconds, 0 to 3600 (default 3),
                      then stop it
  --ring on|off       switch the ring tone off, or on again (the ring tone
                      read from the phone, or the one just tested)
  --handsfree on|off  switch hands-free mode on or off

N and V must lie in the ranges the phone reports. Options run in the order
test, ring, hands-free; each runs even when an earlier one failed.
Exit status: 0 success, 1 a command failed, 2 usage error,
3 no link to the phone.
)";

constexpr int kMaxTestSeconds = 3600;

// Counts the error messages shown while forwarding everything: the check
// boxes' commands tell success and failure apart only by their messages.
class ErrorWatch : public Reporter {
public:
    explicit ErrorWatch(Reporter& inner) : inner_(inner) {}

    Answer message(int id, Caption caption, Buttons buttons) override {
        if (caption == Caption::Error) ++errors_;
        return inner_.message(id, caption, buttons);
    }
    void text(const std::string& utf8Text, Caption caption) override {
        if (caption == Caption::Error) ++errors_;
        inner_.text(utf8Text, caption);
    }
    std::optional<std::string> askPin2() override { return inner_.askPin2(); }
    void progressBegin(int dialogId, int total) override { inner_.progressBegin(dialogId, total); }
    void progressStep(int done) override { inner_.progressStep(done); }
    void progressEnd() override { inner_.progressEnd(); }
    void pump() override { inner_.pump(); }

    int errors() const { return errors_; }

private:
    Reporter& inner_;
    int errors_ = 0;
};

// A whole unsigned decimal number of at most six digits, or nothing.
std::optional<int> wholeNumber(const std::string& text) {
    if (text.empty() || text.size() > 6 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    return std::stoi(text);
}

// "on" (true) or "off" (false), or nothing.
std::optional<bool> onOff(const std::string& text) {
    if (text == "on") return true;
    if (text == "off") return false;
    return std::nullopt;
}

// The desktop program disables the clock and ring tone test buttons when
// NoModem is set; the command line keeps to that.
int refusedWithNoModem(CliContext& ctx, const char* what) {
    ctx.err << "vondrix-cli: " << what << " is not available while NoModem is set in "
            << ctx.ini.path() << '\n';
    return kExitFailed;
}

struct AudioRequest {
    std::optional<int> tone, volume;
    int seconds = 3;
    bool secondsGiven = false;
    std::optional<bool> ringOff;    // the ring-tone-off box: true = checked
    std::optional<bool> handsFree;  // the hands-free box

    bool test() const { return tone || volume; }
    bool any() const { return test() || ringOff || handsFree; }
};

// Fills `request` from the option values; returns an error text or nothing.
std::optional<std::string> readAudioRequest(const std::map<std::string, std::string>& values,
                                            AudioRequest& request) {
    for (const auto& [name, value] : values) {
        if (name == "--ringtone" || name == "--volume") {
            const auto n = wholeNumber(value);
            if (!n) return name + " needs a whole number, not '" + value + "'";
            (name == "--ringtone" ? request.tone : request.volume) = n;
        } else if (name == "--seconds") {
            const auto n = wholeNumber(value);
            if (!n || *n > kMaxTestSeconds) {
                return "--seconds needs a whole number from 0 to " +
                       std::to_string(kMaxTestSeconds) + ", not '" + value + "'";
            }
            request.seconds = *n;
            request.secondsGiven = true;
        } else {
            const auto on = onOff(value);
            if (!on) return name + " needs 'on' or 'off', not '" + value + "'";
            if (name == "--ring") {
                request.ringOff = !*on;
            } else {
                request.handsFree = *on;
            }
        }
    }
    if (request.secondsGiven && !request.test())
        return "--seconds only goes with --ringtone or --volume";
    return std::nullopt;
}

// Checks a test value against the range read at opening.
std::optional<std::string> outOfRange(const char* name, const std::optional<int>& value, int lo,
                                      int hi) {
    if (!value || (*value >= lo && *value <= hi)) return std::nullopt;
    return std::string(name) + " must lie in the phone's range " + std::to_string(lo) + "-" +
           std::to_string(hi) + ", not " + std::to_string(*value);
}

int runAudio(CliContext& ctx, MainWindow& window, const AudioRequest& request) {
    AudioState& audio = window.state.audio;
    if (!request.any()) {
        printAudioState(ctx.out, audio, true);
        return kExitOk;
    }
    if (request.test()) {
        if (!audio.rangesRead) {
            ctx.err << "vondrix-cli audio: the phone did not report its ring tone and volume "
                       "ranges (AT^SRTC=? failed)\n";
            return kExitFailed;
        }
        for (const auto& error :
             {outOfRange("--ringtone", request.tone, audio.toneMin, audio.toneMax),
              outOfRange("--volume", request.volume, audio.volumeMin, audio.volumeMax)}) {
            if (error) return commandUsageError(ctx, "audio", *error);
        }
    }

    ErrorWatch reporter(window.reporter);
    AudioControls controls(window.session.engine, reporter, audio);
    bool failed = false;
    if (request.test()) {
        const int tone = request.tone.value_or(audio.ringTone);
        const int volume = request.volume.value_or(audio.volume);
        if (controls.toggleTest(tone, volume)) {
            std::this_thread::sleep_for(std::chrono::seconds(request.seconds));
            controls.toggleTest(tone, volume);  // the Stop press
        } else {
            // The desktop program shows nothing here and leaves its button at
            // "Test"; a script needs to know, so say it.
            ctx.err << "vondrix-cli audio: the phone refused ring tone " << tone << " at volume "
                    << volume << " (AT^SRTC=" << tone << ',' << volume << ")\n";
            failed = true;
        }
    }
    if (request.ringOff) {
        const int before = reporter.errors();
        controls.setRingToneOff(*request.ringOff);
        failed = failed || reporter.errors() != before;
    }
    if (request.handsFree) {
        const int before = reporter.errors();
        controls.setHandsFree(*request.handsFree);
        failed = failed || reporter.errors() != before;
    }
    return failed ? kExitFailed : kExitOk;
}

}  // namespace

std::optional<int> readCommandOptions(CliContext& ctx, const char* command, const char* usage,
                                      const std::vector<std::string>& args,
                                      std::initializer_list<std::string_view> valued,
                                      std::map<std::string, std::string>& values) {
    CommandLine line;
    if (const auto status = readCommandLine(ctx, command, usage, args, valued, {}, line))
        return status;
    if (!line.words.empty())
        return commandUsageError(ctx, command, "unexpected argument '" + line.words.front() + "'");
    values = std::move(line.values);
    return std::nullopt;
}

int commandUsageError(CliContext& ctx, const char* command, const std::string& message) {
    ctx.err << "vondrix-cli " << command << ": " << message << "\n"
            << "Try 'vondrix-cli " << command << " --help'.\n";
    return kExitUsage;
}

void printAudioState(std::ostream& out, const AudioState& audio, bool withRanges) {
    // Without the ranges the desktop program never reads the ring tone, and
    // leaves those fields empty.
    const auto known = [&](const std::string& text) { return audio.rangesRead ? text : ""; };
    const auto yesNo = [](bool b) { return b ? "yes" : "no"; };
    out << "Ring tone: " << known(std::to_string(audio.ringTone)) << '\n'
        << "Volume: " << known(std::to_string(audio.volume)) << '\n'
        << "Ring tone off: " << yesNo(audio.ringOff) << '\n'
        << "Hands-free: " << yesNo(audio.handsFree) << '\n';
    if (!withRanges) return;
    out << "Ring tone range: "
        << known(std::to_string(audio.toneMin) + "-" + std::to_string(audio.toneMax)) << '\n'
        << "Volume range: "
        << known(std::to_string(audio.volumeMin) + "-" + std::to_string(audio.volumeMax)) << '\n';
}

int runClockCommand(CliContext& ctx, const std::vector<std::string>& args) {
    std::map<std::string, std::string> values;
    if (const auto status = readCommandOptions(ctx, "clock", kClockUsage, args, {}, values))
        return *status;
    if (ctx.settings.noModem) return refusedWithNoModem(ctx, "clock");
    return withMainWindow(ctx, [](MainWindow& window) {
        // The time of the button press, after the window has opened.
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        return setPhoneClock(window.session.engine, window.reporter, local) ? kExitOk
                                                                              : kExitFailed;
    });
}

int runOffCommand(CliContext& ctx, const std::vector<std::string>& args) {
    std::map<std::string, std::string> values;
    if (const auto status = readCommandOptions(ctx, "off", kOffUsage, args, {}, values))
        return *status;
    return withMainWindow(ctx, [](MainWindow& window) {
        // A refusal shows no message, as in the desktop program.
        if (!switchPhoneOff(window.session.engine, window.reporter)) return kExitFailed;
        window.phoneListens = false;
        return kExitOk;
    });
}

int runAudioCommand(CliContext& ctx, const std::vector<std::string>& args) {
    std::map<std::string, std::string> values;
    if (const auto status =
            readCommandOptions(ctx, "audio", kAudioUsage, args,
                               {"--ringtone", "--volume", "--seconds", "--ring", "--handsfree"},
                               values)) {
        return *status;
    }
    AudioRequest request;
    if (const auto error = readAudioRequest(values, request))
        return commandUsageError(ctx, "audio", *error);
    if (request.test() && ctx.settings.noModem)
        return refusedWithNoModem(ctx, "the ring tone test");
    return withMainWindow(ctx,
                          [&](MainWindow& window) { return runAudio(ctx, window, request); });
}

}  // namespace vondrix::cli
