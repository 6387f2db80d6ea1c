#include "session/Restore.h"

#include <algorithm>
#include <map>

#include "link/Command.h"
#include "link/LinkOperation.h"
#include "media/RawObjects.h"
#include "organizer/VCalendar.h"
#include "phonebook/PhonebookWriter.h"
#include "text/Latin1.h"

namespace vondrix {
namespace {

using Action = RestoreChange::Action;

std::string shown(const phonebook::PhonebookEntry& e) {
    return "\"" + latin1ToUtf8(e.name) + "\" " + latin1ToUtf8(e.number);
}

std::string messageSummary(const sms::RawMessage& m) {
    static const char* const kStatus[] = {"received unread", "received read", "stored unsent",
                                          "stored sent"};
    const sms::DecodedMessage d = sms::decodeEntry(m.status, m.pdu, sms::CodecSettings{});
    std::string text = d.text.substr(std::min(d.headerChars, d.text.size()), 20);
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20)
            c = ' ';
    }
    return std::string(kStatus[std::clamp(m.status, 0, 3)]) + ", " + latin1ToUtf8(d.number) +
           ", \"" + latin1ToUtf8(text) + "\"";
}

std::string slotSummary(const organizer::RawSlot& s) {
    const organizer::Row row = organizer::rowFromObject(s.slot, s.object);
    return row.date + " " + row.time + " \"" + latin1ToUtf8(row.description) + "\"";
}

bool wanted(const std::vector<Store>& stores, Store store) {
    return std::find(stores.begin(), stores.end(), store) != stores.end();
}

phonebook::Kind kindOf(const std::string& store) {
    return store == "SM"   ? phonebook::Kind::Sim
           : store == "ME" ? phonebook::Kind::Internal
                           : phonebook::Kind::Fixed;
}

void planPhonebooks(const BackupData& backup, const BackupData& phone, RestorePlan& plan) {
    for (const PhonebookStoreData& saved : backup.phonebooks) {
        const PhonebookStoreData* now = phone.phonebook(saved.store);
        const auto add = [&](Action action, const phonebook::PhonebookEntry& e,
                             const std::string& detail) {
            RestoreChange c;
            c.store = Store::Phonebook;
            c.action = action;
            c.where = saved.store + " " + std::to_string(e.index);
            c.detail = detail;
            c.phonebook = saved.store;
            c.entry = e;
            plan.changes.push_back(std::move(c));
        };
        if (!now) {
            for (const auto& e : saved.entries)
                add(Action::DoesNotFit, e, shown(e) + " (the phone has no such phonebook)");
            continue;
        }
        std::map<int, const phonebook::PhonebookEntry*> before;
        for (const auto& e : now->entries)
            before[e.index] = &e;
        std::map<int, bool> kept;
        for (const auto& e : saved.entries) {
            kept[e.index] = true;
            const auto it = before.find(e.index);
            if (it != before.end() && it->second->name == e.name && it->second->number == e.number)
                continue;
            std::string why;
            if (e.index < now->range.first || e.index > now->range.highest)
                why = "the phonebook ends at " + std::to_string(now->range.highest);
            else if (now->range.textLength > 0 &&
                     e.name.size() > static_cast<std::size_t>(now->range.textLength))
                why = "names hold " + std::to_string(now->range.textLength) + " characters";
            else if (now->range.numberLength > 0 &&
                     e.number.size() > static_cast<std::size_t>(now->range.numberLength))
                why = "numbers hold " + std::to_string(now->range.numberLength) + " digits";
            if (!why.empty())
                add(Action::DoesNotFit, e, shown(e) + " (" + why + ")");
            else if (it == before.end())
                add(Action::Add, e, shown(e));
            else
                add(Action::Change, e, shown(*it->second) + " -> " + shown(e));
        }
        for (const auto& e : now->entries) {
            if (!kept.count(e.index))
                add(Action::Remove, e, shown(e));
        }
    }
}

void planOwnNumbers(const BackupData& backup, const BackupData& phone, RestorePlan& plan) {
    // What was not read on either side is no reason to add or remove.
    if (!backup.ownNumbersRead || !phone.ownNumbersRead)
        return;
    std::map<int, std::string> before, after;
    for (const auto& e : phone.ownNumbers)
        before[e.index] = e.number;
    for (const auto& e : backup.ownNumbers)
        after[e.index] = e.number;
    for (const auto& e : backup.ownNumbers) {
        const auto it = before.find(e.index);
        if (it != before.end() && it->second == e.number)
            continue;
        RestoreChange c;
        c.store = Store::OwnNumbers;
        c.action = it == before.end() ? Action::Add : Action::Change;
        c.where = std::to_string(e.index);
        c.detail = latin1ToUtf8(e.number);
        c.entry = e;
        plan.changes.push_back(std::move(c));
    }
    for (const auto& e : phone.ownNumbers) {
        if (!after.count(e.index)) {
            RestoreChange c;
            c.store = Store::OwnNumbers;
            c.action = Action::Remove;
            c.where = std::to_string(e.index);
            c.detail = latin1ToUtf8(e.number);
            c.entry = e;
            plan.changes.push_back(std::move(c));
        }
    }
}

