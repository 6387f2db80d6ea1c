#pragma once

// Registration of the phone's commands, one function per feature file, and
// small helpers shared by the handlers. A new feature adds its register
// function here and one call to it in registerStandardCommands().

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "phonesim/Interpreter.h"

namespace phonesim {

// GSM 07.07 +CME ERROR codes the phonebook and call commands answer with.
namespace cme {
constexpr int kIncorrectPassword = 16;
constexpr int kPin2Required = 17;
constexpr int kMemoryFull = 20;
constexpr int kInvalidIndex = 21;
constexpr int kNotFound = 22;
constexpr int kTextTooLong = 24;
constexpr int kInvalidText = 25;
constexpr int kDialStringTooLong = 26;
constexpr int kInvalidDialString = 27;
}  // namespace cme

// Every command the phone knows.
void registerStandardCommands(CommandTable& table);

// ATZ, ATE, AT+CMEE (BasicCommands.cpp).
void registerBasicCommands(CommandTable& table);
// Identification, battery, network, ring tone, audio, clock, switch-off (DeviceCommands.cpp).
void registerDeviceCommands(CommandTable& table);
// AT+CSMS, AT+CNMI (SmsSettingsCommands.cpp).
void registerSmsSettingsCommands(CommandTable& table);
// Short messages in PDU mode: AT+CMGF, +CMGL, +CMGS, +CMGW, +CMGD, +CPMS, ^SMGO
// (SmsCommands.cpp).
void registerSmsCommands(CommandTable& table);
// Phonebooks, PIN2 and the service centre: AT+CPBS, ^SPBS, +CPBR, +CPBW, ^SPBG,
// +CPIN, +CSCA (PhonebookCommands.cpp). Also makes ATZ forget a given PIN2, so
// it must come after registerBasicCommands().
void registerPhonebookCommands(CommandTable& table);
// Voice calls: ATD with a number, ">" and a location, or "L"; AT+CHUP, AT^SDLD
// (CallCommands.cpp).
void registerCallCommands(CommandTable& table);
// The organizer slots of the object store: AT^SBNR and AT^SBNW with the type
// "vcs" (OrganizerCommands.cpp). Commands for other object types go to the
// AT^SBNR / AT^SBNW handlers registered before it.
void registerOrganizerCommands(CommandTable& table);
// Network and call services: AT+CREG and AT+COPS with location, search and
// selection (replacing the simple ones of registerDeviceCommands), ^SPLM,
// ^SPLR, ^SPLW, +CPAS, +CLCC, +CCFC, +CLCK (NetworkCommands.cpp).
void registerNetworkCommands(CommandTable& table);
// The object store's AT^SBNR and AT^SBNW for the logo ("bmp") and the melody
// ("mid") (ObjectCommands.cpp). Another store may register the same two
// commands before or after it: each registration hands the types it does
// not hold on to the handler registered before it, and a type no store
// holds is refused with "operation not supported".
void registerObjectStoreCommands(CommandTable& table);

// A decimal number without sign, or nothing when `text` is not one or is out of int range.
std::optional<int> parseNumber(std::string_view text);

// The integer values of `params` when each is a plain number within [lo[i], hi[i]];
// nothing when one is not. Absent trailing parameters are allowed from index
// `required` on and are returned as -1.
std::optional<std::vector<int>> numbersInRanges(const std::vector<Param>& params,
                                                const std::vector<int>& lo,
                                                const std::vector<int>& hi, std::size_t required);

// A phone number as the phonebooks and the dial command take it: digits, "*",
// "#", the pause and wait letters "p" and "w" (either case), and "+" in front only.
bool isDialNumber(std::string_view number);

// The type of address a number gets when none is given: 145 with a leading "+", else 129.
int defaultType(std::string_view number);

// True for the phone's clock text "yy/MM/dd,hh:mm:ss" naming a real date and time.
bool isValidClock(std::string_view text);

}  // namespace phonesim
