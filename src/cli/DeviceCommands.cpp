// "info", "clock", "off" and "audio": the main window's device commands on
// the command line, with the desktop program's phone traffic and messages.

#include <chrono>
#include <ctime>
#include <ostream>
#include <thread>

#include "cli/Cli.h"
#include "cli/Json.h"
#include "device/DeviceCommands.h"
#include "foundation/CalendarTime.h"
#include "text/Latin1.h"

namespace vondrix::cli {

namespace {

constexpr const char* kInfoHelp = R"(Runs the main window's opening traffic and prints each field as
'Label: value'. A field whose command failed is printed empty.

Exit status: 0 success, 1 the phone stopped answering or FILE could not be
written, 2 usage error, 3 no link to the phone.
)";

const std::string kClockHelp =
    std::string(R"(Sets the phone's clock from this computer's local time ()") + kClockCommand +
    R"().
Exit status: 0 clock set, 1 the phone refused the time, 2 usage error,
3 no link to the phone.
)";

const std::string kOffHelp = std::string(R"(Switches the phone off ()") + kSwitchOffCommand + R"().
Exit status: 0 switched off, 1 the phone refused, 2 usage error,
3 no link to the phone.
)";

constexpr const char* kAudioHelp =
    R"(Without options, prints the ring tone, the ring volume, whether the ring tone
is off, whether hands-free is on, and the ranges the phone allows (--json:
as one JSON object).

N and V must lie in the ranges the phone reports. Options run in the order
test, ring, hands-free; each runs even when an earlier one failed.
Exit status: 0 success, 1 a command failed, 2 usage error,
3 no link to the phone.
)";

constexpr int kMaxTestSeconds = 3600;

// The desktop program disables the clock and ring tone test buttons when
// NoModem is set; the command line keeps to that.
int refusedWithNoModem(const Invocation& inv, const char* what) {
    inv.ctx.err << "vondrix-cli: " << what << " is not available while NoModem is set in "
                << inv.ctx.ini.path() << '\n';
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
std::optional<std::string> readAudioRequest(const CommandLine& line, AudioRequest& request) {
    for (const auto& [name, value] : line.values) {
        if (name == "--ringtone" || name == "--volume") {
            const auto n = numberInRange(value, 0, 999999);
            if (!n)
                return name + " needs a whole number, not '" + value + "'";
            (name == "--ringtone" ? request.tone : request.volume) = n;
        } else if (name == "--seconds") {
            const auto n = numberInRange(value, 0, kMaxTestSeconds);
            if (!n) {
                return "--seconds needs a whole number from 0 to " +
                       std::to_string(kMaxTestSeconds) + ", not '" + value + "'";
            }
            request.seconds = *n;
            request.secondsGiven = true;
        } else {
            const auto on = onOffValue(value);
            if (!on)
                return name + " needs 'on' or 'off', not '" + value + "'";
            if (name == "--ring")
                request.ringOff = !*on;
            else
                request.handsFree = *on;
        }
    }
    if (request.secondsGiven && !request.test())
        return "--seconds only goes with --ringtone or --volume";
    return std::nullopt;
}

// Checks a test value against the range read at opening.
std::optional<std::string> outOfRange(const char* name, const std::optional<int>& value, int lo,
                                      int hi) {
    if (!value || (*value >= lo && *value <= hi))
        return std::nullopt;
    return std::string(name) + " must lie in the phone's range " + std::to_string(lo) + "-" +
           std::to_string(hi) + ", not " + std::to_string(*value);
}

void printAudioJson(JsonWriter& j, const AudioState& audio) {
    const auto known = [&](int v) -> JsonWriter& {
        return audio.rangesRead ? j.value(v) : j.null();
    };
    j.key("ringTone");
    known(audio.ringTone);
    j.key("volume");
    known(audio.volume);
    j.key("ringToneOff").value(audio.ringOff);
    j.key("handsFree").value(audio.handsFree);
}

int runAudio(Invocation& inv, const AudioRequest& request) {
    AudioState& audio = inv.main->state().audio;
    if (!request.any()) {
        if (inv.line.has("--json")) {
            JsonWriter j(inv.ctx.out);
            j.beginObject();
            printAudioJson(j, audio);
            j.key("ringToneRange");
            if (audio.rangesRead)
                j.beginArray().value(audio.toneMin).value(audio.toneMax).endArray();
            else
                j.null();
            j.key("volumeRange");
            if (audio.rangesRead)
                j.beginArray().value(audio.volumeMin).value(audio.volumeMax).endArray();
            else
                j.null();
            j.endObject().finish();
        } else {
            printAudioState(inv.ctx.out, audio, true);
        }
        return kExitOk;
    }
    if (request.test()) {
        if (!audio.rangesRead) {
            inv.ctx.err << "vondrix-cli audio: the phone did not report its ring tone and volume "
                           "ranges ("
                        << kRingToneRangesQuery << " failed)\n";
            return kExitFailed;
        }
        for (const auto& error :
             {outOfRange("--ringtone", request.tone, audio.toneMin, audio.toneMax),
              outOfRange("--volume", request.volume, audio.volumeMin, audio.volumeMax)}) {
            if (error)
                return inv.usageError(*error);
        }
    }

    AudioControls& controls = inv.main->audio();
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
            inv.ctx.err << "vondrix-cli audio: the phone refused ring tone " << tone
                        << " at volume " << volume << " (" << ringToneTestCommand(tone, volume)
                        << ")\n";
            failed = true;
        }
    }
    if (request.ringOff) {
        const auto before = inv.reporter->tally();
        controls.setRingToneOff(*request.ringOff);
        failed = failed || inv.errorShownSince(before);
    }
    if (request.handsFree) {
        const auto before = inv.reporter->tally();
        controls.setHandsFree(*request.handsFree);
        failed = failed || inv.errorShownSince(before);
    }
    return failed ? kExitFailed : kExitOk;
}

