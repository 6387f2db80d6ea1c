// Reading the whole phone, the backup folder and backup.json.

#include "session/Backup.h"

#include <algorithm>
#include <cstdio>

#include "files/Files.h"
#include "foundation/CalendarTime.h"
#include "foundation/ForwardingReporter.h"
#include "link/LinkOperation.h"
#include "media/RawObjects.h"
#include "organizer/Export.h"
#include "organizer/VCalendar.h"
#include "phonebook/PhonebookReader.h"
#include "phonebook/Vcard.h"
#include "sms/Replies.h"
#include "text/Hex.h"
#include "text/Latin1.h"
#include "text/Sha256.h"

namespace vondrix {
namespace {

constexpr const char* kPhonebookStores[] = {"SM", "ME", "FD"};

// One progress display over all the stores: each service's own display
// becomes one part of it.
class OneProgress : public ForwardingReporter {
  public:
    OneProgress(Reporter& inner, int parts) : ForwardingReporter(inner) {
        inner.progressBegin(Display::Reading, parts * 100, Task::Reading);
    }
    ~OneProgress() override { inner().progressEnd(); }
    OneProgress(const OneProgress&) = delete;
    OneProgress& operator=(const OneProgress&) = delete;

    void nextPart() {
        ++part_;
        innerTotal_ = 100;
        show(0);
    }
    void progressBegin(Display, int total, Task) override { innerTotal_ = total > 0 ? total : 100; }
    void progressStep(int done) override { show(done); }
    void progressEnd() override {}
    void progressTimes(int, int) override {}

