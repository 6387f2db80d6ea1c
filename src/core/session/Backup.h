#pragma once

// The whole phone at once: every store read into one record, written as a
// backup folder (contacts.vcf, organizer.ics, messages.xml, messages.mbox,
// backup.json and a manifest), and read back from one for the restore.
//
// backup.json (format "vondrix-backup", version 1) holds everything the
// restore needs, texts in UTF-8 (the phone's PC characters converted):
//   format, version, created (UTC, ISO 8601),
//   device {manufacturer, model, revision, imei, imsi, simSerial},
//   phonebooks [{store "SM"|"ME"|"FD", first, highest, numberLength,
//                textLength, entries [{location, number, type, name}]}],
//   ownNumbers [{location, number}] (null when the phone did not give them),
//   redbook [{position, number, type, name}],
//   callLists {LD, MC, RC: [{location, number, type, name}]},
//   messages [{index, status, pdu, number, date, text}]   (pdu as listed;
//             number, date and text decoded, for reading only),
//   organizer [{slot, object}]   (the raw vCalendar object),
//   logo, ringtone: {hex} or null (the object's bytes, upper-case hex).
// A reader refuses another format or a higher version.

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "device/Device.h"
#include "foundation/Reporter.h"
#include "organizer/RawObjects.h"
#include "phonebook/Phonebook.h"
#include "session/Session.h"
#include "sms/Archive.h"
#include "text/Json.h"

namespace vondrix {

constexpr int kBackupVersion = 1;
// The largest backup.json or manifest read back.
constexpr std::size_t kMaxBackupFile = 16 * 1024 * 1024;

// The file names inside a backup folder.
namespace backupfile {
constexpr const char* kContacts = "contacts.vcf";
constexpr const char* kOrganizer = "organizer.ics";
constexpr const char* kMessagesXml = "messages.xml";
constexpr const char* kMessagesMbox = "messages.mbox";
constexpr const char* kData = "backup.json";
constexpr const char* kManifest = "manifest";
}  // namespace backupfile

struct PhonebookStoreData {
    std::string store;  // "SM", "ME", "FD"
    phonebook::Range range;
    std::vector<phonebook::PhonebookEntry> entries;  // by location
};

struct BackupData {
    std::string created;  // "YYYY-MM-DDThh:mm:ssZ"
    DeviceInfo device;
    std::vector<PhonebookStoreData> phonebooks;
    std::vector<phonebook::PhonebookEntry> ownNumbers;  // index and number
    // False when the phone did not give its own numbers: the backup then
    // holds none ("ownNumbers": null) and a restore leaves the phone's alone.
    bool ownNumbersRead = true;
    std::vector<phonebook::PhonebookEntry> redbook;
    std::vector<phonebook::PhonebookEntry> dialled, missed, received;
    std::vector<sms::RawMessage> messages;
    int smsCapacity = 0;  // of the message memory ("AT+CPMS?"); 0 when not known
    std::vector<organizer::RawSlot> organizer;
    std::optional<std::string> logo, ringtone;  // bytes; nothing: the phone gave none

    const PhonebookStoreData* phonebook(std::string_view store) const;
};

// The stores of a restore, each one separately selectable.
enum class Store { Phonebook, OwnNumbers, Sms, Organizer, Logo, Ringtone };
constexpr Store kAllStores[] = {Store::Phonebook, Store::OwnNumbers, Store::Sms,
                                Store::Organizer, Store::Logo,       Store::Ringtone};
const char* storeName(Store store);  // "phonebook", "own-numbers", "sms", ...
std::optional<Store> storeNamed(std::string_view name);

// "YYYY-MM-DDThh:mm:ssZ" of a UTC time, as `created` holds it.
std::string isoStamp(const std::tm& utc);
// The time of a backup made now, in UTC: the stamp its files carry.
std::tm backupStampNow();

// Reads every store through the services, with one progress display over
// all of them. Nothing when the link fails (its message follows) or a
// store the phone has could not be read completely. `stores` limits the
// reading (the restore reads only what it compares).
std::optional<BackupData> readPhone(Session& session, Reporter& reporter,
                                    const std::vector<Store>& stores = {std::begin(kAllStores),
                                                                        std::end(kAllStores)});

// backup.json's document for `data`, and back. fromJson gives nothing (and
// the reason) for another format, a higher version or fields of the wrong kind.
Json backupJson(const BackupData& data);
std::optional<BackupData> backupFromJson(const Json& json, std::string* error = nullptr);

// The files of a backup folder, name and content, the manifest last.
std::vector<std::pair<std::string, std::string>> backupFiles(const BackupData& data,
                                                             const std::tm& stampUtc);

// Writes the backup folder `folder`, which must not exist or be empty
// (message 150 otherwise): all files go into a fresh folder beside it,
// which takes its name only when every file is complete; a failure
// (message 151) leaves no folder behind.
bool writeBackupFolder(const std::string& folder, const BackupData& data, const std::tm& stampUtc,
                       Reporter& reporter);

// The backup command of the main window and the command line: checks the
// folder (message 150), reads the phone, then writes the folder (message 152
// when done). Nothing is written when the reading fails.
enum class BackupResult { Written, TargetNotFree, ReadFailed, WriteFailed };
BackupResult backupPhone(Session& session, Reporter& reporter, const std::string& folder,
                         const DeviceInfo& device, const std::tm& stampUtc,
                         BackupData* written = nullptr);

// Reads backup.json of `folder` after checking it against the manifest's
// checksum; message 153 for a missing, damaged or changed backup.
std::optional<BackupData> readBackupFolder(const std::string& folder, Reporter& reporter);

}  // namespace vondrix