int runInfo(Invocation& inv) {
    const std::string* csv = inv.line.value("--csv");
    if (csv && csv->empty())
        return inv.usageError("--csv needs a file name");
    return inv.withSession([&] {
        const MainWindowState& s = inv.main->state();
        std::ostream& out = inv.ctx.out;
        if (inv.line.has("--json")) {
            JsonWriter j(out);
            j.beginObject();
            const auto field = [&](const char* name, const std::string& latin1) {
                j.key(name).value(latin1ToUtf8(latin1));
            };
            field("manufacturer", s.device.manufacturer);
            field("model", s.device.model);
            field("revision", s.device.revision);
            field("imei", s.device.imei);
            field("imsi", s.device.imsi);
            field("simSerial", s.device.simSerial);
            j.key("battery");
            if (s.network.batteryCharge)
                j.value(*s.network.batteryCharge);
            else
                j.null();
            field("registration", s.network.registration.value_or(""));
            j.key("signal");
            if (s.network.rssi && s.network.signalKnown)
                j.value(-s.network.dbm);
            else
                j.null();
            field("operator", s.network.operatorText.value_or(""));
            printAudioJson(j, s.audio);
            j.endObject().finish();
        } else {
            const auto line = [&](const char* label, const std::string& latin1) {
                out << label << ": " << escapedText(latin1) << '\n';
            };
            line("Manufacturer", s.device.manufacturer);
            line("Model", s.device.model);
            line("Revision", s.device.revision);
            line("IMEI", s.device.imei);
            line("IMSI", s.device.imsi);
            line("SIM serial", s.device.simSerial);
            line("Battery", s.network.batteryText);
            line("Registration", s.network.registration.value_or(""));
            line("Signal",
                 s.network.rssi && !s.network.signalKnown ? "unknown" : s.network.signalText);
            line("Operator", s.network.operatorText.value_or(""));
            printAudioState(out, s.audio, false);
        }
        out.flush();
        if (csv && !inv.main->saveDeviceInformation(*csv, s.device))
            return kExitFailed;
        return kExitOk;
    });
}

