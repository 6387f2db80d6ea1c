#pragma once

#include <string>
#include <string_view>

namespace vondrix {

class AtEngine;

// What the phone says about itself and the subscriber.
struct DeviceInfo {
    std::string manufacturer, model, revision, imei, imsi, simSerial;
};

// The query of the ring tone and volume ranges; the command line names it
// when the ranges are missing.
constexpr const char* kRingToneRangesQuery = "AT^SRTC=?";

// Ring tone and audio state read at opening.
struct AudioState {
    bool rangesRead = false;  // kRingToneRangesQuery succeeded
    int toneMin = 0, toneMax = 0;
    int volumeMin = 0, volumeMax = 0;
    int ringTone = 0;  // ring tone number (0: ring tone off)
    int volume = 0;
    bool ringOff = false;
    bool handsFree = false;
    int speakerVolume = 0;  // restored after every hands-free switch
};

// "AT+CGMI", "AT+CGMM", "AT+CGMR", "AT+CGSN": manufacturer, model,
// revision and IMEI, each the last word of its answer. A field whose
// command fails stays empty.
void readIdentity(AtEngine& engine, DeviceInfo& info);
// "AT+CIMI" and "AT^SCID": the subscriber identity (as formatImsi shows
// it) and the SIM's serial number.
void readSubscriber(AtEngine& engine, DeviceInfo& info);

// "AT^SRTC=?", "AT^SRTC?", "AT^SNFS?" and "AT^SNFV?" into the audio state.
void readAudioState(AtEngine& engine, AudioState& audio);

// Subscriber identity as shown: the first five characters, '-', the next ten.
std::string formatImsi(const std::string& imsi);

}  // namespace vondrix