void planMessages(const BackupData& backup, const BackupData& phone, RestorePlan& plan) {
    // A message is the same when its PDU is and it is still received or
    // still stored: listing a message marks it read, so the read state of
    // received messages is not compared. Each phone message answers for one
    // backup message only.
    const auto received = [](int status) { return status <= 1; };
    std::vector<bool> matched(phone.messages.size(), false);
    std::vector<const sms::RawMessage*> missing;
    for (const auto& m : backup.messages) {
        bool found = false;
        for (std::size_t i = 0; i < phone.messages.size() && !found; ++i) {
            const sms::RawMessage& p = phone.messages[i];
            const bool sameStatus =
                p.status == m.status || (received(p.status) && received(m.status));
            if (!matched[i] && p.pdu == m.pdu && sameStatus) {
                matched[i] = true;
                found = true;
            }
        }
        if (!found)
            missing.push_back(&m);
    }
    for (std::size_t i = 0; i < phone.messages.size(); ++i) {
        if (matched[i])
            continue;
        RestoreChange c;
        c.store = Store::Sms;
        c.action = Action::Remove;
        c.where = "message " + std::to_string(phone.messages[i].index);
        c.detail = messageSummary(phone.messages[i]);
        c.message = phone.messages[i];
        plan.changes.push_back(std::move(c));
    }
    // Room left once the removals are done, when the phone said its size.
    const int kept = static_cast<int>(std::count(matched.begin(), matched.end(), true));
    int room = phone.smsCapacity > 0 ? phone.smsCapacity - kept : static_cast<int>(missing.size());
    for (const sms::RawMessage* m : missing) {
        RestoreChange c;
        c.store = Store::Sms;
        c.where = "message " + std::to_string(m->index);
        c.detail = messageSummary(*m);
        if (!sms::isStorablePdu(*m)) {
            c.action = Action::DoesNotFit;
            c.detail += " (a status report cannot be stored)";
        } else if (room <= 0) {
            c.action = Action::DoesNotFit;
            c.detail += " (the message memory is full)";
        } else {
            c.action = Action::Add;
            --room;
        }
        c.message = *m;
        plan.changes.push_back(std::move(c));
    }
}

void planOrganizer(const BackupData& backup, const BackupData& phone, RestorePlan& plan) {
    std::map<int, const organizer::RawSlot*> before, after;
    for (const auto& s : phone.organizer)
        before[s.slot] = &s;
    for (const auto& s : backup.organizer)
        after[s.slot] = &s;
    for (int slot = 1; slot <= organizer::kSlots; ++slot) {
        const auto b = before.find(slot);
        const auto a = after.find(slot);
        if (a == after.end() && b == before.end())
            continue;
        if (a != after.end() && b != before.end() && a->second->object == b->second->object)
            continue;
        RestoreChange c;
        c.store = Store::Organizer;
        c.where = "slot " + std::to_string(slot);
        if (a == after.end()) {
            c.action = Action::Remove;
            c.slot = *b->second;
            c.detail = slotSummary(*b->second);
        } else {
            c.action = a->second->object.size() > organizer::kMaxRawObject ? Action::DoesNotFit
                       : b == before.end()                                 ? Action::Add
                                                                           : Action::Change;
            c.slot = *a->second;
            c.detail = slotSummary(*a->second);
        }
        plan.changes.push_back(std::move(c));
    }
}

void planObject(Store store, const std::optional<std::string>& saved,
                const std::optional<std::string>& now, RestorePlan& plan) {
    if (saved.value_or("") == now.value_or(""))
        return;
    RestoreChange c;
    c.store = store;
    c.action = !saved ? Action::Remove : now ? Action::Change : Action::Add;
    c.bytes = saved.value_or("");
    c.detail = std::to_string(c.bytes.size()) + " bytes";
    plan.changes.push_back(std::move(c));
}

// "AT+CPBS=ON", then the store or empty form of "AT+CPBW=" for an own number.
bool writeOwnNumber(AtEngine& engine, const RestoreChange& c) {
    if (!engine.standard("AT+CPBS=ON"))
        return false;
    at::Command command = at::Command("AT+CPBW=").number(c.entry.index);
    if (c.action != Action::Remove)
        command.phoneNumber(c.entry.number)
            .number(phonebook::numberType(c.entry.number))
            .quoted("");
    return command.valid() && engine.standard(command.text()).ok();
}

}  // namespace

const char* actionName(Action action) {
    switch (action) {
        case Action::Add:
            return "add";
        case Action::Change:
            return "change";
        case Action::Remove:
            return "remove";
        case Action::DoesNotFit:
            return "does not fit";
    }
    return "";
}

bool RestorePlan::writes() const {
    return std::any_of(changes.begin(), changes.end(),
                       [](const auto& c) { return c.action != Action::DoesNotFit; });
}