int runClock(Invocation& inv) {
    if (inv.ctx.settings.noModem)
        return refusedWithNoModem(inv, "clock");
    return inv.withSession([&] {
        // The time of the button press, after the window has opened.
        const std::tm local = localCalendar(std::time(nullptr));
        return inv.main->setClock(local) ? kExitOk : kExitFailed;
    });
}

int runOff(Invocation& inv) {
    return inv.withSession([&] {
        // A refusal shows no message, as in the desktop program.
        return inv.main->switchOff() ? kExitOk : kExitFailed;
    });
}

int runAudioCommand(Invocation& inv) {
    AudioRequest request;
    if (const auto error = readAudioRequest(inv.line, request))
        return inv.usageError(*error);
    if (request.test() && inv.ctx.settings.noModem)
        return refusedWithNoModem(inv, "the ring tone test");
    if (request.any() && inv.line.has("--json"))
        return inv.usageError("--json only goes with no other option");
    return inv.withSession([&] { return runAudio(inv, request); });
}

}  // namespace

void printAudioState(std::ostream& out, const AudioState& audio, bool withRanges) {
    // Without the ranges the desktop program never reads the ring tone, and
    // leaves those fields empty.
    const auto known = [&](const std::string& text) { return audio.rangesRead ? text : ""; };
    const auto yesNo = [](bool b) { return b ? "yes" : "no"; };
    out << "Ring tone: " << known(std::to_string(audio.ringTone)) << '\n'
        << "Volume: " << known(std::to_string(audio.volume)) << '\n'
        << "Ring tone off: " << yesNo(audio.ringOff) << '\n'
        << "Hands-free: " << yesNo(audio.handsFree) << '\n';
    if (!withRanges)
        return;
    out << "Ring tone range: "
        << known(std::to_string(audio.toneMin) + "-" + std::to_string(audio.toneMax)) << '\n'
        << "Volume range: "
        << known(std::to_string(audio.volumeMin) + "-" + std::to_string(audio.volumeMax)) << '\n';
}

std::vector<CommandEntry> deviceCommands() {
    return {
        {"info",
         "show the phone's device, network and audio information",
         {""},
         kInfoHelp,
         {{"--csv", "FILE",
           "afterwards append the device information (a header line and a line with serial "
           "number, revision and SIM serial number) to FILE, as the desktop program's \"save "
           "device information\" does"},
          {"--json", "", "print the fields as one JSON object instead"}},
         0,
         0,
         Needs::MainWindow,
         false,
         runInfo},
        {"clock",
         "set the phone's clock from this computer's clock",
         {""},
         kClockHelp.c_str(),
         {},
         0,
         0,
         Needs::MainWindow,
         false,
         runClock},
        {"off",
         "switch the phone off",
         {""},
         kOffHelp.c_str(),
         {},
         0,
         0,
         Needs::MainWindow,
         false,
         runOff},
        {"audio",
         "show or change ring tone, volume and hands-free",
         {""},
         kAudioHelp,
         {{"--ringtone", "N",
           "test ring tone N: set it with the volume and play it, as the Test button does "
           "(without --volume: current volume)"},
          {"--volume", "V",
           "test the ring tone at volume V (without --ringtone: the current ring tone)"},
          {"--seconds", "S", "play the test for S seconds, 0 to 3600 (default 3), then stop it"},
          {"--ring", "on|off",
           "switch the ring tone off, or on again (the ring tone read from the phone, or the one "
           "just tested)"},
          {"--handsfree", "on|off", "switch hands-free mode on or off"},
          {"--json", "", "print the state as one JSON object (only without other options)"}},
         0,
         0,
         Needs::MainWindow,
         false,
         runAudioCommand},
    };
}

}  // namespace vondrix::cli
