#pragma once

#include <string>
#include <string_view>

#include "network/NetworkInfo.h"

namespace vondrix {

class AtEngine;
struct Settings;

// What the phone says about itself and the subscriber.
struct DeviceInfo {
    std::string manufacturer, model, revision, imei, imsi, simSerial;
};

// Ring tone and audio state read at opening.
struct AudioState {
    bool rangesRead = false;  // "AT^SRTC=?" succeeded
    int toneMin = 0, toneMax = 0;
    int volumeMin = 0, volumeMax = 0;
    int ringTone = 0;  // ring tone number (0: ring tone off)
    int volume = 0;
    bool ringOff = false;
    bool handsFree = false;
    int speakerVolume = 0;  // restored after every hands-free switch
};

// Every field of the main window. Fields whose transaction failed stay empty.
struct MainWindowState {
    DeviceInfo device;
    NetworkStatus network;
    AudioState audio;
};

// The main window's opening traffic: configure the phone (extended errors
// off, message service, optional status-report routing), then device
// information, network information, subscriber, SIM and audio state.
MainWindowState runOpeningSequence(AtEngine& engine, const Settings& settings);

// "AT^SRTC=?" and "AT^SRTC?" replies into the audio state.
void applyToneRangesReply(AudioState& audio, std::string_view reply);
void applyRingToneReply(AudioState& audio, std::string_view reply);

// Subscriber identity as shown: the first five characters, '-', the next ten.
std::string formatImsi(const std::string& imsi);

}  // namespace vondrix