int RestorePlan::count(Action action) const {
    return static_cast<int>(std::count_if(changes.begin(), changes.end(),
                                          [&](const auto& c) { return c.action == action; }));
}

std::vector<std::string> RestorePlan::lines() const {
    std::vector<std::string> out;
    for (const auto& c : changes)
        out.push_back(std::string(storeName(c.store)) + (c.where.empty() ? "" : " ") + c.where +
                      ": " + actionName(c.action) + " " + c.detail);
    return out;
}

RestorePlan planRestore(const BackupData& backup, const BackupData& phone,
                        const std::vector<Store>& stores) {
    RestorePlan plan;
    if (wanted(stores, Store::Phonebook))
        planPhonebooks(backup, phone, plan);
    if (wanted(stores, Store::OwnNumbers))
        planOwnNumbers(backup, phone, plan);
    if (wanted(stores, Store::Sms))
        planMessages(backup, phone, plan);
    if (wanted(stores, Store::Organizer))
        planOrganizer(backup, phone, plan);
    if (wanted(stores, Store::Logo))
        planObject(Store::Logo, backup.logo, phone.logo, plan);
    if (wanted(stores, Store::Ringtone))
        planObject(Store::Ringtone, backup.ringtone, phone.ringtone, plan);
    return plan;
}

RestoreReport applyRestore(Session& session, Reporter& reporter, const RestorePlan& plan) {
    AtEngine& engine = session.engine;
    LinkOperation operation(engine, reporter);
    RestoreReport report;
    std::vector<const RestoreChange*> order;
    for (const auto& c : plan.changes) {
        if (c.action == Action::Remove)
            order.push_back(&c);
    }
    for (const auto& c : plan.changes) {
        if (c.action == Action::Add || c.action == Action::Change)
            order.push_back(&c);
    }
    const int total = static_cast<int>(order.size());
    reporter.progressBegin(Reporter::Display::Reading, std::max(total, 1), Reporter::Task::Writing);

    phonebook::PhonebookModel model;
    phonebook::PhonebookReader reader(engine, reporter, session.settings, model);
    phonebook::PhonebookWriter book(reader);
    std::string selected;  // the phonebook selected for the writes
    bool pinFailed = false;
    int done = 0;
    for (const RestoreChange* c : order) {
        if (operation.failed())
            break;
        bool ok = false;
        switch (c->store) {
            case Store::Phonebook: {
                if (pinFailed)
                    break;
                if (selected != c->phonebook) {
                    model.current = phonebook::CurrentPhonebook::unread(kindOf(c->phonebook));
                    // The plan has checked the phone's own field lengths.
                    model.current.range.numberLength = phonebook::kMaxField;
                    model.current.range.textLength = phonebook::kMaxField;
                    if (!reader.selectCurrent())
                        break;
                    selected = c->phonebook;
                }
                const auto result =
                    c->action == Action::Remove
                        ? book.empty(c->entry.index)
                        : book.store(c->entry.index, c->entry.number,
                                     phonebook::numberType(c->entry.number), c->entry.name);
                ok = result == phonebook::PhonebookWriter::WriteResult::Ok;
                pinFailed = result == phonebook::PhonebookWriter::WriteResult::Cancelled ||
                            result == phonebook::PhonebookWriter::WriteResult::InvalidPin ||
                            result == phonebook::PhonebookWriter::WriteResult::PinRejected;
                break;
            }
            case Store::OwnNumbers:
                selected.clear();
                ok = writeOwnNumber(engine, *c);
                break;
            case Store::Sms:
                ok = c->action == Action::Remove
                         ? sms::deleteRawMessage(engine, c->message.index)
                         : sms::storeRawMessage(engine, c->message).has_value();
                break;
            case Store::Organizer:
                ok = c->action == Action::Remove ? organizer::deleteRawSlot(engine, c->slot.slot)
                                                 : organizer::writeRawSlot(engine, c->slot);
                break;
            case Store::Logo:
            case Store::Ringtone:
                ok = media::writeRawObject(
                    engine,
                    c->store == Store::Logo ? media::ObjectKind::Logo : media::ObjectKind::Ringtone,
                    c->bytes);
                break;
        }
        if (ok) {
            ++report.written;
        } else if (!operation.failed()) {
            ++report.refused;
            report.failures.push_back(std::string(storeName(c->store)) +
                                      (c->where.empty() ? "" : " ") + c->where + ": " +
                                      actionName(c->action) + " " + c->detail);
        }
        reporter.progressStep(++done);
        reporter.pump();
    }
    reporter.progressEnd();
    report.linkFailed = operation.failed();
    if (!report.linkFailed) {
        const bool complete = report.refused == 0 && plan.count(Action::DoesNotFit) == 0;
        reporter.message(complete ? msg::RestoreDone : msg::RestoreIncomplete,
                         complete ? Caption::Info : Caption::Error);
    }
    return report;
}

}  // namespace vondrix
