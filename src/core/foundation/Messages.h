#pragma once

// The names of the catalogue's messages: Reporter::message takes an Id, so a
// call reads message(msg::NoFreeEntry, ...) and a bare number does not
// compile. The numbers are the catalogue's own (1 to 97, 60 unused); the
// program's own messages about the link and files, which the catalogue
// lacks, follow from 101. The enum stays unscoped: the catalogue is looked
// up by number, and tests compare the recorded ids with numbers.

#include "files/Files.h"

namespace vondrix::msg {

enum Id : int {
    TipPhonebook = 1,
    TipSendLogo = 2,
    TipSendMidi = 3,
    TipSwitchOff = 4,
    TipClearRedial = 5,
    TipAvailableNetworks = 6,
    TipPreferredNetworks = 7,
    TipOrganizer = 8,
    TipNetworkInfo = 9,
    TipSyncClock = 10,
    TipPhonebookFunctions = 11,
    TipRightButtonFunctions = 12,
    TipDeleteLogo = 13,
    ReallyDeleteEntry = 14,
    TipShowMessages = 15,
    ComPortNotOpened = 16,
    ClockSyncFailed = 17,
    NotDialled = 18,
    NoCarrier = 19,
    NoDialTone = 20,
    Busy = 21,
    MaxEntriesReached = 22,
    AlreadyInRedbook = 23,
    EntryNotModified = 24,
    ExportFileNotOpened = 25,
    NameTooLong = 26,
    EnterName = 27,
    NumberTooLong = 28,
    EnterNumber = 29,
    TextOver16Characters = 30,
    EnterNumberInDescription = 31,
    NoFreeEntry = 32,
    CalendarEntryNotWritten = 33,
    MessagesNotSent = 34,
    MidiSendFailed = 35,
    FileNotOpened = 36,
    InvalidFileHeader = 37,
    ChooseLogoFile = 38,
    FileSignatureNotRead = 39,
    NotABmpFile = 40,
    BmpSendFailed = 41,
    StatusReceivedUnread = 42,
    StatusReceivedRead = 43,
    StatusStoredUnsent = 44,
    StatusStoredSent = 45,
    EntryNotFound = 46,
    InvalidPin2 = 47,
    Pin2Rejected = 48,
    NewEntryNotWritten = 49,
    EntryNotDeleted = 50,
    ForwardingNotActivated = 51,
    ForwardingNotDeactivated = 52,
    LockNotActivated = 53,
    LockNotDeactivated = 54,
    TitleForwarding = 55,
    TitleBarring = 56,
    NoDeviceFound = 57,
    EnterServiceCentre = 58,
    ServiceCentreNotSet = 59,
    MessageNotStored = 61,
    OperatorUnknown = 62,
    OperatorInUse = 63,
    OperatorNotSelectable = 64,
    OperatorNotSet = 65,
    CaptionCellId = 66,
    CaptionLai = 67,
    LogFileNotOpened = 68,
    ClockSynchronised = 69,
    Farewell = 70,
    LogoReadFailed = 71,
    RingtoneReadFailed = 72,
    EntryAlreadyPresent = 73,
    ReadPhonebookFirst = 74,
    StoreUnsentMessage = 75,
    OverwriteEntries = 76,
    EnterNormalisePrefix = 77,
    MessageListNotRead = 78,
    TipEditEntries = 79,
    ReallyClearPhonebook = 80,
    RingToneOn = 81,
    RingToneNotSet = 82,
    RingToneOff = 83,
    RingToneNotOff = 84,
    HandsFreeOn = 85,
    HandsFreeNotOn = 86,
    HandsFreeOff = 87,
    HandsFreeNotOff = 88,
    ReallyClearOrganizer = 89,
    TipOlderModels = 90,
    SocketNotOpened = 91,
    DeviceSearchFailed = 92,
    SocketNotConfigured = 93,
    ConnectFailed = 94,
    NoNetworkStack = 95,
    ModuleNotLoaded = 96,
    ModuleEntryNotFound = 97,

    // The program's own messages.
    PhoneNotAnswering = 101,        // no answer within the time limit
    LinkLost = 102,                 // the link closed during a transaction
    ReplyUnreadable = 103,          // an answer too long or without a result code
    NotARegularFile = 104,          // a FIFO, device or directory where a file belongs
    FileNotSaved = 105,             // a file could not be written; the old one is kept
    ValueRefused = 106,             // a value holds characters a command line must not carry
    RepliesOutOfStep = 107,         // a reply answered another command; the operation stopped
    EntryUnreadable = 110,          // an organizer slot whose reply cannot be read (a column text)
    PhonebookSizeUnreadable = 111,  // the "AT+CPBR=?" reply holds no range
    AddressTooLong = 115,           // a message recipient of more than 20 digits
    ModuleNotTrusted = 116,         // a communication module that others can change
    FileEmpty = 117,                // an empty file where an object is sent
    DiskFull = 118,                 // no space left: the file was not saved
    // Why a serial device could not be opened.
    DeviceMissing = 120,
    DeviceBusy = 121,
    DeviceNeedsGroup = 122,
    DeviceNoPermission = 123,
    DeviceNotSerial = 124,
    ReadingCancelled = 125,  // Cancel stopped a long read; nothing of it was kept
    // Why a line of a phonebook import was skipped, after "Line N: ".
    ImportLineNoSeparators = 130,
    ImportLineNoApostrophe = 131,
    ImportLinePinCancelled = 132,
    ImportLine = 133,  // "Line"
    // What the desktop program could not do with a file.
    GifNotConverted = 140,  // a GIF read but not turned into the logo's bitmap
    FileReadBroken = 141,   // a file that could not be read to its end
    // The backup, the restore and the vCard and iCalendar imports.
    BackupTargetNotEmpty = 150,  // the backup folder exists and holds something
    BackupNotWritten = 151,      // a file of the backup could not be written
    BackupDone = 152,
    BackupDamaged = 153,  // backup.json missing, unreadable or not matching the manifest
    ConfirmRestore = 154,
    RestoreIncomplete = 155,  // the phone refused a write, or something did not fit
    NoVcardInFile = 156,
    NoEventInFile = 157,
    FileTooLarge = 158,
    RestoreDone = 159,
};

// The message for a file that could not be written: 118 when the disk is
// full, 105 when writing failed, `cannotOpen` when it could not be opened
// or created, and `notRegular` where no regular file belongs.
constexpr Id fileWriteMessage(files::FileError error, Id cannotOpen,
                              Id notRegular = NotARegularFile) {
    switch (error) {
        case files::FileError::NotRegular:
            return notRegular;
        case files::FileError::NoSpace:
            return DiskFull;
        case files::FileError::WriteFailed:
            return FileNotSaved;
        default:
            return cannotOpen;
    }
}

// The message for a file that could not be read: 158 when it holds more
// than its limit, 104 where no regular file belongs, 36 otherwise.
inline Id fileReadMessage(const files::ReadResult& file) {
    if (file.tooLarge)
        return FileTooLarge;
    return file.error == files::FileError::NotRegular ? NotARegularFile : FileNotOpened;
}

}  // namespace vondrix::msg