  private:
    void show(int done) {
        const int within = std::clamp(done * 100 / innerTotal_, 0, 100);
        const int value = std::max(part_, 0) * 100 + within;
        if (value > shown_) {
            shown_ = value;
            inner().progressStep(value);
        }
    }
    int part_ = -1;
    int innerTotal_ = 100;
    int shown_ = 0;
};

bool wanted(const std::vector<Store>& stores, Store store) {
    return std::find(stores.begin(), stores.end(), store) != stores.end();
}

std::optional<std::string> bytesOfHex(std::string_view hex) {
    if (hex.size() % 2 != 0)
        return std::nullopt;
    std::string out;
    out.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int hi = hexDigit(hex[i]), lo = hexDigit(hex[i + 1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        out.push_back(static_cast<char>(hi * 16 + lo));
    }
    return out;
}

Json entryJson(const phonebook::PhonebookEntry& e, const char* indexName) {
    Json j = Json::object();
    j.set(indexName, Json(e.index));
    j.set("number", Json(latin1ToUtf8(e.number)));
    j.set("type", Json(e.type));
    j.set("name", Json(latin1ToUtf8(e.name)));
    return j;
}

Json entriesJson(const std::vector<phonebook::PhonebookEntry>& entries, const char* indexName) {
    Json list = Json::array();
    for (const auto& e : entries)
        list.push(entryJson(e, indexName));
    return list;
}

// Reads a whole number member within [lo, hi].
bool readInt(const Json& j, std::string_view name, int lo, int hi, int& out) {
    const Json& v = j[name];
    if (v.type() != Json::Type::Number || v.number() < lo || v.number() > hi)
        return false;
    out = static_cast<int>(v.number());
    return true;
}

bool readText(const Json& j, std::string_view name, std::string& out) {
    const Json& v = j[name];
    if (v.type() != Json::Type::String)
        return false;
    out = utf8ToLatin1(v.string());
    return true;
}

bool readEntries(const Json& list, const char* indexName,
                 std::vector<phonebook::PhonebookEntry>& out) {
    if (list.type() != Json::Type::Array)
        return false;
    for (const Json& j : list.items()) {
        phonebook::PhonebookEntry e;
        if (!readInt(j, indexName, 0, 999999, e.index) || !readText(j, "number", e.number) ||
            !readText(j, "name", e.name) || !readInt(j, "type", 0, 255, e.type))
            return false;
        out.push_back(std::move(e));
    }
    return true;
}

// The manifest's lines "<sha256>  <file>" as sha256sum -c reads them.
std::optional<std::string> manifestChecksum(std::string_view manifest, std::string_view file) {
    std::size_t at = 0;
    while (at < manifest.size()) {
        std::size_t end = manifest.find('\n', at);
        if (end == std::string_view::npos)
            end = manifest.size();
        const std::string_view line = manifest.substr(at, end - at);
        if (line.size() == 64 + 2 + file.size() && line.substr(64, 2) == "  " &&
            line.substr(66) == file)
            return std::string(line.substr(0, 64));
        at = end + 1;
    }
    return std::nullopt;
}

}  // namespace

std::string isoStamp(const std::tm& utc) {
    // Room for any int in each field, so that no value is ever cut.
    char text[80];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec);
    return text;
}

std::tm backupStampNow() {
    return utcCalendar(std::time(nullptr));
}

const PhonebookStoreData* BackupData::phonebook(std::string_view store) const {
    for (const auto& p : phonebooks) {
        if (p.store == store)
            return &p;
    }
    return nullptr;
}

const char* storeName(Store store) {
    switch (store) {
        case Store::Phonebook:
            return "phonebook";
        case Store::OwnNumbers:
            return "own-numbers";
        case Store::Sms:
            return "sms";
        case Store::Organizer:
            return "organizer";
        case Store::Logo:
            return "logo";
        case Store::Ringtone:
            return "ringtone";
    }
    return "";
}

std::optional<Store> storeNamed(std::string_view name) {
    for (const Store s : kAllStores) {
        if (name == storeName(s))
            return s;
    }
    return std::nullopt;
}

std::optional<BackupData> readPhone(Session& session, Reporter& reporter,
                                    const std::vector<Store>& stores) {
    AtEngine& engine = session.engine;
    LinkOperation operation(engine, reporter);
    OneProgress progress(reporter, 7);
    BackupData data;

    // A model of our own: the phonebook window's tables stay as they are.
    phonebook::PhonebookModel model;
    phonebook::PhonebookReader book(engine, progress, session.settings, model);
    if (wanted(stores, Store::Phonebook)) {
        for (const char* store : kPhonebookStores) {
            progress.nextPart();
            const phonebook::Kind kind = store[0] == 'S'   ? phonebook::Kind::Sim
                                         : store[0] == 'M' ? phonebook::Kind::Internal
                                                           : phonebook::Kind::Fixed;
            model.current = phonebook::CurrentPhonebook::unread(kind);
            // A phone without this phonebook refuses its selection: it has
            // nothing to keep.
            if (!book.selectCurrent()) {
                if (operation.failed())
                    return std::nullopt;
                continue;
            }
            if (!book.readCurrent(Reporter::Display::PhonebookBar) || !model.current.complete)
                return std::nullopt;
            PhonebookStoreData p;
            p.store = store;
            p.range = model.current.range;
            for (std::size_t i = 0; i < model.current.entries.size(); ++i) {
                if (!model.current.isDeleted(i))
                    p.entries.push_back(model.current.entries[i]);
            }
            std::stable_sort(p.entries.begin(), p.entries.end(),
                             [](const auto& a, const auto& b) { return a.index < b.index; });
            data.phonebooks.push_back(std::move(p));
        }
    } else {
        progress.nextPart(), progress.nextPart(), progress.nextPart();
    }

    progress.nextPart();
    if (wanted(stores, Store::OwnNumbers)) {
        data.ownNumbersRead = book.readOwnNumbers();
        for (std::size_t i = 0; i < model.ownNumbers.size(); ++i) {
            if (!model.ownNumbers[i].empty())
                data.ownNumbers.push_back({static_cast<int>(i + 1), model.ownNumbers[i],
                                           phonebook::numberType(model.ownNumbers[i]), ""});
        }
    }
    if (wanted(stores, Store::Phonebook)) {
        book.readRedbook();
        book.readCallLists();
        data.redbook = model.redbook;
        data.dialled = model.dialled.calls;
        data.missed = model.missed.calls;
        data.received = model.received.calls;
    }
    if (operation.failed())
        return std::nullopt;

    progress.nextPart();
    if (wanted(stores, Store::Sms)) {
        auto messages = sms::readRawMessages(engine, progress);
        if (!messages)
            return std::nullopt;
        std::sort(messages->begin(), messages->end(),
                  [](const auto& a, const auto& b) { return a.index < b.index; });
        data.messages = std::move(*messages);
        if (const AtEngine::Result cpms = engine.standard("AT+CPMS?")) {
            if (const auto counts = sms::parseCpmsQuery(cpms.raw))
                data.smsCapacity = counts->capacity;
        }
    }

    progress.nextPart();
    if (wanted(stores, Store::Organizer)) {
        auto slots = organizer::readRawSlots(engine, progress);
        if (!slots)
            return std::nullopt;
        data.organizer = std::move(*slots);
    }

    progress.nextPart();
    if (wanted(stores, Store::Logo)) {
        auto logo = media::readRawObject(engine, media::ObjectKind::Logo);
        if (!logo)
            return std::nullopt;
        if (!logo->empty())
            data.logo = std::move(*logo);
    }
    progress.progressStep(50);
    if (wanted(stores, Store::Ringtone)) {
        auto tone = media::readRawObject(engine, media::ObjectKind::Ringtone);
        if (!tone)
            return std::nullopt;
        if (!tone->empty())
            data.ringtone = std::move(*tone);
    }
    progress.progressStep(100);
    if (operation.failed())
        return std::nullopt;
    return data;
}

Json backupJson(const BackupData& data) {
    Json root = Json::object();
    root.set("format", "vondrix-backup");
    root.set("version", Json(kBackupVersion));
    root.set("created", Json(data.created));
    Json device = Json::object();
    device.set("manufacturer", Json(latin1ToUtf8(data.device.manufacturer)));
    device.set("model", Json(latin1ToUtf8(data.device.model)));
    device.set("revision", Json(latin1ToUtf8(data.device.revision)));
    device.set("imei", Json(latin1ToUtf8(data.device.imei)));
    device.set("imsi", Json(latin1ToUtf8(data.device.imsi)));
    device.set("simSerial", Json(latin1ToUtf8(data.device.simSerial)));
    root.set("device", std::move(device));

    Json books = Json::array();
    for (const auto& p : data.phonebooks) {
        Json j = Json::object();
        j.set("store", Json(p.store));
        j.set("first", Json(p.range.first));
        j.set("highest", Json(p.range.highest));
        j.set("numberLength", Json(p.range.numberLength));
        j.set("textLength", Json(p.range.textLength));
        j.set("entries", entriesJson(p.entries, "location"));
        books.push(std::move(j));
    }
    root.set("phonebooks", std::move(books));
    Json own = Json::array();
    for (const auto& e : data.ownNumbers) {
        Json j = Json::object();
        j.set("location", Json(e.index));
        j.set("number", Json(latin1ToUtf8(e.number)));
        own.push(std::move(j));
    }
    root.set("ownNumbers", data.ownNumbersRead ? std::move(own) : Json());
    root.set("redbook", entriesJson(data.redbook, "position"));
    Json calls = Json::object();
    calls.set("LD", entriesJson(data.dialled, "location"));
    calls.set("MC", entriesJson(data.missed, "location"));
    calls.set("RC", entriesJson(data.received, "location"));
    root.set("callLists", std::move(calls));

    Json messages = Json::array();
    for (const auto& m : data.messages) {
        Json j = Json::object();
        j.set("index", Json(m.index));
        j.set("status", Json(m.status));
        j.set("pdu", Json(m.pdu));
        const sms::DecodedMessage d = sms::decodeEntry(m.status, m.pdu, sms::CodecSettings{});
        j.set("number", Json(latin1ToUtf8(d.number)));
        j.set("date", Json(latin1ToUtf8(d.date)));
        j.set("text", Json(latin1ToUtf8(d.text.substr(std::min(d.headerChars, d.text.size())))));
        messages.push(std::move(j));
    }
    root.set("messages", std::move(messages));
    Json slots = Json::array();
    for (const auto& s : data.organizer) {
        Json j = Json::object();
        j.set("slot", Json(s.slot));
        j.set("object", Json(latin1ToUtf8(s.object)));
        slots.push(std::move(j));
    }
    root.set("organizer", std::move(slots));
    const auto object = [](const std::optional<std::string>& bytes) {
        if (!bytes)
            return Json();
        Json j = Json::object();
        j.set("hex", Json(hexText(*bytes)));
        return j;
    };
    root.set("logo", object(data.logo));
    root.set("ringtone", object(data.ringtone));
    return root;
}

std::optional<BackupData> backupFromJson(const Json& json, std::string* error) {
    const auto fail = [&](const std::string& why) -> std::optional<BackupData> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    if (json["format"].string() != "vondrix-backup")
        return fail("not a Vondrix backup");
    if (json["version"].type() != Json::Type::Number || json["version"].number() < 1 ||
        json["version"].number() > kBackupVersion)
        return fail("a backup format this program does not know");
    BackupData data;
    data.created = json["created"].string();
    const Json& device = json["device"];
    readText(device, "manufacturer", data.device.manufacturer);
    readText(device, "model", data.device.model);
    readText(device, "revision", data.device.revision);
    readText(device, "imei", data.device.imei);
    readText(device, "imsi", data.device.imsi);
    readText(device, "simSerial", data.device.simSerial);

    for (const Json& j : json["phonebooks"].items()) {
        PhonebookStoreData p;
        p.store = j["store"].string();
        if (p.store != "SM" && p.store != "ME" && p.store != "FD")
            return fail("unknown phonebook " + p.store);
        if (!readInt(j, "first", 0, 999999, p.range.first) ||
            !readInt(j, "highest", 0, 999999, p.range.highest) ||
            !readInt(j, "numberLength", 0, 999, p.range.numberLength) ||
            !readInt(j, "textLength", 0, 999, p.range.textLength) ||
            !readEntries(j["entries"], "location", p.entries))
            return fail("phonebook " + p.store + " damaged");
        data.phonebooks.push_back(std::move(p));
    }
    data.ownNumbersRead = !json["ownNumbers"].isNull();
    for (const Json& j : json["ownNumbers"].items()) {
        phonebook::PhonebookEntry e;
        if (!readInt(j, "location", 1, 999, e.index) || !readText(j, "number", e.number))
            return fail("own numbers damaged");
        e.type = phonebook::numberType(e.number);
        data.ownNumbers.push_back(std::move(e));
    }
    if (!json["redbook"].isNull() && !readEntries(json["redbook"], "position", data.redbook))
        return fail("Redbook damaged");
    const Json& calls = json["callLists"];
    for (const auto& [code, list] : {std::pair{"LD", &data.dialled}, std::pair{"MC", &data.missed},
                                     std::pair{"RC", &data.received}}) {
        if (!calls[code].isNull() && !readEntries(calls[code], "location", *list))
            return fail(std::string("call list ") + code + " damaged");
    }
    for (const Json& j : json["messages"].items()) {
        sms::RawMessage m;
        if (!readInt(j, "index", 0, 999999, m.index) || !readInt(j, "status", 0, 3, m.status) ||
            j["pdu"].type() != Json::Type::String)
            return fail("messages damaged");
        m.pdu = j["pdu"].string();
        data.messages.push_back(std::move(m));
    }
    for (const Json& j : json["organizer"].items()) {
        organizer::RawSlot s;
        if (!readInt(j, "slot", 1, organizer::kSlots, s.slot) || !readText(j, "object", s.object))
            return fail("organizer damaged");
        data.organizer.push_back(std::move(s));
    }
    for (const auto& [name, target] :
         {std::pair{"logo", &data.logo}, std::pair{"ringtone", &data.ringtone}}) {
        const Json& j = json[name];
        if (j.isNull())
            continue;
        auto bytes = bytesOfHex(j["hex"].string());
        if (!bytes)
            return fail(std::string(name) + " damaged");
        *target = std::move(*bytes);
    }
    return data;
}

std::vector<std::pair<std::string, std::string>> backupFiles(const BackupData& data,
                                                             const std::tm& stampUtc) {
    std::vector<std::pair<std::string, std::string>> files;

    std::vector<phonebook::StoredEntry> contacts;
    for (const auto& p : data.phonebooks) {
        for (const auto& e : p.entries)
            contacts.push_back({p.store, e});
    }
    files.emplace_back(backupfile::kContacts, phonebook::vcard30Text(contacts));

    organizer::OrganizerList list;
    std::vector<organizer::Row> rows;
    for (const auto& s : data.organizer)
        rows.push_back(organizer::rowFromObject(s.slot, s.object));
    list.assign(std::move(rows), true);
    files.emplace_back(backupfile::kOrganizer, organizer::icalendarText(list, stampUtc));

    const std::int64_t nowMs = static_cast<std::int64_t>(utcMoment(stampUtc)) * 1000;
    const std::vector<sms::MessageRow> rowsOfMessages = sms::archiveRows(data.messages);
    files.emplace_back(backupfile::kMessagesXml, sms::smsBackupXml(rowsOfMessages, nowMs));
    files.emplace_back(backupfile::kMessagesMbox, sms::mboxText(rowsOfMessages, nowMs));
    files.emplace_back(backupfile::kData, backupJson(data).dump());

    std::string manifest = "# Vondrix backup, format " + std::to_string(kBackupVersion) +
                           ", created " + data.created + "\n";
    const auto count = [&](const std::string& what, std::size_t n) {
        manifest += "# " + what + ": " + std::to_string(n) + "\n";
    };
    for (const char* store : kPhonebookStores) {
        const PhonebookStoreData* p = data.phonebook(store);
        count(std::string("phonebook ") + store, p ? p->entries.size() : 0);
    }
    count("own numbers", data.ownNumbers.size());
    count("redbook", data.redbook.size());
    count("dialled calls", data.dialled.size());
    count("missed calls", data.missed.size());
    count("received calls", data.received.size());
    count("messages", data.messages.size());
    count("organizer", data.organizer.size());
    count("logo", data.logo ? 1 : 0);
    count("ringtone", data.ringtone ? 1 : 0);
    for (const auto& [name, content] : files)
        manifest += sha256Hex(content) + "  " + name + "\n";
    files.emplace_back(backupfile::kManifest, std::move(manifest));
    return files;
}

bool writeBackupFolder(const std::string& folder, const BackupData& data, const std::tm& stampUtc,
                       Reporter& reporter) {
    if (folder.empty() || files::folderTargetFree(folder) != files::FileError::None) {
        reporter.message(msg::BackupTargetNotEmpty, Caption::Error);
        return false;
    }
    const auto aside = files::createFolderBeside(folder);
    if (!aside) {
        reporter.message(msg::BackupNotWritten, Caption::Error);
        return false;
    }
    for (const auto& [name, content] : backupFiles(data, stampUtc)) {
        if (files::replaceFileAtomically(*aside + "/" + name, content) != files::FileError::None) {
            files::removeFolder(*aside);
            reporter.message(msg::BackupNotWritten, Caption::Error);
            return false;
        }
    }
    if (files::publishFolder(*aside, folder) != files::FileError::None) {
        files::removeFolder(*aside);
        reporter.message(msg::BackupNotWritten, Caption::Error);
        return false;
    }
    return true;
}

BackupResult backupPhone(Session& session, Reporter& reporter, const std::string& folder,
                         const DeviceInfo& device, const std::tm& stampUtc, BackupData* written) {
    if (folder.empty() || files::folderTargetFree(folder) != files::FileError::None) {
        reporter.message(msg::BackupTargetNotEmpty, Caption::Error);
        return BackupResult::TargetNotFree;
    }
    auto data = readPhone(session, reporter);
    if (!data)
        return BackupResult::ReadFailed;
    data->created = isoStamp(stampUtc);
    data->device = device;
    if (!writeBackupFolder(folder, *data, stampUtc, reporter))
        return BackupResult::WriteFailed;
    reporter.message(msg::BackupDone, Caption::Info);
    if (written)
        *written = std::move(*data);
    return BackupResult::Written;
}

std::optional<BackupData> readBackupFolder(const std::string& folder, Reporter& reporter) {
    const auto damaged = [&]() -> std::optional<BackupData> {
        reporter.message(msg::BackupDamaged, Caption::Error);
        return std::nullopt;
    };
    const files::ReadResult manifest =
        files::readRegularFile(folder + "/" + backupfile::kManifest, kMaxBackupFile);
    const files::ReadResult json =
        files::readRegularFile(folder + "/" + backupfile::kData, kMaxBackupFile);
    if (!manifest.ok() || !json.ok())
        return damaged();
    const auto sum = manifestChecksum(manifest.content, backupfile::kData);
    if (!sum || *sum != sha256Hex(json.content))
        return damaged();
    const auto document = Json::parse(json.content);
    if (!document)
        return damaged();
    auto data = backupFromJson(*document);
    if (!data)
        return damaged();
    return data;
}

}  // namespace vondrix
