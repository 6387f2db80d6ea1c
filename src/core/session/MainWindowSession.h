#pragma once

#include <string>
#include <string_view>

#include "device/Device.h"
#include "network/NetworkInfo.h"

namespace vondrix {

class AtEngine;
struct Settings;

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

}  // namespace vondrix
