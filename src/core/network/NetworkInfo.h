#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vondrix {

class AtEngine;

// Battery, registration, reception and operator as the main window shows
// them. A failed transaction leaves its part as it was.
struct NetworkStatus {
    // Battery: "80%" and one of the bitmaps 127..131, lowest to highest.
    std::optional<int> batteryCharge;
    std::string batteryText;
    int batteryBitmap = 0;  // 0: none chosen yet

    std::optional<std::string> registration;  // raw "+CREG" answer, e.g. "0,1"

    // Reception: rssi 0..31 gives "-73 dBm / 0.050 nW" and bitmaps 132..136.
    // 99 ("not known") and other values outside 0..31 are no level at all:
    // signalKnown is false, the text empty, the bitmap the lowest.
    std::optional<int> rssi;
    bool signalKnown = false;
    std::string signalText;
    int signalBitmap = 0;
    int dbm = 0;  // magnitude: the level is -dbm dBm
    int qualityPercent = 0;
    float powerWatts = 0;

    std::optional<std::string> operatorText;  // e.g. 0,0,"D1-TELEKOM", quotes included
};

int batteryBitmapFor(int charge);
int signalBitmapFor(int qualityPercent);
// Fills the reception part of `status` from an rssi value.
void applyRssi(NetworkStatus& status, int rssi);

// Each reads one reply into `status`; a reply without the expected part
// changes nothing.
void applyBatteryReply(NetworkStatus& status, std::string_view reply);       // "AT+CBC"
void applyRegistrationReply(NetworkStatus& status, std::string_view reply);  // "AT+CREG?"
void applySignalReply(NetworkStatus& status, std::string_view reply);        // "AT+CSQ"
void applyOperatorReply(NetworkStatus& status, std::string_view reply);      // "AT+COPS?"

// Runs "AT+CBC", "AT+CREG?", "AT+CSQ" and "AT+COPS?".
void refreshNetworkInfo(AtEngine& engine, NetworkStatus& status);
// Only the operator and registration fields: "AT+COPS?", "AT+CREG?".
void refreshOperatorAndRegistration(AtEngine& engine, NetworkStatus& status);

}  // namespace vondrix
